#pragma once

#include "ui/Localization.h"

#include <cstdint>
#include <optional>
#include <string>

// Reads the test executable's string resources in one exact language, without the
// language choice that LoadText makes, as the reference the lookups are compared with.

// The text of `stringId` stored under exactly `languageId`, or nothing.
std::optional<std::wstring> StoredText(unsigned stringId, uint16_t languageId);

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
