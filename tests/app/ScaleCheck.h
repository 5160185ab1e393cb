// The title, the flag and the wedges drawn for the screen's scale, not at their 100 % sizes:
// at 96 DPI in the resident program's run, at 144 and 192 DPI by the scale test.
#pragma once

#include "ProgramFixture.h"
#include "ScreenPixels.h"

#include "common/GdiResources.h"
#include "ui/framework/DpiRules.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace program_test {

// One channel of 0x00RRGGBB: red at shift 16, blue at 0.
inline int Channel(DWORD rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

namespace scale_check {

// A `width` x `height` picture, top row first, as 0x00RRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Picture CaptureScreen(const RECT& area) {
    return {area.right - area.left, area.bottom - area.top, test_support::ScreenPixels(area)};
}

// The program's own bitmap `id`; where its alpha is 0 its colour is black.
inline Picture ProgramBitmap(int id) {
    const UniqueHmodule program(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    const UniqueHbitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(program.get(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP size{};
    if (!bitmap || !::GetObjectW(bitmap.get(), sizeof(size), &size)) {
        ADD_FAILURE() << "no bitmap " << id;
        return {};
    }
    const UniqueHdc memory(::CreateCompatibleDC(nullptr));
    const SelectionScope selection(memory.get(), bitmap.get());
    return {size.bmWidth, size.bmHeight,
            test_support::Pixels(memory.get(), RECT{0, 0, size.bmWidth, size.bmHeight})};
}

// Whether `part` shows in `whole` pixel for pixel.
inline bool Contains(const Picture& whole, const Picture& part) {
    if (whole.pixels.empty() || part.pixels.empty()) {
        return false;
    }
    for (int top = 0; top + part.height <= whole.height; ++top) {
        for (int left = 0; left + part.width <= whole.width; ++left) {
            bool same = true;
            for (int y = 0; same && y < part.height; ++y) {
                same = std::equal(part.pixels.begin() + y * part.width,
                                  part.pixels.begin() + (y + 1) * part.width,
                                  whole.pixels.begin() + (top + y) * whole.width + left);
            }
            if (same) {
                return true;
            }
        }
    }
    return false;
}

// The rows from the first to the last that hold `ink` in the columns `left` to `right`.
template <typename Ink>
inline int InkHeight(const Picture& picture, int left, int right, int bottom, Ink ink) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (ink(picture.At(x, y))) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// The trackbar's channel, asked in the program's own memory.
inline RECT ChannelRect(HANDLE process, HWND trackbar) {
    RECT channel{};
    void* remote =
        ::VirtualAllocEx(process, nullptr, sizeof(channel), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ::SendMessageW(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(process, remote, &channel, sizeof(channel), nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return channel;
}

} // namespace scale_check

// Whether the program's bitmap `id` shows inside `area` of the screen, pixel for pixel.
inline bool ShowsBitmap(const RECT& area, int id) {
    return scale_check::Contains(scale_check::CaptureScreen(area), scale_check::ProgramBitmap(id));
}

constexpr uint32_t kEnglish = 5; // written as the Language setting before the start

// The shown panel of the program `process` with the Language setting kEnglish, at `dpi`.
inline void CheckDrawnForScale(HANDLE process, HWND panel, uint32_t dpi) {
    using namespace scale_check;
    // The flag: the drawing made for this scale, pixel for pixel, and not the 100 % one.
    const RECT button = WindowRect(::GetDlgItem(panel, IDC_LANGUAGE));
    const int flagBase = dpi >= 192 ? IDB_FLAG_200_BASE : dpi >= 144 ? IDB_FLAG_150_BASE : IDB_FLAG_BASE;
    // Shown once Wine has handed the panel's drawing to the screen.
    EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(button, flagBase + kEnglish); }))
        << "flag for " << dpi << " DPI";
    if (dpi > kBaseDpi) {
        EXPECT_FALSE(ShowsBitmap(button, IDB_FLAG_BASE + kEnglish)) << "100 % flag";
    }

    // The title's letters as tall as the 100 % drawing's, scaled; mid-header, above the icons.
    RECT client{};
    ::GetClientRect(panel, &client);
    ::MapWindowPoints(panel, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const RECT icon = WindowRect(::GetDlgItem(panel, IDC_BRIGHTNESS_ICON));
    const int half = ScaleForDpi(16, dpi);
    int shownTitle = 0;
    WaitFor([&] {
        const Picture shown = CaptureScreen(client);
        shownTitle =
            InkHeight(shown, shown.width / 2 - half, shown.width / 2 + half, icon.top - client.top,
                      [](uint32_t pixel) { return Channel(pixel, 16) < 110 && Channel(pixel, 0) < 150; });
        return shownTitle > 0;
    });
    const Picture title = ProgramBitmap(IDB_TITLE);
    const int drawnTitle = InkHeight(title, title.width / 2 - 16, title.width / 2 + 16, title.height,
                                     [](uint32_t pixel) { return (pixel & 0xFFFFFF) != 0; });
    ASSERT_GT(drawnTitle, 5);
    EXPECT_NEAR(shownTitle, ScaleForDpi(drawnTitle, dpi), ScaleForDpi(2, dpi))
        << "title at " << dpi << " DPI";

    // The wedge: its left edge at the brightness trackbar's channel, whose margins grow
    // with the scale. Read three quarters down, below the thumb.
    const HWND trackbar = ::GetDlgItem(panel, IDC_BRIGHTNESS_SLIDER);
    const RECT channel = ChannelRect(process, trackbar);
    const RECT bar = WindowRect(trackbar);
    const int row = channel.top + (channel.bottom - channel.top) * 3 / 4;
    int wedgeLeft = -1;
    int wedgeRight = -1;
    WaitFor([&] {
        const Picture slider = CaptureScreen(bar);
        for (int x = 0; x < slider.width; ++x) {
            if (Channel(slider.At(x, row), 16) - Channel(slider.At(x, row), 0) >
                20) { // the brightness wedge's yellow
                wedgeLeft = wedgeLeft < 0 ? x : wedgeLeft;
                wedgeRight = x;
            }
        }
        return wedgeLeft >= 0;
    });
    ASSERT_GE(wedgeLeft, 0) << "no wedge at " << dpi << " DPI";
    EXPECT_NEAR(wedgeLeft, channel.right, ScaleForDpi(1, dpi))
        << "the wedge at " << wedgeLeft << ".." << wedgeRight << ", the channel at " << channel.left << ".."
        << channel.right << " (" << dpi << " DPI)";
}

} // namespace program_test
