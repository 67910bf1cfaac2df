#include "device/usb_driver.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/device_table.h"
#include "device/protocol_pause.h"
#include "device/thread_id.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace zorvan {
namespace {

// The one lock of the process around an answer wait.
std::mutex& AnswerWaitLock()
{
    static std::mutex lock;
    return lock;
}

unsigned LogId(const HidHandlePtr& handle)
{
    return handle ? unsigned(handle->LogId()) : 0;
}

}  // namespace

CUSBDriver::CUSBDriver(DeviceTable* table, ReplyQueue& replies) : table_(table), replies_(replies) {}

void CUSBDriver::SetHandles(HidHandlePtr cmd, HidHandlePtr notify)
{
    std::lock_guard lock(handlesMutex_);
    hCmd_ = std::move(cmd);
    hNotify_ = std::move(notify);
}

HidHandlePtr CUSBDriver::Cmd() const
{
    std::lock_guard lock(handlesMutex_);
    return hCmd_;
}

HidHandlePtr CUSBDriver::Notify() const
{
    std::lock_guard lock(handlesMutex_);
    return hNotify_;
}

int CUSBDriver::Retry()
{
    return Options().Retry;
}

bool CUSBDriver::SendCommand(HidHandle* cmd, const Payload& payload, int* systemError)
{
    const HidReport report = BuildFeatureReport(payload);
    HidStatus status{HidError::kInvalidHandle, EBADF};
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (cmd != nullptr)
            status = cmd->SendFeatureReport(report);
        if (status.Ok())
            return true;
        ProtocolPause(timing.sendRetryPause);
    }
    Log("SendCommand err=0x%x", unsigned(status.systemError));
    if (systemError)
        *systemError = status.systemError;
    return false;
}

int CUSBDriver::WaitNotify(uint8_t command, AnswerBody& answer)
{
    std::lock_guard lock(AnswerWaitLock());
    ProtocolPause(timing.pauseBeforeWait);
    // One deadline for the whole wait: answers to other commands are dropped without
    // extending it, so a flood of them cannot keep the requester waiting.
    const auto deadline = std::chrono::steady_clock::now() + timing.answerWait;
    for (;;) {
        const std::optional<CRetParam> next = replies_.PopUntil(deadline);
        if (!next) {
            Log("WaitNotify TimeOut for nCmdID=%x, ThreadId=0x%x", command, CurrentThreadId());
            return -1;
        }
        answer = next->Body();
        if (answer[kBodyCommand] == command)
            return 1;
    }
}

CUSBDriver::Outcome CUSBDriver::Transact(HidHandle* cmd, const Payload& payload, int attempts, AnswerBody& answer,
                                         const std::function<void(int)>& onFailedAttempt, int* sendError)
{
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (!SendCommand(cmd, payload, sendError))
            return Outcome::kNotSent;
        if (WaitNotify(payload[kPayloadCommand], answer) == 1 && answer[kBodyStatus] == 0)
            return Outcome::kAccepted;
        if (onFailedAttempt)
            onFailedAttempt(attempt);
    }
    return Outcome::kNoAnswer;
}

bool CUSBDriver::SendCMD(uint8_t command, uint8_t value)
{
    Log("SendCMD: nCmdID=0x%x, bData=0x%x", command, value);
    std::lock_guard lock(lock_);
    replies_.Clear();
    const HidHandlePtr cmd = Cmd();
    const Payload payload =
        command == kCmdTellDrvStatus ? MakePayload(command, 0, &value, 1) : MakePayload(command);
    Log("SendCMD: hDev=0x%x", LogId(cmd));
    AnswerBody answer{};
    int error = 0;
    const Outcome outcome = Transact(cmd.get(), payload, Retry(), answer, {}, &error);
    if (outcome == Outcome::kNotSent)
        Log("SendCMD: err=0x%x", unsigned(error));
    return outcome == Outcome::kAccepted;
}

bool CUSBDriver::TellDrvStatus(uint8_t value)
{
    if (!Cmd())
        return false;
    Log("TellDrvStatus= %x", value);
    return SendCMD(kCmdTellDrvStatus, value);
}

bool CUSBDriver::Query(uint8_t command, std::array<uint8_t, kMaxDataBytes>& data)
{
    std::lock_guard lock(lock_);
    replies_.Clear();
    const HidHandlePtr cmd = Cmd();
    AnswerBody answer{};
    if (Transact(cmd.get(), MakePayload(command), Retry(), answer, {}) != Outcome::kAccepted)
        return false;
    std::copy_n(answer.begin() + kBodyData, kMaxDataBytes, data.begin());
    return true;
}

int CUSBDriver::GetConnectStatus()
{
    if (!Cmd())
        return 0;
    std::array<uint8_t, kMaxDataBytes> data{};
    if (!Query(kCmdGetConnectStatus, data)) {
        Log("GetConnectStatus Failed");
        return -1;
    }
    return data[0];
}

