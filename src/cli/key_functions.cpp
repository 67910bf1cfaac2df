#include "cli/key_functions.h"

#include "cli/cli.h"

#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "app/sensor_tables.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/key_menu.h"
#include "text/key_names.h"

#include <array>
#include <string_view>

namespace zorvan::cli {
namespace {

constexpr struct {
    const char* word;
    uint8_t bit;
} kModifiers[] = {{"ctrl", 0x01}, {"shift", 0x02}, {"alt", 0x04}, {"win", 0x08}};

// The capture dialog takes at most three elements, modifiers and keys together.
constexpr int kComboElements = 3;

// The words of the functions that need no details: the media and application keys, or the
// others.
QString WordList(bool media)
{
    QStringList words;
    for (const FunctionEntry& f : FunctionCatalogue()) {
        if (f.word != nullptr && f.details == FunctionDetails::kNone && IsConsumerClass(f.Class()) == media)
            words << QLatin1String(f.word);
    }
    return words.join(QStringLiteral(", "));
}

const FunctionEntry* FunctionNamed(const QString& word, bool media)
{
    const QByteArray utf8 = word.toUtf8();
    return FindFunctionByWord(std::string_view(utf8.constData(), size_t(utf8.size())), media);
}

}  // namespace

std::optional<uint8_t> VirtualKeyNamed(const QString& name)
{
    for (unsigned vk = 1; vk < 0xFF; ++vk) {
        const QString known = KeyName(vk);
        if (!known.isEmpty() && known.compare(name, Qt::CaseInsensitive) == 0)
            return uint8_t(vk);
    }
    return std::nullopt;
}

namespace {

std::optional<std::array<uint8_t, 4>> ParseCombo(const QString& text, QString& error)
{
    std::array<uint8_t, 4> combo{};
    int keys = 0;
    const QStringList parts = text.split(u'+');
    if (parts.size() > kComboElements) {
        error = QStringLiteral("a combination holds at most three keys and modifiers together");
        return std::nullopt;
    }
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        bool modifier = false;
        for (const auto& m : kModifiers) {
            if (part.compare(QLatin1String(m.word), Qt::CaseInsensitive) == 0) {
                combo[0] |= m.bit;
                modifier = true;
            }
        }
        if (modifier)
            continue;
        const auto vk = VirtualKeyNamed(part);
        if (!vk) {
            error = QStringLiteral("'%1' is no key name (modifiers: Ctrl, Shift, Alt, Win; keys as the GUI names "
                                   "them, e.g. A, F5, Enter, Space)")
                        .arg(part);
            return std::nullopt;
        }
        combo[size_t(1 + keys++)] = *vk;
    }
    if (combo == std::array<uint8_t, 4>{}) {
        error = QStringLiteral("the combination is empty");
        return std::nullopt;
    }
    return combo;
}

}  // namespace

QString MacroNameList()
{
    QStringList names;
    for (const StMacro& macro : Macros().All())
        names << MacroName(macro);
    return names.join(QStringLiteral(", "));
}

std::optional<PickedFunction> ParseFunction(const QStringList& words, const DeviceDescription& device, QString& error)
{
    const QString name = words.value(0);
    const QStringList args = words.mid(1);
    PickedFunction picked;
    const auto wantArgs = [&](qsizetype n, const char* usage) {
        if (args.size() == n)
            return true;
        error = QStringLiteral("usage: assign KEY %1").arg(QLatin1String(usage));
        return false;
    };
    if (name == QStringLiteral("media")) {
        const FunctionEntry* media = args.size() == 1 ? FunctionNamed(args[0], true) : nullptr;
        if (media == nullptr) {
            error = QStringLiteral("media wants one of: %1").arg(WordList(true));
            return std::nullopt;
        }
        picked.code = media->dwFunID;
        return picked;
    }
    const FunctionEntry* function = FunctionNamed(name, false);
    const auto unknown = [&] {
        error = QStringLiteral("unknown function '%1'; functions: %2").arg(name, FunctionWordList());
        return std::nullopt;
    };
    if (function == nullptr)
        return unknown();
    switch (function->details) {
    case FunctionDetails::kNone:
        if (!wantArgs(0, name.toUtf8().constData()))
            return std::nullopt;
        picked.code = function->dwFunID;
        break;
    case FunctionDetails::kFire: {
        if (!wantArgs(2, "fire COUNT INTERVAL"))
            return std::nullopt;
        const auto count = ParseInt(args[0]);
        const auto interval = ParseInt(args[1]);
        if (!count || !interval || !FireParameter(*count, *interval)) {
            error = QStringLiteral("fire wants COUNT 0..3 and INTERVAL 10..255 (a smaller interval becomes 10)");
            return std::nullopt;
        }
        picked.code = kFunFire;
        picked.details.fireCount = *count;
        picked.details.fireInterval = *interval;
        break;
    }
    case FunctionDetails::kSnipe: {
        if (!wantArgs(1, "snipe DPI"))
            return std::nullopt;
        const auto dpi = ParseInt(args[0]);
        const int position = dpi ? DpiIndex(device.Sensor, *dpi) : -1;
        if (position < 0 || position > kSnipePositionMax) {
            error = QStringLiteral("snipe wants one of the values 100, 200 .. 1100 that the sensor offers");
            return std::nullopt;
        }
        picked.code = SnipePick(position);
        break;
    }
    case FunctionDetails::kCombination: {
        if (!wantArgs(1, "combo KEYS   (e.g. Ctrl+Shift+A)"))
            return std::nullopt;
        const auto combo = ParseCombo(args[0], error);
        if (!combo)
            return std::nullopt;
        picked.code = kFunCombo;
        picked.details.combo = *combo;
        break;
    }
    case FunctionDetails::kMacro: {
        if (args.isEmpty()) {
            error = QStringLiteral("usage: assign KEY macro NAME");
            return std::nullopt;
        }
        // The window's text about the macros page would send a shell user nowhere.
        if (Macros().Count() == 0) {
            error = QStringLiteral("There are no macros yet. Make one with 'zorvanctl macro new NAME EVENTS...' or "
                                   "'zorvanctl macro import FILE'");
            return std::nullopt;
        }
        const QString macroName = args.join(u' ');
        const auto macro = Macros().FindByName(macroName);
        if (!macro) {
            error = QStringLiteral("no macro named '%1' in the macro library; it holds: %2")
                        .arg(macroName, MacroNameList());
            return std::nullopt;
        }
        picked.code = kFunMacro;
        picked.details.macroId = macro->id;
        break;
    }
    case FunctionDetails::kExtraKey: {
        const auto n = args.size() == 1 ? ParseInt(args[0]) : std::nullopt;
        if (!n || *n < 1 || *n > kExtraKeys) {
            error = QStringLiteral("extra wants N = 1..3");
            return std::nullopt;
        }
        picked.code = kFunExtra + uint32_t(*n - 1);
        break;
    }
    default:  // no word names a function with other details
        return unknown();
    }
    return picked;
}

