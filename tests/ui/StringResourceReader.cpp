#include "StringResourceReader.h"

#include "ui/ResourceLookup.h"
#include "ui/StringBlock.h"
#include "ui/StringCipherKey.h"

#include <windows.h>

std::optional<std::wstring> StoredText(unsigned stringId, uint16_t languageId) {
    const auto block = FindExactResource(nullptr, RT_STRING, StringBlockId(stringId), languageId);
    const auto stored = block ? FindStoredUnits(block->data, StringBlockPosition(stringId)) : std::nullopt;
    if (!stored) {
        return std::nullopt;
    }
    const std::u16string text = DecodeStoredText(*stored, stringId, kStringCipherKey);
    return std::wstring(text.begin(), text.end());
}
