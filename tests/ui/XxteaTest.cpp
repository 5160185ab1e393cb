#include "ui/Xxtea.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KnownAnswer {
    XxteaKey key;
    std::vector<uint32_t> plain;
    std::vector<uint32_t> enciphered;
};

// Published XXTEA test vectors (TeaCrypt, Logan J. Drews): two, three and four words.
const KnownAnswer kKnownAnswers[] = {
    {{0, 0, 0, 0}, {0x00000000, 0x00000000}, {0x053704AB, 0x575D8C80}},
    {{0, 0, 0, 0}, {0x01020304, 0x05060708}, {0xE6911910, 0x0C35DCDA}},
    {{0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF}, {0x01234567, 0x89ABCDEF}, {0x34354989, 0xDD7D1A7A}},
    {{0, 0, 0, 0}, {0x00010203, 0x04050607, 0x08090A0B}, {0x5A545AAC, 0x684EB2CB, 0x3E1B8AA0}},
    {{0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF},
     {0x01234567, 0x89ABCDEF, 0x01234567},
     {0xEBC5DD46, 0xBE0FEE71, 0xC6BF7193}},
    {{0, 0, 0, 0},
     {0x00010203, 0x04050607, 0x08090A0B, 0x0C0D0E0F},
     {0xAF5CFB0E, 0xAE73552B, 0x1D968A9F, 0x5CB94509}},
    {{0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF},
     {0x01234567, 0x89ABCDEF, 0x01234567, 0x89ABCDEF},
     {0x2B4AB1A4, 0x0E487B6D, 0x9A3AACC7, 0xE4132216}},
};

TEST(Xxtea, DeciphersPublishedVectors) {
    for (const KnownAnswer& answer : kKnownAnswers) {
        std::vector<uint32_t> words = answer.enciphered;
        XxteaDecipher(words, answer.key);
        EXPECT_EQ(words, answer.plain)
            << "vector of " << words.size() << " words, first " << std::hex << answer.enciphered[0];
    }
}

TEST(Xxtea, LeavesFewerThanTwoWordsAlone) {
    const XxteaKey key = {1, 2, 3, 4};
    std::vector<uint32_t> one = {0xDEADBEEF};
    XxteaDecipher(one, key);
    EXPECT_EQ(one, std::vector<uint32_t>{0xDEADBEEF});
    std::vector<uint32_t> none;
    XxteaDecipher(none, key);
    EXPECT_TRUE(none.empty());
}

} // namespace
