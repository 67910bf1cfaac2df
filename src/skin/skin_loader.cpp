#include "skin/skin_loader.h"

#include "app/message_box.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/skin_files.h"

namespace zorvan {
namespace {

const char* MissingFileFormat(SkinLoader loader)
{
    switch (loader) {
    case SkinLoader::kPngButton:
        return "NewSmallPngButton. file %1 not exist";
    case SkinLoader::kPngButton3:
        return "NewSmallPngButton3. file %1 not exist";
    case SkinLoader::kHSliderBarEx:
        return "NewSmallPngHSliderBarEx Error. file %1 not exist";
    case SkinLoader::kSliderBar:
        return "NewSmallPngSliderBar Error. file %1 not exist";
    }
    return "file %1 not exist";
}

}  // namespace

std::optional<std::vector<QImage>> LoadSkinPictures(SkinLoader loader, const QStringList& names)
{
    std::vector<QImage> pictures;
    pictures.reserve(size_t(names.size()));
    for (const QString& name : names) {
        QImage picture = LoadPicture(SkinFile(name), SkinScale());
        if (picture.width() == 0) {
            ShowMessage(QStringLiteral("Warrning"), QString::fromLatin1(MissingFileFormat(loader)).arg(name));
            return std::nullopt;
        }
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

}  // namespace zorvan
