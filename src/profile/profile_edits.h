#pragma once
// The rules by which the pages change a profile, shared by the GUI pages and zorvanctl so both
// apply exactly the same ones. Each edit changes the record in place (or refuses and leaves it
// as it was) and names the apply request that the page posts afterwards when ApplyNow is set.
//
// Edits do not run the settings-change check and do not talk to the mouse; the caller does
// that first (DeviceSession::SettingsChangeAllowed, and the lighting-lock query for lighting).
// Edits that need a control the current model does not show are refused with a plain text,
// since the GUI never offers them.
#include "app/app_options.h"
#include "app/device_description.h"
#include "app/function_catalogue.h"
#include "app/sensor_tables.h"
#include "profile/apply_request.h"
#include "profile/profile_record.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace zorvan {

struct Edit {
    enum class Outcome {
        kChanged,  // the profile changed; post `request` when ApplyNow is set
        kRefused,  // nothing changed; show `message` (it may be empty)
    };
    Outcome outcome = Outcome::kRefused;
    QString message;
    ApplyRequest request{};

    static Edit Changed(uint32_t flags, uint32_t data) { return {Outcome::kChanged, {}, ApplyRequest{flags, data}}; }
    static Edit Refused(QString text) { return {Outcome::kRefused, std::move(text), {}}; }
    bool IsChanged() const { return outcome == Outcome::kChanged; }
};

// ---- Keys ------------------------------------------------------------------------------------

// What the dialogs of a pick gave: the macro picker's choice, the combination capture's four
// bytes, the fire key dialog's count and interval.
struct PickDetails {
    uint32_t macroId = 0;
    std::array<uint8_t, 4> combo{};
    int fireCount = 3;
    int fireInterval = 10;
};

// The fire parameter count + 256 x interval as the fire key dialog accepts it: the count 0..3
// (nothing otherwise: the dialog stays open), the interval raised to 10 and capped at 255.
std::optional<uint32_t> FireParameter(int count, int interval);

// A function picked in the function menu for key `key` (code: class in the top byte, as the
// menu posts it) becomes a key assignment, which is then assigned with AssignKey. Refused:
// "Wrong Ex Key Index" for an extra key the model does not have, and silently an empty
// combination or a fire count the dialog does not take.
Edit PickFunction(ProfileRecord& profile, int key, uint32_t code, const PickDetails& details,
                  const DeviceDescription& device, const KeyTable& defaults);

// Key `key` (0-based) can be edited on the key page: it is shown (below the model's key count)
// and not disabled by the option KeyMask.
bool KeyEditable(int key, const DeviceDescription& device, const AppOptions& options);

// The function menu offers `code` (as it posts it) for the model: an entry of KeyMenuEntries
// that is not a group row.
bool FunctionOffered(uint32_t code, const DeviceDescription& device, const AppOptions& options,
                     const SensorTables& sensors);

// Assigns `record` to key `key` of the current key set: the left-click guard (tc_msg1), the
// matrix position of the model's default key, and the key-set switch rule. Request (0x0001, key).
Edit AssignKey(ProfileRecord& profile, int key, KeyAssignment record, const KeyTable& defaults);

// Keys of the key set in use, below the model's key count, whose function has no name (a code
// the program does not know, an empty combination) go back to the model's default for that key
// and set. The key page makes this correction by itself when it shows the keys, so nothing is
// posted: the request is empty. Refused (nothing to do) when every key has a name.
Edit RepairUnnamedKeys(ProfileRecord& profile, const DeviceDescription& device, const AppOptions& options,
                       const SensorTables& sensors, const KeyTable& defaults);

// ---- DPI and performance --------------------------------------------------------------------

// The table value nearest to `value`: an exact match, else the smallest distance, the lower
// position on a tie. Nothing for an empty table.
std::optional<int> NearestDpi(const SensorDpiTable& table, int value);

// DPI value(s) of level `level` (0-based, below the level count): X, and Y when X and Y are
// edited separately (otherwise Y follows X; a Y is refused). Values must be in the sensor's
// table. Request (0x0004, level).
Edit SetDpiValue(ProfileRecord& profile, int level, int x, std::optional<int> y, const DeviceDescription& device,
                 const SensorTables& sensors);
// Level count 1..DM. Request (0x0080, 0); with `syncChangeDpiLevel` the current level also
// becomes 0 and the request is (0x0090, 0).
Edit SetLevelCount(ProfileRecord& profile, int count, const DeviceDescription& device, bool syncChangeDpiLevel,
                   int& currentDpiLevel);
// Separate X/Y on or off; every level's Y becomes its X. Request (0x0004, 0xFF).
Edit SetXYSeparate(ProfileRecord& profile, bool on, const DeviceDescription& device);
// Colour of level `level`. Request (0x0040, level).
Edit SetDpiColour(ProfileRecord& profile, int level, int32_t colour, const DeviceDescription& device);
// The current level by a click on its label (models with SetDPIByClick). Request (0x0010, 0).
Edit SetCurrentLevel(const ProfileRecord& profile, int level, const DeviceDescription& device, int& currentDpiLevel);
// 125, 250, 500 or 1000 reports per second. Request (0x0020, 0).
Edit SetPollingRate(ProfileRecord& profile, int hz, const DeviceDescription& device);
// Lift-off distance 1 or 2 mm. Request (0x0200, 0).
Edit SetLod(ProfileRecord& profile, int mm, const DeviceDescription& device);
// Request (0x0800, 0).
Edit SetRipple(ProfileRecord& profile, bool on, const DeviceDescription& device);
// Request (0x0400, 0).
Edit SetAngleSnapping(ProfileRecord& profile, bool on, const DeviceDescription& device);
// Debounce in milliseconds within DebounceRange. Request (0x1000, 0).
Edit SetDebounce(ProfileRecord& profile, int ms, const DeviceDescription& device, const AppOptions& options);

// ---- Lighting -------------------------------------------------------------------------------

// A change of a lighting zone; unset members stay as they are.
struct LightChange {
    std::optional<int> mode;
    std::optional<int> speed;
    std::optional<int> brightness;
    std::optional<int32_t> colour;
    std::optional<int> parameter;  // DPI lighting only
};

// Main zone: a new effect takes its speed and brightness from the effect's options (LevelA,
// LevelB; the colour stays); speed, brightness and colour can be set only while the effect
// shows their control. Request (0x0002, 2).
Edit SetMainLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device,
                  const AppOptions& options);
// Logo zone: modes 0..3; the sliders keep their values across a mode change. Request
// (0x0002, 1), or (0x0002, 2) for a colour alone when the model also shows the main zone.
Edit SetLogoLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device);
// DPI lighting effect: modes 0..2, speed 1..10 in mode 1, parameter 1..5 in mode 2. Request
// (0x0002, 4).
Edit SetDpiLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device);
// Sleep time, one of the model's sleep values. `underPid`: the mouse was found under PID, which
// greys the power controls out. Request (0x4000, 0).
Edit SetSleepTime(ProfileRecord& profile, int seconds, const DeviceDescription& device, bool underPid);
// Request (0x10000, 0).
Edit SetLightOffMoving(ProfileRecord& profile, bool on, const DeviceDescription& device, bool underPid);

}  // namespace zorvan
