// Saves cut off by SIGKILL: a child process saves the profile store, a macro file and a profile
// export over and over, two versions in turn, and is killed at a random moment, a thousand
// times. Every file must then be exactly the old or the new version, never cut short or mixed,
// and what a killed save leaves in the macro folder must not be taken for a macro.
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/macro_tree.h"
#include "mouse_fixture.h"
#include "profile/function_codes.h"
#include "profile/profile_defaults.h"
#include "profile/profile_store.h"
#include "profile/profile_transfer.h"
#include "profile/profile_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvan {
namespace {

constexpr int kModel = 2;
constexpr int kKills = 1000;
constexpr uint32_t kMacroId = 0x2468;

// One version of everything that is saved: every byte that can differ between the two versions
// does, at the start and at the end of each file, so a file of mixed pieces equals neither.
struct Version {
    std::array<ProfileRecord, ProfileList::kCount> records{};
    StMacro macro{};
};

class CrashSafeSaves : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        Config().SetCurrentDeviceIndex(kModel);
        LoadPro(dir_.Path());
        std::array<ProfileRecord, ProfileList::kCount> base{};
        for (int i = 0; i < ProfileList::kCount; ++i)
            base[size_t(i)] = *ProfileCopy(i);
        for (int v = 0; v < 2; ++v) {
            Version& version = versions_[size_t(v)];
            version.records = base;
            for (ProfileRecord& r : version.records) {
                std::fill(std::begin(r.reserved1), std::end(r.reserved1), uint8_t(0xA0 + v));
                std::fill(std::begin(r.reserved3), std::end(r.reserved3), uint8_t(0xB0 + v));
                r.Key[0][1].dwFunID = kFunMacro;
                r.Key[0][1].dwMacroID = kMacroId;
            }
            version.macro = NewEmptyMacro(QStringLiteral("saved"));
            version.macro.id = kMacroId;
            for (int e = 0; e < kMacroEventSlots; ++e)
                version.macro.events[e] = {uint16_t('A' + v), kActionPress, uint32_t(100 * v + e + 1)};
        }
        Macros().AddCopy(versions_[0].macro);
    }

    QString ExportPath() const { return dir_.File(QStringLiteral("out.qxa")); }
    QString StorePath() const
    {
        const DeviceDescription& d = *CurrentDevice();
        return dir_.File(ProfileStoreName(d.CID, d.MID));
    }
    static QString MacroPath() { return MacroFilePath(QStringLiteral("saved"), kMacroId); }

    // The three saves of one version, as the program makes them.
    void Save(int v)
    {
        const Version& version = versions_[size_t(v)];
        {
            std::lock_guard lock(Profiles().profileLock);
            Profiles().profiles.Assign(version.records, version.records[0].id);
        }
        SavePro(dir_.Path());
        ReplaceMacro(version.macro);
        ExportProfile(ExportPath());
    }

    // The bytes of the three files after version `v` was saved.
    std::array<QByteArray, 3> Files() const
    {
        return {test::ReadFile(StorePath()), test::ReadFile(MacroPath()), test::ReadFile(ExportPath())};
    }

    std::array<Version, 2> versions_;
};

TEST_F(CrashSafeSaves, AKilledSaveLeavesTheOldOrTheNewFileNeverAPieceOfEither)
{
    // One round of both versions, timed: the kills are spread over a few rounds, however fast
    // this build saves (sanitizer builds are several times slower).
    const auto start = std::chrono::steady_clock::now();
    Save(1);
    const std::array<QByteArray, 3> newer = Files();
    Save(0);
    const std::array<QByteArray, 3> older = Files();
    const auto roundUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    for (size_t f = 0; f < older.size(); ++f) {
        ASSERT_FALSE(older[f].isEmpty()) << f;
        ASSERT_NE(older[f], newer[f]) << f;
    }

    std::mt19937 random(20240613);
    std::uniform_int_distribution<int> delayUs(0, std::max(3000, int(3 * roundUs.count())));
    std::array<std::array<int, 2>, 3> seen{};
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child saves until it is killed (and gives up after a while on its own, should
            // the test die first).
            for (int i = 1; i < 100000; ++i)
                Save(i % 2);
            ::_exit(0);
        }
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended before it was killed";

        const std::array<QByteArray, 3> now = Files();
        for (size_t f = 0; f < now.size(); ++f) {
            const bool isOld = now[f] == older[f];
            const bool isNew = now[f] == newer[f];
            ASSERT_TRUE(isOld || isNew) << "file " << f << " after kill " << kill << ": " << now[f].size() << " bytes";
            ++seen[f][isNew ? 1 : 0];
        }
    }
    // The kills met the child in the middle of its work: both versions were found on disk.
    for (size_t f = 0; f < seen.size(); ++f) {
        EXPECT_GT(seen[f][0], 0) << f;
        EXPECT_GT(seen[f][1], 0) << f;
    }
    // What the kills left in the macro folder is not taken for a macro: the folder load finds
    // the one macro file.
    Macros().Clear();
    MacroTree tree;
    ASSERT_TRUE(LoadMacroFolder(MacroFolder(), &tree, nullptr, false, true));
    EXPECT_EQ(Macros().Count(), 1);
    ASSERT_EQ(tree.Root()->children.size(), 1u);
    EXPECT_EQ(tree.Root()->children[0]->text, QStringLiteral("saved"));
}

}  // namespace
}  // namespace zorvan
