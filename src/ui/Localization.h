#pragma once

#include "common/CriticalSection.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>

// One choice of the language list. The index into LanguageTable is what the settings
// store, so the order is part of the stored format.
struct LanguageEntry {
    uint16_t languageId; // 0 for the first entry: the user's UI language, asked when chosen
    const wchar_t* name; // null for the first entry: its name is localized (LanguageName)
};

inline constexpr uint32_t kLanguageCount = 17;
inline constexpr uint16_t kFirstFlagBitmapId = 500; // flag of entry i: kFirstFlagBitmapId + i
inline constexpr unsigned kUserDefaultLanguageNameStringId = 10245;

extern const std::array<LanguageEntry, kLanguageCount> LanguageTable;

// The chosen index into LanguageTable (setting "Language"); main thread only.
extern uint32_t languageIndex;
// The language id in effect; changed only by SetLanguage.
extern std::atomic<uint16_t> currentLangId;
// Windows Vista or later: menu items and buttons take bitmaps and icons directly.
extern bool isVistaOrLater;
// Guards the text and menu-image caches and the resource loads that fill them.
extern CriticalSection resourceLock;

// The module whose resources are used (the program's own file unless set otherwise).
void SetResourceModule(HINSTANCE module) noexcept;
HINSTANCE ResourceModule() noexcept;

// Makes entry `index` of LanguageTable current: entry 0 follows the user's UI language,
// an index past the table gives the user default (1024). Touches no window or setting.
void SetLanguage(uint32_t index);

// The name shown for entry `index` in the language list.
const wchar_t* LanguageName(uint32_t index);

// The text of string `id` in the current language, falling back to the user default.
// Never null: a missing string gives a shared empty text. The pointer stays valid for
// the rest of the run. Callable from any thread.
const wchar_t* LoadText(unsigned id);

// Reads the setting "Language" (0 when missing) into languageIndex and makes it current.
void LoadLanguageSetting();
