// The whole mouse backed up and restored against the emulated mouse: the four EEPROM images
// come back byte for byte, the active profile stays active, a backup of another model is
// refused before anything is written, an unplug at any request ends with a clear failure and a
// mouse that works afterwards, and the write check catches a write the mouse did not keep.
#include "app/function_catalogue.h"
#include "device/emulated/mouse_firmware.h"
#include "device/report_frame.h"
#include "macro/macro_library.h"
#include "mouse_fixture.h"
#include "profile/apply_request.h"
#include "profile/apply_worker.h"
#include "profile/mouse_backup.h"
#include "profile/profile_pauses.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

constexpr int kModel = 2;
constexpr uint32_t kEveryArea = apply::kImportFlags & ~apply::kSystemPointer;
constexpr uint32_t kMacroId = 0x3333;

class WholeMouse : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        savedPauses_ = Pauses();
        // The protocol's pauses are not what these tests look at; without them a backup is
        // a few hundred fast exchanges.
        Pauses() = ProfilePauses{0ms, 0ms, 0ms, 0ms, 0ms};
        UseModel(kModel, 0ms);
        ShortenTimeouts();
        StMacro macro = AddMacro(kMacroId, QStringLiteral("Reload sequence"));
        Macros().Update(macro.id, [](StMacro& m) {
            m.events[0] = {'R', kActionPress, 30};
            m.events[1] = {'R', kActionRelease, 0};
        });
    }
    void TearDown() override
    {
        Pauses() = savedPauses_;
        MouseTest::TearDown();
    }
    void ShortenTimeouts()
    {
        Link().timing.pauseBeforeWait = 0ms;
        Link().timing.sendRetryPause = 1ms;
        Link().timing.readPiecePause = 0ms;
        ShortenAnswerWait();
    }
    void Reconnect()
    {
        Mouse().Reconnect();
        ShortenTimeouts();
    }

    eeprom::ProfileImages Images() { return Mouse().Firmware().State().profiles; }
    int Active() { return Mouse().Firmware().State().activeProfile; }

    // Writes profile `p` of the mouse as the settings writer does, after `edit` of its local copy.
    void WriteProfile(int p, const std::function<void(ProfileRecord&)>& edit)
    {
        const int active = Active();
        ASSERT_TRUE(Link().SetCurProfile(p));
        WriteSnapshot snapshot;
        snapshot.profile = *ProfileCopy(p);
        edit(snapshot.profile);
        snapshot.currentDpiLevel = 1;
        const uint32_t id = kMacroId;
        snapshot.macros = Macros().Snapshot(std::span(&id, 1));
        ASSERT_TRUE(WriteSettings(Link(), snapshot, kEveryArea, apply::kAll));
        ASSERT_TRUE(Link().SetCurProfile(active));
    }
    // Four profiles that differ: a polling rate, a macro key, a media key, fewer levels and a
    // main lighting effect.
    void MakeFourDifferentProfiles()
    {
        WriteProfile(0, [](ProfileRecord& p) { p.pollingRate = kRate500; });
        WriteProfile(1, [](ProfileRecord& p) {
            p.CurrentKey(3)->dwFunID = kFunMacro;
            p.CurrentKey(3)->dwMacroID = kMacroId;
        });
        WriteProfile(2, [](ProfileRecord& p) {
            p.CurrentKey(4)->dwFunID = kFunVolumeUp;
        });
        WriteProfile(3, [](ProfileRecord& p) {
            p.dpiLevelCount = 3;
            p.mainLight.mode = 2;
            p.mainLight.colour = 0x00FF00;
        });
    }
    // Every profile changed in what MakeFourDifferentProfiles set and more.
    void ChangeEveryProfile()
    {
        for (int p = 0; p < eeprom::kOnBoardProfiles; ++p)
            WriteProfile(p, [](ProfileRecord& r) {
                r.pollingRate = kRate125;
                r.dpiLevels[0].colour = 0x123456;
                r.CurrentKey(3)->dwFunID = kFunMiddleButton;
                r.CurrentKey(4)->dwFunID = kFunMiddleButton;
                r.mainLight.mode = 4;
                r.debounce = 12;
            });
    }
    std::optional<MouseBackup> Backup(QString* error = nullptr)
    {
        std::atomic<bool> abort{false};
        QString text;
        std::optional<MouseBackup> backup = ReadWholeMouse(Link(), abort, {}, text);
        if (error)
            *error = text;
        return backup;
    }
    bool Restore(const MouseBackup& backup, QString* error = nullptr, bool writeCheck = true)
    {
        QString text;
        const bool ok = WriteWholeMouse(Link(), backup, RestoreOptions{false, writeCheck}, {}, text);
        if (error)
            *error = text;
        return ok;
    }
    int RequestsOf(const std::function<void()>& action)
    {
        const int before = Mouse().RequestCount();
        action();
        return Mouse().RequestCount() - before;
    }

    ProfilePauses savedPauses_;
};

