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

    bool savedVista_ = isVistaOrLater;
    ScopedLanguage english_{1033};
};

// Popups and separators carry no image, commands their own icon's bitmap, and before
// Vista no item has one.
TEST_F(TrayMenu, OnlyCommandsGetTheirImage) {
    const struct {
        unsigned menuId;
        std::vector<unsigned> commands;
        std::array<int, 2> popupsAndSeparators;
    } menus[] = {{kTrayMenuId, {210, 1015, 138, 212, 211}, {1, 0}}, {IDR_TEST_MENU, {210, 212, 211}, {2, 1}}};
    for (const auto& expected : menus) {
        isVistaOrLater = true;
        const UniqueHmenu menu = LoadMenuWithItemImages(expected.menuId);
        ASSERT_TRUE(menu) << expected.menuId;
        std::vector<ItemImage> items;
        CollectItems(menu.get(), items);
        std::vector<unsigned> commands;
        std::array<int, 2> popupsAndSeparators{};
        for (const ItemImage& item : items) {
            if (item.popup || item.separator) {
                EXPECT_EQ(item.bitmap, nullptr) << "menu " << expected.menuId << " item " << item.id;
                ++popupsAndSeparators[item.popup ? 0 : 1];
            } else {
                EXPECT_NE(item.bitmap, nullptr) << "menu " << expected.menuId << " item " << item.id;
                EXPECT_EQ(item.bitmap, MenuItemBitmap(item.id)) << "item " << item.id;
                commands.push_back(item.id);
            }
        }
        EXPECT_EQ(commands, expected.commands);
        EXPECT_EQ(popupsAndSeparators, expected.popupsAndSeparators);

        isVistaOrLater = false;
        const UniqueHmenu classic = LoadMenuWithItemImages(expected.menuId);
        ASSERT_TRUE(classic);
        items.clear();
        CollectItems(classic.get(), items);
        for (const ItemImage& item : items) {
            EXPECT_EQ(item.bitmap, nullptr)
                << "before Vista, menu " << expected.menuId << " item " << item.id;
        }
    }
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
