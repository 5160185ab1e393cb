#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Clears WS_VISIBLE in the style of a dialog template (classic or extended), so a
// dialog created from it stays hidden. Returns false when the data is too short to be
// a template.
bool ClearTemplateVisibleStyle(std::span<std::byte> dialogTemplate) noexcept;

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
