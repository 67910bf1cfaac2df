#pragma once
// The device session's delays (tests shorten them).
namespace zorvan {

struct SessionTiming {
    int powerPollMs = 30000;     // the battery poll's period
    int takeOverMs = 300;        // from a device's identification to its take-over
    int resetWindowMs = 5000;    // a profile/reset event this soon after restore-defaults is the reset's own
    int lightEventPauseMs = 10;  // before the read that follows a lighting event
};

}  // namespace zorvan
