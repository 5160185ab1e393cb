#include "ui/framework/CTrackSlider.h"

#include "common/GdiResources.h"

#include "ui/framework/Dpi.h"
#include "ui/framework/WedgeRules.h"

#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

namespace {

uint32_t SystemRgb(int index) {
    const COLORREF color = ::GetSysColor(index);
    return (static_cast<uint32_t>(GetRValue(color)) << 16) | (static_cast<uint32_t>(GetGValue(color)) << 8) |
           GetBValue(color);
}

Gdiplus::Color OpaqueSystemColor(int index) {
    const COLORREF color = ::GetSysColor(index);
    return Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color));
}

Gdiplus::Point ToPoint(const IntPoint& point) {
    return Gdiplus::Point(point.x, point.y);
}

} // namespace

bool IsSliderMoveCode(WORD scrollCode) {
    switch (scrollCode) {
    case TB_LINEUP:
    case TB_LINEDOWN:
    case TB_PAGEUP:
    case TB_PAGEDOWN:
    case TB_THUMBTRACK:
    case TB_TOP:
    case TB_BOTTOM:
        return true;
    default:
        return false;
    }
}

void CTrackSlider::Attach(HWND trackbar, int minimum, int maximum, int lineStep, int pageStep,
                          uint32_t firstColor, uint32_t secondColor, bool drawWedge) {
    window = trackbar;
    if (trackbar) {
        Subclass(trackbar);
    }
    color1 = firstColor;
    color2 = secondColor;
    wedge = drawWedge;
    dragging = false;
    ::SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, minimum);
    ::SendMessageW(trackbar, TBM_SETRANGEMAX, FALSE, maximum);
    ::SendMessageW(trackbar, TBM_SETLINESIZE, 0, lineStep);
    ::SendMessageW(trackbar, TBM_SETPAGESIZE, 0, pageStep);
    ::SendMessageW(trackbar, TBM_SETTICFREQ, 10, 0);
}

int CTrackSlider::LogicalPosition() const {
    const auto raw = static_cast<int>(::SendMessageW(window, TBM_GETPOS, 0, 0));
    return rangeMaximum - raw + rangeMinimum;
}

void CTrackSlider::SetLogicalPosition(int value, bool redraw) {
    ::SendMessageW(window, TBM_SETPOS, redraw ? TRUE : FALSE, value);
}

