// The panel's header, title and slider icons.
#include "app/PanelPainting.h"

#include "app/PanelDialog.h"
#include "app/PanelRules.h"
#include "common/GdiResources.h"
#include "ui/Localization.h"
#include "ui/ScaledPictures.h"
#include "ui/SmallIcons.h"
#include "ui/framework/Dpi.h"
#include "ui/framework/DpiRules.h"

#include "resource.h"

#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kApplicationIconSize = 24;
constexpr int kTitleTop = 8;
constexpr int kIconClearanceFromRight = 32;

bool headerTintChosen = false;
uint32_t headerTint = 0;

Gdiplus::Color OpaqueRgb(uint32_t rgb) {
    return Gdiplus::Color(255, static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8),
                          static_cast<BYTE>(rgb));
}

// BeginPaint and EndPaint on every path.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), context_(::BeginPaint(window, &paint_)) {}
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return context_; }
    bool erase() const { return paint_.fErase != FALSE; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC context_;
};

// Draws an icon through GDI on the device context the graphics object draws to.
void DrawIconOn(Gdiplus::Graphics& graphics, HICON icon, int x, int y) {
    if (!icon) {
        return;
    }
    const HDC context = graphics.GetHDC();
    ::DrawIconEx(context, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
    graphics.ReleaseHDC(context);
}

RECT ClientRectOf(HWND child, HWND parent) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

void ChooseHeaderTint() {
    if (headerTintChosen) {
        return;
    }
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t faceRgb = (static_cast<uint32_t>(GetRValue(face)) << 16) |
                             (static_cast<uint32_t>(GetGValue(face)) << 8) | GetBValue(face);
    const int randoms[3] = {std::rand(), std::rand(), std::rand()};
    headerTint = HeaderTint(faceRgb, randoms);
    headerTintChosen = true;
}

uint32_t CurrentHeaderTint() {
    ChooseHeaderTint();
    return headerTint;
}

void PanelDialog::ForgetHeaderPictures() {
    for (HeaderPicture& picture : headerPictures) {
        picture.bitmap.reset();
    }
}

void PanelDialog::LoadTitleImage() {
    titleImage.reset();
    ForgetHeaderPictures(); // they hold the title and the slider icons of the last scale
    ScaledPicture title = LoadTitleBitmap(WindowDpi(window));
    const UniqueHbitmap bitmap = std::move(title.bitmap);
    titlePercent = title.percent;
    DIBSECTION section{};
    if (!bitmap || ::GetObjectW(bitmap.get(), sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32) {
        return; // only a 32-bit image carries the alpha the title needs; nothing else is drawn
    }
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    const bool bottomUp = section.dsBmih.biHeight > 0;
    auto image = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::BitmapData target{};
    Gdiplus::Rect whole(0, 0, width, height);
    if (image->GetLastStatus() != Gdiplus::Ok ||
        image->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &target) != Gdiplus::Ok) {
        return;
    }
    const auto* source = static_cast<const BYTE*>(section.dsBm.bmBits);
    for (int row = 0; row < height; ++row) {
        const int sourceRow = bottomUp ? height - 1 - row : row;
        // Each BGRA pixel in memory is the ARGB value GDI+ expects.
        std::memcpy(static_cast<BYTE*>(target.Scan0) + static_cast<ptrdiff_t>(row) * target.Stride,
                    source + static_cast<ptrdiff_t>(sourceRow) * section.dsBm.bmWidthBytes,
                    static_cast<size_t>(width) * 4);
    }
    image->UnlockBits(&target);
    titleImage = std::move(image);
}

UniqueHbitmap PanelDialog::RenderHeader(HDC compatible, const HeaderKey& key) {
    UniqueHbitmap picture(::CreateCompatibleBitmap(compatible, key.width, key.height));
    const UniqueHdc memory(::CreateCompatibleDC(compatible));
    if (!picture || !memory) {
        return {};
    }
    {
        const SelectionScope selection(memory.get(), picture.get());
        Gdiplus::Graphics graphics(memory.get());
        if (graphics.GetLastStatus() != Gdiplus::Ok) {
            return {};
        }
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        const auto windowColor = static_cast<COLORREF>(key.window);
        Gdiplus::LinearGradientBrush header(
            Gdiplus::Point(0, 0), Gdiplus::Point(0, key.height + 1), OpaqueRgb(key.tint),
            Gdiplus::Color(255, GetRValue(windowColor), GetGValue(windowColor), GetBValue(windowColor)));
        header.SetWrapMode(Gdiplus::WrapModeClamp);
        graphics.FillRectangle(&header, 0, 0, key.width, key.height);

        if (titleImage) {
            // The title as large as the scale asks, shrunk from the nearest larger drawing.
            const auto at = [&key](int pixels) { return ScaleForDpi(pixels, key.dpi); };
            const int imageWidth =
                PictureExtentForDpi(static_cast<int32_t>(titleImage->GetWidth()), titlePercent, key.dpi);
            const int imageHeight =
                PictureExtentForDpi(static_cast<int32_t>(titleImage->GetHeight()), titlePercent, key.dpi);
            const int x =
                key.expandLevel == 0 ? (key.width - imageWidth) / 2 : (key.width - imageWidth + at(28)) / 2;
            if (imageWidth == static_cast<int>(titleImage->GetWidth()) &&
                imageHeight == static_cast<int>(titleImage->GetHeight())) {
                // Drawn for this scale: copied as it is, with no resampling to pay for.
                graphics.DrawImage(titleImage.get(), x, at(kTitleTop), 0, 0, imageWidth, imageHeight,
                                   Gdiplus::UnitPixel);
            } else {
                graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                graphics.DrawImage(titleImage.get(), x, at(kTitleTop), imageWidth, imageHeight);
            }
            const int iconSize = at(kApplicationIconSize);
            const HICON icon = IconAtSize(IDI_ORVALUX, iconSize);
            if (key.expandLevel != 0) {
                DrawIconOn(graphics, icon, x - at(28), at(3));
            } else {
                // Dialog units seldom grow exactly with the scale: the header may end a few
                // pixels short of the scaled position, and the icon must not be cut there.
                DrawIconOn(graphics, icon, key.width - at(27),
                           std::min<int>(imageHeight + at(14), key.height - iconSize));
            }
        }

        // Slider icons: the hidden holders give the places; those under the button column
        // belong to sliders a narrow panel does not show.
        const HDC context = graphics.GetHDC();
        for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[16] = {};
            ::GetClassNameW(child, className, 16);
            if (std::wcscmp(className, L"Static") != 0) {
                continue;
            }
            const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
            if (!icon) {
                continue;
            }
            const RECT holder = ClientRectOf(child, window);
            if (key.width - holder.right > ScaleForDpi(kIconClearanceFromRight, key.dpi)) {
                ::DrawIconEx(context, holder.left, holder.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
            }
        }
        graphics.ReleaseHDC(context);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    return picture;
}

LRESULT PanelDialog::OnDpiChanged(UINT dpi, const RECT& suggested) {
    const LRESULT result = CDlgWnd::OnDpiChanged(dpi, suggested);
    LoadTitleImage();
    SetButtonImages();
    SetSliderIcons();
    LayoutPanel(); // also redraws
    return result;
}

LRESULT PanelDialog::OnPaint() {
    PaintScope paint(window);
    if (!paint.get()) {
        return 1;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    if (paint.erase()) {
        if (const auto background =
                reinterpret_cast<HBRUSH>(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND))) {
            ::FillRect(paint.get(), &client, background);
        }
    }

    // Header: the tint fading into the window colour down to the slider icons' bottom,
    // with the title, the application icon and the slider icons; drawn once per width,
    // then copied.
    const RECT iconHolder = ClientRectOf(::GetDlgItem(window, IDC_BRIGHTNESS_ICON), window);
    const HeaderKey key{client.right,        iconHolder.bottom,           expandLevel,
                        CurrentHeaderTint(), ::GetSysColor(COLOR_WINDOW), WindowDpi(window)};
    if (key.width <= 0 || key.height <= 0) {
        return 1;
    }
    HeaderPicture& header = headerPictures[std::min(expandLevel, kMaximumExpandLevel)];
    if (!header.bitmap || !(header.key == key)) {
        header.bitmap = RenderHeader(paint.get(), key);
        header.key = key;
    }
    if (header.bitmap) {
        const UniqueHdc memory(::CreateCompatibleDC(paint.get()));
        if (memory) {
            const SelectionScope selection(memory.get(), header.bitmap.get());
            ::BitBlt(paint.get(), 0, 0, key.width, key.height, memory.get(), 0, 0, SRCCOPY);
        }
    }

    return 1;
}
