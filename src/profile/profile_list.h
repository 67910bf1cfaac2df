#pragma once
// The four profile records of the current model, in on-board profile order, and the current
// profile: a reference to one of them (never a copy). The profile index on the mouse is the
// record's position here.
#include "profile/profile_record.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace zorvan {

class ProfileList {
public:
    static constexpr int kCount = 4;

    // Takes copies of the four records. The current profile becomes the first record whose id
    // equals `currentId`, or record 0 when none does.
    void Assign(const std::array<ProfileRecord, kCount>& records, uint32_t currentId);

    // Drops the records: no profile is current any more.
    void Clear();

    bool IsLoaded() const { return current_.load() >= 0; }

    // Record `index` (0..3); nullptr when out of range or nothing is loaded.
    ProfileRecord* At(int index);
    const ProfileRecord* At(int index) const;

    // The current profile, or nullptr when nothing is loaded.
    ProfileRecord* Current() { return At(current_.load()); }
    const ProfileRecord* Current() const { return At(current_.load()); }
    // Its position 0..3, or -1.
    int CurrentIndex() const { return current_.load(); }
    // Makes record `index` current; false (nothing changes) when it does not exist.
    bool SetCurrent(int index);

private:
    std::array<ProfileRecord, kCount> records_{};
    std::atomic<int> current_{-1};
};

}  // namespace zorvan
