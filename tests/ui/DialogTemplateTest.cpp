#include "ui/DialogTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
    std::vector<std::byte> bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<std::byte>(value));
    }
    return bytes;
}

// Classic: style WS_POPUP | WS_VISIBLE | DS_SETFONT = 0x90000040, then exStyle. Extended:
// dlgVer 1, signature 0xFFFF, helpID, exStyle 0x10000000 (not a style bit there), style
// 0x90C800C0. Cut short of a whole style, either is refused and left alone.
TEST(DialogTemplate, ClearsVisibleInClassicAndExtendedTemplatesRefusesTooShortData) {
    const std::vector<std::byte> classic = Bytes({0x40, 0x00, 0x00, 0x90, 0x88, 0x00, 0x00, 0x00});
    const std::vector<std::byte> extended =
        Bytes({0x01, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x10, 0xC0, 0x00, 0xC8, 0x90});
    for (const auto& original : {classic, extended}) {
        auto cleared = original;
        ASSERT_TRUE(ClearTemplateVisibleStyle(cleared));
        auto expected = original;
        expected[original == classic ? 3 : 15] = std::byte{0x80};
        EXPECT_EQ(cleared, expected);
        auto cut = std::vector<std::byte>(original.begin(), original.end() - (original == classic ? 5 : 1));
        EXPECT_FALSE(ClearTemplateVisibleStyle(cut));
        EXPECT_TRUE(std::equal(cut.begin(), cut.end(), original.begin()));
    }
}

} // namespace

namespace {

uint16_t WordAt(const std::vector<std::byte>& block, size_t offset) {
    return static_cast<uint16_t>(std::to_integer<unsigned>(block[offset]) |
                                 std::to_integer<unsigned>(block[offset + 1]) << 8);
}
uint32_t DwordAt(const std::vector<std::byte>& block, size_t offset) {
    return WordAt(block, offset) | static_cast<uint32_t>(WordAt(block, offset + 2)) << 16;
}

SingleControlTemplate SliderPopupTemplate() {
    return {0x80000000, 0x2080088, 37, 15, 1000, u"msctls_trackbar32", 0x50000014, 0x20};
}

// The dialog header (18 bytes, no menu, default class, empty caption) ends at 24, already
// a 4-byte boundary; the control follows with its class by name, empty text, no data.
TEST(DialogTemplate, WritesOneControlOnItsBoundaryAndStopsAtTheBlockEnd) {
    std::vector<std::byte> block(1024, std::byte{0xCC});
    const size_t written = WriteSingleControlTemplate(block, SliderPopupTemplate());
    ASSERT_EQ(written, 24u + 18u + 2u * 18u + 2u + 2u);
    EXPECT_EQ(DwordAt(block, 0), 0x80000000u);
    EXPECT_EQ(DwordAt(block, 4), 0x2080088u);
    EXPECT_EQ(WordAt(block, 8), 1u);
    EXPECT_EQ(WordAt(block, 14), 37u);
    EXPECT_EQ(WordAt(block, 16), 15u);
    EXPECT_EQ(DwordAt(block, 18), 0u); // no menu, default class
    EXPECT_EQ(WordAt(block, 22), 0u);  // empty caption
    EXPECT_EQ(DwordAt(block, 24), 0x50000014u);
    EXPECT_EQ(DwordAt(block, 28), 0x20u);
    EXPECT_EQ(WordAt(block, 36), 37u) << "the control is as wide as the popup";
    EXPECT_EQ(WordAt(block, 40), 1000u);
    EXPECT_EQ(WordAt(block, 42), u'm');
    EXPECT_EQ(WordAt(block, 42 + 2 * 17), 0u);
    EXPECT_EQ(block[written], std::byte{0xCC}) << "nothing past the template";

    // A block one byte short refuses the template and nothing is written past its end.
    std::vector<std::byte> guarded(written + 8, std::byte{0xCC});
    EXPECT_EQ(WriteSingleControlTemplate(std::span(guarded).first(written - 1), SliderPopupTemplate()), 0u);
    EXPECT_TRUE(std::all_of(guarded.begin() + static_cast<std::ptrdiff_t>(written - 1), guarded.end(),
                            [](std::byte b) { return b == std::byte{0xCC}; }));
    std::vector<std::byte> tiny(10);
    EXPECT_EQ(WriteSingleControlTemplate(tiny, SliderPopupTemplate()), 0u);
}

} // namespace
