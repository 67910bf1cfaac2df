#include "ui/pages/page_controls.h"

#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_loader.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/combo_btn.h"

namespace zorvan {

CPngBtn* MakeToggle(QWidget* parent, const QRect& rect, const QString& stem)
{
    const QString normal = stem + QStringLiteral("_nr.png");
    CPngBtn* button = NewSmallPngButton3(parent, {rect, normal, normal, stem + QStringLiteral("_dn.png")});
    if (button)
        button->SetToggleMode(true);
    return button;
}

CComboBtn* MakeCombo(QWidget* parent, const QRect& rect, const QString& picture)
{
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {picture});
    if (!pictures)
        return nullptr;
    auto* combo = new CComboBtn(parent);
    combo->setGeometry(Scaled(rect));
    const QImage& look = pictures->front();
    combo->SetPictures(look, look, look);
    ApplySkinDefaults(combo);
    combo->SetText(QString(), Scaled(8));
    return combo;
}

CPngBtn* MakeTextLabel(QWidget* parent, int32_t normal, int32_t hover, int32_t down)
{
    auto* button = new CPngBtn(parent);
    ApplySkinDefaults(button);
    button->SetTextColours(hover, normal, down);
    button->SetTextFont(WindowFont(Scaled(13), 400));
    return button;
}

QRect SkinRect(const QWidget& widget)
{
    const QRect r = widget.geometry();
    return IsFourK() ? QRect(r.topLeft() / 2, r.size() / 2) : r;
}

}  // namespace zorvan
