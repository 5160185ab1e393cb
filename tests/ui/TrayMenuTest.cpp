#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/GdiResources.h"
#include "ui/Localization.h"
#include "ui/TrayMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>
#include <vector>

namespace {

// Every item of `menu` and its popups, depth first: id, popup or separator, image.
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

// Commands get their icon's bitmap, popups and separators none even where their id has one; before
// Vista no item has one.
TEST_F(TrayMenu, OnlyCommandsGetTheirImage) {
    for (const unsigned menuId : {kTrayMenuId, unsigned{IDR_TEST_MENU}}) {
        for (const bool vista : {true, false}) {
            isVistaOrLater = vista;
            const UniqueHmenu menu = LoadMenuWithItemImages(menuId);
            ASSERT_TRUE(menu) << menuId;
            std::vector<std::tuple<unsigned, bool, HBITMAP>> items;
            CollectItems(menu.get(), items);
            size_t commands = 0;
            for (const auto& [id, popupOrSeparator, bitmap] : items) {
                EXPECT_EQ(bitmap, vista && !popupOrSeparator ? MenuItemBitmap(id) : nullptr)
                    << "menu " << menuId << " item " << id;
                if (!popupOrSeparator) {
                    ++commands;
                    EXPECT_TRUE(bitmap || !vista) << "menu " << menuId << " item " << id;
                }
            }
            EXPECT_GE(commands, 3u) << "menu " << menuId;
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
    const UniqueHdc memory(::CreateCompatibleDC(nullptr));
    const SelectionScope selected(memory.get(), bitmap);
    EXPECT_EQ(::GetPixel(memory.get(), shape.bmWidth / 2, shape.bmHeight / 2), RGB(255, 140, 0));
    EXPECT_EQ(MenuItemBitmap(4999), nullptr);
}

} // namespace
