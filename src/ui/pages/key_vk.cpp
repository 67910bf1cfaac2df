#include "ui/pages/key_vk.h"

#include <QKeyEvent>

#include <utility>

namespace zorvan {
namespace {

constexpr int kVkShift = 16, kVkCtrl = 17, kVkAlt = 18, kVkLeftWin = 91, kVkRightWin = 92, kVkRightShift = 161,
              kVkRightCtrl = 163, kVkRightAlt = 165;

// Key symbols (X11, Wayland) and key codes (evdev + 8) of the modifier keys.
constexpr std::pair<quint32, int> kModifierScanCodes[] = {
    {37, kVkCtrl}, {105, kVkRightCtrl}, {50, kVkShift}, {62, kVkRightShift},
    {64, kVkAlt}, {108, kVkRightAlt}, {133, kVkLeftWin}, {134, kVkRightWin},
};
constexpr std::pair<quint32, int> kModifierKeySyms[] = {
    {0xFFE3, kVkCtrl}, {0xFFE4, kVkRightCtrl}, {0xFFE1, kVkShift}, {0xFFE2, kVkRightShift},
    {0xFFE9, kVkAlt}, {0xFFEA, kVkRightAlt}, {0xFE03, kVkRightAlt},  // ISO_Level3_Shift (AltGr)
    {0xFFEB, kVkLeftWin}, {0xFFEC, kVkRightWin}, {0xFFE7, kVkLeftWin}, {0xFFE8, kVkRightWin},
    {0xFFED, kVkLeftWin},
};

bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control: case Qt::Key_Shift: case Qt::Key_Alt: case Qt::Key_AltGr: case Qt::Key_Meta:
    case Qt::Key_Super_L: case Qt::Key_Super_R: case Qt::Key_Hyper_L: case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

int ModifierVk(const QKeyEvent& event)
{
    for (const auto& [sym, vk] : kModifierKeySyms) {
        if (event.nativeVirtualKey() == sym)
            return vk;
    }
    for (const auto& [code, vk] : kModifierScanCodes) {
        if (event.nativeScanCode() == code)
            return vk;
    }
    switch (event.key()) {
    case Qt::Key_Control: return kVkCtrl;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Alt: return kVkAlt;
    case Qt::Key_AltGr: return kVkRightAlt;
    case Qt::Key_Super_R: case Qt::Key_Hyper_R: return kVkRightWin;
    default: return kVkLeftWin;
    }
}

// Keys whose code does not follow from a character range.
constexpr std::pair<int, int> kNamedKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09}, {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Select, 0x29}, {Qt::Key_Printer, 0x2A},
    {Qt::Key_Execute, 0x2B}, {Qt::Key_Print, 0x2C}, {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F}, {Qt::Key_Menu, 0x5D}, {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
    // Punctuation by its key on a US keyboard, shifted or not.
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
    // The shifted digits of a US keyboard.
    {Qt::Key_Exclam, 0x31}, {Qt::Key_At, 0x32}, {Qt::Key_NumberSign, 0x33}, {Qt::Key_Dollar, 0x34},
    {Qt::Key_Percent, 0x35}, {Qt::Key_AsciiCircum, 0x36}, {Qt::Key_Ampersand, 0x37}, {Qt::Key_Asterisk, 0x38},
    {Qt::Key_ParenLeft, 0x39}, {Qt::Key_ParenRight, 0x30},
};

int KeypadVk(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x60 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    case Qt::Key_Period: case Qt::Key_Comma: return 0x6E;
    case Qt::Key_Slash: return 0x6F;
    default: return 0;
    }
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event)
{
    const int key = event.key();
    if (IsModifierKey(key))
        return ModifierVk(event);
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int vk = KeypadVk(key))
            return vk;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    for (const auto& [qtKey, vk] : kNamedKeys) {
        if (qtKey == key)
            return vk;
    }
    return 0;
}

}  // namespace zorvan
