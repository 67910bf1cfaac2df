#include "cli/json_apply.h"

#include "app/function_catalogue.h"
#include "cli/key_functions.h"
#include "profile/apply_request.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace zorvan::cli {
namespace {

constexpr qint64 kIntMin = std::numeric_limits<int32_t>::min();
constexpr qint64 kIntMax = std::numeric_limits<int32_t>::max();
constexpr qint64 kUIntMax = std::numeric_limits<uint32_t>::max();

// Reads fields of a JSON object into record fields; the first problem names its field.
class FieldReader {
public:
    explicit FieldReader(QString& error) : error_(error) {}

    bool Failed() const { return !error_.isEmpty(); }

    // Every field of `object` is one of `names`.
    bool OnlyKnown(const QJsonObject& object, const QString& path, std::initializer_list<const char*> names)
    {
        for (auto it = object.begin(); it != object.end() && !Failed(); ++it) {
            const bool known = std::any_of(names.begin(), names.end(),
                                           [&](const char* name) { return it.key() == QLatin1String(name); });
            if (!known)
                error_ = QStringLiteral("%1: not a field of this document").arg(Join(path, it.key()));
        }
        return !Failed();
    }

    template <typename T>
    void Int(const QJsonObject& object, const QString& path, const char* name, T& into, qint64 min = kIntMin,
             qint64 max = kIntMax)
    {
        if (Failed() || !object.contains(QLatin1String(name)))
            return;
        IntValue(object.value(QLatin1String(name)), Join(path, QLatin1String(name)), into, min, max);
    }

    template <typename T>
    void IntValue(const QJsonValue& value, const QString& field, T& into, qint64 min, qint64 max)
    {
        if (Failed())
            return;
        const double number = value.toDouble();
        if (!value.isDouble() || std::floor(number) != number) {
            error_ = QStringLiteral("%1: expected an integer").arg(field);
            return;
        }
        if (number < double(min) || number > double(max)) {
            // The number may be beyond any integer: written as it was read.
            error_ = QStringLiteral("%1: %2 is outside %3..%4").arg(field, QString::number(number, 'g', 17)).arg(min).arg(max);
            return;
        }
        into = T(qint64(number));
    }

    // The object `name`, if present; false when absent or on error.
    bool Object(const QJsonObject& object, const QString& path, const char* name, QJsonObject& out)
    {
        if (Failed() || !object.contains(QLatin1String(name)))
            return false;
        const QJsonValue value = object.value(QLatin1String(name));
        if (!value.isObject()) {
            error_ = QStringLiteral("%1: expected an object").arg(Join(path, QLatin1String(name)));
            return false;
        }
        out = value.toObject();
        return true;
    }

    // The array `name` of exactly `size` elements, if present.
    bool Array(const QJsonObject& object, const QString& path, const char* name, qsizetype size, QJsonArray& out)
    {
        if (Failed() || !object.contains(QLatin1String(name)))
            return false;
        return ArrayValue(object.value(QLatin1String(name)), Join(path, QLatin1String(name)), size, out);
    }

    bool ArrayValue(const QJsonValue& value, const QString& field, qsizetype size, QJsonArray& out)
    {
        if (!value.isArray() || value.toArray().size() != size) {
            error_ = QStringLiteral("%1: expected an array of %2").arg(field).arg(size);
            return false;
        }
        out = value.toArray();
        return true;
    }

    bool ObjectAt(const QJsonArray& array, qsizetype i, const QString& field, QJsonObject& out)
    {
        if (Failed())
            return false;
        if (!array.at(i).isObject()) {
            error_ = QStringLiteral("%1: expected an object").arg(field);
            return false;
        }
        out = array.at(i).toObject();
        return true;
    }

    void Fail(const QString& text) { error_ = text; }

