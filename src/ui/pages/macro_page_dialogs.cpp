#include "ui/pages/macro_page_dialogs.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/key_names.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/macro_key_input.h"
#include "ui/pages/move_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/skin_dialog.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>

namespace zorvan {
namespace {

// The flag of a side-specific modifier code in a combination, or 0.
uint8_t ModifierFlag(unsigned vk)
{
    switch (vk) {
    case 0x11: case 0xA2: return 0x01;
    case 0x10: case 0xA0: return 0x02;
    case 0x12: case 0xA4: return 0x04;
    case 0x5B: return 0x08;
    case 0xA3: return 0x10;
    case 0xA1: return 0x20;
    case 0xA5: return 0x40;
    case 0x5C: return 0x80;
    default: return 0;
    }
}

// The key dialog of the macro editor: the message dialog's look, the title, the key pressed
// last (with the modifiers held) in the box, OK and close. Every key, Enter and Esc included,
// is captured.
class KeyCaptureDlg : public SkinDialog {
public:
    KeyCaptureDlg(QWidget* parent, const QString& title) : SkinDialog(parent, kMessageWindowTitle), title_(title)
    {
        setFont(WindowFont(Scaled(16), 400));
        loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
        if (!loaded_)
            return;
        const auto button = [this](const QRect& r, const QString& name, const QString& caption) {
            SkinButtonSpec look{r, name, name, name, caption};
            look.parentPicture = Background();
            CPngBtn* b = NewSmallPngButton(this, look);
            if (b)
                b->setFocusPolicy(Qt::NoFocus);
            return b;
        };
        if (CPngBtn* close = button(QRect(399, 10, 25, 25), QStringLiteral("exit_nr.png"), QString()))
            connect(close, &CPngBtn::clicked, this, &QDialog::reject);
        if (CPngBtn* ok = button(QRect(186, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_ok")))
            connect(ok, &CPngBtn::clicked, this, &QDialog::accept);
        setFocusPolicy(Qt::StrongFocus);
    }

    bool Loaded() const { return loaded_; }
    const std::array<uint8_t, 4>& Combination() const { return combination_; }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return SkinDialog::event(event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            Take(VirtualKeyOf(*key));
        return true;
    }
    void PaintContent(QPainter& painter) override
    {
        const int x = ((IsFourK() ? width() / 2 : width()) - 300) / 2;
        painter.setPen(ColourOf(Options().Txt_clr));
        painter.setFont(font());
        painter.drawText(Scaled(QRect(x, 41, 300, 20)), Qt::AlignCenter | Qt::TextSingleLine, title_);
        const QRect box = Scaled(QRect(x, 65, 300, 20));
        painter.fillRect(box, QColor(0xF0, 0xF0, 0xF0));
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine,
                         ComboTextLR(combination_[0], combination_[1], combination_[2], combination_[3]));
    }

private:
    void Take(unsigned vk)
    {
        if (vk == 0)
            return;
        if (const uint8_t flag = ModifierFlag(vk)) {
            if (combination_[1] != 0)
                combination_ = {};
            combination_[0] |= flag;
        } else {
            combination_ = {combination_[1] == 0 ? combination_[0] : uint8_t(0), uint8_t(vk), 0, 0};
        }
        update();
    }

    QString title_;
    bool loaded_ = false;
    std::array<uint8_t, 4> combination_{};
};

}  // namespace

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
        KeyCaptureDlg dialog(parent, title);
        if (!dialog.Loaded() || dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return KeyOfCombination(dialog.Combination());
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
