// zorvanctl cfg-check: the data initialisation of start-up on a given cfg.ini, with every
// message it would show collected in order.
#include "cli/cli.h"
#include "cli/json_records.h"

#include "app/configuration.h"
#include "app/message_box.h"
#include "app/option_keys.h"
#include "app/paths.h"

#include <QFileInfo>
#include <QJsonArray>

namespace zorvan::cli {
namespace {

QJsonObject OptionsToJson(const AppOptions& o)
{
    QJsonObject json{{QStringLiteral("Debug"), o.Debug},
                     {QStringLiteral("3325Setp200"), o.Setp3325},
                     {QStringLiteral("Sensor9000Max"), o.Sensor9000Max},
                     {QStringLiteral("Sensor3395Max"), o.Sensor3395Max},
                     {QStringLiteral("LEDParam"), IntsToJson(o.LEDParam)}};
    for (const OptionKey& k : OptionKeys()) {
        const QString name = QString::fromLatin1(k.key);
        switch (k.kind) {
        case OptionKind::Int:
        case OptionKind::Colour: json.insert(name, o.*k.intField); break;
        case OptionKind::U16: json.insert(name, o.*k.u16Field); break;
        case OptionKind::Text: json.insert(name, o.*k.textField); break;
        case OptionKind::Rect: json.insert(name, RectToJson(o.*k.rectField)); break;
        case OptionKind::Point: json.insert(name, PointToJson(o.*k.pointField)); break;
        case OptionKind::IntIgnored:
        case OptionKind::TextIgnored:
        case OptionKind::RectIgnored: break;
        }
    }
    return json;
}

QJsonObject DeviceToJson(int section, const DeviceDescription& d)
{
    QJsonArray tables;
    for (const auto& set : d.KeyTables)
        tables.append(KeySetToJson(set));
    QJsonArray marks;
    for (const Rect& r : d.KeyMarks)
        marks.append(RectToJson(r));
    return QJsonObject{
        {QStringLiteral("section"), section},
        {QStringLiteral("CID"), d.CID},
        {QStringLiteral("MID"), d.MID},
        {QStringLiteral("Sensor"), d.Sensor},
        {QStringLiteral("DefaultLevel"), d.DefaultLevel},
        {QStringLiteral("DpiLevelCount"), d.DpiLevelCount},
        {QStringLiteral("DpiLevels"), IntsToJson(d.DpiLevels)},
        {QStringLiteral("DpiColours"), IntsToJson(d.DpiColours)},
        {QStringLiteral("DpiHeight"), d.DpiHeight},
        {QStringLiteral("ModeCode"), d.ModeCode},
        {QStringLiteral("KeyCount"), d.KeyCount},
        {QStringLiteral("KeyTables"), tables},
        {QStringLiteral("KeyHeight"), d.KeyHeight},
        {QStringLiteral("ReportRate"), d.ReportRate},
        {QStringLiteral("KeyMarks"), marks},
        {QStringLiteral("ShowLOD"), d.ShowLOD},
        {QStringLiteral("ShowDpi"), d.ShowDpi},
        {QStringLiteral("ShowDpiColor"), d.ShowDpiColor},
        {QStringLiteral("DpiColorReadOnly"), d.DpiColorReadOnly},
        {QStringLiteral("ShowUsbRate"), d.ShowUsbRate},
        {QStringLiteral("ShowRipple"), d.ShowRipple},
        {QStringLiteral("ShowFixLine"), d.ShowFixLine},
        {QStringLiteral("ShowDpiLED"), d.ShowDpiLED},
        {QStringLiteral("ShowMainEffect"), d.ShowMainEffect},
        {QStringLiteral("ShowLogoEffect"), d.ShowLogoEffect},
        {QStringLiteral("ShowSleep"), d.ShowSleep},
        {QStringLiteral("Debounce"), d.Debounce},
        {QStringLiteral("ShowDebounce"), d.ShowDebounce},
        {QStringLiteral("ShowXY"), d.ShowXY},
        {QStringLiteral("ShowRGBSw"), d.ShowRGBSw},
        {QStringLiteral("DpiMenuMask"), d.DpiMenuMask},
        {QStringLiteral("DpiLedMode"), d.DpiLedMode},
        {QStringLiteral("LedMask"), d.LedMask},
        {QStringLiteral("MarkPoint"), PointToJson(d.MarkPoint)},
        {QStringLiteral("LedMarkPoint"), PointToJson(d.LedMarkPoint)},
        {QStringLiteral("DpiUiLevels"), d.DpiUiLevels},
        {QStringLiteral("SetDpiByClick"), d.SetDpiByClick},
        {QStringLiteral("SleepTime"), d.SleepTime},
        {QStringLiteral("SleepValues"), IntsToJson(d.SleepValues)},
        {QStringLiteral("SleepTimeCheck"), d.SleepTimeCheck},
        {QStringLiteral("ExKeys"), IntsToJson(d.ExKeys)},
    };
}

QJsonObject SensorTableToJson(const SensorDpiTable& t)
{
    QJsonArray values, codes;
    for (int i = 0; i < t.Count && i < kSensorValues; ++i) {
        values.append(t.Values[size_t(i)]);
        codes.append(t.Codes[size_t(i)]);
    }
    return QJsonObject{{QStringLiteral("Sensor"), t.Sensor},
                       {QStringLiteral("Count"), t.Count},
                       {QStringLiteral("Values"), values},
                       {QStringLiteral("Codes"), codes}};
}

int CfgCheck(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("cfg-check wants one argument: the cfg.ini to check"));
    const QString path = ctx.args[0];
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return ctx.Fail(QStringLiteral("cannot read %1: %2").arg(path, info.exists() ? QStringLiteral("not a readable file")
                                                                                   : QStringLiteral("no such file")));
    Configuration config;
    std::vector<ShownMessage> messages;
    bool ok = false;
    {
        MessageCollector collector;
        ok = LoadConfiguration(path, DefaultLogFile(), config);
        messages = collector.Messages();
    }
    if (!ok)
        messages.push_back(ShownMessage{QStringLiteral("Error"), QStringLiteral("     Data Init failed.     ")});

