#include "cli/key_functions.h"

#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "app/sensor_tables.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/function_codes.h"
#include "text/key_names.h"
#include "text/language_texts.h"

#include <array>

namespace zorvan::cli {
namespace {

struct Word {
    const char* word;
    uint32_t code;
};

constexpr std::array<Word, 13> kPlain = {{
    {"left", 0x01000011},
    {"right", 0x01000013},
    {"middle", 0x01000012},
    {"forward", 0x01000014},
    {"back", 0x01000015},
    {"off", 0x080000A2},
    {"dpi-up", 0x080000A8},
    {"dpi-down", 0x080000A9},
    {"dpi-cycle", 0x080000AA},
    {"rate-switch", 0x080000AC},
    {"light-switch", 0x080000A7},
    {"light-on-off", 0x080000AE},
    {"profile-switch", 0x080000B0},
}};

constexpr std::array<Word, 18> kMedia = {{
    {"media-select", 0x04000021},
    {"play-pause", 0x04000022},
    {"stop", 0x04000023},
    {"previous", 0x04000024},
    {"next", 0x04000025},
    {"volume-up", 0x04000026},
    {"volume-down", 0x04000027},
    {"mute", 0x04000028},
    {"mail", 0x03000030},
    {"calculator", 0x03000031},
    {"computer", 0x03000032},
    {"search", 0x03000033},
    {"home", 0x03000034},
    {"web-back", 0x03000035},
    {"web-forward", 0x03000036},
    {"web-stop", 0x03000037},
    {"refresh", 0x03000038},
    {"favorites", 0x03000039},
}};

constexpr struct {
    const char* word;
    uint8_t bit;
} kModifiers[] = {{"ctrl", 0x01}, {"shift", 0x02}, {"alt", 0x04}, {"win", 0x08}};

// The capture dialog takes at most three elements, modifiers and keys together.
constexpr int kComboElements = 3;

template <size_t N>
std::optional<uint32_t> CodeOf(const std::array<Word, N>& table, const QString& word)
{
    for (const Word& w : table) {
        if (word == QLatin1String(w.word))
            return w.code;
    }
    return std::nullopt;
}

template <size_t N>
const char* WordOf(const std::array<Word, N>& table, uint32_t code)
{
    for (const Word& w : table) {
        if (w.code == code)
            return w.word;
    }
    return nullptr;
}

template <size_t N>
QString Joined(const std::array<Word, N>& table)
{
    QStringList words;
    for (const Word& w : table)
        words << QLatin1String(w.word);
    return words.join(QStringLiteral(", "));
}

std::optional<uint8_t> VirtualKey(const QString& name)
{
    for (unsigned vk = 1; vk < 0xFF; ++vk) {
        const QString known = KeyName(vk);
        if (!known.isEmpty() && known.compare(name, Qt::CaseInsensitive) == 0)
            return uint8_t(vk);
    }
    return std::nullopt;
}

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
        const auto vk = VirtualKey(part);
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
    if (const auto code = CodeOf(kPlain, name)) {
        if (!wantArgs(0, name.toUtf8().constData()))
            return std::nullopt;
        picked.code = *code;
    } else if (name == QStringLiteral("fire")) {
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
    } else if (name == QStringLiteral("snipe")) {
        if (!wantArgs(1, "snipe DPI"))
            return std::nullopt;
        const auto dpi = ParseInt(args[0]);
        const int position = dpi ? DpiIndex(device.Sensor, *dpi) : -1;
        if (position < 0 || position > 0xFF) {
            error = QStringLiteral("snipe wants one of the values 100, 200 .. 1100 that the sensor offers");
            return std::nullopt;
        }
        picked.code = kFunSnipe | uint32_t(position) << 8;
    } else if (name == QStringLiteral("combo")) {
        if (!wantArgs(1, "combo KEYS   (e.g. Ctrl+Shift+A)"))
            return std::nullopt;
        const auto combo = ParseCombo(args[0], error);
        if (!combo)
            return std::nullopt;
        picked.code = kFunCombo;
        picked.details.combo = *combo;
    } else if (name == QStringLiteral("media")) {
        const auto code = args.size() == 1 ? CodeOf(kMedia, args[0]) : std::nullopt;
        if (!code) {
            error = QStringLiteral("media wants one of: %1").arg(Joined(kMedia));
            return std::nullopt;
        }
        picked.code = *code;
    } else if (name == QStringLiteral("macro")) {
        if (args.isEmpty()) {
            error = QStringLiteral("usage: assign KEY macro NAME");
            return std::nullopt;
        }
        if (Macros().Count() == 0) {
            error = GetText("tc_msg9");
            if (error.isEmpty())
                error = QStringLiteral("the macro library is empty");
            return std::nullopt;
        }
        const QString macroName = args.join(u' ');
        const auto macro = Macros().FindByName(macroName);
        if (!macro) {
            error = QStringLiteral("no macro named '%1' in the macro library (see 'zorvanctl macro list')").arg(macroName);
            return std::nullopt;
        }
        picked.code = kFunMacro;
        picked.details.macroId = macro->id;
    } else if (name == QStringLiteral("extra")) {
        const auto n = args.size() == 1 ? ParseInt(args[0]) : std::nullopt;
        if (!n || *n < 1 || *n > 3) {
            error = QStringLiteral("extra wants N = 1..3");
            return std::nullopt;
        }
        picked.code = (kClassExtra << 24) + uint32_t(*n - 1);
    } else {
        error = QStringLiteral("unknown function '%1'; functions: %2").arg(name, FunctionWordList());
        return std::nullopt;
    }
    return picked;
}

QString FunctionWords(const KeyAssignment& key, const DeviceDescription& device)
{
    if (const char* word = WordOf(kPlain, key.dwFunID))
        return QLatin1String(word);
    if (const char* word = WordOf(kMedia, key.dwFunID))
        return QStringLiteral("media %1").arg(QLatin1String(word));
    switch (key.Major()) {
    case kClassCombo:
        return QStringLiteral("combo %1")
            .arg(ComboText(key.stCombo[0], key.stCombo[1], key.stCombo[2], key.stCombo[3])
                     .replace(QStringLiteral(" + "), QStringLiteral("+")));
    case kClassMacro: {
        const auto macro = Macros().FindById(key.dwMacroID & 0xFFFFFF);
        return macro ? QStringLiteral("macro %1").arg(MacroName(*macro))
                     : QStringLiteral("macro (id 0x%1, not in the library)").arg(key.dwMacroID, 0, 16);
    }
    case kClassExtra:
        return QStringLiteral("extra %1").arg(key.Minor() + 1);
    default:
        break;
    }
    if (key.dwFunID == kFunFire)
        return QStringLiteral("fire %1 %2").arg(key.dwParameter & 0xFF).arg((key.dwParameter >> 8) & 0xFF);
    if (key.dwFunID == kFunSnipe)
        return QStringLiteral("snipe %1").arg(DpiAt(device.Sensor, int(key.dwParameter)));
    return QStringLiteral("0x%1").arg(key.dwFunID, 8, 16, QLatin1Char('0'));
}

QString FunctionWordList()
{
    return Joined(kPlain) + QStringLiteral(", fire COUNT INTERVAL, snipe DPI, combo KEYS, media NAME, macro NAME, extra N");
}

}  // namespace zorvan::cli
