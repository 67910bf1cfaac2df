#pragma once
// The threads a component starts (matching, identification and reader threads): kept so that
// each is joined, never detached. Reap() joins those that have ended; JoinAll() waits for all,
// including threads that the running ones start meanwhile.
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace zorvan {

class ThreadSet {
public:
    ThreadSet() = default;
    ~ThreadSet();
    ThreadSet(const ThreadSet&) = delete;
    ThreadSet& operator=(const ThreadSet&) = delete;

    void Start(std::function<void()> body);
    void Reap();
    // Must not be called from one of the set's threads.
    void JoinAll();
    size_t Count() const;

private:
    struct Entry {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };

    mutable std::mutex mutex_;
    std::list<Entry> entries_;
};

}  // namespace zorvan
