#include "ui/PopupRules.h"

namespace {

constexpr int32_t kVerticalWidthPixels = 15;
constexpr int32_t kVerticalHeightUnits = 70;
constexpr int32_t kHorizontalExtraPixels = 24;
constexpr int32_t kHorizontalHeightUnits = 15;

int32_t PixelsToDialogUnits(int32_t pixels, int32_t baseUnitWidth) {
    return baseUnitWidth > 0 ? pixels * 4 / baseUnitWidth : pixels;
}

} // namespace

uint32_t GreenStepColorKey(uint32_t buttonShadow) {
    const uint32_t green = ((buttonShadow >> 8) + 1) & 0xFF;
    return (buttonShadow & 0x00FF00FF) | green << 8;
}

uint32_t BlueStepColorKey(uint32_t face) {
    const uint32_t blue = (face >> 16) & 0xFF;
    return (face & 0x0000FFFF) | (blue == 0 ? 1 : blue - 1) << 16;
}

IntPoint SliderPopupOrigin(const IntRect& anchor, int32_t popupWidth, int32_t popupHeight, bool horizontal,
                           uint32_t dpi) {
    if (horizontal) {
        return {(anchor.left + anchor.right) / 2 - popupWidth / 2,
                anchor.top - anchor.Height() + ScaleForDpi(10, dpi)};
    }
    return {anchor.right - ScaleForDpi(3, dpi), (anchor.top + anchor.bottom) / 2 - popupHeight / 2};
}

DialogUnitSize SliderPopupSize(int32_t anchorClientWidth, int32_t baseUnitWidth, bool horizontal,
                               uint32_t dpi) {
    if (horizontal) {
        return {
            PixelsToDialogUnits(anchorClientWidth + ScaleForDpi(kHorizontalExtraPixels, dpi), baseUnitWidth),
            kHorizontalHeightUnits};
    }
    return {PixelsToDialogUnits(ScaleForDpi(kVerticalWidthPixels, dpi), baseUnitWidth), kVerticalHeightUnits};
}

int32_t LogicalPositionForValue(int32_t value, int32_t minimum, int32_t maximum, bool horizontal) {
    return horizontal ? minimum + maximum - value : value;
}

int32_t ValueForLogicalPosition(int32_t position, int32_t minimum, int32_t maximum, bool horizontal) {
    // Mirroring is its own inverse.
    return LogicalPositionForValue(position, minimum, maximum, horizontal);
}
