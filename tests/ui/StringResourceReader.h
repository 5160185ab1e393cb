#pragma once

#include "ui/Localization.h"
#include "ui/ResourceLookup.h"
#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"

#include <cstdint>
#include <optional>
#include <string>

// The text of `stringId` stored under exactly `languageId`: the reference LoadText is compared with.
inline std::optional<std::wstring> StoredText(unsigned stringId, uint16_t languageId) {
    const auto block = FindExactResource(nullptr, RT_STRING, StringBlockId(stringId), languageId);
    const auto stored = block ? FindStoredUnits(block->data, StringBlockPosition(stringId)) : std::nullopt;
    if (!stored) {
        return std::nullopt;
    }
    const std::u16string text = DecodeStoredText(*stored, stringId, kStringCipherKey);
    return std::wstring(text.begin(), text.end());
}

// Makes `languageId` current for the life of the object.
class ScopedLanguage {
public:
    explicit ScopedLanguage(uint16_t languageId) : previous_(currentLangId) { currentLangId = languageId; }
    ~ScopedLanguage() { currentLangId = previous_; }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    uint16_t previous_;
};
