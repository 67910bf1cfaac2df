#include "profile/profile_import_fit.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/sensor_tables.h"
#include "profile/function_codes.h"
#include "profile/profile_edits.h"

#include <algorithm>

namespace zorvan {
namespace {

// The DPI levels as the sensor can take them; the levels in use that changed are reported.
void FitDpiLevels(ProfileRecord& record, const SensorDpiTable& table, QStringList& changes)
{
    for (int i = 0; i < kDpiLevels; ++i) {
        DpiLevelRecord& level = record.dpiLevels[i];
        const int x = level.x;
        const int y = level.y;
        // The caller refuses a sensor without values, so there is always a nearest one.
        level.x = NearestDpi(table, x).value_or(x);
        level.y = NearestDpi(table, y).value_or(y);
        if (i >= record.LevelCount() || (level.x == x && level.y == y))
            continue;
        changes << (x == y ? QStringLiteral("DPI level %1: %2 became %3, the nearest value this mouse offers")
                                 .arg(i + 1).arg(x).arg(level.x)
                           : QStringLiteral("DPI level %1: %2 x %3 became %4 x %5, the nearest values this mouse offers")
                                 .arg(i + 1).arg(x).arg(y).arg(level.x).arg(level.y));
    }
}

void FitLevelCount(ProfileRecord& record, const DeviceDescription& device, QStringList& changes)
{
    const int levels = device.DpiLevelCount > 0 ? std::min(int(device.DpiLevelCount), kDpiLevels) : kDpiLevels;
    const int count = record.dpiLevelCount;
    record.dpiLevelCount = std::clamp(count, 1, levels);
    for (int i = 0; i < kDpiLevels; ++i)
        record.dpiLevels[i].hidden = i < record.dpiLevelCount ? 0 : 1;
    if (record.dpiLevelCount != count)
        changes << QStringLiteral("DPI levels in use: %1 became %2 (this mouse has %3)").arg(count).arg(record.dpiLevelCount).arg(levels);
}

void FitKeys(ProfileRecord& record, const ProfileRecord& layout, const DeviceDescription& device,
             const std::function<bool(uint32_t)>& macroKnown, QStringList& changes)
{
    for (int set = 0; set < kKeySets; ++set) {
        for (int k = 0; k < kKeysPerSet; ++k) {
            KeyAssignment& key = record.Key[set][k];
            const uint32_t matrix = layout.Key[set][k].matrix;
            if (key.Major() == kClassMacro && !macroKnown(key.dwMacroID)) {
                key = device.KeyTables[set][k];
                changes << QStringLiteral("key %1 of key set %2: its macro is neither in the file nor in the macro "
                                          "library, so the key is back to its default")
                               .arg(k + 1).arg(set + 1);
            }
            key.matrix = matrix;
        }
    }
}

}  // namespace

ImportFit FitImportToModel(ProfileRecord& record, const ProfileRecord& layout, const DeviceDescription& device,
                           const std::function<bool(uint32_t)>& macroKnown)
{
    ImportFit fit;
    if (device.ShowDpi) {
        const SensorDpiTable* table = Config().sensors.Find(device.Sensor);
        if (table == nullptr || table->Count <= 0) {
            fit.refusal = QStringLiteral("This profile cannot be imported: the sensor of this mouse (0x%1) offers no "
                                         "DPI values for its DPI levels.")
                              .arg(unsigned(device.Sensor), 0, 16);
            Log("ImportProfile: sensor 0x%x has no DPI values", unsigned(device.Sensor));
            return fit;
        }
        FitLevelCount(record, device, fit.changes);
        FitDpiLevels(record, *table, fit.changes);
    }
    record.sensor = device.Sensor;
    FitKeys(record, layout, device, macroKnown, fit.changes);
    for (const QString& change : fit.changes)
        Log("ImportProfile: %s", change.toUtf8().constData());
    return fit;
}

ApplyRequest ImportRequest(const DeviceDescription& device, bool underPid)
{
    uint32_t flags = apply::kImportFlags;
    const auto leaveOut = [&flags](bool missing, uint32_t areas) {
        if (missing)
            flags &= ~areas;
    };
    leaveOut(device.ShowDpi == 0, apply::kDpiLevelCount);
    leaveOut(device.ShowLOD == 0, apply::kLod);
    leaveOut(device.ShowRipple == 0, apply::kRipple);
    leaveOut(device.ShowFixLine == 0, apply::kAngleSnapping);
    leaveOut(device.ShowDebounce == 0, apply::kDebounce);
    leaveOut(device.ShowSleep == 0 || underPid, apply::kSleepTime | apply::kLightOffMoving);
    return {flags, apply::kAll};
}

}  // namespace zorvan
