#pragma once
// JSON forms of the records, as zorvanctl prints them: field names of the records, plain
// integers, colours as the stored integer.
#include "app/geometry.h"
#include "app/key_assignment.h"

#include <QJsonArray>
#include <QJsonObject>

namespace zorvan::cli {

QJsonObject KeyToJson(const KeyAssignment& key);
QJsonArray KeySetToJson(const KeyAssignment (&keys)[kKeysPerSet]);
QJsonArray RectToJson(const Rect& r);
QJsonArray PointToJson(const Point& p);

template <typename Container>
QJsonArray IntsToJson(const Container& values)
{
    QJsonArray array;
    for (const auto v : values)
        array.append(qint64(v));
    return array;
}

}  // namespace zorvan::cli
