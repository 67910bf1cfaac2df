#include "ui/pages/menu_dlg.h"

#include "app/message_box.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan {
namespace {

struct RowPictures {
    QImage normal, hover, groupNormal, groupHover;
};

RowPictures& Pictures()
{
    static RowPictures pictures;
    return pictures;
}

}  // namespace

QPointer<CMenuDlg> CMenuDlg::open_;
bool CMenuDlg::building_ = false;

void CMenuDlg::LoadPictures()
{
    RowPictures& p = Pictures();
    p.normal = LoadPicture(SkinFile(QStringLiteral("menu_nr.png")));
    p.hover = LoadPicture(SkinFile(QStringLiteral("menu_ov.png")));
    p.groupNormal = LoadPicture(SkinFile(QStringLiteral("menusub_nr.png")));
    p.groupHover = LoadPicture(SkinFile(QStringLiteral("menusub_ov.png")));
}

void CMenuDlg::ReleasePictures()
{
    Pictures() = RowPictures{};
}

int CMenuDlg::RowHeight()
{
    return Scaled(Pictures().normal.height());
}

CMenuDlg::CMenuDlg(QWidget* owner, const std::vector<MenuEntry>& entries, int32_t textColour, int32_t hoverColour,
                   int keyIndex)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      textColour_(textColour),
      hoverColour_(hoverColour),
      keyIndex_(keyIndex)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFont(WindowFont(Scaled(14), 400));
    if (entries.size() <= size_t(kMaxEntries))
        entries_ = entries;
}

CMenuDlg* CMenuDlg::Open(QWidget* owner, const std::vector<MenuEntry>& entries, int width, const QPoint& topLeft,
                         int32_t textColour, int32_t hoverColour, int keyIndex)
{
    CloseOpen();
    building_ = true;
    auto* menu = new CMenuDlg(owner, entries, textColour, hoverColour, keyIndex);
    if (RowHeight() == 0)
        ShowMessage(QStringLiteral("Warring"), QStringLiteral("Menu item height is 0"));
    menu->setGeometry(QRect(topLeft, QSize(width, menu->RowCount() * RowHeight() + 2)));
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

QRect CMenuDlg::RowRect(int row) const
{
    return QRect(0, 1 + row * RowHeight(), width(), RowHeight());
}

int CMenuDlg::RowAt(const QPoint& pos) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (RowRect(row).contains(pos))
            return row;
    return -1;
}

void CMenuDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const RowPictures& p = Pictures();
    if (p.normal.isNull())
        painter.fillRect(rect(), QColor::fromRgb(kBackgroundColour));
    for (int row = 0; row < RowCount(); ++row) {
        const QRect area = RowRect(row);
        const bool hovered = row == hoverRow_;
        if (!p.normal.isNull())
            painter.drawImage(area, hovered && !p.hover.isNull() ? p.hover : p.normal);
        else if (hovered)
            painter.fillRect(area, QColor::fromRgb(kHoverFillColour));
        painter.setPen(ColourOf(hovered ? hoverColour_ : textColour_));
        const QString text = painter.fontMetrics().elidedText(entries_[size_t(row)].text, Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter.setPen(QColor::fromRgb(kFrameColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CMenuDlg::mouseMoveEvent(QMouseEvent* event)
{
    const int row = RowAt(event->position().toPoint());
    if (row != hoverRow_) {
        hoverRow_ = row;
        update();
    }
}

void CMenuDlg::leaveEvent(QEvent*)
{
    hoverRow_ = -1;
    update();
}

void CMenuDlg::mouseReleaseEvent(QMouseEvent* event)
{
    const int row = RowAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    const int32_t code = entries_[size_t(row)].code;
    const int key = keyIndex_;
    QPointer<CMenuDlg> self(this);
    emit picked(code, key);
    if (self)
        close();
}

}  // namespace zorvan
