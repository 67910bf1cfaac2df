#include "profile/apply_worker.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "device/usb_driver.h"
#include "profile/write_verify.h"
#include "text/language_texts.h"

namespace zorvan {
namespace {

unsigned LogId(const HidHandlePtr& handle)
{
    return handle ? unsigned(handle->LogId()) : 0;
}

}  // namespace

ApplyWorker::~ApplyWorker()
{
    Stop();
}

void ApplyWorker::Start(CUSBDriver& link)
{
    std::lock_guard lock(mutex_);
    if (thread_.joinable())
        return;
    exit_ = false;
    thread_ = std::thread([this, &link] { Run(&link); });
}

bool ApplyWorker::Post(uint32_t flags, uint32_t data)
{
    std::lock_guard lock(mutex_);
    if (queue_.size() >= kQueueCapacity) {
        Log("Apply request dropped, queue full: nFlag=0x%x, nData=0x%x", flags, data);
        return false;
    }
    queue_.push_back({flags & ~apply::kProgress, data});
    changed_.notify_all();
    return true;
}

bool ApplyWorker::PostWithProgress(uint32_t flags)
{
    std::lock_guard lock(mutex_);
    if (queue_.size() >= kQueueCapacity) {
        Log("Apply request dropped, queue full: nFlag=0x%x, nData=0x%x", flags | apply::kProgress, apply::kAll);
        return false;
    }
    queue_.push_back({flags | apply::kProgress, apply::kAll});
    changed_.notify_all();
    return true;
}

void ApplyWorker::Stop()
{
    std::thread thread;
    {
        std::lock_guard lock(mutex_);
        exit_ = true;
        queue_.clear();
        changed_.notify_all();
        thread = std::move(thread_);
    }
    if (thread.joinable())
        thread.join();
}

void ApplyWorker::SetProgressCallback(ProgressCallback callback)
{
    std::lock_guard lock(mutex_);
    progress_ = std::move(callback);
}

void ApplyWorker::SetDoneCallback(DoneCallback callback)
{
    std::lock_guard lock(mutex_);
    done_ = std::move(callback);
}

bool ApplyWorker::WaitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    const auto idle = [this] { return (queue_.empty() && !busy_) || !thread_.joinable(); };
    if (timeout == std::chrono::milliseconds::max()) {
        changed_.wait(lock, idle);
        return true;
    }
    return changed_.wait_for(lock, timeout, idle);
}

bool ApplyWorker::Busy() const
{
    std::lock_guard lock(mutex_);
    return thread_.joinable() && (busy_ || !queue_.empty());
}

void ApplyWorker::Run(CUSBDriver* link)
{
    Log("Start apply thread");
    for (;;) {
        ApplyRequest request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return exit_ || !queue_.empty(); });
            if (exit_) {
                Log("thread exit");
                busy_ = false;
                changed_.notify_all();
                return;
            }
            request = queue_.front();
            queue_.pop_front();
            busy_ = true;
        }
        Handle(*link, request);
        std::lock_guard lock(mutex_);
        busy_ = false;
        changed_.notify_all();
    }
}

void ApplyWorker::Handle(CUSBDriver& link, const ApplyRequest& request)
{
    Log("Start Apply: hDevice=0x%x, nFlag=0x%x, nData=0x%x", LogId(link.Cmd()), request.flags, request.data);
    ProgressCallback progress;
    DoneCallback done;
    {
        std::lock_guard lock(mutex_);
        if (request.flags & apply::kProgress)
            progress = progress_;
        done = done_;
    }
    bool ok = false;
    if (!link.Cmd() && Options().GoWithNoDev == 0 && NeedsMouse(request)) {
        ShowMessage(QStringLiteral("Error"), GetText("tc_msg15"));
    } else {
        // The profile and the macros are copied now: the user-interface thread may go on
        // editing them while the mouse is written.
        const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
        const bool check = (request.flags & apply::kVerify) && link.Cmd();
        std::optional<WriteJournal> journal;
        if (check)
            journal.emplace();
        ok = snapshot && WriteSettings(link, *snapshot, request.flags, request.data, progress);
        if (ok && check)
            ok = CheckWrites(link, journal->Writes()).ok;
        if (!ok)
            ShowMessage(QStringLiteral("Error"), QStringLiteral("   Update settings failed!      "));
    }
    if (done)
        done(request, ok);
    Log("Apply Over");
}

}  // namespace zorvan
