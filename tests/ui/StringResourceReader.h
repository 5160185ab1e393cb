#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads the test executable's string resources in one exact language, without the
// language choice that LoadText makes, as the reference the lookups are compared with.

// The languages that hold the string block of `stringId`.
std::vector<uint16_t> StringBlockLanguages(unsigned stringId);

// The text of `stringId` stored under exactly `languageId`, or nothing.
std::optional<std::wstring> StoredText(unsigned stringId, uint16_t languageId);

// Makes `languageId` current for the life of the object.
class ScopedLanguage {
public:
    explicit ScopedLanguage(uint16_t languageId);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    uint16_t previous_;
};
