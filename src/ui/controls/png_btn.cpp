#include "ui/controls/png_btn.h"

#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_ops.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zorvan {

CPngBtn::CPngBtn(QWidget* parent) : QAbstractButton(parent)
{
    setFont(ShellFont(Scaled(14), 400));
    setMouseTracking(true);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
}

void CPngBtn::SetPictures(const QImage& normal, const QImage& hover, const QImage& down)
{
    normalImage_ = normal;
    hoverImage_ = hover;
    downImage_ = down;
    update();
}

void CPngBtn::SetBackground(const QImage& piece)
{
    background_ = piece;
    update();
}

void CPngBtn::SetIcon(const QImage& icon, int x)
{
    icon_ = icon;
    iconX_ = x;
    update();
}

void CPngBtn::SetText(const QString& text, int leftPadding, int flags)
{
    setText(text);
    textPadding_ = leftPadding;
    textFlags_ = flags;
    update();
}

void CPngBtn::SetTextColours(int32_t hover, int32_t normal, int32_t down)
{
    colourHover_ = hover;
    colourNormal_ = normal;
    colourDown_ = down;
    update();
}

void CPngBtn::SetTextFont(const QFont& font)
{
    setFont(font);
    update();
}

void CPngBtn::SetToggleMode(bool toggle, bool toggleOnClick)
{
    toggle_ = toggle;
    toggleOnClick_ = toggleOnClick;
    update();
}

void CPngBtn::SetDisabled(bool disabled)
{
    if (disabled_ == disabled)
        return;
    disabled_ = disabled;
    // Out of the focus chain too, so neither Tab nor a group's arrow keys reach it.
    setFocusPolicy(disabled ? Qt::NoFocus : Qt::StrongFocus);
    if (disabled) {
        setDown(false);
        clearFocus();
    }
    update();
}

void CPngBtn::nextCheckState()
{
    if (toggle_ && (toggleOnClick_ || group()))
        QAbstractButton::nextCheckState();
}

CPngBtn::Look CPngBtn::CurrentLook() const
{
    const bool platformDisabled = !isEnabled();
    const QImage* resting = platformDisabled && !disabledImage_.isNull() ? &disabledImage_ : &normalImage_;
    if (toggle_) {
        if (isChecked())
            return platformDisabled ? Look{resting, colourNormal_} : Look{&downImage_, colourDown_};
        if (hover_)
            return {&hoverImage_, colourHover_};
        if (isDown() && !pressedImage_.isNull() && !platformDisabled)
            return {&pressedImage_, colourNormal_};
        return {resting, colourNormal_};
    }
    if (isChecked() || isDown())
        return {&downImage_, colourDown_};
    if (hover_)
        return {&hoverImage_, colourHover_};
    return {resting, colourNormal_};
}

void CPngBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!clip_.isEmpty())
        painter.setClipRegion(clip_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect all = rect();
    if (!background_.isNull())
        painter.drawImage(all, background_);
    const Look look = CurrentLook();
    if (look.picture && !look.picture->isNull())
        painter.drawImage(all, *look.picture);
    const bool shifted = pressOffset_ && isDown();
    if (!icon_.isNull()) {
        const QPoint at(iconX_ - (shifted ? 1 : 0), (height() - SkinSize(icon_).height()) / 2 + (shifted ? 1 : 0));
        painter.drawImage(at, icon_);
    }
    if (!text().isEmpty()) {
        QRect area = textRect_.value_or(all);
        if (textPadding_ >= 1)
            area.setLeft(area.left() + textPadding_);
        if (shifted)
            area.translate(-1, 1);
        int flags = textFlags_;
        if (flags == 0)
            flags = Qt::AlignVCenter | Qt::TextSingleLine | (textPadding_ < 1 ? Qt::AlignHCenter : Qt::AlignLeft);
        painter.setPen(ColourOf(look.colour));
        painter.setFont(font());
        const QString shown = (flags & Qt::TextWordWrap) ? text() : painter.fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        painter.drawText(area, flags, shown);
    }
    if (disabled_)
        painter.fillRect(all, QColor::fromRgba(kDisabledOverlay));
    if (keyboardFocus_ && hasFocus()) {
        painter.setPen(QPen(ColourOf(colourHover_), 1, Qt::DotLine));
        painter.drawRect(all.adjusted(1, 1, -2, -2));
    }
    if (debugFrame_) {
        painter.setPen(Qt::red);
        painter.drawRect(all.adjusted(0, 0, -1, -1));
    }
}

void CPngBtn::enterEvent(QEnterEvent* event)
{
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CPngBtn::leaveEvent(QEvent* event)
{
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CPngBtn::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void CPngBtn::mousePressEvent(QMouseEvent* event)
{
    if (disabled_) {
        event->accept();
        return;
    }
    keyboardFocus_ = false;
    QAbstractButton::mousePressEvent(event);
}

void CPngBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (disabled_) {
        event->accept();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CPngBtn::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (disabled_) {
        event->accept();
        return;
    }
    if (doubleClickNotify_ && event->button() == Qt::LeftButton) {
        emit doubleClickedTag(tag_);
        event->accept();
        return;
    }
    // A double click is a second click for buttons that do not report it.
    QAbstractButton::mousePressEvent(event);
}

void CPngBtn::keyPressEvent(QKeyEvent* event)
{
    if (disabled_) {
        event->ignore();
        return;
    }
    const int key = event->key();
    if (group() && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        MoveInGroup(key == Qt::Key_Right || key == Qt::Key_Down ? 1 : -1);
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void CPngBtn::MoveInGroup(int step)
{
    // Along the group's order, past the buttons that cannot take the focus. Qt's own search
    // knows nothing of the disabled overlay, so it would land on such buttons.
    const QList<QAbstractButton*> buttons = group()->buttons();
    for (qsizetype i = buttons.indexOf(this) + step; i >= 0 && i < buttons.size(); i += step) {
        auto* next = qobject_cast<CPngBtn*>(buttons[i]);
        if (!next || next->disabled_ || !next->isEnabled() || !next->isVisible())
            continue;
        if (group()->exclusive() && isChecked())
            next->click();
        next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

void CPngBtn::keyReleaseEvent(QKeyEvent* event)
{
    if (disabled_) {
        event->ignore();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

bool CPngBtn::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

}  // namespace zorvan
