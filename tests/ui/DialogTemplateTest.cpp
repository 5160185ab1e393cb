#include "ui/DialogTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Little-endian template bytes, as a resource compiler lays them out.
class Bytes {
public:
    Bytes& Word(uint16_t value) {
        data.push_back(static_cast<std::byte>(value & 0xFF));
        data.push_back(static_cast<std::byte>(value >> 8));
        return *this;
    }
    Bytes& Words(std::initializer_list<uint16_t> values) {
        for (const uint16_t value : values) {
            Word(value);
        }
        return *this;
    }
    Bytes& Dword(uint32_t value) {
        return Word(static_cast<uint16_t>(value)).Word(static_cast<uint16_t>(value >> 16));
    }
    Bytes& Text(std::u16string_view text) {
        for (const char16_t c : text) {
            Word(c);
        }
        return Word(0);
    }
    Bytes& Align() {
        while (data.size() % 4) {
            data.push_back(std::byte{0});
        }
        return *this;
    }
    std::vector<std::byte> data;
};

// An extended template with a font: an icon (a number for its title), a text with creation data.
TEST(DialogTemplate, ReadsTheCaptionAndEachControlsTextOfAnExtendedTemplate) {
    Bytes dialog;
    // Version 1, signature, help id, extended style, style, 3 items, x, y, cx, cy.
    dialog.Words({1, 0xFFFF}).Dword(0).Dword(0x80).Dword(0x80C800C0).Words({3, 0, 0, 178, 116});
    dialog.Word(0).Word(0).Text(u"Define hotkeys").Word(8).Word(400).Word(0x0100).Text(u"MS Shell Dlg 2");
    dialog.Align().Dword(0).Dword(0).Dword(0x50000003).Word(5).Word(5).Word(10).Word(10).Dword(1054);
    dialog.Word(0xFFFF).Word(0x0082).Word(0xFFFF).Word(214).Word(0);
    dialog.Align().Dword(0).Dword(0).Dword(0x50010000).Word(5).Word(20).Word(50).Word(14).Dword(1);
    dialog.Word(0xFFFF).Word(0x0080).Text(u"OK").Word(3).Word(0x1234).data.push_back(std::byte{0x56});
    dialog.Align().Dword(0).Dword(0).Dword(0x50010012).Word(1).Word(1).Word(17).Word(69).Dword(1029);
    dialog.Text(u"msctls_trackbar32").Word(0).Word(0);

    const auto texts = ReadDialogTemplateTexts(dialog.data);
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->caption, u"Define hotkeys");
    const std::vector<DialogTemplateTexts::Control> expected = {{1054, u""}, {1, u"OK"}, {1029, u""}};
    EXPECT_EQ(texts->controls, expected);

    // Cut anywhere, the template is refused rather than read past its end.
    for (size_t length : {size_t{3}, size_t{30}, dialog.data.size() - 3}) {
        EXPECT_FALSE(ReadDialogTemplateTexts(std::span(dialog.data).first(length))) << length;
    }
}

TEST(DialogTemplate, ReadsAClassicTemplate) {
    Bytes dialog;
    dialog.Dword(0x80C800C0 | 0x40).Dword(0).Word(1).Word(0).Word(0).Word(100).Word(50);
    dialog.Word(0).Word(0).Text(u"Caption").Word(8).Text(u"MS Shell Dlg");
    dialog.Align().Dword(0x50010000).Dword(0).Word(5).Word(5).Word(40).Word(14).Word(2);
    dialog.Word(0xFFFF).Word(0x0080).Text(u"Cancel").Word(0);

    const auto texts = ReadDialogTemplateTexts(dialog.data);
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->caption, u"Caption");
    ASSERT_EQ(texts->controls.size(), 1u);
    EXPECT_EQ(texts->controls[0], (DialogTemplateTexts::Control{2, u"Cancel"}));
}

SingleControlTemplate SliderPopupTemplate() {
    return {0x80000000, 0x2080088, 37, 15, 1000, u"msctls_trackbar32", 0x50000014, 0x20};
}

// The header (18 bytes, no menu, default class, empty caption) ends at 24, a 4-byte boundary; the
// control's class is named, its text empty, no data. (What the dialog manager makes of it: the
// dialogs program test's popups.)
TEST(DialogTemplate, WritesOneControlOnItsBoundaryAndStopsAtTheBlockEnd) {
    std::vector<std::byte> block(1024, std::byte{0xCC});
    const size_t written = WriteSingleControlTemplate(block, SliderPopupTemplate());
    ASSERT_EQ(written, 24u + 18u + 2u * 18u + 2u + 2u);
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
