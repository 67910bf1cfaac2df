#include "ui/pages/firekey_dlg.h"

#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "profile/profile_edits.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/menu_dlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace zorvan {
namespace {

const QRect kCountBox(117, 50, 100, 20);
const QRect kIntervalBox(247, 50, 100, 20);
constexpr int kIntervalMax = 255;

// Replaces the box's text by `limit` when it holds a number above it.
void KeepAtMost(QLineEdit* box, int limit)
{
    bool ok = false;
    const qlonglong value = box->text().toLongLong(&ok);
    if ((ok && value > limit) || (!ok && !box->text().isEmpty())) {
        box->setText(QString::number(limit));
        box->end(false);
    }
}

}  // namespace

std::optional<FireSettings> CFirekeyDlg::Open(QWidget* parent, const KeyAssignment& current)
{
    CFirekeyDlg dialog(parent, current);
    if (!dialog.Loaded() || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Result();
}

CFirekeyDlg::CFirekeyDlg(QWidget* parent, const KeyAssignment& current) : SkinDialog(parent, kMessageWindowTitle)
{
    CMenuDlg::CloseOpen();
    setFont(WindowFont(Scaled(16), 400));
    setAccessibleName(GetText("tc_fire"));
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
    if (!loaded_)
        return;
    FireSettings shown;
    if (current.Major() == kClassSpecial && current.Minor() == FunCode(kFunFire)) {
        shown.count = int(current.dwParameter & 0xFF);
        shown.interval = int((current.dwParameter >> 8) & 0xFF);
    }
    count_ = NewBox(kCountBox, QString::number(shown.count == 0 ? 1 : shown.count));
    count_->setAccessibleName(GetText("tc_str1"));
    interval_ = NewBox(kIntervalBox, QString::number(shown.interval));
    interval_->setAccessibleName(GetText("tc_str2"));
    connect(count_, &QLineEdit::textEdited, this, [this] { KeepAtMost(count_, kCountMax); });
    connect(interval_, &QLineEdit::textEdited, this, [this] { KeepAtMost(interval_, kIntervalMax); });

    const auto button = [this](const QRect& r, const QString& name, const QString& caption) {
        SkinButtonSpec look{r, name, name, name, caption};
        look.parentPicture = Background();
        return NewSmallPngButton(this, look);
    };
    if (CPngBtn* close = button(QRect(399, 10, 25, 25), QStringLiteral("exit_nr.png"), QString())) {
        close->setAccessibleName(QStringLiteral("Close"));
        connect(close, &CPngBtn::clicked, this, &QDialog::reject);
    }
    if (CPngBtn* ok = button(QRect(136, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_ok")))
        connect(ok, &CPngBtn::clicked, this, &CFirekeyDlg::Accept);
    if (CPngBtn* cancel = button(QRect(242, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_cancel")))
        connect(cancel, &CPngBtn::clicked, this, &QDialog::reject);
    count_->setFocus();
}

QLineEdit* CFirekeyDlg::NewBox(const QRect& place, const QString& text)
{
    auto* box = new QLineEdit(text, this);
    box->setGeometry(Scaled(place));
    box->setFrame(false);
    box->setStyleSheet(QStringLiteral("QLineEdit { background: #F0F0F0; color: #0A0A0A; }"));
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    return box;
}

void CFirekeyDlg::Accept()
{
    bool countRead = false;
    const int count = count_->text().toInt(&countRead);
    bool intervalRead = false;
    const int interval = interval_->text().toInt(&intervalRead);
    // The editing rules take a count of 0..3 and raise the interval to at least 10.
    const auto parameter = countRead ? FireParameter(count, intervalRead ? interval : 0) : std::nullopt;
    if (!parameter)
        return;  // the dialog stays open
    result_ = {int(*parameter & 0xFF), int(*parameter >> 8)};
    accept();
}

void CFirekeyDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        event->accept();
        reject();
        return;
    }
    SkinDialog::keyPressEvent(event);
}

void CFirekeyDlg::PaintContent(QPainter& painter)
{
    painter.setPen(ColourOf(Options().Txt_clr));
    // The captions in a smaller size: each has the width of its box and 30 pixels more, and
    // the count's must end before the interval's begins.
    painter.setFont(WindowFont(Scaled(14), 400));
    const auto caption = [&painter](const QRect& box, const QRect& next, const char* key) {
        const int right = next.isNull() ? box.right() + 30 : std::min(box.right() + 30, next.left() - 6);
        const QRect area = Scaled(QRect(QPoint(box.left(), box.top() - 24), QPoint(right, box.top() - 6)));
        const QString text = painter.fontMetrics().elidedText(GetText(key), Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    };
    caption(kCountBox, kIntervalBox, "tc_str1");
    caption(kIntervalBox, QRect(), "tc_str2");
    painter.setFont(font());
    const int unscaledWidth = IsFourK() ? width() / 2 : width();
    const QRect note(QPoint(10, kCountBox.bottom() + 1 + 8), QPoint(unscaledWidth - 11, kCountBox.bottom() + 1 + 37));
    painter.drawText(Scaled(note), Qt::AlignCenter | Qt::TextWordWrap, GetText("tc_str3"));
}

}  // namespace zorvan
