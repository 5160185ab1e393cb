#include "DialogTemplate.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {

constexpr uint32_t kSetFont = 0x40;   // DS_SETFONT
constexpr uint32_t kShellFont = 0x48; // DS_SHELLFONT

// Reads little-endian fields in order; any read past the end marks the reader failed.
class Reader {
public:
    explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    template <typename T> T Read() {
        T value{};
        if (offset_ + sizeof(T) > bytes_.size()) {
            failed_ = true;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (wchar_t unit = Read<uint16_t>(); unit != 0 && !failed_; unit = Read<uint16_t>()) {
            text.push_back(unit);
        }
        return text;
    }

    // A name or an ordinal; predefined control classes come as ordinals.
    std::wstring ReadNameOrOrdinal() {
        const auto first = Read<uint16_t>();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            return OrdinalName(Read<uint16_t>());
        }
        offset_ -= sizeof(uint16_t);
        return ReadString();
    }

    void AlignToDword() { offset_ = std::min((offset_ + 3) & ~size_t{3}, bytes_.size()); }
    void Skip(size_t count) {
        failed_ = failed_ || offset_ + count > bytes_.size();
        offset_ = std::min(offset_ + count, bytes_.size());
    }
    bool Failed() const { return failed_; }

private:
    static std::wstring OrdinalName(uint16_t ordinal) {
        switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(ordinal);
        }
    }

    std::span<const std::byte> bytes_;
    size_t offset_ = 0;
    bool failed_ = false;
};

bool EqualIgnoringCase(const std::wstring& left, const std::wstring& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

} // namespace

bool DialogTemplate::SameLayout(const DialogTemplate& other) const {
    return style == other.style && exStyle == other.exStyle && x == other.x && y == other.y &&
           cx == other.cx && cy == other.cy && pointSize == other.pointSize &&
           EqualIgnoringCase(typeface, other.typeface) &&
           std::equal(items.begin(), items.end(), other.items.begin(), other.items.end(),
                      [](const DialogItem& a, const DialogItem& b) { return a.SameLayout(b); });
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::byte> bytes) {
    Reader reader(bytes);
    DialogTemplate dialog;
    const auto version = reader.Read<uint16_t>();
    const auto signature = reader.Read<uint16_t>();
    if (version != 1 || signature != 0xFFFF) {
        return std::nullopt;
    }
    reader.Read<uint32_t>(); // help id
    dialog.exStyle = reader.Read<uint32_t>();
    dialog.style = reader.Read<uint32_t>();
    const auto itemCount = reader.Read<uint16_t>();
    dialog.x = reader.Read<int16_t>();
    dialog.y = reader.Read<int16_t>();
    dialog.cx = reader.Read<int16_t>();
    dialog.cy = reader.Read<int16_t>();
    reader.ReadNameOrOrdinal(); // menu
    reader.ReadNameOrOrdinal(); // window class
    dialog.caption = reader.ReadString();
    if ((dialog.style & kSetFont) != 0 || (dialog.style & kShellFont) == kShellFont) {
        dialog.pointSize = reader.Read<uint16_t>();
        reader.Read<uint16_t>(); // weight
        reader.Read<uint8_t>();  // italic
        reader.Read<uint8_t>();  // character set
        dialog.typeface = reader.ReadString();
    }
    for (uint16_t index = 0; index < itemCount && !reader.Failed(); ++index) {
        reader.AlignToDword();
        DialogItem item;
        reader.Read<uint32_t>(); // help id
        item.exStyle = reader.Read<uint32_t>();
        item.style = reader.Read<uint32_t>();
        item.x = reader.Read<int16_t>();
        item.y = reader.Read<int16_t>();
        item.cx = reader.Read<int16_t>();
        item.cy = reader.Read<int16_t>();
        item.id = reader.Read<uint32_t>();
        item.windowClass = reader.ReadNameOrOrdinal();
        item.text = reader.ReadNameOrOrdinal();
        reader.Skip(reader.Read<uint16_t>()); // creation data
        dialog.items.push_back(std::move(item));
    }
    if (reader.Failed()) {
        return std::nullopt;
    }
    return dialog;
}
