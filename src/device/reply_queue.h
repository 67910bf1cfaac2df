#pragma once
// The answers the reader thread hands to the waiting requester: a FIFO of answer bodies.
// Appended by the reader threads, taken and emptied by the exchanges; safe from any thread.
// It is bounded: a device that answers faster than anyone asks loses its oldest answers.
#include "device/report_frame.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace zorvan {

// One answer body.
class CRetParam {
public:
    CRetParam() = default;
    explicit CRetParam(const AnswerBody& body) : body_(body) {}
    virtual ~CRetParam() = default;
    CRetParam(const CRetParam&) = default;
    CRetParam& operator=(const CRetParam&) = default;

    const AnswerBody& Body() const { return body_; }

private:
    AnswerBody body_{};
};

class ReplyQueue {
public:
    static constexpr size_t kCapacity = 64;

    void Push(const AnswerBody& body);
    // The front answer, waiting until `deadline` for one to arrive.
    std::optional<CRetParam> PopUntil(std::chrono::steady_clock::time_point deadline);
    void Clear();
    size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<CRetParam> answers_;
};

// The process-wide queue that the reader threads and the device link share.
ReplyQueue& Replies();

}  // namespace zorvan
