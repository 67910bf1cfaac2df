#pragma once
// The loaders that make skinned buttons from skin files (NewSmallPngButton,
// NewSmallPngButton3) or from pictures already loaded (NewTextButton). A missing picture is
// reported once and no button is made; the screen goes on without it.
#include <QImage>
#include <QRect>
#include <QString>

class QWidget;

namespace zorvan {

class CPngBtn;

struct SkinButtonSpec {
    QRect rect;            // in the parent, normal-size skin pixels (doubled in 4K mode)
    QString normal;        // file names in the skins folder
    QString hover;
    QString down;
    QString caption;
    bool toggle = false;   // check box or radio button
    bool tip = false;      // the caption is also the tooltip (the pages pass BtnTips)
    QImage parentPicture;  // the parent's background as drawn: the button gets the piece under it
};

// Push buttons and page buttons; "NewSmallPngButton. file %s not exist" when a picture is missing.
CPngBtn* NewSmallPngButton(QWidget* parent, const SkinButtonSpec& look);
// Check boxes and radio buttons; "NewSmallPngButton3. file %s not exist".
CPngBtn* NewSmallPngButton3(QWidget* parent, const SkinButtonSpec& look);
// A button drawn from pictures already loaded (as drawn in the parent), cut at `rect` (doubled
// in 4K mode); the parent's background makes an invisible hot area with a caption.
CPngBtn* NewTextButton(QWidget* parent, const QRect& rect, const QImage& normal, const QImage& hover,
                       const QImage& down, const QString& caption);

// Gives `button` the caption colours, font, tooltip switch and debug frame of the options.
void ApplySkinDefaults(CPngBtn* button);

}  // namespace zorvan
