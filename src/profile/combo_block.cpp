#include "profile/combo_block.h"

#include "device/eeprom_map.h"
#include "profile/function_codes.h"
#include "text/key_usage.h"

#include <algorithm>

namespace zorvan {
namespace {

constexpr uint8_t kLeftModifierBits[] = {0x01, 0x02, 0x04, 0x08};

class BlockWriter {
public:
    explicit BlockWriter(ComboBlock& block) : block_(block) { block_.fill(0); }
    void Event(uint8_t type, uint16_t code)
    {
        const size_t at = 1 + 3 * count_;
        block_[at] = type;
        block_[at + 1] = uint8_t(code & 0xFF);
        block_[at + 2] = uint8_t(code >> 8);
        ++count_;
    }
    size_t Finish()
    {
        block_[0] = uint8_t(count_);
        const size_t length = 1 + 3 * count_;
        block_[length] = eeprom::GroupCheck(block_.data(), length);
        return length + 1;
    }

private:
    ComboBlock& block_;
    size_t count_ = 0;
};

size_t EncodeCombination(const KeyAssignment& key, ComboBlock& block)
{
    // The mouse knows the four left-hand modifier bits; a right-hand modifier is sent as the
    // same kind on the left, so R-Ctrl + C still sends Ctrl + C.
    const uint8_t flags = key.stCombo[0];
    const uint8_t kinds = uint8_t((flags | (flags >> 4)) & 0x0F);
    int room = kComboMaxElements;
    uint8_t modifiers[4];
    int modifierCount = 0;
    for (uint8_t bit : kLeftModifierBits) {
        if ((kinds & bit) != 0 && room > 0) {
            modifiers[modifierCount++] = bit;
            --room;
        }
    }
    uint8_t usages[3];
    int keyCount = 0;
    for (int i = 1; i <= 3; ++i) {
        if (key.stCombo[i] != 0 && room > 0) {
            usages[keyCount++] = VkToUsage(key.stCombo[i]);
            --room;
        }
    }
    BlockWriter out(block);
    for (int i = 0; i < modifierCount; ++i)
        out.Event(kComboModifierDown, modifiers[i]);
    for (int i = 0; i < keyCount; ++i)
        out.Event(kComboKeyDown, usages[i]);
    for (int i = 0; i < modifierCount; ++i)
        out.Event(kComboModifierUp, modifiers[i]);
    for (int i = keyCount - 1; i >= 0; --i)
        out.Event(kComboKeyUp, usages[i]);
    return out.Finish();
}

bool IsRelease(uint8_t type)
{
    return (type & 0xC0) == 0x40;
}

}  // namespace

size_t EncodeComboBlock(const KeyAssignment& key, ComboBlock& block)
{
    switch (key.Major()) {
    case kClassCombo:
        return EncodeCombination(key, block);
    case kClassApplication:
    case kClassMedia: {
        const uint16_t usage = ConsumerUsage(key.dwFunID);
        BlockWriter out(block);
        out.Event(kComboConsumerDown, usage);
        out.Event(kComboConsumerUp, usage);
        return out.Finish();
    }
    default:
        return 0;
    }
}

bool DecodeComboBlock(std::span<const uint8_t> block, KeyAssignment& key)
{
    if (block.size() < 4 || block[0] == 0)
        return false;
    const uint8_t firstType = block[1];
    switch (firstType & 0x0F) {
    case 2: {
        const auto function = ConsumerFunction(uint16_t(block[2] | (block[3] << 8)));
        if (!function)
            return false;
        key.dwFunID = *function;
        std::fill(std::begin(key.stCombo), std::end(key.stCombo), uint8_t(0));
        return true;
    }
    case 0:
    case 1: {
        uint8_t combo[4] = {0, 0, 0, 0};
        // Events that the count names but the block does not hold are not read.
        const size_t count = std::min<size_t>(block[0], (block.size() - 1) / 3);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* event = &block[1 + 3 * i];
            if (IsRelease(event[0]))
                break;
            if ((event[0] & 0x0F) == 0) {
                combo[0] |= uint8_t(event[1] & 0x0F);
            } else if ((event[0] & 0x0F) == 1) {
                uint8_t* free = std::find(combo + 1, combo + 4, uint8_t(0));
                if (free != combo + 4)
                    *free = UsageToVk(event[1]);
            }
        }
        key.dwFunID = kFunComboRead;
        std::copy(combo, combo + 4, key.stCombo);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace zorvan
