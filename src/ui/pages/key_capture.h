#pragma once
// The rules by which the combination capture builds a key combination from key presses: at
// most three elements (modifier kinds and keys together), auto-repeat dropped, a new
// combination after a pause of a second, on a fourth element, or on a modifier kind that is
// already held. The result is the 4-byte stCombo of a key assignment: modifier flags (left
// 0x01 Ctrl, 0x02 Shift, 0x04 Alt, 0x08 Win; right 0x10, 0x20, 0x40, 0x80), then up to three
// virtual-key codes.
#include <array>
#include <cstdint>
#include <limits>

namespace zorvan {

using Combo = std::array<uint8_t, 4>;

// What every capture of the program shares: the last key event it saw and the time of the
// previous key press, so a capture opened right after another goes on by the same rules.
struct CaptureMemory {
    int lastVk = -1;
    bool lastUp = false;
    int64_t lastPressMs = std::numeric_limits<int64_t>::min() / 2;
};
CaptureMemory& SharedCaptureMemory();

class ComboCapture {
public:
    static constexpr int64_t kPauseMs = 1000;

    // `modifierBoxes`: the modifiers come from check boxes, modifier keys are ignored.
    // `singleKey`: every key press starts a new combination.
    ComboCapture(CaptureMemory& memory, bool modifierBoxes, bool singleKey)
        : memory_(&memory), modifierBoxes_(modifierBoxes), singleKey_(singleKey)
    {
    }

    // One key event (virtual-key code, released or pressed) at `nowMs`. True when the
    // combination may have changed.
    bool OnKey(int vk, bool up, int64_t nowMs);

    const Combo& Current() const { return combo_; }
    int KeyCount() const;
    int ModifierKinds() const { return ModifierKinds(combo_[0]); }
    // Ctrl, Shift, Alt and Win held on either side, each counted once.
    static int ModifierKinds(uint8_t flags);
    static bool IsModifierKey(int vk);

private:
    void Add(int vk);

    CaptureMemory* memory_;
    bool modifierBoxes_;
    bool singleKey_;
    Combo combo_{};
};

}  // namespace zorvan
