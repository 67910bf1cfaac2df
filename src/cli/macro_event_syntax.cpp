#include "cli/macro_event_syntax.h"

#include "cli/cli.h"
#include "cli/key_functions.h"

#include <climits>

namespace zorvan::cli {

const char* const kMacroEventSyntax =
    "EVENTS: down:KEY and up:KEY press and release a key (A, F5, Enter, ... as the program names\n"
    "keys) or a mouse button (mouse-left, mouse-right, mouse-middle, mouse-forward, mouse-back);\n"
    "move:X,Y moves the mouse (-128..127 each); 30ms (or 30) is the delay after the event before\n"
    "it (an event without one waits the smallest delay the macro editor accepts, MinDelay).\n"
    "At most 70 events. Example: zorvanctl macro new Burst down:A 30ms up:A 30ms";

namespace {

constexpr struct {
    const char* word;
    uint16_t code;
} kMouseButtons[] = {{"mouse-left", kMouseLeft},
                     {"mouse-right", kMouseRight},
                     {"mouse-middle", kMouseMiddle},
                     {"mouse-forward", kMouseForward},
                     {"mouse-back", kMouseBack}};

std::optional<uint16_t> KeyCode(const QString& name)
{
    for (const auto& button : kMouseButtons)
        if (name.compare(QLatin1String(button.word), Qt::CaseInsensitive) == 0)
            return button.code;
    if (const std::optional<uint8_t> vk = VirtualKeyNamed(name))
        return *vk;
    return std::nullopt;
}

std::optional<MacroEvent> ParseEvent(const QString& word, int delay, QString& error)
{
    const qsizetype colon = word.indexOf(u':');
    const QString kind = word.left(colon);
    const QString value = word.mid(colon + 1);
    if (colon > 0 && (kind == QStringLiteral("down") || kind == QStringLiteral("up"))) {
        const std::optional<uint16_t> code = KeyCode(value);
        if (!code) {
            error = QStringLiteral("'%1': '%2' is no key name (keys as the program names them, e.g. A, F5, Enter; "
                                   "mouse buttons mouse-left, mouse-right, mouse-middle, mouse-forward, mouse-back)")
                        .arg(word, value);
            return std::nullopt;
        }
        return MacroEvent{*code, kind == QStringLiteral("down") ? kActionPress : kActionRelease, uint32_t(delay)};
    }
    if (colon > 0 && kind == QStringLiteral("move")) {
        const QStringList xy = value.split(u',');
        // Out of range or not a number alike: a value outside -128..127.
        const int x = xy.size() == 2 ? ParseInt(xy[0]).value_or(INT_MAX) : INT_MAX;
        const int y = xy.size() == 2 ? ParseInt(xy[1]).value_or(INT_MAX) : INT_MAX;
        if (x < -128 || x > 127 || y < -128 || y > 127 || (x == 0 && y == 0)) {
            error = QStringLiteral("'%1': a move is move:X,Y with X and Y in -128..127, not both 0").arg(word);
            return std::nullopt;
        }
        const uint16_t code = uint16_t(uint8_t(int8_t(x)) | uint16_t(uint8_t(int8_t(y))) << 8);
        return MacroEvent{code, kActionMove, uint32_t(delay)};
    }
    error = QStringLiteral("'%1' is no event: down:KEY, up:KEY, move:X,Y or a delay such as 30ms").arg(word);
    return std::nullopt;
}

}  // namespace

std::optional<QString> ParseMacroEvents(const QStringList& words, int minDelay, StMacro& macro)
{
    for (int i = 0; i < kMacroEventSlots; ++i)
        macro.events[i] = MacroEvent{};
    int count = 0;
    for (const QString& word : words) {
        QString number = word;
        if (number.endsWith(QStringLiteral("ms")))
            number.chop(2);
        if (const std::optional<int> delay = ParseInt(number); delay && !number.isEmpty()) {
            if (count == 0)
                return QStringLiteral("'%1': a delay follows an event").arg(word);
            if (*delay < minDelay || *delay > kMacroMaxDelay)
                return QStringLiteral("'%1': a delay is %2..%3 ms").arg(word).arg(minDelay).arg(kMacroMaxDelay);
            MacroEvent last = macro.events[count - 1];
            last.delay = uint32_t(*delay);
            macro.events[count - 1] = last;
            continue;
        }
        if (count == kMacroMaxEvents)
            return QStringLiteral("a macro holds at most %1 events").arg(kMacroMaxEvents);
        QString error;
        const std::optional<MacroEvent> event = ParseEvent(word, minDelay, error);
        if (!event)
            return error;
        macro.events[count++] = *event;
    }
    if (count == 0)
        return QStringLiteral("a macro needs at least one event");
    return std::nullopt;
}

}  // namespace zorvan::cli
