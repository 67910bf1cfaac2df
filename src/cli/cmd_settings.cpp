// zorvanctl set ..., light ...: the settings of the DPI and performance page and of the
// lighting page, changed by the pages' own rules and written as the pages write them. The
// arguments are checked against the model (model_check.h) before the mouse's profile is read;
// only the settings part of it is read.
#include "cli/cli.h"
#include "cli/model_check.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "profile/profile_state.h"

namespace zorvan::cli {
namespace {

// `underPid`: the mouse was found under PID, which locks the power settings; `currentLevel`:
// the current DPI level, which some edits change.
using EditFn = std::function<Edit(ProfileRecord&, const DeviceDescription&, bool underPid, int& currentLevel)>;

// What one `set` word does: its arguments checked into an edit, and the line reported.
struct Setting {
    EditFn edit;
    QString report;
    bool separateY = false;  // `set dpi` with a Y value: the model must have separate X/Y
    bool power = false;      // sleep time or light-off: locked while the mouse is found under PID
};

std::optional<Setting> ParseSetting(CliContext& ctx, const QStringList& a, int& usage)
{
    const QString what = a.value(0);
    const auto fail = [&](const char* synopsis) -> std::optional<Setting> {
        usage = ctx.UsageError(QStringLiteral("usage: set %1%2")
                                   .arg(QLatin1String(synopsis))
                                   .arg(a.size() > 1 ? QStringLiteral(" (got '%1')").arg(a.mid(1).join(u' ')) : QString()));
        return std::nullopt;
    };
    const auto onOff = [&](const char* synopsis, Edit (*fn)(ProfileRecord&, bool, const DeviceDescription&),
                           const char* label) -> std::optional<Setting> {
        const auto on = a.size() == 2 ? ParseOnOff(a[1]) : std::nullopt;
        if (!on)
            return fail(synopsis);
        return Setting{[fn, v = *on](ProfileRecord& p, const DeviceDescription& d, bool, int&) { return fn(p, v, d); },
                       QStringLiteral("%1 %2").arg(QLatin1String(label), a[1])};
    };
    if (what == QStringLiteral("dpi")) {
        if (a.size() < 3 || a.size() > 4)
            return fail("dpi LEVEL X [Y]");
        const int level = ParseInt(a[1]).value_or(0);
        const int x = ParseInt(a[2]).value_or(0);
        const int y = a.size() == 4 ? ParseInt(a[3]).value_or(0) : x;
        if (level == 0 || x == 0 || y == 0)
            return fail("dpi LEVEL X [Y]");
        const std::optional<int> separateY = a.size() == 4 ? std::optional<int>(y) : std::nullopt;
        return Setting{[level, x, separateY](ProfileRecord& p, const DeviceDescription& d, bool, int&) {
                           return SetDpiValue(p, level - 1, x, separateY, d, Config().sensors);
                       },
                       QStringLiteral("DPI level %1: %2%3").arg(level).arg(x).arg(separateY ? QStringLiteral(" x %1").arg(y) : QString()),
                       separateY.has_value()};
    }
    if (what == QStringLiteral("levels")) {
        const auto n = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!n)
            return fail("levels N");
        return Setting{[n = *n](ProfileRecord& p, const DeviceDescription& d, bool, int& level) {
                           return SetLevelCount(p, n, d, Options().SyncChangeDpiLevel != 0, level);
                       },
                       QStringLiteral("%1 DPI level(s) in use").arg(*n)};
    }
    if (what == QStringLiteral("current-level")) {
        const auto n = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!n)
            return fail("current-level L");
        return Setting{[l = *n - 1](ProfileRecord& p, const DeviceDescription& d, bool, int& level) {
                           return SetCurrentLevel(p, l, d, level);
                       },
                       QStringLiteral("current DPI level %1").arg(*n)};
    }
    if (what == QStringLiteral("xy"))
        return onOff("xy on|off", &SetXYSeparate, "separate X/Y");
    if (what == QStringLiteral("dpi-colour")) {
        if (a.size() != 3)
            return fail("dpi-colour LEVEL RRGGBB");
        const auto level = ParseInt(a[1]);
        const auto colour = ParseColour(a[2]);
        if (!level || !colour)
            return fail("dpi-colour LEVEL RRGGBB");
        return Setting{[l = *level - 1, c = *colour](ProfileRecord& p, const DeviceDescription& d, bool, int&) {
                           return SetDpiColour(p, l, c, d);
                       },
                       QStringLiteral("DPI level %1 colour %2").arg(*level).arg(a[2])};
    }
    if (what == QStringLiteral("rate")) {
        const auto hz = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!hz)
            return fail("rate 125|250|500|1000");
        return Setting{[hz = *hz](ProfileRecord& p, const DeviceDescription& d, bool, int&) { return SetPollingRate(p, hz, d); },
                       QStringLiteral("polling rate %1 Hz").arg(*hz)};
    }
    if (what == QStringLiteral("lod")) {
        const auto mm = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!mm)
            return fail("lod 1|2");
        return Setting{[mm = *mm](ProfileRecord& p, const DeviceDescription& d, bool, int&) { return SetLod(p, mm, d); },
                       QStringLiteral("lift-off distance %1 mm").arg(*mm)};
    }
    if (what == QStringLiteral("ripple"))
        return onOff("ripple on|off", &SetRipple, "ripple control");
    if (what == QStringLiteral("angle-snap"))
        return onOff("angle-snap on|off", &SetAngleSnapping, "angle snapping");
    if (what == QStringLiteral("debounce")) {
        const auto ms = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!ms)
            return fail("debounce MS");
        return Setting{[ms = *ms](ProfileRecord& p, const DeviceDescription& d, bool, int&) {
                           return SetDebounce(p, ms, d, Options());
                       },
                       QStringLiteral("debounce %1 ms").arg(*ms)};
    }
    if (what == QStringLiteral("sleep")) {
        const auto seconds = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!seconds)
            return fail("sleep SECONDS");
        return Setting{[s = *seconds](ProfileRecord& p, const DeviceDescription& d, bool underPid, int&) {
                           return SetSleepTime(p, s, d, underPid);
                       },
                       QStringLiteral("sleep time %1 s").arg(*seconds), false, true};
    }
    if (what == QStringLiteral("light-off")) {
        const auto on = a.size() == 2 ? ParseOnOff(a[1]) : std::nullopt;
        if (!on)
            return fail("light-off on|off");
        return Setting{[on = *on](ProfileRecord& p, const DeviceDescription& d, bool underPid, int&) {
                           return SetLightOffMoving(p, on, d, underPid);
                       },
                       QStringLiteral("light off while moving %1").arg(a[1]), false, true};
    }
    usage = ctx.UsageError(QStringLiteral("unknown setting '%1'; settings: dpi, levels, current-level, xy, dpi-colour, "
                                          "rate, lod, ripple, angle-snap, debounce, sleep, light-off")
                               .arg(what));
    return std::nullopt;
}

