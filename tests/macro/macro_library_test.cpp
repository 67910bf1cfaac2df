#include "macro/macro_library.h"

#include "macro/time_stamp_id.h"
#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zorvan {
namespace {

using test::MakeMacro;

class MacroLibraryTest : public ::testing::Test {
protected:
    MacroLibrary library;
};

TEST_F(MacroLibraryTest, KeepsTheOrderOfAdditionAndFindsByIdAndName)
{
    ASSERT_TRUE(library.AddCopy(MakeMacro(QStringLiteral("Jump"), {{0x20, kActionPress, 1}}, 3)));
    ASSERT_TRUE(library.AddCopy(MakeMacro(QStringLiteral("Reload"), {{0x52, kActionPress, 1}}, 1)));
    ASSERT_TRUE(library.AddCopy(MakeMacro(QStringLiteral("jump"), {{0x21, kActionPress, 1}}, 2)));
    EXPECT_EQ(library.Count(), 3);

    const std::vector<StMacro> all = library.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].id, 3u);
    EXPECT_EQ(all[1].id, 1u);
    EXPECT_EQ(all[2].id, 2u);

    ASSERT_TRUE(library.FindById(1));
    EXPECT_EQ(MacroName(*library.FindById(1)), QStringLiteral("Reload"));
    EXPECT_FALSE(library.FindById(4));
    EXPECT_TRUE(library.Contains(2));

    // Case-insensitive, first in library order; an empty name finds nothing.
    ASSERT_TRUE(library.FindByName(QStringLiteral("JUMP")));
    EXPECT_EQ(library.FindByName(QStringLiteral("JUMP"))->id, 3u);
    EXPECT_FALSE(library.FindByName(QStringLiteral("Jum")));
    EXPECT_FALSE(library.FindByName(QString()));
}

TEST_F(MacroLibraryTest, EmptyNamedRecordsAreNeverFoundByName)
{
    library.AddCopy(MakeMacro(QString(), {}, 5));
    EXPECT_FALSE(library.FindByName(QString()));
    EXPECT_FALSE(library.FindByName(QStringLiteral("")));
}

TEST_F(MacroLibraryTest, HoldsAtMost2000Macros)
{
    for (uint32_t id = 1; id <= 2000; ++id)
        ASSERT_TRUE(library.AddCopy(MakeMacro(QStringLiteral("M"), {}, id)));
    EXPECT_FALSE(library.AddCopy(MakeMacro(QStringLiteral("M"), {}, 2001)));
    EXPECT_EQ(library.Count(), 2000);
    library.Remove(1);
    EXPECT_TRUE(library.AddCopy(MakeMacro(QStringLiteral("M"), {}, 2001)));
}

TEST_F(MacroLibraryTest, RemoveUpdateSnapshotAndReservedReset)
{
    for (uint32_t id : {10u, 20u, 30u}) {
        StMacro m = MakeMacro(QStringLiteral("R"), {{0x41, kActionPress, id}}, id);
        m.reserved = 0xDEAD;
        library.AddCopy(m);
    }
    EXPECT_TRUE(library.Remove(20));
    EXPECT_FALSE(library.Remove(20));
    EXPECT_FALSE(library.Contains(20));

    EXPECT_TRUE(library.Update(30, [](StMacro& m) { m.loopMode = kLoopMode2; }));
    EXPECT_FALSE(library.Update(99, [](StMacro&) { FAIL() << "no record 99"; }));
    EXPECT_EQ(library.FindById(30)->loopMode, kLoopMode2);

    const uint32_t wanted[] = {30, 20, 10};
    const std::vector<StMacro> snapshot = library.Snapshot(wanted);
    ASSERT_EQ(snapshot.size(), 2u);
    EXPECT_EQ(snapshot[0].id, 30u);
    EXPECT_EQ(snapshot[1].id, 10u);

    library.ResetReservedFields();
    for (const StMacro& m : library.All())
        EXPECT_EQ(m.reserved, 0u);
}

