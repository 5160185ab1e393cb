#include "ui/PopupDialog.h"

#include "ui/PopupRules.h"
#include "ui/Tooltips.h"
#include "ui/framework/Dpi.h"

CPopupDlg::CPopupDlg(COLORREF key) : colorKey(key), keyBrush(::CreateSolidBrush(key)) {}

void CPopupDlg::CreateTrackingTooltips(HWND control) {
    tooltip = CreateTooltips(window);
    toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    toolInfo.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    toolInfo.hwnd = window;
    toolInfo.uId = reinterpret_cast<UINT_PTR>(control);
    if (tooltip) {
        ::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&toolInfo));
    }
}

void CPopupDlg::PlaceAtAnchor(bool horizontal) {
    RECT anchor{};
    RECT popup{};
    ::GetWindowRect(Anchor(), &anchor);
    ::GetWindowRect(window, &popup);
    const IntPoint origin =
        SliderPopupOrigin({anchor.left, anchor.top, anchor.right, anchor.bottom}, popup.right - popup.left,
                          popup.bottom - popup.top, horizontal, WindowDpi(window));
    ::SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    placed = true;
    placedHorizontal = horizontal;
}

void CPopupDlg::PlaceAgain() {
    if (placed) {
        PlaceAtAnchor(placedHorizontal);
    }
}

LRESULT CPopupDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    const LRESULT result = CDlgWnd::OnDpiChanged(dpi, suggested);
    PlaceAgain();
    ::InvalidateRect(window, nullptr, TRUE);
    return result;
}

void CPopupDlg::TrackTooltip(bool on) {
    if (!tooltip) {
        return;
    }
    // A tracking tooltip follows the value; the balloon look is for the hint only.
    const LONG_PTR style = ::GetWindowLongPtrW(tooltip, GWL_STYLE);
    if (on) {
        ::SetWindowLongPtrW(tooltip, GWL_STYLE, style & ~static_cast<LONG_PTR>(TTS_BALLOON));
    }
    ::SendMessageW(tooltip, TTM_TRACKACTIVATE, on ? TRUE : FALSE, reinterpret_cast<LPARAM>(&toolInfo));
    if (!on) {
        ::SetWindowLongPtrW(tooltip, GWL_STYLE, style | TTS_BALLOON);
    }
}

INT_PTR CPopupDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(keyBrush.get());
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNSHADOW));
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            ::SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
            CDlgWnd::DialogProc(dialog, message, wParam, lParam);
            return TRUE;
        }
        // A click elsewhere takes the result; the anchor's window decides about itself as
        // if it had lost the activation, unless it is its own button that gains it.
        if (reinterpret_cast<HWND>(lParam) != Anchor()) {
            ::PostMessageW(::GetParent(Anchor()), WM_ACTIVATE, wParam, lParam);
        }
        EndModal(CurrentResult());
        return TRUE;
    default:
        return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
    }
}

bool CPopupDlg::EndOnOkOrCancel(WORD id) {
    if (id == IDOK) {
        EndModal(CurrentResult());
        return true;
    }
    if (id == IDCANCEL) {
        MarkCancelled();
        EndModal(kModalCancelled);
        return true;
    }
    return false;
}

LRESULT CPopupSlider::OnLButtonDown(WPARAM keys, int x, int y) {
    CTrackSlider::OnLButtonDown(keys, x, y);
    popup_.TrackTooltip(true);
    return 0; // the trackbar handles the press as usual
}

LRESULT CPopupSlider::OnLButtonUp(WPARAM keys, int x, int y) {
    popup_.TrackTooltip(false);
    CTrackSlider::OnLButtonUp(keys, x, y);
    if (closeOnRelease) {
        ::SendMessageW(popup_.Window(), WM_COMMAND, IDOK, 0);
    }
    return 0;
}
