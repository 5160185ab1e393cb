#include "app/TrayRules.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr uint32_t kTopLevel = 8;
constexpr uint32_t kHotkeyShift = 0x01;
constexpr uint32_t kHotkeyControl = 0x02;
constexpr uint32_t kHotkeyAlt = 0x04;
constexpr uint32_t kModAlt = 0x1;
constexpr uint32_t kModControl = 0x2;
constexpr uint32_t kModShift = 0x4;
} // namespace

uint32_t TrayLevelForPercent(uint32_t percent) {
    return std::min(percent, 100u) * kTopLevel / 100;
}

bool IsWithinDoubleClickDistance(IntPoint first, IntPoint second, int32_t maximumDx, int32_t maximumDy) {
    return std::abs(static_cast<int64_t>(second.x) - first.x) < maximumDx &&
           std::abs(static_cast<int64_t>(second.y) - first.y) < maximumDy;
}

std::optional<HotkeyCombination> HotkeyFromStored(uint32_t stored) {
    const uint32_t virtualKey = stored & 0xFF;
    if (stored > 0xFFFF || virtualKey == 0) {
        return std::nullopt;
    }
    const uint32_t flags = (stored >> 8) & 0xFF;
    HotkeyCombination combination;
    combination.virtualKey = virtualKey;
    combination.modifiers = ((flags & kHotkeyAlt) ? kModAlt : 0) |
                            ((flags & kHotkeyControl) ? kModControl : 0) |
                            ((flags & kHotkeyShift) ? kModShift : 0);
    return combination;
}

std::optional<uint32_t> SteppedPercent(uint32_t current, uint32_t step, bool up) {
    if (up) {
        if (current >= 100) {
            return std::nullopt;
        }
        return static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(current) + step, 100));
    }
    if (current < 1) {
        return std::nullopt;
    }
    return current > step ? current - step : 0;
}

uint32_t HotkeyIncrementFromStored(uint32_t stored) {
    constexpr uint32_t kDefaultIncrement = 10;
    return stored >= 1 && stored <= 100 ? stored : kDefaultIncrement;
}
