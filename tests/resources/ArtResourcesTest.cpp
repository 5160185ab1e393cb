// Icons and bitmaps as embedded: every size the shell may ask for, no two that must differ the same.
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

// Every icon stored in the program.
std::vector<unsigned> IconIds() {
    std::vector<unsigned> ids;
    ::EnumResourceNamesW(
        nullptr, RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            if (IS_INTRESOURCE(name)) {
                reinterpret_cast<std::vector<unsigned>*>(found)->push_back(LOWORD(name));
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

TEST(Icons, EveryIconCarriesEverySmallAndLargeSize) {
    const std::vector<unsigned> icons = IconIds();
    EXPECT_GT(icons.size(), 30u);
    for (unsigned id : icons) {
        std::set<int> sizes;
        for (const auto& entry : GroupEntries(id)) {
            EXPECT_EQ(entry.width, entry.height) << "icon " << id;
            EXPECT_EQ(entry.bitCount, 32) << "icon " << id;
            sizes.insert(entry.width == 0 ? 256 : entry.width);
        }
        const std::set<int> expected =
            id == IDI_ORVALUX ? std::set<int>{16, 20, 24, 32, 48, 256} : std::set<int>{16, 20, 24, 32, 48};
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
        pictures.emplace(bytes.begin(), bytes.end());
    }
    EXPECT_EQ(pictures.size(), 9u);
}

// A stored bitmap: its header and the uncompressed pixels behind it.
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
