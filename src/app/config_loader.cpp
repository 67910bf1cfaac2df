// The data initialisation: cfg.ini's [OPT] section, the sensor DPI tables and the device
// sections, in the order start-up relies on (messages appear in this order).
#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "app/ini_file.h"
#include "app/log.h"
#include "app/message_box.h"
#include "app/option_keys.h"
#include "app/value_ranges.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace zorvan {
namespace {

const QString kWarning = QStringLiteral("Warning");
const QString kError = QStringLiteral("Error");

constexpr char kOpt[] = "OPT";

std::optional<QString> NonEmpty(const IniSection& section, std::string_view key)
{
    std::optional<QString> v = section.Value(key);
    if (v && v->isEmpty())
        return std::nullopt;
    return v;
}

// Numbered key names ("K3_2", "Mark7", …), made once.
template <size_t N>
std::array<std::string, N> Numbered(const char* format, int first = 1)
{
    std::array<std::string, N> names;
    for (size_t i = 0; i < N; ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, format, int(i) + first);
        names[i] = buffer;
    }
    return names;
}

const std::string& KeyTableName(int button, int table)
{
    static const std::array<std::array<std::string, kKeysPerSet>, kKeySets> names = [] {
        std::array<std::array<std::string, kKeysPerSet>, kKeySets> n;
        // Formatted into a buffer: GCC 12 at -O3 wrongly reports `"K" + std::string` as an
        // overlapping copy (-Werror=restrict).
        for (int t = 0; t < kKeySets; ++t)
            for (int b = 0; b < kKeysPerSet; ++b) {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "K%d_%d", b + 1, t + 1);
                n[size_t(t)][size_t(b)] = buffer;
            }
        return n;
    }();
    return names[size_t(table - 1)][size_t(button - 1)];
}

// Byte list: a number list of at most 511 characters, base 10, each value kept in one byte.
std::vector<uint8_t> ByteList(const QString& text, size_t maxCount)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : ParseNumberList(text, 10, maxCount, 511))
        bytes.push_back(uint8_t(v));
    return bytes;
}

// `value` of key `key` in section `section`, held to `range`; a value outside is logged.
int32_t Held(int32_t value, ValueRange range, const char* section, const char* key)
{
    if (range.Holds(value))
        return value;
    const int32_t held = range.Clamp(value);
    Log("%s: %s=%d out of range, %d used", section, key, value, held);
    return held;
}

// The first N values of a number list as layout coordinates.
template <size_t N>
std::array<int32_t, N> Coordinates(const std::vector<uint32_t>& v, const char* section, const char* key)
{
    std::array<int32_t, N> c{};
    for (size_t i = 0; i < N; ++i)
        c[i] = Held(int32_t(v[i]), kLayoutRange, section, key);
    return c;
}

Point ReadPoint(const IniSection& ini, const char* section, const char* key, Point fallback)
{
    const std::optional<QString> text = NonEmpty(ini, key);
    if (!text)
        return fallback;
    const std::vector<uint32_t> v = ParseNumberList(text->left(49), 10, 2);
    if (v.size() < 2) {
        ShowMessage(kError, QStringLiteral("Wrong POINT num"));
        return fallback;
    }
    const auto [x, y] = Coordinates<2>(v, section, key);
    return Point{x, y};
}

void ReadOption(const IniSection& ini, const OptionKey& k, AppOptions& opt)
{
    switch (k.kind) {
    case OptionKind::Int:
    case OptionKind::IntIgnored:
        if (k.intField)
            opt.*k.intField = Held(ini.Int(k.key, k.intDefault), k.range, kOpt, k.key);
        break;
    case OptionKind::U16:
        opt.*k.u16Field = uint16_t(ini.Int(k.key, k.intDefault));
        break;
    case OptionKind::Text:
    case OptionKind::TextIgnored:
        if (k.textField)
            opt.*k.textField = ini.Text(k.key, QString(), k.maxChars);
        break;
    case OptionKind::Colour: {
        const std::optional<QString> text = NonEmpty(ini, k.key);
        if (!text) {
            opt.*k.intField = k.intDefault;
            break;
        }
        const std::vector<uint8_t> rgb = ByteList(*text, 3);
        opt.*k.intField = Rgb(rgb.size() > 0 ? rgb[0] : 0, rgb.size() > 1 ? rgb[1] : 0, rgb.size() > 2 ? rgb[2] : 0);
        break;
    }
    case OptionKind::Rect:
    case OptionKind::RectIgnored: {
        Rect r = k.rectDefault;
        if (const std::optional<QString> text = NonEmpty(ini, k.key)) {
            const std::vector<uint32_t> v = ParseNumberList(text->left(49), 10, 4);
            if (v.size() < 4) {
                ShowMessage(kError, QStringLiteral("Wrong rect num"));
            } else if (k.rectField) {
                const auto [left, top, right, bottom] = Coordinates<4>(v, kOpt, k.key);
                r = Rect{left, top, right, bottom};
            }
        }
        if (k.rectField)
            opt.*k.rectField = r;
        break;
    }
    case OptionKind::Point:
        opt.*k.pointField = ReadPoint(ini, kOpt, k.key, k.pointDefault);
        break;
    }
}

