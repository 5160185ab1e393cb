#pragma once

#include "ui/Xxtea.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// String resources come in blocks of sixteen counted strings: a 16-bit length in
// UTF-16 units, then that many units. Ids below kFirstPlainStringId are stored
// enciphered, the others as they are.
inline constexpr uint32_t kStringsPerBlock = 16;
inline constexpr uint32_t kFirstPlainStringId = 20000;

constexpr uint32_t StringBlockId(uint32_t stringId) noexcept {
    return (stringId >> 4) + 1;
}
constexpr uint32_t StringBlockPosition(uint32_t stringId) noexcept {
    return stringId & (kStringsPerBlock - 1);
}

// The stored units of the string at `position` (0..15) of a block, or nothing when its
// length is 0. A block that ends before the string does also gives nothing: the data
// comes from a file and is not trusted to be well formed.
std::optional<std::u16string> FindStoredUnits(std::span<const std::byte> block, uint32_t position);

// The text of string `stringId` from its stored units: plain ids as stored, the others
// deciphered with `key`, each up to its first zero unit (the padding of enciphered
// texts falls away).
std::u16string DecodeStoredText(std::u16string_view stored, uint32_t stringId, const XxteaKey& key);
