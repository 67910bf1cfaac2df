#include "ui/pages/menu_dlg.h"

#include "app/message_box.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_ops.h"
#include "skin/picture_cache.h"
#include "skin/skin_files.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace zorvan {
namespace {

struct RowPictures {
    QImage normal, hover, groupNormal, groupHover;  // at the skin's scale when loaded
    int rowHeight = 0;                              // normal-size skin pixels
};

RowPictures& Pictures()
{
    static RowPictures pictures;
    return pictures;
}

constexpr Qt::WindowFlags kListFlags = Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;

int AvailableHeight(const QWidget* near)
{
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : INT_MAX;
}

}  // namespace

QPointer<CMenuDlg> CMenuDlg::open_;
bool CMenuDlg::building_ = false;

void CMenuDlg::LoadPictures()
{
    RowPictures& p = Pictures();
    const double scale = SkinScale();
    p.normal = LoadPicture(SkinFile(QStringLiteral("menu_nr.png")), scale);
    p.hover = LoadPicture(SkinFile(QStringLiteral("menu_ov.png")), scale);
    p.groupNormal = LoadPicture(SkinFile(QStringLiteral("menusub_nr.png")), scale);
    p.groupHover = LoadPicture(SkinFile(QStringLiteral("menusub_ov.png")), scale);
    p.rowHeight = int(SkinSize(p.normal).height() / scale);
}

void CMenuDlg::ReleasePictures()
{
    Pictures() = RowPictures{};
}

int CMenuDlg::RowHeight()
{
    return Scaled(Pictures().rowHeight);
}

int CMenuDlg::RowsThatFit(int screenHeight)
{
    const int row = RowHeight();
    return row > 0 ? std::max((screenHeight - 2) / row, 1) : INT_MAX;
}

CMenuDlg::CMenuDlg(QWidget* owner, Qt::WindowFlags flags, std::vector<MenuEntry> entries, int32_t textColour,
                   int32_t hoverColour)
    : QWidget(owner, flags), entries_(std::move(entries)), textColour_(textColour), hoverColour_(hoverColour)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFont(WindowFont(Scaled(14), 400));
}

CMenuDlg* CMenuDlg::Open(QWidget* owner, std::vector<MenuEntry> entries, int width, const QPoint& topLeft,
                         int32_t textColour, int32_t hoverColour)
{
    CloseOpen();
    building_ = true;
    auto* menu = new CMenuDlg(owner, Qt::Popup | kListFlags, std::move(entries), textColour, hoverColour);
    if (RowHeight() == 0)
        ShowMessage(QStringLiteral("Warring"), QStringLiteral("Menu item height is 0"));
    menu->visibleRows_ = std::min(menu->RowCount(), RowsThatFit(AvailableHeight(owner)));
    menu->setGeometry(QRect(topLeft, QSize(width, menu->visibleRows_ * RowHeight() + 2)));
    open_ = menu;
    menu->show();
    building_ = false;
    return menu;
}

void CMenuDlg::CloseOpen()
{
    if (building_ || !open_)
        return;
    open_->close();
    open_ = nullptr;
}

CMenuDlg* CMenuDlg::Current()
{
    return open_.data();
}

int CMenuDlg::VisibleRows() const
{
    return visibleRows_;
}

QRect CMenuDlg::RowRect(int row) const
{
    if (row < firstRow_ || row >= firstRow_ + visibleRows_)
        return {};
    return QRect(0, 1 + (row - firstRow_) * RowHeight(), width(), RowHeight());
}

bool CMenuDlg::IsGroupRow(int row) const
{
    return row >= 0 && row < RowCount() && !entries_[size_t(row)].group.empty() && !FirstLevel();
}

int CMenuDlg::RowAt(const QPoint& pos) const
{
    for (int row = firstRow_; row < firstRow_ + visibleRows_; ++row)
        if (RowRect(row).contains(pos))
            return row;
    return -1;
}

