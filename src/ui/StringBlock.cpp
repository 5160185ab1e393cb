#include "ui/StringBlock.h"

#include <vector>

namespace {

// Resource data is little-endian and need not be aligned.
char16_t ReadUnit(std::span<const std::byte> bytes, size_t unitIndex) {
    const auto low = std::to_integer<unsigned>(bytes[unitIndex * 2]);
    const auto high = std::to_integer<unsigned>(bytes[unitIndex * 2 + 1]);
    return static_cast<char16_t>(low | high << 8);
}

} // namespace

std::optional<std::u16string> FindStoredUnits(std::span<const std::byte> block, uint32_t position) {
    if (position >= kStringsPerBlock) {
        return std::nullopt;
    }
    const size_t unitCount = block.size() / 2;
    size_t index = 0;
    for (uint32_t skipped = 0; skipped < position; ++skipped) {
        if (index >= unitCount) {
            return std::nullopt;
        }
        index += 1 + ReadUnit(block, index);
    }
    if (index >= unitCount) {
        return std::nullopt;
    }
    const size_t length = ReadUnit(block, index);
    if (length == 0 || length > unitCount - index - 1) {
        return std::nullopt;
    }
    std::u16string units(length, u'\0');
    for (size_t i = 0; i < length; ++i) {
        units[i] = ReadUnit(block, index + 1 + i);
    }
    return units;
}

std::u16string DecodeStoredText(std::u16string_view stored, uint32_t stringId, const XxteaKey& key) {
    std::u16string text;
    if (stringId >= kFirstPlainStringId) {
        text.assign(stored);
    } else {
        // Little-endian 32-bit words, the last one zero-filled behind an odd unit count.
        const size_t wordCount = (stored.size() * 2 + 3) / 4;
        std::vector<uint32_t> words(wordCount, 0);
        for (size_t i = 0; i < stored.size(); ++i) {
            words[i / 2] |= static_cast<uint32_t>(stored[i]) << (i % 2 * 16);
        }
        XxteaDecipher(words, key);
        text.resize(stored.size());
        for (size_t i = 0; i < stored.size(); ++i) {
            text[i] = static_cast<char16_t>(words[i / 2] >> (i % 2 * 16));
        }
    }
    if (const size_t end = text.find(u'\0'); end != std::u16string::npos) {
        text.resize(end);
    }
    return text;
}
