#pragma once

#include <windows.h>

#include <cstdint>

// Icon `id` at `size` x `size` pixels, drawn down from the nearest larger picture of the
// icon. Kept for the whole process, as a shared icon is: never destroyed by the caller.
// Null when missing.
HICON IconAtSize(WORD id, int size);

// Icon `id` at the small-icon size of the monitor `window` is on (16 pixels at 100 %).
HICON LoadSmallIcon(WORD id, HWND window);

// Puts small icon `iconId` on push button `controlId` of `dialog`; before Vista the button
// needs the icon style for it. Nothing happens when the button or the icon is missing.
void SetButtonIcon(HWND dialog, int controlId, WORD iconId);
