#include "ui/Xxtea.h"

namespace {

constexpr uint32_t kDelta = 0x9E3779B9;

uint32_t Mix(uint32_t y, uint32_t z, uint32_t sum, uint32_t p, uint32_t e, const XxteaKey& key) noexcept {
    return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (key[(p & 3) ^ e] ^ z));
}

} // namespace

void XxteaDecipher(std::span<uint32_t> words, const XxteaKey& key) noexcept {
    const size_t count = words.size();
    if (count < 2) {
        return;
    }
    const uint32_t n = static_cast<uint32_t>(count);
    const uint32_t rounds = 6 + 52 / n;
    uint32_t sum = rounds * kDelta;
    uint32_t y = words[0];
    for (uint32_t round = 0; round < rounds; ++round) {
        const uint32_t e = (sum >> 2) & 3;
        uint32_t z = 0;
        for (uint32_t p = n - 1; p > 0; --p) {
            z = words[p - 1];
            y = words[p] -= Mix(y, z, sum, p, e, key);
        }
        z = words[n - 1];
        y = words[0] -= Mix(y, z, sum, 0, e, key);
        sum -= kDelta;
    }
}
