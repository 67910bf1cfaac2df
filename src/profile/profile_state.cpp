#include "profile/profile_state.h"

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

ProfileState& Profiles()
{
    static ProfileState state;
    return state;
}

bool EditCurrentProfile(const std::function<void(ProfileRecord&)>& edit)
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    ProfileRecord* current = state.profiles.Current();
    if (current == nullptr)
        return false;
    if (state.storeRecord && state.storeRecord->first == state.profiles.CurrentIndex())
        edit(state.storeRecord->second);
    edit(*current);
    return true;
}

bool EditCurrentProfileFromMouse(const std::function<void(ProfileRecord&)>& edit)
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    if (state.reportsDuringRead.recording)
        state.reportsDuringRead.edits.push_back(edit);
    ProfileRecord* current = state.profiles.Current();
    if (current == nullptr)
        return false;
    edit(*current);
    return true;
}

void SetDpiLevelFromMouse(int level)
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    if (state.reportsDuringRead.recording)
        state.reportsDuringRead.dpiLevel = level;
    g_nCurDpiLevel.store(level);
}

void StartKeepingReports()
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    state.reportsDuringRead = {};
    state.reportsDuringRead.recording = true;
}

void StopKeepingReports()
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    state.reportsDuringRead = {};
}

std::optional<ProfileRecord> CurrentProfileCopy()
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    const ProfileRecord* current = state.profiles.Current();
    if (current == nullptr)
        return std::nullopt;
    return *current;
}

std::optional<ProfileRecord> ProfileCopy(int index)
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    const ProfileRecord* record = state.profiles.At(index);
    if (record == nullptr)
        return std::nullopt;
    return *record;
}

std::optional<ModelIds> LoadedStoreModel()
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    if (!state.profiles.IsLoaded())
        return std::nullopt;
    return state.storeModel;
}

MacroNameTable MacroNamesCopy()
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    return state.macroNames;
}

}  // namespace zorvan
