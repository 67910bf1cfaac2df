// zorvanctl's function words: every word of the function catalogue is read into the pick the
// key page would receive, and the key that pick gives is printed with the same words; the
// lists in its messages keep their words and order.
#include "cli/key_functions.h"

#include "app/function_catalogue.h"
#include "profile/profile_edits.h"
#include "profile/profile_fixture.h"

#include <gtest/gtest.h>

namespace zorvan::cli {
namespace {

class KeyFunctionsTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        device_.Sensor = 0x3335;  // 100 .. 16000 in steps of 100
        device_.KeyCount = 8;
        device_.ExKeys = {0x101, 0x102, 0x103};
        profile_.magic = kProfileMagic;
        profile_.id = 0x123;
        for (auto& set : profile_.Key)
            set[0].dwFunID = kFunLeftClick;
    }

    std::optional<PickedFunction> Parse(const QStringList& words)
    {
        error_.clear();
        return ParseFunction(words, device_, error_);
    }

    DeviceDescription device_{};
    ProfileRecord profile_{};
    KeyTable defaults_{};
    QString error_;
};

QStringList WordsFor(const FunctionEntry& f)
{
    const QString word = QLatin1String(f.word);
    switch (f.details) {
    case FunctionDetails::kFire: return {word, QStringLiteral("3"), QStringLiteral("20")};
    case FunctionDetails::kSnipe: return {word, QStringLiteral("800")};
    case FunctionDetails::kCombination: return {word, QStringLiteral("Ctrl+Shift+A")};
    case FunctionDetails::kMacro: return {word, QStringLiteral("Burst")};
    case FunctionDetails::kExtraKey: return {word, QString::number(f.Code() + 1)};
    default: return IsConsumerClass(f.Class()) ? QStringList{QStringLiteral("media"), word} : QStringList{word};
    }
}

TEST_F(KeyFunctionsTest, EveryWordRoundTripsThroughTheKeyPageAndRead)
{
    AddMacro(0x0ABCDE, QStringLiteral("Burst"));
    int words = 0;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.word == nullptr)
            continue;
        const QStringList args = WordsFor(f);
        SCOPED_TRACE(args.join(u' ').toStdString());
        const std::optional<PickedFunction> picked = Parse(args);
        ASSERT_TRUE(picked) << error_.toStdString();
        ASSERT_TRUE(PickFunction(profile_, 1, picked->code, picked->details, device_, defaults_).IsChanged());
        const KeyAssignment& key = profile_.Key[0][1];
        EXPECT_EQ(key.dwFunID, f.dwFunID);
        EXPECT_EQ(FunctionWords(key, device_), args.join(u' '));
        ++words;
    }
    EXPECT_EQ(words, 38);  // 13 plain, 18 media and application keys, 7 with details
}

TEST_F(KeyFunctionsTest, MessagesListTheWordsInTheirOrder)
{
    struct Case {
        QStringList args;
        const char* error;
    };
    const Case cases[] = {
        {{QStringLiteral("jump")},
         "unknown function 'jump'; functions: left, right, middle, forward, back, off, dpi-up, dpi-down, dpi-cycle, "
         "rate-switch, light-switch, light-on-off, profile-switch, fire COUNT INTERVAL, snipe DPI, combo KEYS, "
         "media NAME, macro NAME, extra N"},
        {{QStringLiteral("media"), QStringLiteral("left")},
         "media wants one of: media-select, play-pause, stop, previous, next, volume-up, volume-down, mute, mail, "
         "calculator, computer, search, home, web-back, web-forward, web-stop, refresh, favorites"},
        {{QStringLiteral("volume-up")}, "unknown function 'volume-up'; functions: left, right, middle, forward, back, "
                                        "off, dpi-up, dpi-down, dpi-cycle, rate-switch, light-switch, light-on-off, "
                                        "profile-switch, fire COUNT INTERVAL, snipe DPI, combo KEYS, media NAME, "
                                        "macro NAME, extra N"},
        {{QStringLiteral("left"), QStringLiteral("now")}, "usage: assign KEY left"},
        {{QStringLiteral("snipe"), QStringLiteral("150")},
         "snipe wants one of the values 100, 200 .. 1100 that the sensor offers"},
        {{QStringLiteral("extra"), QStringLiteral("4")}, "extra wants N = 1..3"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Parse(c.args)) << c.error;
        EXPECT_EQ(error_.toStdString(), c.error);
    }
}

TEST_F(KeyFunctionsTest, FunctionsWithoutAWordArePrintedAsTheirCode)
{
    for (const uint32_t id : {0x01000016u, 0x080000ABu, 0x080000ADu, 0x0B000003u, 0x04000030u}) {
        KeyAssignment key{};
        key.dwFunID = id;
        EXPECT_EQ(FunctionWords(key, device_), QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0')));
    }
}

}  // namespace
}  // namespace zorvan::cli
