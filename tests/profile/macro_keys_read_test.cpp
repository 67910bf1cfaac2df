// Macro keys read from the emulated mouse and merged into the macro library: a macro slot keeps
// 15 characters of a name, so "Reload sequence A" and "Reload sequence B" look alike on the
// mouse. Each case compares the library, the keys and the mouse's macro slots before and after
// a read followed by a write of the keys.
#include "device/eeprom_map.h"
#include "mouse_fixture.h"
#include "profile/apply_request.h"
#include "profile/function_codes.h"
#include "profile/profile_pauses.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace zorvan {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kIdA = 0x0A0A0A;
constexpr uint32_t kIdB = 0x0B0B0B;
constexpr uint32_t kIdC = 0x0C0C0C;
constexpr int kKeyA = 3;  // matrix positions 4 and 5
constexpr int kKeyB = 4;

class MacroKeysRead : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        savedPauses_ = Pauses();
        Pauses() = ProfilePauses{0ms, 0ms, 0ms, 0ms, 0ms};
        UseModel(0);
        Link().timing.pauseBeforeWait = 0ms;
    }
    void TearDown() override
    {
        Pauses() = savedPauses_;
        MouseTest::TearDown();
    }
    static void AddLibraryMacro(uint32_t id, const char* name, std::vector<MacroEvent> events)
    {
        AddMacro(id, QString::fromUtf8(name));
        Macros().Update(id, [&events](StMacro& r) {
            for (size_t i = 0; i < events.size(); ++i)
                r.events[i] = events[i];
        });
    }
    static void SetKey(int key, uint32_t macroId)
    {
        ASSERT_TRUE(EditCurrentProfile([&](ProfileRecord& p) {
            KeyAssignment* k = p.CurrentKey(key);
            k->dwFunID = macroId != 0 ? 0x05000000 : 0x01000011;
            k->dwMacroID = macroId;
        }));
    }
    bool WriteKeys()
    {
        const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
        return snapshot && WriteSettings(Link(), *snapshot, apply::kKeys, apply::kAll);
    }
    bool ReadAndCommit()
    {
        std::atomic<bool> abort{false};
        ProfileRecord working = *CurrentProfileCopy();
        ProfileReadExtras extras;
        return GetProfile(Link(), abort, working, extras) && CommitProfileRead(0, working, extras);
    }
    // The macro slots of the two keys.
    Bytes Slots() { return Mouse().Memory(eeprom::kMacroBlocks + eeprom::kMacroBlockSize * kKeyA, 2 * eeprom::kMacroBlockSize); }
    static uint32_t KeyMacro(int key) { return CurrentProfileCopy()->CurrentKey(key)->dwMacroID; }

private:
    ProfilePauses savedPauses_;
};

TEST_F(MacroKeysRead, AMacroFromTheMouseNeverReplacesAnotherLibraryMacro)
{
    struct Case {
        const char* name;
        uint32_t writtenA;   // the macros the mouse is given on the two keys
        uint32_t writtenB;
        uint32_t localA;     // what the keys refer to locally when the read starts (0: left click)
        uint32_t localB;
        bool removeC;        // the macro written to the mouse is not in this library
        uint32_t expectedA;  // 0: a macro added by the read
        uint32_t expectedB;
    };
    const Case cases[] = {
        {"two macros with one cut name", kIdA, kIdB, kIdA, kIdB, false, kIdA, kIdB},
        {"keys without macros: name and events agree", kIdA, kIdB, 0, 0, false, kIdA, kIdB},
        {"keys swapped locally: the mouse's macros are found", kIdA, kIdB, kIdB, kIdA, false, kIdA, kIdB},
        {"the mouse holds a macro this library lacks", kIdC, kIdB, kIdA, kIdB, true, 0, kIdB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Macros().Clear();
        AddLibraryMacro(kIdA, "Reload sequence A", {{'R', kActionPress, 30}, {'R', kActionRelease, 50}});
        AddLibraryMacro(kIdB, "Reload sequence B",
                        {{0xA2, kActionPress, 5}, {'R', kActionPress, 5}, {'R', kActionRelease, 5}, {0xA2, kActionRelease, 0}});
        AddLibraryMacro(kIdC, "Reload sequence C", {{'C', kActionPress, 10}, {'C', kActionRelease, 0}});
        SetKey(kKeyA, c.writtenA);
        SetKey(kKeyB, c.writtenB);
        ASSERT_TRUE(WriteKeys());
        if (c.removeC) {
            ASSERT_TRUE(Macros().Remove(kIdC));
        }
        SetKey(kKeyA, c.localA);
        SetKey(kKeyB, c.localB);
        const std::vector<StMacro> libraryBefore = Macros().All();
        const Bytes slotsBefore = Slots();

        ASSERT_TRUE(ReadAndCommit());
        const std::vector<StMacro> library = Macros().All();
        ASSERT_GE(library.size(), libraryBefore.size());
        for (size_t i = 0; i < libraryBefore.size(); ++i)
            EXPECT_EQ(std::memcmp(&library[i], &libraryBefore[i], sizeof(StMacro)), 0) << MacroName(libraryBefore[i]).toStdString();
        const uint32_t added = library.size() > libraryBefore.size() ? uint32_t(library.back().id) : 0;
        EXPECT_EQ(library.size(), libraryBefore.size() + (c.expectedA == 0 ? 1 : 0));
        EXPECT_EQ(KeyMacro(kKeyA), c.expectedA != 0 ? c.expectedA : added);
        EXPECT_EQ(KeyMacro(kKeyB), c.expectedB);
        EXPECT_NE(KeyMacro(kKeyA), KeyMacro(kKeyB));

        // Writing the keys back gives the mouse what it held: each key keeps its own macro.
        ASSERT_TRUE(WriteKeys());
        EXPECT_EQ(Slots(), slotsBefore);
        // And a second read finds the same macros without adding any.
        ASSERT_TRUE(ReadAndCommit());
        EXPECT_EQ(Macros().Count(), int(library.size()));
    }
}

}  // namespace
}  // namespace zorvan
