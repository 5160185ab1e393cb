#include "monitor/LaptopBacklightRules.h"

#include <algorithm>
#include <array>

std::optional<size_t> LevelIndexForPercent(uint32_t percent, size_t levelCount) {
    if (levelCount == 0) {
        return std::nullopt;
    }
    // 64-bit so that no percentage times a table of up to 256 levels can overflow.
    const uint64_t index = uint64_t{percent} * levelCount / 100;
    return static_cast<size_t>(std::min<uint64_t>(index, levelCount - 1));
}

LevelRange SupportedLevelRange(std::span<const uint8_t> levels) {
    if (levels.empty()) {
        return {0, 100};
    }
    return {levels.front(), levels.back()};
}

int32_t AttachResultForConnect(int32_t connectResult) {
    static constexpr std::array kNoBrightnessWmi = {
        kWmiNotFound,         kWmiNotSupported,        kWmiInvalidNamespace, kWmiInvalidClass,
        kWmiProviderNotFound, kWmiProviderLoadFailure, kWmiInvalidMethod,
    };
    if (connectResult >= 0 || std::find(kNoBrightnessWmi.begin(), kNoBrightnessWmi.end(), connectResult) !=
                                  kNoBrightnessWmi.end()) {
        return 0;
    }
    return connectResult;
}
