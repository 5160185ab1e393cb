#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "ui/Localization.h"
#include "ui/TrayMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <vector>

namespace {

struct ItemImage {
    unsigned id;
    bool popup;
    bool separator;
    HBITMAP bitmap;
};

// Every item of `menu` and its popups, depth first.
void CollectItems(HMENU menu, std::vector<ItemImage>& items) {
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
        items.push_back(
            {info.wID, info.hSubMenu != nullptr, (info.fType & MFT_SEPARATOR) != 0, info.hbmpItem});
        if (info.hSubMenu) {
            CollectItems(info.hSubMenu, items);
        }
    }
}

class TrayMenu : public ::testing::Test {
protected:
    void TearDown() override { isVistaOrLater = savedVista_; }
    std::vector<ItemImage> Items(const UniqueHmenu& menu) {
        std::vector<ItemImage> items;
        CollectItems(menu.get(), items);
        return items;
    }

    bool savedVista_ = isVistaOrLater;
    ScopedLanguage english_{1033};
};

// Checks that popups and separators carry no image and commands their own bitmap;
// returns the numbers of commands, popups and separators seen.
std::array<int, 3> CheckImages(const std::vector<ItemImage>& items) {
    std::array<int, 3> counts{};
    for (const ItemImage& item : items) {
        if (item.popup || item.separator) {
            EXPECT_EQ(item.bitmap, nullptr) << "item " << item.id;
            ++counts[item.popup ? 1 : 2];
        } else {
            EXPECT_NE(item.bitmap, nullptr) << "item " << item.id;
            EXPECT_EQ(item.bitmap, MenuItemBitmap(item.id)) << "item " << item.id;
            ++counts[0];
        }
    }
    return counts;
}

TEST_F(TrayMenu, TheProgramsMenuShowsItsCommandIcons) {
    isVistaOrLater = true;
    const UniqueHmenu menu = LoadTrayMenu();
    ASSERT_TRUE(menu);
    const auto items = Items(menu);
    ASSERT_FALSE(items.empty());
    EXPECT_TRUE(items.front().popup);
    const std::vector<unsigned> commands = {210, 1015, 138, 212, 211};
    std::vector<unsigned> seen;
    for (const ItemImage& item : items) {
        if (!item.popup && !item.separator) {
            seen.push_back(item.id);
        }
    }
    EXPECT_EQ(seen, commands);
    EXPECT_EQ(CheckImages(items)[0], 5);
}

TEST_F(TrayMenu, SeparatorsAndPopupsGetNoImage) {
    isVistaOrLater = true;
    const UniqueHmenu menu = LoadMenuWithItemImages(IDR_TEST_MENU);
    ASSERT_TRUE(menu);
    const std::array<int, 3> expected = {3, 2, 1}; // commands, popups, separators
    EXPECT_EQ(CheckImages(Items(menu)), expected);
}

TEST_F(TrayMenu, BeforeVistaNoItemGetsABitmap) {
    isVistaOrLater = false;
    for (const unsigned id : {unsigned{kTrayMenuId}, unsigned{IDR_TEST_MENU}}) {
        const UniqueHmenu menu = LoadMenuWithItemImages(id);
        ASSERT_TRUE(menu);
        for (const ItemImage& item : Items(menu)) {
            EXPECT_EQ(item.bitmap, nullptr) << "menu " << id << " item " << item.id;
        }
    }
}

TEST_F(TrayMenu, EveryLanguageOfTheProgramHasItsMenu) {
    for (uint32_t index = 1; index < kLanguageCount; ++index) {
        const ScopedLanguage language(LanguageTable[index].languageId);
        EXPECT_TRUE(LoadTrayMenu()) << "language " << LanguageTable[index].languageId;
    }
    // No other language stands in for a missing one.
    const ScopedLanguage turkish(1055);
    EXPECT_FALSE(LoadTrayMenu());
}

TEST_F(TrayMenu, ItemBitmapIsTheIconOnTheMenuColour) {
    HBITMAP bitmap = MenuItemBitmap(IDI_TEST_SQUARE);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(MenuItemBitmap(IDI_TEST_SQUARE), bitmap);
    BITMAP shape{};
    ASSERT_TRUE(::GetObjectW(bitmap, sizeof(shape), &shape));
    EXPECT_EQ(shape.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(shape.bmHeight, ::GetSystemMetrics(SM_CYSMICON));
    // The icon (an orange square in a dark frame) covers the bitmap.
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const COLORREF centre = ::GetPixel(memory, shape.bmWidth / 2, shape.bmHeight / 2);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(centre, RGB(255, 140, 0));
    EXPECT_EQ(MenuItemBitmap(4999), nullptr);
}

} // namespace
