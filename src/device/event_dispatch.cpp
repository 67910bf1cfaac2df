#include "device/event_dispatch.h"

#include "app/log.h"
#include "device/thread_id.h"

#include <algorithm>
#include <cstdio>

namespace zorvan {

void DispatchBody(const AnswerBody& body, ReplyQueue& replies, EventSink* sink)
{
    if (LogWanted()) {
        char label[32];
        std::snprintf(label, sizeof label, "Read(%x):", CurrentThreadId());
        LogHex(body.data(), kBodyLength - 1, 0, label);
    }
    if (body[kBodyCommand] != kEventBody) {
        replies.Push(body);
        return;
    }
    if (sink == nullptr)
        return;
    const uint8_t flags = body[kBodyEventFlags];
    for (const EventFlag& flag : kEventFlags) {
        if ((flags & flag.bit) == 0)
            continue;
        const int value = flag.bodyByte < 0 ? 0 : body[size_t(flag.bodyByte)] & flag.valueMask;
        sink->PostMouseEvent(value, flag.kind);
    }
}

void DispatchInputReport(const uint8_t* data, size_t length, ReplyQueue& replies, EventSink* sink)
{
    if (length == 0 || data[0] != kInputReportId)
        return;
    AnswerBody body{};
    std::copy(data + 1, data + std::min(length, kHidReportLength), body.begin());
    DispatchBody(body, replies, sink);
}

}  // namespace zorvan
