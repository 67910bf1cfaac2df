// The editor's event rows: recording, inserting, the saving normalisation and the conversions
// between rows and the record.
#include "macro/macro_events.h"

#include "macro_test_support.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::MakeMacro;

constexpr unsigned kA = 0x41;
constexpr unsigned kB = 0x42;

EventRow Press(uint32_t code) { return {kRowPress, code}; }
EventRow Release(uint32_t code) { return {kRowRelease, code}; }
EventRow Delay(uint32_t ms) { return {kRowDelay, ms}; }

std::string Describe(const EventRows& rows)
{
    std::string text;
    for (const EventRow& r : rows) {
        text += '[';
        text += std::to_string(r.kind);
        text += ':';
        text += std::to_string(r.value);
        text += ']';
    }
    return text;
}

struct KeyAt {
    unsigned code;
    bool up;
    int64_t ms;
};

TEST(MacroRecorderTest, TurnsKeyTransitionsIntoRows)
{
    const struct {
        const char* name;
        std::vector<KeyAt> keys;
        bool autoDelay;
        EventRows expected;
    } cases[] = {
        {"auto-repeat of A gives one press", {{kA, false, 0}, {kA, false, 30}, {kA, false, 60}, {kA, true, 100}}, true,
         {Press(kA), Delay(100), Release(kA)}},
        {"without the delay box no delays", {{kA, false, 0}, {kA, true, 100}}, false, {Press(kA), Release(kA)}},
        {"0 ms adds no delay row", {{kA, false, 5}, {kB, false, 5}}, true, {Press(kA), Press(kB)}},
        {"long pauses are kept to 65535 ms", {{kA, false, 0}, {kA, true, 100000}}, true,
         {Press(kA), Delay(65535), Release(kA)}},
        {"short pauses are raised to the least delay", {{kA, false, 0}, {kA, true, 1}}, true,
         {Press(kA), Delay(3), Release(kA)}},
        {"right shift stays right shift", {{0xA1, false, 0}, {0xA1, true, 20}}, true,
         {Press(0xA1), Delay(20), Release(0xA1)}},
    };
    for (const auto& c : cases) {
        MacroRecorder recorder;
        EventRows rows;
        for (const KeyAt& k : c.keys)
            recorder.Take(rows, k.code, k.up, k.ms, c.autoDelay, 3);
        EXPECT_EQ(rows, c.expected) << c.name << ": " << Describe(rows);
    }
}

TEST(MacroRecorderTest, ANewRecordingDropsAFirstEventEqualToThePreviousLast)
{
    MacroRecorder recorder;
    EventRows first;
    recorder.Take(first, kA, false, 0, true, 1);
    recorder.Take(first, kA, true, 50, true, 1);
    EventRows second;
    EXPECT_EQ(recorder.Take(second, kA, true, 80, true, 1), MacroRecorder::Outcome::kIgnored);
    EXPECT_EQ(recorder.Take(second, kB, false, 90, true, 1), MacroRecorder::Outcome::kAdded);
    EXPECT_EQ(second, (EventRows{Press(kB)}));
}

TEST(MacroRecorderTest, SeventyEventsAreTheMost)
{
    EventRows rows;
    for (int i = 0; i < 35; ++i) {
        rows.push_back(Press(kA));
        rows.push_back(Delay(5));
        rows.push_back(Release(kA));
    }
    MacroRecorder recorder;
    EXPECT_EQ(recorder.Take(rows, kB, false, 10, true, 1), MacroRecorder::Outcome::kFull);
    EXPECT_EQ(CountedEvents(rows), 70);
}

TEST(MacroRowsTest, SavingNormalisesTheRows)
{
    const struct {
        const char* name;
        EventRows rows;
        EventRows expected;
    } cases[] = {
        {"three delays: the first two join", {Press(kA), Delay(10), Delay(20), Delay(30), Release(kA)},
         {Press(kA), Delay(30), Delay(30), Release(kA)}},
        {"leading delay and release go", {Delay(5), Release(kA), Press(kB), Release(kB)}, {Press(kB), Release(kB)}},
        {"a repeated press goes", {Press(kA), Press(kA), Release(kA)}, {Press(kA), Release(kA)}},
        {"different keys stay", {Press(kA), Press(kB)}, {Press(kA), Press(kB)}},
        {"nothing but releases leaves nothing", {Delay(5), Release(kA)}, {}},
        {"empty stays empty", {}, {}},
    };
    for (const auto& c : cases) {
        EventRows rows = c.rows;
        NormaliseRows(rows);
        EXPECT_EQ(rows, c.expected) << c.name << ": " << Describe(rows);
    }
}

