#include "ui/TextConversion.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one code point at `pos` and advances `pos`. A malformed sequence yields
// U+FFFD and consumes its longest valid-looking prefix (at least one byte), the
// "maximal subpart" rule that Windows and the Unicode standard follow.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    size_t extra = 0;
    char32_t codePoint = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        codePoint = lead & 0x0F;
        lowest = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        highest = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        codePoint = lead & 0x07;
        lowest = lead == 0xF0 ? 0x90 : 0x80;
        highest = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return kReplacementCharacter;
    }
    for (size_t i = 0; i < extra; ++i) {
        if (pos >= text.size()) {
            return kReplacementCharacter;
        }
        const auto byte = static_cast<unsigned char>(text[pos]);
        const bool inRange = i == 0 ? (byte >= lowest && byte <= highest) : IsContinuation(byte);
        if (!inRange) {
            return kReplacementCharacter;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
        ++pos;
    }
    return codePoint;
}

template <typename Unit> std::basic_string<Unit> ToUtf16(std::string_view utf8) {
    std::basic_string<Unit> result;
    result.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t codePoint = DecodeUtf8(utf8, pos);
        if (codePoint >= 0x10000) {
            const char32_t offset = codePoint - 0x10000;
            result.push_back(static_cast<Unit>(0xD800 + (offset >> 10)));
            result.push_back(static_cast<Unit>(0xDC00 + (offset & 0x3FF)));
        } else {
            result.push_back(static_cast<Unit>(codePoint));
        }
    }
    return result;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

template <typename Unit> std::string FromUtf16(std::basic_string_view<Unit> utf16) {
    std::string result;
    result.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char32_t unit = static_cast<uint16_t>(utf16[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size()) {
            const char32_t next = static_cast<uint16_t>(utf16[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(result, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        const bool loneSurrogate = unit >= 0xD800 && unit <= 0xDFFF;
        AppendUtf8(result, loneSurrogate ? kReplacementCharacter : unit);
    }
    return result;
}

template <typename Char>
size_t ReplaceEvery(std::basic_string<Char>& text, std::basic_string_view<Char> placeholder,
                    std::basic_string_view<Char> value) {
    if (placeholder.empty()) {
        return 0;
    }
    size_t count = 0;
    size_t pos = text.find(placeholder);
    while (pos != std::basic_string<Char>::npos) {
        text.replace(pos, placeholder.size(), value);
        ++count;
        pos = text.find(placeholder, pos + value.size());
    }
    return count;
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    return ToUtf16<char16_t>(utf8);
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    return FromUtf16(utf16);
}

#if WCHAR_MAX == 0xFFFF
std::wstring Utf8ToWide(std::string_view utf8) {
    return ToUtf16<wchar_t>(utf8);
}

std::string WideToUtf8(std::wstring_view wide) {
    return FromUtf16(wide);
}
#endif

size_t ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
    return ReplaceEvery(text, placeholder, value);
}

size_t ReplaceAll(std::wstring& text, std::wstring_view placeholder, std::wstring_view value) {
    return ReplaceEvery(text, placeholder, value);
}

size_t ReplaceAll(std::u16string& text, std::u16string_view placeholder, std::u16string_view value) {
    return ReplaceEvery(text, placeholder, value);
}
