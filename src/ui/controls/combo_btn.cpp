#include "ui/controls/combo_btn.h"

#include "app/configuration.h"
#include "ui/pages/menu_dlg.h"

#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace zorvan {

CComboBtn::CComboBtn(QWidget* parent) : CPngBtn(parent)
{
    SetTag(-1);
}

void CComboBtn::AddItem(int list, int32_t value, const QString& text)
{
    lists_[size_t(list)].push_back(Item{value, text.left(kMaxTextLength)});
}

void CComboBtn::ClearItems(int list)
{
    lists_[size_t(list)].clear();
    if (list == active_)
        SelectIndex(-1);
}

void CComboBtn::SetActiveList(int list)
{
    active_ = std::clamp(list, 0, 3);
}

void CComboBtn::SelectIndex(int index)
{
    if (index < 0 || index >= int(Active().size())) {
        selected_ = -1;
        SetTag(-1);
        SetText(QString());
        return;
    }
    selected_ = index;
    SetTag(Active()[size_t(index)].value);
    SetText(Active()[size_t(index)].text);
}

bool CComboBtn::SelectValue(int32_t value)
{
    const int shown = std::min(int(Active().size()), kMaxShown);
    for (int i = 0; i < shown; ++i) {
        if (Active()[size_t(i)].value == value) {
            SelectIndex(i);
            return true;
        }
    }
    return false;
}

QRect CComboBtn::ListRect() const
{
    const int rows = std::min(int(Active().size()), kMaxShown);
    const int height = rows * CMenuDlg::RowHeight() + 2;
    const int width = listWidth_ > 0 ? listWidth_ : this->width();
    const QPoint top = mapToGlobal(QPoint(0, 0));
    const QPoint bottom = mapToGlobal(QPoint(0, this->height()));
    if (placement_ == Placement::kCentred)
        return QRect(QPoint(top.x(), top.y() - height / 2), QSize(width, height));
    const QScreen* screen = this->screen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    if (screenHeight > 0 && bottom.y() + height > screenHeight)
        return QRect(QPoint(top.x(), top.y() - height), QSize(width, height));
    return QRect(bottom, QSize(width, height));
}

void CComboBtn::OpenList()
{
    if (CMenuDlg::Current()) {
        CMenuDlg::CloseOpen();
        return;
    }
    if ((lock_ && *lock_ != 0) || Active().empty())
        return;
    std::vector<MenuEntry> entries;
    const int shown = std::min(int(Active().size()), kMaxShown);
    for (int i = 0; i < shown; ++i)
        entries.push_back(MenuEntry{Active()[size_t(i)].text, Active()[size_t(i)].value});
    const QRect area = ListRect();
    CMenuDlg* menu = CMenuDlg::Open(this, entries, area.width(), area.topLeft(), Options().Menu_txt_clr_nr,
                                    Options().Menu_txt_clr_ov, -1);
    connect(menu, &CMenuDlg::picked, this, [this](int32_t code, int) { Choose(code); });
}

void CComboBtn::Choose(int32_t value)
{
    CMenuDlg::CloseOpen();
    if (accept_ && !accept_())
        return;
    if (ignoreReselection_ && value == SelectedValue())
        return;
    if (!SelectValue(value))
        return;
    emit clicked(false);
}

void CComboBtn::mousePressEvent(QMouseEvent* event)
{
    // Presses are swallowed: a combo button never toggles and opens on release.
    event->accept();
}

void CComboBtn::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void CComboBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !Disabled() && rect().contains(event->position().toPoint()))
        OpenList();
    event->accept();
}

}  // namespace zorvan