QString FunctionWords(const KeyAssignment& key, const DeviceDescription& device)
{
    const FunctionEntry* function = FunctionOfKey(key.dwFunID);
    const QString hex = QStringLiteral("0x%1").arg(key.dwFunID, 8, 16, QLatin1Char('0'));
    if (function == nullptr || function->word == nullptr)
        return hex;
    const QLatin1String word(function->word);
    switch (function->details) {
    case FunctionDetails::kNone:
        return IsConsumerClass(function->Class()) ? QStringLiteral("media %1").arg(word) : QString(word);
    case FunctionDetails::kCombination:
        return QStringLiteral("combo %1")
            .arg(ComboText(key.stCombo[0], key.stCombo[1], key.stCombo[2], key.stCombo[3])
                     .replace(QStringLiteral(" + "), QStringLiteral("+")));
    case FunctionDetails::kMacro: {
        const auto macro = Macros().FindById(key.dwMacroID & 0xFFFFFF);
        return macro ? QStringLiteral("macro %1").arg(MacroName(*macro))
                     : QStringLiteral("macro (id 0x%1, not in the library)").arg(key.dwMacroID, 0, 16);
    }
    case FunctionDetails::kExtraKey:
        return QStringLiteral("extra %1").arg(key.Minor() + 1);
    case FunctionDetails::kFire:
        return QStringLiteral("fire %1 %2").arg(key.dwParameter & 0xFF).arg((key.dwParameter >> 8) & 0xFF);
    case FunctionDetails::kSnipe:
        return QStringLiteral("snipe %1").arg(DpiAt(device.Sensor, int(key.dwParameter)));
    default:
        return hex;
    }
}

QString OfferedFunctionWords(const DeviceDescription& device)
{
    QStringList words;
    for (const KeyMenuEntry& entry : KeyMenuEntries(device, Options(), Config().sensors)) {
        const FunctionEntry* function = entry.groupRow ? nullptr : FunctionOfKey(entry.code);
        if (function == nullptr || function->word == nullptr)
            continue;
        QString word = QLatin1String(function->word);
        switch (function->details) {
        case FunctionDetails::kFire:
            word += QStringLiteral(" COUNT INTERVAL");
            break;
        case FunctionDetails::kSnipe:
            word += QStringLiteral(" DPI");
            break;
        case FunctionDetails::kCombination:
            word += QStringLiteral(" KEYS");
            break;
        case FunctionDetails::kMacro:
            word += QStringLiteral(" NAME");
            break;
        case FunctionDetails::kExtraKey:
            word = QStringLiteral("extra %1").arg(FunCode(entry.code) - FunCode(kFunExtra) + 1);
            break;
        default:
            if (IsConsumerClass(function->Class()))
                word = QStringLiteral("media NAME");
            break;
        }
        // The snipe values of the menu are entries of their own; zorvanctl names them by DPI.
        if (word == QStringLiteral("snipe"))
            word = QStringLiteral("snipe DPI");
        if (!words.contains(word))
            words << word;
    }
    return words.join(QStringLiteral(", "));
}

bool ModelFreeFunction(const QStringList& words)
{
    const QString name = words.value(0);
    return name != QStringLiteral("snipe") && name != QStringLiteral("macro");
}

QString FunctionWordList()
{
    return WordList(false) + QStringLiteral(", fire COUNT INTERVAL, snipe DPI, combo KEYS, media NAME, macro NAME, extra N");
}

}  // namespace zorvan::cli
