// What the screen shows: for checks on what a window of another process has drawn.
#pragma once

#include "common/GdiResources.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace test_support {

// The pixels of `rect` (screen coordinates), row by row from the top, as 0x00RRGGBB.
inline std::vector<DWORD> ScreenPixels(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    const UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    const UniqueHdc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueHbitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return {};
    }
    {
        const SelectionScope selected(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
        ::GdiFlush();
    }
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

} // namespace test_support
