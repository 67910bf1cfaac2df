#include "profile/profile_pauses.h"

namespace zorvan {

ProfilePauses& Pauses()
{
    static ProfilePauses pauses;
    return pauses;
}

}  // namespace zorvan
