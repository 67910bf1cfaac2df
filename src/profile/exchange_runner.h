#pragma once
// The exchange runner: one thread that makes the device session's short exchanges with the
// mouse (window status, battery, profile switch, lighting lock, the small EEPROM reads) one
// after another, in the order they were posted, so that the user-interface thread never waits
// for the device lock or for the mouse's answer.
//
// The queue is bounded: an exchange posted while it is full is refused (and logged), and the
// caller reports it as failed. Stop (also the destructor) lets the thread make the exchanges
// still queued, then joins it: the window status told at exit still reaches the mouse.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zorvan {

class ExchangeRunner {
public:
    static constexpr size_t kQueueCapacity = 100;

    ExchangeRunner();
    ~ExchangeRunner();
    ExchangeRunner(const ExchangeRunner&) = delete;
    ExchangeRunner& operator=(const ExchangeRunner&) = delete;

    // Appends `exchange`; false (it never runs) when the queue is full or the runner stopped.
    bool Post(std::function<void()> exchange);
    // Makes the exchanges still queued, ends the thread and waits for it. Later posts are refused.
    void Stop();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace zorvan
