#include "text/key_names.h"

#include "text/language_texts.h"

#include <QStringList>

#include <initializer_list>
#include <string_view>

namespace zorvan {
namespace {

struct NamedKey {
    uint8_t vk;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0x08, "Backspace"}, {0x09, "Tab"}, {0x0C, "Clr"}, {0x0D, "Enter"},
    {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"}, {0x13, "Pause"}, {0x14, "CapsLock"},
    {0x1B, "Esc"}, {0x20, "Space"},
    {0x21, "PageUp"}, {0x22, "PageDown"}, {0x23, "End"}, {0x24, "Home"},
    {0x25, "Left"}, {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"},
    {0x29, "Select"}, {0x2A, "Print"}, {0x2B, "Enter"}, {0x2C, "PrintScreen"}, {0x2D, "Insert"},
    {0x2E, "Delete"}, {0x2F, "Help"},
    {0x5B, "L_Win"}, {0x5C, "R_Win"}, {0x5D, "App"},
    {0x60, "Num 0"}, {0x61, "Num 1"}, {0x62, "Num 2"}, {0x63, "Num 3"}, {0x64, "Num 4"},
    {0x65, "Num 5"}, {0x66, "Num 6"}, {0x67, "Num 7"}, {0x68, "Num 8"}, {0x69, "Num 9"},
    {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6C, "\\"}, {0x6D, "Num -"}, {0x6E, "Num ."}, {0x6F, "Num /"},
    {0x70, "F1"}, {0x71, "F2"}, {0x72, "F3"}, {0x73, "F4"}, {0x74, "F5"}, {0x75, "F6"},
    {0x76, "F7"}, {0x77, "F8"}, {0x78, "F9"}, {0x79, "F10"}, {0x7A, "F11"}, {0x7B, "F12"},
    {0x90, "NumLock"}, {0x91, "Scroll Lock"},
    {0xA0, "L_Shift"}, {0xA1, "R_Shift"}, {0xA2, "L_Ctrl"}, {0xA3, "R_Ctrl"}, {0xA4, "L_Alt"}, {0xA5, "R_Alt"},
};

// The mouse buttons 0xF0..0xF4 carry the program's own codes; their names are language texts.
constexpr std::string_view kMouseButtonTexts[] = {"tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back"};
constexpr unsigned kFirstMouseButton = 0xF0;

// The characters of the punctuation keys on a US keyboard, unshifted.
constexpr NamedKey kUsPunctuation[] = {
    {0xBA, ";"}, {0xBB, "="}, {0xBC, ","}, {0xBD, "-"}, {0xBE, "."}, {0xBF, "/"},
    {0xC0, "`"}, {0xDB, "["}, {0xDC, "\\"}, {0xDD, "]"}, {0xDE, "'"}, {0xE2, "\\"},
};

const char* Lookup(const auto& table, unsigned vk)
{
    for (const NamedKey& k : table) {
        if (k.vk == vk)
            return k.name;
    }
    return nullptr;
}

struct ModifierName {
    uint8_t bits;
    const char* name;
};

// The modifier names whose bits are set, then the names of the keys that are not 0.
template <size_t N>
QString Combo(const ModifierName (&names)[N], uint8_t modifiers, std::initializer_list<uint8_t> keys)
{
    QStringList parts;
    for (const ModifierName& m : names) {
        if (modifiers & m.bits)
            parts << QString::fromLatin1(m.name);
    }
    for (uint8_t k : keys) {
        if (k != 0)
            parts << KeyName(k);
    }
    return parts.join(QStringLiteral(" + "));
}

}  // namespace

QString KeyName(unsigned vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QString(QChar(char16_t(vk)));
    if (const char* name = Lookup(kNamedKeys, vk))
        return QString::fromLatin1(name);
    if (vk >= kFirstMouseButton && vk < kFirstMouseButton + std::size(kMouseButtonTexts))
        return GetText(kMouseButtonTexts[vk - kFirstMouseButton]);
    if (const char* character = Lookup(kUsPunctuation, vk))
        return QString::fromLatin1(character);
    return {};
}

QString ComboText(uint8_t modifiers, uint8_t k1, uint8_t k2, uint8_t k3)
{
    // Left and right bits of a kind give one name.
    constexpr ModifierName kKinds[] = {{0x11, "Ctrl"}, {0x44, "Alt"}, {0x22, "Shift"}, {0x88, "Win"}};
    return Combo(kKinds, modifiers, {k1, k2, k3});
}

QString ComboTextLR(uint8_t modifiers, uint8_t k1, uint8_t k2, uint8_t k3)
{
    constexpr ModifierName kSides[] = {{0x01, "L-Ctrl"}, {0x04, "L-Alt"}, {0x02, "L-Shift"}, {0x08, "L-Win"},
                                       {0x10, "R-Ctrl"}, {0x40, "R-Alt"}, {0x20, "R-Shift"}, {0x80, "R-Win"}};
    return Combo(kSides, modifiers, {k1, k2, k3});
}

}  // namespace zorvan