void CMenuDlg::SetHoverRow(int row)
{
    if (row == hoverRow_)
        return;
    hoverRow_ = row;
    update();
    if (row >= 0 && row < RowCount()) {
        // Assistive tools read the hovered row as the list's description.
        setAccessibleDescription(entries_[size_t(row)].text);
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    // Off the rows (on the way to the second level, say) the second level stays open.
    if (row < 0)
        return;
    CloseSecondLevel();
    if (IsGroupRow(row))
        OpenSecondLevel(row);
}

void CMenuDlg::ScrollTo(int firstRow)
{
    firstRow = std::clamp(firstRow, 0, std::max(RowCount() - visibleRows_, 0));
    if (firstRow == firstRow_)
        return;
    firstRow_ = firstRow;
    CloseSecondLevel();
    hoverRow_ = -1;
    update();
}

void CMenuDlg::OpenSecondLevel(int row)
{
    // A window of its own beside this one; this list keeps the pointer and the keys and hands
    // what happens over the second level on to it.
    auto* second = new CMenuDlg(this, Qt::ToolTip | kListFlags, entries_[size_t(row)].group, textColour_, hoverColour_);
    const int rows = second->RowCount();
    second->visibleRows_ = std::min(rows, RowsThatFit(AvailableHeight(this)));
    // Its last row level with the group row: it extends upwards.
    const QPoint rowTop = mapToGlobal(RowRect(row).topLeft());
    const int top = rowTop.y() - 1 - (second->visibleRows_ - 1) * RowHeight();
    const int screenTop = screen() ? screen()->availableGeometry().top() : top;
    second->setGeometry(QRect(QPoint(mapToGlobal(QPoint(width(), 0)).x(), std::max(top, screenTop)),
                              QSize(width(), second->visibleRows_ * RowHeight() + 2)));
    second_ = second;
    keyboardInSecond_ = false;
    second->show();
}

void CMenuDlg::CloseSecondLevel()
{
    keyboardInSecond_ = false;
    if (second_)
        second_->close();
    second_ = nullptr;
}

CMenuDlg* CMenuDlg::SecondLevelAt(const QPointF& global) const
{
    return second_ && second_->geometry().contains(global.toPoint()) ? second_.data() : nullptr;
}

void CMenuDlg::Pick(int row)
{
    if (row < 0 || row >= RowCount() || IsGroupRow(row))
        return;
    const int32_t code = entries_[size_t(row)].code;
    // A second level reports through the list it belongs to.
    CMenuDlg* reporter = FirstLevel() ? FirstLevel() : this;
    QPointer<CMenuDlg> guard(reporter);
    emit reporter->picked(code);
    if (guard)
        guard->close();
}

void CMenuDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const RowPictures& p = Pictures();
    if (p.normal.isNull())
        painter.fillRect(rect(), QColor::fromRgb(kBackgroundColour));
    for (int row = firstRow_; row < firstRow_ + visibleRows_; ++row) {
        const QRect area = RowRect(row);
        const bool hovered = row == hoverRow_;
        if (!p.normal.isNull()) {
            const QImage& picture = IsGroupRow(row) ? (hovered ? p.groupHover : p.groupNormal) : (hovered ? p.hover : p.normal);
            if (!picture.isNull())
                painter.drawImage(area, picture);
        } else if (hovered) {
            painter.fillRect(area, QColor::fromRgb(kHoverFillColour));
        }
        painter.setPen(ColourOf(hovered ? hoverColour_ : textColour_));
        const QString text = painter.fontMetrics().elidedText(entries_[size_t(row)].text, Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter.setPen(QColor::fromRgb(kFrameColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CMenuDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (CMenuDlg* second = SecondLevelAt(event->globalPosition())) {
        second->SetHoverRow(second->RowAt(second->mapFromGlobal(event->globalPosition()).toPoint()));
        return;
    }
    if (second_)
        second_->SetHoverRow(-1);
    SetHoverRow(RowAt(event->position().toPoint()));
}

void CMenuDlg::mousePressEvent(QMouseEvent* event)
{
    // A press on the second level is no press outside the list (which would close it).
    if (SecondLevelAt(event->globalPosition())) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CMenuDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (CMenuDlg* second = SecondLevelAt(event->globalPosition())) {
        second->Pick(second->RowAt(second->mapFromGlobal(event->globalPosition()).toPoint()));
        return;
    }
    // A group row opens its second level on hover; releasing on it picks nothing.
    Pick(RowAt(event->position().toPoint()));
}

void CMenuDlg::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        ScrollTo(firstRow_ - steps);
    event->accept();
}

void CMenuDlg::MoveHover(int step)
{
    if (RowCount() == 0)
        return;
    const int row = hoverRow_ < 0 ? (step > 0 ? 0 : RowCount() - 1) : std::clamp(hoverRow_ + step, 0, RowCount() - 1);
    if (row < firstRow_)
        ScrollTo(row);
    else if (row >= firstRow_ + visibleRows_)
        ScrollTo(row - visibleRows_ + 1);
    SetHoverRow(row);
}

void CMenuDlg::keyPressEvent(QKeyEvent* event)
{
    CMenuDlg* target = keyboardInSecond_ && second_ ? second_.data() : this;
    switch (event->key()) {
    case Qt::Key_Up:
        target->MoveHover(-1);
        break;
    case Qt::Key_Down:
        target->MoveHover(1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (target == this && IsGroupRow(hoverRow_) && second_) {
            keyboardInSecond_ = true;
            second_->MoveHover(1);
        } else if (event->key() != Qt::Key_Right) {
            target->Pick(target->hoverRow_);
        }
        break;
    case Qt::Key_Left:
        if (target != this) {
            keyboardInSecond_ = false;
            second_->SetHoverRow(-1);
        }
        break;
    case Qt::Key_F1:
        break;
    default:
        QWidget::keyPressEvent(event);  // Esc closes the list
        return;
    }
    event->accept();
}

void CMenuDlg::leaveEvent(QEvent*)
{
    if (!second_)
        SetHoverRow(-1);
}

}  // namespace zorvan
