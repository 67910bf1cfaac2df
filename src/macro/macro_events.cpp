#include "macro/macro_events.h"

#include "text/key_names.h"
#include "text/language_texts.h"

#include <algorithm>
#include <cstring>

namespace zorvan {
namespace {

constexpr uint32_t kInsertedKeyDelay = 50;

bool IsKeyRow(const EventRow& row)
{
    return row.kind == kRowPress || row.kind == kRowRelease;
}

}  // namespace

uint32_t MoveValue(int x, int y)
{
    const auto byte = [](int v) { return uint32_t(uint8_t(int8_t(std::clamp(v, -128, 127)))); };
    return byte(x) | (byte(y) << 8);
}

int MoveX(uint32_t value)
{
    return int8_t(uint8_t(value & 0xFF));
}

int MoveY(uint32_t value)
{
    return int8_t(uint8_t((value >> 8) & 0xFF));
}

QString EventRowText(const EventRow& row)
{
    switch (row.kind) {
    case kRowDelay:
        return QStringLiteral("%1 ms").arg(row.value);
    case kRowMove:
        return QStringLiteral("%1   X= %2, Y= %3").arg(GetText("tc_adv_str27")).arg(MoveX(row.value)).arg(MoveY(row.value));
    default:
        break;
    }
    // The wheel codes have no name in the key names; they are named here like the buttons.
    if (row.value == kWheelUp)
        return GetText("tc_scrollup");
    if (row.value == kWheelDown)
        return GetText("tc_scrolldown");
    return KeyName(row.value & 0xFF);
}

QString EventRowIcon(int kind)
{
    static const char* const kIcons[] = {"mac_u.png", "mac_d.png", "mac_t.png", "mac_m.png"};
    return QString::fromLatin1(kIcons[std::clamp(kind, 0, 3)]);
}

EventRows RowsFromMacro(const StMacro& macro)
{
    EventRows rows;
    int events = 0;
    for (int i = 0; i < kMacroEventSlots && events < kMacroMaxEvents; ++i) {
        const MacroEvent event = macro.events[i];
        if (event.IsTerminator())
            break;
        ++events;
        if ((event.action & kActionMove) != 0)
            rows.push_back({kRowMove, event.code});
        else if (event.code != 0)
            rows.push_back({(event.action & kActionPress) != 0 ? kRowPress : kRowRelease, event.code});
        if (event.delay != 0)
            rows.push_back({kRowDelay, event.delay});
    }
    return rows;
}

int CountedEvents(const EventRows& rows)
{
    return int(std::count_if(rows.begin(), rows.end(), [](const EventRow& r) { return r.kind != kRowDelay; }));
}

bool EventListFull(const EventRows& rows)
{
    return CountedEvents(rows) >= kMacroMaxEvents;
}

void NormaliseRows(EventRows& rows)
{
    const auto firstPress = std::find_if(rows.begin(), rows.end(), [](const EventRow& r) { return r.kind == kRowPress; });
    rows.erase(rows.begin(), firstPress);
    // Each row is compared with the one after it once: after a join the walk goes on with the
    // row that followed the removed one, so three delays in a row leave two.
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        EventRow& row = rows[i];
        const EventRow& next = rows[i + 1];
        if (row.kind != next.kind)
            continue;
        if (row.kind == kRowDelay)
            row.value = std::min<uint32_t>(row.value + next.value, kMacroMaxDelay);
        else if (row.value != next.value)
            continue;
        rows.erase(rows.begin() + std::ptrdiff_t(i) + 1);
    }
}

int RowsToMacro(const EventRows& rows, StMacro& macro)
{
    std::memset(macro.events, 0, sizeof macro.events);
    int zeroCodes = 0;
    int slot = -1;
    for (const EventRow& row : rows) {
        if (row.kind == kRowDelay) {
            if (slot >= 0)
                macro.events[slot].delay = std::min<uint32_t>(row.value, kMacroMaxDelay);
            continue;
        }
        // A key without a code, or a move that does not move, would be stored as the end of
        // the macro and lose every event after it: such rows are left out.
        if (IsKeyRow(row) && (row.value & 0xFF) == 0) {
            ++zeroCodes;
            continue;
        }
        if (row.kind == kRowMove && (row.value & 0xFFFF) == 0)
            continue;
        if (slot + 1 >= kMacroEventSlots)
            break;
        ++slot;
        MacroEvent event{};
        if (row.kind == kRowMove) {
            event.code = uint16_t(row.value & 0xFFFF);
            event.action = kActionMove;
        } else {
            event.code = uint16_t(row.value & 0xFF);
            event.action = row.kind == kRowPress ? kActionPress : kActionRelease;
        }
        macro.events[slot] = event;
    }
    return zeroCodes;
}

MacroRecorder::Outcome MacroRecorder::Take(EventRows& rows, unsigned code, bool up, int64_t nowMs, bool autoDelay,
                                           int minDelay)
{
    if (code_ && *code_ == code && up_ == up)
        return Outcome::kIgnored;
    if (EventListFull(rows))
        return Outcome::kFull;
    if (autoDelay && !rows.empty() && code_) {
        const int64_t elapsed = nowMs - time_;
        if (elapsed > 0)
            rows.push_back({kRowDelay, uint32_t(std::clamp<int64_t>(elapsed, std::max(minDelay, 0), kMacroMaxDelay))});
    }
    rows.push_back({up ? kRowRelease : kRowPress, code});
    code_ = code;
    up_ = up;
    time_ = nowMs;
    return Outcome::kAdded;
}

int InsertRows(EventRows& rows, int selected, bool before, const EventRows& added, bool isKey)
{
    if (selected < 0 || selected >= int(rows.size())) {
        rows.insert(rows.end(), added.begin(), added.end());
        return -1;
    }
    EventRows placed;
    if (isKey && before)
        placed.push_back({kRowDelay, kInsertedKeyDelay});
    placed.insert(placed.end(), added.begin(), added.end());
    if (isKey && !before)
        placed.push_back({kRowDelay, kInsertedKeyDelay});
    const auto at = rows.begin() + selected + (before ? 0 : 1);
    rows.insert(at, placed.begin(), placed.end());
    return before ? selected + int(placed.size()) : selected;
}

uint32_t TypedDelay(int typed, int minDelay)
{
    return uint32_t(std::clamp(typed, std::max(minDelay, 0), kMacroMaxDelay));
}

std::optional<int> TypedRepeatCount(const QString& text)
{
    bool number = false;
    const int value = text.toInt(&number);
    if (!number)
        return std::nullopt;
    return std::clamp(value, kMacroMinRepeat, kMacroMaxRepeat);
}

}  // namespace zorvan
