#pragma once
// The function menu of a key as the pop-up list shows it, and where it opens below the key's
// button.
#include "profile/key_menu.h"
#include "ui/pages/menu_dlg.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace zorvan {

// The first-level rows in order; a group row carries the entries of its second level (a group
// without entries is left out).
std::vector<MenuEntry> KeyMenuForPopup(const std::vector<KeyMenuEntry>& entries);

struct MenuPlace {
    QPoint topLeft;
    int width = 0;
};

// `button`: the key button on the screen. A button narrower than `menuWidth` (when not 0)
// gives a rectangle widened on both sides by half the difference. The menu opens below it,
// or upwards (`expectedHeight` above its top) when its bottom plus `expectedHeight` passes
// `workAreaBottom` (the first line below the screen's work area); it is 4 narrower than the
// rectangle.
MenuPlace KeyMenuPlace(const QRect& button, int menuWidth, int expectedHeight, int workAreaBottom);

}  // namespace zorvan
