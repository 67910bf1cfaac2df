#include "ui/pages/page_registry.h"

#include "ui/pages/macro_page.h"
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
        Titled(kKeyPage, "tc_page1", "key_nr.png"),
        Titled(kDpiPage, "tc_page2", "adv_nr.png"),
        {kMacroPage, "tc_page3",
         [](const PageContext& context, QWidget* parent) -> PageWidget* { return new CMacroDlg(context, parent); }},
        Titled(kLightingPage, "tc_page4", "led_nr.png"),
    };
}

}  // namespace zorvan
