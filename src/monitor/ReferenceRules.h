#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// Which monitor's remembered values stand for one parameter (brightness, contrast or a
// gain) in the sliders, the hotkeys, the tray level and the stored values. A range that
// was never read is all zeros: a level taken from it reads 0 percent, and a step or a
// re-send made from it darkens every monitor.

struct ReferencePosition {
    size_t display = 0;
    // Empty when the display has no physical monitor: its values read as 100 percent.
    std::optional<size_t> monitor;
    bool operator==(const ReferencePosition&) const = default;
};

// `hasRange[d][m]`: whether monitor m of display d has read the parameter's range. The
// first monitor in display order that has; when none has, the first display as it is
// (its first monitor, or none); nothing when there is no display at all.
std::optional<ReferencePosition> ChooseReference(const std::vector<std::vector<bool>>& hasRange);
