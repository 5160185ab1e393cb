// The smallest resident Win32 program that starts the system parts Orvalux starts: the
// common controls, a COM apartment, GDI+, one hidden window and a message loop. The panel
// benchmark measures its memory as the floor under the real program's; started with "tray"
// it also adds one notification icon, the floor under the program's start-up to its icon.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <cwchar>

namespace {

// The class the benchmark finds the window by.
constexpr wchar_t kWindowClass[] = L"OrvaluxMinimalResident";
constexpr DWORD kAllCommonControlClasses = 0xC2FF; // as the program asks for

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassW(&windowClass);
    const HWND window =
        ::CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    const bool tray = commandLine && ::wcsstr(commandLine, L"tray") != nullptr;
    if (tray) {
        ::Shell_NotifyIconW(NIM_ADD, &icon);
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (tray) {
        ::Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    ::DestroyWindow(window);
    Gdiplus::GdiplusShutdown(gdiplus);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return 0;
}
