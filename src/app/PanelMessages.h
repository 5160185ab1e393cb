#pragma once

#include <windows.h>

// The panel's own messages, posted to it from its other threads and by itself; numbered in
// one place so that no two share a number.

// Posted by the quiet update check when it ends, with RunUpdate's result in wParam.
inline constexpr UINT kUpdateCheckDoneMessage = WM_APP + 1;
// Posted by the panel to itself: accepted command-line requests run outside the sender's call.
inline constexpr UINT kRunRemoteCommandsMessage = WM_APP + 2;
// Posted by a command's thread: a value (wParam the parameter, lParam the value) went to
// every monitor, and the slider and the tray icon follow.
inline constexpr UINT kCommandValueShownMessage = WM_APP + 3;
