#pragma once
// The calling thread's id as the log shows it.
#include <unistd.h>

namespace zorvan {

inline unsigned CurrentThreadId()
{
    return unsigned(gettid());
}

}  // namespace zorvan
