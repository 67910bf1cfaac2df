#include "profile/key_codes.h"

#include "app/configuration.h"
#include "app/log.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_library.h"
#include "profile/combo_block.h"
#include "profile/function_codes.h"

#include <QString>

namespace zorvan {
namespace {

constexpr uint32_t kUnknownMacroId = 0xFFEE00;  // + slot: a macro key whose macro is not in the library

int32_t MacroCode(uint32_t macroId)
{
    const auto macro = Macros().FindById(macroId & 0xFFFFFF);
    if (!macro) {
        Log("keyinfo_to_hardware_code can't find macro id 0x%x", macroId);
        return kNoHardwareCode;
    }
    return int32_t((uint32_t(MacroLoopByte(*macro)) << 16) + kHwMacro);
}

int32_t SnipeCode(uint32_t position, int32_t sensor)
{
    const int dpi = DpiAt(sensor, int(position));
    if (dpi == -1)
        return kNoHardwareCode;
    return int32_t(((uint32_t(DpiToCode(sensor, dpi)) & 0xFF) << 8) + kHwFixedDpi);
}

}  // namespace

int32_t keyinfo_to_hardware_code(const KeyAssignment& key, int32_t sensor)
{
    if (const FunctionEntry* f = FindFunction(key.dwFunID); f != nullptr && f->hardwareCode != kNoFixedCode)
        return f->hardwareCode;
    switch (key.Major()) {
    case kClassCombo:
    case kClassApplication:
    case kClassMedia:
        return kHwComboBlock;
    case kClassMacro:
        return MacroCode(key.dwMacroID);
    case kClassSpecial:
        switch (key.dwFunID) {
        case kFunFire:  // count in b2, interval in b1
            return int32_t(((key.dwParameter & 0xFF) << 16) | (((key.dwParameter >> 8) & 0xFF) << 8) | kHwFire);
        case kFunSnipe:
            return SnipeCode(key.dwParameter, sensor);
        case kFunCustom:
            return int32_t(key.dwParameter & 0xFFFFFF);
        default:
            return kNoHardwareCode;
        }
    case kClassExtra:
        return int32_t(key.dwParameter & 0xFFFFFF);
    default:
        return kNoHardwareCode;
    }
}

bool HardwareCodeToKeyInfo(uint32_t code, std::span<const uint8_t> comboBlock, std::u16string_view macroName,
                           int position, int32_t sensor, KeyAssignment& key)
{
    code &= 0xFFFFFF;
    KeyAssignment read{};
    read.matrix = key.matrix;
    bool known = false;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.readsBack && uint32_t(f.hardwareCode) == code) {
            read.dwFunID = f.dwFunID;
            known = true;
            break;
        }
    }
    if (!known && code == kHwComboBlock) {
        known = DecodeComboBlock(comboBlock, read);
    } else if (!known) {
        const uint8_t b1 = uint8_t(code >> 8);
        const uint8_t b2 = uint8_t(code >> 16);
        switch (code & 0xFF) {
        case kHwMacro: {
            read.dwFunID = kFunMacro;
            const auto macro =
                Macros().FindByName(QString::fromUtf16(macroName.data(), qsizetype(macroName.size())));
            read.dwMacroID = macro ? macro->id : kUnknownMacroId + (uint32_t(position - 1) & 0xFF);
            known = true;
            break;
        }
        case kHwFire:
            read.dwFunID = kFunFire;
            read.dwParameter = b2 + 256u * b1;
            known = true;
            break;
        case kHwFixedDpi: {
            read.dwFunID = kFunSnipe;
            const int dpi = Config().sensors.CodeToDpi(sensor, b1, 0);
            read.dwParameter = uint32_t(DpiIndex(sensor, dpi));
            known = true;
            break;
        }
        default:
            break;
        }
    }
    if (known)
        key = read;
    return known;
}

}  // namespace zorvan
