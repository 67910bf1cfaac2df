#include "macro/hd_macro_codec.h"

#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace zorvan {
namespace {

using test::LogCapture;
using test::MakeMacro;

const uint8_t* Bytes(const HdMacro& slot)
{
    return reinterpret_cast<const uint8_t*>(&slot);
}

std::vector<uint8_t> Range(const HdMacro& slot, int from, int count)
{
    return {Bytes(slot) + from, Bytes(slot) + from + count};
}

// The 353 bytes the profile read passes: the slot from offset 31.
std::span<const uint8_t, kHdMacroStreamBytes> Stream(const HdMacro& slot)
{
    return std::span<const uint8_t, kHdMacroStreamBytes>(Bytes(slot) + kHdMacroStreamOffset, kHdMacroStreamBytes);
}

StMacro MacroOfEvents(int count)
{
    StMacro m = MakeMacro(QStringLiteral("Many"), {});
    for (int i = 0; i < count; ++i)
        m.events[i] = MacroEvent{0x41, uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 10};
    return m;
}

TEST(HdMacroEncode, WritesEachKindOfEventAsItsFiveDeviceBytes)
{
    struct Case {
        const char* what;
        MacroEvent event;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"key A press", {0x41, kActionPress, 100}, {0x81, 0x04, 0x00, 0x00, 0x64}},
        {"key A release, delay high byte first", {0x41, kActionRelease, 0x1234}, {0x41, 0x04, 0x00, 0x12, 0x34}},
        {"Enter takes the first usage of 0x0D", {0x0D, kActionPress, 1}, {0x81, 0x28, 0x00, 0x00, 0x01}},
        {"generic Shift as left Shift", {0x10, kActionPress, 5}, {0x80, 0x02, 0x00, 0x00, 0x05}},
        {"generic Ctrl as left Ctrl", {0x11, kActionRelease, 5}, {0x40, 0x01, 0x00, 0x00, 0x05}},
        {"right Windows as the GUI bit", {0x5C, kActionPress, 5}, {0x80, 0x08, 0x00, 0x00, 0x05}},
        {"right Alt", {0xA5, kActionRelease, 5}, {0x40, 0x40, 0x00, 0x00, 0x05}},
        {"forward button", {kMouseForward, kActionPress, 5}, {0x84, 0x10, 0x00, 0x00, 0x05}},
        {"back button", {kMouseBack, kActionRelease, 5}, {0x44, 0x08, 0x00, 0x00, 0x05}},
        {"move X -3 Y 5", {0x05FD, kActionMove, 20}, {0x05, 0xFD, 0x05, 0x00, 0x14}},
        {"70000 ms kept to 16 bits (4464)", {0x41, kActionPress, 70000}, {0x81, 0x04, 0x00, 0x11, 0x70}},
    };
    for (const Case& c : cases) {
        StMacro m = MakeMacro(QStringLiteral("E"), {c.event});
        HdMacro slot;
        EXPECT_EQ(StMacro_To_HdMacro(m, slot), 37) << c.what;
        EXPECT_EQ(slot.eventCount, 1) << c.what;
        EXPECT_EQ(Range(slot, 32, 5), c.bytes) << c.what;
    }
}

TEST(HdMacroEncode, WheelCodesHaveNoUsageAndAreLogged)
{
    for (const uint16_t wheel : {kWheelUp, kWheelDown}) {
        LogCapture log;
        HdMacro slot;
        StMacro m = MakeMacro(QStringLiteral("W"), {{wheel, kActionPress, 10}});
        EXPECT_EQ(StMacro_To_HdMacro(m, slot), 37);
        EXPECT_EQ(Range(slot, 32, 5), (std::vector<uint8_t>{0x81, 0x00, 0x00, 0x00, 0x0A}));
        EXPECT_TRUE(log.Contains("StMacro_To_HdMacro: get wrong hid"));
    }
}

TEST(HdMacroFinish, EmptyMacroIsCountChecksumAndEndMarker)
{
    StMacro m = MakeMacro(QString(), {});
    HdMacro slot;
    std::memset(&slot, 0xEE, sizeof slot);
    EXPECT_EQ(StMacro_To_HdMacro(m, slot), 32);
    EXPECT_EQ(FinishHdMacro(slot, 32, m), 36);
    std::vector<uint8_t> expected(36, 0);
    expected[32] = 0x55;  // count 0 at offset 31, checksum, three zero bytes; no name
    EXPECT_EQ(Range(slot, 0, 36), expected);
}

