#include "ui/TrayMenu.h"

#include "common/GdiResources.h"

#include "ui/Localization.h"
#include "ui/ResourceLookup.h"

#include <map>
#include <mutex>

namespace {

// A device context of a window, released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Bitmaps live until the program ends: menus refer to them without owning them.
std::map<unsigned, UniqueHbitmap> menuBitmapCache;

UniqueHbitmap BitmapFromIcon(HICON icon, int width, int height) {
    const WindowDc screen(nullptr);
    if (!screen.get()) {
        return {};
    }
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    const UniqueHdc memory(::CreateCompatibleDC(screen.get()));
    if (!bitmap || !memory) {
        return {};
    }
    const SelectionScope selected(memory.get(), bitmap.get());
    const RECT area{0, 0, width, height};
    ::FillRect(memory.get(), &area, ::GetSysColorBrush(COLOR_MENU));
    ::DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return bitmap;
}

void AttachItemBitmaps(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) {
            continue;
        }
        // A popup's id may be its submenu handle or, in extended menus, an id of its
        // own; either way only command items get an image.
        if (item.hSubMenu) {
            AttachItemBitmaps(item.hSubMenu);
            continue;
        }
        if (item.wID == 0 || (item.fType & MFT_SEPARATOR)) {
            continue;
        }
        if (HBITMAP bitmap = MenuItemBitmap(item.wID)) {
            MENUITEMINFOW image{};
            image.cbSize = sizeof(image);
            image.fMask = MIIM_BITMAP;
            image.hbmpItem = bitmap;
            ::SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &image);
        }
    }
}

} // namespace

HBITMAP MenuItemBitmap(unsigned commandId) {
    std::lock_guard guard(resourceLock);
    if (const auto cached = menuBitmapCache.find(commandId); cached != menuBitmapCache.end()) {
        return cached->second.get();
    }
    const int width = ::GetSystemMetrics(SM_CXSMICON);
    const int height = ::GetSystemMetrics(SM_CYSMICON);
    // Loaded unshared so that it may be destroyed once drawn.
    const UniqueHicon icon(static_cast<HICON>(
        ::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(commandId), IMAGE_ICON, width, height, 0)));
    if (!icon) {
        return nullptr;
    }
    UniqueHbitmap bitmap = BitmapFromIcon(icon.get(), width, height);
    if (!bitmap) {
        return nullptr;
    }
    return menuBitmapCache.emplace(commandId, std::move(bitmap)).first->second.get();
}

UniqueHmenu LoadMenuWithItemImages(unsigned menuId) {
    std::lock_guard guard(resourceLock);
    const auto found = FindResourceForLanguage(ResourceModule(), RT_MENU, menuId, currentLangId,
                                               MissingLanguage::UserDefault);
    if (!found) {
        return {};
    }
    UniqueHmenu menu(::LoadMenuIndirectW(found->data.data()));
    if (menu && isVistaOrLater) {
        AttachItemBitmaps(menu.get());
    }
    return menu;
}

UniqueHmenu LoadTrayMenu() {
    return LoadMenuWithItemImages(kTrayMenuId);
}
