#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// One resource found in one language.
struct FoundResource {
    std::span<const std::byte> data;
    uint16_t languageId = 0;
};

// What stands in for a language that has no copy of a resource.
enum class MissingLanguage {
    NotFound,    // nothing: the caller decides (text lookup falls back by itself)
    UserDefault, // the user default's choice (menus and dialogs)
};

// Finds resource `id` of `type` for `languageId`, choosing the language explicitly among
// those the module holds (ChooseResourceLanguage) instead of relying on the loader's own
// fallback, which differs between Windows versions and Wine.
std::optional<FoundResource> FindResourceForLanguage(HMODULE module, const wchar_t* type, unsigned id,
                                                     uint16_t languageId,
                                                     MissingLanguage missing = MissingLanguage::NotFound);

// The languages under which `module` holds resource `id` of `type`.
std::vector<uint16_t> ResourceLanguages(HMODULE module, const wchar_t* type, unsigned id);

// Resource `id` of `type` stored under exactly `languageId`, or nothing: FindResourceExW
// alone quietly hands out another language's copy when this one is missing.
std::optional<FoundResource> FindExactResource(HMODULE module, const wchar_t* type, unsigned id,
                                               uint16_t languageId);
