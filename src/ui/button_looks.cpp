#include "ui/button_looks.h"

#include "skin/skin_files.h"
#include "skin/skin_loader.h"
#include "ui/controls/png_btn.h"

#include <QFileInfo>
#include <QPainter>

namespace zorvan {
namespace {

QImage Tinted(const QImage& normal, QColor tint)
{
    QImage look = normal.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&look);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(look.rect(), tint);
    return look;
}

// "min_nr.png" → "min_ov.png" and the like.
QString StateFile(const QString& normalFile, const char* suffix)
{
    QString file = normalFile;
    return file.replace(QStringLiteral("_nr."), QLatin1String(suffix) + QStringLiteral("."));
}

}  // namespace

QImage HoverLook(const QImage& normal)
{
    return Tinted(normal, QColor(255, 255, 255, 70));
}

QImage PressedLook(const QImage& normal)
{
    return Tinted(normal, QColor(0, 0, 0, 90));
}

void GiveStateLooks(CPngBtn* button, const QString& normalFile)
{
    const QString hoverFile = StateFile(normalFile, "_ov");
    const QString downFile = StateFile(normalFile, "_dn");
    if (hoverFile != normalFile && QFileInfo::exists(SkinFile(hoverFile)) && QFileInfo::exists(SkinFile(downFile))) {
        if (const auto own = LoadSkinPictures(SkinLoader::kPngButton, {normalFile, hoverFile, downFile})) {
            button->SetPictures((*own)[0], (*own)[1], (*own)[2]);
            button->SetPressedPicture((*own)[2]);
            return;
        }
    }
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {normalFile});
    if (!pictures)
        return;
    const QImage& normal = (*pictures)[0];
    const QImage pressed = PressedLook(normal);
    button->SetPictures(normal, HoverLook(normal), pressed);
    button->SetPressedPicture(pressed);
}

}  // namespace zorvan