TEST(MacroRowsTest, ThreeDelaysAfterAPressSaveAsTheLastOne)
{
    EventRows rows{Press(kA), Delay(10), Delay(20), Delay(30), Release(kA)};
    NormaliseRows(rows);
    StMacro macro = MakeMacro("m", {{0x99, 1, 7}, {0x98, 1, 7}, {0x97, 1, 7}});
    EXPECT_EQ(RowsToMacro(rows, macro), 0);
    ASSERT_EQ(MacroEventCount(macro), 2);
    const MacroEvent press = macro.events[0];
    const MacroEvent release = macro.events[1];
    EXPECT_EQ(press.code, kA);
    EXPECT_EQ(press.action, kActionPress);
    EXPECT_EQ(press.delay, 30u);
    EXPECT_EQ(release.code, kA);
    EXPECT_EQ(release.action, kActionRelease);
    EXPECT_EQ(release.delay, 0u);
}

TEST(MacroRowsTest, ConversionLeavesOutWhatWouldEndTheMacroEarly)
{
    // A key without a code or a move by nothing would read as the end of the macro.
    const EventRows rows{Press(kA), Press(0), {kRowMove, 0}, Release(kA), {kRowMove, MoveValue(-3, 5)}};
    StMacro macro = MakeMacro("m", {});
    EXPECT_EQ(RowsToMacro(rows, macro), 1);
    ASSERT_EQ(MacroEventCount(macro), 3);
    const MacroEvent move = macro.events[2];
    EXPECT_EQ(move.action, kActionMove);
    EXPECT_EQ(move.code, MoveValue(-3, 5));
}

TEST(MacroRowsTest, RecordRowsRoundTrip)
{
    const StMacro macro = MakeMacro("m", {{kA, 1, 25}, {uint16_t(MoveValue(-128, 127)), kActionMove, 0}, {kMouseLeft, 0, 0}});
    const EventRows rows = RowsFromMacro(macro);
    EXPECT_EQ(rows, (EventRows{Press(kA), Delay(25), {kRowMove, MoveValue(-128, 127)}, Release(kMouseLeft)}));
    EXPECT_EQ(MoveX(rows[2].value), -128);
    EXPECT_EQ(MoveY(rows[2].value), 127);
    StMacro back = MakeMacro("m", {});
    RowsToMacro(rows, back);
    EXPECT_TRUE(MacroEqual(back, macro));
}

TEST(MacroRowsTest, SixtyNineRowsAndAClickHoldSeventyOneEvents)
{
    EventRows rows(69, Press(kA));
    ASSERT_FALSE(EventListFull(rows));
    InsertRows(rows, -1, true, {Press(kMouseLeft), Release(kMouseLeft)}, false);
    EXPECT_EQ(CountedEvents(rows), 71);
    StMacro macro = MakeMacro("m", {});
    RowsToMacro(rows, macro);
    EXPECT_EQ(MacroEventCount(macro), 71);
}

TEST(MacroRowsTest, InsertedRowsGoNextToTheSelection)
{
    const EventRows start{Press(kA), Release(kA)};
    const struct {
        const char* name;
        int selected;
        bool before;
        EventRows added;
        bool key;
        EventRows expected;
        int selectedAfter;
    } cases[] = {
        {"no selection: appended without 50 ms", -1, true, {Press(kB)}, true, {Press(kA), Release(kA), Press(kB)}, -1},
        {"before: 50 ms, the key, the selection", 1, true, {Press(kB)}, true,
         {Press(kA), Delay(50), Press(kB), Release(kA)}, 3},
        {"after: the selection, the key, 50 ms", 0, false, {Release(kB)}, true,
         {Press(kA), Release(kB), Delay(50), Release(kA)}, 0},
        {"a click before keeps press then release", 0, true, {Press(kMouseLeft), Release(kMouseLeft)}, false,
         {Press(kMouseLeft), Release(kMouseLeft), Press(kA), Release(kA)}, 2},
        {"a click after keeps press then release", 1, false, {Press(kMouseLeft), Release(kMouseLeft)}, false,
         {Press(kA), Release(kA), Press(kMouseLeft), Release(kMouseLeft)}, 1},
    };
    for (const auto& c : cases) {
        EventRows rows = start;
        EXPECT_EQ(InsertRows(rows, c.selected, c.before, c.added, c.key), c.selectedAfter) << c.name;
        EXPECT_EQ(rows, c.expected) << c.name << ": " << Describe(rows);
    }
}

TEST(MacroRowsTest, TypedValuesAreKeptInRange)
{
    const struct {
        const char* text;
        std::optional<int> count;
    } counts[] = {{"300", 250}, {"0", 1}, {"250", 250}, {"7", 7}, {"", std::nullopt}, {"x", std::nullopt}};
    for (const auto& c : counts)
        EXPECT_EQ(TypedRepeatCount(QString::fromLatin1(c.text)), c.count) << c.text;
    EXPECT_EQ(TypedDelay(3, 10), 10u);
    EXPECT_EQ(TypedDelay(70000, 10), 65535u);
    EXPECT_EQ(TypedDelay(500, 10), 500u);
}

}  // namespace
}  // namespace zorvan
