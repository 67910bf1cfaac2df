#pragma once
// What the macro page asks the user, as replaceable functions: by default the skinned message,
// confirmation, text, number, key and move dialogs and the file dialogs; tests answer them.
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace zorvan {

struct MacroPageDialogs {
    std::function<void(const QString& text)> message;
    std::function<bool(const QString& text)> confirm;
    std::function<std::optional<QString>(const QString& prompt, int maxLength)> askText;
    std::function<std::optional<int>(const QString& prompt, int maxLength, int minimum, int maximum)> askNumber;
    // A key for an inserted or edited event: its virtual-key code, nothing when none.
    std::function<std::optional<unsigned>(const QString& title)> captureKey;
    std::function<std::optional<QPoint>(int x, int y)> editMove;
    // A macro file to import, or to export `proposed` to; empty when cancelled.
    std::function<QString()> openMacroFile;
    std::function<QString(const QString& proposed)> saveMacroFile;
};

// The dialogs of the program, owned by `parent`.
MacroPageDialogs StandardMacroPageDialogs(QWidget* parent);

// The key code of a captured combination (modifier flags, three key codes): the first key;
// with only modifiers, the first of Ctrl, Shift, Alt, Win that is held gives 0xA2, 0xA0, 0xA4
// or 0x5B; nothing when nothing was pressed.
std::optional<unsigned> KeyOfCombination(const std::array<uint8_t, 4>& combination);

}  // namespace zorvan
