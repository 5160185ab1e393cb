#pragma once

#include <windows.h>

#include <cstdint>

// Finds the screen rectangle of the program's own icon in the notification area, so that
// the panel can be placed above it before it is first shown.

// 0 when idle; 1 while a probe's mouse move is on its way to a toolbar button; the tray
// callback turns 1 into 2 when the move reached the program's own icon. Main thread only.
extern uint32_t trayProbeState;

// The first "ToolbarWindow32" inside the first "TrayNotifyWnd" inside the task bar
// "Shell_TrayWnd"; the notification area itself when it holds no toolbar; null without a
// task bar or notification area.
HWND FindTrayToolbar();
// The same below a given task bar window (tests build a task bar of their own).
HWND FindTrayToolbarIn(HWND taskbar);

// The rectangle of the icon `iconId` of `iconWindow`: asked of the shell first
// (Shell_NotifyIconGetRect, looked up at run time), otherwise found by probing the buttons
// of the notification area's toolbar. False when neither finds it.
bool LocateTrayIcon(HWND iconWindow, UINT iconId, RECT& rect);
// The toolbar probe alone, on a given toolbar.
bool LocateTrayIconInToolbar(HWND toolbar, RECT& rect);