TEST(HdMacroFinish, LengthsAroundTheEndOfTheSlot)
{
    struct Case {
        int events;
        int streamEnd;
        int length;
        bool endMarker;
    } cases[] = {{1, 37, 41, true}, {69, 377, 381, true}, {70, 382, 383, false}, {75, 382, 383, false}};
    for (const Case& c : cases) {
        const StMacro m = MacroOfEvents(c.events);
        HdMacro slot;
        const int end = StMacro_To_HdMacro(m, slot);
        EXPECT_EQ(end, c.streamEnd) << c.events << " events";
        EXPECT_EQ(slot.eventCount, std::min(c.events, 70));
        EXPECT_EQ(FinishHdMacro(slot, end, m), c.length) << c.events << " events";
        // The checksum: the stream bytes from offset 31 and the check byte sum to 0x55.
        unsigned sum = 0;
        for (int i = kHdMacroStreamOffset; i <= end; ++i)
            sum += Bytes(slot)[i];
        EXPECT_EQ(sum & 0xFF, 0x55u) << c.events << " events";
        if (c.endMarker) {
            EXPECT_EQ(Range(slot, end + 1, 3), (std::vector<uint8_t>{0, 0, 0}));
        }
    }
}

TEST(HdMacroFinish, ChecksumLeavesOutTheNameAndTheNameIsCutTo15Characters)
{
    struct Case {
        QString name;
        int nameLength;
    } cases[] = {{QStringLiteral("Hi"), 4}, {QStringLiteral("ABCDEFGHIJKLMNOPQRS"), 30}, {QString(), 0}};
    for (const Case& c : cases) {
        StMacro m = MakeMacro(c.name, {{0x41, kActionPress, 100}});
        HdMacro slot;
        EXPECT_EQ(BuildHdMacro(m, slot), 41);
        // 01 81 04 00 00 64: 0x55 - 0xEA = 0x6B whatever the name.
        EXPECT_EQ(Bytes(slot)[37], 0x6B);
        EXPECT_EQ(slot.nameLength, c.nameLength);
        for (int i = 0; i < 15; ++i) {
            const char16_t unit = i < c.nameLength / 2 ? c.name[i].unicode() : 0;
            EXPECT_EQ(slot.name[2 * i], unit & 0xFF);
            EXPECT_EQ(slot.name[2 * i + 1], unit >> 8);
        }
    }
}

TEST(HdMacroLoopByte, FollowsTheLoopMode)
{
    StMacro m = MakeMacro(QStringLiteral("L"), {});
    m.repeatCount = 5;
    m.loopMode = kLoopCount;
    EXPECT_EQ(MacroLoopByte(m), 5);
    m.loopMode = kLoopMode1;
    EXPECT_EQ(MacroLoopByte(m), 0xFF);
    m.loopMode = kLoopMode2;
    EXPECT_EQ(MacroLoopByte(m), 0xFE);
}

// A repeat count from a file can be anything; the mouse gets 1..250, never a loop mode's byte.
TEST(HdMacroLoopByte, RepeatCountsOutsideOneTo250AreKeptInside)
{
    StMacro m = MakeMacro(QStringLiteral("L"), {});
    m.loopMode = kLoopCount;
    const std::pair<uint16_t, uint8_t> cases[] = {{0, 1}, {1, 1}, {250, 250}, {251, 250}, {254, 250},
                                                  {255, 250}, {256, 250}, {65535, 250}};
    LogCapture log;
    for (const auto& [count, loopByte] : cases) {
        m.repeatCount = count;
        EXPECT_EQ(MacroLoopByte(m), loopByte) << count;
    }
    EXPECT_TRUE(log.Contains("MacroLoopByte: repeat count 255 written as 250"));
    m.loopMode = 7;  // not a loop mode: counted like mode 0
    m.repeatCount = 300;
    EXPECT_EQ(MacroLoopByte(m), 250);
}

