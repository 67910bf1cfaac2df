#pragma once
// The main window's device session: the HID backend (hidraw, or the emulated mouse when
// ZORVAN_EMULATE asks for it), the device table, link, discovery and the DeviceSession that
// ties them together, seen through DevicePort.
#include "device/backend_factory.h"
#include "device/device_discovery.h"
#include "device/device_notifier.h"
#include "device/device_table.h"
#include "device/emulated/state_file_follower.h"
#include "device/usb_driver.h"
#include "profile/device_session.h"
#include "profile/settings_editor.h"
#include "ui/device_port.h"

#include <memory>

namespace zorvan {

class LiveDevicePort : public DevicePort {
    Q_OBJECT
public:
    // Null with `error` set when the backend cannot be made (an unreadable state file).
    static std::unique_ptr<LiveDevicePort> Create(const BackendChoice& choice, QString* error);
    ~LiveDevicePort() override;

    void CountDevices(std::function<void(int found)> done) override
    {
        session_->CountDevicesInBackground(std::move(done));
    }
    void Start() override { session_->Start(); }
    std::vector<std::string> DeniedNodes() const override { return discovery_->DeniedNodes(); }
    bool ReceiverWithoutMouse() const override;
    bool Connected() const override { return session_->Connected(); }
    bool Reading() const override { return session_->Reading(); }
    std::optional<int> FirmwareVersion() const override { return session_->FirmwareVersion(); }
    bool UnderPid() const override { return session_->UnderPid(); }
    const DeviceDescription* CurrentDevice() const override;
    std::optional<ProfileRecord> CurrentProfile() const override;
    int CurrentProfileIndex() const override;
    void TellDrvStatus(int shown) override { session_->TellDrvStatus(shown); }
    bool SettingsChangeAllowed() override { return session_->SettingsChangeAllowed(); }
    bool DesktopChangeAllowed() override { return session_->DesktopChangeAllowed(); }
    void ResetProfileToDefaults() override { session_->ResetProfileToDefaults(); }
    void WriteDefaultsToMouse() override { session_->WriteDefaultsToMouse(); }
    void Exit() override { session_->Exit(); }
    void ChangeSetting(const ProfileEdit& edit, ChangeDone done) override { editor_->ChangeSetting(edit, std::move(done)); }
    void ChangeDesktopSetting(const ProfileEdit& edit, ChangeDone done) override
    {
        editor_->ChangeDesktopSetting(edit, std::move(done));
    }
    void ChangeLighting(const ProfileEdit& edit, ChangeDone done) override
    {
        editor_->ChangeLighting(edit, std::move(done));
    }
    void SelectProfile(int index, ChangeDone done) override { editor_->SelectProfile(index, std::move(done)); }
    void RepairProfile(const ProfileEdit& edit) override { editor_->Repair(edit); }
    bool Post(const ApplyRequest& request) override { return editor_->Post(request); }
    void AfterWrites(std::function<void(bool ok)> done) override { editor_->AfterWrites(std::move(done)); }
    bool ChangesPending() const override { return session_->ChangesPending(); }
    void WritePending() override { session_->WritePending(); }
    void DropPending() override { session_->DropPending(); }
    void RunWholeMouseJob(std::function<bool(CUSBDriver& link)> job, std::function<void(bool ok)> done) override
    {
        session_->RunWholeMouseJob([this, job = std::move(job)] { return job(link_); }, std::move(done));
    }

    DeviceBackend& Backend() { return *backend_; }
    DeviceSession& Session() { return *session_; }

private:
    explicit LiveDevicePort(std::unique_ptr<DeviceBackend> backend);

    // In the order they are made; destroyed in reverse, threads joined before their objects go.
    std::unique_ptr<DeviceBackend> backend_;
    DeviceTable table_;
    CUSBDriver link_{&table_};
    DeviceNotifier notifier_;
    std::unique_ptr<DeviceDiscovery> discovery_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<SettingsEditor> editor_;
    // With an emulated mouse kept in a state file: what zorvanctl changes of its world.
    std::unique_ptr<StateFileFollower> follower_;
};

}  // namespace zorvan
