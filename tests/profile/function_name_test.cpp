// The names on the key buttons: macros, combinations with and without a name of their own,
// extra keys, and every other function by its code alone.
#include "profile/function_name.h"

#include "profile/profile_fixture.h"
#include "support/test_support.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

constexpr int32_t kSensor = 0x3335;

KeyAssignment Key(uint32_t id, uint32_t parameter = 0, std::array<uint8_t, 4> combo = {}, uint32_t macroId = 0)
{
    return KeyAssignment{id, 1, macroId, {combo[0], combo[1], combo[2], combo[3]}, parameter, 0};
}

class FunctionNameTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        ASSERT_TRUE(LoadLanguageTexts(test::DefaultDataDir() + QStringLiteral("en/text.xml")));
        device_.Sensor = kSensor;
        options_.ComboName1 = 0x4301;  // Ctrl+C
        options_.ComboName2 = 0x5601;  // Ctrl+V
    }

    void TearDown() override
    {
        Texts().SetAll({});  // no texts, as before the test
        ProfileTest::TearDown();
    }

    QString Name(const KeyAssignment& key) const { return FunctionName(key, device_, options_, Config().sensors); }

    DeviceDescription device_{};
    AppOptions options_{};
};

TEST_F(FunctionNameTest, NameOfEachKindOfFunction)
{
    AddMacro(0x0ABCDE, QStringLiteral("Burst"));
    const uint32_t dpi800 = uint32_t(Config().sensors.DpiIndex(kSensor, 800));
    struct Case {
        const char* name;
        KeyAssignment key;
        QString text;
    };
    const Case cases[] = {
        {"left click", Key(0x01000011), QStringLiteral("Left click")},
        {"key set switch, offered only by defaults", Key(0x080000AB), QStringLiteral("Key set switch")},
        {"by the code whatever the class", Key(0x01000021), QStringLiteral("Media player")},
        {"fire in any class", Key(0x010000A4, 0x0A03), QStringLiteral("Fire key")},
        {"fixed DPI value", Key(0x080000A6, dpi800), QStringLiteral("Sniper - 800")},
        {"combination named by ComboName1", Key(0x020000A1, 0, {0x01, 'C', 0, 0}), QStringLiteral("Copy")},
        {"combination named by ComboName2", Key(0x020000A1, 0, {0x01, 'V', 0, 0}), QStringLiteral("Paste")},
        {"a third key makes another combination", Key(0x020000A1, 0, {0x01, 'C', 'X', 0}),
         QStringLiteral("Ctrl + C + X")},
        {"combination read from the mouse", Key(0x02000000, 0, {0x03, 'A', 0, 0}), QStringLiteral("Ctrl + Shift + A")},
        {"macro", Key(0x05000000, 0, {}, 0x0ABCDE), QStringLiteral("Macro - Burst")},
        {"macro not in the library", Key(0x05000000, 0, {}, 0x123456), QStringLiteral("Macro not found")},
        {"extra key 2", Key(0x0B000001, 0x102), QStringLiteral("Extra key 2")},
        {"extra key beyond the three", Key(0x0B000003), QString()},
        {"code without a name", Key(0x080000A5), QString()},
        {"function without a name", Key(0x080000C0, 7), QString()},
        {"no function", Key(0), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Name(c.key), c.text) << c.name;
}

TEST_F(FunctionNameTest, BrowserKeysFallBackToTheMouseButtonNames)
{
    SetText("tc_kbmedia_back", {});
    EXPECT_EQ(Name(Key(0x03000035)), GetText("tc_back"));
    EXPECT_EQ(Name(Key(0x03000036)), QStringLiteral("Browser forward"));
    SetText("tc_kbmedia_stop", {});
    EXPECT_EQ(Name(Key(0x03000037)), QString());
}

}  // namespace
}  // namespace zorvan
