#include "ui/Localization.h"

#include "ui/ResourceLookup.h"
#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"

#include <versionhelpers.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

const std::array<LanguageEntry, kLanguageCount> LanguageTable = {{
    {0, nullptr},
    {0x0401, L"العربية"},
    {0x0804, L"简体中文"},
    {0x0404, L"中國傳統"},
    {0x0413, L"Nederlands"},
    {0x0409, L"English"},
    {0x040C, L"Français"},
    {0x0407, L"Deutsch"},
    {0x0408, L"Ελληνικά"},
    {0x040D, L"עברית"},
    {0x0410, L"Italiano"},
    {0x0411, L"日本語"},
    {0x0412, L"한국의"},
    {0x0416, L"Português"},
    {0x0419, L"Русский"},
    {0x040A, L"Español"},
    {0x041D, L"Svenska"},
}};

uint32_t languageIndex = 0;
std::atomic<uint16_t> currentLangId{0x0400};
bool isVistaOrLater = ::IsWindowsVistaOrGreater();
CriticalSection resourceLock;

namespace {

constexpr uint16_t kUserDefaultLanguage = 0x0400;

HINSTANCE resourceModule = nullptr;

// Entries are never changed or removed, so pointers to their texts stay valid.
std::map<std::pair<unsigned, uint16_t>, std::wstring> textCache;

const wchar_t kEmptyText[] = L"";

std::optional<std::u16string> FindStoredString(unsigned id, uint16_t languageId) {
    const auto block = FindResourceForLanguage(ResourceModule(), RT_STRING, StringBlockId(id), languageId);
    if (!block) {
        return std::nullopt;
    }
    return FindStoredUnits(block->data, StringBlockPosition(id));
}

} // namespace

void SetResourceModule(HINSTANCE module) noexcept {
    resourceModule = module;
}

HINSTANCE ResourceModule() noexcept {
    return resourceModule ? resourceModule : ::GetModuleHandleW(nullptr);
}

void SetLanguage(uint32_t index) {
    if (index == 0) {
        currentLangId = ::GetUserDefaultUILanguage();
    } else if (index < kLanguageCount) {
        currentLangId = LanguageTable[index].languageId;
    } else {
        currentLangId = kUserDefaultLanguage;
    }
}

const wchar_t* LanguageName(uint32_t index) {
    if (index == 0) {
        return LoadText(kUserDefaultLanguageNameStringId);
    }
    if (index < kLanguageCount) {
        return LanguageTable[index].name;
    }
    return L"User Default";
}

const wchar_t* LoadText(unsigned id) {
    // String ids are 16-bit; a larger value (a negative control id) names no string.
    if (id > 0xFFFF) {
        return kEmptyText;
    }
    std::lock_guard guard(resourceLock);
    const uint16_t language = currentLangId;
    if (const auto cached = textCache.find({id, language}); cached != textCache.end()) {
        return cached->second.c_str();
    }
    // A string missing in the chosen language, whether its whole block is missing or
    // only its entry, comes from the user default instead.
    uint16_t languageUsed = language;
    auto stored = FindStoredString(id, language);
    if (!stored && language != kUserDefaultLanguage) {
        languageUsed = kUserDefaultLanguage;
        stored = FindStoredString(id, kUserDefaultLanguage);
    }
    if (!stored) {
        return kEmptyText;
    }
    const std::u16string text = DecodeStoredText(*stored, id, kStringCipherKey);
    const auto inserted = textCache.try_emplace({id, languageUsed}, text.begin(), text.end());
    return inserted.first->second.c_str();
}