TEST(HdMacroRoundTrip, KeysComeBackAsTheMouseKnowsThem)
{
    const StMacro written = MakeMacro(QStringLiteral("RT"), {
        {0x10, kActionPress, 10},     // generic Shift → left Shift
        {0x5C, kActionPress, 11},     // right Windows → left Windows
        {0x11, kActionPress, 12},     // generic Ctrl → left Ctrl
        {0x0D, kActionPress, 13},     // Enter
        {0x6E, kActionRelease, 14},   // keypad decimal
        {kMouseMiddle, kActionPress, 15},
        {0x05FD, kActionMove, 70000}, // delay kept to 16 bits
        {0x41, kActionRelease, 500},  // the last delay reads back as 0
    });
    HdMacro slot;
    BuildHdMacro(written, slot);
    StMacro read;
    HdMacro_To_StMacro(read, Stream(slot), 0x0ABCDE);

    const MacroEvent expected[] = {
        {0xA0, kActionPress, 10}, {0x5B, kActionPress, 11}, {0xA2, kActionPress, 12},     {0x0D, kActionPress, 13},
        {0x6E, kActionRelease, 14}, {kMouseMiddle, kActionPress, 15}, {0x05FD, kActionMove, 4464}, {0x41, kActionRelease, 0},
    };
    ASSERT_EQ(MacroEventCount(read), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(read.events[i].code, expected[i].code) << i;
        EXPECT_EQ(read.events[i].action, expected[i].action) << i;
        EXPECT_EQ(read.events[i].delay, expected[i].delay) << i;
    }
    EXPECT_EQ(read.magic, kMacroMagic);
    EXPECT_EQ(read.id, 0x0ABCDEu);
    EXPECT_EQ(read.autoDelay, 1u);
    EXPECT_EQ(read.loopMode, kLoopCount);
    EXPECT_EQ(read.name[0], 0);
    // Not equal to the library macro it came from: the last delay was lost on the way.
    EXPECT_FALSE(MacroEqual(read, written));
}

std::array<uint8_t, kHdMacroStreamBytes> StreamOf(std::initializer_list<uint8_t> bytes)
{
    std::array<uint8_t, kHdMacroStreamBytes> s{};
    std::copy(bytes.begin(), bytes.end(), s.begin());
    return s;
}

