#pragma once

#include <windows.h>

// Icon `id` at the small-icon size, shared (never destroyed), or null when missing.
HICON LoadSmallIcon(WORD id);

// Puts small icon `iconId` on push button `controlId` of `dialog`; before Vista the button
// needs the icon style for it. Nothing happens when the button or the icon is missing.
void SetButtonIcon(HWND dialog, int controlId, WORD iconId);
