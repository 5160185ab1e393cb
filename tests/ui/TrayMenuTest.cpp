#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "ui/Localization.h"
#include "ui/TrayMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

// Every item of `menu` and its popups, depth first: id, whether it is a popup or a
// separator, and its image.
void CollectItems(HMENU menu, std::vector<std::tuple<unsigned, bool, HBITMAP>>& items) {
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
        items.emplace_back(info.wID, info.hSubMenu || (info.fType & MFT_SEPARATOR), info.hbmpItem);
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

// Popups and separators carry no image even where their id has an icon, commands their
// own icon's bitmap, and before Vista no item has one.
TEST_F(TrayMenu, OnlyCommandsGetTheirImage) {
    const std::pair<unsigned, std::vector<unsigned>> menus[] = {
        {kTrayMenuId, {210, 1015, 138, 221, 212, 211}}, {IDR_TEST_MENU, {210, 212, 211}}};
    for (const auto& [menuId, expectedCommands] : menus) {
        for (const bool vista : {true, false}) {
            isVistaOrLater = vista;
            const UniqueHmenu menu = LoadMenuWithItemImages(menuId);
            ASSERT_TRUE(menu) << menuId;
            std::vector<std::tuple<unsigned, bool, HBITMAP>> items;
            CollectItems(menu.get(), items);
            std::vector<unsigned> commands;
            for (const auto& [id, popupOrSeparator, bitmap] : items) {
                EXPECT_EQ(bitmap, vista && !popupOrSeparator ? MenuItemBitmap(id) : nullptr)
                    << "menu " << menuId << " item " << id;
                if (!popupOrSeparator) {
                    commands.push_back(id);
                    EXPECT_TRUE(bitmap || !vista) << "menu " << menuId << " item " << id;
                }
            }
            EXPECT_EQ(commands, expectedCommands);
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
