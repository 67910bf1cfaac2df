#pragma once
// Display names of virtual keys and of key combinations.
#include <QString>

#include <cstdint>

namespace zorvan {

// The name of a virtual key: the fixed names ("Enter", "Num 5", "F12", "L_Ctrl"), the current
// language's names of the mouse buttons for 0xF0..0xF4, empty for 0xFF. Any other code is named
// by the character it gives on a US keyboard (";" for 0xBA), or empty when it gives none.
QString KeyName(unsigned vk);

// "Ctrl + Alt + Shift + Win + k1 + k2 + k3": each modifier once whether left or right is held,
// then the keys that are not 0.
QString ComboText(uint8_t modifiers, uint8_t k1, uint8_t k2, uint8_t k3);

// As ComboText with left and right told apart: "L-Ctrl + R-Ctrl + C".
QString ComboTextLR(uint8_t modifiers, uint8_t k1, uint8_t k2, uint8_t k3);

}  // namespace zorvan
