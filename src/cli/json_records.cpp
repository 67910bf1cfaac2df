#include "cli/json_records.h"

namespace zorvan::cli {

QJsonObject KeyToJson(const KeyAssignment& key)
{
    return QJsonObject{{QStringLiteral("dwFunID"), qint64(key.dwFunID)},
                       {QStringLiteral("matrix"), qint64(key.matrix)},
                       {QStringLiteral("dwMacroID"), qint64(key.dwMacroID)},
                       {QStringLiteral("stCombo"), IntsToJson(key.stCombo)},
                       {QStringLiteral("dwParameter"), qint64(key.dwParameter)}};
}

QJsonArray KeySetToJson(const KeyAssignment (&keys)[kKeysPerSet])
{
    QJsonArray array;
    for (const KeyAssignment& k : keys)
        array.append(KeyToJson(k));
    return array;
}

QJsonArray RectToJson(const Rect& r)
{
    return QJsonArray{r.left, r.top, r.right, r.bottom};
}

QJsonArray PointToJson(const Point& p)
{
    return QJsonArray{p.x, p.y};
}

}  // namespace zorvan::cli
