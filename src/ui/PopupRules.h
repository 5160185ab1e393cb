#pragma once

#include "common/IntRect.h"
#include "ui/framework/DpiRules.h"

#include <cstdint>

// The small borderless popups' decisions that need no window: their colour keys, where
// they open and how their slider's position reads.

// Colours here are laid out like the platform's COLORREF: 0x00BBGGRR.

// A key colour next to the button-shadow colour: its green one step up, 255 wrapping to 0.
uint32_t GreenStepColorKey(uint32_t buttonShadow);
// A key colour next to the face colour: its blue one step down, 0 becoming 1.
uint32_t BlueStepColorKey(uint32_t face);

// The top-left corner of a slider popup of `popupWidth` x `popupHeight` opened from the
// control at `anchor`: a horizontal one centred over it, its top one anchor height less
// 10 pixels above the anchor's top; a vertical one 3 pixels inside the anchor's right edge,
// centred on it vertically. The pixel distances are those at 96 DPI, scaled to `dpi`.
IntPoint SliderPopupOrigin(const IntRect& anchor, int32_t popupWidth, int32_t popupHeight, bool horizontal,
                           uint32_t dpi = kBaseDpi);

// The size of a slider popup in dialog units: a vertical one 15 pixels wide and 70 units
// high, a horizontal one as wide as the anchor's client area plus 24 pixels and 15 units
// high. Pixels (at 96 DPI, scaled to `dpi`) become units through the dialog base unit's
// width.
struct DialogUnitSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const DialogUnitSize&) const = default;
};
DialogUnitSize SliderPopupSize(int32_t anchorClientWidth, int32_t baseUnitWidth, bool horizontal,
                               uint32_t dpi = kBaseDpi);

// A popup slider reads naturally: minimum at the left when horizontal, maximum at the top
// when vertical. Slider positions here are logical ones (maximum at the top or left, as the
// panel's sliders count them): the position that shows `value`, and the value a position
// shows.
int32_t LogicalPositionForValue(int32_t value, int32_t minimum, int32_t maximum, bool horizontal);
int32_t ValueForLogicalPosition(int32_t position, int32_t minimum, int32_t maximum, bool horizontal);
