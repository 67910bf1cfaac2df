#pragma once
// Rectangles and points of the skin layout, in pixels of the normal-size skin.
#include <cstdint>

namespace zorvan {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Colours are stored with red in the low byte: R + G*256 + B*65536.
constexpr int32_t Rgb(int r, int g, int b)
{
    return int32_t((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace zorvan
