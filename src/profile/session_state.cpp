#include "profile/session_state.h"

#include "app/log.h"

#include <algorithm>

namespace zorvan {

std::atomic<int> g_nCurDpiLevel{-1};

int DpiLevelFromMouse(int value, int levels)
{
    const int known = std::min(levels, kDpiLevels);
    if (value >= 0 && value < known)
        return value;
    Log("DPI level %d from the mouse is not one of its %d levels: taken as unknown", value, known);
    return -1;
}

SessionState& Session()
{
    static SessionState state;
    return state;
}

bool EditCurrentProfile(const std::function<void(ProfileRecord&)>& edit)
{
    SessionState& session = Session();
    std::lock_guard lock(session.profileLock);
    ProfileRecord* current = session.profiles.Current();
    if (current == nullptr)
        return false;
    edit(*current);
    return true;
}

std::optional<ProfileRecord> CurrentProfileCopy()
{
    SessionState& session = Session();
    std::lock_guard lock(session.profileLock);
    const ProfileRecord* current = session.profiles.Current();
    if (current == nullptr)
        return std::nullopt;
    return *current;
}

std::optional<ProfileRecord> ProfileCopy(int index)
{
    SessionState& session = Session();
    std::lock_guard lock(session.profileLock);
    const ProfileRecord* record = session.profiles.At(index);
    if (record == nullptr)
        return std::nullopt;
    return *record;
}

MacroNameTable MacroNamesCopy()
{
    SessionState& session = Session();
    std::lock_guard lock(session.profileLock);
    return session.macroNames;
}

}  // namespace zorvan
