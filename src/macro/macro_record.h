#pragma once
// Helpers over one `StMacro`: its name as text, its events, a new empty record.
#include "macro/st_macro.h"

#include <QString>

namespace zorvan {

// The name: at most 40 units, up to the first zero.
QString MacroName(const StMacro& macro);
// Stores at most 39 characters and the terminator; the rest of the field becomes 0.
void SetMacroName(StMacro& macro, const QString& name);

// Events before the terminator (at most 91).
int MacroEventCount(const StMacro& macro);

// All zero, then magic, a new id, auto-delay 1, loop mode 0, repeat count 1, the name.
StMacro NewEmptyMacro(const QString& name);

}  // namespace zorvan
