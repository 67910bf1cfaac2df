#pragma once
// The time-stamp id of macros and profiles: a 24-bit value formed from the local time of day.
#include <QTime>

#include <chrono>
#include <cstdint>

namespace zorvan {

// ((hour & 15) << 20) | (minute << 14) | (second << 8) | (millisecond & 0xFF).
constexpr uint32_t TimeStampId(int hour, int minute, int second, int millisecond)
{
    return (uint32_t(hour & 15) << 20) | (uint32_t(minute) << 14) | (uint32_t(second) << 8) |
           uint32_t(millisecond & 0xFF);
}

// Waits the id pause (20 ms), so that ids made one after another differ, then forms the id of
// `clock`'s time (the local time of day). Never 0, which marks an invalid profile and a macro
// "mac.dct" leaves out: at 0:00:00 and 16:00:00 (hour AND 15 is 0) it waits again.
uint32_t NewTimeStampId(QTime (*clock)() = &QTime::currentTime);

// The id pause. The fuzz targets, which make ids by the thousand and do not need them
// distinct, shorten it.
void SetTimeStampIdPause(std::chrono::milliseconds pause);

}  // namespace zorvan
