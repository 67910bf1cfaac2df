#include "profile/orphaned_keys.h"

#include "app/function_catalogue.h"

namespace zorvan {

bool ResetOrphanedKeys(ProfileRecord& record, const DeviceDescription& device, const MacroLibrary& library)
{
    bool reset = false;
    for (int set = 0; set < kKeySets; ++set) {
        for (int key = 0; key < kKeysPerSet; ++key) {
            KeyAssignment& assignment = record.Key[set][key];
            if (assignment.Major() != kClassMacro || library.Contains(assignment.dwMacroID & 0xFFFFFF))
                continue;
            assignment = device.KeyTables[set][key];
            reset = true;
        }
    }
    return reset;
}

}  // namespace zorvan
