#pragma once
// The macro page's pictures: macros.png (a folder tree two levels deep, a macro with every
// event kind), macro-recording.png, macro-menu.png (the tree's context menu), macro-rename.png
// (the name dialog), pick-macro.png (the macro picker) and move.png (the mouse-move dialog).
#include <QString>

#include <functional>

class QWidget;

namespace zorvan {
class CZorvanDlg;
class DevicePort;

using ShootWidget = std::function<void(QWidget& widget, const QString& name)>;

// Puts a few macros into the macro folder and the library the first time, then shoots the
// pictures as "<prefix><name>.png" and leaves the window on the macro page.
void ShootMacroPictures(CZorvanDlg& window, DevicePort& session, const QString& prefix, const ShootWidget& shoot);

}  // namespace zorvan
