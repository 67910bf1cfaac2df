#include "ui/pages/page_registry.h"

#include "ui/pages/adv_dlg.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/led_dlg.h"
#include "ui/pages/new_adv_dlg.h"
#include "ui/pages/titled_page.h"

namespace zorvan {
namespace {

// A page that shows its background picture and its title.
PageEntry Titled(int page, const char* titleKey, const char* background)
{
    return {page, titleKey, [titleKey, background](const PageContext& context, QWidget* parent) -> PageWidget* {
                return new TitledPage(context, parent, QString::fromLatin1(background), titleKey);
            }};
}

}  // namespace

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
        Titled(kMacroPage, "tc_page3", "macro_nr.png"),
        {kLightingPage, "tc_page4",
         [](const PageContext& context, QWidget* parent) -> PageWidget* { return new CLedDlg(context, parent); }},
    };
}

}  // namespace zorvan
