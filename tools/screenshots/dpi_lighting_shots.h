#pragma once
// The screenshots of the DPI and lighting pages: dpi, dpi-xy, dpi-older, lighting-main,
// lighting-logo and colour-dialog, each as "<prefix><name>.png" through `shoot`.
#include <QString>

#include <functional>

class QWidget;

namespace zorvan {

using ShootFn = std::function<void(QWidget& widget, const QString& name)>;
void ShootDpiAndLighting(const QString& title, const ShootFn& shoot, const QString& prefix);

}  // namespace zorvan
