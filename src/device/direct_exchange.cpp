#include "device/direct_exchange.h"

#include "app/log.h"
#include "device/thread_id.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <random>

namespace zorvan {
namespace {

constexpr int kDirectReads = 3;
constexpr int kDirectReadTimeoutMs = 200;
constexpr size_t kDirectBody = 15;

}  // namespace

bool SendData(const Payload& payload, HidHandle* handle, int* systemError)
{
    const HidStatus status =
        handle ? handle->SendFeatureReport(BuildFeatureReport(payload)) : HidStatus{HidError::kInvalidHandle, EBADF};
    if (status.Ok())
        return true;
    if (systemError)
        *systemError = status.systemError;
    Log("SendData Err=0x%x", unsigned(status.systemError));
    return false;
}

bool GetData(HidHandle* notify, uint8_t* out, size_t n, int timeoutMs)
{
    if (notify == nullptr)
        return false;
    HidReport report;
    size_t length = 0;
    const HidStatus status = notify->ReadInputReport(report, length, timeoutMs);
    switch (status.error) {
    case HidError::kNone:
        std::copy(report.begin() + 1, report.begin() + 1 + std::min(n, kHidReportLength - 1), out);
        return true;
    case HidError::kTimeout:
        Log("GetData TimeOut, hNotify=%x", unsigned(notify->LogId()));
        return false;
    case HidError::kNotConnected:
        Log("GetData Err, dev is plugout");
        return false;
    default:
        Log("GetData Err=0x%x", unsigned(status.systemError));
        return false;
    }
}

int GetConnectStatus(HidHandle* cmd, HidHandle* notify)
{
    if (!SendData(MakePayload(kCmdGetConnectStatus), cmd))
        return -1;
    for (int read = 0; read < kDirectReads; ++read) {
        uint8_t body[kDirectBody] = {};
        if (!GetData(notify, body, kDirectBody, kDirectReadTimeoutMs)) {
            Log("GetConnectStatus GetData Err");
            return 0;
        }
        if (body[kBodyCommand] != kCmdGetConnectStatus || body[kBodyStatus] != 0)
            Log("GetConnectStatus Err=%x %x %x, ThreadId=0x%x", body[kBodyCommand], body[kBodyStatus], body[kBodyData],
                CurrentThreadId());
        if (body[kBodyCommand] != kCmdGetConnectStatus)
            continue;
        return body[kBodyStatus] != 0 ? 0 : body[kBodyData];
    }
    return 0;
}

int CheckPsd(HidHandle* notify, HidHandle* cmd, int& cid, int& mid)
{
    std::minstd_rand random(unsigned(std::chrono::system_clock::now().time_since_epoch().count()));
    uint8_t challenge[8] = {};
    for (int i = 0; i < 4; ++i)
        challenge[i] = uint8_t(random() % 100 + 1);
    int error = 0;
    if (!SendData(MakePayload(kCmdCheckPsd, 0, challenge, sizeof challenge), cmd, &error)) {
        Log("CheckPsd SendData Err=0x%x", unsigned(error));
        return 0;
    }
    for (int read = 0; read < kDirectReads; ++read) {
        uint8_t body[kDirectBody] = {};
        if (!GetData(notify, body, kDirectBody, kDirectReadTimeoutMs)) {
            Log("CheckPsd GetData Err");
            return 0;
        }
        if (body[kBodyCommand] != kCmdCheckPsd || body[kBodyStatus] != 0)
            Log("CheckPsd Err=%x %x %x, ThreadId=0x%x", body[kBodyCommand], body[kBodyStatus], body[9],
                CurrentThreadId());
        if (body[kBodyCommand] != kCmdCheckPsd)
            continue;
        if (body[kBodyStatus] != 0)
            return 0;
        Log("CheckPsd: cid=%x, mid=%x", body[9], body[10]);
        if (body[9] == 0 && body[10] == 0)
            return -1;
        cid = body[9];
        mid = body[10];
        return 1;
    }
    return 0;
}

}  // namespace zorvan