// The argument check against the model: the setting's rule on the model's own profile.
ModelVerdict CheckSetting(const Setting& setting, const DeviceDescription& device)
{
    if (setting.separateY && device.ShowXY == 0)
        return ModelVerdict::Usage(QStringLiteral("this model has no separate X and Y DPI values: give LEVEL and one value"));
    return CheckForModel(device, [&](ProfileRecord& p) {
        int level = 0;
        return setting.edit(p, device, false, level);
    });
}

int Set(CliContext& ctx)
{
    int usage = kOk;
    std::optional<Setting> setting = ParseSetting(ctx, ctx.args, usage);
    if (!setting)
        return usage;
    int exitCode = kOk;
    const MouseNeeds needs{ReadScope::Settings(),
                           [&](const DeviceDescription& device) { return CheckSetting(*setting, device); }};
    const auto mouse = MouseCommand::Open(ctx, exitCode, needs);
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    const bool underPid = mouse->Session().UnderPid();
    if (setting->power && underPid) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("the %1 setting is locked while the mouse is connected under product id PID "
                                       "(%2:%3 in cfg.ini); it can be changed while the mouse is connected under "
                                       "its other product id, PID2 (%4)")
                            .arg(ctx.args[0] == QStringLiteral("sleep") ? QStringLiteral("sleep time")
                                                                        : QStringLiteral("light-off"))
                            .arg(Options().VID, 4, 16, QLatin1Char('0'))
                            .arg(Options().PID, 4, 16, QLatin1Char('0'))
                            .arg(Options().PID2, 4, 16, QLatin1Char('0')));
    }
    const int result = mouse->Change([&](ProfileRecord& p) {
        int level = g_nCurDpiLevel.load();
        const Edit edit = setting->edit(p, device, underPid, level);
        if (edit.IsChanged())
            g_nCurDpiLevel.store(level);
        return edit;
    });
    if (result == kOk)
        mouse->Report(setting->report);
    return result;
}

