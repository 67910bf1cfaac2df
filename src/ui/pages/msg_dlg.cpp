#include "ui/pages/msg_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"

#include <QPainter>

namespace zorvan {

CMsgDlg::CMsgDlg(QWidget* parent, Mode mode, const QString& text, const QString& title, bool waiting)
    : SkinDialog(parent, kMessageWindowTitle), mode_(mode), text_(text), title_(title), waiting_(waiting)
{
    if (title_.isEmpty())
        title_ = GetText("tc_tips");
    setFont(WindowFont(Scaled(16), 400));
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
    if (!loaded_ || waiting_)
        return;
    const auto button = [this](const QRect& r, const QString& name, const QString& caption) {
        SkinButtonSpec look{r, name, name, name, caption};
        look.parentPicture = Background();
        return NewSmallPngButton(this, look);
    };
    const QString okText = GetText("tc_ok");
    if (mode_ == kConfirm) {
        if (CPngBtn* ok = button(QRect(136, 110, 80, 27), QStringLiteral("button2_nr.png"), okText))
            connect(ok, &CPngBtn::clicked, this, [this] { Finish(kOk); });
        if (CPngBtn* cancel = button(QRect(242, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_cancel")))
            connect(cancel, &CPngBtn::clicked, this, [this] { Finish(kClosed); });
        return;
    }
    if (CPngBtn* close = button(QRect(399, 10, 25, 25), QStringLiteral("exit_nr.png"), QString()))
        connect(close, &CPngBtn::clicked, this, [this] { Finish(kClosed); });
    if (CPngBtn* ok = button(QRect(186, 110, 80, 27), QStringLiteral("button2_nr.png"), okText))
        connect(ok, &CPngBtn::clicked, this, [this] { Finish(kOk); });
}

int CMsgDlg::Message(QWidget* parent, const QString& text, const QString& title)
{
    CMsgDlg dialog(parent, kMessage, text, title, false);
    return dialog.Run();
}

bool CMsgDlg::Confirm(QWidget* parent, const QString& text)
{
    CMsgDlg dialog(parent, kConfirm, text, QString(), false);
    return dialog.Run() == kOk;
}

// The text and number inputs arrive with the buttons page; until then they answer as cancelled.
std::optional<QString> CMsgDlg::AskText(QWidget*, const QString&, int)
{
    return std::nullopt;
}

std::optional<int> CMsgDlg::AskNumber(QWidget*, const QString&, int, int, int)
{
    return std::nullopt;
}

int CMsgDlg::Run(const std::function<bool()>& done)
{
    // Without its background the dialog ends at once, as if closed.
    if (!loaded_ || (done && done()))
        return kClosed;
    const int result = exec();
    return result == kOk ? kOk : kClosed;
}

void CMsgDlg::EndWait()
{
    Finish(kClosed);
}

void CMsgDlg::Finish(int result)
{
    if (waiting_ && result == kOk)
        return;  // a waiting message has no OK
    done(result);
}

QRect CMsgDlg::Place(int left, int top, int right, int bottom) const
{
    return Scaled(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void CMsgDlg::PaintContent(QPainter& painter)
{
    const int32_t textColour = Options().Txt_clr;
    painter.setPen(ColourOf(textColour));
    painter.setFont(font());
    painter.drawText(Place(12, 9, 112, 29), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
    const int unscaledWidth = IsFourK() ? width() / 2 : width();
    const QRect area = Place(10, 44, unscaledWidth - 10, 104);
    const bool fits = painter.fontMetrics().horizontalAdvance(text_) <= area.width();
    painter.drawText(area, Qt::AlignCenter | (fits ? Qt::TextSingleLine : Qt::TextWordWrap), text_);
}

}  // namespace zorvan
