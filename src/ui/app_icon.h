#pragma once
// The program's built-in icon, used when "appico.ico" cannot be loaded.
#include <QIcon>

namespace zorvan {

QIcon BuiltInIcon();

}  // namespace zorvan
