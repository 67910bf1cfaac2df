#pragma once
// An imported profile made to fit the mouse it goes to: the file may come from another model
// (another sensor, fewer DPI levels, another key layout) or from another computer (macros the
// library does not hold). Also which areas the import writes for the model.
#include "app/device_description.h"
#include "profile/apply_request.h"
#include "profile/profile_record.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace zorvan {

// What fitting changed, one line per change for the user; or why the profile cannot be kept.
struct ImportFit {
    QStringList changes;
    QString refusal;  // not empty: nothing sensible can be kept, the import is refused
};

// Fits `record` (from a file) to `device` in place:
// - every DPI level becomes the nearest value the device's sensor offers (refused when the
//   device shows DPI levels and its sensor offers none); the level count is kept to the
//   device's levels; the sensor field names the device's sensor;
// - each key keeps the matrix position of the same key in `layout` (the profile it replaces),
//   so the keys stay on this model's positions;
// - a macro key whose macro is not known (`macroKnown`: in the file or in the library) is set
//   back to its default from the device's key tables instead of sending no code to the mouse.
// On a refusal `record` may be half fitted and must be dropped.
ImportFit FitImportToModel(ProfileRecord& record, const ProfileRecord& layout, const DeviceDescription& device,
                           const std::function<bool(uint32_t id)>& macroKnown);

// The request that writes an imported profile: every area the device has (keys, lighting, DPI
// levels with their colours, count and current level, polling rate, system pointer settings,
// and LOD, ripple, angle snapping and debounce where the device shows them, sleep time and
// light-off-while-moving where it shows them and the mouse was not found under the option PID,
// which locks them), for all keys, levels and zones.
ApplyRequest ImportRequest(const DeviceDescription& device, bool underPid);

}  // namespace zorvan
