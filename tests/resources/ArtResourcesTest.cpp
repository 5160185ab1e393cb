// Icons and bitmaps as embedded: stored under English, every size the shell may ask
// for, loadable, and no two pictures that must differ are the same.
#include "ResourceAccess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD iconId;
};
#pragma pack(pop)

std::vector<GroupIconEntry> GroupEntries(unsigned id) {
    const auto bytes = ResourceBytes(RT_GROUP_ICON, id, kEnglish);
    std::vector<GroupIconEntry> entries;
    if (bytes.size() < 6) {
        return entries;
    }
    WORD count = 0;
    std::memcpy(&count, bytes.data() + 4, sizeof(count));
    for (WORD index = 0; index < count && 6 + (index + 1) * sizeof(GroupIconEntry) <= bytes.size(); ++index) {
        GroupIconEntry entry;
        std::memcpy(&entry, bytes.data() + 6 + index * sizeof(GroupIconEntry), sizeof(entry));
        entries.push_back(entry);
    }
    return entries;
}

constexpr unsigned kIcons[] = {IDI_ORVALUX,
                               IDI_TRAY_LEVEL_1,
                               IDI_TRAY_LEVEL_2,
                               IDI_TRAY_LEVEL_3,
                               IDI_TRAY_LEVEL_4,
                               IDI_TRAY_LEVEL_5,
                               IDI_TRAY_LEVEL_6,
                               IDI_TRAY_LEVEL_7,
                               IDI_TRAY_LEVEL_8,
                               IDI_BRIGHTNESS,
                               IDI_CONTRAST,
                               IDI_COLOR_TEMPERATURE,
                               IDI_RED_GAIN,
                               IDI_GREEN_GAIN,
                               IDI_BLUE_GAIN,
                               IDI_ABOUT,
                               IDI_EXIT,
                               IDI_MONITOR_OFF,
                               IDI_CHECK_FOR_UPDATES,
                               IDI_START_WITH_WINDOWS,
                               IDI_HOTKEYS,
                               IDI_REAPPLY_DELAY,
                               IDI_FACTORY_RESET,
                               IDI_EXPAND,
                               IDI_COLLAPSE,
                               IDI_HOTKEY_MONITOR_OFF,
                               IDI_HOTKEY_BRIGHTNESS_UP,
                               IDI_HOTKEY_BRIGHTNESS_DOWN,
                               IDI_HOTKEY_CONTRAST_UP,
                               IDI_HOTKEY_CONTRAST_DOWN,
                               IDI_INCREMENT,
                               IDI_OK,
                               IDI_CANCEL};

TEST(Icons, EveryIconCarriesEverySmallAndLargeSize) {
    for (unsigned id : kIcons) {
        std::set<int> sizes;
        for (const auto& entry : GroupEntries(id)) {
            const int size = entry.width == 0 ? 256 : entry.width;
            EXPECT_EQ(entry.width, entry.height) << "icon " << id;
            EXPECT_EQ(entry.bitCount, 32) << "icon " << id;
            sizes.insert(size);
        }
        std::set<int> expected = {16, 20, 24, 32, 48};
        if (id == IDI_ORVALUX) {
            expected.insert(256);
        }
        EXPECT_EQ(sizes, expected) << "icon " << id;
    }
}

TEST(Icons, EachSizeLoadsAsItself) {
    for (unsigned id : kIcons) {
        for (int size : {16, 20, 24, 32, 48}) {
            HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(icon, nullptr) << "icon " << id << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP colour{};
            GetObjectW(info.hbmColor, sizeof(colour), &colour);
            EXPECT_EQ(colour.bmWidth, size) << "icon " << id;
            EXPECT_EQ(colour.bmHeight, size) << "icon " << id;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

// The tray shows nine brightness levels at 16 pixels; no two may look the same.
TEST(Icons, TrayLevelsDifferAtSixteenPixels) {
    std::set<std::vector<std::byte>> pictures;
    for (unsigned id = IDI_TRAY_LEVEL_BASE; id <= IDI_TRAY_LEVEL_8; ++id) {
        const unsigned groupId = id == IDI_TRAY_LEVEL_BASE ? IDI_ORVALUX : id;
        const auto entries = GroupEntries(groupId);
        const auto small =
            std::find_if(entries.begin(), entries.end(), [](auto& e) { return e.width == 16; });
        ASSERT_NE(small, entries.end()) << "icon " << groupId;
        const auto bytes = ResourceBytes(RT_ICON, small->iconId, kEnglish);
        ASSERT_FALSE(bytes.empty());
        pictures.emplace(bytes.begin(), bytes.end());
    }
    EXPECT_EQ(pictures.size(), 9u);
}

struct Pixels {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<uint32_t> argb;
};

Pixels LoadBitmapPixels(unsigned id) {
    Pixels pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        ADD_FAILURE() << "bitmap " << id << " missing";
        return pixels;
    }
    DIBSECTION section{};
    GetObjectW(bitmap, sizeof(section), &section);
    pixels.width = section.dsBm.bmWidth;
    pixels.height = section.dsBm.bmHeight;
    pixels.bitsPerPixel = section.dsBm.bmBitsPixel;
    // Read back as 32-bit top-down rows whatever the stored depth.
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = pixels.width;
    request.bmiHeader.biHeight = -pixels.height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    pixels.argb.resize(static_cast<size_t>(pixels.width) * pixels.height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, pixels.height, pixels.argb.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return pixels;
}

TEST(Bitmaps, TitleIsAWordmarkWithAlpha) {
    const Pixels title = LoadBitmapPixels(IDB_TITLE);
    EXPECT_EQ(title.width, 75);
    EXPECT_EQ(title.height, 15);
    ASSERT_EQ(title.bitsPerPixel, 32);
    const auto alpha = [](uint32_t pixel) { return pixel >> 24; };
    const auto transparent =
        std::count_if(title.argb.begin(), title.argb.end(), [&](auto p) { return alpha(p) == 0; });
    const auto opaque =
        std::count_if(title.argb.begin(), title.argb.end(), [&](auto p) { return alpha(p) == 255; });
    // Letters on a clear background: both kinds of pixel, the background the larger part.
    EXPECT_GT(opaque, 50);
    EXPECT_GT(transparent, static_cast<long>(title.argb.size() / 2));
}

TEST(Bitmaps, SeventeenDistinctFlags) {
    std::set<std::vector<uint32_t>> flags;
    for (unsigned id = IDB_FLAG_BASE; id < IDB_FLAG_BASE + IDB_FLAG_COUNT; ++id) {
        const Pixels flag = LoadBitmapPixels(id);
        EXPECT_EQ(flag.width, 16) << "flag " << id;
        EXPECT_EQ(flag.height, 11) << "flag " << id;
        flags.insert(flag.argb);
    }
    EXPECT_EQ(flags.size(), static_cast<size_t>(IDB_FLAG_COUNT));
}

} // namespace
