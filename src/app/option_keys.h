#pragma once
// The [OPT] keys in the order they are read, with their kind, default and field. One table
// serves the load and every listing of the options (zorvanctl cfg-check).
#include "app/app_options.h"
#include "app/value_ranges.h"

#include <vector>

namespace zorvan {

enum class OptionKind {
    Int,
    IntIgnored,   // read, no effect
    U16,
    Text,
    TextIgnored,
    Colour,       // R,G,B stored with red in the low byte
    Rect,
    RectIgnored,  // read and checked, no effect
    Point,
};

struct OptionKey {
    const char* key;
    OptionKind kind;
    int32_t AppOptions::*intField = nullptr;  // Int, Colour
    uint16_t AppOptions::*u16Field = nullptr;
    QString AppOptions::*textField = nullptr;
    Rect AppOptions::*rectField = nullptr;
    Point AppOptions::*pointField = nullptr;
    int32_t intDefault = 0;
    int maxChars = 0;
    Rect rectDefault;
    Point pointDefault;
    ValueRange range;  // Int: the value is held to it; points and rects hold to kLayoutRange
};

// Every [OPT] key read by the data initialisation after `Debug`, in reading order, except
// LEDParam, the lighting effect options and the languages, which have rules of their own.
const std::vector<OptionKey>& OptionKeys();

}  // namespace zorvan
