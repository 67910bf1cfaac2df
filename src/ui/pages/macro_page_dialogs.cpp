#include "ui/pages/macro_page_dialogs.h"

#include "ui/pages/move_dlg.h"
#include "ui/pages/msg_dlg.h"

#include <QFileDialog>

namespace zorvan {

std::optional<unsigned> KeyOfCombination(const std::array<uint8_t, 4>& combination)
{
    if (combination[1] != 0)
        return combination[1];
    const uint8_t m = combination[0];
    if (m & 0x11)
        return 0xA2;
    if (m & 0x22)
        return 0xA0;
    if (m & 0x44)
        return 0xA4;
    if (m & 0x88)
        return 0x5B;
    return std::nullopt;
}

MacroPageDialogs StandardMacroPageDialogs(QWidget* parent)
{
    MacroPageDialogs d;
    d.message = [parent](const QString& text) { CMsgDlg::Message(parent, text); };
    d.confirm = [parent](const QString& text) { return CMsgDlg::Confirm(parent, text); };
    d.askText = [parent](const QString& prompt, int maxLength) { return CMsgDlg::AskText(parent, prompt, maxLength); };
    d.askNumber = [parent](const QString& prompt, int maxLength, int minimum, int maximum) {
        return CMsgDlg::AskNumber(parent, prompt, maxLength, minimum, maximum);
    };
    d.captureKey = [parent](const QString& title) -> std::optional<unsigned> {
        const std::optional<Combo> combination = CMsgDlg::CaptureCombo(parent, title, false, false);
        return combination ? KeyOfCombination(*combination) : std::nullopt;
    };
    d.editMove = [parent](int x, int y) { return CMoveDlg::Edit(parent, x, y); };
    const QString filter = QStringLiteral("qxm(*.qxm)");
    d.openMacroFile = [parent, filter] { return QFileDialog::getOpenFileName(parent, QString(), QString(), filter); };
    d.saveMacroFile = [parent, filter](const QString& proposed) {
        QFileDialog dialog(parent, QString(), proposed, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("qxm"));
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    return d;
}

}  // namespace zorvan
