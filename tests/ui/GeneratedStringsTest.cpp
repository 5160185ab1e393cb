// Round trip: texts of the test catalogues, enciphered by the string generator at build
// time, come back unchanged through the program's block parsing and deciphering.
#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace {

constexpr uint16_t kStringType = 6;
constexpr uint16_t kEnglish = 9;
constexpr uint16_t kDutch = 19;

using ResourceKey = std::tuple<uint16_t, uint16_t, uint16_t>; // type, name, language

uint32_t ReadU32(const std::vector<char>& data, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(data[offset + i]);
    }
    return value;
}

uint16_t ReadU16(const std::vector<char>& data, size_t offset) {
    return static_cast<uint16_t>(static_cast<unsigned char>(data[offset]) |
                                 static_cast<unsigned char>(data[offset + 1]) << 8);
}

// The numbered resources of a compiled resource file (the generator writes only those).
std::map<ResourceKey, std::vector<std::byte>> ReadResourceFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::map<ResourceKey, std::vector<std::byte>> resources;
    size_t offset = 0;
    while (offset + 32 <= data.size()) {
        const uint32_t size = ReadU32(data, offset);
        const uint32_t headerSize = ReadU32(data, offset + 4);
        const ResourceKey key{ReadU16(data, offset + 10), ReadU16(data, offset + 14),
                              ReadU16(data, offset + 22)};
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

class GeneratedStrings : public ::testing::Test {
protected:
    static void SetUpTestSuite() { resources_ = ReadResourceFile(ORVALUX_TEST_STRINGS_RES); }

    static std::optional<std::u16string> Stored(uint32_t id, uint16_t language) {
        const auto block = resources_.find({kStringType, static_cast<uint16_t>(StringBlockId(id)), language});
        if (block == resources_.end()) {
            return std::nullopt;
        }
        return FindStoredUnits(block->second, StringBlockPosition(id));
    }

    static std::optional<std::u16string> Text(uint32_t id, uint16_t language) {
        const auto stored = Stored(id, language);
        if (!stored) {
            return std::nullopt;
        }
        return DecodeStoredText(*stored, id, kStringCipherKey);
    }

    static inline std::map<ResourceKey, std::vector<std::byte>> resources_;
};

TEST_F(GeneratedStrings, TextsComeBackAsWritten) {
    ASSERT_FALSE(resources_.empty()) << "cannot read " << ORVALUX_TEST_STRINGS_RES;
    EXPECT_EQ(Text(4000, kEnglish), u"A");
    EXPECT_EQ(Text(4001, kEnglish), u"AB");
    EXPECT_EQ(Text(4002, kEnglish), u"ABC");
    EXPECT_EQ(Text(4003, kEnglish), u"ABCD");
    EXPECT_EQ(Text(4004, kEnglish), u"Grüße \U0001F600 \"quoted\"\tand 中文");
    EXPECT_EQ(Text(4015, kEnglish), u"Last of its block");
    EXPECT_EQ(Text(4006, kDutch), u"Bestaat in het Engels en het Nederlands");
    EXPECT_EQ(Text(20000, kEnglish), u"Plain from 20000 on");
    EXPECT_EQ(Text(20001, kEnglish), u"XYZ");
}

TEST_F(GeneratedStrings, StorageFollowsTheFormat) {
    // Enciphered texts have an even unit count; the padding does not show in the text.
    EXPECT_EQ(Stored(4000, kEnglish), std::u16string(u"A\0", 2));
    EXPECT_EQ(Stored(4001, kEnglish), u"AB");
    ASSERT_TRUE(Stored(4002, kEnglish));
    EXPECT_EQ(Stored(4002, kEnglish)->size(), 4u);
    ASSERT_TRUE(Stored(4003, kEnglish));
    EXPECT_NE(Stored(4003, kEnglish), u"ABCD");
    // Plain from 20000 on, with no padding.
    EXPECT_EQ(Stored(20001, kEnglish), u"XYZ");
}

TEST_F(GeneratedStrings, AbsentEntriesAndBlocksStayAbsent) {
    // The Dutch block of 4000..4015 exists but has no 4007; Dutch has no 4016..4031.
    EXPECT_TRUE(resources_.count({kStringType, static_cast<uint16_t>(StringBlockId(4007)), kDutch}));
    EXPECT_EQ(Stored(4007, kDutch), std::nullopt);
    EXPECT_FALSE(resources_.count({kStringType, static_cast<uint16_t>(StringBlockId(4020)), kDutch}));
    EXPECT_EQ(Stored(4040, kEnglish), std::nullopt);
    EXPECT_EQ(Text(4040, kDutch), u"Alleen in het Nederlands");
}

} // namespace
