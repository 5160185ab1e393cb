#include "ui/DialogTemplate.h"

#include <cstdint>

namespace {

constexpr uint32_t kVisibleStyle = 0x10000000; // WS_VISIBLE
constexpr size_t kExtendedStyleOffset = 12;    // behind dlgVer, signature, helpID, exStyle

uint16_t ReadWord(std::span<const std::byte> data, size_t offset) {
    return static_cast<uint16_t>(std::to_integer<unsigned>(data[offset]) |
                                 std::to_integer<unsigned>(data[offset + 1]) << 8);
}

} // namespace

bool ClearTemplateVisibleStyle(std::span<std::byte> dialogTemplate) noexcept {
    if (dialogTemplate.size() < 4) {
        return false;
    }
    // An extended template starts with version 1 and the signature 0xFFFF.
    const bool extended = ReadWord(dialogTemplate, 0) == 1 && ReadWord(dialogTemplate, 2) == 0xFFFF;
    const size_t styleOffset = extended ? kExtendedStyleOffset : 0;
    if (dialogTemplate.size() < styleOffset + 4) {
        return false;
    }
    // WS_VISIBLE is bit 28: bit 4 of the style's fourth little-endian byte.
    dialogTemplate[styleOffset + 3] &= std::byte{static_cast<unsigned char>(~(kVisibleStyle >> 24))};
    return true;
}
