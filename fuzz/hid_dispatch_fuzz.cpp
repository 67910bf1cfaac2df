// Arbitrary input reports through the reader thread's dispatch: any length and content, any
// number of them. Nothing may crash, and the reply queue must stay within its bound.
#include "device/event_dispatch.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

class CountingSink : public zorvan::EventSink {
public:
    void PostMouseEvent(int value, int kind) override
    {
        if (kind < zorvan::kEventDpiLevel || kind > zorvan::kEventDpiLight || value < 0 || value > 0xFF)
            std::abort();
        ++count;
    }
    size_t count = 0;
};

}  // namespace

// Input: reports one after another, each a length byte (taken modulo 24, so reports longer
// and shorter than 17 bytes occur) followed by that many bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zorvan::ReplyQueue replies;
    CountingSink sink;
    size_t at = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at] % 24, size - at - 1);
        zorvan::DispatchInputReport(data + at + 1, length, replies, &sink);
        at += 1 + length;
        if (replies.Size() > zorvan::ReplyQueue::kCapacity)
            std::abort();
    }
    return 0;
}
