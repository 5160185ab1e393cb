#include "ui/framework/Dpi.h"

#include "ui/framework/DpiRules.h"

namespace {

template <typename Function> Function LookUpUser32(const char* name) {
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

const GetDpiForWindowFunction getDpiForWindow = LookUpUser32<GetDpiForWindowFunction>("GetDpiForWindow");
const GetDpiForSystemFunction getDpiForSystem = LookUpUser32<GetDpiForSystemFunction>("GetDpiForSystem");
const GetSystemMetricsForDpiFunction getSystemMetricsForDpi =
    LookUpUser32<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");

} // namespace

uint32_t SystemDpi() {
    if (getDpiForSystem) {
        return ClampDpi(getDpiForSystem());
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return ClampDpi(dpi > 0 ? static_cast<uint32_t>(dpi) : kBaseDpi);
}

uint32_t WindowDpi(HWND window) {
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) {
            return ClampDpi(dpi);
        }
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, uint32_t dpi) {
    if (getSystemMetricsForDpi) {
        return getSystemMetricsForDpi(index, ClampDpi(dpi));
    }
    // The metrics are those of the system DPI: carry them over to the one asked for.
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(ClampDpi(dpi)),
                    static_cast<int>(SystemDpi()));
}
