#include "ui/controls/button_factory.h"

#include "app/configuration.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_ops.h"
#include "skin/skin_loader.h"
#include "ui/controls/png_btn.h"

namespace zorvan {
namespace {

CPngBtn* MakeFromFiles(SkinLoader loader, QWidget* parent, const SkinButtonSpec& look)
{
    const auto pictures = LoadSkinPictures(loader, {look.normal, look.hover, look.down});
    if (!pictures)
        return nullptr;
    const QImage& normal = (*pictures)[0];
    auto* button = new CPngBtn(parent);
    // In 4K mode the control takes the caller's rectangle, doubled with everything else.
    const QSize size = IsFourK() ? look.rect.size() * 2 : SkinSize(normal);
    button->setGeometry(QRect(Scaled(look.rect).topLeft(), size));
    button->SetPictures(normal, (*pictures)[1], (*pictures)[2]);
    button->SetToggleMode(look.toggle);
    button->SetText(look.caption);
    if (look.tip)
        button->SetTip(look.caption);
    if (!look.parentPicture.isNull())
        button->SetBackground(PictureArea(look.parentPicture, button->geometry()));
    ApplySkinDefaults(button);
    return button;
}

}  // namespace

void ApplySkinDefaults(CPngBtn* button)
{
    const AppOptions& o = Options();
    button->SetTextColours(o.Btn_txt_clr_ov, o.Btn_txt_clr_nr, o.Btn_txt_clr_dn);
    if (auto font = ApplicationFont())
        button->SetTextFont(*font);
    button->SetDebugFrame(o.UIDebug != 0);
}

CPngBtn* NewSmallPngButton(QWidget* parent, const SkinButtonSpec& look)
{
    return MakeFromFiles(SkinLoader::kPngButton, parent, look);
}

CPngBtn* NewSmallPngButton3(QWidget* parent, const SkinButtonSpec& look)
{
    return MakeFromFiles(SkinLoader::kPngButton3, parent, look);
}

CPngBtn* NewTextButton(QWidget* parent, const QRect& rect, const QImage& normal, const QImage& hover,
                       const QImage& down, const QString& caption)
{
    auto* button = new CPngBtn(parent);
    const QRect area = Scaled(rect);
    button->setGeometry(area);
    button->SetPictures(CropPicture(normal, area), CropPicture(hover, area), CropPicture(down, area));
    button->SetText(caption);
    ApplySkinDefaults(button);
    return button;
}

}  // namespace zorvan
