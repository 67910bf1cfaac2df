// The function catalogue is consistent: every function once, its names exist in the shipped
// English texts, its words, codes and usages lead back to it, and the menu places are unique.
#include "app/function_catalogue.h"

#include "support/test_support.h"
#include "text/language_file.h"
#include "text/text_keys.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

namespace zorvan {
namespace {

std::string Hex(uint32_t id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0')).toStdString();
}

TEST(FunctionCatalogue, EachFunctionOnceAndFoundByItsIdAndCode)
{
    std::set<uint32_t> ids;
    std::set<uint32_t> codes;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        SCOPED_TRACE(Hex(f.dwFunID));
        EXPECT_TRUE(ids.insert(f.dwFunID).second) << "listed twice";
        EXPECT_EQ(FindFunction(f.dwFunID), &f);
        const bool byCode = f.Class() != kClassCombo && f.Class() != kClassMacro && f.Class() != kClassExtra;
        if (byCode) {
            // Names on the key buttons are found by the code alone, whatever the class.
            EXPECT_TRUE(codes.insert(f.Code()).second) << "code shared with another function";
            EXPECT_EQ(FindFunctionByCode(FunId(kClassMouse, f.Code())), &f);
        }
    }
    EXPECT_EQ(FindFunction(0x06000000), nullptr);
    EXPECT_EQ(FindFunctionByCode(0xA5), nullptr);
}

TEST(FunctionCatalogue, CombinationAndMacroKeysAreKnownByTheirClass)
{
    for (const uint32_t id : {kFunCombo, kFunComboKeysOnly, kFunComboRead})
        EXPECT_EQ(FunctionOfKey(id)->details, FunctionDetails::kCombination) << Hex(id);
    EXPECT_EQ(FunctionOfKey(FunId(kClassMacro, 7))->details, FunctionDetails::kMacro);
    EXPECT_EQ(FunctionOfKey(kFunExtra + 2)->dwFunID, kFunExtra + 2);
    EXPECT_EQ(FunctionOfKey(kFunExtra + 3), nullptr);
    EXPECT_EQ(FunctionOfKey(FunId(kClassMouse, 0x30)), nullptr);  // the exact id, not the code
}

TEST(FunctionCatalogue, EveryTextKeyIsSetInTheShippedEnglishFile)
{
    const LanguageFile english = ReadLanguageFile(test::DefaultDataDir() + QStringLiteral("en/text.xml"));
    ASSERT_TRUE(english.readable);
    const auto expectText = [&](const char* key, uint32_t id) {
        const int index = TextKeyIndex(key);
        ASSERT_GE(index, 0) << key << " of " << Hex(id) << " is no text key";
        EXPECT_FALSE(english.texts[size_t(index)].isEmpty()) << key << " of " << Hex(id);
    };
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.textKey != nullptr)
            expectText(f.textKey, f.dwFunID);
        if (f.altTextKey != nullptr)
            expectText(f.altTextKey, f.dwFunID);
        // Whatever the menu offers or zorvanctl names has a name.
        if (f.group != MenuGroup::kNone || f.word != nullptr) {
            EXPECT_NE(f.textKey, nullptr) << Hex(f.dwFunID);
        }
    }
    for (const MenuGroupRow& g : MenuGroupRows())
        expectText(g.textKey, g.code);
}

TEST(FunctionCatalogue, EachWordLeadsBackToItsFunction)
{
    std::map<std::pair<std::string, bool>, FunctionDetails> seen;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.word == nullptr)
            continue;
        SCOPED_TRACE(f.word);
        const bool media = IsConsumerClass(f.Class());
        const FunctionEntry* found = FindFunctionByWord(f.word, media);
        ASSERT_NE(found, nullptr);
        // A word without details names one function; a word with details names one kind of
        // details (the extra keys share "extra", told apart by their number).
        if (f.details == FunctionDetails::kNone)
            EXPECT_EQ(found, &f);
        else
            EXPECT_EQ(found->details, f.details);
        const auto [it, added] = seen.emplace(std::pair(std::string(f.word), media), f.details);
        EXPECT_TRUE(added || (it->second == f.details && f.details != FunctionDetails::kNone));
        // zorvanctl cannot ask for a raw hardware code or parameter.
        EXPECT_NE(f.details, FunctionDetails::kHardwareCode);
        EXPECT_NE(f.details, FunctionDetails::kParameter);
        EXPECT_EQ(FindFunctionByWord(f.word, !media), nullptr) << "also a word of the other list";
    }
}

TEST(FunctionCatalogue, HardwareCodesAndUsagesLeadBackToTheirFunction)
{
    std::set<int32_t> readBack;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        SCOPED_TRACE(Hex(f.dwFunID));
        if (f.readsBack) {
            ASSERT_NE(f.hardwareCode, kNoFixedCode);
            EXPECT_TRUE(readBack.insert(f.hardwareCode).second) << "two functions read back from one code";
        }
        EXPECT_EQ(f.usage != kNoConsumerUsage, IsConsumerClass(f.Class()));
        if (f.usage != kNoConsumerUsage) {
            EXPECT_EQ(FindFunctionByUsage(f.usage), &f);
        }
        if (IsConsumerClass(f.Class()) || f.Class() == kClassCombo || f.Class() == kClassMacro) {
            EXPECT_EQ(f.hardwareCode, kNoFixedCode) << "its code is made from its details";
        }
    }
}

TEST(FunctionCatalogue, EachMenuPlaceOnce)
{
    std::set<std::pair<MenuGroup, int>> places;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.group != MenuGroup::kNone) {
            EXPECT_TRUE(places.emplace(f.group, f.menuOrder).second) << Hex(f.dwFunID);
        }
    }
    for (const MenuGroupRow& g : MenuGroupRows()) {
        EXPECT_TRUE(places.emplace(MenuGroup::kFirst, g.menuOrder).second) << g.textKey;
        EXPECT_NE(g.group, MenuGroup::kFirst);
        EXPECT_NE(g.group, MenuGroup::kNone);
    }
}

TEST(FunctionCatalogue, SnipePicksCarryThePositionOfTheirValue)
{
    EXPECT_EQ(SnipePick(0), kFunSnipe);
    EXPECT_EQ(SnipePick(1), 0x080001A6u);
    EXPECT_EQ(SnipePickPosition(SnipePick(255)), 255);
    EXPECT_TRUE(IsSnipePick(SnipePick(37)));
    EXPECT_FALSE(IsSnipePick(kFunFire));
    EXPECT_FALSE(IsSnipePick(FunId(kClassMouse, 0xA6)));
}

}  // namespace
}  // namespace zorvan
