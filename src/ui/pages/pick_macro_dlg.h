#pragma once
// CPickMacroDlg: the macro picker the buttons page opens for the macro function.
#include "ui/pages/page_context.h"

#include <QWidget>

#include <optional>

namespace zorvan {

class CPickMacroDlg {
public:
    // The chosen macro's id (masked to 24 bits), -1 when the user asked for the macro editor,
    // nothing when cancelled.
    static std::optional<int> Pick(QWidget* parent, const PageContext& context);
};

}  // namespace zorvan
