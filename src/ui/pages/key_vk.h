#pragma once
// The virtual-key code of a key event, as key combinations store keys: letters and digits by
// their character, the named keys (Enter 13, Esc 27, F1..F24, the keypad) by their code,
// punctuation by the code of its key on a US keyboard (";" 0xBA). Modifiers tell left from
// right where the combination needs it: left Ctrl 17, Shift 16, Alt 18, Win 91; right Ctrl 163,
// Shift 161, Alt 165, Win 92. The side comes from the key's symbol (X11 and Wayland), else
// from its scan code (evdev key code + 8), else the left side is taken.
class QKeyEvent;

namespace zorvan {

// 0 when the key has no code.
int VirtualKeyOf(const QKeyEvent& event);

}  // namespace zorvan