int Light(CliContext& ctx)
{
    QStringList a = ctx.args;
    LightChange change;
    const auto option = [&](const QString& name, std::optional<int>& into) {
        const qsizetype at = a.indexOf(name);
        if (at < 0)
            return true;
        into = at + 1 < a.size() ? ParseInt(a[at + 1]) : std::nullopt;
        a.remove(at, std::min<qsizetype>(2, a.size() - at));
        return into.has_value();
    };
    bool ok = option(QStringLiteral("--speed"), change.speed) && option(QStringLiteral("--brightness"), change.brightness) &&
              option(QStringLiteral("--parameter"), change.parameter);
    if (const qsizetype at = a.indexOf(QStringLiteral("--colour")); ok && at >= 0) {
        const auto colour = at + 1 < a.size() ? ParseColour(a[at + 1]) : std::nullopt;
        ok = colour.has_value();
        change.colour = colour;
        a.remove(at, std::min<qsizetype>(2, a.size() - at));
    }
    const std::optional<LightZone> zone = ParseZone(a.value(0));
    if (!ok || !zone || a.size() != 2)
        return ctx.UsageError(QStringLiteral(
            "usage: light main|logo|dpi MODE [--speed N] [--brightness N] [--colour RRGGBB] [--parameter N]"));
    const QString modeWord = a[1];
    // Effects are named in the chosen language, which is known once the mouse command opens.
    const auto check = [&](const DeviceDescription& device) {
        change.mode = ParseEffect(*zone, modeWord);
        // A word that names no effect at all is refused alike by every model.
        if (!change.mode)
            return ModelVerdict::Usage(QStringLiteral("unknown %1 lighting effect '%2'; the effects are %3")
                                           .arg(a[0], modeWord, EffectNames(*zone)));
        const QString offered = OfferedEffects(*zone, device).empty()
                                    ? QString()
                                    : QStringLiteral("the %1 lighting effects %2").arg(a[0], EffectList(*zone, device));
        return CheckForModel(device, [&](ProfileRecord& p) { return EditZone(*zone, p, change, device); }, offered);
    };
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode, MouseNeeds{ReadScope::Settings(), check});
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    const int result =
        mouse->Change([&](ProfileRecord& p) { return EditZone(*zone, p, change, device); }, true);
    if (result == kOk)
        mouse->Report(QStringLiteral("%1 lighting: %2").arg(a[0], EffectName(*zone, *change.mode)));
    return result;
}

const CommandRegistrar kSet("set",
                            CommandHelp{"set dpi LEVEL X [Y]\n"
                                        "set levels N\n"
                                        "set current-level L\n"
                                        "set xy on|off\n"
                                        "set dpi-colour LEVEL RRGGBB\n"
                                        "set rate 125|250|500|1000\n"
                                        "set lod 1|2\n"
                                        "set ripple on|off\n"
                                        "set angle-snap on|off\n"
                                        "set debounce MS\n"
                                        "set sleep SECONDS\n"
                                        "set light-off on|off",
                                        "change a setting of the active profile and write it to the mouse",
                                        "DPI values are those the model's sensor offers (a value it does not offer is\n"
                                        "refused with the nearest one); Y only on models with separate X and Y values,\n"
                                        "once 'set xy on'. LEVEL counts from 1 to the model's number of levels.\n"
                                        "Only the settings part of the profile is read from the mouse first.\n"
                                        "Example: zorvanctl set dpi 2 1600"},
                            Set);
const CommandRegistrar kLight("light",
                              CommandHelp{"light main|logo|dpi MODE [--speed N] [--brightness N] [--colour RRGGBB] [--parameter N]",
                                          "lighting of a zone: its effect and what the effect offers",
                                          "MODE is the effect by number or by its name in the chosen language (spaces\n"
                                          "may be written '-'); 'off' or 0 turns the zone off. A usage error lists the\n"
                                          "effects the model offers. --speed and --brightness count 1..10 (logo speed\n"
                                          "1..5), --parameter 1..5 (DPI lighting effect 2).\n"
                                          "Example: zorvanctl light main breathing --colour ff0000"},
                              Light);

}  // namespace
}  // namespace zorvan::cli
