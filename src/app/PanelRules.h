#pragma once

#include "common/IntRect.h"
#include "ui/framework/DpiRules.h"

#include <cstdint>
#include <optional>
#include <vector>

// The slider panel's decisions that need no window: placement above the tray icon, the
// width for the number of visible sliders, the header tint, and how stored panel
// settings are read.

// Sliders in panel order: brightness, contrast, colour temperature, red, green, blue.
inline constexpr int kPanelSliderCount = 6;
inline constexpr uint32_t kMaximumExpandLevel = 3;

// Whether slider `sliderIndex` (panel order) shows at `expandLevel`.
bool IsSliderVisible(int sliderIndex, uint32_t expandLevel);
// The slider whose right edge ends the slider area at `expandLevel`: 0, 1, 2, then 5.
int LastVisibleSlider(uint32_t expandLevel);

// The panel's window rectangle for a panel of `width` by `height` shown above the anchor
// point (`x`, `y`): its bottom 32 pixels above the anchor, centred on it, kept inside
// `horizontalBounds` (left edge first) and inside `workArea` with 8 pixels to spare (top
// edge first). The distances are those at 96 DPI and grow with `dpi`.
IntRect PlacePanelAbove(int32_t x, int32_t y, int32_t width, int32_t height, const IntRect& horizontalBounds,
                        const IntRect& workArea, uint32_t dpi = kBaseDpi);

// The primary display's rectangle: for each display (its physical monitors' rectangles)
// the union of them; the first union whose left and top are both 0. A display without
// monitors does not count. Empty when none qualifies.
std::optional<IntRect> PrimaryDisplayRect(const std::vector<std::vector<IntRect>>& displays);

// Client geometry of the panel for one expand level.
struct PanelColumnLayout {
    int32_t clientRight = 0; // new right edge of the client area
    int32_t buttonLeft = 0;  // x of every button of the column
};
// From the current client rectangle (origin 0, 0), the right edge of the last visible
// slider and the factory-reset button's rectangle (client coordinates): the button column
// keeps its right margin and sits 14 pixels (at 96 DPI, scaled to `dpi`) right of the last
// slider.
PanelColumnLayout LayoutPanelColumn(const IntRect& client, int32_t lastSliderRight,
                                    const IntRect& resetButton, uint32_t dpi = kBaseDpi);

// A window rectangle in screen coordinates moved left so that its right edge does not
// pass `workAreaRight`.
IntRect KeepLeftOfWorkAreaRight(IntRect window, int32_t workAreaRight);

// The header tint: each channel of the button-face colour (0x00RRGGBB) moved by
// random × 80 / 32767 − 40 and kept in 0..255; `randoms` are three results of rand()
// (0..32767) for red, green and blue. Returns 0x00RRGGBB.
uint32_t HeaderTint(uint32_t buttonFaceRgb, const int (&randoms)[3]);

// Stored panel settings are input. "Expand" above 3 reads as 0.
uint32_t ExpandLevelFromStored(uint32_t stored);
// "SettingsTimeout" above one minute reads as the default.
inline constexpr uint32_t kDefaultSettingsTimeoutMs = 3000;
inline constexpr uint32_t kMaximumSettingsTimeoutMs = 60000;
uint32_t SettingsTimeoutFromStored(uint32_t stored);

// The hourly update check: due when enabled, no update has been found yet, and either
// there was no successful check ("LastCheckForUpdate" 0) or the local time `now` is more
// than one day (864 000 000 000 units of 100 ns) later than it.
bool IsUpdateCheckDue(bool enabled, bool updateAvailable, uint64_t lastCheck, uint64_t now);
