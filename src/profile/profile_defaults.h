#pragma once
// Making a new profile and resetting one to its defaults, from a device description and the
// application options.
#include "app/app_options.h"
#include "app/device_description.h"
#include "profile/profile_record.h"

#include <string_view>

namespace zorvan {

// A zeroed record with magic, a new time-stamp id, the defaults of `device` and `options`,
// the key tables `keys` and `name` (at most 19 units).
ProfileRecord MakeNewProfile(std::u16string_view name, const DeviceDescription& device, const AppOptions& options,
                             const KeyTable& keys);

// The same over the process-wide configuration: the current device, the options and the
// default key table.
ProfileRecord MakeNewProfile(std::u16string_view name);

// Refills `profile` with the defaults of the current device in place; the name becomes the
// text tc_msg14. Magic, id and the last reserved area are kept.
void ResetProfileToDefaults(ProfileRecord& profile);

}  // namespace zorvan
