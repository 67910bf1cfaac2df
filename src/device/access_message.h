#pragma once
// What the user is told when interfaces of the mouse's ids exist but this user may not open
// them: which nodes, why, and what to do. The window and `zorvanctl list` show the same text.
#include <QString>

#include <string>
#include <vector>

namespace zorvan {

// `nodes`: the device nodes that could not be opened (/dev/hidrawN); at least one.
QString AccessDeniedMessage(const std::vector<std::string>& nodes);

}  // namespace zorvan
