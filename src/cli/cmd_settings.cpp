// zorvanctl set ..., light ...: the settings of the DPI and performance page and of the
// lighting page, changed by the pages' own rules and written as the pages write them.
#include "cli/cli.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "profile/profile_state.h"

namespace zorvan::cli {
namespace {

// `underPid`: the mouse was found under PID, which locks the power settings.
using EditFn = std::function<Edit(ProfileRecord&, const DeviceDescription&, bool underPid)>;

// What one `set` word does: its arguments checked into an edit, and the line reported.
struct Setting {
    EditFn edit;
    QString report;
};

std::optional<Setting> ParseSetting(CliContext& ctx, const QStringList& a, int& usage)
{
    const QString what = a.value(0);
    const auto fail = [&](const char* synopsis) -> std::optional<Setting> {
        usage = ctx.UsageError(QStringLiteral("usage: set %1").arg(QLatin1String(synopsis)));
        return std::nullopt;
    };
    const auto onOff = [&](const char* synopsis, Edit (*fn)(ProfileRecord&, bool, const DeviceDescription&),
                           const char* label) -> std::optional<Setting> {
        const auto on = a.size() == 2 ? ParseOnOff(a[1]) : std::nullopt;
        if (!on)
            return fail(synopsis);
        return Setting{[fn, v = *on](ProfileRecord& p, const DeviceDescription& d, bool) { return fn(p, v, d); },
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
        return Setting{[level, x, separateY](ProfileRecord& p, const DeviceDescription& d, bool) {
                           return SetDpiValue(p, level - 1, x, separateY, d, Config().sensors);
                       },
                       QStringLiteral("DPI level %1: %2%3").arg(level).arg(x).arg(separateY ? QStringLiteral(" x %1").arg(y) : QString())};
    }
    if (what == QStringLiteral("levels")) {
        const auto n = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!n)
            return fail("levels N");
        return Setting{[n = *n](ProfileRecord& p, const DeviceDescription& d, bool) {
                           int level = g_nCurDpiLevel.load();
                           const Edit edit = SetLevelCount(p, n, d, Options().SyncChangeDpiLevel != 0, level);
                           g_nCurDpiLevel.store(level);
                           return edit;
                       },
                       QStringLiteral("%1 DPI level(s) in use").arg(*n)};
    }
    if (what == QStringLiteral("current-level")) {
        const auto n = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!n)
            return fail("current-level L");
        return Setting{[l = *n - 1](ProfileRecord& p, const DeviceDescription& d, bool) {
                           int level = g_nCurDpiLevel.load();
                           const Edit edit = SetCurrentLevel(p, l, d, level);
                           g_nCurDpiLevel.store(level);
                           return edit;
                       },
                       QStringLiteral("current DPI level %1").arg(*n)};
    }
    if (what == QStringLiteral("xy"))
        return onOff("xy on|off", &SetXYSeparate, "separate X/Y");
    if (what == QStringLiteral("dpi-colour")) {
        const auto level = a.size() == 3 ? ParseInt(a[1]) : std::nullopt;
        const auto colour = a.size() == 3 ? ParseColour(a[2]) : std::nullopt;
        if (!level || !colour)
            return fail("dpi-colour LEVEL RRGGBB");
        return Setting{[l = *level - 1, c = *colour](ProfileRecord& p, const DeviceDescription& d, bool) {
                           return SetDpiColour(p, l, c, d);
                       },
                       QStringLiteral("DPI level %1 colour %2").arg(*level).arg(a[2])};
    }
    if (what == QStringLiteral("rate")) {
        const auto hz = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!hz)
            return fail("rate 125|250|500|1000");
        return Setting{[hz = *hz](ProfileRecord& p, const DeviceDescription& d, bool) { return SetPollingRate(p, hz, d); },
                       QStringLiteral("polling rate %1 Hz").arg(*hz)};
    }
    if (what == QStringLiteral("lod")) {
        const auto mm = a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        if (!mm)
            return fail("lod 1|2");
        return Setting{[mm = *mm](ProfileRecord& p, const DeviceDescription& d, bool) { return SetLod(p, mm, d); },
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
        return Setting{[ms = *ms](ProfileRecord& p, const DeviceDescription& d, bool) {
                           return SetDebounce(p, ms, d, Options());
                       },
                       QStringLiteral("debounce %1 ms").arg(*ms)};
    }
    if (what == QStringLiteral("sleep") || what == QStringLiteral("light-off")) {
        const bool sleep = what == QStringLiteral("sleep");
        const auto seconds = sleep && a.size() == 2 ? ParseInt(a[1]) : std::nullopt;
        const auto on = !sleep && a.size() == 2 ? ParseOnOff(a[1]) : std::nullopt;
        if (sleep ? !seconds : !on)
            return fail(sleep ? "sleep SECONDS" : "light-off on|off");
        if (sleep)
            return Setting{[s = *seconds](ProfileRecord& p, const DeviceDescription& d, bool underPid) {
                               return SetSleepTime(p, s, d, underPid);
                           },
                           QStringLiteral("sleep time %1 s").arg(*seconds)};
        return Setting{[on = *on](ProfileRecord& p, const DeviceDescription& d, bool underPid) {
                           return SetLightOffMoving(p, on, d, underPid);
                       },
                       QStringLiteral("light off while moving %1").arg(a[1])};
    }
    usage = ctx.UsageError(QStringLiteral("unknown setting '%1'; settings: dpi, levels, current-level, xy, dpi-colour, "
                                          "rate, lod, ripple, angle-snap, debounce, sleep, light-off")
                               .arg(what));
    return std::nullopt;
}

int Set(CliContext& ctx)
{
    int usage = kOk;
    std::optional<Setting> setting = ParseSetting(ctx, ctx.args, usage);
    if (!setting)
        return usage;
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    const bool underPid = mouse->Session().UnderPid();
    const int result = mouse->Change([&](ProfileRecord& p) { return setting->edit(p, device, underPid); });
    if (result == kOk)
        mouse->Report(setting->report);
    return result;
}

int Light(CliContext& ctx)
{
    QStringList a = ctx.args;
    const QString zone = a.value(0);
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
    const auto mode = a.size() == 2 ? (a[1] == QStringLiteral("off") ? std::optional<int>(0) : ParseInt(a[1])) : std::nullopt;
    const bool knownZone = zone == QStringLiteral("main") || zone == QStringLiteral("logo") || zone == QStringLiteral("dpi");
    if (!ok || !mode || !knownZone)
        return ctx.UsageError(QStringLiteral(
            "usage: light main|logo|dpi MODE [--speed N] [--brightness N] [--colour RRGGBB] [--parameter N]"));
    change.mode = mode;
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    const int result = mouse->Change(
        [&](ProfileRecord& p) {
            if (zone == QStringLiteral("main"))
                return SetMainLight(p, change, device, Options());
            if (zone == QStringLiteral("logo"))
                return SetLogoLight(p, change, device);
            return SetDpiLight(p, change, device);
        },
        true);
    if (result == kOk)
        mouse->Report(QStringLiteral("%1 lighting: effect %2").arg(zone).arg(*mode));
    return result;
}

const CommandRegistrar kSet("set",
                            "  set dpi LEVEL X [Y] | levels N | current-level L | xy on|off | dpi-colour LEVEL RRGGBB\n"
                            "  set rate 125|250|500|1000 | lod 1|2 | ripple on|off | angle-snap on|off\n"
                            "  set debounce MS | sleep SECONDS | light-off on|off\n"
                            "                      change a setting of the active profile and write it to the mouse",
                            Set);
const CommandRegistrar kLight("light",
                              "  light main|logo|dpi MODE [--speed N] [--brightness N] [--colour RRGGBB] [--parameter N]\n"
                              "                      lighting of a zone (MODE as the profile stores it; off = 0)",
                              Light);

}  // namespace
}  // namespace zorvan::cli
