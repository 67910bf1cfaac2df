#include "macro/hd_macro_codec.h"

#include "app/log.h"
#include "device/eeprom_map.h"
#include "macro/macro_record.h"
#include "text/key_usage.h"

#include <algorithm>
#include <cstring>

namespace zorvan {
namespace {

struct CodeBit {
    uint16_t code;
    uint8_t bit;
};

// Modifier keys as type-0 events: writing takes the first row of a code, reading the first row
// of a bit, so the generic keys (0x10, 0x11, 0x12) and the right Windows key read back as the
// left-hand ones. Bit 0x80 (right GUI) is never written.
constexpr CodeBit kModifierBits[] = {
    {0xA2, 0x01}, {0x11, 0x01}, {0xA0, 0x02}, {0x10, 0x02}, {0xA4, 0x04}, {0x12, 0x04},
    {0x5B, 0x08}, {0x5C, 0x08}, {0xA3, 0x10}, {0xA1, 0x20}, {0xA5, 0x40},
};

constexpr CodeBit kButtonBits[] = {
    {kMouseLeft, 0x01}, {kMouseRight, 0x02}, {kMouseMiddle, 0x04}, {kMouseBack, 0x08}, {kMouseForward, 0x10},
};

template <size_t N>
int BitOf(const CodeBit (&table)[N], uint16_t code)
{
    for (const CodeBit& row : table) {
        if (row.code == code)
            return row.bit;
    }
    return -1;
}

template <size_t N>
uint16_t CodeOf(const CodeBit (&table)[N], uint8_t bit)
{
    for (const CodeBit& row : table) {
        if (row.bit == bit)
            return row.code;
    }
    return 0;
}

uint8_t* SlotBytes(HdMacro& slot)
{
    return reinterpret_cast<uint8_t*>(&slot);
}

// False when the event's code has no keyboard usage (it is written with usage 0).
bool EncodeEvent(const MacroEvent& event, uint8_t* out)
{
    bool mapped = true;
    if (event.action & kActionMove) {
        out[0] = kHdTypeMove;
        out[1] = uint8_t(event.code & 0xFF);
        out[2] = uint8_t(event.code >> 8);
    } else {
        uint8_t type = kHdTypeKey;
        int value = BitOf(kModifierBits, event.code);
        if (value >= 0) {
            type = kHdTypeModifier;
        } else if ((value = BitOf(kButtonBits, event.code)) >= 0) {
            type = kHdTypeButton;
        } else {
            value = VkToUsage(event.code);
            mapped = value != 0;
        }
        out[0] = uint8_t(type | ((event.action & kActionPress) ? kHdPress : kHdRelease));
        out[1] = uint8_t(value);
        out[2] = 0;
    }
    out[3] = uint8_t(event.delay >> 8);
    out[4] = uint8_t(event.delay);
    return mapped;
}

// StMacro_To_HdMacro without its log lines: the end of the stream and the events whose code
// has no keyboard usage.
struct EncodedStream {
    int end = kHdMacroEventsOffset;
    int unmapped = 0;
};

EncodedStream EncodeStream(const StMacro& macro, HdMacro& slot)
{
    std::memset(&slot, 0, sizeof slot);
    uint8_t* bytes = SlotBytes(slot);
    EncodedStream stream;
    int n = 0;
    for (const MacroEvent& event : macro.events) {
        if (event.IsTerminator() || n == kHdMacroMaxEvents || stream.end >= kHdMacroSize - 1)
            break;
        if (!EncodeEvent(event, bytes + stream.end))
            ++stream.unmapped;
        stream.end += kHdMacroEventSize;
        ++n;
    }
    slot.eventCount = uint8_t(n);
    return stream;
}

MacroEvent DecodeEvent(const uint8_t* in, int index)
{
    MacroEvent event{};
    const uint8_t type = in[0] & 7;
    if (type == kHdTypeMove) {
        event.code = uint16_t(in[1] | (in[2] << 8));
        event.action = kActionMove;
        return event;
    }
    switch (in[0] >> 6) {
    case 1: event.action = kActionRelease; break;
    case 2: event.action = kActionPress; break;
    default: Log("HdMacro_To_StMacro: convert err, i=%d", index); break;
    }
    switch (type) {
    case kHdTypeButton: event.code = CodeOf(kButtonBits, in[1]); break;
    case kHdTypeModifier: event.code = CodeOf(kModifierBits, in[1]); break;
    case kHdTypeKey: event.code = UsageToVk(in[1]); break;
    default: Log("HdMacro_To_StMacro: convert err, nKeyFalg=%d", type); return event;
    }
    if (event.code == 0)
        Log("HdMacro_To_StMacro: convert err, i=%d, nHid=%x", index, in[1]);
    return event;
}

}  // namespace

int StMacro_To_HdMacro(const StMacro& macro, HdMacro& slot)
{
    const EncodedStream stream = EncodeStream(macro, slot);
    for (int i = 0; i < stream.unmapped; ++i)
        Log("StMacro_To_HdMacro: get wrong hid");
    return stream.end;
}

bool SameEventsOnTheMouse(const StMacro& a, const StMacro& b)
{
    HdMacro slotA;
    HdMacro slotB;
    const int end = EncodeStream(a, slotA).end;
    if (EncodeStream(b, slotB).end != end)
        return false;
    // The profile read does not take the delay after the last event.
    if (end > kHdMacroEventsOffset) {
        for (HdMacro* slot : {&slotA, &slotB})
            std::memset(SlotBytes(*slot) + end - 2, 0, 2);
    }
    return std::memcmp(SlotBytes(slotA) + kHdMacroStreamOffset, SlotBytes(slotB) + kHdMacroStreamOffset,
                       size_t(end - kHdMacroStreamOffset)) == 0;
}

QString MacroNameOnTheMouse(const StMacro& macro)
{
    return MacroName(macro).left(kHdMacroNameChars);
}

int FinishHdMacro(HdMacro& slot, int streamEnd, const StMacro& macro)
{
    uint8_t* bytes = SlotBytes(slot);
    bytes[streamEnd] = eeprom::GroupCheck(bytes + kHdMacroStreamOffset, size_t(streamEnd - kHdMacroStreamOffset));
    int length = streamEnd + 1;
    if (length <= kHdMacroEndMarkerLimit) {
        std::memset(bytes + length, 0, 3);
        length += 3;
    }
    const int units = int(std::find(macro.name, macro.name + kHdMacroNameChars, u'\0') - macro.name);
    std::memset(slot.name, 0, sizeof slot.name);
    slot.nameLength = uint8_t(2 * units);
    for (int i = 0; i < units; ++i) {
        slot.name[2 * i] = uint8_t(macro.name[i] & 0xFF);
        slot.name[2 * i + 1] = uint8_t(macro.name[i] >> 8);
    }
    return length;
}

int BuildHdMacro(const StMacro& macro, HdMacro& slot)
{
    return FinishHdMacro(slot, StMacro_To_HdMacro(macro, slot), macro);
}

uint8_t MacroLoopByte(const StMacro& macro)
{
    if (macro.loopMode == kLoopMode2)
        return 0xFE;
    if (macro.loopMode == kLoopMode1)
        return 0xFF;
    // A count from a file may be anything: 0 would play nothing, 254 and 255 are the loop
    // modes' bytes, and the low byte of 256 is 0 again.
    const int count = macro.repeatCount;
    const int kept = std::clamp(count, kMacroMinRepeat, kMacroMaxRepeat);
    if (kept != count)
        Log("MacroLoopByte: repeat count %d written as %d", count, kept);
    return uint8_t(kept);
}

void HdMacro_To_StMacro(StMacro& macro, std::span<const uint8_t, kHdMacroStreamBytes> stream, uint32_t id)
{
    std::memset(&macro, 0, sizeof macro);
    macro.magic = kMacroMagic;
    macro.id = id;
    macro.autoDelay = 1;
    macro.loopMode = kLoopCount;
    const int count = std::min<int>(stream[0], kHdMacroMaxEvents);
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* in = stream.data() + 1 + kHdMacroEventSize * i;
        MacroEvent event = DecodeEvent(in, i);
        if (i + 1 < count)
            event.delay = uint32_t((in[3] << 8) | in[4]);
        // Stored as is, this event would end the record and hide the events after it.
        if (event.IsTerminator())
            continue;
        macro.events[kept++] = event;
    }
}

}  // namespace zorvan
