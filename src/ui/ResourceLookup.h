#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// One resource found in one language.
struct FoundResource {
    std::span<const std::byte> data;
    uint16_t languageId = 0;
};

// Finds resource `id` of `type` for `languageId`, choosing the language explicitly among
// those the module holds (ChooseResourceLanguage) instead of relying on the loader's own
// fallback, which differs between Windows versions and Wine.
std::optional<FoundResource> FindResourceForLanguage(HMODULE module, const wchar_t* type, unsigned id,
                                                     uint16_t languageId);
