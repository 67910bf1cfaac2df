// zorvanctl assign KEY FUNCTION [ARGS]: a function picked for a key as on the key page, with
// the page's rules (left-click guard, key-set switch rule) and its request. Only that key's
// areas are read from the mouse first.
#include "cli/cli.h"
#include "cli/key_functions.h"
#include "cli/model_check.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"

namespace zorvan::cli {
namespace {

// KEY and FUNCTION against the model: OK with `picked` set, a usage error, or a failure for a
// macro the library does not hold.
ModelVerdict CheckAssign(int key, const QStringList& words, const DeviceDescription& device,
                         std::optional<PickedFunction>& picked)
{
    if (!KeyEditable(key, device, Options()))
        return ModelVerdict::Usage(
            key < device.KeyCount ? QStringLiteral("key %1 is disabled by the option KeyMask of cfg.ini").arg(key + 1)
                                  : QStringLiteral("this model has %1 programmable keys (KEY 1..%1)").arg(device.KeyCount));
    QString error;
    picked = ParseFunction(words, device, error);
    if (!picked)
        return words.value(0) == QStringLiteral("macro") && words.size() > 1 ? ModelVerdict::Failed(error)
                                                                              : ModelVerdict::Usage(error);
    if (!FunctionOffered(picked->code, device, Options(), Config().sensors))
        return ModelVerdict::Usage(QStringLiteral("this model's function menu does not offer '%1'; it offers: %2")
                                       .arg(words.join(u' '), OfferedFunctionWords(device)));
    return {};
}

int Assign(CliContext& ctx)
{
    const auto key = ctx.args.size() >= 2 ? ParseNumber(ctx.args[0]) : std::nullopt;
    if (!key || *key < 1 || *key > kKeysPerSet)
        return ctx.UsageError(QStringLiteral("usage: assign KEY FUNCTION [ARGS] with KEY 1..16; functions: %1")
                                  .arg(FunctionWordList()));
    const int k = int(*key) - 1;
    const QStringList words = ctx.args.mid(1);
    QString error;
    if (ModelFreeFunction(words) && !ParseFunction(words, DeviceDescription{}, error))
        return ctx.UsageError(error);
    std::optional<PickedFunction> picked;
    const MouseNeeds needs{ReadScope::Keys(uint16_t(1u << k)), [&](const DeviceDescription& device) {
                               return CheckAssign(k, words, device, picked);
                           }};
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode, needs);
    if (!mouse)
        return exitCode;
    const DeviceDescription device = mouse->Device();
    const int result = mouse->Change([&](ProfileRecord& p) {
        return PickFunction(p, k, picked->code, picked->details, device, Config().defaultKeys);
    });
    if (result == kOk)
        mouse->Report(QStringLiteral("key %1: %2").arg(*key).arg(words.join(u' ')));
    return result;
}

const CommandRegistrar kAssign(
    "assign",
    CommandHelp{"assign KEY left|right|middle|forward|back|off|dpi-up|dpi-down|dpi-cycle|rate-switch|light-switch|"
                "light-on-off|profile-switch\n"
                "assign KEY fire COUNT INTERVAL\n"
                "assign KEY snipe DPI\n"
                "assign KEY combo KEYS\n"
                "assign KEY media NAME\n"
                "assign KEY macro NAME\n"
                "assign KEY extra N",
                "give key KEY (1..16) a function, as the key page does",
                "KEY counts the model's programmable keys from 1. fire: COUNT 0..3, INTERVAL 10..255 (ms).\n"
                "snipe: one of the DPI values 100..1100 the sensor offers. combo: modifiers Ctrl, Shift,\n"
                "Alt, Win and keys as the program names them, at most three together, e.g. Ctrl+Shift+A.\n"
                "macro: a macro of the library (zorvanctl macro list). extra: the model's extra keys 1..3.\n"
                "A function the model's menu does not offer is a usage error that lists what it offers.\n"
                "Only the key's own areas are read from the mouse first.\n"
                "Example: zorvanctl assign 4 media volume-up"},
    Assign);

}  // namespace
}  // namespace zorvan::cli
