#include "app/sensor_tables.h"

#include "app/configuration.h"
#include "app/ini_file.h"
#include "app/message_box.h"

#include <algorithm>

namespace zorvan {
namespace {

// Register codes of the built-in tables, in value order.
constexpr uint8_t kListA[49] = {0x04, 0x06, 0x08, 0x0B, 0x0D, 0x0F, 0x12, 0x14, 0x16, 0x19, 0x1B, 0x1D, 0x20,
                                0x22, 0x24, 0x27, 0x29, 0x2B, 0x2E, 0x30, 0x32, 0x34, 0x37, 0x39, 0x3B, 0x3E,
                                0x40, 0x42, 0x45, 0x47, 0x49, 0x4C, 0x4E, 0x50, 0x53, 0x55, 0x57, 0x5A, 0x5C,
                                0x5E, 0x61, 0x63, 0x65, 0x68, 0x6A, 0x6C, 0x6F, 0x71, 0x73};  // 200..5000 by 100
constexpr uint8_t kListD[35] = {0x10, 0x12, 0x15, 0x17, 0x1A, 0x1D, 0x1F, 0x22, 0x25, 0x27, 0x2A, 0x2D,
                                0x2F, 0x32, 0x34, 0x37, 0x3A, 0x3C, 0x3F, 0x42, 0x44, 0x47, 0x4A, 0x4C,
                                0x4F, 0x52, 0x54, 0x57, 0x59, 0x5C, 0x5F, 0x61, 0x64, 0x67, 0x69};  // 600..4000 by 100
constexpr uint8_t kListB[160] = {
    0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13, 0x14,
    0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x23, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A,
    0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34, 0x35, 0x36, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3E, 0x3F, 0x40,
    0x41, 0x42, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x50, 0x51, 0x52, 0x53, 0x54, 0x56,
    0x57, 0x58, 0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x62, 0x63, 0x64, 0x65, 0x66, 0x68, 0x69, 0x6A, 0x6B,
    0x6C, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x74, 0x75, 0x76, 0x77, 0x78, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x81,
    0x82, 0x83, 0x84, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9E, 0x9F, 0xA0, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xAA, 0xAB, 0xAC,
    0xAD, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD};  // 100..16000
constexpr uint8_t kListC[220] = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x15,
    0x16, 0x17, 0x18, 0x19, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x29, 0x2A,
    0x2B, 0x2C, 0x2D, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x51, 0x52, 0x53, 0x54,
    0x55, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5E, 0x5F, 0x60, 0x61, 0x62, 0x63, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7F,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8D, 0x8E, 0x8F, 0x90, 0x91, 0x93, 0x94,
    0x95, 0x96, 0x97, 0x98, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA7, 0xA8, 0xA9,
    0xAA, 0xAB, 0xAC, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBB, 0xBC, 0xBD, 0xBE,
    0xBF, 0xC0, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3,
    0xD4, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF, 0xE0, 0xE1, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
    0xEA, 0xEB, 0x76, 0x77, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7F, 0x80, 0x81, 0x82, 0x83, 0x84, 0x86, 0x87, 0x88,
    0x89, 0x8A, 0x8B, 0x8D};  // 50..10000 by 50, then 10100..12000 by 100

struct SensorDefaults {
    int32_t sensor;
    std::array<int32_t, 8> levels;
};

constexpr SensorDefaults kDefaults[] = {
    {0x3050, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
    {0x3370, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
    {0x3212, {750, 1000, 1600, 2400, 3200, 4000, 5000, 7200}},
    {0x3320, {750, 1000, 1500, 2000, 2500, 3500, 4000, 5000}},
    {0x3325, {800, 1200, 2000, 3200, 4000, 5200, 6000, 8000}},
    {0x3330, {1000, 1500, 2000, 3000, 4000, 5000, 6000, 7200}},
    {0x3360, {1000, 1600, 2000, 3000, 4000, 5000, 6000, 8000}},
    {0x3610, {1000, 1600, 2000, 2400, 3000, 3200, 4000, 5600}},
    {0x5050, {750, 1000, 1250, 1500, 1750, 2000, 2500, 2750}},
    {0x5090, {500, 1000, 1250, 1500, 2000, 2500, 3000, 3500}},
    {0x7350, {600, 800, 1000, 1200, 1600, 2000, 2400, 3200}},
    {0x9800, {1000, 1500, 2000, 3000, 3500, 4000, 5000, 8200}},
};

// Appends values to a table being built; never writes past its 650 positions.
class TableWriter {
public:
    explicit TableWriter(SensorDpiTable& t) : t_(t) {}
    void Add(int value, int code)
    {
        if (t_.Count >= kSensorValues)
            return;
        t_.Values[size_t(t_.Count)] = uint16_t(value);
        t_.Codes[size_t(t_.Count)] = uint8_t(code);
        ++t_.Count;
    }
    // Values first..last by step, codes from `codes` starting at `codeStart` (or the running
    // position when `codes` is empty).
    void Range(int first, int last, int step, const uint8_t* codes = nullptr, int codeStart = 0)
    {
        int i = codeStart;
        for (int v = first; v <= last; v += step, ++i)
            Add(v, codes ? codes[i] : t_.Count);
    }

private:
    SensorDpiTable& t_;
};

int ListACodeOf(int value)
{
    return kListA[(value - 200) / 100];
}

int PositionIn(const SensorDpiTable& t, int dpi, int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (t.Values[size_t(i)] == dpi)
            return i;
    }
    return -1;
}

int CodeAtValue(const SensorDpiTable& t, int dpi, int limit)
{
    const int pos = PositionIn(t, dpi, limit);
    return pos < 0 ? 0 : t.Codes[size_t(pos)];
}

int ValueOfCode(const SensorDpiTable& t, int code)
{
    const int count = std::clamp(t.Count, 0, kSensorValues);
    for (int i = 0; i < count; ++i) {
        if (t.Codes[size_t(i)] == code)
            return t.Values[size_t(i)];
    }
    return 0;
}

int FirstMatch(const uint8_t* codes, int n, int code, int firstValue, int step)
{
    for (int i = 0; i < n; ++i) {
        if (codes[i] == code)
            return firstValue + i * step;
    }
    return 0;
}

}  // namespace

void SensorTables::Build(int32_t setp3325, int32_t sensor9000Max, int32_t sensor3395Max)
{
    slots_ = {};
    size_t slot = 0;
    auto next = [&](int32_t sensor) -> TableWriter {
        SensorDpiTable& t = slots_[slot++];
        t.Sensor = sensor;
        return TableWriter(t);
    };
    {
        TableWriter t = next(0x3050);
        constexpr int values[] = {500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000};
        for (int i = 0; i < 11; ++i)
            t.Add(values[i], i + 1);
    }
    {
        TableWriter t = next(0x3330);
        t.Range(50, 7200, 50);
        t.Range(7300, 12000, 100);
    }
    next(0x3104).Range(600, 4000, 100, kListD);
    next(0x3212).Range(600, 2400, 100, kListD);
    {
        TableWriter t = next(0x3325);
        t.Range(200, 5000, 100, kListA);
        const int first = setp3325 ? 5200 : 6000;
        const int step = setp3325 ? 200 : 1000;
        for (int v = first; v <= 10000; v += step)
            t.Add(v, ListACodeOf(v / 2));
    }
    next(0x3335).Range(100, 16000, 100, kListB);
    {
        TableWriter t = next(0x4090);
        t.Range(200, 5000, 100, kListA);
        for (int v = 5200; v <= 10000; v += 200)
            t.Add(v, ListACodeOf(v / 2));
    }
    {
        TableWriter t = next(0x3336);
        t.Range(50, 7200, 50);
        for (int v = 7300; v <= 12000; v += 100)
            t.Add(v, (v / 2) / 50 - 1);  // the code of half the value among the first 144
    }
    {
        // Codes 0: the conversion of this sensor is arithmetic.
        TableWriter t = next(0x3370);
        for (int v = 50; v <= 10000; v += 50)
            t.Add(v, 0);
        for (int v = 10100; v <= 19000; v += 100)
            t.Add(v, 0);
        for (int v = 19200; v <= 38000; v += 200)
            t.Add(v, 0);
    }
    {
        TableWriter t = next(0x9000);
        t.Range(50, 10000, 50, kListC);
        // List C has codes up to 12000; a larger maximum stops there.
        const int last = std::min(sensor9000Max, 12000);
        if (sensor9000Max >= 10100)
            t.Range(10100, last, 100, kListC, 200);
    }
    {
        TableWriter t = next(0x3395);
        for (int v = 50; v <= 26000; v += 50)
            t.Add(v, 0);
        if (sensor3395Max >= 26100) {
            // The table holds 650 positions; the writer stops there.
            for (int v = 26100; v <= std::min(sensor3395Max, 65535); v += 100)
                t.Add(v, 0);
        }
    }
}

const SensorDpiTable* SensorTables::Find(int32_t sensor) const
{
    if (sensor == 0)
        return nullptr;
    for (const SensorDpiTable& t : slots_) {
        if (t.Sensor == sensor)
            return &t;
    }
    return nullptr;
}

SensorDpiTable* SensorTables::Find(int32_t sensor)
{
    return const_cast<SensorDpiTable*>(std::as_const(*this).Find(sensor));
}

void SensorTables::ApplyOverrides(SensorDpiTable& table, const IniSection& ini)
{
    // Pairs of a value and its replacement; at most 10 pairs are used.
    std::vector<std::pair<uint32_t, uint32_t>> aliases;
    if (auto text = ini.Value("DPIRANGEALIAS")) {
        const std::vector<uint32_t> v = ParseNumberList(*text, 10, 650);
        for (size_t i = 0; i + 1 < v.size() && aliases.size() < 10; i += 2)
            aliases.emplace_back(v[i], v[i + 1]);
    }
    const std::optional<QString> range = ini.Value("DPIRANGE");
    if (range && !range->isEmpty()) {
        const std::vector<uint32_t> v = ParseNumberList(range->left(259), 10, 650);
        if (v.size() < 3) {
            ShowMessage(QStringLiteral("Warning"), QStringLiteral("Wrong DPIRANGE"));
            return;
        }
        // Codes are kept: position i keeps the built-in code of position i.
        table.Values.fill(0);
        int count = 0;
        auto generate = [&](uint32_t first, uint32_t last, uint32_t step) {
            const auto f = int64_t(int32_t(first)), l = int64_t(int32_t(last)), s = int64_t(int32_t(step));
            int64_t x = f;
            do {
                if (count >= kSensorValues)
                    return;
                uint32_t value = uint32_t(x);
                for (const auto& [from, to] : aliases) {
                    if (from == uint32_t(x) && to != 0xFFFFFFFFu) {
                        value = to;
                        break;
                    }
                }
                table.Values[size_t(count++)] = uint16_t(value);
                // A step of 0 or less writes the first value only.
                if (s <= 0)
                    return;
                x += s;
            } while (x <= l);
        };
        generate(v[0], v[1], v[2]);
        if (v.size() >= 6)
            generate(v[3], v[4], v[5]);
        table.Count = count;
        return;
    }
    const std::optional<QString> set = ini.Value("DPISET");
    const bool setHasText = set && !set->isEmpty();
    if (setHasText) {
        const std::vector<uint32_t> v = ParseNumberList(set->left(779), 10, 650);
        table.Values.fill(0);
        for (size_t i = 0; i < v.size(); ++i)
            table.Values[i] = uint16_t(v[i]);
        table.Count = int32_t(v.size());
    }
    const std::optional<QString> hw = ini.Value("DPIHW");
    if (hw && !hw->isEmpty()) {
        const std::vector<uint32_t> v = ParseNumberList(hw->left(519), 16, 650);
        table.Codes.fill(0);
        for (size_t i = 0; i < v.size(); ++i)
            table.Codes[i] = uint8_t(v[i]);
        if (int32_t(v.size()) != table.Count)
            ShowMessage(QStringLiteral("Warning"), QStringLiteral("DPISET Num != DPIHW Num"));
    } else if (setHasText) {
        table.Codes.fill(0);
        for (int i = 0; i < table.Count; ++i)
            table.Codes[size_t(i)] = uint8_t(i + 1);
    }
}

int SensorTables::DpiToCode(int32_t sensor, int dpi, int* rangeFlag) const
{
    const SensorDpiTable* t = Find(sensor);
    if (t == nullptr)
        return 0;
    const int count = std::clamp(t->Count, 0, kSensorValues);
    int code = 0;
    int flag = 0;
    switch (sensor) {
    case 0x3335: {
        const int v = dpi <= 16000 ? dpi : dpi / 2;
        const int index = v / 100 - 1;
        code = (index >= 0 && index < 160) ? kListB[index] : 0;
        flag = dpi > 16000 ? 1 : 0;
        break;
    }
    case 0x3395:
        code = dpi < 26100 ? dpi / 50 - 1 : (dpi / 2) / 50 - 1;
        flag = dpi < 26100 ? 0 : 1;
        break;
    case 0x3330:
        code = dpi <= 7200 ? dpi / 50 - 1 : (dpi / 2) / 50 - 1;
        flag = dpi <= 7200 ? 0 : 1;
        break;
    case 0x3370:
        if (dpi <= 10000) {
            code = dpi / 50 - 1;
        } else if (dpi <= 19000) {
            code = dpi / 100 - 1;
            flag = 2;
        } else if (dpi <= 20000) {
            code = (dpi / 2) / 50 - 1;
            flag = 1;
        } else if (dpi <= 38000) {
            code = (dpi / 2) / 100 - 1;
            flag = 3;
        }
        break;
    case 0x3325:
    case 0x4090:
        code = CodeAtValue(*t, dpi, kSensorValues);
        flag = dpi > 5000 ? 1 : 0;
        break;
    case 0x3336:
        code = CodeAtValue(*t, dpi, kSensorValues);
        flag = dpi > 7200 ? 1 : 0;
        break;
    case 0x3104:
        code = CodeAtValue(*t, dpi, count);
        flag = dpi > 4000 ? 1 : 0;
        break;
    case 0x9000:
        if (dpi > 12000)
            code = DpiToCode(0x9000, dpi / 2);
        else
            code = CodeAtValue(*t, dpi, count);
        flag = dpi < 10100 ? 0 : (dpi <= 12000 ? 0x22 : 0x11);
        break;
    default:
        code = CodeAtValue(*t, dpi, count);
        return code;  // no range flag for other sensors
    }
    if (rangeFlag)
        *rangeFlag = flag;
    return code;
}

int SensorTables::CodeToDpi(int32_t sensor, int code, int flags) const
{
    const SensorDpiTable* t = Find(sensor);
    if (t == nullptr)
        return 0;
    int dpi = 0;
    switch (sensor) {
    case 0x3335:
        dpi = FirstMatch(kListB, 160, code, 100, 100);
        return flags != 0 ? dpi * 2 : dpi;
    case 0x3395:
        dpi = (code + 1) * 50;
        return (flags & 1) ? dpi * 2 : dpi;
    case 0x3370:
        dpi = (flags & 2) ? (code + 1) * 100 : (code + 1) * 50;
        return (flags & 1) ? dpi * 2 : dpi;
    case 0x3325:
    case 0x4090:
        dpi = FirstMatch(kListA, 49, code, 200, 100);
        return flags != 0 ? dpi * 2 : dpi;
    case 0x3336:
        dpi = (code >= 0 && code <= 143) ? 50 * (code + 1) : 0;
        return flags != 0 ? dpi * 2 : dpi;
    case 0x3330:
        return flags != 0 ? (code + 1) * 100 : (code + 1) * 50;
    case 0x3104:
    case 0x9000:
        dpi = ValueOfCode(*t, code);
        return flags != 0 ? dpi * 2 : dpi;
    default:
        return ValueOfCode(*t, code);
    }
}

int SensorTables::DpiIndex(int32_t sensor, int dpi) const
{
    const SensorDpiTable* t = Find(sensor);
    if (t == nullptr)
        return -1;
    return PositionIn(*t, dpi, std::clamp(t->Count, 0, kSensorValues));
}

int SensorTables::DpiAt(int32_t sensor, int position) const
{
    const SensorDpiTable* t = Find(sensor);
    if (t == nullptr || position < 0 || position >= std::clamp(t->Count, 0, kSensorValues))
        return -1;
    return t->Values[size_t(position)];
}

std::optional<std::array<int32_t, 8>> DefaultDpiLevels(int32_t sensor)
{
    for (const SensorDefaults& d : kDefaults) {
        if (d.sensor == sensor)
            return d.levels;
    }
    return std::nullopt;
}

int DpiToCode(int32_t sensor, int dpi, int* rangeFlag)
{
    return Config().sensors.DpiToCode(sensor, dpi, rangeFlag);
}

int CodeToDpi(int code, int flags)
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr || device->Sensor == 0)
        return 0;
    return Config().sensors.CodeToDpi(device->Sensor, code, flags);
}

int DpiIndex(int32_t sensor, int dpi)
{
    return Config().sensors.DpiIndex(sensor, dpi);
}

int DpiAt(int32_t sensor, int position)
{
    return Config().sensors.DpiAt(sensor, position);
}

}  // namespace zorvan
