#pragma once
// The two report frames of the mouse protocol and the command ids.
//
// Feature report (request), sent on the command interface:
//   0: report id 0x08 | 1..15: payload | 16: check byte, 0x55 minus the sum of bytes 0..15
// Payload: 0 command id, 1 zero, 2..3 EEPROM address (high, low), 4 data length, 5..14 data.
// Input report (answer or event), read from the notify interface:
//   0: report id 0x09 | 1..16: body. Body 0: the command answered (0x0A: an event), 1: status
//   (0 accepted), 5..14: answer data.
#include "device/hid_transport.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zorvan {

constexpr uint8_t kFeatureReportId = 0x08;
constexpr uint8_t kInputReportId = 0x09;
constexpr size_t PER_PAYLOAD = 15;
constexpr size_t kBodyLength = 16;
constexpr size_t kMaxDataBytes = 10;  // data bytes per request and per answer
constexpr uint8_t kEventBody = 0x0A;  // body byte 0 of a spontaneous event

using Payload = std::array<uint8_t, PER_PAYLOAD>;
using AnswerBody = std::array<uint8_t, kBodyLength>;

// Payload and body positions.
constexpr size_t kPayloadCommand = 0;
constexpr size_t kPayloadAddressHigh = 2;
constexpr size_t kPayloadAddressLow = 3;
constexpr size_t kPayloadLength = 4;
constexpr size_t kPayloadData = 5;
constexpr size_t kBodyCommand = 0;
constexpr size_t kBodyStatus = 1;
constexpr size_t kBodyData = 5;
constexpr size_t kBodyEventFlags = 5;  // in an event body

enum Command : uint8_t {
    kCmdCheckPsd = 1,
    kCmdTellDrvStatus = 2,
    kCmdGetConnectStatus = 3,
    kCmdGetPower = 4,
    kCmdWriteEEPROM = 7,
    kCmdReadEEPROM = 8,
    kCmdResetDevice = 9,
    kCmdGetCurProfile = 14,
    kCmdLightingLock = 15,
    kCmdSetCurProfile = 16,
};

// 0x55 minus the sum of bytes 0..15 of a report, modulo 256.
uint8_t FrameCheckByte(const HidReport& report);

// Report id 0x08, the payload, the check byte.
HidReport BuildFeatureReport(const Payload& payload);

// A payload: command id, EEPROM address, and up to 10 data bytes (more are cut).
Payload MakePayload(uint8_t command, uint16_t address = 0, const uint8_t* data = nullptr, size_t length = 0);

// The probe that finds the notify interface: 08 03 and fifteen zeros, check byte included.
HidReport ProbeReport();

}  // namespace zorvan
