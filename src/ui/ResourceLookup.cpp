#include "ui/ResourceLookup.h"

#include "ui/LanguageResolution.h"

#include <vector>

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) noexcept {
    try {
        reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

} // namespace

std::optional<FoundResource> FindResourceForLanguage(HMODULE module, const wchar_t* type, unsigned id,
                                                     uint16_t languageId) {
    if (id == 0 || id > 0xFFFF) {
        return std::nullopt;
    }
    std::vector<uint16_t> available;
    ::EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), CollectLanguage,
                             reinterpret_cast<LONG_PTR>(&available));
    const auto chosen = ChooseResourceLanguage(available, languageId, ::GetUserDefaultUILanguage());
    if (!chosen) {
        return std::nullopt;
    }
    HRSRC info = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), *chosen);
    if (!info) {
        return std::nullopt;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) {
        return std::nullopt;
    }
    return FoundResource{{static_cast<const std::byte*>(bytes), ::SizeofResource(module, info)}, *chosen};
}