    static QString Join(const QString& path, const QString& name) { return path.isEmpty() ? name : path + u'.' + name; }

private:
    QString& error_;
};

void ReadLight(FieldReader& r, const QJsonObject& record, const char* name, LightingBlock& light)
{
    QJsonObject o;
    const QString path = QStringLiteral("record.") + QLatin1String(name);
    if (!r.Object(record, QStringLiteral("record"), name, o) ||
        !r.OnlyKnown(o, path, {"mode", "speed", "brightness", "colour"}))
        return;
    r.Int(o, path, "mode", light.mode);
    r.Int(o, path, "speed", light.speed);
    r.Int(o, path, "brightness", light.brightness);
    r.Int(o, path, "colour", light.colour, 0, 0xFFFFFF);
}

void ReadKey(FieldReader& r, const QJsonObject& o, const QString& path, KeyAssignment& key)
{
    if (!r.OnlyKnown(o, path, {"dwFunID", "matrix", "dwMacroID", "stCombo", "dwParameter"}))
        return;
    r.Int(o, path, "dwFunID", key.dwFunID, 0, kUIntMax);
    r.Int(o, path, "matrix", key.matrix, 0, kUIntMax);
    r.Int(o, path, "dwMacroID", key.dwMacroID, 0, kUIntMax);
    r.Int(o, path, "dwParameter", key.dwParameter, 0, kUIntMax);
    QJsonArray combo;
    if (r.Array(o, path, "stCombo", 4, combo)) {
        for (qsizetype i = 0; i < 4; ++i)
            r.IntValue(combo.at(i), QStringLiteral("%1.stCombo[%2]").arg(path).arg(i), key.stCombo[i], 0, 255);
    }
}

void ReadKeys(FieldReader& r, const QJsonObject& record, ProfileRecord& p)
{
    QJsonArray sets;
    if (!r.Array(record, QStringLiteral("record"), "keys", kKeySets, sets))
        return;
    for (qsizetype s = 0; s < kKeySets && !r.Failed(); ++s) {
        QJsonArray keys;
        const QString setPath = QStringLiteral("record.keys[%1]").arg(s);
        if (!r.ArrayValue(sets.at(s), setPath, kKeysPerSet, keys))
            return;
        for (qsizetype k = 0; k < kKeysPerSet && !r.Failed(); ++k) {
            QJsonObject key;
            const QString path = QStringLiteral("%1[%2]").arg(setPath).arg(k);
            if (r.ObjectAt(keys, k, path, key))
                ReadKey(r, key, path, p.Key[s][k]);
        }
    }
}

void ReadLevels(FieldReader& r, const QJsonObject& record, ProfileRecord& p)
{
    QJsonArray levels;
    if (!r.Array(record, QStringLiteral("record"), "dpi_levels", kDpiLevels, levels))
        return;
    for (qsizetype i = 0; i < kDpiLevels && !r.Failed(); ++i) {
        QJsonObject o;
        const QString path = QStringLiteral("record.dpi_levels[%1]").arg(i);
        if (!r.ObjectAt(levels, i, path, o) || !r.OnlyKnown(o, path, {"x", "y", "colour", "hidden"}))
            return;
        DpiLevelRecord& level = p.dpiLevels[i];
        r.Int(o, path, "x", level.x);
        r.Int(o, path, "y", level.y);
        r.Int(o, path, "colour", level.colour, 0, 0xFFFFFF);
        r.Int(o, path, "hidden", level.hidden, 0, 1);
    }
}

void ReadRecord(FieldReader& r, const QJsonObject& record, ProfileRecord& p)
{
    const QString path = QStringLiteral("record");
    if (!r.OnlyKnown(record, path,
                     {"id", "name", "current_key_set", "keys", "polling_rate", "xy_separate", "dpi_levels",
                      "dpi_level_count", "sensor", "lod", "ripple", "angle_snapping", "sleep_time", "debounce",
                      "light_off_moving", "dpi_effect", "main_light", "logo_light", "wheel_lines", "double_click",
                      "pointer_speed", "precision", "trails"}))
        return;
    r.Int(record, path, "id", p.id, 0, kUIntMax);
    if (record.contains(QStringLiteral("name"))) {
        const QJsonValue name = record.value(QStringLiteral("name"));
        if (!name.isString() || name.toString().size() > kProfileNameMaxChars)
            r.Fail(QStringLiteral("record.name: expected a text of at most %1 characters").arg(kProfileNameMaxChars));
        else
            p.SetName(name.toString().toStdU16String());
    }
    r.Int(record, path, "current_key_set", p.currentKeySet, 0, kKeySets - 1);
    ReadKeys(r, record, p);
    r.Int(record, path, "polling_rate", p.pollingRate);
    r.Int(record, path, "xy_separate", p.xySeparate, 0, 1);
    ReadLevels(r, record, p);
    r.Int(record, path, "dpi_level_count", p.dpiLevelCount);
    const int32_t sensor = p.sensor;
    r.Int(record, path, "sensor", p.sensor);
    if (!r.Failed() && p.sensor != sensor)
        r.Fail(QStringLiteral("record.sensor: the document is for sensor 0x%1, this profile's is 0x%2")
                   .arg(p.sensor, 0, 16)
                   .arg(sensor, 0, 16));
    r.Int(record, path, "lod", p.lod);
    r.Int(record, path, "ripple", p.ripple, 0, 1);
    r.Int(record, path, "angle_snapping", p.angleSnapping, 0, 1);
    r.Int(record, path, "sleep_time", p.sleepTime);
    r.Int(record, path, "debounce", p.debounce);
    r.Int(record, path, "light_off_moving", p.lightOffMoving, 0, 1);
    QJsonObject effect;
    if (r.Object(record, path, "dpi_effect", effect) &&
        r.OnlyKnown(effect, QStringLiteral("record.dpi_effect"), {"mode", "speed", "parameter"})) {
        r.Int(effect, QStringLiteral("record.dpi_effect"), "mode", p.dpiEffectMode);
        r.Int(effect, QStringLiteral("record.dpi_effect"), "speed", p.dpiEffectSpeed);
        r.Int(effect, QStringLiteral("record.dpi_effect"), "parameter", p.dpiEffectParameter);
    }
    ReadLight(r, record, "main_light", p.mainLight);
    ReadLight(r, record, "logo_light", p.logoLight);
    r.Int(record, path, "wheel_lines", p.wheelLines);
    r.Int(record, path, "double_click", p.doubleClickTime);
    r.Int(record, path, "pointer_speed", p.pointerSpeed);
    r.Int(record, path, "precision", p.enhancePrecision, 0, 1);
    r.Int(record, path, "trails", p.pointerTrails);
}

// The decimal rate of a stored value: 0x500 is 500 reports per second.
int RateHz(int32_t stored)
{
    bool ok = false;
    const int hz = QString::number(stored, 16).toInt(&ok);
    return ok ? hz : 0;
}

bool SameKey(const KeyAssignment& a, const KeyAssignment& b)
{
    return a.dwFunID == b.dwFunID && a.dwMacroID == b.dwMacroID &&
           std::memcmp(a.stCombo, b.stCombo, sizeof a.stCombo) == 0 && a.dwParameter == b.dwParameter;
}

bool SameLight(const LightingBlock& a, const LightingBlock& b)
{
    return a.mode == b.mode && a.speed == b.speed && a.brightness == b.brightness && a.colour == b.colour;
}

// The members of a lighting block that differ, as a `light` command would name them.
LightChange LightDifference(const LightingBlock& from, const LightingBlock& to)
{
    LightChange change;
    if (from.mode != to.mode)
        change.mode = to.mode;
    if (from.speed != to.speed)
        change.speed = to.speed;
    if (from.brightness != to.brightness)
        change.brightness = to.brightness;
    if (from.colour != to.colour)
        change.colour = to.colour;
    return change;
}

// A lighting change made like the `light` command: the new effect first (it brings its own
// speed and brightness), then what the document sets beyond that.
void AddLight(std::vector<DocumentChange>& changes, const QString& field, const LightingBlock& from,
              const LightingBlock& to, const std::function<Edit(ProfileRecord&, const LightChange&)>& set,
              LightingBlock ProfileRecord::*block)
{
    if (SameLight(from, to))
        return;
    changes.push_back({field, true, [set, block, to](ProfileRecord& p, int&) {
                           LightChange change = LightDifference(p.*block, to);
                           if (change.mode) {
                               // A new effect brings its own speed and brightness: only the
                               // document's values that its controls show are set with it.
                               const LightChange modeOnly{change.mode, {}, {}, {}, {}};
                               ProfileRecord probe = p;
                               if (set(probe, modeOnly).IsChanged()) {
                                   const LightChange rest = LightDifference(probe.*block, to);
                                   change.speed = rest.speed;
                                   change.brightness = rest.brightness;
                                   change.colour = rest.colour;
                               }
                           }
                           return set(p, change);
                       }});
}

}  // namespace