TEST_F(WholeMouse, BackupChangesRestoreGiveTheFourImagesBackByteForByte)
{
    MakeFourDifferentProfiles();
    ASSERT_TRUE(Link().SetCurProfile(2));
    const eeprom::ProfileImages originals = Images();
    std::vector<QString> steps;
    std::atomic<bool> abort{false};
    QString error;
    const std::optional<MouseBackup> backup =
        ReadWholeMouse(Link(), abort, [&steps](const QString& step) { steps.push_back(step); }, error);
    ASSERT_TRUE(backup) << error.toStdString();
    EXPECT_EQ(Active(), 2) << "the profile that was active is active again";
    EXPECT_EQ(backup->activeProfile, 2);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_TRUE(steps.back().startsWith(QStringLiteral("on-board profile 3 (4 of 4)"))) << steps.back().toStdString();
    EXPECT_EQ(Images(), originals) << "a backup writes nothing";
    ASSERT_EQ(backup->profiles[1].macros.size(), 1u);
    EXPECT_EQ(backup->profiles[1].macros[0].id & 0xF00000, 0xF00000u) << "the local copy knows no macro: the slot's";
    EXPECT_EQ(backup->profiles[1].record.Key[0][3].dwMacroID, backup->profiles[1].macros[0].id);
    // Once the local copy refers to the library macro (as after a read of that profile), the
    // library macro travels, with its full name.
    {
        std::lock_guard lock(Profiles().profileLock);
        KeyAssignment& key = Profiles().profiles.At(1)->Key[0][3];
        key.dwFunID = kFunMacro;
        key.dwMacroID = kMacroId;
    }
    const std::optional<MouseBackup> again = Backup();
    ASSERT_TRUE(again);
    ASSERT_EQ(again->profiles[1].macros.size(), 1u);
    EXPECT_EQ(again->profiles[1].macros[0].id, kMacroId);
    EXPECT_EQ(std::u16string_view(again->profiles[1].macros[0].name), u"Reload sequence");

    // Through the file's bytes, as a restore reads it.
    QString decodeError;
    const std::optional<MouseBackup> decoded = DecodeBackup(EncodeBackup(*backup), decodeError);
    ASSERT_TRUE(decoded) << decodeError.toStdString();

    ChangeEveryProfile();
    ASSERT_TRUE(Link().SetCurProfile(1));
    for (int p = 0; p < eeprom::kOnBoardProfiles; ++p)
        ASSERT_NE(Images()[size_t(p)], originals[size_t(p)]) << p;
    Macros().Clear();  // the macro comes from the file, not from the library

    ASSERT_TRUE(Restore(*decoded, &error)) << error.toStdString();
    EXPECT_EQ(Active(), 1) << "the profile active before the restore stays active";
    for (int p = 0; p < eeprom::kOnBoardProfiles; ++p)
        EXPECT_EQ(Images()[size_t(p)], originals[size_t(p)]) << "profile " << p + 1;
}

