#include "profile/exchange_runner.h"

#include "app/log.h"

namespace zorvan {

ExchangeRunner::ExchangeRunner() : thread_([this] { Run(); }) {}

ExchangeRunner::~ExchangeRunner()
{
    Stop();
}

bool ExchangeRunner::Post(std::function<void()> exchange)
{
    std::lock_guard lock(mutex_);
    if (stopping_)
        return false;
    if (queue_.size() >= kQueueCapacity) {
        Log("Exchange dropped, queue full");
        return false;
    }
    queue_.push_back(std::move(exchange));
    changed_.notify_one();
    return true;
}

void ExchangeRunner::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_one();
    }
    if (thread_.joinable())
        thread_.join();
}

void ExchangeRunner::Run()
{
    for (;;) {
        std::function<void()> exchange;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            exchange = std::move(queue_.front());
            queue_.pop_front();
        }
        exchange();
    }
}

}  // namespace zorvan
