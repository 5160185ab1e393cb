// The panel's header, title and slider icons.
#include "app/PanelPainting.h"

#include "app/PanelDialog.h"
#include "app/PanelRules.h"
#include "common/UniqueResource.h"
#include "ui/Localization.h"

#include "resource.h"

#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kApplicationIconSize = 24;
constexpr int kTitleTop = 8;
constexpr int kIconClearanceFromRight = 32;

bool headerTintChosen = false;
uint32_t headerTint = 0;

using UniqueHbitmap = UniqueResource<SimpleResourceTraits<HBITMAP, &::DeleteObject>>;

Gdiplus::Color OpaqueRgb(uint32_t rgb) {
    return Gdiplus::Color(255, static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8),
                          static_cast<BYTE>(rgb));
}

Gdiplus::Color OpaqueSystemColor(int index) {
    const COLORREF color = ::GetSysColor(index);
    return Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color));
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

void PanelDialog::LoadTitleImage() {
    titleImage.reset();
    UniqueHbitmap bitmap(static_cast<HBITMAP>(::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDB_TITLE),
                                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
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

LRESULT PanelDialog::OnPaint() {
    PaintScope paint(window);
    if (!paint.get()) {
        return 1;
    }
    Gdiplus::Graphics graphics(paint.get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);

    RECT client{};
    ::GetClientRect(window, &client);
    if (paint.erase()) {
        if (const auto background =
                reinterpret_cast<HBRUSH>(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND))) {
            ::FillRect(paint.get(), &client, background);
        }
    }

    // Header: the tint fading into the window colour down to the slider icons' bottom.
    const RECT iconHolder = ClientRectOf(::GetDlgItem(window, IDC_BRIGHTNESS_ICON), window);
    const int headerBottom = iconHolder.bottom;
    Gdiplus::LinearGradientBrush header(Gdiplus::Point(client.left, client.top),
                                        Gdiplus::Point(client.left, headerBottom + 1),
                                        OpaqueRgb(CurrentHeaderTint()), OpaqueSystemColor(COLOR_WINDOW));
    header.SetWrapMode(Gdiplus::WrapModeClamp);
    graphics.FillRectangle(&header, static_cast<INT>(client.left), static_cast<INT>(client.top),
                           static_cast<INT>(client.right), headerBottom);

    if (titleImage) {
        const auto imageWidth = static_cast<int>(titleImage->GetWidth());
        const auto imageHeight = static_cast<int>(titleImage->GetHeight());
        const int clientWidth = client.right - client.left;
        const int x = expandLevel == 0 ? (clientWidth - imageWidth) / 2 : (clientWidth - imageWidth + 28) / 2;
        graphics.DrawImage(titleImage.get(), x, kTitleTop, imageWidth, imageHeight);
        const auto icon =
            static_cast<HICON>(::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_ORVALUX), IMAGE_ICON,
                                            kApplicationIconSize, kApplicationIconSize, LR_SHARED));
        if (expandLevel != 0) {
            DrawIconOn(graphics, icon, x - 28, client.top + 3);
        } else {
            DrawIconOn(graphics, icon, client.right - 27, imageHeight + 14);
        }
    }

    // Slider icons: the hidden holders give the places; those under the button column
    // belong to sliders a narrow panel does not show.
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
        if (client.right - holder.right > kIconClearanceFromRight) {
            DrawIconOn(graphics, icon, holder.left, holder.top);
        }
    }
    return 1;
}
