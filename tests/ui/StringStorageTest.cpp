// The string tables' block layout; the generator's enciphered output comes back in the localization tests.
#include "ui/StringBlock.h"
#include "ui/Xxtea.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>

namespace {

const XxteaKey kKey = {0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF};

TEST(StringBlock, NeverReadsPastTheBlock) {
    // "first" and "second" at 0 and 1, fourteen absent; units little-endian, as on the hosts.
    const std::u16string units = u"\5first\6second" + std::u16string(14, u'\0');
    const std::span<const std::byte> whole(reinterpret_cast<const std::byte*>(units.data()),
                                           units.size() * 2);
    EXPECT_EQ(FindStoredUnits(whole, 1), u"second");
    EXPECT_EQ(FindStoredUnits(whole, 16), std::nullopt);
    // Cut inside the second string, inside its length, and to an odd byte count.
    for (const size_t size : {size_t{14}, size_t{13}, size_t{12}, size_t{1}, size_t{0}}) {
        EXPECT_EQ(FindStoredUnits(whole.first(size), 1), std::nullopt) << size;
        EXPECT_EQ(FindStoredUnits(whole.first(size), 15), std::nullopt) << size;
    }
    // A length that claims more units than the block holds.
    EXPECT_EQ(FindStoredUnits(whole.first(4), 0), std::nullopt);
}

// What the test catalogues miss: a zero unit ends a plain text, one unit comes unpadded, 20000 is plain.
TEST(StringBlock, DecodesEdgesOfTheStoredForms) {
    EXPECT_EQ(DecodeStoredText(std::u16string(u"ab\0cd", 5), 20001, kKey), u"ab");
    EXPECT_EQ(DecodeStoredText(u"A", 5, kKey), u"A");
    // "Hi!" padded with a zero unit and enciphered by the string generator under this key.
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 19999, kKey), u"Hi!");
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 20000, kKey), u"\x053D\xD95A\xF8D4\x644C");
}

} // namespace