void ReadLedParam(const IniSection& ini, AppOptions& opt)
{
    opt.LEDParam = {3, 10, 8, 255, 0, 255};
    const std::optional<QString> text = NonEmpty(ini, "LEDParam");
    if (!text)
        return;
    const std::vector<uint8_t> v = ByteList(*text, 6);
    if (v.empty())
        return;
    opt.LEDParam = {};
    std::memcpy(opt.LEDParam.data(), v.data(), v.size());
}

void ReadLedOptions(const IniSection& ini, AppOptions& opt)
{
    static const auto names = Numbered<7>("LedOpt%d");
    constexpr LedEffectOption kDefaults[7] = {{0, 6, 1}, {6, 6, 1}, {8, 10, 0}, {6, 6, 0},
                                              {6, 6, 1}, {6, 6, 0}, {0, 0, 0}};
    for (int n = 1; n <= 7; ++n) {
        LedEffectOption& e = opt.LedOpt[size_t(n - 1)];
        e = kDefaults[n - 1];
        const std::optional<QString> text = NonEmpty(ini, names[size_t(n - 1)]);
        if (!text)
            continue;
        const std::vector<uint8_t> v = ByteList(*text, 29);
        e.LevelA = v.size() > 0 ? v[0] : 0;
        e.LevelB = v.size() > 1 ? v[1] : 0;
        e.ColourChoice = v.size() > 4 ? v[4] : 0;
    }
}

void ReadLanguages(const IniSection& ini, AppOptions& opt)
{
    static const auto names = Numbered<10>("Lang%d");
    opt.LanguageListLength = 0;
    for (int n = 1; n <= 10; ++n) {
        const std::optional<QString> value = NonEmpty(ini, names[size_t(n - 1)]);
        if (!value)
            return;
        const QString text = value->left(259);
        const qsizetype comma = text.left(260).indexOf(u',');
        if (comma < 0 || comma + 1 >= text.size()) {
            ShowMessage(kError, QStringLiteral("Lang%1 is invalidate").arg(n));
            return;
        }
        LanguageEntry& entry = opt.Languages[size_t(n - 1)];
        entry.name = text.left(comma).left(29);
        entry.folder = text.mid(comma + 1).left(29);
        opt.LanguageListLength = n;
    }
}

void ReadOptions(const IniSection& ini, AppOptions& opt)
{
    for (const OptionKey& k : OptionKeys()) {
        ReadOption(ini, k, opt);
        if (std::strcmp(k.key, "Title") == 0 && opt.appdir.isEmpty())
            ShowMessage(kError, QStringLiteral("APPDATA=NULL"));
    }
}

// --- device sections ------------------------------------------------------------------------

void ReadKeyTables(const IniSection& ini, DeviceDescription& d)
{
    KeyAssignment working[kKeysPerSet] = {};
    for (int t = 1; t <= kKeySets; ++t) {
        working[0].dwFunID = 0;
        int counted = 0;
        for (int b = 1; b <= kKeysPerSet; ++b) {
            const std::optional<QString> text = ini.Value(KeyTableName(b, t));
            if (!text)
                continue;
            const std::vector<uint32_t> v = ParseNumberList(text->left(49), 16, 4);
            if (v.size() != 4)
                continue;
            const uint32_t type = v[0] & 0xFF, code = v[1], param = v[2], extra = v[3];
            KeyAssignment& k = working[b - 1];
            k.dwFunID = FunId(type, code & 0xFF);
            k.matrix = extra & 0xFF;
            // Special functions that carry a value take the table's parameter.
            const FunctionEntry* function = FindFunction(k.dwFunID);
            if (type == kClassSpecial && function != nullptr && CarriesParameter(function->details))
                k.dwParameter = (k.dwFunID == kFunFire && param == 0) ? kFireDefaultParameter : param;
            if (type == kClassCombo) {
                k.dwFunID = kFunCombo;
                k.stCombo[1] = uint8_t(code & 0xFF);
                k.stCombo[2] = uint8_t((code >> 8) & 0xFF);
                k.stCombo[0] |= uint8_t(param & 0x0F);
            }
            ++counted;
        }
        if (counted > 0) {
            if (counted < d.KeyCount)
                ShowMessage(kError, QStringLiteral("Key num to small"));
            std::memcpy(d.KeyTables[t - 1], working, sizeof working);
        } else if (t > 1) {
            std::memcpy(d.KeyTables[t - 1], d.KeyTables[0], sizeof working);
        }
    }
}

