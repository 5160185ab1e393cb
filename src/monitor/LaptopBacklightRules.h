#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Decisions of the laptop backlight that need no device: which supported level a
// percentage selects, the range a level table spans, and what attaching reports.

// WMI result codes that mean "this machine has no brightness WMI": the namespace, the
// class, its provider or its method is missing, or the platform does not support it.
inline constexpr int32_t kWmiNotFound = static_cast<int32_t>(0x80041002);
inline constexpr int32_t kWmiNotSupported = static_cast<int32_t>(0x8004100C);
inline constexpr int32_t kWmiInvalidNamespace = static_cast<int32_t>(0x8004100E);
inline constexpr int32_t kWmiInvalidClass = static_cast<int32_t>(0x80041010);
inline constexpr int32_t kWmiProviderNotFound = static_cast<int32_t>(0x80041011);
inline constexpr int32_t kWmiProviderLoadFailure = static_cast<int32_t>(0x80041013);
inline constexpr int32_t kWmiInvalidMethod = static_cast<int32_t>(0x8004102E);

// What GetLevel answers when it cannot read the panel.
inline constexpr uint32_t kUnreadableLevel = 100;

// The index of the level `percent` selects in a table of `levelCount` levels:
// percent × count / 100, truncated, at most the last index. None for an empty table.
std::optional<size_t> LevelIndexForPercent(uint32_t percent, size_t levelCount);

struct LevelRange {
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    bool operator==(const LevelRange&) const = default;
};

// The first and the last supported level. An empty table (a driver that reported no
// levels) spans 0..100, so the unreadable level reads as a full backlight.
LevelRange SupportedLevelRange(std::span<const uint8_t> levels);

// What attaching a thread's backlight reports for the result of connecting it: 0 when
// the connection worked or the machine simply has no brightness WMI (a desktop PC, a
// Windows without the monitor classes), which is "no laptop panel" and not a failure;
// any other failure as it is.
int32_t AttachResultForConnect(int32_t connectResult);