// What the profile read compares a library macro with: the events a slot would hold.
TEST(HdMacroSameEvents, AgreeWhenTheMouseWouldHoldTheSameEvents)
{
    const StMacro base = MakeMacro(QStringLiteral("Base"), {{0xA0, 1, 5}, {0x41, 1, 70000}, {0x41, 0, 9}});
    struct Case {
        const char* name;
        StMacro other;
        bool same;
    };
    const Case cases[] = {
        {"generic Shift, 16-bit delay, no last delay, other name",
         MakeMacro(QStringLiteral("Other"), {{0x10, 1, 5}, {0x41, 1, 4464}, {0x41, 0, 0}}), true},
        {"another key", MakeMacro(QStringLiteral("Base"), {{0xA0, 1, 5}, {0x42, 1, 4464}, {0x41, 0, 9}}), false},
        {"another middle delay", MakeMacro(QStringLiteral("Base"), {{0xA0, 1, 5}, {0x41, 1, 4465}, {0x41, 0, 9}}), false},
        {"press for release", MakeMacro(QStringLiteral("Base"), {{0xA0, 1, 5}, {0x41, 1, 4464}, {0x41, 1, 9}}), false},
        {"one event less", MakeMacro(QStringLiteral("Base"), {{0xA0, 1, 5}, {0x41, 1, 4464}}), false},
        {"no events", MakeMacro(QStringLiteral("Base"), {}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SameEventsOnTheMouse(base, c.other), c.same);
        EXPECT_EQ(SameEventsOnTheMouse(c.other, base), c.same);
    }
    // Beyond 70 events the mouse holds the first 70.
    StMacro longer = MacroOfEvents(kMacroMaxEvents + 1);
    EXPECT_TRUE(SameEventsOnTheMouse(longer, MacroOfEvents(kHdMacroMaxEvents)));
    EXPECT_TRUE(SameEventsOnTheMouse(MakeMacro(QStringLiteral(""), {}), MakeMacro(QStringLiteral("x"), {})));
}

TEST(HdMacroDecode, UnknownBytesGiveCodeZeroAndALogLine)
{
    struct Case {
        const char* what;
        std::array<uint8_t, 5> event;
        MacroEvent expected;
        const char* log;
    } cases[] = {
        {"usage without a key", {0x81, 0x32, 0x00, 0x00, 0x09}, {0, kActionPress, 9}, "HdMacro_To_StMacro: convert err, i=0, nHid=32"},
        {"right GUI bit", {0x80, 0x80, 0x00, 0x00, 0x09}, {0, kActionPress, 9}, "HdMacro_To_StMacro: convert err, i=0, nHid=80"},
        {"two button bits", {0x44, 0x03, 0x00, 0x00, 0x09}, {0, kActionRelease, 9}, "HdMacro_To_StMacro: convert err, i=0, nHid=3"},
        {"type 2", {0x82, 0x04, 0x00, 0x00, 0x09}, {0, kActionPress, 9}, "HdMacro_To_StMacro: convert err, nKeyFalg=2"},
        {"type 7", {0x87, 0x04, 0x00, 0x00, 0x09}, {0, kActionPress, 9}, "HdMacro_To_StMacro: convert err, nKeyFalg=7"},
        {"no direction", {0x01, 0x04, 0x00, 0x00, 0x09}, {0x41, kActionRelease, 9}, "HdMacro_To_StMacro: convert err, i=0"},
        {"both directions", {0xC1, 0x04, 0x00, 0x00, 0x09}, {0x41, kActionRelease, 9}, "HdMacro_To_StMacro: convert err, i=0"},
        {"keypad Enter reads as Enter", {0x81, 0x58, 0x00, 0x00, 0x09}, {0x0D, kActionPress, 9}, nullptr},
    };
    for (const Case& c : cases) {
        LogCapture log;
        const auto& e = c.event;
        // Two events: the first keeps its delay; a key-up follows.
        const auto stream = StreamOf({2, e[0], e[1], e[2], e[3], e[4], 0x41, 0x04, 0x00, 0x00, 0x00});
        StMacro read;
        HdMacro_To_StMacro(read, stream, 1);
        EXPECT_EQ(read.events[0].code, c.expected.code) << c.what;
        EXPECT_EQ(read.events[0].action, c.expected.action) << c.what;
        EXPECT_EQ(read.events[0].delay, c.expected.delay) << c.what;
        if (c.log != nullptr) {
            EXPECT_TRUE(log.Contains(c.log)) << c.what;
        }
    }
}

TEST(HdMacroDecode, AnEventThatWouldEndTheRecordIsLeftOutAndTheRestKept)
{
    // An unknown usage with no delay, then a zero move with no delay, then A down and up.
    const auto stream = StreamOf({4, 0x81, 0x32, 0, 0, 0, 0x05, 0, 0, 0, 0, 0x81, 0x04, 0, 0, 10, 0x41, 0x04, 0, 0, 0});
    StMacro read;
    HdMacro_To_StMacro(read, stream, 1);
    ASSERT_EQ(MacroEventCount(read), 2);
    EXPECT_EQ(read.events[0].code, 0x41);
    EXPECT_EQ(read.events[0].delay, 10u);
    EXPECT_EQ(read.events[1].code, 0x41);
    EXPECT_EQ(read.events[1].action, kActionRelease);
    for (int i = 2; i < kMacroEventSlots; ++i)
        EXPECT_TRUE(read.events[i].IsTerminator());
}

TEST(HdMacroDecode, ReadsAtMost70Events)
{
    std::array<uint8_t, kHdMacroStreamBytes> stream{};
    stream[0] = 0xC8;  // 200
    for (int i = 0; i < 70; ++i) {
        stream[size_t(1 + 5 * i)] = 0x81;
        stream[size_t(2 + 5 * i)] = 0x04;
        stream[size_t(5 + 5 * i)] = 1;
    }
    StMacro read;
    HdMacro_To_StMacro(read, stream, 1);
    EXPECT_EQ(MacroEventCount(read), 70);
    EXPECT_EQ(read.events[69].delay, 0u);
}

}  // namespace
}  // namespace zorvan
