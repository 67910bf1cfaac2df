#pragma once
// Exchanges on raw handles, used before a device has a reader thread (discovery and
// identification): one send, then reads of the notify interface.
#include "device/hid_transport.h"
#include "device/report_frame.h"

#include <cstddef>
#include <cstdint>

namespace zorvan {

// Builds the feature report and sends it once. On failure stores the system error (when
// `systemError` is given), logs "SendData Err=0x%x" and returns false.
bool SendData(const Payload& payload, HidHandle* handle, int* systemError = nullptr);

// Reads one input report, waiting at most `timeoutMs`, and copies body bytes 0..n-1 to `out`.
bool GetData(HidHandle* notify, uint8_t* out, size_t n, int timeoutMs);

// Link state, direct form: -1 when the request could not be sent, 0 on any other failure,
// else answer byte 5 (1 = the mouse is linked and ready).
int GetConnectStatus(HidHandle* cmd, HidHandle* notify);

// Identification: 1 with `cid` and `mid`, 0 on failure, -1 when the mouse says 0 and 0.
int CheckPsd(HidHandle* notify, HidHandle* cmd, int& cid, int& mid);

}  // namespace zorvan
