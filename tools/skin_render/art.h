#pragma once
// The groups of skin pictures, each written into the skins folder `dir` (ending with '/').
#include <QString>

namespace skin {

void RenderWindows(const QString& dir);     // key_nr, adv_nr, macro_nr, led_nr
void RenderTitleAndNavigation(const QString& dir);
void RenderControls(const QString& dir);    // buttons, boxes, combos, sliders, menus, key_time
void RenderDialogs(const QString& dir);     // msg_nr, msg2_nr, progress
void RenderIndicators(const QString& dir);  // power, numbers, macro icons, colour field
void RenderMice(const QString& dir);        // one folder per model
void RenderMacroArt(const QString& dir);    // buttons on macro_nr and msg2_nr (after those)
// appico.ico beside the programs and the desktop icon.
void RenderIcons(const QString& appDir);

}  // namespace skin
