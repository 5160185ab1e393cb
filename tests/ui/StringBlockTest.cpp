#include "ui/StringBlock.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace {

// Builds block bytes from little-endian units.
std::vector<std::byte> Bytes(const std::vector<uint16_t>& units) {
    std::vector<std::byte> bytes;
    for (const uint16_t unit : units) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    return bytes;
}

// Sixteen counted strings: entry i holds `texts[i]` (empty = absent).
std::vector<uint16_t> Block(const std::vector<std::u16string>& texts) {
    std::vector<uint16_t> units;
    for (size_t i = 0; i < kStringsPerBlock; ++i) {
        const std::u16string text = i < texts.size() ? texts[i] : std::u16string();
        units.push_back(static_cast<uint16_t>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    return units;
}

TEST(StringBlock, FindsEveryPositionAndTreatsLengthZeroAsAbsent) {
    const auto bytes =
        Bytes(Block({u"zero", u"", u"two", {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"last"}));
    EXPECT_EQ(FindStoredUnits(bytes, 0), u"zero");
    EXPECT_EQ(FindStoredUnits(bytes, 1), std::nullopt);
    EXPECT_EQ(FindStoredUnits(bytes, 2), u"two");
    EXPECT_EQ(FindStoredUnits(bytes, 14), std::nullopt);
    EXPECT_EQ(FindStoredUnits(bytes, 15), u"last");
    EXPECT_EQ(FindStoredUnits(bytes, 16), std::nullopt);
}

TEST(StringBlock, NeverReadsPastATruncatedBlock) {
    const auto whole = Bytes(Block({u"first", u"second"}));
    // Cut inside the second string, inside its length, and to an odd byte count.
    for (const size_t size : {size_t{14}, size_t{13}, size_t{12}, size_t{1}, size_t{0}}) {
        const std::span<const std::byte> cut(whole.data(), size);
        EXPECT_EQ(FindStoredUnits(cut, 1), std::nullopt) << size;
        EXPECT_EQ(FindStoredUnits(cut, 15), std::nullopt) << size;
    }
    // A length that claims more units than the block holds.
    const auto lying = Bytes({0x0005, u'a', u'b'});
    EXPECT_EQ(FindStoredUnits(lying, 0), std::nullopt);
}

TEST(StringBlock, PlainIdsAreReturnedAsStored) {
    const XxteaKey key = {1, 2, 3, 4};
    EXPECT_EQ(DecodeStoredText(u"Plain text", 20000, key), u"Plain text");
    EXPECT_EQ(DecodeStoredText(u"odd", 65535, key), u"odd");
    // A zero unit ends the text, as it ends the zero-terminated result.
    EXPECT_EQ(DecodeStoredText(std::u16string(u"ab\0cd", 5), 20001, key), u"ab");
}

TEST(StringBlock, ShortEnciphertextsAreStoredPlain) {
    const XxteaKey key = {1, 2, 3, 4};
    EXPECT_EQ(DecodeStoredText(std::u16string(u"A\0", 2), 5, key), u"A");
    EXPECT_EQ(DecodeStoredText(u"AB", 5, key), u"AB");
    EXPECT_EQ(DecodeStoredText(u"A", 5, key), u"A");
}

TEST(StringBlock, DeciphersAndDropsThePadding) {
    // "ABC" and "Hi!", each padded with a zero unit and enciphered by the string
    // generator under this key.
    const XxteaKey key = {0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF};
    EXPECT_EQ(DecodeStoredText(u"\xF2AC\x1E62\x4C99\x9987", 1051, key), u"ABC");
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 19999, key), u"Hi!");
    // The same units under a plain id stay as they are.
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 20000, key), u"\x053D\xD95A\xF8D4\x644C");
}

} // namespace
