#include "ui/controls/combo_btn.h"

#include "app/configuration.h"
#include "ui/pages/menu_dlg.h"

#include <QKeyEvent>
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
    const auto found = std::find_if(Active().begin(), Active().end(), [value](const Item& item) { return item.value == value; });
    if (found == Active().end())
        return false;
    SelectIndex(int(found - Active().begin()));
    return true;
}

QRect CComboBtn::ListRect() const
{
    const QScreen* screen = this->screen();
    const int available = screen ? screen->availableGeometry().height() : 0;
    const int rows = std::min(int(Active().size()), CMenuDlg::RowsThatFit(available));
    const int height = rows * CMenuDlg::RowHeight() + 2;
    const int width = listWidth_ > 0 ? listWidth_ : this->width();
    const QPoint top = mapToGlobal(QPoint(0, 0));
    const QPoint bottom = mapToGlobal(QPoint(0, this->height()));
    if (placement_ == Placement::kCentred)
        return QRect(QPoint(top.x(), top.y() - height / 2), QSize(width, height));
    const int screenHeight = screen ? screen->geometry().height() : 0;
    if (screenHeight > 0 && bottom.y() + height > screenHeight)
        return QRect(QPoint(top.x(), std::max(top.y() - height, 0)), QSize(width, height));
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
    entries.reserve(Active().size());
    for (const Item& item : Active())
        entries.push_back(MenuEntry{item.text, item.value, {}});
    const QRect area = ListRect();
    CMenuDlg* menu = CMenuDlg::Open(this, std::move(entries), area.width(), area.topLeft(), Options().Menu_txt_clr_nr,
                                    Options().Menu_txt_clr_ov);
    connect(menu, &CMenuDlg::picked, this, &CComboBtn::Choose);
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

void CComboBtn::keyPressEvent(QKeyEvent* event)
{
    if (Disabled()) {
        event->ignore();
        return;
    }
    const int key = event->key();
    const bool altDown = key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F4 || altDown) {
        OpenList();
    } else if ((key == Qt::Key_Up || key == Qt::Key_Down) && !Active().empty()) {
        const int step = key == Qt::Key_Up ? -1 : 1;
        const int index = std::clamp(selected_ < 0 ? 0 : selected_ + step, 0, int(Active().size()) - 1);
        if (index != selected_)
            Choose(Active()[size_t(index)].value);
    } else {
        CPngBtn::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CComboBtn::keyReleaseEvent(QKeyEvent* event)
{
    // The release of an opening key is no click.
    event->accept();
}

}  // namespace zorvan
