#include "ui/controls/png_slider.h"

#include "skin/picture_ops.h"
#include "ui/controls/png_slider_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace zorvan {

CPngSlider::CPngSlider(SliderBarBase* bar, int number) : QWidget(bar), bar_(bar), number_(number)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void CPngSlider::SetPicture(const QImage& picture)
{
    picture_ = picture;
    if (picture.isNull()) {
        hide();
        return;
    }
    resize(SkinSize(picture));
    Place();
    update();
}

void CPngSlider::SetThumbOffset(int y)
{
    thumbOffset_ = y;
    Place();
}

void CPngSlider::Place()
{
    move(model_.CentreOf(model_.Position(), bar_->Length()) - width() / 2, thumbOffset_);
}

int CPngSlider::ReleasePosition(int) const
{
    return model_.PositionAt(Centre(), bar_->Length());
}

int CPngHSliderEx::ReleasePosition(int pointerX) const
{
    return Model().PositionAt(pointerX, parentWidget()->width());
}

void CPngSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
    if (keyboardFocus_ && hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void CPngSlider::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || bar_->Disabled())
        return;
    keyboardFocus_ = false;
    if (!bar_->AskChange(*this, Value()))
        return;
    if (!draggable_)
        return;
    dragging_ = true;
    grabOffset_ = mapToParent(event->position().toPoint()).x() - Centre();
    valueAtPress_ = lastLive_ = Value();
    positionAtPress_ = model_.Position();
}

void CPngSlider::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!dragging_)
        return;
    // Kept inside the bar.
    const int half = width() / 2;
    const int length = bar_->Length();
    const int centre = std::clamp(mapToParent(event->position().toPoint()).x() - grabOffset_, half,
                                  std::max(half, length - (width() - half)));
    if (centre == Centre())
        return;
    move(centre - half, y());
    bar_->FollowThumb(*this);
    if (liveNotify_) {
        const int value = model_.ValueAt(model_.PositionAt(centre, length));
        if (value != lastLive_) {
            lastLive_ = value;
            bar_->ReportLive(*this, value);
        }
    }
}

void CPngSlider::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    const int position = ReleasePosition(mapToParent(event->position().toPoint()).x());
    if (ReleaseOnSamePositionIgnored() && position == positionAtPress_) {
        Place();
        bar_->FollowThumb(*this);
        return;
    }
    bar_->FinishUserMove(*this, position, valueAtPress_);
}

void CPngSlider::keyPressEvent(QKeyEvent* event)
{
    const int position = model_.Position();
    const int page = std::max(1, (model_.Maximum() - model_.Minimum() + 1) / 10);
    int target = position;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: target = position - 1; break;
    case Qt::Key_Right:
    case Qt::Key_Up: target = position + 1; break;
    case Qt::Key_PageUp: target = position + page; break;
    case Qt::Key_PageDown: target = position - page; break;
    case Qt::Key_Home: target = model_.Minimum(); break;
    case Qt::Key_End: target = model_.Maximum(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
    target = std::clamp(target, model_.Minimum(), model_.Maximum());
    if (target != position && !dragging_ && !bar_->Disabled())
        bar_->UserMove(*this, target);
}

void CPngSlider::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void CPngSlider::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace zorvan
