// What a device context or the screen shows, for checks on what another process has drawn.
#pragma once

#include "common/GdiResources.h"

#include <windows.h>

#include <vector>

namespace test_support {

// The pixels of `rect` of `source`, row by row from the top, as 0x00RRGGBB.
inline std::vector<DWORD> Pixels(HDC source, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueHbitmap copy(::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueHdc memory(::CreateCompatibleDC(source));
    if (width <= 0 || height <= 0 || !copy || !bits || !memory) {
        return {};
    }
    {
        const SelectionScope selected(memory.get(), copy.get());
        ::BitBlt(memory.get(), 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
        ::GdiFlush();
    }
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + static_cast<size_t>(width) * height);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// The same of the screen, `rect` in screen coordinates.
inline std::vector<DWORD> ScreenPixels(const RECT& rect) {
    const UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    return Pixels(screen.get(), rect);
}

} // namespace test_support
