#pragma once
// What the main window gives each of its pages: the device session (the mouse's state, its
// news and the one path for changes), the current device, the options, the texts, the page
// area and title font, and the main window's own operations a page may ask for.
#include "app/app_options.h"
#include "app/device_description.h"
#include "text/language_texts.h"
#include "ui/device_port.h"

#include <QFont>
#include <QRect>

#include <functional>
#include <string_view>

namespace zorvan {

// The pages of the main window, by the number the navigation uses.
enum Page : int { kKeyPage = 1, kMacroPage = 2, kDpiPage = 3, kLightingPage = 4 };

struct PageContext {
    DevicePort& port;
    const AppOptions& options;
    const LanguageTexts& texts;
    // Where the pages sit in the window, and the font of their titles.
    QRect area;
    QFont titleFont;
    // The main window's operations: show another page (not when the current one refuses to be
    // left), restore defaults (asks first), export and import the current profile (ask for
    // the file).
    std::function<void(int page)> switchPage;
    std::function<void()> restoreDefaults;
    std::function<void()> exportProfile;
    std::function<void()> importProfile;
    // The macro library changed (a macro renamed, deleted or saved): every built page shows
    // the profile again, so key names follow.
    std::function<void()> macrosChanged;

    // The model the pages are laid out for, or null.
    const DeviceDescription* Device() const { return port.CurrentDevice(); }
    QString Text(std::string_view key) const { return texts.Text(key); }
};

}  // namespace zorvan
