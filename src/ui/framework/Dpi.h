#pragma once

#include <windows.h>

#include <cstdint>

// The scale a window is shown at. The per-monitor calls exist from Windows 10 (1607) on and
// are looked up at run time; before that every window has the system's DPI.

// The DPI of the monitor `window` is on (the system DPI without the per-monitor calls),
// kept to 96..480.
uint32_t WindowDpi(HWND window);
// The DPI of the primary monitor, which the notification area follows.
uint32_t SystemDpi();
// A system metric (SM_CXSMICON, ...) at `dpi`.
int SystemMetricForDpi(int index, uint32_t dpi);
