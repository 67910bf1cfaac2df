#pragma once
// The colours of the default skin: dark surfaces, light text and one accent. The text colours
// of data/cfg.ini match these.
#include <QColor>

namespace skin {

inline const QColor kMaskKey(0, 255, 0);        // clrMask / clrMaskDialog: cut out of windows
inline const QColor kWindow(17, 20, 25);        // window body
inline const QColor kHeader(22, 26, 33);        // header band
inline const QColor kPage(20, 23, 29);          // page area
inline const QColor kPanel(27, 31, 39);         // cards on the pages
inline const QColor kPanelBorder(42, 48, 59);
inline const QColor kControl(31, 36, 45);       // buttons, combos
inline const QColor kControlBorder(52, 60, 74);
inline const QColor kControlHover(38, 45, 57);
inline const QColor kTrack(44, 50, 62);         // slider tracks
inline const QColor kText(222, 226, 232);
inline const QColor kMuted(128, 137, 150);
inline const QColor kAccent(0, 190, 255);
inline const QColor kAccentDeep(0, 120, 170);
inline const QColor kDanger(240, 80, 80);
inline const QColor kMouseBody(36, 40, 48);
inline const QColor kMouseEdge(70, 78, 92);

inline QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

}  // namespace skin
