#include "device/reply_queue.h"

namespace zorvan {

void ReplyQueue::Push(const AnswerBody& body)
{
    {
        std::lock_guard lock(mutex_);
        if (answers_.size() >= kCapacity)
            answers_.pop_front();
        answers_.emplace_back(body);
    }
    arrived_.notify_all();
}

std::optional<CRetParam> ReplyQueue::PopUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_until(lock, deadline, [this] { return !answers_.empty(); }))
        return std::nullopt;
    CRetParam front = answers_.front();
    answers_.pop_front();
    return front;
}

void ReplyQueue::Clear()
{
    std::lock_guard lock(mutex_);
    answers_.clear();
}

size_t ReplyQueue::Size() const
{
    std::lock_guard lock(mutex_);
    return answers_.size();
}

ReplyQueue& Replies()
{
    static ReplyQueue queue;
    return queue;
}

}  // namespace zorvan
