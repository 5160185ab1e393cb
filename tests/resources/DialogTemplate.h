#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A dialog template (DLGTEMPLATEEX) as the resource compiler wrote it, decoded so tests
// can compare templates across languages and with the documented layout.
struct DialogItem {
    uint32_t id = 0;
    std::wstring windowClass; // predefined classes by name ("Button", "Static", ...)
    std::wstring text;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;

    bool SameLayout(const DialogItem& other) const {
        return id == other.id && windowClass == other.windowClass && style == other.style &&
               exStyle == other.exStyle && x == other.x && y == other.y && cx == other.cx && cy == other.cy;
    }
};

struct DialogTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    uint16_t pointSize = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;

    bool SameLayout(const DialogTemplate& other) const;
};

// Nothing when the bytes are not a complete extended dialog template.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::byte> bytes);
