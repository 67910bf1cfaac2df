#pragma once
// zorvanctl macro new|import|export|delete (cmd_macro_files.cpp), dispatched by `macro`.
#include "cli/cli.h"

namespace zorvan::cli {

// Runs the macro file command named by the first argument; `handled` is false (and nothing
// runs) for another word.
int MacroFileCommand(CliContext& ctx, bool& handled);

}  // namespace zorvan::cli
