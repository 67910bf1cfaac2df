#include "device/service_thread.h"

#include "app/log.h"
#include "device/thread_id.h"

#include <algorithm>
#include <chrono>

namespace zorvan {

void ServiceThread(const DeviceSlot& slot, ReplyQueue& replies, EventSink* sink)
{
    const unsigned notifyId = slot.hNotify ? unsigned(slot.hNotify->LogId()) : 0;
    Log("ServiceThread start, hNotify=%x, PID=%04x, CID=%x, MID=%x, ThreadId=0x%x", notifyId, unsigned(slot.PID),
        unsigned(slot.CID), unsigned(slot.MID), CurrentThreadId());
    // After an unexpected read error the thread waits a little before reading again, longer
    // while the error persists, so a failing node cannot make it spin.
    std::chrono::milliseconds backoff{0};
    while (slot.hNotify) {
        HidReport report;
        size_t length = 0;
        const HidStatus status = slot.hNotify->ReadInputReport(report, length, -1);
        if (status.Ok()) {
            backoff = std::chrono::milliseconds(0);
            DispatchInputReport(report.data(), length, replies, sink);
            continue;
        }
        if (status.error == HidError::kCancelled) {
            if (slot.control && slot.control->StopRequested()) {
                Log("hObject[1] is signal");
                break;
            }
            continue;
        }
        Log("ServiceThread ReadFile Err=%d", status.systemError);
        if (status.error == HidError::kNotConnected || status.error == HidError::kInvalidHandle)
            break;
        backoff = std::clamp(backoff * 2, std::chrono::milliseconds(10), std::chrono::milliseconds(1000));
        if (slot.control && slot.control->SleepUnlessStopped(backoff))
            break;
    }
    Log("ServiceThread exit, hNotify=%x, PID=%04x, CID=%x, MID=%x", notifyId, unsigned(slot.PID), unsigned(slot.CID),
        unsigned(slot.MID));
}

}  // namespace zorvan
