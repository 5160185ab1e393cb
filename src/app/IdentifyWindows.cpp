#include "app/IdentifyWindows.h"

#include "common/GdiResources.h"

#include <string>

namespace {

constexpr wchar_t kIdentifyClass[] = L"OrvaluxIdentify";
constexpr UINT_PTR kCloseTimerId = 1;
constexpr UINT kShownMs = 2000;
constexpr int kSide = 220;
constexpr COLORREF kBackground = RGB(32, 40, 56);
constexpr COLORREF kNumber = RGB(255, 204, 51);

using UniqueHfont = UniqueResource<SimpleResourceTraits<HFONT, &::DeleteObject>>;

// The windows shown now, so that a second Identify replaces them (main thread only).
std::vector<HWND> shownWindows;

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    const HDC context = ::BeginPaint(window, &paint);
    RECT client{};
    ::GetClientRect(window, &client);
    const UniqueHbrush background(::CreateSolidBrush(kBackground));
    ::FillRect(context, &client, background.get());
    const UniqueHfont font(::CreateFontW(-kSide * 3 / 4, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI"));
    {
        const SelectionScope selected(context, font.get());
        ::SetBkMode(context, TRANSPARENT);
        ::SetTextColor(context, kNumber);
        const std::wstring number = std::to_wstring(::GetWindowLongPtrW(window, GWLP_USERDATA));
        ::DrawTextW(context, number.c_str(), static_cast<int>(number.size()), &client,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::EndPaint(window, &paint);
}

LRESULT CALLBACK IdentifyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimerId) {
            ::DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        std::erase(shownWindows, window);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void ShowMonitorNumbers(const std::vector<RECT>& areas) {
    for (const HWND window : std::vector<HWND>(shownWindows)) {
        ::DestroyWindow(window);
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &IdentifyProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kIdentifyClass;
    ::RegisterClassW(&windowClass); // fails harmlessly once registered
    for (size_t i = 0; i < areas.size(); ++i) {
        const RECT& area = areas[i];
        const int x = (area.left + area.right - kSide) / 2;
        const int y = (area.top + area.bottom - kSide) / 2;
        const HWND window =
            ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kIdentifyClass, L"",
                              WS_POPUP, x, y, kSide, kSide, nullptr, nullptr, instance, nullptr);
        if (!window) {
            continue;
        }
        shownWindows.push_back(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(i + 1));
        ::SetTimer(window, kCloseTimerId, kShownMs, nullptr);
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
    }
}