int CUSBDriver::GetCurProfile()
{
    std::array<uint8_t, kMaxDataBytes> data{};
    if (!Query(kCmdGetCurProfile, data)) {
        Log("GetCurProfile Failed");
        return -1;
    }
    return data[0];
}

bool CUSBDriver::SetCurProfile(int index)
{
    replies_.Clear();
    const uint8_t value = uint8_t(index);
    const HidHandlePtr cmd = Cmd();
    AnswerBody answer{};
    return Transact(cmd.get(), MakePayload(kCmdSetCurProfile, 0, &value, 1), 1, answer, {}) == Outcome::kAccepted;
}

bool CUSBDriver::GetLightingLock(int& refused)
{
    std::lock_guard lock(lock_);
    replies_.Clear();
    const HidHandlePtr cmd = Cmd();
    AnswerBody answer{};
    if (Transact(cmd.get(), MakePayload(kCmdLightingLock), 1, answer, {}) != Outcome::kAccepted)
        return false;
    refused = answer[kBodyData] == 0 ? 1 : 0;
    return true;
}

bool CUSBDriver::GetPower(int& level, int& charging)
{
    std::lock_guard lock(lock_);
    replies_.Clear();
    const HidHandlePtr cmd = Cmd();
    AnswerBody answer{};
    if (Transact(cmd.get(), MakePayload(kCmdGetPower), 1, answer, {}) != Outcome::kAccepted)
        return false;
    level = answer[kBodyData];
    charging = answer[kBodyData + 1];
    return true;
}

namespace {
thread_local EepromWriteObserver* t_writeObserver = nullptr;
}  // namespace

EepromWriteObserver* ObserveEepromWrites(EepromWriteObserver* observer)
{
    return std::exchange(t_writeObserver, observer);
}

bool CUSBDriver::WriteEEPROM(int pieceSize, int length, uint16_t address, const uint8_t* data)
{
    Log("WriteEEPROM( Addr=0x%x ): ", address);
    if (length > 0)
        LogHex(data, size_t(length), 32, nullptr);
    const int size = pieceSize == 0 ? int(kMaxDataBytes) : pieceSize;
    if (size < 0 || size > int(kMaxDataBytes)) {
        Log("SendData Err: nSize>PER_PAYLOAD!");
        return false;
    }
    if (t_writeObserver != nullptr && length > 0)
        t_writeObserver->Written(address, data, length);
    std::lock_guard lock(lock_);
    replies_.Clear();
    const HidHandlePtr cmd = Cmd();
    int givenUp = 0;
    for (int offset = 0, piece = 0; offset < length; offset += size, ++piece) {
        const int n = std::min(size, length - offset);
        const uint16_t at = uint16_t(address + offset);
        AnswerBody answer{};
        const Outcome outcome = Transact(cmd.get(), MakePayload(kCmdWriteEEPROM, at, data + offset, size_t(n)),
                                         Retry(), answer, [](int attempts) {
                                             Log("WriteEEPROM Failed");
                                             if (Retry() > 1)
                                                 Log("nRetry=%d", attempts);
                                         });
        if (outcome == Outcome::kNotSent) {
            Log("WriteEEPROM Err, i=%d", piece);
            return false;
        }
        if (outcome == Outcome::kNoAnswer)
            ++givenUp;
    }
    if (givenUp > 0) {
        // The mouse does not hold what was asked: say so rather than report success.
        Log("WriteEEPROM gave up %d piece(s) at Addr=0x%x", givenUp, address);
        return false;
    }
    return true;
}

bool CUSBDriver::ReadEEPROM(uint16_t address, uint8_t* out, int n)
{
    const HidHandlePtr cmd = Cmd();
    if (!cmd)
        return false;
    if (n < 1 || n > int(kMaxDataBytes)) {
        Log("SendData Err: nSize>PER_PAYLOAD!");
        return false;
    }
    std::lock_guard lock(lock_);
    replies_.Clear();
    Payload payload = MakePayload(kCmdReadEEPROM, address);
    payload[kPayloadLength] = uint8_t(n);
    AnswerBody answer{};
    if (Transact(cmd.get(), payload, Retry(), answer, [](int) { Log("ReadEEPROM Failed"); }) != Outcome::kAccepted)
        return false;
    std::copy_n(answer.begin() + kBodyData, n, out);
    return true;
}

bool CUSBDriver::ReadROM(int length, uint16_t address, uint8_t* out, const StopTest& stop)
{
    for (int i = 0, done = 0; done < length; ++i) {
        const int n = std::min(int(kMaxDataBytes), length - done);
        if (!ReadEEPROM(uint16_t(address + done), out + done, n)) {
            Log("ReadROM Failed at %d: nAddr=0x%x", i, unsigned(address + done));
            return false;
        }
        if (stop && stop(out + done, n))
            return true;
        done += n;
        ProtocolPause(timing.readPiecePause);
    }
    return true;
}

void CUSBDriver::ClearHandle()
{
    Log("ClearHandle");
    SetHandles(nullptr, nullptr);
    if (table_)
        table_->CloseConnected();
}

}  // namespace zorvan
