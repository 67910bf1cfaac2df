#pragma once
// The apply request: which areas of the current profile the apply worker writes to the mouse
// (flags) and one data value that selects within them.
#include <cstdint>

namespace zorvan {

namespace apply {
constexpr uint32_t kKeys = 0x0001;            // data: key index 0..15, or kAll
constexpr uint32_t kLighting = 0x0002;        // data: kLightLogo | kLightMain | kLightDpi, or kAll
constexpr uint32_t kDpiLevels = 0x0004;       // data: level 0..7, or kAll
constexpr uint32_t kSystemPointer = 0x0008;
constexpr uint32_t kCurrentDpiLevel = 0x0010;
constexpr uint32_t kPollingRate = 0x0020;
constexpr uint32_t kDpiColours = 0x0040;      // data: level 0..7, or kAll
constexpr uint32_t kDpiLevelCount = 0x0080;
constexpr uint32_t kReset = 0x0100;           // ResetDevice (command 9)
constexpr uint32_t kLod = 0x0200;
constexpr uint32_t kAngleSnapping = 0x0400;
constexpr uint32_t kRipple = 0x0800;
constexpr uint32_t kDebounce = 0x1000;
constexpr uint32_t kSleepTime = 0x4000;
constexpr uint32_t kProgress = 0x8000;        // report progress while writing
constexpr uint32_t kLightOffMoving = 0x10000;
// Read the written bytes back afterwards and compare (whole-profile writes): a difference is a
// failed request. The apply worker's write check may be turned off.
constexpr uint32_t kVerify = 0x20000;

constexpr uint32_t kAll = 0xFF;
constexpr uint32_t kLightLogo = 0x01;
constexpr uint32_t kLightMain = 0x02;
constexpr uint32_t kLightDpi = 0x04;

// Every area of a profile: what a profile import writes (data kAll), less the areas the model
// does not have (ImportRequest).
constexpr uint32_t kImportFlags = kKeys | kLighting | kDpiLevels | kSystemPointer | kCurrentDpiLevel | kPollingRate |
                                  kDpiColours | kDpiLevelCount | kLod | kAngleSnapping | kRipple | kDebounce |
                                  kSleepTime | kLightOffMoving;
}  // namespace apply

struct ApplyRequest {
    uint32_t flags = 0;
    uint32_t data = 0;
};

// Does the request write to the mouse? The desktop's pointer settings alone go to the desktop:
// they need no mouse.
constexpr bool NeedsMouse(const ApplyRequest& request)
{
    return (request.flags & ~apply::kSystemPointer) != 0;
}

}  // namespace zorvan
