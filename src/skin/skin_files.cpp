#include "skin/skin_files.h"

#include "app/paths.h"

namespace zorvan {

QString SkinFile(const QString& name)
{
    return Paths().appDir + QStringLiteral("skins/") + name;
}

QString NumberPictureFile(int number)
{
    return SkinFile(QStringLiteral("number/number%1.png").arg(number));
}

QString ModelPictureFile(int cid, int mid, const QString& name)
{
    return SkinFile(QString::asprintf("%02x%02x/", unsigned(cid) & 0xFF, unsigned(mid) & 0xFF) + name);
}

QString MacroPictureFile(const QString& name)
{
    return SkinFile(QStringLiteral("macro/") + name);
}

QString PowerPictureFile(int level)
{
    return SkinFile(QStringLiteral("power%1.png").arg(level));
}

}  // namespace zorvan
