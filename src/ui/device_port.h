#pragma once
// What the main window and its pages need of the device session: the mouse's state, the
// actions the window starts (telling the mouse whether the window is shown, the settings-change
// check, restore defaults, exit), the changes the pages make through the settings editor, and
// the session's news as signals on the user-interface thread.
#include "app/device_description.h"
#include "profile/apply_request.h"
#include "profile/profile_record.h"
#include "profile/settings_editor.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zorvan {

class CUSBDriver;

class DevicePort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Counts the connected mice at start-up (the device search) without holding this thread;
    // `done` gets the number found on this thread, later or (a port that knows at once) before
    // the call returns.
    virtual void CountDevices(std::function<void(int found)> done) = 0;
    // After the window is built: timers, apply worker, device notifications, the layout for
    // the current device.
    virtual void Start() = 0;

    // Device nodes of the mouse's ids that the user may not open (at the last search).
    virtual std::vector<std::string> DeniedNodes() const = 0;
    // A receiver (or cable) of the mouse's ids is there, but no mouse was identified behind it.
    virtual bool ReceiverWithoutMouse() const = 0;

    // A mouse is connected (its command interface is open).
    virtual bool Connected() const = 0;
    // A profile read is running (pages may not change settings).
    virtual bool Reading() const = 0;
    // The connected mouse's firmware version.
    virtual std::optional<int> FirmwareVersion() const = 0;
    // The mouse was found under the option PID (its sleep time and light-off are locked).
    virtual bool UnderPid() const = 0;
    // The model the pages are laid out for, or null.
    virtual const DeviceDescription* CurrentDevice() const = 0;
    // A copy of the current profile, or nothing.
    virtual std::optional<ProfileRecord> CurrentProfile() const = 0;
    // The current profile's position (0..3, its on-board profile), or -1.
    virtual int CurrentProfileIndex() const = 0;

    // Tells the mouse whether the configuration window is on screen (only with a mouse; sent
    // in the background).
    virtual void TellDrvStatus(int shown) = 0;
    // May a page change a setting now? Shows the refusal itself.
    virtual bool SettingsChangeAllowed() = 0;
    // May a page change the desktop's pointer settings now (no mouse needed)? Shows the refusal.
    virtual bool DesktopChangeAllowed() = 0;
    // Profile 0 back to its defaults as the current profile, the DPI level to the default
    // level, the reset time noted.
    virtual void ResetProfileToDefaults() = 0;
    // Has the whole profile written to the mouse and the mouse reset, reporting progress().
    virtual void WriteDefaultsToMouse() = 0;
    // The program exits: stops the device search, saves the profile store and the last model.
    virtual void Exit() = 0;

    // ---- Changes: the settings editor's operations; `done` is called later on this thread ----
    // A setting of the current profile: the settings-change check, `edit`, its request.
    virtual void ChangeSetting(const ProfileEdit& edit, ChangeDone done = {}) = 0;
    // A desktop pointer setting of the current profile: as ChangeSetting, with the desktop's check.
    virtual void ChangeDesktopSetting(const ProfileEdit& edit, ChangeDone done = {}) = 0;
    // A lighting setting: as ChangeSetting, with the lighting-lock query before the request.
    virtual void ChangeLighting(const ProfileEdit& edit, ChangeDone done = {}) = 0;
    // Makes on-board profile `index` (0..3) active on the mouse; its read follows.
    virtual void SelectProfile(int index, ChangeDone done = {}) = 0;
    // A correction the window makes by itself (a key without a name back to its default): the
    // edit on the current profile without the settings-change check and without a request.
    virtual void RepairProfile(const ProfileEdit& edit) = 0;
    // Posts `request` whatever ApplyNow says (restore defaults, profile import).
    virtual bool Post(const ApplyRequest& request) = 0;
    // `done` once every request posted so far is written: the result of the last one.
    virtual void AfterWrites(std::function<void(bool ok)> done) = 0;
    // With ApplyNow 0, changes wait in the current profile until the user has them written:
    // whether some do, writing them (one request, after the check that the mouse takes it,
    // which shows its refusal), or leaving them in the local profile only.
    virtual bool ChangesPending() const { return false; }
    virtual void WritePending() {}
    virtual void DropPending() {}
    // A job on the whole mouse (backup, restore), given the device link: run off this thread
    // while reads and changes wait; `done` gets its result later on this thread. Without a
    // live mouse behind the port it fails.
    virtual void RunWholeMouseJob(std::function<bool(CUSBDriver& link)> job, std::function<void(bool ok)> done)
    {
        (void)job;
        if (done)
            done(false);
    }

signals:
    // A profile read started; the wait message stays until readFinished().
    void readStarted();
    void readFinished();
    // The current profile was read from the mouse: the pages show it.
    void profileRead();
    // The current device changed: the pages lay themselves out for it.
    void deviceChanged();
    // A battery reading (level at most 100).
    void powerRead(bool charging, int level);
    // With each battery poll: the mouse answers (true) or is switched off behind its receiver.
    void linkRead(bool linked);
    // The mouse is gone: the battery indicator hides.
    void deviceLost();
    // A device search or an identification ended: what DeniedNodes() and ReceiverWithoutMouse()
    // say may have changed.
    void searchChanged();
    // The session asks the program to end after showing the language text `textKey`.
    void closeRequested(const QString& textKey);
    // Progress of a whole-profile write (0..100) and its end.
    void progress(int position);
    void progressEnded();
    // What the mouse reported by itself: its DPI level (0-based), a polling-rate code (1, 2, 4,
    // 8); its main or logo lighting, or its DPI lighting effect, read back into the current
    // profile (the lighting page, the DPI pages show it).
    void dpiLevelChanged(int level);
    void pollingRateChanged(int code);
    void lightingChanged();
    void dpiLightingChanged();
    // ChangesPending() changed.
    void pendingChanged();
};

}  // namespace zorvan
