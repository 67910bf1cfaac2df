#pragma once
// The device session: ties the device link to the program's window (or to zorvanctl). It
// counts and takes over the identified mouse, lays the pages out for its model with the
// model's local profiles, runs the settings-change check and the change requests, restores
// defaults and saves the local store at exit. It wires the units that do the rest:
// - ReadScheduler: the take-over delay and the background reads of the active profile;
// - MouseReports: what the mouse reports by itself (DPI level, polling rate, profile switch or
//   reset, lighting);
// - BatteryPoll: the battery level after each read and every 30 s;
// - ShortExchanges: the small exchanges with the mouse, made off the user-interface thread.
//
// A Qt Core object living on the user-interface thread; its signals are emitted there. That
// thread never waits on the mouse: profile reads run on their own threads, writes on the apply
// worker and the short exchanges (the current-level read of the layout refresh, the read after a
// lighting event, the battery query, the window status, the profile switch, the lighting-lock
// query) on the exchange runner, one after another in the order they were asked for. The only
// exchange left on it is the link-state query of the settings-change check, which must answer
// at once, and it is skipped while the apply worker writes.
#include "device/device_discovery.h"
#include "device/device_notifier.h"
#include "device/device_table.h"
#include "device/usb_driver.h"
#include "profile/apply_worker.h"
#include "profile/battery_poll.h"
#include "profile/mouse_reports.h"
#include "profile/profile_edits.h"
#include "profile/read_scheduler.h"
#include "profile/session_timing.h"
#include "profile/short_exchanges.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace zorvan {

class DeviceSession : public QObject {
    Q_OBJECT
public:
    // The parts of the device link, owned by the caller; they must outlive the session.
    DeviceSession(DeviceTable& table, CUSBDriver& link, DeviceNotifier& notifier, DeviceDiscovery& discovery,
                  QObject* parent = nullptr);
    ~DeviceSession() override;

    // ---- Start-up (the window calls these in its initialisation) ----
    // The last used model ("CID.dct") and the device search. The caller closes the program
    // when it finds none and the option Suwnd is 0 (message tc_msg15).
    int CountDevices();
    // The same with the search on the search thread (the window's start-up: its thread never
    // sleeps in the search's pauses); `done` gets the count later on this thread.
    void CountDevicesInBackground(std::function<void(int found)> done);
    // The device-count check, apply worker, device notifications, layout refresh.
    void Start();

    // ---- State ----
    bool Connected() const { return link_.Cmd() != nullptr; }
    // Interfaces of the mouse's ids that the user may not open (at the last search).
    int DeniedInterfaces() const { return discovery_.DeniedCount(); }
    // A profile read is running (the sync flag is clear), or was asked for and has not reported
    // its end yet. User-interface thread.
    bool Reading() const;
    // The connected mouse's firmware version, its product id.
    std::optional<int> FirmwareVersion() const;
    std::optional<int> ProductId() const;
    // The mouse was found under the option PID (the lighting page greys its power settings).
    bool UnderPid() const;

    // ---- Actions ----
    // How an asynchronous action ended, called on this object's thread after the call returned.
    using Done = std::function<void(bool ok)>;

    // Tells the mouse whether the configuration window is on screen (only with a mouse; sent
    // by the exchange runner); remembers it for the take-over of a mouse that arrives later.
    void TellDrvStatus(int shown);
    // May a page change a setting now? Shows its own refusal (tc_msg10, tc_msg15,
    // tc_adv_str15) through ShowMessage. Answers at once: while the apply worker writes, the
    // mouse is evidently linked and the link state is not asked.
    bool SettingsChangeAllowed();
    // The same for the desktop's pointer settings, which the profile carries and the desktop
    // takes: no mouse is needed, only a running profile read refuses (tc_adv_str15), as its end
    // replaces the profile.
    bool DesktopChangeAllowed();
    // Shows the refusal of `edit` through ShowMessage, or posts its request when the option
    // ApplyNow is set. True when the change went through.
    bool Apply(const Edit& edit);
    // Lighting changes ask the mouse first (on the exchange runner): while the mouse's lighting
    // is locked, tc_adv_str29 is shown and nothing is sent (the profile keeps the change; done
    // gets false). Otherwise as Apply.
    void ApplyLighting(const Edit& edit, Done done = {});
    // Makes on-board profile `index` active on the mouse, once the apply worker has written the
    // requests posted before ("SetCurProfile Err" and false on failure), then reads it: when
    // done gets true, the read has been asked for (Reading()).
    void SelectProfile(int index, Done done = {});
    // Restore defaults, the part before the user's confirmation: a mouse is connected (or
    // GoWithNoDev), no read runs, and the settings-change check allows it.
    bool RestoreDefaultsAllowed();
    // Profile 0 back to its defaults as the current profile, the current DPI level the model's
    // DEFLEVEL, the reset time noted.
    void ResetProfileToDefaults();
    // The whole profile written back by the mouse's own reset (request 0x0100 with progress).
    void WriteDefaultsToMouse();
    // A new read of the mouse's active profile (ReadCurCfgThread): Reading() from now on;
    // readStarted() when its thread starts, behind the exchanges already asked for;
    // readFinished() at its end.
    void StartProfileRead();
    // What the profile reads started from now on read: the whole profile (the window's only
    // choice), or the areas a zorvanctl command needs; a partial read ends with
    // profilePartRead() and never reaches the local store (ProfileState::storeRecord).
    void SetReadScope(const ReadScope& scope) { reads_.SetScope(scope); }
    // The bytes the last whole read found in the active profile (ReadScheduler::LastReadBytes).
    const std::optional<ProfileBytes>& LastReadBytes() const { return reads_.LastReadBytes(); }
    // The program exits: stops the device search and saves the profile store and the last model.
    void Exit();

