#include "device/protocol_pause.h"

#include <thread>

namespace zorvan {
namespace {

thread_local std::chrono::milliseconds g_pauses{0};

}  // namespace

void ProtocolPause(std::chrono::milliseconds pause)
{
    std::this_thread::sleep_for(pause);
    g_pauses += pause;
}

std::chrono::milliseconds ProtocolPausesOfThisThread()
{
    return g_pauses;
}

}  // namespace zorvan
