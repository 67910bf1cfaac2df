#include "ui/pages/macro_key_input.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace zorvan {
namespace {

// X keysyms of the right-hand modifiers.
constexpr quint32 kShiftR = 0xFFE2;
constexpr quint32 kControlR = 0xFFE4;
constexpr quint32 kAltR = 0xFFEA;
constexpr quint32 kLevel3Shift = 0xFE03;  // AltGr on many layouts
constexpr quint32 kSuperR = 0xFFEC;

constexpr std::pair<int, unsigned> kKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09}, {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Print, 0x2C}, {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E}, {Qt::Key_Help, 0x2F}, {Qt::Key_Menu, 0x5D}, {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12}, {Qt::Key_AltGr, 0xA5},
    {Qt::Key_Meta, 0x5B}, {Qt::Key_Super_L, 0x5B}, {Qt::Key_Super_R, 0x5C},
    // Punctuation by the key that gives it on a US keyboard.
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

constexpr std::pair<int, unsigned> kKeypad[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B}, {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E}, {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

unsigned Lookup(const auto& table, int key)
{
    for (const auto& [qt, vk] : table)
        if (qt == key)
            return vk;
    return 0;
}

}  // namespace

unsigned VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey)
{
    switch (nativeKey) {
    case kShiftR:
        return 0xA1;
    case kControlR:
        return 0xA3;
    case kAltR:
    case kLevel3Shift:
        return 0xA5;
    case kSuperR:
        return 0x5C;
    default:
        break;
    }
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 0x60 + unsigned(qtKey - Qt::Key_0) : unsigned(qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return unsigned(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + unsigned(qtKey - Qt::Key_F1);
    if (keypad)
        if (const unsigned vk = Lookup(kKeypad, qtKey))
            return vk;
    return Lookup(kKeys, qtKey);
}

unsigned VirtualKeyOf(const QKeyEvent& event)
{
    return VirtualKeyOf(event.key(), event.modifiers(), event.nativeVirtualKey());
}

}  // namespace zorvan
