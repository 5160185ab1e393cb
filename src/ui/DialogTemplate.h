#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The texts of a dialog template: its caption and, in template order, each control's id
// with its text. Controls whose title is a resource number (an icon, a bitmap) have none.
struct DialogTemplateTexts {
    struct Control {
        uint32_t id = 0;
        std::u16string text;
        bool operator==(const Control&) const = default;
    };
    std::u16string caption;
    std::vector<Control> controls;
};

// Reads the texts of a classic or extended dialog template. None when the data ends
// before the template does.
std::optional<DialogTemplateTexts> ReadDialogTemplateTexts(std::span<const std::byte> dialogTemplate);

// A classic dialog template with one control and no font, menu or caption: what a popup
// built in memory needs. Sizes are in dialog units.
struct SingleControlTemplate {
    uint32_t style = 0;
    uint32_t extendedStyle = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint16_t controlId = 0;
    std::u16string_view controlClass;
    uint32_t controlStyle = 0;
    uint32_t controlExtendedStyle = 0;
};

// Writes `description` into `block` (the dialog at the start, the control at the next
// 4-byte boundary, both at (0, 0), the control as large as the dialog). Returns the number
// of bytes written, or 0 when the template would not fit; nothing is written past the end.
size_t WriteSingleControlTemplate(std::span<std::byte> block,
                                  const SingleControlTemplate& description) noexcept;