void ReadMarks(const IniSection& ini, const char* section, DeviceDescription& d)
{
    static const auto names = Numbered<16>("Mark%d");
    for (int n = 1; n <= 16; ++n) {
        const std::optional<QString> text = NonEmpty(ini, names[size_t(n - 1)]);
        if (!text)
            return;
        const std::vector<uint32_t> v = ParseNumberList(text->left(49), 10, 4);
        if (v.size() < 4) {
            ShowMessage(kError, QStringLiteral("Mark value error"));
            continue;
        }
        const auto [x, y, w, h] = Coordinates<4>(v, section, names[size_t(n - 1)].c_str());
        d.KeyMarks[size_t(n - 1)] = Rect{x, y, x + w, y + h};
    }
}

// Reads [DEV_n] into `d` and its display name into `name`. False on a fatal condition.
bool ReadDeviceSection(const IniFile& file, int n, SensorTables& sensors, DeviceDescription& d, QString& name)
{
    static const auto sections = Numbered<kDeviceSlots>("DEV_%d");
    static const auto rates = Numbered<4>("RATE%d");
    static const auto exKeys = Numbered<3>("ExKey%d");
    const char* section = sections[size_t(n - 1)].c_str();
    const IniSection ini = file.Section(section);
    auto num = [&](std::string_view key, int32_t fallback) { return ini.Int(key, fallback); };
    auto held = [&](const char* key, int32_t fallback, ValueRange range) {
        return Held(ini.Int(key, fallback), range, section, key);
    };

    d = DeviceDescription{};
    name = ini.Value("Name").value_or(QString()).left(63);
    d.Sensor = num("Sensor", 0);
    if (d.Sensor == 0)
        return true;

    d.CID = num("CID", 0);
    d.MID = num("MID", 0);
    d.MarkPoint = ReadPoint(ini, section, "ptMark", Point{337, 65});
    d.LedMarkPoint = ReadPoint(ini, section, "ptLedMark", Point{525, 30});
    for (const std::string& rate : rates)
        num(rate, 0);  // read, no effect
    d.ReportRate = num("DR", 0x500);
    d.ShowLOD = num("ShowLOD", 0);
    d.ShowUsbRate = num("ShowUsbRate", 1);
    d.ShowRipple = num("ShowRipple", 1);
    d.ShowFixLine = num("ShowFixLine", 1);
    d.ShowMainEffect = num("ShowMainEffect", 1);
    d.ShowLogoEffect = num("ShowLogoEffect", 0);
    d.ShowDebounce = num("ShowDebounce", 1);
    d.Debounce = num("Debounce", 0);
    d.ShowXY = num("ShowXY", 0);
    d.ShowRGBSw = num("ShowRGBSw", 1);
    d.DpiMenuMask = num("DpiMenuMask", 7);
    d.DpiUiLevels = held("DpiUILevels", 0, kDpiLevelCountRange);
    d.SetDpiByClick = num("SetDPIByClick", 0);
    d.ShowSleep = num("ShowSleep", 1);
    d.DpiLedMode = num("DpiLEDMode", 0);
    if (d.DpiLedMode == 0)
        d.DpiLedMode = 0x030502;
    d.LedMask = num("LedMask", 0);
    d.SleepTime = num("SleepTime", 60);
    d.SleepTimeCheck = num("SleepTimeCheck", 1);

    const std::vector<uint32_t> sleep = ParseNumberList(ini.Value("SleepVal").value_or(QString()), 10, 12);
    if (!sleep.empty()) {
        for (size_t i = 0; i < sleep.size(); ++i)
            d.SleepValues[i] = int32_t(sleep[i]);
    } else {
        d.SleepValues = {10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400, 0};
    }

    d.DpiColorReadOnly = num("DpiColorReadOnly", 0);
    d.ShowDpiColor = num("ShowDpiColor", 1);
    d.ShowDpiLED = num("ShowDpiLED", 1);
    d.ShowDpi = num("ShowDpi", 1);
    if (d.ShowDpi == 0)
        d.ShowDpiLED = 0;
    for (int k = 1; k <= 3; ++k)
        d.ExKeys[size_t(k - 1)] = num(exKeys[size_t(k - 1)], 0);

    if (ParseNumberList(ini.Value("DpiLimit").value_or(QString()), 10, 20).size() % 2 != 0)
        ShowMessage(kWarning, QStringLiteral("wrong DpiLimit value"));

    d.DpiLevelCount = num("DM", 6);
    d.DpiHeight = held("DPIH", 10, kLayoutRange);
    d.DefaultLevel = held("DEFLEVEL", 0, kDpiLevelIndexRange);

    SensorDpiTable* table = sensors.Find(d.Sensor);
    if (table == nullptr)
        ShowMessage(kWarning, QStringLiteral("Can't find sensor"));
    else
        SensorTables::ApplyOverrides(*table, ini);

    // The record holds eight levels; a larger DM is never used beyond them.
    const int levels = std::clamp(d.DpiLevelCount, 0, 8);
    const std::vector<uint32_t> dpi = ParseNumberList(ini.Value("DPI").value_or(QString()), 10, 8);
    if (int32_t(dpi.size()) == d.DpiLevelCount) {
        for (size_t i = 0; i < dpi.size(); ++i)
            d.DpiLevels[i] = int32_t(dpi[i]);
    } else {
        if (!dpi.empty())
            ShowMessage(kWarning, QStringLiteral("DPI != DM."));
        if (const auto defaults = DefaultDpiLevels(d.Sensor))
            d.DpiLevels = *defaults;
    }
    if (table != nullptr) {
        for (int i = 0; i < levels; ++i) {
            if (sensors.DpiIndex(d.Sensor, d.DpiLevels[size_t(i)]) < 0)
                ShowMessage(kWarning, QStringLiteral("Wrong default dpi value: %1").arg(d.DpiLevels[size_t(i)]));
        }
    }

    d.DpiColours = {0x0000FF, 0xFF0000, 0x00FF00, 0xFF0080, 0x03C6FA, 0x6A03FA, 0xFF00FF, 0xFFFF00};
    const std::optional<QString> dc = ini.Value("DC");
    const std::vector<uint8_t> colours = ByteList(dc.value_or(QString()), 24);
    if (int64_t(colours.size()) == 3 * int64_t(d.DpiLevelCount)) {
        for (int i = 0; i < levels; ++i)
            d.DpiColours[size_t(i)] = Rgb(colours[size_t(3 * i)], colours[size_t(3 * i + 1)], colours[size_t(3 * i + 2)]);
    } else if (!colours.empty()) {
        ShowMessage(kWarning, QStringLiteral("DC != DM."));
    }

    d.KeyHeight = held("KEYH", 10, kLayoutRange);

    switch (num("MDNUM", 9)) {
    case 3: d.ModeCode = 1; break;
    case 6: d.ModeCode = 2; break;
    case 9: d.ModeCode = 3; break;
    default:
        Log("DEV_%d: MDNUM must be 3, 6 or 9", n);
        return false;
    }
    const int32_t km = num("KM", 32);
    if (km % 2 != 0 || km / 2 < 1 || km / 2 > 16) {
        Log("DEV_%d: KM must be even and KM/2 in 1..16", n);
        return false;
    }
    d.KeyCount = km / 2;

    ReadKeyTables(ini, d);
    ReadMarks(ini, section, d);
    return true;
}

}  // namespace

