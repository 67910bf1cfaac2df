#pragma once
// The ranges that cfg.ini values which size, place or count things are held to when the file is
// read, so no page has to guard its arithmetic against a product's data. Every value a skin or
// a product plausibly uses lies far inside them; a value outside is taken as the nearest end
// (and logged).
#include <algorithm>
#include <cstdint>
#include <limits>

namespace zorvan {

struct ValueRange {
    int32_t low = std::numeric_limits<int32_t>::min();
    int32_t high = std::numeric_limits<int32_t>::max();

    bool Holds(int32_t value) const { return value >= low && value <= high; }
    int32_t Clamp(int32_t value) const { return std::clamp(value, low, high); }
};

// Layout in pixels of the normal-size skin: every point and rect coordinate, widths, gaps,
// offsets and positions. The windows are about 1000 × 700 pixels; ten thousand either way is
// far outside any of them, and doubled for 4K and added up a few times stays far inside int.
inline constexpr ValueRange kLayoutRange{-10000, 10000};

// Rows of the function menu: a hundred rows are taller than any screen, so more act the same.
inline constexpr ValueRange kMenuRowsRange{0, 100};

// Height of the application font in pixels (0: the default); a hundred is taller than any
// control the font labels.
inline constexpr ValueRange kFontSizeRange{0, 100};

// Macro delays in milliseconds: the event delay is a 16-bit value, so a smallest delay above
// its largest would leave no delay to choose.
inline constexpr ValueRange kMacroDelayRange{0, 65535};

// DPI levels of a profile: a count of its eight levels and an index among them.
inline constexpr ValueRange kDpiLevelCountRange{0, 8};
inline constexpr ValueRange kDpiLevelIndexRange{0, 7};

}  // namespace zorvan
