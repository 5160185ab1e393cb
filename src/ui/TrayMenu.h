#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

using UniqueHmenu = UniqueResource<SimpleResourceTraits<HMENU, &::DestroyMenu>>;

inline constexpr unsigned kTrayMenuId = 229;

// Menu `menuId` in the current language, or as the user default when that language has
// no copy, its command items carrying their icons as bitmaps on Windows Vista and later;
// separators and popups get none. Empty when the menu resource is missing.
UniqueHmenu LoadMenuWithItemImages(unsigned menuId);

// The tray menu, 229, as above.
UniqueHmenu LoadTrayMenu();

// The bitmap of menu command `commandId`: its icon at the small-icon size on the menu
// colour, made once and kept for the run. Null when there is no such icon.
HBITMAP MenuItemBitmap(unsigned commandId);
