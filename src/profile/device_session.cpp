#include "profile/device_session.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "device/eeprom_map.h"
#include "device/post_to_thread.h"
#include "profile/profile_defaults.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <utility>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

namespace zorvan {
namespace {

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ShowText(const char* key)
{
    ShowMessage(QStringLiteral("Warning"), GetText(key));
}

}  // namespace

DeviceSession::DeviceSession(DeviceTable& table, CUSBDriver& link, DeviceNotifier& notifier,
                             DeviceDiscovery& discovery, QObject* parent)
    : QObject(parent),
      tickCount(&SteadyMilliseconds),
      table_(table),
      link_(link),
      notifier_(notifier),
      discovery_(discovery),
      reads_(link, exchanges_),
      reports_(link, exchanges_, timing, tickCount),
      battery_(link, exchanges_)
{
    connect(&notifier_, &DeviceNotifier::deviceIdentified, this, [this] { reads_.DeviceIdentified(timing.takeOverMs); });
    connect(&notifier_, &DeviceNotifier::mouseEvent, &reports_, &MouseReports::OnDeviceBehavior);
    connect(&notifier_, &DeviceNotifier::mouseEvent, &reads_, &ReadScheduler::ForgetLastRead);
    connect(&discovery_, &DeviceDiscovery::deviceGone, this, &DeviceSession::deviceLost);
    connect(&discovery_, &DeviceDiscovery::tooManyDevices, this,
            [this] { emit closeRequested(QStringLiteral("tc_msg36")); });

    connect(&reads_, &ReadScheduler::takeOverDue, this, &DeviceSession::OnFindDeviceOK);
    connect(&reads_, &ReadScheduler::readStarted, this, &DeviceSession::readStarted);
    connect(&reads_, &ReadScheduler::readSucceeded, this, &DeviceSession::OnSyncOk);
    connect(&reads_, &ReadScheduler::partReadSucceeded, this, &DeviceSession::profilePartRead);
    connect(&reads_, &ReadScheduler::readFinished, this, &DeviceSession::readFinished);
    connect(&reports_, &MouseReports::profileSwitched, this, &DeviceSession::StartProfileRead);
    connect(&reports_, &MouseReports::dpiLevelChanged, this, &DeviceSession::dpiLevelChanged);
    connect(&reports_, &MouseReports::pollingRateChanged, this, &DeviceSession::pollingRateChanged);
    connect(&reports_, &MouseReports::lightingChanged, this, &DeviceSession::lightingChanged);
    connect(&reports_, &MouseReports::dpiLightingChanged, this, &DeviceSession::dpiLightingChanged);
    connect(&battery_, &BatteryPoll::powerRead, this, &DeviceSession::powerRead);
    connect(&battery_, &BatteryPoll::linkRead, this, &DeviceSession::linkRead);

    // The worker reports on its own thread; the news reaches the window on this one (through
    // PostToThread, which orders the posts).
    worker_.SetProgressCallback(
        [this](int percent) { PostToThread(this, [this, percent] { emit progress(percent); }); });
    worker_.SetDoneCallback([this](const ApplyRequest& request, bool ok) {
        lastApplyOk_.store(ok);
        if (request.flags & apply::kProgress)
            PostToThread(this, [this] { emit progressEnded(); });
    });
}

DeviceSession::~DeviceSession()
{
    worker_.Stop();
    // The exchanges still queued are made (the window status told at exit reaches the mouse);
    // their results are no longer delivered.
    exchanges_.Stop();
    reads_.Stop();
}

void DeviceSession::Complete(const Done& done, bool ok)
{
    if (done)
        PostToThread(this, [done, ok] { done(ok); });
}

int DeviceSession::CountDevices()
{
    LoadCID();
    return discovery_.FindDev();
}

void DeviceSession::CountDevicesInBackground(std::function<void(int found)> done)
{
    LoadCID();
    discovery_.SearchInBackground(std::move(done));
}

void DeviceSession::Start()
{
    if (started_)
        return;
    started_ = true;
    discovery_.StartDeviceCountCheck();
    worker_.Start(link_);
    discovery_.WatchDeviceChanges();
    RefreshLayout();
}

bool DeviceSession::Reading() const
{
    return !Profiles().syncFlag.load() || reads_.Pending();
}

std::optional<int> DeviceSession::FirmwareVersion() const
{
    const int current = table_.CurrentIndex();
    if (current < 0 || !Connected())
        return std::nullopt;
    return table_.Get(current).version;
}

std::optional<int> DeviceSession::ProductId() const
{
    const int current = table_.CurrentIndex();
    if (current < 0 || !Connected())
        return std::nullopt;
    return table_.Get(current).PID;
}

bool DeviceSession::UnderPid() const
{
    return ProductId() == int(Options().PID);
}

void DeviceSession::TellDrvStatus(int shown)
{
    windowShown_ = shown != 0;
    if (Connected())
        exchanges_.Make<bool>([this, shown] { return link_.TellDrvStatus(uint8_t(shown)); }, {});
}

bool DeviceSession::DesktopChangeAllowed()
{
    if (Reading()) {
        ShowText("tc_adv_str15");
        return false;
    }
    return true;
}

bool DeviceSession::SettingsChangeAllowed()
{
    // With ApplyNow 0 a change only waits in the profile: the mouse need not answer now.
    return MouseTakesChange(Options().ApplyNow != 0);
}

bool DeviceSession::MouseTakesChange(bool writtenNow)
{
    if (!DesktopChangeAllowed())
        return false;
    const AppOptions& options = Options();
    if (table_.AnyCommandHandle()) {
        // A page asks before every change, so the answer cannot wait: while the worker writes,
        // the link state would wait for the whole write, and the writes show the mouse linked.
        if (!writtenNow || options.GoWithNoDev != 0 || worker_.Busy() || link_.GetConnectStatus() == 1)
            return true;
        ShowText("tc_msg10");
        return false;
    }
    if (options.GoWithNoDev != 0)
        return true;
    ShowText("tc_msg15");
    return false;
}

bool DeviceSession::Apply(const Edit& edit)
{
    if (!edit.IsChanged()) {
        if (!edit.message.isEmpty())
            ShowMessage(QStringLiteral("Warning"), edit.message);
        return false;
    }
    reports_.NotePageEdit(edit.request);
    if (Options().ApplyNow != 0)
        PostToWorker(edit.request);
    else
        AddPending(edit.request);
    return true;
}

void DeviceSession::AddPending(const ApplyRequest& request)
{
    if (request.flags == 0)
        return;
    const bool first = pending_.flags == 0;
    // One request writes them all: the areas together, and within them everything when two
    // changes chose different keys, levels or zones.
    if (first)
        pending_.data = request.data;
    else if (pending_.data != request.data)
        pending_.data = apply::kAll;
    pending_.flags |= request.flags;
    if (first)
        emit pendingChanged();
}

bool DeviceSession::WritePending()
{
    if (pending_.flags == 0)
        return false;
    if (NeedsMouse(pending_) ? !MouseTakesChange(true) : !DesktopChangeAllowed())
        return false;
    const ApplyRequest request = std::exchange(pending_, ApplyRequest{});
    emit pendingChanged();
    Log("Write the changes kept: nFlag=0x%x, nData=0x%x", request.flags, request.data);
    return PostToWorker(request);
}

void DeviceSession::DropPending()
{
    if (std::exchange(pending_, ApplyRequest{}).flags != 0)
        emit pendingChanged();
}

void DeviceSession::ApplyLighting(const Edit& edit, Done done)
{
    if (!edit.IsChanged() || Options().ApplyNow == 0) {
        Complete(done, Apply(edit));
        return;
    }
    // The lighting page asks after a short pause whether the mouse takes lighting changes now.
    // The request is posted right after the answer, before any exchange asked for later (a
    // profile switch waits for the writes posted before it).
    reports_.NotePageEdit(edit.request);
    const int pauseMs = timing.lightEventPauseMs;
    const ApplyRequest request = edit.request;
    exchanges_.Make<std::optional<bool>>(
        [this, pauseMs, request]() -> std::optional<bool> {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            int refused = 0;
            const bool locked = link_.GetLightingLock(refused) && refused != 0;
            if (!locked)
                PostToWorker(request);
            return locked;
        },
        [done](const std::optional<bool>& locked) {
            if (locked.value_or(false))
                ShowText("tc_adv_str29");
            if (done)
                done(locked.has_value() && !*locked);
        });
}

void DeviceSession::SelectProfile(int index, Done done)
{
    exchanges_.Make<bool>(
        [this, index] {
            // Requests posted before the switch belong to the profile that was active: a switch
            // in the middle of a write would send the rest of it to the new profile.
            worker_.WaitIdle();
            return link_.SetCurProfile(index);
        },
        [this, done](bool switched) {
            if (!switched) {
                Log("SetCurProfile Err");
            } else {
                // The mouse also reports the switch as an event; a read started by it aborts this one.
                StartProfileRead();
            }
            if (done)
                done(switched);
        });
}

bool DeviceSession::RestoreDefaultsAllowed()
{
    if (!Connected() && Options().GoWithNoDev == 0) {
        ShowText("tc_msg15");
        return false;
    }
    if (Reading()) {
        ShowText("tc_adv_str15");
        return false;
    }
    return SettingsChangeAllowed();
}

void DeviceSession::ResetProfileToDefaults()
{
    int levels = kDpiLevels;
    {
        ProfileState& state = Profiles();
        std::lock_guard lock(state.profileLock);
        if (ProfileRecord* first = state.profiles.At(0)) {
            zorvan::ResetProfileToDefaults(*first);
            state.profiles.SetCurrent(0);
            levels = first->LevelCount();
        }
    }
    // DEFLEVEL comes from cfg.ini: kept to the levels of the new profile, as the mouse's reset
    // keeps it.
    if (const DeviceDescription* device = CurrentDevice())
        g_nCurDpiLevel.store(std::clamp(device->DefaultLevel, 0, levels - 1));
    reports_.NoteReset();
}

void DeviceSession::WriteDefaultsToMouse()
{
    DropPending();
    lastApplyOk_.store(false);
    reads_.ForgetLastRead();
    if (!worker_.PostWithProgress(apply::kReset))
        emit progressEnded();
}

void DeviceSession::StartProfileRead()
{
    reads_.StartRead();
}

void DeviceSession::Exit()
{
    discovery_.StopFindTimer();
    if (CurrentDevice() != nullptr) {
        SaveLoadedProfiles();
        SaveCID();
    }
}

bool DeviceSession::WaitApplied(std::chrono::milliseconds timeout)
{
    return worker_.WaitIdle(timeout) && lastApplyOk_.load();
}

void DeviceSession::AfterWrites(Done done)
{
    exchanges_.Make<bool>([this] { return worker_.WaitIdle() && lastApplyOk_.load(); },
                          [done = std::move(done)](bool ok) {
                              if (done)
                                  done(ok);
                          });
}

void DeviceSession::RunWholeMouseJob(std::function<bool()> job, Done done)
{
    reads_.ForgetLastRead();
    exchanges_.Make<bool>(
        [this, job = std::move(job)] {
            ProfileState& state = Profiles();
            std::lock_guard readLock(state.readLock);
            state.syncFlag.store(false);
            // Changes refused from here on; those posted before are written first.
            worker_.WaitIdle();
            const bool ok = job();
            state.syncFlag.store(true);
            return ok;
        },
        [done = std::move(done)](bool ok) {
            if (done)
                done(ok);
        });
}

bool DeviceSession::Post(const ApplyRequest& request)
{
    reports_.NotePageEdit(request);
    DropPending();
    return PostToWorker(request);
}

bool DeviceSession::PostToWorker(const ApplyRequest& request)
{
    lastApplyOk_.store(false);
    reads_.ForgetLastRead();
    return worker_.Post(request.flags, request.data);
}

void DeviceSession::OnFindDeviceOK()
{
    const int current = table_.CurrentIndex();
    if (current < 0)
        return;
    // A read of the previous mouse stops before the layout loads another model's profiles.
    reads_.AbortRunning();
    const DeviceSlot slot = table_.Get(current);
    Log("OnFindDeviceOK: cid=%x,mid=%x,pid=%04x", unsigned(slot.CID), unsigned(slot.MID), unsigned(slot.PID));
    link_.SetHandles(slot.hCmd, slot.hNotify);
    RefreshLayout();
    if (windowShown_)
        TellDrvStatus(1);
    StartProfileRead();
}

void DeviceSession::RefreshLayout()
{
    if (const DeviceDescription* device = CurrentDevice()) {
        Log("RefreshLayout for 0x%x, cid=%x,mid=%x", unsigned(device->Sensor), unsigned(device->CID),
            unsigned(device->MID));
    }
    LoadProfilesOfCurrentModel();
    // One small read: the mouse's current DPI level.
    exchanges_.Make<std::optional<uint8_t>>(
        [this]() -> std::optional<uint8_t> {
            uint8_t level[2] = {};
            if (!link_.ReadEEPROM(eeprom::kCurrentDpiLevel, level, 2))
                return std::nullopt;
            return level[0];
        },
        [this](const std::optional<uint8_t>& level) {
            g_nCurDpiLevel.store(level ? DpiLevelFromMouse(*level) : -1);
            emit deviceChanged();
        });
}

void DeviceSession::LoadProfilesOfCurrentModel()
{
    // The profiles in memory hold every local edit since the last save (key sets 1 and 2, names,
    // pointer settings, edits made while ApplyNow is 0): a take-over of the same model (the
    // mouse plugged back, the receiver paired again) keeps them instead of reloading the store.
    // Another model's store is loaded only after the old model's profiles are saved to theirs.
    const DeviceDescription* device = CurrentDevice();
    const std::optional<ModelIds> loaded = LoadedStoreModel();
    if (device != nullptr && loaded == ModelIds{device->CID, device->MID})
        return;
    if (loaded)
        SaveProfileStore(*loaded);
    LoadPro();
}

void DeviceSession::OnSyncOk()
{
    Log("OnSyncOk");
    // The profile now is what the mouse holds: nothing of it waits to be written.
    DropPending();
    emit profileRead();
    battery_.PollAndKeepPolling(timing.powerPollMs);
}

}  // namespace zorvan
