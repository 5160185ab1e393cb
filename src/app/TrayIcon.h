#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <cstdint>

// The program's one icon in the notification area, showing the brightness in nine levels.

// The record of every add, modify and delete; its window is the panel of the add.
extern NOTIFYICONDATAW trayIconData;
// Level icons 0..8: the application icon, then 241..248.
extern std::array<HICON, 9> trayIcons;

inline constexpr unsigned kUpdateAvailableTextId = 1051;
inline constexpr unsigned kCheckForUpdatesTextId = 1052;
inline constexpr unsigned kUpdateWaitingTextId = 1053;

// Loads the nine level icons at the small-icon size.
void LoadTrayIcons();
// Adds the icon for `panel` with the reference monitor's brightness level: up to nine
// attempts a second apart while the shell is not ready.
void AddTrayIcon(HWND panel);
// Shows the level of `percent` (0..100).
void SetTrayLevel(uint32_t percent);
// Removes the icon (at exit, never on a rebuild).
void RemoveTrayIcon();
// Announces a newer version in a balloon on the icon.
void ShowUpdateBalloon();
// Builds and runs the context menu; the chosen command arrives at `panel` as WM_COMMAND.
void ShowTrayMenu(HWND panel, bool updateAvailable, bool checkForUpdatesEnabled);

// Owner-drawn menu icons, used before Windows Vista only: the results to return.
INT_PTR MeasureMenuItem(MEASUREITEMSTRUCT& item);
INT_PTR DrawMenuItem(const DRAWITEMSTRUCT& item);
