#include "ui/pages/color_dlg.h"

#include "skin/colour.h"
#include "ui/controls/color_btn.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan {

CColorDlg::CColorDlg(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void CColorDlg::SetColour(int32_t colour)
{
    colour_ = colour & 0xFFFFFF;
    update();
}

void CColorDlg::SetReadOnly(bool on)
{
    readOnly_ = on;
    setCursor(on ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void CColorDlg::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), ColourOf(colour_));
}

void CColorDlg::mousePressEvent(QMouseEvent* event)
{
    // Taken here: a press on the swatch does not move the window.
    event->accept();
}

void CColorDlg::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || readOnly_ || !rect().contains(event->position().toPoint()))
        return;
    const std::optional<int32_t> picked = ChooseColour(this, colour_);
    if (!picked)
        return;
    bool allowed = true;
    emit queryChange(colour_, tag_, &allowed);
    if (!allowed)
        return;
    SetColour(*picked);
    emit colourChanged(colour_, tag_);
}

}  // namespace zorvan