LRESULT CTrackSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_UPDATEUISTATE) {
        // Never a focus rectangle on the trackbar.
        WORD flags = HIWORD(wParam);
        if (LOWORD(wParam) == UIS_SET) {
            flags |= UISF_HIDEFOCUS;
        } else if (LOWORD(wParam) == UIS_CLEAR) {
            flags &= static_cast<WORD>(~UISF_HIDEFOCUS);
        }
        wParam = MAKEWPARAM(LOWORD(wParam), flags);
    } else if (message == TBM_SETPOS) {
        lParam = rangeMinimum + rangeMaximum - lParam;
    } else if (message == TBM_SETRANGEMIN) {
        rangeMinimum = static_cast<int>(lParam);
    } else if (message == TBM_SETRANGEMAX) {
        rangeMaximum = static_cast<int>(lParam);
    } else if (message == TBM_SETRANGE) {
        rangeMinimum = static_cast<short>(LOWORD(lParam));
        rangeMaximum = static_cast<short>(HIWORD(lParam));
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CTrackSlider::OnEraseBkgnd(HDC) {
    return 1;
}

LRESULT CTrackSlider::OnLButtonDown(WPARAM, int, int) {
    dragging = true;
    return 0;
}

LRESULT CTrackSlider::OnLButtonUp(WPARAM, int, int) {
    dragging = false;
    return 0;
}

LRESULT CTrackSlider::OnCustomDraw(NMCUSTOMDRAW* draw) {
    if (!draw) {
        return 0;
    }
    switch (draw->dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The trackbar draws each part itself after this. The wedge goes in before the
        // thumb, the last part: it covers the channel, and the thumb ends up on top. A wedge
        // before the earlier parts would be covered by this one anyway.
        if (draw->dwItemSpec == TBCD_THUMB) {
            PaintWedge(*draw);
        }
        return CDRF_NOTIFYITEMDRAW;
    default:
        return 0;
    }
}

bool CTrackSlider::RenderWedge(const WedgeKey& key) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = key.width;
    info.bmiHeader.biHeight = -key.height; // top-down, as GDI+ lays out its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture || !bits) {
        return false;
    }
    {
        // Premultiplied alpha, as AlphaBlend takes it; the DIB starts fully transparent.
        Gdiplus::Bitmap canvas(key.width, key.height, key.width * 4, PixelFormat32bppPARGB,
                               static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&canvas);
        if (graphics.GetLastStatus() != Gdiplus::Ok) {
            return false;
        }
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);

        const WedgeShape shape =
            MakeWedgeShape(IntRect{0, 0, key.width, key.height}, key.vertical, key.wedge, key.dpi);
        const WedgeColors colors = MakeWedgeColors(key.color1, key.color2, SystemRgb(COLOR_WINDOW));
        Gdiplus::LinearGradientBrush brush(ToPoint(shape.gradientStart), ToPoint(shape.gradientEnd),
                                           Gdiplus::Color(colors.first), Gdiplus::Color(colors.second));
        brush.SetWrapMode(Gdiplus::WrapModeClamp);
        const Gdiplus::Point polygon[] = {ToPoint(shape.points[0]), ToPoint(shape.points[1]),
                                          ToPoint(shape.points[2]), ToPoint(shape.points[3])};
        graphics.FillPolygon(&brush, polygon, 4);

        // A sunken edge: shadow along the first three points, highlight along the last three.
        const auto edge = static_cast<Gdiplus::REAL>(WedgeEdgeWidth(key.dpi));
        Gdiplus::Pen shadow(OpaqueSystemColor(COLOR_BTNSHADOW), edge);
        Gdiplus::Pen highlight(OpaqueSystemColor(COLOR_BTNHIGHLIGHT), edge);
        const Gdiplus::Point first[] = {polygon[0], polygon[1], polygon[2]};
        const Gdiplus::Point last[] = {polygon[2], polygon[3], ToPoint(shape.points[4])};
        graphics.DrawLines(&shadow, first, 3);
        graphics.DrawLines(&highlight, last, 3);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    // Most of a vertical trackbar's width lies left of the wedge: blending only what the
    // wedge covers saves a blend that grows with the scale at every paint.
    const IntRect bounds = NonTransparentBounds(
        std::span(static_cast<const uint32_t*>(bits), static_cast<size_t>(key.width) * key.height), key.width,
        key.height);
    wedgeBounds = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    wedgePicture = std::move(picture);
    wedgeKey = key;
    return true;
}

void CTrackSlider::PaintWedge(const NMCUSTOMDRAW& draw) {
    RECT client;
    if (!draw.hdc || !::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        return;
    }
    const WedgeKey key{client.right,
                       client.bottom,
                       (::GetWindowLongPtrW(window, GWL_STYLE) & TBS_VERT) != 0,
                       wedge,
                       color1,
                       color2,
                       ::GetSysColor(COLOR_WINDOW),
                       ::GetSysColor(COLOR_BTNSHADOW),
                       ::GetSysColor(COLOR_BTNHIGHLIGHT),
                       WindowDpi(window)};
    if ((!wedgePicture || !(key == wedgeKey)) && !RenderWedge(key)) {
        return;
    }
    const UniqueHdc memory(::CreateCompatibleDC(draw.hdc));
    if (!memory) {
        return;
    }
    const SelectionScope selection(memory.get(), wedgePicture.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const LONG width = wedgeBounds.right - wedgeBounds.left;
    const LONG height = wedgeBounds.bottom - wedgeBounds.top;
    if (width > 0 && height > 0) {
        ::AlphaBlend(draw.hdc, wedgeBounds.left, wedgeBounds.top, width, height, memory.get(),
                     wedgeBounds.left, wedgeBounds.top, width, height, blend);
    }
}
