#include "macro/time_stamp_id.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace zorvan {
namespace {

std::atomic<int64_t> g_pauseMs{20};

}  // namespace

void SetTimeStampIdPause(std::chrono::milliseconds pause)
{
    g_pauseMs.store(pause.count());
}

uint32_t NewTimeStampId(QTime (*clock)())
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(g_pauseMs.load()));
        const QTime now = clock();
        const uint32_t id = TimeStampId(now.hour(), now.minute(), now.second(), now.msec());
        if (id != 0)
            return id;
    }
}

}  // namespace zorvan
