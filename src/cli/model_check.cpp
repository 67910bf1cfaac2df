#include "cli/model_check.h"

#include "app/configuration.h"
#include "macro/time_stamp_id.h"
#include "profile/profile_defaults.h"
#include "text/language_texts.h"

#include <algorithm>
#include <map>
#include <string>

namespace zorvan::cli {
namespace {

// The pause that keeps time-stamp ids made one after another apart.
constexpr std::chrono::milliseconds kTimeStampIdPause{20};

// The language text of an effect: the main zone's effects 1..6 are tc_led_mode1..6, the logo's
// 1, 2, 3 are tc_led_mode1, 2, 4, the DPI lighting's 1, 2 are tc_led_mode1, 2; off is
// tc_led_mode7 everywhere.
int TextNumber(LightZone zone, int mode)
{
    if (mode == 0)
        return 7;
    if (zone == LightZone::kLogo && mode == 3)
        return 4;
    return mode;
}

int HighestMode(LightZone zone)
{
    switch (zone) {
    case LightZone::kMain:
        return 6;
    case LightZone::kLogo:
        return 3;
    case LightZone::kDpi:
        return 2;
    }
    return 0;
}

QString Simplified(QString word)
{
    return word.replace(u'-', u' ').replace(u'_', u' ').simplified().toLower();
}

}  // namespace

ProfileRecord ModelProfile(const DeviceDescription& device)
{
    static std::map<const DeviceDescription*, ProfileRecord> made;
    if (const auto found = made.find(&device); found != made.end())
        return found->second;
    // Its time-stamp id is never used: no pause to keep it apart from others.
    SetTimeStampIdPause(std::chrono::milliseconds(0));
    ProfileRecord profile = MakeNewProfile(u"", device, Options(), device.KeyTables);
    SetTimeStampIdPause(kTimeStampIdPause);
    profile.dpiLevelCount = std::clamp(device.DpiLevelCount, 1, kDpiLevels);
    for (int i = 0; i < kDpiLevels; ++i)
        profile.dpiLevels[i].hidden = i < profile.dpiLevelCount ? 0 : 1;
    profile.xySeparate = device.ShowXY != 0 ? 1 : 0;
    made[&device] = profile;
    return profile;
}

ModelVerdict CheckForModel(const DeviceDescription& device, const std::function<Edit(ProfileRecord&)>& edit,
                           const QString& allowed)
{
    ProfileRecord profile = ModelProfile(device);
    const Edit result = edit(profile);
    if (result.IsChanged() || result.message.isEmpty())
        return {};
    QString message = result.message;
    if (!allowed.isEmpty())
        message += QStringLiteral("; this model offers ") + allowed;
    return ModelVerdict::Usage(message);
}

std::optional<LightZone> ParseZone(const QString& word)
{
    if (word == QStringLiteral("main"))
        return LightZone::kMain;
    if (word == QStringLiteral("logo"))
        return LightZone::kLogo;
    if (word == QStringLiteral("dpi"))
        return LightZone::kDpi;
    return std::nullopt;
}

QString EffectName(LightZone zone, int mode)
{
    const std::string key = "tc_led_mode" + std::to_string(TextNumber(zone, mode));
    const QString text = GetText(key).trimmed();
    return text.isEmpty() ? QStringLiteral("effect %1").arg(mode) : text;
}

Edit EditZone(LightZone zone, ProfileRecord& profile, const LightChange& change, const DeviceDescription& device)
{
    switch (zone) {
    case LightZone::kMain:
        return SetMainLight(profile, change, device, Options());
    case LightZone::kLogo:
        return SetLogoLight(profile, change, device);
    case LightZone::kDpi:
        return SetDpiLight(profile, change, device);
    }
    return Edit::Refused({});
}

std::vector<int> OfferedEffects(LightZone zone, const DeviceDescription& device)
{
    std::vector<int> offered;
    for (int mode = 1; mode <= HighestMode(zone) + 1; ++mode) {
        const int m = mode > HighestMode(zone) ? 0 : mode;
        ProfileRecord profile = ModelProfile(device);
        LightChange change;
        change.mode = m;
        if (EditZone(zone, profile, change, device).IsChanged())
            offered.push_back(m);
    }
    return offered;
}

QString EffectList(LightZone zone, const DeviceDescription& device)
{
    QStringList list;
    for (const int mode : OfferedEffects(zone, device))
        list << QStringLiteral("%1 %2").arg(mode).arg(EffectName(zone, mode));
    return list.isEmpty() ? QStringLiteral("no effects") : list.join(QStringLiteral(", "));
}

QString EffectNames(LightZone zone)
{
    QStringList list;
    for (int mode = 0; mode <= HighestMode(zone); ++mode)
        list << QStringLiteral("%1 %2").arg(mode).arg(EffectName(zone, mode));
    return list.join(QStringLiteral(", "));
}

std::optional<int> ParseEffect(LightZone zone, const QString& word)
{
    if (const std::optional<int> number = ParseInt(word))
        return number;
    if (word == QStringLiteral("off"))
        return 0;
    for (int mode = 0; mode <= HighestMode(zone); ++mode)
        if (Simplified(EffectName(zone, mode)) == Simplified(word))
            return mode;
    return std::nullopt;
}

}  // namespace zorvan::cli
