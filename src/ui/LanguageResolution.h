#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Windows language ids: the low ten bits are the primary language, the high six the
// sublanguage.
inline constexpr uint16_t kUserDefaultLanguageId = 0x0400; // LANG_NEUTRAL, SUBLANG_DEFAULT
inline constexpr uint16_t kEnglishUnitedStatesLanguageId = 0x0409;

constexpr uint16_t PrimaryLanguageOf(uint16_t languageId) noexcept {
    return languageId & 0x3FF;
}

// Which of the `available` languages of one resource serves `requested`: the exact id,
// else its primary language with the neutral sublanguage. The user default (1024)
// stands for the user's UI language (exact, then its primary language), then English
// (US, then neutral), then the first language that has the resource. Nothing when no
// language fits.
std::optional<uint16_t> ChooseResourceLanguage(std::span<const uint16_t> available, uint16_t requested,
                                               uint16_t userUiLanguage);

// As ChooseResourceLanguage, but a language with no copy of its own (neither exact nor
// primary) is served as the user default, as the platform's loader does: on a Windows
// in a language the program does not ship, its menu and dialogs must still exist.
std::optional<uint16_t> ChooseResourceLanguageOrUserDefault(std::span<const uint16_t> available,
                                                            uint16_t requested, uint16_t userUiLanguage);
