#pragma once
// The checks the skinned-control loaders make before they create a control: every picture is
// loaded from the skins folder, and the first one that is missing is named in a "Warrning".
#include <QImage>
#include <QStringList>

#include <optional>
#include <vector>

namespace zorvan {

// The loaders, each with its own message.
enum class SkinLoader {
    kPngButton,      // NewSmallPngButton
    kPngButton3,     // NewSmallPngButton3
    kHSliderBarEx,   // NewSmallPngHSliderBarEx
    kSliderBar,      // NewSmallPngSliderBar
};

// Loads `names` (file names in the skins folder) in order, at the skin's scale (doubled in 4K
// mode). When one is missing (absent or not
// a picture) shows the loader's message naming it and returns nothing; later names are not
// reported.
std::optional<std::vector<QImage>> LoadSkinPictures(SkinLoader loader, const QStringList& names);

}  // namespace zorvan
