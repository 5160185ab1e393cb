#pragma once

#include <array>
#include <cstdint>
#include <span>

// A 128-bit XXTEA key as four 32-bit words.
using XxteaKey = std::array<uint32_t, 4>;

// Deciphers `words` in place with XXTEA (the corrected block TEA). Fewer than two
// words are left as they are: the cipher is not defined for them.
void XxteaDecipher(std::span<uint32_t> words, const XxteaKey& key) noexcept;
