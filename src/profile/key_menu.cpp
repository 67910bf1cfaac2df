#include "profile/key_menu.h"

#include "app/function_catalogue.h"
#include "app/key_assignment.h"
#include "profile/function_name.h"
#include "text/language_texts.h"

#include <algorithm>

namespace zorvan {
namespace {

constexpr int kSnipeDpiStep = 100;
constexpr int kSnipeDpiMax = 1100;

QString EntryText(const FunctionEntry& f)
{
    return FunctionText(f).left(kMenuTextMax);
}

bool DefaultKeysHold(uint32_t dwFunID, const DeviceDescription& device)
{
    const int keys = std::clamp(device.KeyCount, 0, kKeysPerSet);
    return std::any_of(device.KeyTables[0], device.KeyTables[0] + keys,
                       [dwFunID](const KeyAssignment& k) { return k.dwFunID == dwFunID; });
}

// Whether the model and the options show an entry of the catalogue.
bool Shown(const FunctionEntry& f, const DeviceDescription& device, const AppOptions& options)
{
    switch (f.dwFunID) {
    case kFunLightSwitch:
        return device.ShowRGBSw != 0 && (device.ShowMainEffect != 0 || device.ShowLogoEffect != 0);
    case kFunRateSwitch:
        return device.ShowUsbRate != 0;
    case kFunProfileSwitch:
        return options.ShowProSw != 0;
    case kFunLightOnOff:
        return DefaultKeysHold(f.dwFunID, device);
    case kFunDpiUp:
    case kFunDpiDown:
    case kFunDpiCycle:
        return (device.DpiMenuMask & (1 << (f.dwFunID - kFunDpiUp))) != 0;
    case kFunWebStop:
        return !GetText(f.textKey).isEmpty();
    default:
        break;
    }
    if (f.details == FunctionDetails::kExtraKey) {
        // Entries stop at the first extra key the model lacks.
        const uint32_t index = f.Code();
        return std::all_of(device.ExKeys.begin(), device.ExKeys.begin() + index + 1, [](int32_t v) { return v != 0; });
    }
    return true;
}

bool GroupShown(const MenuGroupRow& g, const DeviceDescription& device)
{
    return g.group != MenuGroup::kDpi || device.DpiMenuMask != 0;
}

// The catalogue's shown entries of one group, in menu order.
std::vector<const FunctionEntry*> GroupFunctions(MenuGroup group, const DeviceDescription& device,
                                                 const AppOptions& options)
{
    std::vector<const FunctionEntry*> functions;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.group == group && Shown(f, device, options))
            functions.push_back(&f);
    }
    std::stable_sort(functions.begin(), functions.end(),
                     [](const FunctionEntry* a, const FunctionEntry* b) { return a->menuOrder < b->menuOrder; });
    return functions;
}

void AddGroupEntries(std::vector<KeyMenuEntry>& entries, int parent, MenuGroup group,
                     const DeviceDescription& device, const AppOptions& options, const SensorTables& sensors)
{
    if (group != MenuGroup::kSnipe) {
        for (const FunctionEntry* f : GroupFunctions(group, device, options))
            entries.push_back({parent, f->dwFunID, EntryText(*f), false});
        return;
    }
    for (int dpi = kSnipeDpiStep; dpi <= kSnipeDpiMax; dpi += kSnipeDpiStep) {
        const int position = sensors.DpiIndex(device.Sensor, dpi);
        if (position >= 0 && position <= kSnipePositionMax)
            entries.push_back({parent, SnipePick(position), QString::number(dpi), false});
    }
}

}  // namespace

std::vector<KeyMenuEntry> KeyMenuEntries(const DeviceDescription& device, const AppOptions& options,
                                         const SensorTables& sensors)
{
    struct Row {
        uint8_t order;
        KeyMenuEntry entry;
        MenuGroup group;  // the group a group row opens
    };
    std::vector<Row> rows;
    for (const FunctionEntry* f : GroupFunctions(MenuGroup::kFirst, device, options))
        rows.push_back({f->menuOrder, {kMenuFirstLevel, f->dwFunID, EntryText(*f), false}, MenuGroup::kNone});
    for (const MenuGroupRow& g : MenuGroupRows()) {
        if (GroupShown(g, device)) {
            const QString text = GetText(g.textKey).left(kMenuTextMax);
            rows.push_back({g.menuOrder, {kMenuFirstLevel, g.code, text, true}, g.group});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.order < b.order; });

    std::vector<KeyMenuEntry> entries;
    for (const Row& r : rows)
        entries.push_back(r.entry);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].entry.groupRow)
            AddGroupEntries(entries, int(i), rows[i].group, device, options, sensors);
    }
    // The snipe group comes last, so its highest values go first.
    if (entries.size() > size_t(kMenuEntriesMax))
        entries.resize(size_t(kMenuEntriesMax));
    return entries;
}

}  // namespace zorvan
