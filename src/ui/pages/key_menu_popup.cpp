#include "ui/pages/key_menu_popup.h"

namespace zorvan {

std::vector<MenuEntry> KeyMenuForPopup(const std::vector<KeyMenuEntry>& entries)
{
    std::vector<MenuEntry> rows;
    std::vector<int> rowOfEntry(entries.size(), -1);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].parent != kMenuFirstLevel)
            continue;
        rowOfEntry[i] = int(rows.size());
        rows.push_back(MenuEntry{entries[i].text, int32_t(entries[i].code), {}});
    }
    for (const KeyMenuEntry& e : entries) {
        if (e.parent == kMenuFirstLevel || e.parent < 0 || size_t(e.parent) >= entries.size())
            continue;
        const int row = rowOfEntry[size_t(e.parent)];
        if (row >= 0)
            rows[size_t(row)].group.push_back(MenuEntry{e.text, int32_t(e.code), {}});
    }
    // A group with nothing to open (a sensor without any snipe value) is left out: its row
    // would pick the group's own code.
    std::vector<MenuEntry> shown;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int row = rowOfEntry[i];
        if (row >= 0 && !(entries[i].groupRow && rows[size_t(row)].group.empty()))
            shown.push_back(std::move(rows[size_t(row)]));
    }
    return shown;
}

MenuPlace KeyMenuPlace(const QRect& button, int menuWidth, int expectedHeight, int workAreaBottom)
{
    int left = button.left();
    int width = button.width();
    if (menuWidth > 0 && width < menuWidth) {
        const int half = (menuWidth - width) / 2;
        left -= half;
        width += 2 * half;
    }
    const int bottom = button.top() + button.height();
    const int top = bottom + expectedHeight > workAreaBottom ? button.top() - expectedHeight : bottom;
    return {QPoint(left, top), width - 4};
}

}  // namespace zorvan