std::optional<ProfileDocument> ReadProfileDocument(const QByteArray& json, const ProfileRecord& current,
                                                   int currentDpiLevel, QString& error)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = QStringLiteral("not JSON (%1 at offset %2)").arg(parse.errorString()).arg(parse.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("expected a JSON object as `read --json` prints it");
        return std::nullopt;
    }
    const QJsonObject top = document.object();
    ProfileDocument result;
    result.record = current;
    result.currentDpiLevel = currentDpiLevel;
    FieldReader r(error);
    if (!r.OnlyKnown(top, {}, {"profile", "current_dpi_level", "record"}))
        return std::nullopt;
    if (top.contains(QStringLiteral("profile"))) {
        int profile = 0;
        r.Int(top, {}, "profile", profile, 0, 3);
        result.profile = profile;
    }
    r.Int(top, {}, "current_dpi_level", result.currentDpiLevel, -1, kDpiLevels - 1);
    if (result.currentDpiLevel < 0)
        result.currentDpiLevel = currentDpiLevel;
    QJsonObject record;
    if (r.Object(top, {}, "record", record))
        ReadRecord(r, record, result.record);
    if (r.Failed())
        return std::nullopt;
    return result;
}

std::optional<std::vector<DocumentChange>> ChangesToDocument(const ProfileRecord& current, int currentDpiLevel,
                                                             const ProfileDocument& document, const ApplyRules& rules,
                                                             QString& error)
{
    const ProfileRecord& to = document.record;
    const DeviceDescription& device = rules.device;
    std::vector<DocumentChange> changes;
    const auto add = [&changes](QString field, std::function<Edit(ProfileRecord&, int&)> edit, bool lighting = false) {
        changes.push_back({std::move(field), lighting, std::move(edit)});
    };

    // Local fields: nothing on the mouse holds them.
    if (current.Name() != to.Name())
        add(QStringLiteral("record.name"), [name = std::u16string(to.Name())](ProfileRecord& p, int&) {
            p.SetName(name);
            return Edit::Changed(0, 0);
        });
    if (current.currentKeySet != to.currentKeySet)
        add(QStringLiteral("record.current_key_set"), [set = to.currentKeySet](ProfileRecord& p, int&) {
            p.currentKeySet = set;
            return Edit::Changed(apply::kKeys, apply::kAll);
        });
    // Keys of the set in use are assigned as `assign` does, those becoming a left click first
    // (the left-click guard looks at each step); the other sets are local.
    const int set = to.KeySetIndex();
    std::vector<int> keys;
    for (int k = 0; k < kKeysPerSet; ++k) {
        if (!SameKey(*current.KeyAt(set, k), *to.KeyAt(set, k)))
            keys.push_back(k);
    }
    std::stable_partition(keys.begin(), keys.end(), [&](int k) { return to.KeyAt(set, k)->dwFunID == kFunLeftClick; });
    for (const int k : keys) {
        const QString field = QStringLiteral("record.keys[%1][%2]").arg(set).arg(k);
        const QString words = FunctionWords(*to.KeyAt(set, k), device);
        QString problem;
        const std::optional<PickedFunction> picked = ParseFunction(words.split(u' '), device, problem);
        if (!KeyEditable(k, device, rules.options))
            problem = QStringLiteral("key %1 cannot be changed on this model").arg(k + 1);
        else if (picked && !FunctionOffered(picked->code, device, rules.options, rules.sensors))
            problem = QStringLiteral("this model's function menu does not offer '%1'").arg(words);
        if (!problem.isEmpty() || !picked) {
            error = QStringLiteral("%1: %2").arg(field, problem);
            return std::nullopt;
        }
        add(field, [k, picked = *picked, &rules](ProfileRecord& p, int&) {
            return PickFunction(p, k, picked.code, picked.details, rules.device, rules.defaults);
        });
    }
    for (int s = 0; s < kKeySets; ++s) {
        for (int k = 0; k < kKeysPerSet && s != set; ++k) {
            if (SameKey(*current.KeyAt(s, k), *to.KeyAt(s, k)))
                continue;
            add(QStringLiteral("record.keys[%1][%2]").arg(s).arg(k), [s, k, key = *to.KeyAt(s, k)](ProfileRecord& p, int&) {
                KeyAssignment& target = *p.KeyAt(s, k);
                const uint32_t matrix = target.matrix;
                target = key;
                target.matrix = matrix;
                return Edit::Changed(0, 0);
            });
        }
    }
    // DPI page, in the order its controls depend on each other.
    if (current.xySeparate != to.xySeparate)
        add(QStringLiteral("record.xy_separate"), [on = to.xySeparate != 0, &device](ProfileRecord& p, int&) {
            return SetXYSeparate(p, on, device);
        });
    // A new level count may move the current level (SyncChangeDpiLevel), as `set levels` does.
    int levelAfterCount = currentDpiLevel;
    if (current.dpiLevelCount != to.dpiLevelCount) {
        const auto setCount = [n = to.dpiLevelCount, &rules](ProfileRecord& p, int& level) {
            return SetLevelCount(p, n, rules.device, rules.options.SyncChangeDpiLevel != 0, level);
        };
        ProfileRecord probe = current;
        setCount(probe, levelAfterCount);
        add(QStringLiteral("record.dpi_level_count"), setCount);
    }
    for (int i = 0; i < kDpiLevels; ++i) {
        const DpiLevelRecord& a = current.dpiLevels[i];
        const DpiLevelRecord& b = to.dpiLevels[i];
        const QString field = QStringLiteral("record.dpi_levels[%1]").arg(i);
        if (a.x != b.x || a.y != b.y)
            add(field, [i, b, separate = to.xySeparate != 0, &rules](ProfileRecord& p, int&) {
                return SetDpiValue(p, i, b.x, separate ? std::optional<int>(b.y) : std::nullopt, rules.device,
                                   rules.sensors);
            });
        if (a.colour != b.colour)
            add(field + QStringLiteral(".colour"),
                [i, colour = b.colour, &device](ProfileRecord& p, int&) { return SetDpiColour(p, i, colour, device); });
    }
    if (document.currentDpiLevel != currentDpiLevel && document.currentDpiLevel != levelAfterCount)
        add(QStringLiteral("current_dpi_level"), [l = document.currentDpiLevel, &device](ProfileRecord& p, int& level) {
            return SetCurrentLevel(p, l, device, level);
        });
    if (current.pollingRate != to.pollingRate)
        add(QStringLiteral("record.polling_rate"),
            [hz = RateHz(to.pollingRate), &device](ProfileRecord& p, int&) { return SetPollingRate(p, hz, device); });
    if (current.lod != to.lod)
        add(QStringLiteral("record.lod"), [v = to.lod, &device](ProfileRecord& p, int&) { return SetLod(p, v, device); });
    if (current.ripple != to.ripple)
        add(QStringLiteral("record.ripple"),
            [on = to.ripple != 0, &device](ProfileRecord& p, int&) { return SetRipple(p, on, device); });
    if (current.angleSnapping != to.angleSnapping)
        add(QStringLiteral("record.angle_snapping"),
            [on = to.angleSnapping != 0, &device](ProfileRecord& p, int&) { return SetAngleSnapping(p, on, device); });
    if (current.debounce != to.debounce)
        add(QStringLiteral("record.debounce"), [v = to.debounce, &rules](ProfileRecord& p, int&) {
            return SetDebounce(p, v, rules.device, rules.options);
        });
    // Lighting page.
    if (current.dpiEffectMode != to.dpiEffectMode || current.dpiEffectSpeed != to.dpiEffectSpeed ||
        current.dpiEffectParameter != to.dpiEffectParameter)
        add(QStringLiteral("record.dpi_effect"), [to, &device](ProfileRecord& p, int&) {
            LightChange change;
            if (p.dpiEffectMode != to.dpiEffectMode)
                change.mode = to.dpiEffectMode;
            if (p.dpiEffectSpeed != to.dpiEffectSpeed)
                change.speed = to.dpiEffectSpeed;
            if (p.dpiEffectParameter != to.dpiEffectParameter)
                change.parameter = to.dpiEffectParameter;
            return SetDpiLight(p, change, device);
        }, true);
    AddLight(changes, QStringLiteral("record.main_light"), current.mainLight, to.mainLight,
             [&rules](ProfileRecord& p, const LightChange& c) { return SetMainLight(p, c, rules.device, rules.options); },
             &ProfileRecord::mainLight);
    AddLight(changes, QStringLiteral("record.logo_light"), current.logoLight, to.logoLight,
             [&device](ProfileRecord& p, const LightChange& c) { return SetLogoLight(p, c, device); },
             &ProfileRecord::logoLight);
    if (current.sleepTime != to.sleepTime)
        add(QStringLiteral("record.sleep_time"), [v = to.sleepTime, &rules](ProfileRecord& p, int&) {
            return SetSleepTime(p, v, rules.device, rules.underPid);
        });
    if (current.lightOffMoving != to.lightOffMoving)
        add(QStringLiteral("record.light_off_moving"), [on = to.lightOffMoving != 0, &rules](ProfileRecord& p, int&) {
            return SetLightOffMoving(p, on, rules.device, rules.underPid);
        });
    // The computer's pointer settings travel with the profile.
    if (current.wheelLines != to.wheelLines || current.doubleClickTime != to.doubleClickTime ||
        current.pointerSpeed != to.pointerSpeed || current.enhancePrecision != to.enhancePrecision ||
        current.pointerTrails != to.pointerTrails)
        add(QStringLiteral("record (pointer settings)"), [to](ProfileRecord& p, int&) {
            p.wheelLines = to.wheelLines;
            p.doubleClickTime = to.doubleClickTime;
            p.pointerSpeed = to.pointerSpeed;
            p.enhancePrecision = to.enhancePrecision;
            p.pointerTrails = to.pointerTrails;
            return Edit::Changed(apply::kSystemPointer, 0);
        });
    return changes;
}

