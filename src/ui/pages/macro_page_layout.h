#pragma once
// Where the macro page puts its controls, in page pixels of the normal-size skin, from the
// options (record button, option column, the two lists).
#include "app/app_options.h"

#include <QRect>

#include <array>

namespace zorvan {

struct MacroPageLayout {
    QRect record;
    QRect delayBox;
    std::array<QRect, 3> loop;  // by loop mode
    QRect repeat;
    QRect insert;
    QRect insertCaption;
    QRect save;
    QRect tree;
    QRect events;
    QRect treeCaption;
    QRect eventsCaption;
    QRect newButton, deleteButton, modifyButton, deleteEventButton;
};

MacroPageLayout LayOutMacroPage(const AppOptions& options);

}  // namespace zorvan