    if (ctx.json) {
        QJsonArray jsonMessages, languages, leds, devices, tables;
        for (const ShownMessage& m : messages)
            jsonMessages.append(QJsonObject{{QStringLiteral("caption"), m.caption}, {QStringLiteral("text"), m.text}});
        for (int i = 0; i < config.opt.LanguageListLength; ++i) {
            const LanguageEntry& e = config.opt.Languages[size_t(i)];
            languages.append(QJsonObject{{QStringLiteral("name"), e.name}, {QStringLiteral("folder"), e.folder}});
        }
        for (const LedEffectOption& e : config.opt.LedOpt)
            leds.append(QJsonObject{{QStringLiteral("LevelA"), e.LevelA},
                                    {QStringLiteral("LevelB"), e.LevelB},
                                    {QStringLiteral("ColourChoice"), e.ColourChoice}});
        for (int i = 0; i < kDeviceSlots; ++i) {
            if (config.devices[size_t(i)].HoldsModel())
                devices.append(DeviceToJson(i + 1, config.devices[size_t(i)]));
        }
        for (const SensorDpiTable& t : config.sensors.Slots()) {
            if (t.Sensor != 0)
                tables.append(SensorTableToJson(t));
        }
        ctx.PrintJson(QJsonObject{{QStringLiteral("ok"), ok},
                                  {QStringLiteral("messages"), jsonMessages},
                                  {QStringLiteral("options"), OptionsToJson(config.opt)},
                                  {QStringLiteral("languages"), languages},
                                  {QStringLiteral("led_options"), leds},
                                  {QStringLiteral("devices"), devices},
                                  {QStringLiteral("sensor_tables"), tables}});
    } else {
        for (const ShownMessage& m : messages)
            ctx.Print(QStringLiteral("%1: %2").arg(m.caption, m.text));
        int models = 0;
        for (const DeviceDescription& d : config.devices)
            models += d.HoldsModel() ? 1 : 0;
        if (ok)
            ctx.Print(QStringLiteral("%1: loads; %2 model(s), %3 language(s), %4 message(s)")
                          .arg(path)
                          .arg(models)
                          .arg(config.opt.LanguageCount())
                          .arg(messages.size()));
    }
    if (!ok)
        return ctx.Fail(QStringLiteral("%1: start-up would stop with \"Data Init failed.\"").arg(path));
    return kOk;
}

const CommandRegistrar kRegister("cfg-check", "  cfg-check [--json] CFG          check a cfg.ini as start-up loads it", CfgCheck);

}  // namespace
}  // namespace zorvan::cli
