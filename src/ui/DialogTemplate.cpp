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

namespace {

// Appends little-endian values and strings while they fit.
class TemplateWriter {
public:
    explicit TemplateWriter(std::span<std::byte> block) : block_(block) {}

    void Word(uint16_t value) {
        if (!Reserve(2)) {
            return;
        }
        block_[offset_++] = static_cast<std::byte>(value & 0xFF);
        block_[offset_++] = static_cast<std::byte>(value >> 8);
    }
    void Dword(uint32_t value) {
        Word(static_cast<uint16_t>(value & 0xFFFF));
        Word(static_cast<uint16_t>(value >> 16));
    }
    void Text(std::u16string_view text) {
        for (const char16_t character : text) {
            Word(static_cast<uint16_t>(character));
        }
        Word(0);
    }
    void AlignToDword() {
        while (!failed_ && offset_ % 4 != 0) {
            if (Reserve(1)) {
                block_[offset_++] = std::byte{0};
            }
        }
    }
    size_t Written() const { return failed_ ? 0 : offset_; }

private:
    bool Reserve(size_t count) {
        failed_ = failed_ || block_.size() - offset_ < count;
        return !failed_;
    }

    std::span<std::byte> block_;
    size_t offset_ = 0;
    bool failed_ = false;
};

} // namespace

size_t WriteSingleControlTemplate(std::span<std::byte> block,
                                  const SingleControlTemplate& description) noexcept {
    TemplateWriter writer(block);
    // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; then no menu, the
    // default class and an empty caption.
    writer.Dword(description.style);
    writer.Dword(description.extendedStyle);
    writer.Word(1);
    writer.Word(0);
    writer.Word(0);
    writer.Word(static_cast<uint16_t>(description.width));
    writer.Word(static_cast<uint16_t>(description.height));
    writer.Word(0);
    writer.Word(0);
    writer.Text(u"");
    // DLGITEMTEMPLATE on a 4-byte boundary: style, extended style, x, y, cx, cy, id; the
    // class by name, an empty text and no creation data.
    writer.AlignToDword();
    writer.Dword(description.controlStyle);
    writer.Dword(description.controlExtendedStyle);
    writer.Word(0);
    writer.Word(0);
    writer.Word(static_cast<uint16_t>(description.width));
    writer.Word(static_cast<uint16_t>(description.height));
    writer.Word(description.controlId);
    writer.Text(description.controlClass);
    writer.Text(u"");
    writer.Word(0);
    return writer.Written();
}
