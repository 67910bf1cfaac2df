#pragma once
// One supported mouse model, from a [DEV_n] section of cfg.ini.
#include "app/geometry.h"
#include "app/key_assignment.h"

#include <array>
#include <cstdint>

namespace zorvan {

constexpr int kDeviceSlots = 30;

struct DeviceDescription {
    int32_t CID = 0;
    int32_t MID = 0;
    int32_t Sensor = 0;         // 0: the record holds no model
    int32_t DefaultLevel = 0;   // DEFLEVEL
    int32_t DpiLevelCount = 0;  // DM
    std::array<int32_t, 8> DpiLevels{};
    std::array<int32_t, 8> DpiColours{};
    int32_t DpiHeight = 0;  // DPIH
    int32_t ModeCode = 0;   // 1, 2, 3 for MDNUM 3, 6, 9
    int32_t KeyCount = 0;   // KM / 2
    KeyTable KeyTables{};   // K<button>_<table>
    int32_t KeyHeight = 0;  // KEYH
    int32_t ReportRate = 0; // DR
    std::array<Rect, 16> KeyMarks{};
    int32_t ShowLOD = 0;
    int32_t ShowDpi = 0;
    int32_t ShowDpiColor = 0;
    int32_t DpiColorReadOnly = 0;
    int32_t ShowUsbRate = 0;
    int32_t ShowRipple = 0;
    int32_t ShowFixLine = 0;
    int32_t ShowDpiLED = 0;
    int32_t ShowMainEffect = 0;
    int32_t ShowLogoEffect = 0;
    int32_t ShowSleep = 0;
    int32_t Debounce = 0;
    int32_t ShowDebounce = 0;
    int32_t ShowXY = 0;
    int32_t ShowRGBSw = 0;
    int32_t DpiMenuMask = 0;
    int32_t DpiLedMode = 0;  // byte 0 mode, byte 1 speed, byte 2 parameter
    int32_t LedMask = 0;
    Point MarkPoint;
    Point LedMarkPoint;
    int32_t DpiUiLevels = 0;
    int32_t SetDpiByClick = 0;
    int32_t SleepTime = 0;
    std::array<int32_t, 12> SleepValues{};
    int32_t SleepTimeCheck = 0;
    std::array<int32_t, 3> ExKeys{};

    bool HoldsModel() const { return Sensor != 0; }
};

}  // namespace zorvan