// After a whole read of the active profile taken over as the session takes it over, a backup
// given that read's bytes asks the mouse for the three other profiles only and is the backup
// that reads all four; bytes of another profile are not used.
TEST_F(WholeMouse, TheActiveProfileReadJustBeforeIsNotReadAgain)
{
    MakeFourDifferentProfiles();
    constexpr int kActive = 1;  // the profile with the macro key
    ASSERT_TRUE(Link().SetCurProfile(kActive));
    std::atomic<bool> abort{false};
    ProfileBytes bytes(kActive);
    ProfileRecord working = *ProfileCopy(kActive);
    ProfileReadExtras extras;
    const int oneRead = RequestsOf([&] { ASSERT_TRUE(GetProfile(Link(), abort, working, extras, &bytes)); });
    ASSERT_TRUE(CommitProfileRead(kActive, working, extras));

    std::optional<MouseBackup> readAll;
    const int allFour = RequestsOf([&] { readAll = Backup(); });
    ASSERT_TRUE(readAll);
    struct Case {
        const char* name;
        ProfileBytes bytes;
        int requests;
    };
    const Case cases[] = {
        {"the active profile's", bytes, allFour - oneRead},
        {"another profile's", ProfileBytes(kActive + 1), allFour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        std::optional<MouseBackup> backup;
        EXPECT_EQ(RequestsOf([&] { backup = ReadWholeMouse(Link(), abort, {}, error, &c.bytes); }), c.requests);
        ASSERT_TRUE(backup) << error.toStdString();
        EXPECT_EQ(EncodeBackup(*backup), EncodeBackup(*readAll));
        EXPECT_EQ(Active(), kActive);
    }
    ASSERT_EQ(readAll->profiles[kActive].macros.size(), 1u);
    EXPECT_EQ(readAll->profiles[kActive].macros[0].id, kMacroId) << "the read merged the slot into the library macro";
}

TEST_F(WholeMouse, ABackupOfAnotherModelIsRefusedBeforeAnythingIsSent)
{
    const std::optional<MouseBackup> backup = Backup();
    ASSERT_TRUE(backup);
    const std::vector<int> models = Models();
    const auto other = std::find_if(models.begin(), models.end(), [](int m) { return m != kModel; });
    ASSERT_NE(other, models.end());
    UseModel(*other, 0ms);
    ShortenTimeouts();
    const eeprom::ProfileImages before = Images();
    QString error;
    EXPECT_EQ(RequestsOf([&] { EXPECT_FALSE(Restore(*backup, &error)); }), 0);
    EXPECT_TRUE(error.contains(QStringLiteral("backup of the model"))) << error.toStdString();
    EXPECT_EQ(Images(), before);
}

TEST_F(WholeMouse, UnplugAtEveryRequestOfABackup)
{
    MakeFourDifferentProfiles();
    ASSERT_TRUE(Link().SetCurProfile(3));
    const eeprom::ProfileImages images = Images();
    const int requests = RequestsOf([this] { ASSERT_TRUE(Backup()); });
    ASSERT_GT(requests, 4 * (19 + 32 + 16));
    for (int n = 1; n <= requests; ++n) {
        SCOPED_TRACE(n);
        Mouse().Firmware().UnplugAtRequest(n);
        const auto start = std::chrono::steady_clock::now();
        QString error;
        EXPECT_FALSE(Backup(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        Reconnect();
        // The mouse is usable: it answers, and nothing of it was written.
        ASSERT_GE(Link().GetCurProfile(), 0);
        ASSERT_TRUE(Link().SetCurProfile(3));
        ASSERT_EQ(Images(), images);
    }
    EXPECT_TRUE(Backup());
    EXPECT_EQ(Active(), 3);
}

TEST_F(WholeMouse, UnplugAtEveryRequestOfARestore)
{
    MakeFourDifferentProfiles();
    const std::optional<MouseBackup> backup = Backup();
    ASSERT_TRUE(backup);
    const eeprom::ProfileImages originals = Images();
    ChangeEveryProfile();
    const eeprom::ProfileImages changed = Images();
    const int requests = RequestsOf([&] { ASSERT_TRUE(Restore(*backup)); });
    ASSERT_GT(requests, 4 * 20);
    for (int n = 1; n <= requests; ++n) {
        SCOPED_TRACE(n);
        ChangeEveryProfile();
        Mouse().Firmware().UnplugAtRequest(n);
        const auto start = std::chrono::steady_clock::now();
        QString error;
        EXPECT_FALSE(Restore(*backup, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("on-board profile")) || error.contains(QStringLiteral("active")))
            << error.toStdString();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        Reconnect();
        ASSERT_TRUE(Link().SetCurProfile(0));
    }
    // Restored again once the mouse answers, it holds exactly the backup.
    ASSERT_TRUE(Restore(*backup));
    EXPECT_EQ(Images(), originals);
    EXPECT_NE(changed, originals);
}

TEST_F(WholeMouse, TheWriteCheckFindsAWriteTheMouseDidNotKeep)
{
    const std::optional<MouseBackup> backup = Backup();
    ASSERT_TRUE(backup);
    ChangeEveryProfile();
    const eeprom::ProfileImages changed = Images();
    // Every write is answered as done and not stored.
    Mouse().Firmware().InjectFault(FaultKind::kForgetWrite, 100000);
    QString error;
    EXPECT_FALSE(Restore(*backup, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("holds something else at 0x"))) << error.toStdString();
    const std::vector<std::string> lines = LogLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Write check: 0x") != std::string::npos && line.find("was written") != std::string::npos;
    }));
    EXPECT_EQ(Images(), changed);
    // Without the check the same restore reports success: the check is what tells.
    EXPECT_TRUE(Restore(*backup, &error, false));
}

TEST_F(WholeMouse, TheApplyWorkerChecksTheRequestsThatAskForIt)
{
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.pollingRate = kRate250; }));
    struct Case {
        const char* name;
        uint32_t flags;
        bool forget;
        bool ok;
        int reads;  // read requests after the write
    };
    const Case cases[] = {
        {"checked, kept", apply::kPollingRate | apply::kVerify, false, true, 1},
        {"checked, forgotten", apply::kPollingRate | apply::kVerify, true, false, 1},
        {"not asked, forgotten", apply::kPollingRate, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.emplace();
        ApplyWorker worker;
        std::atomic<int> result{-1};
        worker.SetDoneCallback([&result](const ApplyRequest&, bool ok) { result = ok ? 1 : 0; });
        worker.Start(Link());
        Mouse().TakeRequests();
        if (c.forget)
            Mouse().Firmware().InjectFault(FaultKind::kForgetWrite, 1);
        worker.Post(c.flags, 0);
        ASSERT_TRUE(worker.WaitIdle(10s));
        worker.Stop();
        EXPECT_EQ(result.load(), c.ok ? 1 : 0);
        int reads = 0;
        for (const auto& [command, address, length] : Mouse().TakeRequests())
            reads += command == kCmdReadEEPROM ? 1 : 0;
        EXPECT_EQ(reads, c.reads);
        EXPECT_EQ(Shown(QStringLiteral("   Update settings failed!      ")), !c.ok);
        Link().WriteEEPROM(0, 2, 0, std::array<uint8_t, 2>{0x01, 0x54}.data());
    }
}

}  // namespace
}  // namespace zorvan
