#pragma once

#include "common/IntRect.h"

#include <array>
#include <cstdint>
#include <optional>

// The tray icon's and the hotkeys' decisions that need no window.

// The tray icon level (0..8) for a brightness percentage: percent × 8 / 100, a percentage
// above 100 counting as 100.
uint32_t TrayLevelForPercent(uint32_t percent);

// Whether the second click of a double click lies close enough to the first: less than
// `maximumDx` apart horizontally and less than `maximumDy` vertically.
bool IsWithinDoubleClickDistance(IntPoint first, IntPoint second, int32_t maximumDx, int32_t maximumDy);

// The global hotkeys, by the id they are registered with.
enum class HotkeyId : int {
    MonitorOff = 2,
    BrightnessUp = 3,
    BrightnessDown = 4,
    ContrastUp = 5,
    ContrastDown = 6,
};
inline constexpr int kFirstHotkeyId = 2;
inline constexpr int kLastHotkeyId = 6;

// A combination as the system registers it: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
struct HotkeyCombination {
    uint32_t modifiers = 0;
    uint32_t virtualKey = 0;
    bool operator==(const HotkeyCombination&) const = default;
};

// A stored hotkey value (the hotkey control's: virtual key in bits 0..7, HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 and HOTKEYF_EXT 8 in bits 8..15) as a combination.
// None means off: 0, and stored values that are not a hotkey at all (bits above 15 set, or
// no virtual key), so that they are never registered as something the user did not choose.
// HOTKEYF_EXT is ignored.
std::optional<HotkeyCombination> HotkeyFromStored(uint32_t stored);

// The percentage a brightness or contrast step leads to from `current`: up adds `step`
// up to 100 and does nothing at 100 or more; down subtracts it down to 0 and does nothing
// below 1. None when nothing is to be done.
std::optional<uint32_t> SteppedPercent(uint32_t current, uint32_t step, bool up);

// The hotkey step as stored: outside 1..100 it would make the hotkeys do nothing or jump
// to an end, and reads as the default 10.
uint32_t HotkeyIncrementFromStored(uint32_t stored);

// The user's choice in the hotkey dialog: the five hotkeys in id order (2..6) and the step.
struct HotkeyChoice {
    std::array<uint32_t, 5> hotkeys{};
    uint32_t increment = 10;
    bool operator==(const HotkeyChoice&) const = default;
};

// Registers `hotkeys` in id order with `registerHotkey(id, stored)` and, after each success,
// stores that one with `store(id, stored)`. Stops at the first failure and returns its id:
// the hotkeys after it keep what they had. None when all five are registered.
template <typename Register, typename Store>
std::optional<int> RegisterHotkeysInOrder(const std::array<uint32_t, 5>& hotkeys, Register registerHotkey,
                                          Store store) {
    for (int id = kFirstHotkeyId; id <= kLastHotkeyId; ++id) {
        const uint32_t stored = hotkeys[static_cast<size_t>(id - kFirstHotkeyId)];
        if (!registerHotkey(id, stored)) {
            return id;
        }
        store(id, stored);
    }
    return std::nullopt;
}
