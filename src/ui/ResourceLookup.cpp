#include "ui/ResourceLookup.h"

#include "ui/LanguageResolution.h"

#include <algorithm>

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) noexcept {
    try {
        reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// The resource under `languageId`, which the caller knows the module holds.
std::optional<FoundResource> LoadListedResource(HMODULE module, const wchar_t* type, unsigned id,
                                                uint16_t languageId) {
    HRSRC info = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), languageId);
    if (!info) {
        return std::nullopt;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) {
        return std::nullopt;
    }
    return FoundResource{{static_cast<const std::byte*>(bytes), ::SizeofResource(module, info)}, languageId};
}

} // namespace

std::vector<uint16_t> ResourceLanguages(HMODULE module, const wchar_t* type, unsigned id) {
    std::vector<uint16_t> languages;
    if (id != 0 && id <= 0xFFFF) {
        ::EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), CollectLanguage,
                                 reinterpret_cast<LONG_PTR>(&languages));
    }
    return languages;
}

std::optional<FoundResource> FindExactResource(HMODULE module, const wchar_t* type, unsigned id,
                                               uint16_t languageId) {
    const auto languages = ResourceLanguages(module, type, id);
    if (std::find(languages.begin(), languages.end(), languageId) == languages.end()) {
        return std::nullopt;
    }
    return LoadListedResource(module, type, id, languageId);
}

std::optional<FoundResource> FindResourceForLanguage(HMODULE module, const wchar_t* type, unsigned id,
                                                     uint16_t languageId, MissingLanguage missing) {
    const auto available = ResourceLanguages(module, type, id);
    const uint16_t userUiLanguage = ::GetUserDefaultUILanguage();
    const auto chosen = missing == MissingLanguage::UserDefault
                            ? ChooseResourceLanguageOrUserDefault(available, languageId, userUiLanguage)
                            : ChooseResourceLanguage(available, languageId, userUiLanguage);
    if (!chosen) {
        return std::nullopt;
    }
    return LoadListedResource(module, type, id, *chosen);
}
