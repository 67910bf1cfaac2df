#include "profile/function_codes.h"

namespace zorvan {

uint16_t ConsumerUsage(uint32_t dwFunID)
{
    // The code selects the usage; classes 3 and 4 share one table.
    const FunctionEntry* f = FindFunctionByCode(dwFunID);
    return f != nullptr ? f->usage : kNoConsumerUsage;
}

std::optional<uint32_t> ConsumerFunction(uint16_t usage)
{
    const FunctionEntry* f = FindFunctionByUsage(usage);
    if (f == nullptr)
        return std::nullopt;
    return f->dwFunID;
}

}  // namespace zorvan
