#pragma once
// The name of a key's function as the key page shows it on the key's button.
#include "app/app_options.h"
#include "app/function_catalogue.h"
#include "app/device_description.h"
#include "app/key_assignment.h"
#include "app/sensor_tables.h"

#include <QString>

namespace zorvan {

// The language text of a catalogue entry: its text, or its alternative while that is empty.
// Empty for a function without a name.
QString FunctionText(const FunctionEntry& f);

// A macro key: "Macro - <name>" (tc_msg25), or tc_msg11 when the library has no such macro. A
// combination: tc_comboname1 or 2 when the modifiers and the first two keys equal the option
// ComboName1 or 2, else the combination text. An extra key: tc_ex1..3. Any other function by
// its code alone (whatever the class): the catalogue's text, "Sniper - <DPI>" for a fixed DPI
// value. Empty for a function without a name, which the key page takes as a sign to restore
// the key's default.
QString FunctionName(const KeyAssignment& key, const DeviceDescription& device, const AppOptions& options,
                     const SensorTables& sensors);

}  // namespace zorvan
