#include "device/thread_set.h"

namespace zorvan {

ThreadSet::~ThreadSet()
{
    JoinAll();
}

void ThreadSet::Start(std::function<void()> body)
{
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(mutex_);
    entries_.push_back(Entry{std::thread([body = std::move(body), ended] {
                                 body();
                                 ended->store(true);
                             }),
                             ended});
}

void ThreadSet::Reap()
{
    std::list<Entry> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            const auto next = std::next(it);
            if (it->ended->load())
                finished.splice(finished.end(), entries_, it);
            it = next;
        }
    }
    for (Entry& entry : finished)
        entry.thread.join();
}

void ThreadSet::JoinAll()
{
    for (;;) {
        std::list<Entry> all;
        {
            std::lock_guard lock(mutex_);
            all.swap(entries_);
        }
        if (all.empty())
            return;
        for (Entry& entry : all)
            entry.thread.join();
    }
}

size_t ThreadSet::Count() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace zorvan
