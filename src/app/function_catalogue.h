#pragma once
// The function catalogue: every function a mouse key can be given, in one table. A key
// assignment names its function by `dwFunID` (class in the top byte, code below); the catalogue
// says for each one its name (a language text key), its word in zorvanctl, where the function
// menu shows it, which details an assignment of it needs, its fixed hardware key code and, for
// media and application keys, its HID consumer usage. The configuration reader, the key codecs,
// the editing rules, the function menu, the names on the key buttons and zorvanctl all read it.
#include <cstdint>
#include <span>
#include <string_view>

namespace zorvan {

// ---- Function classes (top byte of dwFunID) -------------------------------------------------

constexpr uint32_t kClassMouse = 1;
constexpr uint32_t kClassCombo = 2;
constexpr uint32_t kClassApplication = 3;
constexpr uint32_t kClassMedia = 4;
constexpr uint32_t kClassMacro = 5;
constexpr uint32_t kClassSpecial = 8;
constexpr uint32_t kClassExtra = 0x0B;

constexpr uint32_t FunId(uint32_t functionClass, uint32_t code)
{
    return (functionClass << 24) | (code & 0xFFFFFF);
}
constexpr uint32_t FunClass(uint32_t dwFunID)
{
    return dwFunID >> 24;
}
constexpr uint32_t FunCode(uint32_t dwFunID)
{
    return dwFunID & 0xFFFFFF;
}

// ---- Functions --------------------------------------------------------------------------------

// Mouse buttons.
constexpr uint32_t kFunLeftClick = FunId(kClassMouse, 0x11);
constexpr uint32_t kFunMiddleButton = FunId(kClassMouse, 0x12);
constexpr uint32_t kFunRightClick = FunId(kClassMouse, 0x13);
constexpr uint32_t kFunForward = FunId(kClassMouse, 0x14);
constexpr uint32_t kFunBack = FunId(kClassMouse, 0x15);
constexpr uint32_t kFunDoubleClick = FunId(kClassMouse, 0x16);
constexpr uint32_t kFunTripleClick = FunId(kClassMouse, 0x17);
constexpr uint32_t kFunRightDoubleClick = FunId(kClassMouse, 0x18);

// Keyboard combinations: the menu's entry, a capture without modifiers, and what reading a
// combination block from the mouse gives. All three mean a combination key.
constexpr uint32_t kFunCombo = FunId(kClassCombo, 0xA1);
constexpr uint32_t kFunComboKeysOnly = FunId(kClassCombo, 0xA0);
constexpr uint32_t kFunComboRead = FunId(kClassCombo, 0);

// Media keys.
constexpr uint32_t kFunMediaSelect = FunId(kClassMedia, 0x21);
constexpr uint32_t kFunPlayPause = FunId(kClassMedia, 0x22);
constexpr uint32_t kFunMediaStop = FunId(kClassMedia, 0x23);
constexpr uint32_t kFunPreviousTrack = FunId(kClassMedia, 0x24);
constexpr uint32_t kFunNextTrack = FunId(kClassMedia, 0x25);
constexpr uint32_t kFunVolumeUp = FunId(kClassMedia, 0x26);
constexpr uint32_t kFunVolumeDown = FunId(kClassMedia, 0x27);
constexpr uint32_t kFunMute = FunId(kClassMedia, 0x28);

// Application keys.
constexpr uint32_t kFunMail = FunId(kClassApplication, 0x30);
constexpr uint32_t kFunCalculator = FunId(kClassApplication, 0x31);
constexpr uint32_t kFunFileBrowser = FunId(kClassApplication, 0x32);
constexpr uint32_t kFunWebSearch = FunId(kClassApplication, 0x33);
constexpr uint32_t kFunWebHome = FunId(kClassApplication, 0x34);
constexpr uint32_t kFunWebBack = FunId(kClassApplication, 0x35);
constexpr uint32_t kFunWebForward = FunId(kClassApplication, 0x36);
constexpr uint32_t kFunWebStop = FunId(kClassApplication, 0x37);
constexpr uint32_t kFunWebRefresh = FunId(kClassApplication, 0x38);
constexpr uint32_t kFunWebBookmarks = FunId(kClassApplication, 0x39);

// A macro of the macro library (dwMacroID names it).
constexpr uint32_t kFunMacro = FunId(kClassMacro, 0);

// Special functions.
constexpr uint32_t kFunKeyOff = FunId(kClassSpecial, 0xA2);
constexpr uint32_t kFunShift = FunId(kClassSpecial, 0xA3);
constexpr uint32_t kFunFire = FunId(kClassSpecial, 0xA4);
constexpr uint32_t kFunSnipe = FunId(kClassSpecial, 0xA6);  // fixed DPI value
constexpr uint32_t kFunLightSwitch = FunId(kClassSpecial, 0xA7);
constexpr uint32_t kFunDpiUp = FunId(kClassSpecial, 0xA8);
constexpr uint32_t kFunDpiDown = FunId(kClassSpecial, 0xA9);
constexpr uint32_t kFunDpiCycle = FunId(kClassSpecial, 0xAA);
// Held equal in all three key sets: a key with it keeps it whichever set is in use.
constexpr uint32_t kFunKeySetSwitch = FunId(kClassSpecial, 0xAB);
constexpr uint32_t kFunRateSwitch = FunId(kClassSpecial, 0xAC);
constexpr uint32_t kFunCustom = FunId(kClassSpecial, 0xAD);  // dwParameter is the hardware code
constexpr uint32_t kFunLightOnOff = FunId(kClassSpecial, 0xAE);
constexpr uint32_t kFunProfileSwitch = FunId(kClassSpecial, 0xB0);
// A function a model's default key table may give with a parameter; the program has no name,
// menu entry or hardware code for it.
constexpr uint32_t kFunSpecialC0 = FunId(kClassSpecial, 0xC0);

// Extra key j (0..2): dwParameter is the model's ExKey value j + 1, sent as the hardware code.
constexpr uint32_t kFunExtra = FunId(kClassExtra, 0);
constexpr int kExtraKeys = 3;

// A snipe entry of the function menu carries the position of its DPI value in the sensor's
// table in bits 8..15 of the code it posts.
constexpr int kSnipePositionMax = 0xFF;
constexpr uint32_t SnipePick(int position)
{
    return kFunSnipe + (uint32_t(position & kSnipePositionMax) << 8);
}
constexpr bool IsSnipePick(uint32_t code)
{
    return FunClass(code) == kClassSpecial && (code & 0xFF) == FunCode(kFunSnipe);
}
constexpr int SnipePickPosition(uint32_t code)
{
    return int((code >> 8) & kSnipePositionMax);
}

// The fire parameter is count + 256 x interval; a default key table's fire key without one
// shoots 3 times with interval 10.
constexpr uint32_t kFireDefaultParameter = 3 + 256 * 10;

// ---- The table ------------------------------------------------------------------------------

// Where the function menu shows a function.
enum class MenuGroup : uint8_t {
    kNone,   // not offered: it reaches a profile from a model's defaults or from the mouse
    kFirst,  // a row of the first level
    kDpi,    // in the second level of the DPI group
    kMedia,  // in the second level of the multimedia group
    kSnipe,  // in the second level of the snipe group, once for each offered DPI value
};

// What an assignment of the function needs besides its dwFunID.
enum class FunctionDetails : uint8_t {
    kNone,
    kCombination,   // stCombo: the captured modifiers and keys
    kFire,          // dwParameter: count + 256 x interval
    kSnipe,         // dwParameter: position of the DPI value in the sensor's table
    kMacro,         // dwMacroID: the macro
    kExtraKey,      // dwParameter: the model's extra key value
    kHardwareCode,  // dwParameter: the hardware key code itself
    kParameter,     // dwParameter: a value of the model's default key table
};

constexpr int32_t kNoFixedCode = -1;        // the code is computed, or there is none
constexpr uint16_t kNoConsumerUsage = 0xFFFF;

struct FunctionEntry {
    uint32_t dwFunID;
    const char* textKey;      // language text of its name; nullptr: it has none
    const char* altTextKey;   // shown instead while textKey's text is empty; nullptr: none
    const char* word;         // zorvanctl's word (after "media" for classes 3 and 4); nullptr: none
    MenuGroup group;
    uint8_t menuOrder;        // place among the entries of its menu level
    FunctionDetails details;
    int32_t hardwareCode;     // fixed hardware key code, or kNoFixedCode
    bool readsBack;           // reading hardwareCode from the mouse gives this function
    uint16_t usage;           // HID consumer usage (classes 3 and 4), else kNoConsumerUsage

