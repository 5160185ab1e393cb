// Wine's stand-alone notification area, read from outside the program that shows an icon.
#pragma once

#include <windows.h>

#include <cwchar>

namespace test_support {

// Icons in Wine's notification area: each a child window of its stand-alone tray.
inline size_t TrayIconCount() {
    const HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    if (!tray) {
        return 0; // EnumChildWindows would walk every top-level window instead
    }
    size_t count = 0;
    ::EnumChildWindows(
        tray,
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            *reinterpret_cast<size_t*>(data) += std::wcscmp(name, L"__winex11_tray_icon") == 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace test_support
