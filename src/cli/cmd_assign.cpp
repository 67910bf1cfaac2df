// zorvanctl assign KEY FUNCTION [ARGS]: a function picked for a key as on the key page, with
// the page's rules (left-click guard, key-set switch rule) and its request.
#include "cli/cli.h"
#include "cli/key_functions.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"

namespace zorvan::cli {
namespace {

int Assign(CliContext& ctx)
{
    const auto key = ctx.args.size() >= 2 ? ParseNumber(ctx.args[0]) : std::nullopt;
    if (!key || *key < 1 || *key > kKeysPerSet)
        return ctx.UsageError(QStringLiteral("usage: assign KEY FUNCTION [ARGS] with KEY 1..16; functions: %1")
                                  .arg(FunctionWordList()));
    const int k = int(*key) - 1;
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    if (!KeyEditable(k, device, Options())) {
        mouse->Finish();
        return ctx.Fail(k < device.KeyCount
                            ? QStringLiteral("key %1 is disabled by the option KeyMask").arg(*key)
                            : QStringLiteral("this model has %1 programmable keys").arg(device.KeyCount));
    }
    QString error;
    const std::optional<PickedFunction> picked = ParseFunction(ctx.args.mid(1), device, error);
    if (!picked) {
        mouse->Finish();
        return ctx.Fail(error);
    }
    if (!FunctionOffered(picked->code, device, Options(), Config().sensors)) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("this model's function menu does not offer '%1'").arg(ctx.args.mid(1).join(u' ')));
    }
    const int result = mouse->Change([&](ProfileRecord& p) {
        return PickFunction(p, k, picked->code, picked->details, device, Config().defaultKeys);
    });
    if (result == kOk)
        mouse->Report(QStringLiteral("key %1: %2").arg(*key).arg(ctx.args.mid(1).join(u' ')));
    return result;
}

const CommandRegistrar kAssign("assign",
                               "  assign KEY FUNCTION [ARGS]\n"
                               "                      give key KEY (1..16) a function: left, right, middle, forward, back,\n"
                               "                      off, dpi-up, dpi-down, dpi-cycle, rate-switch, light-switch,\n"
                               "                      light-on-off, profile-switch, fire COUNT INTERVAL, snipe DPI,\n"
                               "                      combo KEYS (e.g. Ctrl+Shift+A), media NAME, macro NAME, extra N",
                               Assign);

}  // namespace
}  // namespace zorvan::cli
