#include "profile/profile_read.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "device/eeprom_map.h"
#include "device/protocol_pause.h"
#include "device/usb_driver.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/key_codes.h"
#include "profile/profile_pauses.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdio>
#include <span>

namespace zorvan {
namespace {

constexpr int kPiece = 10;
constexpr uint16_t kMacroNameAddress = eeprom::kMacroBlocks + 1;
constexpr uint16_t kMacroStreamAddress = eeprom::kMacroBlocks + kHdMacroStreamOffset;

using Buffer = std::array<uint8_t, 512>;

// One read of the profile read: a failure ends it unless GoWithNoDev is set; an abort ends it.
// The bytes come from the mouse (and are kept when `kept` is given) or from the bytes an earlier
// read kept, which take no pauses.
class ReadSteps {
public:
    ReadSteps(CUSBDriver& link, const std::atomic<bool>& abort, ProfileBytes* kept)
        : link_(&link), abort_(abort), kept_(kept)
    {
    }
    ReadSteps(const ProfileBytes& bytes, const std::atomic<bool>& abort) : abort_(abort), from_(&bytes) {}

    bool Read(uint16_t address, uint8_t* out, int n)
    {
        if (from_ != nullptr)
            return Check(from_->Take(address, out, n));
        const bool ok = link_->ReadEEPROM(address, out, n);
        if (ok && kept_ != nullptr)
            kept_->Keep(address, out, n);
        return Check(ok);
    }
    bool ReadRom(int length, uint16_t address, uint8_t* out, const CUSBDriver::StopTest& stop)
    {
        if (from_ != nullptr)
            return Check(from_->TakeInPieces(length, address, out, stop));
        if (kept_ == nullptr)
            return Check(link_->ReadROM(length, address, out, stop));
        return Check(link_->ReadROM(length, address, out, [&](const uint8_t* piece, int n) {
            kept_->Keep(uint16_t(address + (piece - out)), piece, n);
            return stop && stop(piece, n);
        }));
    }
    void Pause(std::chrono::milliseconds pause) const
    {
        if (from_ == nullptr)
            ProtocolPause(pause);
    }
    bool Aborted() const
    {
        if (!abort_.load())
            return false;
        Log("GetProfile: aborted");
        return true;
    }

private:
    bool Check(bool ok)
    {
        if (!ok && Options().GoWithNoDev == 0)
            return false;
        return !Aborted();
    }

