#pragma once
// The time-stamp id of macros and profiles: a 24-bit value formed from the local time of day.
#include <cstdint>

namespace zorvan {

// ((hour & 15) << 20) | (minute << 14) | (second << 8) | (millisecond & 0xFF).
constexpr uint32_t TimeStampId(int hour, int minute, int second, int millisecond)
{
    return (uint32_t(hour & 15) << 20) | (uint32_t(minute) << 14) | (uint32_t(second) << 8) |
           uint32_t(millisecond & 0xFF);
}

// Waits 20 ms, so that ids made one after another differ, then forms the id of the local time.
uint32_t NewTimeStampId();

}  // namespace zorvan
