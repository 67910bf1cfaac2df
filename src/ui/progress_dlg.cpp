#include "ui/progress_dlg.h"

#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"

#include <QPainter>

namespace zorvan {

CProgressDlg::CProgressDlg(QWidget* parent, const Setup& setup)
    : SkinDialog(parent, kWindowTitle), setup_(setup), position_(setup.position)
{
    setFont(WindowFont(Scaled(14), 300));
    bar_ = LoadPicture(setup.bar, SkinScale());
    loaded_ = !bar_.isNull() && LoadBackground(setup.background, true);
    if (!loaded_)
        return;
    const int width = IsFourK() ? this->width() / 2 : this->width();
    SkinButtonSpec close{QRect(width - 45, 10, 20, 25), QStringLiteral("exit_nr.png"), QStringLiteral("exit_nr.png"),
                         QStringLiteral("exit_nr.png")};
    close.parentPicture = Background();
    if (CPngBtn* button = NewSmallPngButton3(this, close))
        connect(button, &CPngBtn::clicked, this, &QDialog::reject);
}

int CProgressDlg::exec()
{
    return loaded_ ? SkinDialog::exec() : QDialog::Rejected;
}

void CProgressDlg::SetPosition(int position)
{
    position_ = position >= setup_.minimum && position <= setup_.maximum ? position : setup_.minimum;
    repaint();
}

int CProgressDlg::BarX() const
{
    const int span = setup_.maximum - setup_.minimum;
    if (span == 0)
        return setup_.barStart;
    return (position_ - setup_.minimum) * (setup_.barEnd - setup_.barStart) / span + setup_.barStart;
}

void CProgressDlg::PostPosition(int position)
{
    QMetaObject::invokeMethod(this, [this, position] { SetPosition(position); }, Qt::QueuedConnection);
}

void CProgressDlg::PostClose()
{
    QMetaObject::invokeMethod(this, [this] { accept(); }, Qt::QueuedConnection);
}

void CProgressDlg::PaintContent(QPainter& painter)
{
    const int x = Scaled(BarX());
    painter.drawImage(QRect(0, 0, x, height()), bar_, PixelsOf(bar_, QRect(0, 0, x, SkinSize(bar_).height())));
    if (setup_.text.isEmpty())
        return;
    const QRect area = Scaled(setup_.textRect);
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(setup_.text, Qt::ElideRight, area.width()));
}

}  // namespace zorvan
