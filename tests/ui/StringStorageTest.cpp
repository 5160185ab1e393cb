// How texts are stored in the string tables: the cipher, the block layout, and a round
// trip of the test catalogues, enciphered by the string generator at build time, back
// through the program's block parsing and deciphering.
#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"
#include "ui/Xxtea.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>
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
    {{0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF}, {0x01234567, 0x89ABCDEF}, {0x34354989, 0xDD7D1A7A}},
    {{0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF},
     {0x01234567, 0x89ABCDEF, 0x01234567},
     {0xEBC5DD46, 0xBE0FEE71, 0xC6BF7193}},
    {{0, 0, 0, 0},
     {0x00010203, 0x04050607, 0x08090A0B, 0x0C0D0E0F},
     {0xAF5CFB0E, 0xAE73552B, 0x1D968A9F, 0x5CB94509}},
};

TEST(Xxtea, DeciphersPublishedVectorsAndLeavesFewerThanTwoWordsAlone) {
    for (const KnownAnswer& answer : kKnownAnswers) {
        std::vector<uint32_t> words = answer.enciphered;
        XxteaDecipher(words, answer.key);
        EXPECT_EQ(words, answer.plain)
            << "vector of " << words.size() << " words, first " << std::hex << answer.enciphered[0];
    }
    for (std::vector<uint32_t> words : {std::vector<uint32_t>{0xDEADBEEF}, std::vector<uint32_t>{}}) {
        const std::vector<uint32_t> before = words;
        XxteaDecipher(words, {1, 2, 3, 4});
        EXPECT_EQ(words, before);
    }
}

TEST(StringBlock, NeverReadsPastTheBlock) {
    // "first" and "second" at positions 0 and 1, the other fourteen absent; the units are
    // stored little-endian, as on the hosts.
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

// What the round trip below does not reach: a zero unit ends a plain text, a one-unit
// text arrives unpadded, and 20000 is the first id stored plain.
TEST(StringBlock, DecodesEdgesOfTheStoredForms) {
    const XxteaKey key = {0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF};
    EXPECT_EQ(DecodeStoredText(std::u16string(u"ab\0cd", 5), 20001, key), u"ab");
    EXPECT_EQ(DecodeStoredText(u"A", 5, key), u"A");
    // "Hi!" padded with a zero unit and enciphered by the string generator under this key.
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 19999, key), u"Hi!");
    EXPECT_EQ(DecodeStoredText(u"\x053D\xD95A\xF8D4\x644C", 20000, key), u"\x053D\xD95A\xF8D4\x644C");
}

constexpr uint16_t kStringType = 6;
constexpr uint16_t kEnglish = 9;
constexpr uint16_t kDutch = 19;

using ResourceKey = std::tuple<uint16_t, uint16_t, uint16_t>; // type, name, language

template <typename T> T Read(const std::vector<char>& data, size_t offset) {
    T value{};
    std::memcpy(&value, data.data() + offset, sizeof(T)); // the file is little-endian, as are the hosts
    return value;
}

// The numbered resources of a compiled resource file (the generator writes only those).
std::map<ResourceKey, std::vector<std::byte>> ReadResourceFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::map<ResourceKey, std::vector<std::byte>> resources;
    size_t offset = 0;
    while (offset + 32 <= data.size()) {
        const auto size = Read<uint32_t>(data, offset);
        const auto headerSize = Read<uint32_t>(data, offset + 4);
        const ResourceKey key{Read<uint16_t>(data, offset + 10), Read<uint16_t>(data, offset + 14),
                              Read<uint16_t>(data, offset + 22)};
        if (offset + headerSize + size > data.size()) {
            ADD_FAILURE() << "resource file truncated at " << offset;
            break;
        }
        if (std::get<0>(key) != 0) {
            std::vector<std::byte> body(size);
            std::memcpy(body.data(), data.data() + offset + headerSize, size);
            resources[key] = std::move(body);
        }
        offset += headerSize + size + (4 - size % 4) % 4;
    }
    return resources;
}

std::optional<std::u16string> Text(const std::map<ResourceKey, std::vector<std::byte>>& resources,
                                   uint32_t id, uint16_t language) {
    const auto block = resources.find({kStringType, static_cast<uint16_t>(StringBlockId(id)), language});
    if (block == resources.end()) {
        return std::nullopt;
    }
    const auto stored = FindStoredUnits(block->second, StringBlockPosition(id));
    if (!stored) {
        return std::nullopt;
    }
    return DecodeStoredText(*stored, id, kStringCipherKey);
}

TEST(GeneratedStrings, TextsComeBackAsWritten) {
    const auto resources = ReadResourceFile(ORVALUX_TEST_STRINGS_RES);
    ASSERT_FALSE(resources.empty()) << "cannot read " << ORVALUX_TEST_STRINGS_RES;
    const std::tuple<uint32_t, uint16_t, std::u16string> expected[] = {
        {4000, kEnglish, u"A"},
        {4001, kEnglish, u"AB"},
        {4002, kEnglish, u"ABC"},
        {4003, kEnglish, u"ABCD"},
        {4004, kEnglish, u"Grüße \U0001F600 \"quoted\"\tand 中文"},
        {4015, kEnglish, u"Last of its block"},
        {4006, kDutch, u"Bestaat in het Engels en het Nederlands"},
        {4040, kDutch, u"Alleen in het Nederlands"},
        {20000, kEnglish, u"Plain from 20000 on"},
        {20001, kEnglish, u"XYZ"},
    };
    for (const auto& [id, language, text] : expected) {
        EXPECT_EQ(Text(resources, id, language), text) << "string " << id << " in language " << language;
    }
    // The Dutch block of 4000..4015 exists, but its entry for 4007 stays empty.
    EXPECT_EQ(Text(resources, 4007, kDutch), std::nullopt);
}

} // namespace