    uint32_t Class() const { return FunClass(dwFunID); }
    uint32_t Code() const { return FunCode(dwFunID); }
};

// Every function, in the order zorvanctl lists its words. dwFunIDs are unique.
std::span<const FunctionEntry> FunctionCatalogue();

// The entry of exactly this dwFunID, or nullptr.
const FunctionEntry* FindFunction(uint32_t dwFunID);

// The entry that describes a key's function: for the combination and macro classes the class
// alone decides (any code), for the others the exact dwFunID. nullptr when there is none.
const FunctionEntry* FunctionOfKey(uint32_t dwFunID);

// The entry by its code alone (the low 24 bits), among the classes that are told apart by
// code: all but combination, macro and extra keys. Names on key buttons are found this way.
const FunctionEntry* FindFunctionByCode(uint32_t code);

// The entry with zorvanctl word `word`: among the media and application keys when `media` is
// set, else among the other functions. nullptr when none has it.
const FunctionEntry* FindFunctionByWord(std::string_view word, bool media);

// The media or application key of a consumer usage, or nullptr.
const FunctionEntry* FindFunctionByUsage(uint16_t usage);

// Media and application keys are named in zorvanctl after the word "media".
constexpr bool IsConsumerClass(uint32_t functionClass)
{
    return functionClass == kClassMedia || functionClass == kClassApplication;
}

// An assignment of a function with these details carries a value in dwParameter.
constexpr bool CarriesParameter(FunctionDetails details)
{
    return details == FunctionDetails::kFire || details == FunctionDetails::kSnipe ||
           details == FunctionDetails::kExtraKey || details == FunctionDetails::kHardwareCode ||
           details == FunctionDetails::kParameter;
}

// ---- Menu groups -------------------------------------------------------------------------------

// A group row of the first menu level: picking it does nothing, hovering opens its entries.
struct MenuGroupRow {
    MenuGroup group;
    uint32_t code;        // the code the row carries
    const char* textKey;
    uint8_t menuOrder;    // place among the entries of the first level
};

std::span<const MenuGroupRow> MenuGroupRows();

}  // namespace zorvan
