#pragma once
// Rules the macro commands share, whoever runs them (the macro page or zorvanctl): the name
// rule of new and renamed macros and folders, and the reading of a macro file to import.
#include "macro/st_macro.h"

#include <QString>

#include <optional>

namespace zorvan {

// A typed name as the macro commands accept it: nothing when it holds one of the characters
// / \ ? + = - * & % ! # ; (the message is "tc_tip1", or "Invalid file name." without it),
// otherwise the name without its last "." and what follows ("a.b" → "a").
std::optional<QString> CheckedMacroName(const QString& typed);

// A macro file read for import: the record, or the message that refuses it.
struct MacroImport {
    std::optional<StMacro> macro;
    QString message;  // "Open macro file failed. error=0x%x", "Read macro file failed.
                      // error=0x%x", "This is not a valid macro file." or "This macro
                      // contains unsupported key."
};
MacroImport ReadMacroForImport(const QString& path);

// True when every mouse pseudo-code of the macro's events is allowed (wheel codes never are).
bool MouseCodesAllowed(const StMacro& macro);

}  // namespace zorvan
