#pragma once
// Key events of Qt as the virtual-key codes the macros hold: letters, digits, punctuation (by
// the unshifted key of a US keyboard), the keypad, function and editing keys, and the modifiers
// with their side: right Ctrl 0xA3, right Alt (and AltGr) 0xA5, right Shift 0xA1, right Win
// 0x5C; the left ones stay the generic 0x10 Shift, 0x11 Ctrl, 0x12 Alt and 0x5B Win.
#include <QtGlobal>

class QKeyEvent;

namespace zorvan {

// `qtKey` with the keypad flag from `modifiers`; `nativeKey` is the X keysym when the platform
// gives one (it tells the sides of the modifiers apart), else 0. 0 when the key has no code.
unsigned VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey);
unsigned VirtualKeyOf(const QKeyEvent& event);

}  // namespace zorvan
