#pragma once
// The entries of the function menu that the key page opens for a key, built from the function
// catalogue for the current model: what the menu shows, in its order, and the code each entry
// posts when it is picked.
#include "app/app_options.h"
#include "app/device_description.h"
#include "app/sensor_tables.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace zorvan {

constexpr int kMenuFirstLevel = 255;  // parent of a first-level entry
constexpr int kMenuEntriesMax = 50;   // the most entries one menu holds
constexpr int kMenuTextMax = 39;      // characters of an entry's text

struct KeyMenuEntry {
    int parent = kMenuFirstLevel;  // else the list position of the group row it belongs to
    uint32_t code = 0;             // posted when picked (class in the top byte)
    QString text;
    bool groupRow = false;         // a row that opens a second level; picking it does nothing
};

// All first-level entries first (a first-level entry's list position is its row), then the
// entries of each group in the order of the group rows. The options and the model decide the
// optional entries, DpiMenuMask the DPI group's entries, the sensor's table the snipe values
// 100..1100; the application key "stop" is left out while its text is empty. When every
// optional entry is present the list would hold one more than a menu takes: the highest snipe
// values are dropped.
std::vector<KeyMenuEntry> KeyMenuEntries(const DeviceDescription& device, const AppOptions& options,
                                         const SensorTables& sensors);

}  // namespace zorvan
