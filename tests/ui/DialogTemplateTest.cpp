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
