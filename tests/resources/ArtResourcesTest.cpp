// Icons and bitmaps as embedded: stored under English, every size the shell may ask
// for, and no two pictures that must differ are the same.
#include "ResourceAccess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <span>
#include <string>
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
    if (bytes.size() < 6) {
        return {};
    }
    WORD count = 0;
    std::memcpy(&count, bytes.data() + 4, sizeof(count));
    std::vector<GroupIconEntry> entries(std::min<size_t>(count, (bytes.size() - 6) / sizeof(GroupIconEntry)));
    std::memcpy(entries.data(), bytes.data() + 6, entries.size() * sizeof(GroupIconEntry));
    return entries;
}

// Every icon the program loads.
constexpr unsigned kIcons[] = {
    // The program and the tray's brightness levels.
    IDI_ORVALUX, IDI_TRAY_LEVEL_1, IDI_TRAY_LEVEL_2, IDI_TRAY_LEVEL_3, IDI_TRAY_LEVEL_4, IDI_TRAY_LEVEL_5,
    IDI_TRAY_LEVEL_6, IDI_TRAY_LEVEL_7, IDI_TRAY_LEVEL_8,
    // The panel, the tray menu and the hotkey dialog.
    IDI_BRIGHTNESS, IDI_CONTRAST, IDI_COLOR_TEMPERATURE, IDI_RED_GAIN, IDI_GREEN_GAIN, IDI_BLUE_GAIN,
    IDI_ABOUT, IDI_EXIT, IDI_MONITOR_OFF, IDI_CHECK_FOR_UPDATES, IDI_START_WITH_WINDOWS, IDI_HOTKEYS,
    IDI_REAPPLY_DELAY, IDI_FACTORY_RESET, IDI_EXPAND, IDI_COLLAPSE, IDI_HOTKEY_MONITOR_OFF,
    IDI_HOTKEY_BRIGHTNESS_UP, IDI_HOTKEY_BRIGHTNESS_DOWN, IDI_HOTKEY_CONTRAST_UP, IDI_HOTKEY_CONTRAST_DOWN,
    IDI_INCREMENT, IDI_OK, IDI_CANCEL};

TEST(Icons, EveryIconCarriesEverySmallAndLargeSize) {
    for (unsigned id : kIcons) {
        std::set<int> sizes;
        for (const auto& entry : GroupEntries(id)) {
            EXPECT_EQ(entry.width, entry.height) << "icon " << id;
            EXPECT_EQ(entry.bitCount, 32) << "icon " << id;
            sizes.insert(entry.width == 0 ? 256 : entry.width);
        }
        std::set<int> expected = {16, 20, 24, 32, 48};
        if (id == IDI_ORVALUX) {
            expected.insert(256);
        }
        EXPECT_EQ(sizes, expected) << "icon " << id;
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

// A stored bitmap: its header and the pixels behind it (uncompressed, as the art tools
// write them).
struct StoredBitmap {
    BITMAPINFOHEADER header{};
    std::span<const std::byte> pixels;
};

StoredBitmap ReadBitmap(unsigned id) {
    const auto bytes = ResourceBytes(RT_BITMAP, id, kEnglish);
    StoredBitmap bitmap;
    if (bytes.size() >= sizeof(BITMAPINFOHEADER)) {
        std::memcpy(&bitmap.header, bytes.data(), sizeof(bitmap.header));
        bitmap.pixels = bytes.subspan(bitmap.header.biSize);
    }
    return bitmap;
}

TEST(Bitmaps, TitleIsAWordmarkWithAlpha) {
    const StoredBitmap title = ReadBitmap(IDB_TITLE);
    EXPECT_EQ(title.header.biWidth, 75);
    EXPECT_EQ(title.header.biHeight, 15);
    ASSERT_EQ(title.header.biBitCount, 32);
    ASSERT_EQ(title.pixels.size(), 75u * 15 * 4);
    long transparent = 0, opaque = 0;
    for (size_t alpha = 3; alpha < title.pixels.size(); alpha += 4) {
        transparent += title.pixels[alpha] == std::byte{0};
        opaque += title.pixels[alpha] == std::byte{255};
    }
    // Letters on a clear background: both kinds of pixel, the background the larger part.
    EXPECT_GT(opaque, 50);
    EXPECT_GT(transparent, 75 * 15 / 2);
}

TEST(Bitmaps, SeventeenDistinctFlags) {
    std::set<std::string> flags; // the pixel bytes of each
    for (unsigned id = IDB_FLAG_BASE; id < IDB_FLAG_BASE + IDB_FLAG_COUNT; ++id) {
        const StoredBitmap flag = ReadBitmap(id);
        EXPECT_EQ(flag.header.biWidth, 16) << "flag " << id;
        EXPECT_EQ(flag.header.biHeight, 11) << "flag " << id;
        flags.emplace(reinterpret_cast<const char*>(flag.pixels.data()), flag.pixels.size());
    }
    EXPECT_EQ(flags.size(), static_cast<size_t>(IDB_FLAG_COUNT));
}

} // namespace
