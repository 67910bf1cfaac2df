#pragma once
// The apply worker: one background thread that takes apply requests one at a time, in the
// order posted, and runs the settings writer for each on a snapshot of the current profile.
// Failures are shown through ShowMessage: no device → tc_msg15, a failed write →
// "   Update settings failed!      " (caption "Error" for both). A request that carries
// apply::kVerify is read back after it is written (the write check); a difference fails it.
#include "profile/apply_request.h"
#include "profile/settings_writer.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zorvan {

class CUSBDriver;

class ApplyWorker {
public:
    static constexpr size_t kQueueCapacity = 100;

    // Called on the worker thread when a request has ended (`ok` = the writer succeeded).
    using DoneCallback = std::function<void(const ApplyRequest& request, bool ok)>;

    ApplyWorker() = default;
    ~ApplyWorker();
    ApplyWorker(const ApplyWorker&) = delete;
    ApplyWorker& operator=(const ApplyWorker&) = delete;

    // Starts the thread that writes through `link` (which must outlive the worker or Stop).
    // A second Start while running does nothing.
    void Start(CUSBDriver& link);
    // Appends (flags without kProgress, data). False when the queue is full: the request is
    // dropped (and logged).
    bool Post(uint32_t flags, uint32_t data);
    // Appends (flags | kProgress, kAll): the progress callback sees this request's percentages.
    bool PostWithProgress(uint32_t flags);
    // Ends the thread after the request being written (requests still queued are dropped) and
    // waits for it.
    void Stop();

    // Percentages of requests posted with progress (the progress dialog, the CLI). Called on
    // the worker thread.
    void SetProgressCallback(ProgressCallback callback);
    void SetDoneCallback(DoneCallback callback);

    // Waits until the queue is empty and no request is being written; false on time-out. Returns
    // at once while the worker is not running (nothing would ever empty the queue).
    bool WaitIdle(std::chrono::milliseconds timeout = std::chrono::milliseconds::max());
    // A request is being written or waits in the queue: the worker holds the device link, or
    // soon will. Any thread.
    bool Busy() const;

private:
    void Run(CUSBDriver* link);
    void Handle(CUSBDriver& link, const ApplyRequest& request);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ApplyRequest> queue_;
    bool busy_ = false;
    bool exit_ = false;
    ProgressCallback progress_;
    DoneCallback done_;
    std::thread thread_;
};

}  // namespace zorvan
