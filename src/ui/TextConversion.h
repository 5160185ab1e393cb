#pragma once

#include <cstddef>
#include <cwchar>
#include <string>
#include <string_view>

// UTF-8 to UTF-16 and back. Ill-formed input (a broken UTF-8 sequence, a lone
// surrogate) becomes U+FFFD, as the platform's own conversion does, so text from the
// network is never rejected or cut short.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

#if WCHAR_MAX == 0xFFFF
// Where wide characters are UTF-16 units (Windows).
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
#endif

// Replaces every occurrence of `placeholder` in `text` by `value`. Each search resumes
// behind the inserted text, so a value that contains the placeholder is not expanded
// again. An empty placeholder matches nothing. Returns the number of replacements.
size_t ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value);
size_t ReplaceAll(std::wstring& text, std::wstring_view placeholder, std::wstring_view value);
size_t ReplaceAll(std::u16string& text, std::u16string_view placeholder, std::u16string_view value);
