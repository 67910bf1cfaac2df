#pragma once
// The macro record (`StMacro`, 834 bytes) and the macro slot on the mouse (`HdMacro`, 384
// bytes). `StMacro` is the same byte image in memory, in ".qxm" files (rotated), in "mac.dct"
// and in profile export files, so its layout is a file format: little-endian, no padding.
#include <bit>
#include <cstddef>
#include <cstdint>

namespace zorvan {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian as in memory");

constexpr uint32_t kMacroMagic = 0xFACB99A0;

// State flags (offset 8): either bit set means the macro file must be rewritten.
constexpr uint32_t kMacroOptionsChanged = 0x40000000;
constexpr uint32_t kMacroEventsChanged = 0x80000000;
constexpr uint32_t kMacroDirty = kMacroOptionsChanged | kMacroEventsChanged;

constexpr int kMacroNameUnits = 40;     // UTF-16 units of the name field, terminator included
constexpr int kMacroNameMaxChars = 39;
constexpr int kMacroEventSlots = 91;
constexpr int kMacroMaxEvents = 70;     // the editor never lets a macro hold more
constexpr int kMacroMaxDelay = 65535;
constexpr int kMacroLibraryMax = 2000;  // also sizes "mac.dct"
constexpr int kMacroMinRepeat = 1;      // repeat counts of loop mode 0
constexpr int kMacroMaxRepeat = 250;

// Loop modes (offset 16) and the loop byte each one becomes on the mouse.
constexpr uint32_t kLoopCount = 0;      // repeat `repeatCount` times
constexpr uint32_t kLoopMode1 = 1;      // 0xFF on the mouse
constexpr uint32_t kLoopMode2 = 2;      // 0xFE on the mouse

// Event actions. Bit 1 marks a move; for key and button events only bit 0 counts.
constexpr uint16_t kActionRelease = 0;
constexpr uint16_t kActionPress = 1;
constexpr uint16_t kActionMove = 2;

// Mouse pseudo-codes in the code field of key and button events.
constexpr uint16_t kMouseLeft = 240;
constexpr uint16_t kMouseRight = 241;
constexpr uint16_t kMouseMiddle = 242;
constexpr uint16_t kMouseForward = 243;
constexpr uint16_t kMouseBack = 244;
constexpr uint16_t kWheelUp = 245;
constexpr uint16_t kWheelDown = 246;
// Bit (code - 240) allows a pseudo-code; the wheel codes are never allowed.
constexpr uint32_t kAllowedMouseEventMask = 0x1F;

// Packed to 2-byte alignment: 32-bit fields sit at 2-byte boundaries (the events start at 106).
// The compiler reads them with the right alignment. Read a field by value before handing it to
// anything that takes a reference: GCC binds a const reference to a copy, clang does not.
struct __attribute__((packed, aligned(2))) MacroEvent {
    uint16_t code;    // virtual-key code or mouse pseudo-code; a move: X step low byte, Y step high byte
    uint16_t action;  // kActionRelease, kActionPress, kActionMove
    uint32_t delay;   // milliseconds after this event, 0..65535

    bool IsTerminator() const { return code == 0 && delay == 0; }
};

struct __attribute__((packed, aligned(2))) StMacro {
    uint32_t magic;          // kMacroMagic
    uint32_t id;             // 24-bit time-stamp id; key assignments refer to it
    uint32_t flags;          // kMacroDirty bits; lower 30 bits 0
    uint32_t autoDelay;      // 1 or 0: the editor records delays
    uint32_t loopMode;       // kLoopCount, kLoopMode1, kLoopMode2
    char16_t name[kMacroNameUnits];  // UTF-16, zero-terminated, at most 39 characters
    uint32_t reserved;       // reset to 0 by the settings writer after each write
    uint16_t repeatCount;    // 1..250 for kLoopCount
    MacroEvent events[kMacroEventSlots];  // ends at the first event whose code and delay are 0
};

static_assert(alignof(StMacro) == 2);
static_assert(sizeof(MacroEvent) == 8);
static_assert(offsetof(MacroEvent, code) == 0);
static_assert(offsetof(MacroEvent, action) == 2);
static_assert(offsetof(MacroEvent, delay) == 4);

static_assert(sizeof(StMacro) == 834);
static_assert(offsetof(StMacro, magic) == 0);
static_assert(offsetof(StMacro, id) == 4);
static_assert(offsetof(StMacro, flags) == 8);
static_assert(offsetof(StMacro, autoDelay) == 12);
static_assert(offsetof(StMacro, loopMode) == 16);
static_assert(offsetof(StMacro, name) == 20);
static_assert(offsetof(StMacro, reserved) == 100);
static_assert(offsetof(StMacro, repeatCount) == 104);
static_assert(offsetof(StMacro, events) == 106);

// The macro slot on the mouse: 16 slots of 384 bytes, slot p-1 for matrix position p.
constexpr int kHdMacroSize = 384;
constexpr int kHdMacroNameBytes = 30;        // UTF-16LE, at most 15 characters
constexpr int kHdMacroNameChars = 15;
constexpr int kHdMacroMaxEvents = 70;
constexpr int kHdMacroEventSize = 5;
constexpr int kHdMacroStreamOffset = 31;     // event count, then the events
constexpr int kHdMacroEventsOffset = 32;
constexpr int kHdMacroStreamBytes = kHdMacroSize - kHdMacroStreamOffset;  // 353: what the reader reads
constexpr int kHdMacroEndMarkerLimit = 381;  // the end marker is written when it starts at or below this
constexpr int kDeviceMacroSlots = 16;

// Device event bytes (5 bytes).
constexpr uint8_t kHdTypeModifier = 0;
constexpr uint8_t kHdTypeKey = 1;
constexpr uint8_t kHdTypeButton = 4;
constexpr uint8_t kHdTypeMove = 5;
constexpr uint8_t kHdPress = 0x80;
constexpr uint8_t kHdRelease = 0x40;

struct HdMacroEvent {
    uint8_t type;       // type in bits 0..2, direction in bits 6..7; a move is exactly 0x05
    uint8_t value;      // modifier bit, keyboard usage, button bit, or X step
    uint8_t value2;     // 0, or the Y step of a move
    uint8_t delayHigh;  // delay after this event, milliseconds
    uint8_t delayLow;
};

struct HdMacro {
    uint8_t nameLength;                 // bytes: 2 x characters, 0..30
    uint8_t name[kHdMacroNameBytes];    // UTF-16LE, unused bytes 0
    uint8_t eventCount;                 // 0..70
    // 5 bytes per event, then the checksum and, when it fits, three zero bytes.
    uint8_t stream[kHdMacroSize - kHdMacroEventsOffset];
};

static_assert(sizeof(HdMacroEvent) == kHdMacroEventSize);
static_assert(sizeof(HdMacro) == kHdMacroSize);
static_assert(offsetof(HdMacro, nameLength) == 0);
static_assert(offsetof(HdMacro, name) == 1);
static_assert(offsetof(HdMacro, eventCount) == kHdMacroStreamOffset);
static_assert(offsetof(HdMacro, stream) == kHdMacroEventsOffset);
static_assert(kHdMacroEventsOffset + kHdMacroEventSize * kHdMacroMaxEvents + 1 == 383);

}  // namespace zorvan
