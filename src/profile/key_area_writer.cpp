#include "profile/key_area_writer.h"

#include "app/log.h"
#include "device/eeprom_map.h"
#include "device/protocol_pause.h"
#include "device/usb_driver.h"
#include "macro/hd_macro_codec.h"
#include "profile/area_writers.h"
#include "profile/combo_block.h"
#include "profile/function_codes.h"
#include "profile/key_codes.h"
#include "profile/profile_pauses.h"

#include <array>
#include <chrono>
#include <span>

namespace zorvan {
namespace {

constexpr int kPositions = kKeysPerSet;

const StMacro* FindMacro(const std::vector<StMacro>& macros, uint32_t id)
{
    for (const StMacro& m : macros) {
        if (m.id == (id & 0xFFFFFF))
            return &m;
    }
    return nullptr;
}

// The hardware code of a key. Macro keys are coded from the snapshot's copy of their macro,
// so the code and the slot written for it come from the same record.
int32_t KeyCode(const KeyAssignment& key, const std::vector<StMacro>& macros, int32_t sensor)
{
    if (key.Major() != kClassMacro)
        return keyinfo_to_hardware_code(key, sensor);
    const StMacro* macro = FindMacro(macros, key.dwMacroID);
    if (macro == nullptr) {
        Log("keyinfo_to_hardware_code can't find macro id 0x%x", key.dwMacroID);
        return kNoHardwareCode;
    }
    return int32_t((uint32_t(MacroLoopByte(*macro)) << 16) + kHwMacro);
}

uint8_t TypeOf(int32_t code)
{
    return code == kNoHardwareCode ? 0xFF : uint8_t(code & 0xFF);
}

}  // namespace

bool WriteKeyArea(CUSBDriver& link, const WriteSnapshot& snapshot, uint32_t data, int32_t sensor,
                  bool (*failed)(bool result))
{
    Log("Set Key --------");
    const ProfileRecord& profile = snapshot.profile;
    // Index = matrix position 1..16; positions no key of the set uses keep code 0.
    std::array<int32_t, kPositions + 1> codes{};
    const bool all = data == apply::kAll;
    const int first = all ? 0 : int(data);
    const int last = all ? kKeysPerSet - 1 : int(data);
    int singlePosition = 0;
    for (int k = first; k <= last; ++k) {
        const KeyAssignment* key = profile.CurrentKey(k);
        if (key == nullptr || key->matrix == 0 || key->matrix > uint32_t(kPositions))
            continue;
        const int p = int(key->matrix);
        singlePosition = p;
        int32_t code = KeyCode(*key, snapshot.macros, sensor);
        codes[size_t(p)] = code;
        const uint8_t type = TypeOf(code);
        if (type == kHwMacro) {
            const StMacro* macro = FindMacro(snapshot.macros, key->dwMacroID);
            if (macro == nullptr)
                continue;
            HdMacro slot{};
            const int length = BuildHdMacro(*macro, slot);
            const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
            Log("macro data(key=%d, MatrixInx=%d):", k, p - 1);
            LogHex(bytes, size_t(length), 32, nullptr);
            code |= (p - 1) << 8;
            codes[size_t(p)] = code;
            if (failed(link.WriteEEPROM(kAreaPiece, length, eeprom::MacroBlockAddress(p), bytes)))
                return false;
            ProtocolPause(Pauses().betweenAreas);
        } else if (type == kHwComboBlock) {
            ComboBlock block{};
            const size_t length = EncodeComboBlock(*key, block);
            if (length > 0) {
                Log("key data(key=%d, MatrixInx=%d):", k, p - 1);
                LogHex(block.data(), length, 32, nullptr);
                if (failed(link.WriteEEPROM(kAreaPiece, int(length), eeprom::ComboBlockAddress(p), block.data())))
                    return false;
                ProtocolPause(Pauses().betweenAreas);
            }
        }
    }
    Log("Matrix--------------------");
    for (int p = 1; p <= kPositions; ++p)
        Log("Matrix[%d] = 0x%08x", p - 1, unsigned(codes[size_t(p)]));
    if (all)
        return !failed(SetKeyMatrix(link, kWholeTable, std::span(codes).subspan(1), kPositions));
    if (singlePosition == 0)
        return true;
    return !failed(SetKeyMatrix(link, 1u << (singlePosition - 1), std::span(codes).subspan(size_t(singlePosition), 1), 1));
}

}  // namespace zorvan
