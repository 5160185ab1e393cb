#include "ui/framework/DpiRules.h"

#include <algorithm>

uint32_t ClampDpi(uint32_t dpi) {
    return std::clamp(dpi, kBaseDpi, kMaximumDpi);
}

int32_t ScaleForDpi(int32_t pixels, uint32_t dpi) {
    const int64_t product = static_cast<int64_t>(pixels) * ClampDpi(dpi);
    const int64_t half = kBaseDpi / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / kBaseDpi : (product - half) / kBaseDpi);
}

int PictureForDpi(std::span<const uint32_t> percents, uint32_t dpi) {
    if (percents.empty()) {
        return -1;
    }
    const uint32_t wanted = ClampDpi(dpi) * 100;
    for (size_t i = 0; i < percents.size(); ++i) {
        if (percents[i] * kBaseDpi >= wanted) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(percents.size() - 1);
}

std::vector<int> PictureFallbackOrder(std::span<const uint32_t> percents, uint32_t dpi) {
    std::vector<int> order;
    const int chosen = PictureForDpi(percents, dpi);
    if (chosen < 0) {
        return order;
    }
    for (int i = chosen; i < static_cast<int>(percents.size()); ++i) {
        order.push_back(i);
    }
    for (int i = chosen - 1; i >= 0; --i) {
        order.push_back(i);
    }
    return order;
}

int32_t PictureExtentForDpi(int32_t pictureExtent, uint32_t picturePercent, uint32_t dpi) {
    if (picturePercent == 0) {
        return pictureExtent;
    }
    const int64_t scaled = static_cast<int64_t>(pictureExtent) * ClampDpi(dpi) * 100;
    const int64_t divisor = static_cast<int64_t>(picturePercent) * kBaseDpi;
    return static_cast<int32_t>((scaled + divisor / 2) / divisor);
}
