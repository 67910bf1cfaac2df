#include "ui/controls/color_btn.h"

#include "skin/colour.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace zorvan {
namespace {

ColourChooser& Chooser()
{
    static ColourChooser chooser;
    return chooser;
}

int32_t ColourValue(const QColor& colour)
{
    return int32_t(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

}  // namespace

std::optional<int32_t> ChooseColour(QWidget* parent, int32_t colour)
{
    if (Chooser())
        return Chooser()(parent, colour);
    const QColor picked = QColorDialog::getColor(ColourOf(colour), parent);
    if (!picked.isValid())
        return std::nullopt;
    return ColourValue(picked);
}

ColourChooser SetColourChooser(ColourChooser chooser)
{
    return std::exchange(Chooser(), std::move(chooser));
}

CColorBtnDlg::CColorBtnDlg(QWidget* parent) : QWidget(parent) {}

void CColorBtnDlg::SetColour(int32_t colour)
{
    colour_ = colour & 0xFFFFFF;
    update();
}

void CColorBtnDlg::SetFramed(bool on)
{
    framed_ = on;
    update();
}

void CColorBtnDlg::SetFrameColour(int32_t colour)
{
    frameColour_ = colour;
    update();
}

void CColorBtnDlg::SetImage(const QImage& image)
{
    image_ = image;
    update();
}

void CColorBtnDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!image_.isNull())
        painter.drawImage(QPoint(0, 0), image_);
    else
        painter.fillRect(rect().adjusted(2, 2, -2, -2), ColourOf(colour_));
    if (framed_) {
        painter.setPen(ColourOf(frameColour_));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CColorBtnDlg::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit pressed(!framed_, tag_);
}

void CColorBtnDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !dialogEnabled_)
        return;
    const std::optional<int32_t> picked = ChooseColour(this, colour_);
    if (!picked)
        return;
    SetColour(*picked);
    emit colourChanged(colour_, tag_);
}

}  // namespace zorvan
