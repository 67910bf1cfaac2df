// zorvanctl list, dump-eeprom: the mice found, and the active profile's memory read through
// the command set.
#include "cli/cli.h"
#include "cli/mouse_access.h"
#include "device/access_message.h"

#include <QJsonArray>

namespace zorvan::cli {
namespace {

int List(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.UsageError(QStringLiteral("list takes no arguments"));
    if (!LoadProductData(ctx))
        return kFailed;
    int exitCode = kOk;
    const auto mouse = MouseAccess::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    mouse->Search();
    QJsonArray devices;
    int found = 0;
    for (int i = 0; i < kDeviceTableSlots; ++i) {
        const DeviceSlot slot = mouse->Table().Get(i);
        if (slot.Free())
            continue;
        ++found;
        const QString path = QString::fromStdString(slot.cmdPath);
        if (ctx.json) {
            devices.append(QJsonObject{{QStringLiteral("path"), path},
                                       {QStringLiteral("vid"), slot.VID},
                                       {QStringLiteral("pid"), slot.PID},
                                       {QStringLiteral("version"), slot.version},
                                       {QStringLiteral("cid"), slot.CID},
                                       {QStringLiteral("mid"), slot.MID},
                                       {QStringLiteral("connected"), slot.connected}});
        } else {
            ctx.Print(QStringLiteral("%1  %2:%3  version %4  model %5:%6  %7")
                          .arg(path)
                          .arg(slot.VID, 4, 16, QLatin1Char('0'))
                          .arg(slot.PID, 4, 16, QLatin1Char('0'))
                          .arg(slot.version, 4, 16, QLatin1Char('0'))
                          .arg(slot.CID, 2, 16, QLatin1Char('0'))
                          .arg(slot.MID, 2, 16, QLatin1Char('0'))
                          .arg(slot.connected ? QStringLiteral("connected")
                                              : QStringLiteral("not identified (is the mouse switched on?)")));
        }
    }
    if (ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("devices"), devices}});
    if (const std::vector<std::string> denied = mouse->Discovery().DeniedNodes(); !denied.empty())
        return ctx.Fail(AccessDeniedMessage(denied));
    // Without a mouse the list is empty: said on standard error, and not a failure.
    if (found == 0)
        ctx.Fail(QStringLiteral("no supported mouse found: %1").arg(mouse->NoMouseHint()));
    return mouse->SaveState() ? kOk : kFailed;
}

int DumpEeprom(CliContext& ctx)
{
    int address = 0, length = 0;
    if (const int usage = ParseMemoryRange(ctx, ctx.args, 0, address, length); usage != kOk)
        return usage;
    if (!LoadProductData(ctx))
        return kFailed;
    int exitCode = kOk;
    const auto mouse = MouseAccess::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    if (!mouse->Connect())
        return kFailed;
    const int profile = mouse->Link().GetCurProfile();
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (profile < 0 || !mouse->Link().ReadROM(length, uint16_t(address), bytes.data()))
        return ctx.Fail(QStringLiteral("the mouse did not answer the memory read (run with -v for the log)"));
    PrintMemory(ctx, profile, address, bytes);
    return mouse->SaveState() ? kOk : kFailed;
}

const CommandRegistrar kList("list",
                             CommandHelp{"list", "the supported mice found, as the program identifies them",
                                         "Without a mouse the list is empty (and says so on standard error); the "
                                         "exit code is 0.\nJSON: {\"devices\": [{\"path\", \"vid\", \"pid\", "
                                         "\"version\", \"cid\", \"mid\", \"connected\"}]}"},
                             List);
const CommandRegistrar kDump("dump-eeprom",
                             CommandHelp{"dump-eeprom [ADDR LEN]",
                                         "the active profile's EEPROM bytes, read through the command set",
                                         "Without ADDR LEN the whole profile; hex, 16 bytes a line (ADDR: bytes)."},
                             DumpEeprom);

}  // namespace
}  // namespace zorvan::cli
