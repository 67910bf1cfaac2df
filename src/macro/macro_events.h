#pragma once
// The event list of the macro editor as plain rows: what a macro shows (presses, releases,
// delays and moves, one row each), the rules that edit the rows (recording, inserting) and the
// conversion back into the record when the macro is saved. No widgets: the page shows the rows.
#include "macro/st_macro.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zorvan {

enum EventKind : int { kRowRelease = 0, kRowPress = 1, kRowDelay = 2, kRowMove = 3 };

struct EventRow {
    int kind = kRowPress;
    // Press and release: the key or mouse code; delay: milliseconds; move: X in the low byte
    // and Y in the next one (signed bytes).
    uint32_t value = 0;

    bool operator==(const EventRow&) const = default;
};
using EventRows = std::vector<EventRow>;

// A move value from X and Y (each kept to -128..127) and back.
uint32_t MoveValue(int x, int y);
int MoveX(uint32_t value);
int MoveY(uint32_t value);

// The text of a row: the key's name (the mouse buttons by their language texts), "%d ms", or
// "<tc_adv_str27>   X= %d, Y= %d".
QString EventRowText(const EventRow& row);
// The skin picture of a row's kind: "mac_u.png", "mac_d.png", "mac_t.png", "mac_m.png".
QString EventRowIcon(int kind);

// The rows of a record: at most 70 events up to the terminator; a move gives a move row, any
// other event with a code a press or release row; a non-zero delay a delay row after it.
EventRows RowsFromMacro(const StMacro& macro);

// Press, release and move rows (delays do not count).
int CountedEvents(const EventRows& rows);
bool EventListFull(const EventRows& rows);

// Saving: rows from the top are dropped until the first is a press; then neighbours of the
// same kind are joined (two delays add up, two equal presses, releases or moves keep one).
void NormaliseRows(EventRows& rows);

// Writes the rows into the record's 91 event slots (all cleared first): presses, releases and
// moves each take a slot, a delay sets the delay of the slot written last (limited to 65535;
// a delay before the first slot is dropped). Rows beyond the slots are dropped. Returns how
// many press or release rows had code 0.
int RowsToMacro(const EventRows& rows, StMacro& macro);

// ---- Editing rules ------------------------------------------------------------------------

// The keyboard recorder: turns key transitions into rows. The previous event (code,
// direction, time) is kept across recordings, so a recording whose first event repeats the
// last one of the previous recording drops it.
class MacroRecorder {
public:
    enum class Outcome { kIgnored, kFull, kAdded };

    // One key transition at `nowMs` (a steady clock). Repeats of the previous event (auto-repeat)
    // are ignored; with 70 events listed the event is dropped (kFull); otherwise, with
    // `autoDelay` and rows already listed, a delay row with the time since the previous event
    // (at least `minDelay`, at most 65535; none for 0 ms or less) and then the key row.
    Outcome Take(EventRows& rows, unsigned code, bool up, int64_t nowMs, bool autoDelay, int minDelay);

private:
    std::optional<unsigned> code_;
    bool up_ = false;
    int64_t time_ = 0;
};

// Where inserted rows go: next to the selected row (before it when `before`), each new row
// placed relative to the selected row in turn, or appended when nothing is selected. A key
// press or release placed next to a selection is accompanied by a 50 ms delay placed first.
// Returns the new index of the selected row (or -1).
int InsertRows(EventRows& rows, int selected, bool before, const EventRows& added, bool isKey);

// The delay typed for an inserted or edited delay: raised to `minDelay`, limited to 65535.
uint32_t TypedDelay(int typed, int minDelay);

// A repeat count as typed: nothing for text that is not a number; above 250 → 250, 0 or less → 1.
std::optional<int> TypedRepeatCount(const QString& text);

}  // namespace zorvan
