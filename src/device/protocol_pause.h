#pragma once
// The pauses the protocol mandates between requests (before an answer wait, between read
// pieces, between area writes, ...). Every one is made through ProtocolPause, which also adds
// it to a sum kept per thread, so a benchmark can compare a read or a write with the pauses it
// actually made.
#include <chrono>

namespace zorvan {

// Sleeps `pause` and adds it to this thread's sum.
void ProtocolPause(std::chrono::milliseconds pause);
// The pauses made on this thread so far.
std::chrono::milliseconds ProtocolPausesOfThisThread();

}  // namespace zorvan
