#include "ui/pages/page_registry.h"

#include "ui/pages/adv_dlg.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/led_dlg.h"
#include "ui/pages/macro_page.h"
#include "ui/pages/new_adv_dlg.h"

namespace zorvan {

std::vector<PageEntry> StandardPages()
{
    return {
        {kKeyPage, "tc_page1", [](const PageContext& context, QWidget* parent) -> PageWidget* { return new CKeyDlg(context, parent); }},
        {kDpiPage, "tc_page2",
         [](const PageContext& context, QWidget* parent) -> PageWidget* {
             if (context.options.OldAdvDlg != 0)
                 return new CAdvDlg(context, parent);
             return new CNewAdvDlg(context, parent);
         }},
        {kMacroPage, "tc_page3",
         [](const PageContext& context, QWidget* parent) -> PageWidget* { return new CMacroDlg(context, parent); }},
        {kLightingPage, "tc_page4",
         [](const PageContext& context, QWidget* parent) -> PageWidget* { return new CLedDlg(context, parent); }},
    };
}

}  // namespace zorvan
