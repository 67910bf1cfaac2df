#pragma once
// What the reader thread does with one input report: an answer goes to the reply queue, an
// event (body byte 0 = 0x0A) becomes one notification per flag bit.
#include "device/reply_queue.h"

#include <cstddef>
#include <cstdint>

namespace zorvan {

// The event kinds of a notification the mouse sends by itself.
enum MouseEventKind {
    kEventDpiLevel = 1,     // value: the new DPI level
    kEventPollingRate = 2,  // value: the new polling-rate code
    kEventProfile = 3,      // value: the profile/reset byte
    kEventMainLight = 4,
    kEventLogoLight = 5,
    kEventDpiLight = 6,
};

// Receives the notifications; called on the reader thread.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void PostMouseEvent(int value, int kind) = 0;
};

// Flag bit, body byte of the value (-1: value 0) and value mask, in the order of posting.
struct EventFlag {
    uint8_t bit;
    int bodyByte;
    uint8_t valueMask;
    MouseEventKind kind;
};
inline constexpr EventFlag kEventFlags[] = {
    {0x01, 6, 0xFF, kEventDpiLevel},  {0x02, 7, 0x0F, kEventPollingRate}, {0x04, 9, 0xFF, kEventProfile},
    {0x80, -1, 0x00, kEventMainLight}, {0x40, -1, 0x00, kEventLogoLight},  {0x20, -1, 0x00, kEventDpiLight},
};

// One 16-byte body: logged, then queued as an answer or posted as notifications (`sink` may
// be null: events are then dropped).
void DispatchBody(const AnswerBody& body, ReplyQueue& replies, EventSink* sink);

// One input report as read (`length` bytes, report id first). Reports of another report id
// are not the mouse protocol's and are ignored; a short report is padded with zeros.
void DispatchInputReport(const uint8_t* data, size_t length, ReplyQueue& replies, EventSink* sink);

}  // namespace zorvan