    CUSBDriver* link_ = nullptr;
    const std::atomic<bool>& abort_;
    ProfileBytes* kept_ = nullptr;
    const ProfileBytes* from_ = nullptr;
};

void Dump(const Buffer& base, int from, int to, const char* label)
{
    LogHex(base.data() + from, size_t(to - from + 1), 16, label);
}

bool ReadBaseArea(ReadSteps& steps, Buffer& base)
{
    for (int at = 0; at < eeprom::kBaseAreaEnd; at += kPiece) {
        if (!steps.Read(uint16_t(at), base.data() + at, kPiece))
            return false;
        steps.Pause(Pauses().readPiece);
    }
    Dump(base, 0x00, 0x0B, "GetProfile (0x00~0x0B):");
    if (base[eeprom::kDpiLevelCount] < 1 || base[eeprom::kDpiLevelCount] > kDpiLevels ||
        base[eeprom::kCurrentDpiLevel] > kDpiLevels)
        Log("!!!!Error: wrong dpi data");
    Dump(base, 0x0C, 0x2B, "GetProfile (0x0C~0x2B) (DPI)(x y mul crc):");
    Dump(base, 0x2C, 0x4B, "GetProfile (0x2C~0x4B) (DPI Color):");
    Dump(base, 0x4C, 0x53, "GetProfile (0x4C~0x53) (DPI Effect):");
    Dump(base, 0x60, 0x9F, "GetProfile (0x60~0x9F) (KeyMatrix):");
    Dump(base, 0xA0, 0xA7, "GetProfile (0xA0~0xA7):");
    Dump(base, 0xA9, 0xB4, "GetProfile (0xA9~0xB4):");
    steps.Pause(Pauses().afterBaseArea);
    return true;
}

// The first 20 bytes of each block: all that a combination of three elements needs.
bool ReadComboBlocks(ReadSteps& steps, Buffer& combo)
{
    for (int k = 0; k < kKeysPerSet; ++k) {
        const int at = eeprom::kComboBlockSize * k;
        if (!steps.Read(uint16_t(eeprom::kComboBlocks + at), combo.data() + at, kPiece) ||
            !steps.Read(uint16_t(eeprom::kComboBlocks + at + kPiece), combo.data() + at + kPiece, kPiece))
            return false;
    }
    char label[64];
    std::snprintf(label, sizeof label, "GetComboKeyData (0x100~0x%x):", unsigned(eeprom::kMacroBlocks));
    LogHex(combo.data(), combo.size(), 16, label);
    return true;
}

bool ReadMacroNames(ReadSteps& steps, MacroNameTable& names)
{
    names = {};
    // An unused slot holds zeros or erased bytes: its first piece is enough.
    const auto emptyName = [](const uint8_t* piece, int) {
        return (piece[0] == 0 && piece[1] == 0) || (piece[0] == 0xFF && piece[1] == 0xFF);
    };
    for (int k = 0; k < kDeviceMacroSlots; ++k) {
        steps.Pause(Pauses().readPiece);
        const uint16_t address = uint16_t(kMacroNameAddress + eeprom::kMacroBlockSize * k);
        if (!steps.ReadRom(kHdMacroNameBytes, address, names[size_t(k)].data(), emptyName))
            return false;
    }
    LogHex(names.data(), sizeof names, kMacroNameEntryBytes, "GetMacroName:");
    return true;
}

// Single settings the current device shows, and those every device has.
void DecodeSingles(const Buffer& base, const DeviceDescription& device, ProfileRecord& working)
{
    if (device.ShowLOD) {
        working.lod = base[eeprom::kLod];
        Log("LOD=%d", working.lod);
    }
    if (device.ShowRipple) {
        working.ripple = base[eeprom::kRipple];
        Log("Ripple=%d", working.ripple);
    }
    if (device.ShowFixLine) {
        working.angleSnapping = base[eeprom::kAngleSnapping];
        Log("FixLine=%d", working.angleSnapping);
    }
    if (device.ShowDebounce) {
        working.debounce = base[eeprom::kDebounce];
        Log("Debounce=%d", working.debounce);
    }
    working.sleepTime = 10 * base[eeprom::kSleepTime];
    Log("Sleep Time=%d", working.sleepTime);
    working.lightOffMoving = base[eeprom::kLightOffMoving];
    Log("Turn OFF Light On Moving=%d", working.lightOffMoving);
}

void DecodeDpiLevels(const Buffer& base, const DeviceDescription& device, ProfileRecord& working)
{
    for (DpiLevelRecord& level : working.dpiLevels)
        level.hidden = 1;
    const int count = base[eeprom::kDpiLevelCount];
    bool wrong = false;
    for (int i = 0; i < count && i < kDpiLevels; ++i) {
        const int address = eeprom::kDpiLevels + 4 * i;
        const std::span<const uint8_t, 4> entry(base.data() + address, 4);
        const DpiRegisters r = UnpackDpiEntry(entry);
        Log("nHwDpi=0x%x, nHwDpiY=0x%x, bMul=%x", r.xCode, r.yCode, r.xFlag);
        DpiLevelRecord& level = working.dpiLevels[i];
        level.colour = DecodeColour(std::span<const uint8_t, 3>(base.data() + eeprom::kDpiColours + 4 * i, 3));
        level.hidden = 0;
        level.x = Config().sensors.CodeToDpi(device.Sensor, r.xCode, r.xFlag);
        Log("dwDpi[%d]=%d", i, level.x);
        if (level.x == 0) {
            Log("wrong dpi(%x): Data[%d]=0x%x, Data[%d]=0x%x", unsigned(device.Sensor), address, entry[0], address + 2,
                entry[2]);
            wrong = true;
        }
        level.y = Config().sensors.CodeToDpi(device.Sensor, r.yCode, r.yFlag);
    }
    working.dpiLevelCount = count;
    if (wrong)
        ShowMessage(QStringLiteral("Warning"), QStringLiteral("Get wrong dpi from device"));
}

// The macro of a macro key: its stream from the slot, its name and its repeat settings.
bool ReadKeyMacro(ReadSteps& steps, int position, uint32_t code, const MacroNameEntry& nameEntry, StMacro& macro)
{
    std::array<uint8_t, kHdMacroStreamBytes> stream{};
    steps.Pause(Pauses().beforeMacroSlot);
    const auto streamEnds = [](const uint8_t* piece, int n) {
        return n >= 3 && piece[0] == 0 && piece[1] == 0 && piece[2] == 0;
    };
    const uint16_t address = uint16_t(kMacroStreamAddress + eeprom::kMacroBlockSize * (position - 1));
    if (!steps.ReadRom(kHdMacroStreamBytes, address, stream.data(), streamEnds))
        return false;
    HdMacro_To_StMacro(macro, stream);
    SetMacroName(macro, QString::fromStdU16String(MacroNameText(nameEntry)));
    macro.repeatCount = 1;
    const uint8_t loop = uint8_t(code >> 16);
    if (loop == 0xFE) {
        macro.loopMode = kLoopMode2;
    } else if (loop == 0xFF) {
        macro.loopMode = kLoopMode1;
    } else {
        macro.loopMode = kLoopCount;
        macro.repeatCount = loop;
    }
    return true;
}

// The matrix position of key j of key set 0, or 0 when the read leaves the key alone (no
// position, or disabled by the option KeyMask).
int KeyPosition(const DeviceDescription& device, int j)
{
    const uint32_t position = device.KeyTables[0][j].matrix;
    if ((uint32_t(Options().KeyMask) >> j) & 1u || position == 0 || position > uint32_t(kKeysPerSet))
        return 0;
    return int(position);
}

bool DecodeKeys(ReadSteps& steps, const Buffer& base, const Buffer& combo, const DeviceDescription& device,
                ProfileRecord& working, ProfileReadExtras& extras, uint16_t keys = 0xFFFF)
{
    for (int j = 0; j < kKeysPerSet; ++j) {
        const int p = KeyPosition(device, j);
        if (((keys >> j) & 1u) == 0 || p == 0)
            continue;
        const uint8_t* entry = base.data() + eeprom::kKeyMatrix + 4 * (p - 1);
        Log("nCode = 0x%x, MatrixInx=%d", unsigned(entry[0] | entry[1] << 8 | entry[2] << 16 | entry[3] << 24), p - 1);
        const uint32_t code = DecodeMatrixEntry(std::span<const uint8_t, 4>(entry, 4));
        const MacroNameEntry& nameEntry = extras.macroNames[size_t(p - 1)];
        KeyAssignment& key = working.Key[0][j];
        if ((code & 0xFF) == kHwMacro) {
            ProfileReadExtras::DeviceMacro read;
            read.key = j;
            read.keyMacroId = key.Major() == kClassMacro ? key.dwMacroID & 0xFFFFFF : 0;
            if (!ReadKeyMacro(steps, p, code, nameEntry, read.macro))
                return false;
            extras.macros.push_back(read);
        }
        const std::span<const uint8_t> block(combo.data() + eeprom::kComboBlockSize * (p - 1), eeprom::kComboBlockSize);
        HardwareCodeToKeyInfo(code, block, MacroNameText(nameEntry), p, device.Sensor, key);
        Log("keyinfo: major=0x%x, minor=%d", key.Major(), int(key.Minor()));
    }
    return true;
}

// The settings of the base area decoded: polling rate (false for a byte that names none),
// current level, single settings and DPI levels.
bool DecodeSettings(const Buffer& base, const DeviceDescription& device, ProfileRecord& working,
                    ProfileReadExtras& extras)
{
    const std::optional<int32_t> rate = PollingRateOfByte(base[eeprom::kPollingRate]);
    if (!rate) {
        Log("GetProfile: wrong polling rate 0x%x", base[eeprom::kPollingRate]);
        return false;
    }
    working.pollingRate = *rate;
    Log("set g_nCurDpiLevel=%d", g_nCurDpiLevel.load());
    extras.currentDpiLevel = base[eeprom::kCurrentDpiLevel];
    DecodeSingles(base, device, working);
    DecodeDpiLevels(base, device, working);
    return true;
}

// DPI effect, main and logo lighting; false when the read was aborted.
bool DecodeLighting(ReadSteps& steps, const Buffer& base, const DeviceDescription& device, ProfileRecord& working)
{
    const DpiEffect effect = DecodeDpiEffect(std::span<const uint8_t, 6>(base.data() + eeprom::kDpiEffect, 6));
    working.dpiEffectMode = effect.mode;
    working.dpiEffectParameter = effect.parameter;
    working.dpiEffectSpeed = effect.speed;
    if (steps.Aborted())
        return false;
    if (device.ShowMainEffect)
        EEPROM_To_MainRGB(std::span<const uint8_t, 8>(base.data() + eeprom::kMainLight, 8), working.mainLight);
    if (steps.Aborted())
        return false;
    if (device.ShowLogoEffect)
        EEPROM_To_LogoRGB(std::span<const uint8_t, 10>(base.data() + eeprom::kLogoLight, 10), working.logoLight);
    return true;
}

// `length` bytes from `address` into the same place of `buffer`, in pieces.
bool ReadRange(ReadSteps& steps, Buffer& buffer, int address, int length, int bufferOffset = -1)
{
    const int at = bufferOffset < 0 ? address : bufferOffset;
    return steps.ReadRom(length, uint16_t(address), buffer.data() + at, {});
}

DeviceDescription CurrentDeviceOrNone()
{
    const DeviceDescription* current = CurrentDevice();
    return current != nullptr ? *current : DeviceDescription{};
}

}  // namespace

std::u16string MacroNameText(const MacroNameEntry& entry)
{
    std::u16string name;
    for (int u = 0; u < kHdMacroNameChars; ++u) {
        const char16_t unit = char16_t(entry[size_t(2 * u)] | entry[size_t(2 * u + 1)] << 8);
        // Erased EEPROM (FF FF) holds no name.
        if (unit == 0 || (u == 0 && unit == 0xFFFF))
            break;
        name.push_back(unit);
    }
    return name;
}

namespace {

bool ReadWholeProfile(ReadSteps& steps, ProfileRecord& working, ProfileReadExtras& extras)
{
    const DeviceDescription device = CurrentDeviceOrNone();
    Buffer base{};
    Buffer combo{};
    extras.macros.clear();
    if (!ReadBaseArea(steps, base) || !ReadComboBlocks(steps, combo) || !ReadMacroNames(steps, extras.macroNames))
        return false;
    return DecodeSettings(base, device, working, extras) && DecodeKeys(steps, base, combo, device, working, extras) &&
           DecodeLighting(steps, base, device, working);
}

}  // namespace

bool GetProfile(CUSBDriver& link, const std::atomic<bool>& abort, ProfileRecord& working,
                ProfileReadExtras& extras, ProfileBytes* kept)
{
    ReadSteps steps(link, abort, kept);
    return ReadWholeProfile(steps, working, extras);
}

bool GetProfileFrom(const ProfileBytes& bytes, ProfileRecord& working, ProfileReadExtras& extras)
{
    Log("GetProfile: profile %d from the bytes read before", bytes.Profile());
    const std::atomic<bool> never{false};
    ReadSteps steps(bytes, never);
    return ReadWholeProfile(steps, working, extras);
}

bool GetProfilePart(CUSBDriver& link, const std::atomic<bool>& abort, const ReadScope& scope, ProfileRecord& working,
                    ProfileReadExtras& extras, ProfileBytes* kept)
{
    if (scope.whole)
        return GetProfile(link, abort, working, extras, kept);
    const DeviceDescription device = CurrentDeviceOrNone();
    ReadSteps steps(link, abort, nullptr);
    Buffer base{};
    Buffer combo{};
    extras.macros.clear();
    extras.macroNames = {};
    if (scope.settings) {
        // 00..53 (rate to DPI lighting), the logo lighting 54..5D when the model shows it, the
        // main lighting A0..A7 when it shows that, and the single settings A9..B3 (the check
        // byte of the last pair is never looked at); the key matrix between them is left out.
        const int lowEnd = device.ShowLogoEffect ? eeprom::kLogoLight + 10 : eeprom::kLogoLight;
        const int highStart = device.ShowMainEffect ? eeprom::kMainLight : eeprom::kDebounce;
        if (!ReadRange(steps, base, 0, lowEnd) ||
            !ReadRange(steps, base, highStart, eeprom::kLightOffMoving + 1 - highStart) ||
            !DecodeSettings(base, device, working, extras) || !DecodeLighting(steps, base, device, working))
            return false;
    }
    if (scope.keys == 0)
        return true;
    if (!ReadRange(steps, base, eeprom::kKeyMatrix, 4 * kKeysPerSet))
        return false;
    const auto emptyName = [](const uint8_t* piece, int) {
        return (piece[0] == 0 && piece[1] == 0) || (piece[0] == 0xFF && piece[1] == 0xFF);
    };
    for (int j = 0; j < kKeysPerSet; ++j) {
        const int p = KeyPosition(device, j);
        if (((scope.keys >> j) & 1u) == 0 || p == 0)
            continue;
        const int block = eeprom::kComboBlockSize * (p - 1);
        if (!ReadRange(steps, combo, eeprom::ComboBlockAddress(p), 2 * kPiece, block) ||
            !steps.ReadRom(kHdMacroNameBytes, uint16_t(kMacroNameAddress + eeprom::kMacroBlockSize * (p - 1)),
                           extras.macroNames[size_t(p - 1)].data(), emptyName))
            return false;
    }
    return DecodeKeys(steps, base, combo, device, working, extras, scope.keys);
}

namespace {

// The commit of a whole or partial read (see CommitProfileRead, CommitPartialRead).
bool Commit(int index, const ReadScope& scope, ProfileRecord& working, const ProfileReadExtras& extras, MacroTree* tree)
{
    ProfileState& state = Profiles();
    {
        std::lock_guard lock(state.profileLock);
        if (state.profiles.At(index) == nullptr)
            return false;
    }
    // Each key takes the id of the library macro that holds what its slot holds (also for a
    // macro without a name, which no name lookup can find).
    for (const ProfileReadExtras::DeviceMacro& read : extras.macros) {
        const std::optional<uint32_t> id = MergeDeviceMacro(read.macro, read.keyMacroId, tree);
        KeyAssignment* key = working.KeyAt(0, read.key);
        if (id && key != nullptr && key->Major() == kClassMacro)
            key->dwMacroID = *id;
    }
    const DeviceDescription device = CurrentDeviceOrNone();
    {
        std::lock_guard lock(state.profileLock);
        ProfileRecord* target = state.profiles.At(index);
        if (target == nullptr)
            return false;
        // What the mouse reported while it was read is newer than what the read brought back.
        ProfileState::ReportsDuringRead& reports = state.reportsDuringRead;
        for (const auto& edit : reports.edits)
            edit(working);
        if (scope.whole)
            state.storeRecord.reset();
        else if (!state.storeRecord || state.storeRecord->first != index)
            state.storeRecord.emplace(index, *target);
        *target = working;
        state.profiles.SetCurrent(index);
        if (scope.whole) {
            state.macroNames = extras.macroNames;
        } else {
            for (int j = 0; j < kKeysPerSet; ++j)
                if (const int p = KeyPosition(device, j); p != 0 && ((scope.keys >> j) & 1u) != 0)
                    state.macroNames[size_t(p - 1)] = extras.macroNames[size_t(p - 1)];
        }
        // A level the mouse cannot have is "unknown" rather than an index beyond the levels.
        if (reports.dpiLevel)
            g_nCurDpiLevel.store(*reports.dpiLevel);
        else if (scope.whole || scope.settings)
            g_nCurDpiLevel.store(DpiLevelFromMouse(extras.currentDpiLevel));
        reports = {};
    }
    return true;
}

}  // namespace

bool CommitProfileRead(int index, ProfileRecord& working, const ProfileReadExtras& extras, MacroTree* tree)
{
    return Commit(index, ReadScope::Whole(), working, extras, tree);
}

bool CommitPartialRead(int index, const ReadScope& scope, ProfileRecord& working, const ProfileReadExtras& extras)
{
    return Commit(index, scope, working, extras, nullptr);
}

}  // namespace zorvan
