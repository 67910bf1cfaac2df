#include "device/device_discovery.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/direct_exchange.h"
#include "device/post_to_thread.h"
#include "device/service_thread.h"
#include "device/thread_id.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <thread>
#include <utility>

namespace zorvan {
namespace {

constexpr size_t kPathUnits = 260;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

unsigned LogId(const HidHandlePtr& handle)
{
    return handle ? unsigned(handle->LogId()) : 0;
}

}  // namespace

bool SameInterfacePath(const std::string& a, const std::string& b)
{
    return Lower(a.substr(0, kPathUnits)) == Lower(b.substr(0, kPathUnits));
}

DeviceDiscovery::DeviceDiscovery(HidBackend& backend, DeviceTable& table, CUSBDriver& link, DeviceNotifier& notifier,
                                 ReplyQueue& replies, QObject* parent)
    : QObject(parent), backend_(backend), table_(table), link_(link), notifier_(notifier), replies_(replies)
{
    findTimer_.setInterval(timing.findTimerMs);
    connect(&findTimer_, &QTimer::timeout, this, &DeviceDiscovery::OnFindTimer);
    countCheck_.setSingleShot(true);
    connect(&countCheck_, &QTimer::timeout, this, [this] {
        Log("OnTimer: CHECK_DEV_NUM_TIMER_ID, g_nFindOkNum=%d", findOkNum_.load());
        if (findOkNum_.load() > 1)
            emit tooManyDevices();
    });
}

DeviceDiscovery::~DeviceDiscovery()
{
    backend_.WatchDeviceChanges(nullptr, {});
    ClearThread();
}

bool MatchesIds(const std::string& text, const char* format)
{
    const AppOptions& opt = Options();
    const std::string lower = Lower(text);
    for (const uint16_t pid : {opt.PID, opt.PID2}) {
        char ids[48];
        std::snprintf(ids, sizeof ids, format, opt.VID, pid);
        if (lower.find(Lower(ids)) != std::string::npos)
            return true;
    }
    return false;
}

bool MousePresent(HidBackend& backend)
{
    const std::vector<HidInterfaceInfo> interfaces = backend.Enumerate();
    return std::any_of(interfaces.begin(), interfaces.end(),
                       [](const HidInterfaceInfo& info) { return MatchesIds(info.path, "VID_%04x&PID_%04x"); });
}

void DeviceDiscovery::NoteOpenFailure(const std::string& path, const HidStatus& status)
{
    if (status.error != HidError::kPermissionDenied)
        return;
    // Most often a missing udev rule: the GUI tells the user from this count.
    Log("FindDev: no permission to open %s", path.c_str());
    ++denied_;
    // The path ends with the node: "hid#…#/dev/hidrawN".
    const size_t hash = path.rfind('#');
    std::lock_guard lock(deniedMutex_);
    deniedNodes_.push_back(hash == std::string::npos ? path : path.substr(hash + 1));
}

std::vector<std::string> DeviceDiscovery::DeniedNodes() const
{
    std::lock_guard lock(deniedMutex_);
    return deniedNodes_;
}

std::vector<DeviceDiscovery::Candidate> DeviceDiscovery::EnumerateCandidates()
{
    std::vector<Candidate> candidates;
    for (HidInterfaceInfo& info : backend_.Enumerate()) {
        if (!MatchesIds(info.path, "VID_%04x&PID_%04x"))
            continue;
        if (info.openError != HidError::kNone) {
            NoteOpenFailure(info.path, HidStatus{info.openError, 0});
            continue;
        }
        if (candidates.size() < size_t(kCandidateSlots))
            candidates.push_back(Candidate{std::move(info), nullptr});
    }
    return candidates;
}

int DeviceDiscovery::FindDev()
{
    const AppOptions& opt = Options();
    Log("++++++++++++++++++ FindDev: looking for VID=%04x, PID=%04x, PID2=%04x", opt.VID, opt.PID, opt.PID2);
    findOkNum_ = 0;
    denied_ = 0;
    {
        std::lock_guard lock(deniedMutex_);
        deniedNodes_.clear();
    }
    threads_.Reap();
    const auto [currentIndex, current] = table_.RetireAllButCurrent();
    if (currentIndex >= 0)
        Log("pCurParam: PID=%04x, hCmd=0x%x", unsigned(current.PID), LogId(current.hCmd));

    std::vector<Candidate> candidates = EnumerateCandidates();
    for (Candidate& c : candidates) {
        if (c.info.inputReportLength != int(kHidReportLength) ||
            (currentIndex >= 0 && !current.notifyPath.empty() && SameInterfacePath(c.info.path, current.notifyPath)))
            continue;
        HidStatus status;
        c.notify = backend_.Open(c.info.path, HidAccess::kRead, status);
        if (!c.notify) {
            NoteOpenFailure(c.info.path, status);
            continue;
        }
        threads_.Start([this, handle = c.notify] { MatchThread(handle); });
        std::this_thread::sleep_for(timing.notifyOpenPause);
    }

    int count = 0;
    for (const Candidate& c : candidates) {
        if (c.info.featureReportLength != int(kHidReportLength) ||
            (currentIndex >= 0 && !current.cmdPath.empty() && SameInterfacePath(c.info.path, current.cmdPath)))
            continue;
        HidStatus status;
        HidHandlePtr cmd = backend_.Open(c.info.path, HidAccess::kWrite, status);
        if (!cmd) {
            NoteOpenFailure(c.info.path, status);
            continue;
        }
        {
            std::lock_guard lock(matchMutex_);
            matched_.reset();
        }
        HidHandlePtr matched;
        if (cmd->SendFeatureReport(ProbeReport()).Ok()) {
            std::this_thread::sleep_for(timing.probeWait);
            std::lock_guard lock(matchMutex_);
            matched = std::exchange(matched_, nullptr);
        }
        const auto pairedWith = std::find_if(candidates.begin(), candidates.end(),
                                             [&](const Candidate& n) { return matched && n.notify == matched; });
        if (pairedWith == candidates.end()) {
            cmd->Close();
            continue;
        }
        const DeviceTable::Allocation slot = table_.Allocate(cmd, matched, c.info.path, pairedWith->info.path, c.info.attributes);
        if (slot.index < 0) {
            Log("FindDev: all device slots are in use; pair closed");
            cmd->Close();
            continue;  // the notify handle is closed with the unmatched ones below
        }
        pairedWith->notify.reset();  // kept by the slot
        Log("* Dev match OK: hCmd=%x, hNotify=%x", LogId(cmd), LogId(matched));
        Log("* Path(hCmd)=   %s", c.info.path.c_str());
        Log("* Path(hNotify)=%s", pairedWith->info.path.c_str());
        ++identifying_;
        threads_.Start([this, slot] { PsdThread(slot.index, slot.serial); });
        ++count;
    }
    // Notify handles that no pair took: closing them also ends their matching threads.
    for (Candidate& c : candidates)
        if (c.notify)
            c.notify->Close();
    return count;
}

void DeviceDiscovery::MatchThread(HidHandlePtr handle)
{
    // Waits until the search that started it ends (it closes every notify handle it does not
    // keep), not a fixed second: with many interfaces, late probes would find no one listening.
    uint8_t body[15];
    if (GetData(handle.get(), body, sizeof body, -1)) {
        std::lock_guard lock(matchMutex_);
        matched_ = handle;
    }
    Log("Match_Thread eixt, hFile=%x", LogId(handle));
}

bool DeviceDiscovery::IdentifyLoop(const DeviceSlot& slot)
{
    for (int attempt = 1;; ++attempt) {
        if (slot.control->StopRequested())
            return false;
        if (slot.control->SleepUnlessStopped(attempt <= 4 ? timing.identifyShortPause : timing.identifyLongPause))
            return false;
        HidAttributes attributes;
        const HidStatus status = slot.hCmd->GetAttributes(attributes);
        if (!status.Ok()) {
            Log("Psd_Thread: hCmd=%x nErr=%d, ThreadId=%x", LogId(slot.hCmd), status.systemError, CurrentThreadId());
            if (status.error == HidError::kNotConnected)
                Log("Psd_Thread: dev is plug out. ThreadId=%x", CurrentThreadId());
            else if (status.error == HidError::kInvalidHandle)
                Log("Psd_Thread: dev is invalid handle. ThreadId=%x", CurrentThreadId());
            return false;
        }
        const int linked = GetConnectStatus(slot.hCmd.get(), slot.hNotify.get());
        Log("Psd_Thread: bCennect=%d, hCmd=%x, ThreadId=%x", linked, LogId(slot.hCmd), CurrentThreadId());
        if (linked == -1) {
            Log("CheckPsdThread: SendData Err");
            return false;
        }
        if (linked == 1)
            return !slot.control->StopRequested();
    }
}

void DeviceDiscovery::PsdThread(int index, uint64_t serial)
{
    const DeviceSlot slot = table_.Get(index);
    const unsigned cmdId = LogId(slot.hCmd), notifyId = LogId(slot.hNotify);
    if (slot.serial == serial) {
        Log("----Psd_Thread start, hCmd=%x, hNotify=%x, ThreadId=%x", cmdId, notifyId, CurrentThreadId());
        if (IdentifyLoop(slot)) {
            int cid = 0, mid = 0;
            const int identified = CheckPsd(slot.hNotify.get(), slot.hCmd.get(), cid, mid);
            Log("Psd_Thread: CheckPsd=%d", identified);
            const DeviceDescription* device = identified == 1 ? FindDeviceByIds(cid, mid) : nullptr;
            if (identified != 0 && device == nullptr) {
                Log("Psd_Thread: unsupport dev!!! cid=%x, mid=%x", unsigned(cid), unsigned(mid));
                table_.RetireIf(index, serial);
            } else if (device != nullptr) {
                HidAttributes attributes;
                if (!slot.hCmd->GetAttributes(attributes).Ok()) {
                    Log("GetVersionNumber err");
                    attributes = HidAttributes{};
                }
                const DeviceTable::Identification result =
                    table_.Identify(index, serial, cid, mid, attributes, Options().PID, Options().PID2);
                if (result.outcome == DeviceTable::Identification::Outcome::kDuplicate) {
                    Log("Psd_Thread: another dev has exist, give up this!!! cid=%x, mid=%x", unsigned(cid),
                        unsigned(mid));
                } else if (result.outcome == DeviceTable::Identification::Outcome::kIdentified) {
                    Config().SetCurrentDevice(device);
                    ++findOkNum_;
                    const DeviceSlot found = table_.Get(index);
                    Log("- Psd_Thread Find New Device: (ThreadId=%x)", CurrentThreadId());
                    Log("- m_hCmd=%x, m_hNotify=%x, CID=%x, MID=%x, VID=%04x, PID=%04x", cmdId, notifyId,
                        unsigned(cid), unsigned(mid), unsigned(found.VID), unsigned(found.PID));
                    Log("- Dev Path(hCmd)=   %s", found.cmdPath.c_str());
                    Log("- Dev Path(hNotify)=%s", found.notifyPath.c_str());
                    if (found.serial == serial) {
                        threads_.Start([this, found] { ServiceThread(found, replies_, &notifier_); });
                        notifier_.PostDeviceIdentified(index);
                    }
                }
            }
        }
        Log("----Psd_Thread Exit, hCmd=%x, hNotify=%x, ThreadId=%x", cmdId, notifyId, CurrentThreadId());
    }
    --identifying_;
    notifier_.PostIdentificationEnded();
}

void DeviceDiscovery::ClearThread()
{
    Log("ClearThread");
    findTimer_.stop();
    // A search under way ends within its pauses; only then can no new slot appear.
    if (search_.joinable())
        search_.join();
    table_.RetireAll();
    threads_.JoinAll();
}

void DeviceDiscovery::WatchDeviceChanges()
{
    backend_.WatchDeviceChanges(this, [this](const DeviceChange& change) { OnDeviceChange(change); });
}

void DeviceDiscovery::OnDeviceChange(const DeviceChange& change)
{
    if (!MatchesIds(change.name, "USB#VID_%04x&PID_%04x"))
        return;
    if (change.kind == DeviceChange::Kind::kArrival) {
        Log("Device IN");
        findRetry_ = 5;
        StartFindTimer();
        return;
    }
    Log("Device OUT");
    if (!link_.Cmd()) {
        StartFindTimer();
        return;
    }
    // The current device may be the one that left; give the system a moment, then ask it.
    QTimer::singleShot(timing.removalCheckDelayMs, this, &DeviceDiscovery::FinishRemoval);
}

void DeviceDiscovery::FinishRemoval()
{
    const HidHandlePtr cmd = link_.Cmd();
    if (cmd) {
        HidAttributes attributes;
        const HidStatus status = cmd->GetAttributes(attributes);
        if (status.Ok()) {
            Log("OnDeviceChange: GetDevVersion, nVer=0x%x", attributes.version);
            return;
        }
        Log("OnDeviceChange: GetVersionNumber, Err=0x%x", unsigned(status.systemError));
        if (status.error == HidError::kNotConnected) {
            findRetry_ = 1;
            link_.ClearHandle();
            emit deviceGone();
        }
    }
    StartFindTimer();
}

void DeviceDiscovery::StartFindTimer()
{
    if (findTimer_.isActive() || findRetry_ <= 0)
        return;
    Log("SetTimer FINDDEV_TIMER_ID, m_nRetryFind=%d", findRetry_);
    findTimer_.start(timing.findTimerMs);
}

void DeviceDiscovery::OnFindTimer()
{
    if (Searching())
        return;  // the next tick comes after this search's result
    --findRetry_;
    SearchInBackground([this](int found) { FinishTimedSearch(found); });
}

void DeviceDiscovery::SearchInBackground(std::function<void(int found)> done)
{
    search_ = std::thread([this, done = std::move(done)] {
        const int found = FindDev();
        PostToThread(this, [this, found, done] {
            if (search_.joinable())
                search_.join();  // it has posted this and ends now (ClearThread may have joined it already)
            done(found);
            emit searchEnded();
        });
    });
}

void DeviceDiscovery::FinishTimedSearch(int found)
{
    Log("OnTimer: FindHIDDevice=%d", found);
    if (found > 0 || findRetry_ <= 0) {
        findTimer_.stop();
        findRetry_ = 0;
    }
}

void DeviceDiscovery::StartDeviceCountCheck()
{
    countCheck_.start(timing.deviceCountCheckMs);
}

}  // namespace zorvan
