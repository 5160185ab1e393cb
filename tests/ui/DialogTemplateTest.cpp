#include "ui/DialogTemplate.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
    std::vector<std::byte> bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<std::byte>(value));
    }
    return bytes;
}

TEST(DialogTemplate, ClearsVisibleInClassicAndExtendedTemplates) {
    // style WS_POPUP | WS_VISIBLE | DS_SETFONT = 0x90000040, then exStyle.
    auto classic = Bytes({0x40, 0x00, 0x00, 0x90, 0x88, 0x00, 0x00, 0x00});
    ASSERT_TRUE(ClearTemplateVisibleStyle(classic));
    EXPECT_EQ(classic, Bytes({0x40, 0x00, 0x00, 0x80, 0x88, 0x00, 0x00, 0x00}));
    // dlgVer 1, signature 0xFFFF, helpID, exStyle 0x10000000 (not a style bit there),
    // style 0x90C800C0.
    auto extended =
        Bytes({0x01, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x10, 0xC0, 0x00, 0xC8, 0x90});
    ASSERT_TRUE(ClearTemplateVisibleStyle(extended));
    EXPECT_EQ(extended,
              Bytes({0x01, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x10, 0xC0, 0x00, 0xC8, 0x80}));
}

TEST(DialogTemplate, RejectsDataTooShortForAStyle) {
    auto classic = Bytes({0x40, 0x00, 0x00});
    EXPECT_FALSE(ClearTemplateVisibleStyle(classic));
    auto extended = Bytes({0x01, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0xC8});
    EXPECT_FALSE(ClearTemplateVisibleStyle(extended));
    EXPECT_EQ(extended.back(), std::byte{0xC8});
}

} // namespace
