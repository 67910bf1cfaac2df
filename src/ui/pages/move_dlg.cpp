#include "ui/pages/move_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"

#include <QLineEdit>
#include <QPainter>

#include <algorithm>

namespace zorvan {
namespace {

constexpr int kMoveLimit = 127;
constexpr int kBoxChars = 4;
const QRect kXBox(135, 70, 80, 20);
const QRect kYBox(242, 70, 80, 20);

// The caption area of a box: 15 pixels wider on each side, 25..5 pixels above it.
QRect CaptionOf(const QRect& box)
{
    return QRect(QPoint(box.left() - 15, box.top() - 25), QPoint(box.right() + 15, box.top() - 6));
}

}  // namespace

QString MoveBoxText(const QString& typed)
{
    qsizetype keep = 0;
    while (keep < typed.size() && (typed[keep].isDigit() || typed[keep] == u'-' || typed[keep] == u'+'))
        ++keep;
    const QString text = typed.left(keep);
    bool number = false;
    const int value = text.toInt(&number);
    if (number && value < -kMoveLimit)
        return QString::number(-kMoveLimit);
    if (number && value > kMoveLimit)
        return QString::number(kMoveLimit);
    return text;
}

std::optional<QPoint> CMoveDlg::Edit(QWidget* parent, int x, int y)
{
    CMoveDlg dialog(parent, x, y);
    if (!dialog.Loaded() || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Result();
}

CMoveDlg::CMoveDlg(QWidget* parent, int x, int y) : SkinDialog(parent, kMessageWindowTitle), result_(x, y)
{
    setFont(WindowFont(Scaled(16), 400));
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
    if (!loaded_)
        return;
    const auto button = [this](const QRect& r, const QString& name, const QString& caption) {
        SkinButtonSpec look{r, name, name, name, caption};
        look.parentPicture = Background();
        return NewSmallPngButton(this, look);
    };
    if (CPngBtn* close = button(QRect(399, 10, 25, 25), QStringLiteral("exit_nr.png"), QString()))
        connect(close, &CPngBtn::clicked, this, &QDialog::reject);
    if (CPngBtn* ok = button(QRect(136, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_ok")))
        connect(ok, &CPngBtn::clicked, this, &CMoveDlg::Accept);
    if (CPngBtn* cancel = button(QRect(242, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_cancel")))
        connect(cancel, &CPngBtn::clicked, this, &QDialog::reject);
    x_ = NewBox(kXBox, x);
    y_ = NewBox(kYBox, y);
    x_->setFocus();
}

QLineEdit* CMoveDlg::NewBox(const QRect& rect, int value)
{
    auto* box = new QLineEdit(this);
    box->setGeometry(Scaled(rect));
    box->setMaxLength(kBoxChars);
    box->setFont(WindowFont(Scaled(16), 400));
    box->setText(value != 0 ? QString::number(value) : QString());
    connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const QString kept = MoveBoxText(text);
        if (kept != text) {
            box->setText(kept);
            box->setCursorPosition(int(kept.size()));
        }
    });
    return box;
}

void CMoveDlg::Accept()
{
    const auto read = [](const QLineEdit* box, int value) {
        bool number = false;
        const int typed = box->text().toInt(&number);
        return number ? std::clamp(typed, -kMoveLimit, kMoveLimit) : value;
    };
    result_ = QPoint(read(x_, result_.x()), read(y_, result_.y()));
    accept();
}

void CMoveDlg::PaintContent(QPainter& painter)
{
    painter.setPen(ColourOf(Options().Txt_clr));
    painter.setFont(font());
    painter.drawText(Scaled(CaptionOf(kXBox)), Qt::AlignCenter | Qt::TextSingleLine, GetText("tc_adv_str25"));
    painter.drawText(Scaled(CaptionOf(kYBox)), Qt::AlignCenter | Qt::TextSingleLine, GetText("tc_adv_str26"));
}

}  // namespace zorvan
