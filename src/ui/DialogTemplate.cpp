#include "ui/DialogTemplate.h"

#include <cstdint>

namespace {

constexpr uint16_t kOrdinalMarker = 0xFFFF;
constexpr uint32_t kSetFontStyle = 0x40; // DS_SETFONT, also part of DS_SHELLFONT

// Reads little-endian values and strings, and remembers when the data ran out.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const std::byte> data) : data_(data) {}

    uint16_t Word() {
        if (!Has(2)) {
            return 0;
        }
        const auto value = static_cast<uint16_t>(std::to_integer<unsigned>(data_[offset_]) |
                                                 std::to_integer<unsigned>(data_[offset_ + 1]) << 8);
        offset_ += 2;
        return value;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    void Skip(size_t count) {
        if (Has(count)) {
            offset_ += count;
        }
    }
    std::u16string Text() {
        std::u16string text;
        for (uint16_t character = Word(); character != 0 && !failed_; character = Word()) {
            text.push_back(static_cast<char16_t>(character));
        }
        return text;
    }
    // A name or a resource number (0xFFFF and the number); a number gives no text.
    std::u16string TextOrOrdinal() {
        if (!Has(2)) {
            return {};
        }
        if (std::to_integer<unsigned>(data_[offset_]) == 0xFF &&
            std::to_integer<unsigned>(data_[offset_ + 1]) == 0xFF) {
            Skip(4);
            return {};
        }
        return Text();
    }
    void AlignToDword() { Skip((4 - offset_ % 4) % 4); }
    bool Failed() const { return failed_; }

private:
    bool Has(size_t count) {
        failed_ = failed_ || data_.size() - offset_ < count;
        return !failed_;
    }

    std::span<const std::byte> data_;
    size_t offset_ = 0;
    bool failed_ = false;
};

} // namespace

std::optional<DialogTemplateTexts> ReadDialogTemplateTexts(std::span<const std::byte> dialogTemplate) {
    TemplateReader reader(dialogTemplate);
    // An extended template starts with version 1 and the signature 0xFFFF.
    const uint16_t version = reader.Word();
    const bool extended = version == 1 && reader.Word() == kOrdinalMarker;
    uint32_t style = 0;
    if (extended) {
        reader.Skip(8); // help id, extended style
        style = reader.Dword();
    } else {
        reader = TemplateReader(dialogTemplate);
        style = reader.Dword();
        reader.Skip(4); // extended style
    }
    const uint16_t controlCount = reader.Word();
    reader.Skip(8);         // x, y, cx, cy
    reader.TextOrOrdinal(); // menu
    reader.TextOrOrdinal(); // class
    DialogTemplateTexts texts;
    texts.caption = reader.Text();
    if (style & kSetFontStyle) {
        reader.Skip(extended ? 6 : 2); // point size (weight, italic, character set)
        reader.Text();
    }
    for (uint16_t i = 0; i < controlCount && !reader.Failed(); ++i) {
        reader.AlignToDword();
        reader.Skip(extended ? 20 : 16); // (help id,) styles, x, y, cx, cy
        DialogTemplateTexts::Control control;
        control.id = extended ? reader.Dword() : reader.Word();
        reader.TextOrOrdinal(); // class
        control.text = reader.TextOrOrdinal();
        reader.Skip(reader.Word()); // creation data
        texts.controls.push_back(std::move(control));
    }
    if (reader.Failed()) {
        return std::nullopt;
    }
    return texts;
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
