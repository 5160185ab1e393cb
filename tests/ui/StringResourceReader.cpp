#include "StringResourceReader.h"

#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) noexcept {
    reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
    return TRUE;
}

std::vector<uint16_t> StringBlockLanguages(unsigned stringId) {
    std::vector<uint16_t> languages;
    ::EnumResourceLanguagesW(nullptr, RT_STRING, MAKEINTRESOURCEW(StringBlockId(stringId)), CollectLanguage,
                             reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

} // namespace

std::optional<std::wstring> StoredText(unsigned stringId, uint16_t languageId) {
    const auto languages = StringBlockLanguages(stringId);
    // Only an exact entry: the loader would otherwise substitute another language.
    if (std::find(languages.begin(), languages.end(), languageId) == languages.end()) {
        return std::nullopt;
    }
    HRSRC info = ::FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(StringBlockId(stringId)), languageId);
    const void* data = info ? ::LockResource(::LoadResource(nullptr, info)) : nullptr;
    if (!data) {
        return std::nullopt;
    }
    const std::span<const std::byte> block(static_cast<const std::byte*>(data),
                                           ::SizeofResource(nullptr, info));
    const auto stored = FindStoredUnits(block, StringBlockPosition(stringId));
    if (!stored) {
        return std::nullopt;
    }
    const std::u16string text = DecodeStoredText(*stored, stringId, kStringCipherKey);
    return std::wstring(text.begin(), text.end());
}
