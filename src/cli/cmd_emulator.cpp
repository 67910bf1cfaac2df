// zorvanctl emulator ...: act on the emulated mouse itself, as its user would, without going
// through the command set. Only with --emulate; with --emulate=FILE the change is kept.
#include "cli/cli.h"
#include "cli/mouse_access.h"

namespace zorvan::cli {
namespace {

std::optional<bool> OnOff(const QString& word)
{
    if (word == QStringLiteral("on"))
        return true;
    if (word == QStringLiteral("off"))
        return false;
    return std::nullopt;
}

int Press(CliContext& ctx, MouseFirmware& mouse, const QStringList& args)
{
    if (const auto button = args.size() == 2 ? MouseButtonByName(args[1].toStdString()) : std::nullopt) {
        mouse.Press(*button);
        return kOk;
    }
    return ctx.UsageError(QStringLiteral("emulator press wants dpi-up, dpi-down, profile-next or light-mode"));
}

int Battery(CliContext& ctx, MouseFirmware& mouse, QStringList args)
{
    const bool charging = args.removeAll(QStringLiteral("--charging")) > 0;
    const auto percent = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!percent || *percent < 0 || *percent > 100)
        return ctx.UsageError(QStringLiteral("emulator battery wants PERCENT (0..100) [--charging]"));
    mouse.SetBattery(int(*percent), charging);
    return kOk;
}

int Dump(CliContext& ctx, MouseFirmware& mouse, QStringList args)
{
    int profile = mouse.State().activeProfile;
    if (const qsizetype at = args.indexOf(QStringLiteral("--profile")); at >= 0) {
        const auto n = at + 1 < args.size() ? ParseNumber(args[at + 1]) : std::nullopt;
        if (!n || *n < 1 || *n > eeprom::kOnBoardProfiles)
            return ctx.UsageError(QStringLiteral("--profile wants an on-board profile 1..4"));
        profile = int(*n) - 1;
        args.remove(at, 2);
    }
    int address = 0, length = 0;
    if (const int usage = ParseMemoryRange(ctx, args, 1, address, length); usage != kOk)
        return usage;
    PrintMemory(ctx, profile, address, mouse.Memory(profile, address, length));
    return kOk;
}

int Switch(CliContext& ctx, const QStringList& args, const char* what, void (MouseFirmware::*set)(bool),
           MouseFirmware& mouse)
{
    const auto on = args.size() == 2 ? OnOff(args[1]) : std::nullopt;
    if (!on)
        return ctx.UsageError(QStringLiteral("emulator %1 wants on or off").arg(QLatin1String(what)));
    (mouse.*set)(*on);
    return kOk;
}

int Emulator(CliContext& ctx)
{
    if (!ctx.emulate)
        return ctx.UsageError(QStringLiteral("the emulator commands act on the emulated mouse; add --emulate[=FILE]"));
    const QString action = ctx.args.value(0);
    if (!LoadProductData(ctx))
        return kFailed;
    int exitCode = kOk;
    const auto access = MouseAccess::Open(ctx, exitCode);
    if (!access)
        return exitCode;
    MouseFirmware& mouse = *access->Backend().EmulatedMouse();
    int result = kOk;
    if (action == QStringLiteral("press")) {
        result = Press(ctx, mouse, ctx.args);
    } else if (action == QStringLiteral("battery")) {
        result = Battery(ctx, mouse, ctx.args);
    } else if (action == QStringLiteral("dump")) {
        result = Dump(ctx, mouse, ctx.args);
    } else if (action == QStringLiteral("reset") && ctx.args.size() == 1) {
        mouse.ResetToFactory();
    } else if (action == QStringLiteral("link")) {
        result = Switch(ctx, ctx.args, "link", &MouseFirmware::SetLinked, mouse);
    } else if (action == QStringLiteral("lighting-lock")) {
        result = Switch(ctx, ctx.args, "lighting-lock", &MouseFirmware::SetLightingLocked, mouse);
    } else {
        result = ctx.UsageError(QStringLiteral("unknown emulator command '%1'").arg(ctx.args.join(u' ')));
    }
    if (result != kOk)
        return result;
    return access->SaveState() ? kOk : kFailed;
}

const CommandRegistrar kEmulator(
    "emulator",
    "  emulator press dpi-up|dpi-down|profile-next|light-mode\n"
    "  emulator battery PERCENT [--charging]\n"
    "  emulator dump [--profile N] [ADDR LEN]\n"
    "  emulator reset\n"
    "  emulator link on|off\n"
    "  emulator lighting-lock on|off\n"
    "                      act on the emulated mouse itself (needs --emulate)",
    Emulator);

}  // namespace
}  // namespace zorvan::cli
