// zorvanctl macro list|show|slot: the macro library and macro files, without a mouse. The file
// commands (new, import, export, delete) are in cmd_macro_files.cpp.
#include "cli/cli.h"
#include "cli/macro_event_syntax.h"
#include "cli/macro_file_commands.h"

#include "app/configuration.h"
#include "device/eeprom_map.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/macro_rules.h"
#include "text/key_names.h"

#include <QFileInfo>
#include <QJsonArray>

#include <string>

namespace zorvan::cli {
namespace {

QString Hex(uint32_t value)
{
    return QStringLiteral("0x%1").arg(value, 0, 16);
}

QString LoopText(const StMacro& m)
{
    if (m.loopMode == kLoopCount)
        return QStringLiteral("repeat %1 time(s)").arg(m.repeatCount);
    return QStringLiteral("loop mode %1").arg(m.loopMode);
}

QString EventText(const MacroEvent& e)
{
    if (e.action & kActionMove) {
        return QStringLiteral("move     x=%1 y=%2")
            .arg(int(int8_t(e.code & 0xFF)))
            .arg(int(int8_t(e.code >> 8)));
    }
    const QString name = KeyName(e.code);
    return QStringLiteral("%1 %2 %3")
        .arg((e.action & kActionPress) ? QStringLiteral("press  ") : QStringLiteral("release"))
        .arg(Hex(e.code), -5)
        .arg(name);
}

// The macro file named on the command line, or nothing with the failure printed.
std::optional<StMacro> ReadArgumentFile(const CliContext& ctx, const QString& path)
{
    // The import's reading names the failing step; a macro with a key the editor would refuse
    // can still be shown.
    const MacroImport read = ReadMacroForImport(path);
    if (read.macro)
        return read.macro;
    if (std::optional<StMacro> macro = ReadMacroFile(path))
        return macro;
    QString reason;
    if (!QFileInfo(path).isFile())
        reason = QFileInfo(path).isDir() ? QStringLiteral(" (it is a folder)") : QStringLiteral(" (no such file)");
    else if (read.message.startsWith(QStringLiteral("Read")))
        reason = QStringLiteral(" (a macro file holds 834 bytes; this one has %1)").arg(QFileInfo(path).size());
    ctx.Fail(QStringLiteral("%1: %2%3").arg(path, read.message, reason));
    return std::nullopt;
}

int Show(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.UsageError(QStringLiteral("macro show wants one FILE"));
    const std::optional<StMacro> m = ReadArgumentFile(ctx, ctx.args[1]);
    if (!m)
        return kFailed;
    const int count = MacroEventCount(*m);
    if (ctx.json) {
        QJsonArray events;
        for (int i = 0; i < count; ++i)
            events.append(QJsonObject{{QStringLiteral("code"), m->events[i].code},
                                      {QStringLiteral("action"), m->events[i].action},
                                      {QStringLiteral("delay"), qint64(m->events[i].delay)}});
        ctx.PrintJson(QJsonObject{{QStringLiteral("magic"), qint64(m->magic)},
                                  {QStringLiteral("id"), qint64(m->id)},
                                  {QStringLiteral("name"), MacroName(*m)},
                                  {QStringLiteral("auto_delay"), qint64(m->autoDelay)},
                                  {QStringLiteral("loop_mode"), qint64(m->loopMode)},
                                  {QStringLiteral("repeat_count"), m->repeatCount},
                                  {QStringLiteral("events"), events}});
        return kOk;
    }
    ctx.Print(QStringLiteral("name:       %1").arg(MacroName(*m)));
    ctx.Print(QStringLiteral("id:         %1").arg(Hex(m->id)));
    ctx.Print(QStringLiteral("loop:       %1").arg(LoopText(*m)));
    ctx.Print(QStringLiteral("auto delay: %1").arg(m->autoDelay));
    ctx.Print(QStringLiteral("events:     %1").arg(count));
    for (int i = 0; i < count; ++i)
        ctx.Print(QStringLiteral("%1  %2  %3 ms").arg(i + 1, 3).arg(EventText(m->events[i]), -24).arg(m->events[i].delay));
    return kOk;
}

int Slot(CliContext& ctx)
{
    QString file;
    std::optional<int64_t> key;
    for (int i = 1; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == QStringLiteral("--key") && i + 1 < ctx.args.size())
            key = ParseNumber(ctx.args[++i]);
        else if (file.isEmpty() && !ctx.args[i].startsWith(QStringLiteral("--")))
            file = ctx.args[i];
        else
            return ctx.UsageError(QStringLiteral("macro slot wants FILE --key N"));
    }
    if (file.isEmpty() || !key)
        return ctx.UsageError(QStringLiteral("macro slot wants FILE --key N"));
    if (*key < 1 || *key > kKeysPerSet)
        return ctx.UsageError(QStringLiteral("--key counts the keys from 1 to %1").arg(kKeysPerSet));
    const std::optional<StMacro> m = ReadArgumentFile(ctx, file);
    if (!m || !LoadProductData(ctx))
        return kFailed;