QString TryChanges(const ProfileRecord& current, int currentDpiLevel, const std::vector<DocumentChange>& changes,
                   const ProfileDocument& document)
{
    ProfileRecord p = current;
    int level = currentDpiLevel;
    for (const DocumentChange& change : changes) {
        const Edit edit = change.edit(p, level);
        if (!edit.IsChanged())
            return QStringLiteral("%1: %2").arg(change.field,
                                                edit.message.isEmpty() ? QStringLiteral("refused") : edit.message.trimmed());
    }
    // What the rules made of it must be what the document says.
    ProfileRecord asked = document.record;
    for (int i = 0; i < kDpiLevels; ++i)
        asked.dpiLevels[i].hidden = p.dpiLevels[i].hidden;
    for (int s = 0; s < kKeySets; ++s) {
        for (int k = 0; k < kKeysPerSet; ++k) {
            if (!SameKey(p.Key[s][k], asked.Key[s][k]))
                return QStringLiteral("record.keys[%1][%2]: the key would not come out as written").arg(s).arg(k);
            asked.Key[s][k] = p.Key[s][k];
        }
    }
    asked.id = p.id;
    if (std::memcmp(&asked, &p, sizeof p) != 0) {
        if (!SameLight(asked.mainLight, p.mainLight))
            return QStringLiteral("record.main_light: this effect does not take every value written");
        if (!SameLight(asked.logoLight, p.logoLight))
            return QStringLiteral("record.logo_light: this effect does not take every value written");
        if (asked.dpiEffectSpeed != p.dpiEffectSpeed || asked.dpiEffectParameter != p.dpiEffectParameter)
            return QStringLiteral("record.dpi_effect: this effect does not take every value written");
        for (int i = 0; i < kDpiLevels; ++i) {
            if (asked.dpiLevels[i].y != p.dpiLevels[i].y)
                return QStringLiteral("record.dpi_levels[%1].y: Y follows X unless xy_separate is 1").arg(i);
        }
        return QStringLiteral("record: the profile would not come out as written");
    }
    if (document.currentDpiLevel != currentDpiLevel && level != document.currentDpiLevel)
        return QStringLiteral("current_dpi_level: the level count puts it at %1").arg(level);
    return {};
}

}  // namespace zorvan::cli
