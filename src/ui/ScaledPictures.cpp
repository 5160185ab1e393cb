#include "ui/ScaledPictures.h"

#include "ui/Localization.h"
#include "ui/framework/DpiRules.h"

#include "resource.h"

#include <array>

namespace {

constexpr int32_t kFlagWidth = 16;
constexpr int32_t kFlagHeight = 11;

} // namespace

ScaledPicture LoadScaledBitmap(WORD id100, WORD id150, WORD id200, uint32_t dpi) {
    const std::array<WORD, 3> ids{id100, id150, id200};
    ScaledPicture picture;
    for (const int index : PictureFallbackOrder(kPicturePercents, dpi)) {
        picture.bitmap.reset(static_cast<HBITMAP>(
            ::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(ids[static_cast<size_t>(index)]), IMAGE_BITMAP, 0,
                         0, LR_CREATEDIBSECTION)));
        if (picture.bitmap) {
            picture.percent = kPicturePercents[index];
            break;
        }
    }
    return picture;
}

ScaledPicture LoadTitleBitmap(uint32_t dpi) {
    return LoadScaledBitmap(IDB_TITLE, IDB_TITLE_150, IDB_TITLE_200, dpi);
}

SIZE FlagSizeForDpi(uint32_t dpi) {
    return SIZE{ScaleForDpi(kFlagWidth, dpi), ScaleForDpi(kFlagHeight, dpi)};
}

UniqueHbitmap LoadFlagBitmap(uint32_t index, uint32_t dpi) {
    const auto id = [index](WORD base) { return static_cast<WORD>(base + index); };
    ScaledPicture drawn =
        LoadScaledBitmap(id(IDB_FLAG_BASE), id(IDB_FLAG_150_BASE), id(IDB_FLAG_200_BASE), dpi);
    BITMAP size{};
    if (!drawn.bitmap || !::GetObjectW(drawn.bitmap.get(), sizeof(size), &size)) {
        return {};
    }
    const SIZE wanted = FlagSizeForDpi(dpi);
    if (size.bmWidth == wanted.cx && size.bmHeight == wanted.cy) {
        return std::move(drawn.bitmap);
    }
    // Between the drawn scales: shrink the nearest larger drawing with averaging.
    const HDC screen = ::GetDC(nullptr);
    if (!screen) {
        return std::move(drawn.bitmap);
    }
    UniqueHbitmap scaled(::CreateCompatibleBitmap(screen, wanted.cx, wanted.cy));
    {
        const UniqueHdc source(::CreateCompatibleDC(screen));
        const UniqueHdc target(::CreateCompatibleDC(screen));
        if (scaled && source && target) {
            const SelectionScope from(source.get(), drawn.bitmap.get());
            const SelectionScope to(target.get(), scaled.get());
            ::SetStretchBltMode(target.get(), HALFTONE);
            ::SetBrushOrgEx(target.get(), 0, 0, nullptr);
            ::StretchBlt(target.get(), 0, 0, wanted.cx, wanted.cy, source.get(), 0, 0, size.bmWidth,
                         size.bmHeight, SRCCOPY);
        }
    }
    ::ReleaseDC(nullptr, screen);
    return scaled ? std::move(scaled) : std::move(drawn.bitmap);
}
