#pragma once
// Colours of cfg.ini (red in the low byte) as Qt colours.
#include <QColor>

#include <cstdint>

namespace zorvan {

inline QColor ColourOf(int32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace zorvan
