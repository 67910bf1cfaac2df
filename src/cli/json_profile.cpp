#include "cli/json_profile.h"

#include "cli/json_records.h"

#include <QJsonArray>
#include <QString>

namespace zorvan::cli {
namespace {

QJsonObject LightToJson(const LightingBlock& light)
{
    return QJsonObject{{QStringLiteral("mode"), light.mode},
                       {QStringLiteral("speed"), light.speed},
                       {QStringLiteral("brightness"), light.brightness},
                       {QStringLiteral("colour"), light.colour}};
}

}  // namespace

QJsonObject ProfileToJson(const ProfileRecord& p)
{
    QJsonArray keys;
    for (const auto& set : p.Key)
        keys.append(KeySetToJson(set));
    QJsonArray levels;
    for (const DpiLevelRecord& level : p.dpiLevels)
        levels.append(QJsonObject{{QStringLiteral("x"), level.x},
                                  {QStringLiteral("y"), level.y},
                                  {QStringLiteral("colour"), level.colour},
                                  {QStringLiteral("hidden"), level.hidden}});
    const std::u16string_view name = p.Name();
    return QJsonObject{
        {QStringLiteral("id"), qint64(p.id)},
        {QStringLiteral("name"), QString::fromUtf16(name.data(), qsizetype(name.size()))},
        {QStringLiteral("current_key_set"), p.currentKeySet},
        {QStringLiteral("keys"), keys},
        {QStringLiteral("polling_rate"), p.pollingRate},
        {QStringLiteral("xy_separate"), p.xySeparate},
        {QStringLiteral("dpi_levels"), levels},
        {QStringLiteral("dpi_level_count"), p.dpiLevelCount},
        {QStringLiteral("sensor"), p.sensor},
        {QStringLiteral("lod"), p.lod},
        {QStringLiteral("ripple"), p.ripple},
        {QStringLiteral("angle_snapping"), p.angleSnapping},
        {QStringLiteral("sleep_time"), p.sleepTime},
        {QStringLiteral("debounce"), p.debounce},
        {QStringLiteral("light_off_moving"), p.lightOffMoving},
        {QStringLiteral("dpi_effect"), QJsonObject{{QStringLiteral("mode"), p.dpiEffectMode},
                                                   {QStringLiteral("speed"), p.dpiEffectSpeed},
                                                   {QStringLiteral("parameter"), p.dpiEffectParameter}}},
        {QStringLiteral("main_light"), LightToJson(p.mainLight)},
        {QStringLiteral("logo_light"), LightToJson(p.logoLight)},
        {QStringLiteral("wheel_lines"), p.wheelLines},
        {QStringLiteral("double_click"), p.doubleClickTime},
        {QStringLiteral("pointer_speed"), p.pointerSpeed},
        {QStringLiteral("precision"), p.enhancePrecision},
        {QStringLiteral("trails"), p.pointerTrails},
    };
}

QJsonObject ReadResultToJson(int profileIndex, int currentDpiLevel, const ProfileRecord& profile)
{
    return QJsonObject{{QStringLiteral("profile"), profileIndex},
                       {QStringLiteral("current_dpi_level"), currentDpiLevel},
                       {QStringLiteral("record"), ProfileToJson(profile)}};
}

}  // namespace zorvan::cli
