#pragma once
// Finding the mouse: the search (FindDev) pairs command and notify interfaces of the
// configured vendor and product ids, an identification thread per pair waits for the mouse's
// link and asks its model, and the identified device becomes the current slot of the device
// table with its reader thread. Device arrivals and removals drive the find timer.
//
// Lives on the user-interface thread: the device-change handling and the timers run there. A
// search pauses between opening interfaces and probing them, so the window's searches (at
// start-up and the find timer's) run on a search thread of their own, one at a time, and hand
// their result back; FindDev called directly (zorvanctl) searches on the caller's thread. Identification and reader
// threads post through the DeviceNotifier ("device identified", mouse events). Every thread it
// starts is joined by ClearThread (or the destructor); every handle a search opens and does
// not keep is closed by that search.
#include "device/device_notifier.h"
#include "device/device_table.h"
#include "device/hid_transport.h"
#include "device/reply_queue.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zorvan {

constexpr int kCandidateSlots = 30;

struct DiscoveryTiming {
    std::chrono::milliseconds notifyOpenPause{50};
    std::chrono::milliseconds probeWait{100};
    std::chrono::milliseconds identifyShortPause{200};  // first four attempts
    std::chrono::milliseconds identifyLongPause{1100};
    int findTimerMs = 1500;
    int removalCheckDelayMs = 600;
    int deviceCountCheckMs = 3000;
};

class DeviceDiscovery : public QObject {
    Q_OBJECT
public:
    DeviceDiscovery(HidBackend& backend, DeviceTable& table, CUSBDriver& link, DeviceNotifier& notifier,
                    ReplyQueue& replies = Replies(), QObject* parent = nullptr);
    ~DeviceDiscovery() override;

    // One search: the number of new pairs for which identification started. Not while a search
    // runs on the search thread.
    int FindDev();
    // One search on the search thread; `done` gets its count on this object's thread, then
    // searchEnded() is emitted. Not while another search runs.
    void SearchInBackground(std::function<void(int found)> done);
    // Devices identified since the last search (g_nFindOkNum).
    int FindOkNum() const { return findOkNum_.load(); }
    // Interfaces of the configured ids that the user may not open, at the last search.
    int DeniedCount() const { return denied_.load(); }
    // The device nodes (/dev/hidrawN) of those interfaces, at the last search.
    std::vector<std::string> DeniedNodes() const;
    // Identification threads still running.
    int RunningIdentifications() const { return identifying_.load(); }

    // Program exit: retires every slot and joins every thread.
    void ClearThread();

    // Follows the backend's device arrivals and removals.
    void WatchDeviceChanges();
    void OnDeviceChange(const DeviceChange& change);
    // The device-count check: once after 3 s, tooManyDevices() when more than one device was identified.
    void StartDeviceCountCheck();
    bool FindTimerActive() const { return findTimer_.isActive(); }
    // A search is running on the search thread.
    bool Searching() const { return search_.joinable(); }
    // Program exit: no further search.
    void StopFindTimer() { findTimer_.stop(); }
    int FindRetryCount() const { return findRetry_; }

    DiscoveryTiming timing;

signals:
    // The removal of the current device cleared the link: hide the battery indicator.
    void deviceGone();
    // More than one device was identified within the first seconds (message tc_msg36).
    void tooManyDevices();
    // A search on the search thread ended: the nodes without access and the slots may differ.
    void searchEnded();

private:
    struct Candidate {
        HidInterfaceInfo info;
        HidHandlePtr notify;  // opened for matching
    };

    std::vector<Candidate> EnumerateCandidates();
    void NoteOpenFailure(const std::string& path, const HidStatus& status);
    void MatchThread(HidHandlePtr handle);
    void PsdThread(int index, uint64_t serial);
    bool IdentifyLoop(const DeviceSlot& slot);
    void FinishRemoval();
    void StartFindTimer();
    void OnFindTimer();
    void FinishTimedSearch(int found);

    HidBackend& backend_;
    DeviceTable& table_;
    CUSBDriver& link_;
    DeviceNotifier& notifier_;
    ReplyQueue& replies_;
    ThreadSet threads_;
    std::thread search_;  // the search on the search thread; joined when its result arrives
    std::mutex matchMutex_;
    HidHandlePtr matched_;
    std::atomic<int> findOkNum_{0};
    std::atomic<int> denied_{0};
    mutable std::mutex deniedMutex_;
    std::vector<std::string> deniedNodes_;
    std::atomic<int> identifying_{0};
    QTimer findTimer_;
    QTimer countCheck_;
    int findRetry_ = 0;
};

// Paths compare on their first 260 characters, without regard to case.
bool SameInterfacePath(const std::string& a, const std::string& b);

// True when `text` holds `format` ("VID_%04x&PID_%04x", …) filled with VID and PID, or with VID
// and PID2, without regard to case.
bool MatchesIds(const std::string& text, const char* format);
// True when the backend shows an interface of the mouse (VID with PID or PID2), whether or not
// the user may open it.
bool MousePresent(HidBackend& backend);

}  // namespace zorvan
