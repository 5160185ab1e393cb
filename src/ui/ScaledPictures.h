#pragma once

#include "common/GdiResources.h"

#include <windows.h>

#include <cstdint>

// The title and the flags come drawn at 100, 150 and 200 %; these load the one that suits
// a monitor's scale.

struct ScaledPicture {
    UniqueHbitmap bitmap;
    uint32_t percent = 100; // the scale it was drawn for
};

// Bitmap `id100` (its larger drawings at `id150` and `id200`) as a DIB section for `dpi`:
// the smallest drawing that needs no enlarging, else the nearest one that exists. Empty
// only when none exists.
ScaledPicture LoadScaledBitmap(WORD id100, WORD id150, WORD id200, uint32_t dpi);

// The title's drawings.
ScaledPicture LoadTitleBitmap(uint32_t dpi);

// The flag of language table entry `index` at the flag size of `dpi` (16 x 11 at 100 %),
// scaled from the nearest drawing when no drawing has that size. Null when none exists.
UniqueHbitmap LoadFlagBitmap(uint32_t index, uint32_t dpi);
// The flag size at `dpi`.
SIZE FlagSizeForDpi(uint32_t dpi);
