#pragma once
// Controls the DPI and lighting pages make alike: check boxes and radio buttons whose state
// the page sets from the profile, selectors, caption-only labels, and where a control lies in
// page pixels of the normal-size skin.
#include <QRect>
#include <QString>

#include <cstdint>

class QWidget;

namespace zorvan {

class CComboBtn;
class CPngBtn;

// A check box or radio button from "<stem>_nr.png" and "<stem>_dn.png" at `rect`; a click does
// not change its state (the page shows the profile). Null when a picture is missing.
CPngBtn* MakeToggle(QWidget* parent, const QRect& rect, const QString& stem);
// A selector drawn from `picture` at `rect`. Null when the picture is missing.
CComboBtn* MakeCombo(QWidget* parent, const QRect& rect, const QString& picture);
// A button that is only its caption, in the given colours (red in the low byte).
CPngBtn* MakeTextLabel(QWidget* parent, int32_t normal, int32_t hover, int32_t down);

// Where `widget` lies in page pixels of the normal-size skin.
QRect SkinRect(const QWidget& widget);

}  // namespace zorvan
