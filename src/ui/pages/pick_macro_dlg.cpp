#include "ui/pages/pick_macro_dlg.h"

namespace zorvan {

// The picker arrives with the macro page; until then it answers as cancelled.
std::optional<int> CPickMacroDlg::Pick(QWidget*, const PageContext&)
{
    return std::nullopt;
}

}  // namespace zorvan
