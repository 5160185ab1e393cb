#pragma once

#include "ResourceLanguages.h"
#include "ui/ResourceLookup.h"

#include <windows.h>

#include <cstdint>
#include <span>

// The bytes of a resource stored under exactly this language, or an empty span.
inline std::span<const std::byte> ResourceBytes(const wchar_t* type, unsigned id, uint16_t language) {
    const auto found = FindExactResource(nullptr, type, id, language);
    return found ? found->data : std::span<const std::byte>{};
}