TEST(MacroEqualTest, ComparesNameEventsAndNothingElse)
{
    const StMacro base = MakeMacro(QStringLiteral("Combo"), {{0x41, kActionPress, 10}, {0x41, kActionRelease, 0}}, 1);
    struct Case {
        const char* what;
        std::function<void(StMacro&)> change;
        bool equal;
    } cases[] = {
        {"identical", [](StMacro&) {}, true},
        {"other id, loop mode, flags, repeat count", [](StMacro& m) { m.id = 2; m.loopMode = 1; m.flags = kMacroDirty; m.repeatCount = 9; }, true},
        {"name in other case", [](StMacro& m) { SetMacroName(m, QStringLiteral("COMBO")); }, true},
        {"other name", [](StMacro& m) { SetMacroName(m, QStringLiteral("Combo2")); }, false},
        {"one event more", [](StMacro& m) { m.events[2] = MacroEvent{0x42, kActionPress, 0}; }, false},
        {"one event less", [](StMacro& m) { m.events[1] = MacroEvent{0, 0, 0}; }, false},
        {"other code", [](StMacro& m) { m.events[0].code = 0x42; }, false},
        {"other action", [](StMacro& m) { m.events[0].action = kActionRelease; }, false},
        {"other delay", [](StMacro& m) { m.events[1].delay = 5; }, false},
        {"garbage after the terminator", [](StMacro& m) { m.events[5] = MacroEvent{0x43, 1, 1}; }, true},
    };
    for (const Case& c : cases) {
        StMacro other = base;
        c.change(other);
        EXPECT_EQ(MacroEqual(base, other), c.equal) << c.what;
        EXPECT_EQ(MacroEqual(other, base), c.equal) << c.what;
    }
}

TEST(MacroInUseTest, OnlyMacroKeysWithThatIdCount)
{
    KeyTable keys{};
    keys[2][15] = KeyAssignment{0x5000000, 16, 0x0ABCDE, {}, 0, 0};
    keys[0][0] = KeyAssignment{0x1000011, 1, 0x012345, {}, 0, 0};  // a stale id on a left click
    EXPECT_TRUE(MacroInUse(keys, 0x0ABCDE));
    EXPECT_FALSE(MacroInUse(keys, 0x012345));
    EXPECT_FALSE(MacroInUse(keys, 0x000001));
}

TEST(TimeStampIdTest, FormsTheIdFromTheTimeOfDay)
{
    EXPECT_EQ(TimeStampId(13, 37, 42, 300), 0xD96A2Cu);
    EXPECT_EQ(TimeStampId(21, 0, 0, 0), 0x500000u);
    EXPECT_EQ(TimeStampId(23, 59, 59, 999) >> 24, 0u);
    const uint32_t first = NewTimeStampId();
    EXPECT_NE(NewTimeStampId(), first);
}

// Id 0 marks an invalid profile: a profile or macro made at 0:00:00.000 (or 16:00:00.256, ...)
// gets the id of the next time instead.
TEST(TimeStampIdTest, IsNeverZero)
{
    static int calls = 0;
    calls = 0;
    const auto clock = []() -> QTime { return ++calls == 1 ? QTime(16, 0, 0, 256) : QTime(16, 0, 0, 277); };
    EXPECT_EQ(NewTimeStampId(clock), TimeStampId(16, 0, 0, 277));
    EXPECT_EQ(calls, 2);
}

TEST(NewEmptyMacroTest, HasTheDefaultsOfANewRecord)
{
    const StMacro m = NewEmptyMacro(QStringLiteral("A name that is far longer than thirty-nine characters"));
    EXPECT_EQ(m.magic, kMacroMagic);
    EXPECT_NE(m.id, 0u);
    EXPECT_EQ(m.flags, 0u);
    EXPECT_EQ(m.autoDelay, 1u);
    EXPECT_EQ(m.loopMode, kLoopCount);
    EXPECT_EQ(m.repeatCount, 1);
    EXPECT_EQ(MacroEventCount(m), 0);
    EXPECT_EQ(MacroName(m).size(), 39);
    EXPECT_EQ(m.name[39], 0);
}

// The apply worker copies records on its thread while the user interface edits the library:
// every copy it gets is a whole record, never half of an edit.
TEST(MacroLibraryThreads, WorkerSnapshotsNeverSeeAHalfEditedRecord)
{
    MacroLibrary library;
    const auto fill = [&library](uint16_t code) {
        library.Update(7, [code](StMacro& m) {
            for (int i = 0; i < 60; ++i)
                m.events[i] = MacroEvent{code, kActionPress, 1};
        });
    };
    library.AddCopy(MakeMacro(QStringLiteral("Shared"), {}, 7));
    fill(1);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread worker([&] {
        const uint32_t ids[] = {7};
        while (!done.load()) {
            for (const StMacro& m : library.Snapshot(ids)) {
                const uint16_t code = m.events[0].code;
                for (int i = 1; i < 60; ++i)
                    if (m.events[i].code != code)
                        torn.fetch_add(1);
            }
            library.ResetReservedFields();
        }
    });
    for (uint16_t round = 2; round <= 2000; ++round) {
        fill(round);
        library.AddCopy(MakeMacro(QStringLiteral("Temp"), {}, 100));
        library.Remove(100);
    }
    done.store(true);
    worker.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace zorvan
