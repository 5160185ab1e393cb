#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// The languages under which the program's own dialogs and menu are stored, and those of
// the update component's windows and page.
inline constexpr LANGID kProgramLanguages[] = {1, 4, 7, 8, 9, 10, 12, 13, 16, 17, 18, 19, 22, 25, 29, 1028};
inline constexpr LANGID kUpdateLanguages[] = {1,    7,    9,    10,   12,   16,   19,  29,
                                              1028, 1032, 1037, 1041, 1042, 1049, 2052};
inline constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL);

// The bytes of a resource stored under exactly this language, or an empty span.
inline std::span<const std::byte> ResourceBytes(const wchar_t* type, unsigned id, LANGID language) {
    HRSRC found = FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    return {static_cast<const std::byte*>(data), SizeofResource(nullptr, found)};
}
