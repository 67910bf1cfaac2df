#include "profile/profile_list.h"

namespace zorvan {

void ProfileList::Assign(const std::array<ProfileRecord, kCount>& records, uint32_t currentId)
{
    records_ = records;
    int current = 0;
    for (int i = 0; i < kCount; ++i) {
        if (records_[size_t(i)].id == currentId) {
            current = i;
            break;
        }
    }
    current_.store(current);
}

void ProfileList::Clear()
{
    current_.store(-1);
    records_ = {};
}

ProfileRecord* ProfileList::At(int index)
{
    return IsLoaded() && index >= 0 && index < kCount ? &records_[size_t(index)] : nullptr;
}

const ProfileRecord* ProfileList::At(int index) const
{
    return IsLoaded() && index >= 0 && index < kCount ? &records_[size_t(index)] : nullptr;
}

bool ProfileList::SetCurrent(int index)
{
    if (!IsLoaded() || index < 0 || index >= kCount)
        return false;
    current_.store(index);
    return true;
}

}  // namespace zorvan
