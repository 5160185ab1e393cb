#include "app/PanelDialog.h"

#include "app/Application.h"
#include "app/MonitorOffThread.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/SettingsStore.h"

PanelDialog panelDialog;

namespace {
constexpr wchar_t kPanelWindowClass[] = L"OrvaluxPanel";
} // namespace

HWND PanelDialog::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &PanelDialog::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kPanelWindowClass;
    ::RegisterClassExW(&windowClass); // fails harmlessly when registered by an earlier pass

    // Top-level (not message-only): broadcasts such as the monitor-off request and
    // WM_DISPLAYCHANGE reach only top-level windows.
    const HWND created = ::CreateWindowExW(WS_EX_TOOLWINDOW, kPanelWindowClass, L"Orvalux", WS_POPUP, 0, 0, 0,
                                           0, nullptr, nullptr, instance, this);
    if (created) {
        if (window) {
            // The first window stays as the target of what was registered for it; a
            // window between the first and the newest serves nothing any more.
            if (!firstWindow) {
                firstWindow = window;
            } else {
                ::DestroyWindow(window);
            }
        }
        window = created;
        SyncSliders();
    }
    return created;
}

void PanelDialog::SyncSliders() {
    for (DisplayMonitor* display : displayMonitors) {
        display->SetBrightness(display->BrightnessPercent());
    }
}

void PanelDialog::Destroy() {
    if (window) {
        ::DestroyWindow(window);
        window = nullptr;
    }
    if (firstWindow) {
        ::DestroyWindow(firstWindow);
        firstWindow = nullptr;
    }
}

LRESULT CALLBACK PanelDialog::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PanelDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT PanelDialog::HandleMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT monitorOffRequest = ::RegisterWindowMessageW(kMonitorOffMessageName);
    if (message == monitorOffRequest && monitorOffRequest != 0) {
        // The broadcast reaches earlier panel windows too; one answer is enough.
        if (target == window) {
            StartMonitorOff();
        }
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
        ::PostQuitMessage(0);
        return 0;
    case WM_TIMER:
        if (wParam == kReapplyTimerId) {
            ::KillTimer(target, kReapplyTimerId);
            ReapplyMonitorValues();
        }
        return 0;
    case WM_DISPLAYCHANGE:
        // One rebuild per burst: a change that arrives while a rebuild is already due
        // (the teardown dispatches messages) must not leave a second quit request behind,
        // which would end the next pass's loop as if the user had chosen Exit.
        if (!rebuildRequested) {
            rebuildRequested = true;
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        return ::DefWindowProcW(target, message, wParam, lParam);
    }
}
