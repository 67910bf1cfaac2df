#pragma once
// What the user is told when the mouse is there but its hidraw nodes may not be opened.
#include <QString>

namespace zorvan {

QString DeviceAccessHint();

}  // namespace zorvan
