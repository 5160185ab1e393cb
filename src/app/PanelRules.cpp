#include "app/PanelRules.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// The lowest expand level at which each slider shows; the three colour channels come
// together.
constexpr std::array<uint32_t, kPanelSliderCount> kSliderExpandLevel = {0, 1, 2, 3, 3, 3};

constexpr int32_t kPanelGapAboveAnchor = 32;
constexpr int32_t kWorkAreaSpare = 8;
constexpr int32_t kButtonGapRightOfSliders = 14;

constexpr uint64_t kOneDayIn100ns = 864000000000ULL;

uint32_t TintChannel(uint32_t channel, int random) {
    const int tinted = static_cast<int>(channel) + random * 80 / 32767 - 40;
    return static_cast<uint32_t>(std::clamp(tinted, 0, 255));
}

} // namespace

bool IsSliderVisible(int sliderIndex, uint32_t expandLevel) {
    if (sliderIndex < 0 || sliderIndex >= kPanelSliderCount) {
        return false;
    }
    return expandLevel >= kSliderExpandLevel[static_cast<size_t>(sliderIndex)];
}

int LastVisibleSlider(uint32_t expandLevel) {
    // Levels above the maximum show every slider, as the maximum does; stored levels are
    // already limited by ExpandLevelFromStored, so this only keeps the answer in range.
    switch (std::min(expandLevel, kMaximumExpandLevel)) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return 2;
    default:
        return kPanelSliderCount - 1;
    }
}

IntRect PlacePanelAbove(int32_t x, int32_t y, int32_t width, int32_t height, const IntRect& horizontalBounds,
                        const IntRect& workArea, uint32_t dpi) {
    const int32_t spare = ScaleForDpi(kWorkAreaSpare, dpi);
    IntRect panel;
    panel.bottom = y - ScaleForDpi(kPanelGapAboveAnchor, dpi);
    panel.top = panel.bottom - height;
    panel.left = x - width / 2;
    panel.right = panel.left + width;

    // Left edge first: a panel wider than the bounds keeps its left part visible.
    if (panel.left < horizontalBounds.left) {
        panel.left = horizontalBounds.left;
        panel.right = panel.left + width;
    }
    if (panel.right > horizontalBounds.right) {
        panel.right = horizontalBounds.right;
        panel.left = panel.right - width;
    }

    // Top edge first, so the header stays reachable when the work area is too short.
    if (panel.top < workArea.top) {
        panel.top = workArea.top + spare;
        panel.bottom = panel.top + height;
    }
    if (panel.bottom > workArea.bottom) {
        panel.bottom = workArea.bottom - spare;
        panel.top = panel.bottom - height;
    }
    return panel;
}

std::optional<IntRect> PrimaryDisplayRect(const std::vector<std::vector<IntRect>>& displays) {
    for (const std::vector<IntRect>& monitors : displays) {
        if (monitors.empty()) {
            continue;
        }
        IntRect united = monitors.front();
        for (const IntRect& monitor : monitors) {
            united.left = std::min(united.left, monitor.left);
            united.top = std::min(united.top, monitor.top);
            united.right = std::max(united.right, monitor.right);
            united.bottom = std::max(united.bottom, monitor.bottom);
        }
        if (united.left == 0 && united.top == 0) {
            return united;
        }
    }
    return std::nullopt;
}

PanelColumnLayout LayoutPanelColumn(const IntRect& client, int32_t lastSliderRight,
                                    const IntRect& resetButton, uint32_t dpi) {
    const int32_t rightMargin = client.right - resetButton.right;
    const int32_t buttonWidth = resetButton.Width();
    PanelColumnLayout layout;
    layout.clientRight =
        lastSliderRight + rightMargin + buttonWidth + ScaleForDpi(kButtonGapRightOfSliders, dpi);
    layout.buttonLeft = layout.clientRight - rightMargin - buttonWidth;
    return layout;
}

IntRect KeepLeftOfWorkAreaRight(IntRect window, int32_t workAreaRight) {
    if (window.right > workAreaRight) {
        const int32_t overshoot = window.right - workAreaRight;
        window.left -= overshoot;
        window.right -= overshoot;
    }
    return window;
}

uint32_t HeaderTint(uint32_t buttonFaceRgb, const int (&randoms)[3]) {
    const uint32_t red = TintChannel((buttonFaceRgb >> 16) & 0xFF, randoms[0]);
    const uint32_t green = TintChannel((buttonFaceRgb >> 8) & 0xFF, randoms[1]);
    const uint32_t blue = TintChannel(buttonFaceRgb & 0xFF, randoms[2]);
    return (red << 16) | (green << 8) | blue;
}

uint32_t ExpandLevelFromStored(uint32_t stored) {
    return stored > kMaximumExpandLevel ? 0 : stored;
}

uint32_t SettingsTimeoutFromStored(uint32_t stored) {
    return stored > kMaximumSettingsTimeoutMs ? kDefaultSettingsTimeoutMs : stored;
}

bool IsUpdateCheckDue(bool enabled, bool updateAvailable, uint64_t lastCheck, uint64_t now) {
    if (updateAvailable || !enabled) {
        return false;
    }
    if (lastCheck == 0) {
        return true;
    }
    // A corrupt stored time near the top of the range must not wrap around and make the
    // check due every hour.
    if (lastCheck > std::numeric_limits<uint64_t>::max() - kOneDayIn100ns) {
        return false;
    }
    return now > lastCheck + kOneDayIn100ns;
}
