#pragma once
// CUSBDriver: the device link to the current mouse. It holds (does not own) the command and
// notify handles of the current device slot and serialises the exchanges on it.
//
// Every exchange empties the reply queue, sends a feature report on the command interface and
// waits for the answer that the reader thread queues. The device lock (recursive, as a system
// mutex is for its owner) is held for a whole exchange: send, wait and retries, all pieces of
// one EEPROM write. The process-wide answer-wait lock is held for one wait.
//
// Callable from any thread except the user-interface thread for long exchanges (profile read,
// EEPROM writes); the short ones (status, profile switch, lighting lock, power) are meant for it.
#include "device/hid_transport.h"
#include "device/reply_queue.h"
#include "device/report_frame.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace zorvan {

class DeviceTable;

// Told of the EEPROM writes that one thread makes (the check that reads a write back).
class EepromWriteObserver {
public:
    virtual ~EepromWriteObserver() = default;
    virtual void Written(uint16_t address, const uint8_t* data, int length) = 0;
};

// Makes `observer` (null: none) the observer of the calling thread's EEPROM writes; returns the
// one it replaces.
EepromWriteObserver* ObserveEepromWrites(EepromWriteObserver* observer);

// The fixed pauses of the protocol.
struct ExchangeTiming {
    std::chrono::milliseconds pauseBeforeWait{10};
    // The answer wait: about a second (51 polls of 20 ms), done as one wait on the reply queue.
    std::chrono::milliseconds answerWait{1020};
    std::chrono::milliseconds sendRetryPause{50};
    std::chrono::milliseconds readPiecePause{5};
};

class CUSBDriver {
public:
    // `table` is the device table that ClearHandle clears (may be null in tests).
    explicit CUSBDriver(DeviceTable* table = nullptr, ReplyQueue& replies = Replies());

    // The current device's handles ("OnFindDeviceOK"), or none.
    void SetHandles(HidHandlePtr cmd, HidHandlePtr notify);
    HidHandlePtr Cmd() const;
    HidHandlePtr Notify() const;

    // Commands without address (2, 9, ...): 1 when an answer was accepted.
    bool SendCMD(uint8_t command, uint8_t value = 0);
    // Command 2; nothing (false) without an open command handle.
    bool TellDrvStatus(uint8_t value);
    // Query exchange: the bare command id; answer bytes 5..14 on an accepted answer.
    bool Query(uint8_t command, std::array<uint8_t, kMaxDataBytes>& data);
    // Link state: 0 without a command handle, -1 on failure, else answer byte 5.
    int GetConnectStatus();
    // Active on-board profile index, -1 on failure.
    int GetCurProfile();
    // One send and one wait, no retry, without the device lock.
    bool SetCurProfile(int index);
    // Command 15: `refused` = 1 when the mouse refuses lighting changes now.
    bool GetLightingLock(int& refused);
    // Command 4: battery level in percent and the charging flag.
    bool GetPower(int& level, int& charging);

    // Writes `length` bytes at `address` in pieces of `pieceSize` bytes (0: 10). False when a
    // request could not be delivered, and also when the mouse kept refusing a piece (the
    // remaining pieces are still written).
    bool WriteEEPROM(int pieceSize, int length, uint16_t address, const uint8_t* data);
    // Reads 1..10 bytes; false at once without a command handle.
    bool ReadEEPROM(uint16_t address, uint8_t* out, int n);
    // Reads a longer range in pieces of up to 10 bytes; `stop` may end it early after a piece
    // (it sees the piece's bytes and their count).
    using StopTest = std::function<bool(const uint8_t* piece, int n)>;
    bool ReadROM(int length, uint16_t address, uint8_t* out, const StopTest& stop = {});

    // The device is gone: forget both handles and close every connected slot.
    void ClearHandle();

    // The pieces of an exchange. SendCommand: up to three sends 50 ms apart. WaitNotify: 1 with
    // the answer to `command` in `answer`, -1 on time-out.
    bool SendCommand(HidHandle* cmd, const Payload& payload, int* systemError = nullptr);
    int WaitNotify(uint8_t command, AnswerBody& answer);

    ExchangeTiming timing;

private:
    enum class Outcome { kAccepted, kNotSent, kNoAnswer };
    // Up to `attempts` sends of `payload` until an accepted answer; `onFailedAttempt` sees the
    // number of attempts so far. The device lock is held by the caller.
    Outcome Transact(HidHandle* cmd, const Payload& payload, int attempts, AnswerBody& answer,
                     const std::function<void(int)>& onFailedAttempt, int* sendError = nullptr);
    static int Retry();

    DeviceTable* table_;
    ReplyQueue& replies_;
    mutable std::mutex handlesMutex_;
    HidHandlePtr hCmd_;
    HidHandlePtr hNotify_;
    std::recursive_mutex lock_;
};

}  // namespace zorvan
