#pragma once
// The short event syntax of `zorvanctl macro new NAME EVENTS...`:
//   down:KEY, up:KEY   a key or mouse button pressed, released: KEY as the program names keys
//                      (A, F5, Enter, LCtrl, ...) or mouse-left, mouse-right, mouse-middle,
//                      mouse-forward, mouse-back
//   move:X,Y           a small mouse movement, X and Y in -128..127, not both 0
//   30ms (or 30)       the delay after the event before it, MinDelay..65535 ms; an event
//                      without one waits MinDelay (the smallest delay the macro editor accepts)
#include "macro/st_macro.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvan::cli {

// Fills the events of `macro` from `words`. Nothing on success, else what is wrong, naming the
// word.
std::optional<QString> ParseMacroEvents(const QStringList& words, int minDelay, StMacro& macro);

// The syntax in a few lines, for the help.
extern const char* const kMacroEventSyntax;

}  // namespace zorvan::cli
