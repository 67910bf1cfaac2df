#pragma once
// The macro slot on the mouse (`HdMacro`) and the conversions between it and `StMacro`.
#include "macro/st_macro.h"
#include "macro/time_stamp_id.h"

#include <QString>

#include <cstdint>
#include <span>

namespace zorvan {

// Zeroes `slot`, writes the event count at offset 31 and the events from offset 32 (at most
// 70; stops at the terminator), and returns the end of the stream, 32 + 5n. Codes without a
// keyboard usage are written as usage 0 and logged "StMacro_To_HdMacro: get wrong hid".
int StMacro_To_HdMacro(const StMacro& macro, HdMacro& slot);

// Whether two records put the same events into a macro slot: the same event bytes (codes as
// the mouse knows them: generic modifiers as left-hand ones, at most 70 events, delays of 16
// bits), apart from the delay after the last event, which the profile read does not take.
bool SameEventsOnTheMouse(const StMacro& a, const StMacro& b);
// The name as a macro slot holds it: the first 15 units.
QString MacroNameOnTheMouse(const StMacro& macro);

// Slot finishing after StMacro_To_HdMacro returned `streamEnd`: the checksum (0x55 minus the
// sum of bytes 31 .. streamEnd-1) at `streamEnd`, three zero bytes when they fit (ending at or
// below byte 383), and the name (at most 15 UTF-16 units) in bytes 0..30. Returns the number of
// bytes to write: streamEnd + 4, or streamEnd + 1 for a 70-event macro.
int FinishHdMacro(HdMacro& slot, int streamEnd, const StMacro& macro);

// Both steps: the finished slot of `macro` and the number of bytes to write.
int BuildHdMacro(const StMacro& macro, HdMacro& slot);

// The loop byte of a macro key code: mode 2 → 0xFE, mode 1 → 0xFF, mode 0 → the repeat count,
// kept to 1..250 (logged when it was not).
uint8_t MacroLoopByte(const StMacro& macro);

// The 353 bytes read from slot offset 31 (event count, then events) as a new record: magic,
// `id`, auto-delay 1, loop mode 0, no name; the caller sets name, loop mode and repeat count.
// The last event's delay is 0. Unknown types, bits and usages are logged and give code 0; an
// event that would then read as the terminator (code 0 and delay 0) is left out, so the events
// after it are kept.
void HdMacro_To_StMacro(StMacro& macro, std::span<const uint8_t, kHdMacroStreamBytes> stream,
                        uint32_t id = NewTimeStampId());

}  // namespace zorvan
