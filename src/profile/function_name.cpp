#include "profile/function_name.h"

#include "app/function_catalogue.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "text/key_names.h"
#include "text/language_texts.h"

namespace zorvan {
namespace {

QString MacroKeyName(const KeyAssignment& key)
{
    const auto macro = Macros().FindById(key.dwMacroID & 0xFFFFFF);
    if (!macro)
        return GetText("tc_msg11");
    return QStringLiteral("%1 - %2").arg(GetText("tc_msg25"), MacroName(*macro));
}

QString ComboName(const KeyAssignment& key, const AppOptions& options)
{
    // The modifiers and the first two keys read as one number, modifiers in the low byte.
    const int32_t value = key.stCombo[0] | key.stCombo[1] << 8 | key.stCombo[2] << 16;
    if (options.ComboName1 != 0 && value == options.ComboName1)
        return GetText("tc_comboname1");
    if (options.ComboName2 != 0 && value == options.ComboName2)
        return GetText("tc_comboname2");
    return ComboText(key.stCombo[0], key.stCombo[1], key.stCombo[2], key.stCombo[3]);
}

QString CatalogueText(const FunctionEntry* f)
{
    return f != nullptr ? FunctionText(*f) : QString();
}

}  // namespace

QString FunctionText(const FunctionEntry& f)
{
    if (f.textKey == nullptr)
        return {};
    const QString text = GetText(f.textKey);
    return text.isEmpty() && f.altTextKey != nullptr ? GetText(f.altTextKey) : text;
}

QString FunctionName(const KeyAssignment& key, const DeviceDescription& device, const AppOptions& options,
                     const SensorTables& sensors)
{
    switch (key.Major()) {
    case kClassMacro:
        return MacroKeyName(key);
    case kClassCombo:
        return ComboName(key, options);
    case kClassExtra:
        return CatalogueText(FindFunction(key.dwFunID));
    default:
        break;
    }
    const FunctionEntry* f = FindFunctionByCode(key.dwFunID);
    if (f != nullptr && f->details == FunctionDetails::kSnipe) {
        const int dpi = sensors.DpiAt(device.Sensor, int(key.dwParameter));
        return QStringLiteral("%1 - %2").arg(GetText(f->textKey)).arg(dpi);
    }
    return CatalogueText(f);
}

}  // namespace zorvan
