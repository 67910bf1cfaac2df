#pragma once
// The pages of the main window: each with its navigation entry and the factory that builds it
// when it is first shown. A page is added here, not in the main window.
#include "ui/pages/page_context.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace zorvan {

class PageWidget;

struct PageEntry {
    int page;              // a Page
    const char* titleKey;  // the page's title, also its navigation button's tooltip
    // Builds the page as a hidden child of `parent`, in the context's page area.
    std::function<PageWidget*(const PageContext& context, QWidget* parent)> make;
};

// In the order of the navigation buttons (button n shows "navi<n>_nr.png", "navi<n>_dn.png").
std::vector<PageEntry> StandardPages();

}  // namespace zorvan
