#pragma once
// A device session the tests steer: the mouse's state is set by the test, and every action
// the window starts is counted. Changes edit `profile` (a real record, by the real editing
// rules the pages hand in) and record the requests they would post.
#include "app/configuration.h"
#include "app/message_box.h"
#include "ui/device_port.h"

#include <QTimer>

#include <vector>

namespace zorvan::test {

class FakeDevicePort : public DevicePort {
    Q_OBJECT
public:
    int devices = 1;
    int countDelayMs = -1;  // at least 0: the count arrives that much later, as the live search's does
    std::vector<std::string> denied;  // device nodes the user may not open
    bool receiverOnly = false;
    bool connected = true;
    bool reading = false;
    bool allowChanges = true;    // the settings-change check
    bool allowDesktopChanges = true;  // its desktop form
    bool lightingLocked = false;  // the lighting-lock query
    bool switchWorks = true;      // SelectProfile
    bool writesOk = true;         // AfterWrites
    std::optional<int> firmware = 0x0107;
    bool underPid = false;
    const DeviceDescription* device = nullptr;
    std::optional<ProfileRecord> profile = ProfileRecord{};
    int profileIndex = 0;
    int repairs = 0;  // RepairProfile calls that changed the profile
    std::vector<int> told;  // TellDrvStatus values
    std::vector<ApplyRequest> posted;
    std::vector<int> selected;  // SelectProfile indices that switched
    int starts = 0, resets = 0, writes = 0, exits = 0;

    void CountDevices(std::function<void(int found)> done) override
    {
        if (countDelayMs < 0)
            done(devices);
        else
            QTimer::singleShot(countDelayMs, this, [this, done] { done(devices); });
    }
    void Start() override { ++starts; }
    std::vector<std::string> DeniedNodes() const override { return denied; }
    bool ReceiverWithoutMouse() const override { return receiverOnly; }
    bool Connected() const override { return connected; }
    bool Reading() const override { return reading; }
    std::optional<int> FirmwareVersion() const override { return firmware; }
    bool UnderPid() const override { return underPid; }
    const DeviceDescription* CurrentDevice() const override { return device; }
    std::optional<ProfileRecord> CurrentProfile() const override { return profile; }
    int CurrentProfileIndex() const override { return profile ? profileIndex : -1; }
    void TellDrvStatus(int shown) override { told.push_back(shown); }
    bool SettingsChangeAllowed() override { return allowChanges; }
    bool DesktopChangeAllowed() override { return allowDesktopChanges; }
    void ResetProfileToDefaults() override { ++resets; }
    void WriteDefaultsToMouse() override
    {
        ++writes;
        emit progress(50);
        emit progressEnded();
    }
    void Exit() override { ++exits; }

    void ChangeSetting(const ProfileEdit& edit, ChangeDone done = {}) override
    {
        Report(done, Change(edit, allowChanges, false));
    }
    void ChangeDesktopSetting(const ProfileEdit& edit, ChangeDone done = {}) override
    {
        Report(done, Change(edit, allowDesktopChanges, false));
    }
    void ChangeLighting(const ProfileEdit& edit, ChangeDone done = {}) override
    {
        Report(done, Change(edit, allowChanges, true));
    }
    void SelectProfile(int index, ChangeDone done = {}) override
    {
        if (!allowChanges) {
            Report(done, ChangeResult::kRefused);
            return;
        }
        if (switchWorks)
            selected.push_back(index);
        Report(done, switchWorks ? ChangeResult::kMade : ChangeResult::kNotTaken);
    }
    void RepairProfile(const ProfileEdit& edit) override
    {
        if (profile && edit(*profile).IsChanged())
            ++repairs;
    }
    bool Post(const ApplyRequest& request) override
    {
        posted.push_back(request);
        return true;
    }
    void AfterWrites(std::function<void(bool ok)> done) override
    {
        if (holdWrites) {
            heldWrites.push_back(std::move(done));
            return;
        }
        QTimer::singleShot(0, this, [this, done] { done(writesOk); });
    }
    // With holdWrites the writes end only when the test ends them.
    bool holdWrites = false;
    std::vector<std::function<void(bool ok)>> heldWrites;

private:
    // As the settings editor: the check, the edit, and its request posted with ApplyNow
    // (lighting: unless the mouse's lighting is locked; the profile keeps the change). A refusal
    // is shown as the session shows it.
    ChangeResult Change(const ProfileEdit& edit, bool allowed, bool lighting)
    {
        if (!allowed || !profile)
            return ChangeResult::kRefused;
        const Edit result = edit(*profile);
        if (!result.IsChanged()) {
            if (!result.message.isEmpty())
                ShowMessage(QStringLiteral("Warning"), result.message);
            return ChangeResult::kRefused;
        }
        if (Options().ApplyNow == 0)
            return ChangeResult::kMade;
        if (lighting && lightingLocked)
            return ChangeResult::kNotTaken;
        posted.push_back(result.request);
        return ChangeResult::kMade;
    }
    void Report(const ChangeDone& done, ChangeResult result)
    {
        if (done)
            QTimer::singleShot(0, this, [done, result] { done(result); });
    }
};

}  // namespace zorvan::test
