#pragma once
// The words by which zorvanctl names key functions: `assign KEY FUNCTION [ARGS]` reads them,
// `read` prints them.
#include "app/device_description.h"
#include "app/key_assignment.h"
#include "profile/profile_edits.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvan::cli {

struct PickedFunction {
    uint32_t code = 0;  // as the function menu posts it
    PickDetails details;
};

// FUNCTION [ARGS] (the words after KEY) as the pick the key page would receive. Nothing, with
// `error` set, for words that name no function.
std::optional<PickedFunction> ParseFunction(const QStringList& words, const DeviceDescription& device, QString& error);

// How `assign` would name the function of `key` ("left", "fire 3 10", "combo Ctrl+A",
// "macro Name"), or its code in hex when it has no word.
QString FunctionWords(const KeyAssignment& key, const DeviceDescription& device);

// The virtual-key code of a key named as the program names keys (any case), or nothing.
std::optional<uint8_t> VirtualKeyNamed(const QString& name);

// The names of the macro library's macros, "a, b, c".
QString MacroNameList();

// The function words for the help text.
QString FunctionWordList();

// The words of the functions the model's function menu offers (as FunctionOffered decides),
// in menu order, each once ("left, …, fire COUNT INTERVAL, snipe DPI, media NAME").
QString OfferedFunctionWords(const DeviceDescription& device);

// True when ParseFunction's verdict on `words` does not depend on the model or the macro
// library (every function but snipe and macro): it can be checked before anything is loaded.
bool ModelFreeFunction(const QStringList& words);

}  // namespace zorvan::cli
