#include "ui/pages/key_capture.h"

#include <algorithm>

namespace zorvan {
namespace {

// Modifier keys: 16 Shift, 17 Ctrl, 18 Alt, 91 left Win, 92 right Win, 160..165 the left and
// right Shift, Ctrl and Alt.
constexpr int kVkShift = 16, kVkCtrl = 17, kVkAlt = 18, kVkLeftWin = 91, kVkRightWin = 92;
constexpr int kVkLeftShift = 160, kVkRightShift = 161, kVkLeftCtrl = 162, kVkRightCtrl = 163, kVkLeftAlt = 164,
              kVkRightAlt = 165;

// Both flags of a modifier kind (left and right).
uint8_t KindOf(int vk)
{
    switch (vk) {
    case kVkShift: case kVkLeftShift: case kVkRightShift: return 0x22;
    case kVkCtrl: case kVkLeftCtrl: case kVkRightCtrl: return 0x11;
    case kVkAlt: case kVkLeftAlt: case kVkRightAlt: return 0x44;
    case kVkLeftWin: case kVkRightWin: return 0x88;
    default: return 0;
    }
}

uint8_t FlagOf(int vk)
{
    switch (vk) {
    case kVkShift: case kVkLeftShift: return 0x02;
    case kVkCtrl: case kVkLeftCtrl: return 0x01;
    case kVkAlt: case kVkLeftAlt: return 0x04;
    case kVkLeftWin: return 0x08;
    case kVkRightWin: return 0x80;
    case kVkRightShift: return 0x20;
    case kVkRightCtrl: return 0x10;
    case kVkRightAlt: return 0x40;
    default: return 0;
    }
}

}  // namespace

CaptureMemory& SharedCaptureMemory()
{
    static CaptureMemory memory;
    return memory;
}

bool ComboCapture::IsModifierKey(int vk)
{
    return KindOf(vk) != 0;
}

int ComboCapture::ModifierKinds(uint8_t flags)
{
    int kinds = 0;
    for (const uint8_t kind : {0x11, 0x22, 0x44, 0x88})
        kinds += (flags & kind) != 0 ? 1 : 0;
    return kinds;
}

int ComboCapture::KeyCount() const
{
    return int(std::count_if(combo_.begin() + 1, combo_.end(), [](uint8_t k) { return k != 0; }));
}

bool ComboCapture::OnKey(int vk, bool up, int64_t nowMs)
{
    // The same event again is the keyboard's auto-repeat.
    if (vk == memory_->lastVk && up == memory_->lastUp)
        return false;
    const bool modifier = IsModifierKey(vk);
    // With modifier boxes a modifier key press is not seen at all.
    const bool elementsFull = KeyCount() + ModifierKinds() >= 3;
    if (!up && !elementsFull && modifier && modifierBoxes_)
        return false;
    memory_->lastVk = vk;
    memory_->lastUp = up;
    if (up)
        return false;

    bool restart = elementsFull;
    if (!elementsFull) {
        if (modifier)
            restart = (combo_[0] & KindOf(vk)) != 0;
        else
            restart = KeyCount() == 3;
    }
    if (nowMs - memory_->lastPressMs >= kPauseMs)
        restart = true;
    memory_->lastPressMs = nowMs;
    if (singleKey_)
        restart = true;
    if (restart)
        combo_ = {};
    Add(vk);
    return true;
}

void ComboCapture::Add(int vk)
{
    if (const uint8_t flag = FlagOf(vk)) {
        combo_[0] |= flag;
        return;
    }
    if (vk <= 0 || vk > 0xFF)
        return;
    const auto code = uint8_t(vk);
    if (std::find(combo_.begin() + 1, combo_.end(), code) != combo_.end())
        return;
    const auto free = std::find(combo_.begin() + 1, combo_.end(), uint8_t(0));
    if (free != combo_.end())
        *free = code;  // a fourth key is dropped
}

}  // namespace zorvan