    const DeviceDescription* device = ctx.model ? FindDeviceByIds(ctx.model->first, ctx.model->second) : CurrentDevice();
    if (device == nullptr || !device->HoldsModel())
        return ctx.Fail(QStringLiteral("cfg.ini describes no such model (see 'zorvanctl cfg-check')"));
    const int position = int(device->KeyTables[0][*key - 1].matrix);
    if (position < 1 || position > kDeviceMacroSlots)
        return ctx.Fail(QStringLiteral("key %1 of model %2:%3 has no place in the key matrix, so it cannot hold a macro")
                            .arg(*key)
                            .arg(device->CID, 2, 16, QChar(u'0'))
                            .arg(device->MID, 2, 16, QChar(u'0')));

    HdMacro slot;
    const int length = BuildHdMacro(*m, slot);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
    const int address = eeprom::MacroBlockAddress(position);
    const uint32_t keyCode = (uint32_t(MacroLoopByte(*m)) << 16) | (uint32_t(position - 1) << 8) | 6u;
    if (ctx.json) {
        QJsonArray data;
        for (int i = 0; i < length; ++i)
            data.append(bytes[i]);
        ctx.PrintJson(QJsonObject{{QStringLiteral("key"), qint64(*key)},
                                  {QStringLiteral("matrix"), position},
                                  {QStringLiteral("address"), address},
                                  {QStringLiteral("length"), length},
                                  {QStringLiteral("key_code"), qint64(keyCode)},
                                  {QStringLiteral("bytes"), data}});
        return kOk;
    }
    for (int line = 0; line < length; line += 16) {
        QString text = QStringLiteral("%1:").arg(address + line, 4, 16, QChar(u'0'));
        for (int i = line; i < length && i < line + 16; ++i)
            text += QStringLiteral(" %1").arg(bytes[i], 2, 16, QChar(u'0'));
        ctx.Print(text);
    }
    return kOk;
}

int List(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("macro list takes no arguments"));
    if (!LoadProductData(ctx))
        return kFailed;
    LoadMacroLibrary();
    const std::vector<StMacro> macros = Macros().All();
    if (ctx.json) {
        QJsonArray list;
        for (const StMacro& m : macros)
            list.append(QJsonObject{{QStringLiteral("id"), qint64(m.id)},
                                    {QStringLiteral("name"), MacroName(m)},
                                    {QStringLiteral("events"), MacroEventCount(m)},
                                    {QStringLiteral("loop_mode"), qint64(m.loopMode)},
                                    {QStringLiteral("repeat_count"), m.repeatCount}});
        ctx.PrintJson(QJsonObject{{QStringLiteral("folder"), MacroFolder()}, {QStringLiteral("macros"), list}});
        return kOk;
    }
    for (const StMacro& m : macros)
        ctx.Print(QStringLiteral("%1  %2  %3 event(s), %4")
                      .arg(Hex(m.id), -9)
                      .arg(MacroName(m), -39)
                      .arg(MacroEventCount(m), 2)
                      .arg(LoopText(m)));
    ctx.Print(QStringLiteral("%1 macro(s) in %2").arg(macros.size()).arg(MacroFolder()));
    return kOk;
}

int MacroCommand(CliContext& ctx)
{
    const QString sub = ctx.args.value(0);
    if (sub == QStringLiteral("show"))
        return Show(ctx);
    if (sub == QStringLiteral("slot"))
        return Slot(ctx);
    if (sub == QStringLiteral("list"))
        return List(ctx);
    bool handled = false;
    const int result = MacroFileCommand(ctx, handled);
    if (handled)
        return result;
    return ctx.UsageError(sub.isEmpty() ? QStringLiteral("macro wants list, show, slot, new, import, export or delete")
                                        : QStringLiteral("unknown macro command '%1'; macro commands: list, show, slot, "
                                                         "new, import, export, delete")
                                              .arg(sub));
}

const std::string kMacroDetails =
    std::string("new: NAME at most 15 characters, none of / \\ ? + = - * & % ! # ; (a last '.' and what\n"
                "follows are dropped); --repeat N plays it N times (1..250). The file is written at the top of\n"
                "the macro folder.\n") +
    kMacroEventSyntax +
    "\nimport: the macro is named after the file. export: the macro's file as last written.\n"
    "delete: needs the mouse; keys of its current profile bound to the macro go back to their\n"
    "defaults.";

const CommandRegistrar kRegister("macro",
                                 CommandHelp{"macro list\n"
                                             "macro show FILE\n"
                                             "macro slot FILE --key N\n"
                                             "macro new NAME EVENTS... [--repeat N]\n"
                                             "macro import FILE\n"
                                             "macro export NAME FILE\n"
                                             "macro delete NAME",
                                             "the macro library and macro files: list, decode, the slot bytes of a key, "
                                             "and the macro editor's new, import, export and delete",
                                             kMacroDetails.c_str()},
                                 MacroCommand);

}  // namespace
}  // namespace zorvan::cli
