#include "ui/framework/CWnd.h"

#include <windowsx.h>

CWnd* CWnd::FromWindow(HWND target) {
    return target ? static_cast<CWnd*>(::GetPropA(target, kWindowObjectProperty)) : nullptr;
}

void CWnd::BindProperty(HWND target) {
    ::SetPropA(target, kWindowObjectProperty, static_cast<HANDLE>(this));
}

void CWnd::Subclass(HWND control) {
    window = control;
    if (!control) {
        return;
    }
    BindProperty(control);
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (current != &SharedSubclassProcedure) {
        previousProcedure = current;
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedSubclassProcedure));
    }
}

// The one place that maps messages to handlers.
LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT handled = 0;
    switch (message) {
    case WM_GETDLGCODE:
        if (const LRESULT code = OnGetDlgCode(wParam, lParam)) {
            return code;
        }
        break;
    case WM_SYSKEYDOWN:
        handled = OnSysKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYDOWN:
        handled = OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        handled = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        break;
    case WM_PAINT:
        handled = OnPaint();
        break;
    case WM_COMMAND:
        handled = OnCommand(wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
        handled = OnLButtonDown(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_LBUTTONUP:
        handled = OnLButtonUp(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_DPICHANGED:
        if (lParam) {
            handled = OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        }
        break;
    default:
        break;
    }
    if (handled) {
        return 0;
    }
    return previousProcedure ? ::CallWindowProcW(previousProcedure, window, message, wParam, lParam) : 0;
}

LRESULT CWnd::OnDpiChanged(UINT, const RECT& suggested) {
    if (window) {
        ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

LRESULT CWnd::OnCommand(WPARAM, LPARAM) {
    return 0;
}
LRESULT CWnd::OnGetDlgCode(WPARAM, LPARAM) {
    return 0;
}
LRESULT CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    return 0;
}
LRESULT CWnd::OnKeyDown(UINT, UINT, UINT) {
    return 0;
}
LRESULT CWnd::OnEraseBkgnd(HDC) {
    return 0;
}
LRESULT CWnd::OnPaint() {
    return 0;
}
INT_PTR CWnd::OnInitDialog(WPARAM, LPARAM) {
    return 1;
}
INT_PTR CWnd::OnActivate(UINT, HWND, UINT) {
    return 0;
}
LRESULT CWnd::OnLButtonDown(WPARAM, int, int) {
    return 0;
}
LRESULT CWnd::OnLButtonUp(WPARAM, int, int) {
    return 0;
}
LRESULT CWnd::OnCustomDraw(NMCUSTOMDRAW*) {
    return 0;
}

LRESULT CALLBACK SharedSubclassProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CWnd* object = CWnd::FromWindow(control);
    if (!object || !object->previousProcedure) {
        return ::DefWindowProcW(control, message, wParam, lParam);
    }
    // After a rebuild the object serves the newest control; an older one it was bound to
    // behaves as the plain control rather than acting on another window's behalf.
    if (object->window != control) {
        return ::CallWindowProcW(object->previousProcedure, control, message, wParam, lParam);
    }
    try {
        return object->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}
