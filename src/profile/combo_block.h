#pragma once
// The combination block of a matrix position (32 bytes in the EEPROM): an event count, events
// of 3 bytes [type, code low, code high] and a check byte. It holds what a combination key
// (class 2) or a media or application key (classes 3, 4) sends.
#include "app/key_assignment.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zorvan {

constexpr size_t kComboBlockSize = 32;
// What the profile read takes of each block.
constexpr size_t kComboBlockReadSize = 20;

// Event types.
constexpr uint8_t kComboModifierDown = 0x80;
constexpr uint8_t kComboModifierUp = 0x40;
constexpr uint8_t kComboKeyDown = 0x81;
constexpr uint8_t kComboKeyUp = 0x41;
constexpr uint8_t kComboConsumerDown = 0x82;
constexpr uint8_t kComboConsumerUp = 0x42;

// A combination of modifiers and keys keeps at most this many of them (modifiers first), so
// that every press has its release inside the block.
constexpr int kComboMaxElements = 5;

using ComboBlock = std::array<uint8_t, kComboBlockSize>;

// The block of `key` (class 2, 3 or 4), zero-padded; returns its length with the check byte,
// or 0 when the class has no block. Right-hand modifiers are sent as their left-hand kind.
size_t EncodeComboBlock(const KeyAssignment& key, ComboBlock& block);

// Decodes a block read from the mouse into `dwFunID` and `stCombo` of `key` (class 2: modifier
// and key presses up to the first release; classes 3, 4: the consumer usage). Only the bytes
// of `block` are read. False, with `key` unchanged, when the block holds no known action.
bool DecodeComboBlock(std::span<const uint8_t> block, KeyAssignment& key);

}  // namespace zorvan
