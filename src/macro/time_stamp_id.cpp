#include "macro/time_stamp_id.h"

#include <QTime>

#include <chrono>
#include <thread>

namespace zorvan {

uint32_t NewTimeStampId()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const QTime now = QTime::currentTime();
    return TimeStampId(now.hour(), now.minute(), now.second(), now.msec());
}

}  // namespace zorvan
