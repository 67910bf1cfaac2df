#pragma once
// The key page's pictures: the page, its function menu and a second level open, the
// combination capture, the fire key dialog and the debounce question.
#include <QImage>
#include <QString>

#include <functional>

namespace zorvan {

class CZorvanDlg;

// Each picture goes to `save` as "<prefix><name>"; the window is left on the key page.
void ShootKeyPage(CZorvanDlg& window, const QString& prefix,
                  const std::function<void(const QImage&, const QString&)>& save);

}  // namespace zorvan
