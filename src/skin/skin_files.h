#pragma once
// Where the skin pictures live: the "skins" folder of the application folder, with sub-folders
// for the key-page numbers, the macro tree and one folder per mouse model. The pictures are
// loaded through the picture cache (picture_cache.h).
#include <QString>

namespace zorvan {

// "skins/<name>" in the application folder.
QString SkinFile(const QString& name);
// "skins/number/number<n>.png": the key-page number pictures 1..16.
QString NumberPictureFile(int number);
// "skins/<cid><mid>/<name>", the ids as two lower-case hexadecimal digits each.
QString ModelPictureFile(int cid, int mid, const QString& name);
// "skins/macro/<name>": the macro tree's folder pictures.
QString MacroPictureFile(const QString& name);
// "skins/power<level>.png" for levels 1..4.
QString PowerPictureFile(int level);

}  // namespace zorvan