bool LoadConfiguration(const QString& cfgPath, const QString& logFile, Configuration& into)
{
    IniFile ini;
    ini.Load(cfgPath);
    return LoadConfiguration(ini, logFile, into);
}

bool LoadConfiguration(const IniFile& ini, const QString& logFile, Configuration& into)
{
    into.opt = AppOptions{};
    into.devices = {};
    std::memset(into.defaultKeys, 0, sizeof into.defaultKeys);
    into.SetCurrentDeviceIndex(-1);

    AppOptions& opt = into.opt;

    opt.Setp3325 = ini.Int(kOpt, "3325Setp200", 0);
    opt.Sensor9000Max = ini.Int(kOpt, "Sensor9000Max", 12000);
    opt.Sensor3395Max = ini.Int(kOpt, "Sensor3395Max", 32000);
    into.sensors.Build(opt.Setp3325, opt.Sensor9000Max, opt.Sensor3395Max);

    opt.Debug = ini.Int(kOpt, "Debug", 0);
    InitLog(opt.Debug, logFile);

    const IniSection options = ini.Section(kOpt);
    ReadOptions(options, opt);
    ReadLedParam(options, opt);
    ReadLedOptions(options, opt);
    ReadLanguages(options, opt);

    for (int n = 1; n <= kDeviceSlots; ++n) {
        if (!ReadDeviceSection(ini, n, into.sensors, into.devices[size_t(n - 1)], into.deviceNames[size_t(n - 1)]))
            return false;
    }
    into.SetCurrentDeviceIndex(0);
    into.CopyDefaultKeys();
    into.limits = MacroLimits{};
    into.limits.minDelay = opt.MinDelay;
    return true;
}

}  // namespace zorvan