    // Posts `request` whatever ApplyNow says (restore defaults and profile import always write;
    // they write every area, so nothing stays pending).
    bool Post(const ApplyRequest& request);

    // With ApplyNow 0, the changes made since the last write wait in the current profile for
    // the user to have them written: ChangesPending() until WritePending() posts them as one
    // request (or DropPending() forgets them; a read of the mouse's profile replaces them).
    bool ChangesPending() const { return pending_.flags != 0; }
    ApplyRequest PendingRequest() const { return pending_; }
    // After the check that they can be written now (shown when not); false when not written.
    bool WritePending();
    void DropPending();
    // Waits until the apply worker has written every request posted so far; the result of the
    // last one (false also on time-out).
    bool WaitApplied(std::chrono::milliseconds timeout);
    // `done` with the result of the last request once the apply worker has written every
    // request posted so far; the wait runs on the exchange runner, never on this thread.
    void AfterWrites(Done done);

    // A job that uses the whole mouse (backup, restore): run on the exchange runner, behind the
    // exchanges asked for before, once the apply worker has written the requests posted before;
    // no profile read runs meanwhile and page changes are refused (the sync flag is clear).
    // `done` gets its result on this thread.
    void RunWholeMouseJob(std::function<bool()> job, Done done);

    CUSBDriver& Link() { return link_; }
    ApplyWorker& Worker() { return worker_; }

    SessionTiming timing;
    // Milliseconds since an arbitrary start, for the reset window (tests replace it).
    std::function<int64_t()> tickCount;

signals:
    // The wait message (tc_msg12) is shown from readStarted() to readFinished().
    void readStarted();
    void readFinished();
    // "OnSyncOk": the current profile was read from the mouse; the pages show it.
    void profileRead();
    // A partial read (SetReadScope) was taken into the current profile.
    void profilePartRead();
    // The layout was refreshed for the current device and its current DPI level read (or found
    // unknown): the pages lay themselves out and show the current profile.
    void deviceChanged();
    // A battery reading (level at most 100).
    void powerRead(bool charging, int level);
    // The battery poll's view of the link: the mouse answers (true) or is switched off.
    void linkRead(bool linked);
    // The mouse is gone: the battery indicator hides.
    void deviceLost();
    // The program should end after showing the language text `textKey`.
    void closeRequested(const QString& textKey);
    // Progress of a request posted with progress (20 .. 100), and its end.
    void progress(int percent);
    void progressEnded();
    // What the mouse reported: the DPI level (0-based), a polling-rate code (1, 2, 4, 8);
    // lighting read back into the current profile (the lighting page, the DPI pages show it).
    void dpiLevelChanged(int level);
    void pollingRateChanged(int code);
    void lightingChanged();
    void dpiLightingChanged();
    // ChangesPending() changed.
    void pendingChanged();

private:
    void AddPending(const ApplyRequest& request);
    // The settings-change check for a change written now (`writtenNow`) or kept for later.
    bool MouseTakesChange(bool writtenNow);
    void OnFindDeviceOK();
    void RefreshLayout();
    void LoadProfilesOfCurrentModel();
    void OnSyncOk();
    // `done` with `ok`, later on this thread.
    void Complete(const Done& done, bool ok);
    // Posts `request` to the apply worker; any thread.
    bool PostToWorker(const ApplyRequest& request);

    DeviceTable& table_;
    CUSBDriver& link_;
    DeviceNotifier& notifier_;
    DeviceDiscovery& discovery_;
    ApplyWorker worker_;
    ShortExchanges exchanges_{this};
    ReadScheduler reads_;
    MouseReports reports_;
    BatteryPoll battery_;
    std::atomic<bool> lastApplyOk_{true};
    ApplyRequest pending_;
    bool windowShown_ = false;
    bool started_ = false;
};

}  // namespace zorvan
