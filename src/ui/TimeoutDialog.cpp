#include "ui/TimeoutDialog.h"

#include "ui/Localization.h"
#include "ui/Tooltips.h"

#include "resource.h"

#include <cwchar>

namespace {

constexpr UINT kTemplateId = IDD_REAPPLY_DELAY;
constexpr int kMaximumDelayMs = 10000;
constexpr int kLineStepMs = 100;
constexpr int kPageStepMs = 1000;
constexpr uint32_t kTopColor = 0xFF50FF50;
constexpr uint32_t kBottomColor = 0xFFC88282;

// The button-shadow colour with its green one step on (wrapping): a colour nothing else
// on the popup uses, made transparent by the layered window.
COLORREF ColorKey() {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    return RGB(GetRValue(shadow), static_cast<BYTE>(GetGValue(shadow) + 1), GetBValue(shadow));
}

} // namespace

CTimeoutDlg::CTimeoutDlg(uint32_t currentDelayMs)
    : value(static_cast<int32_t>(currentDelayMs > kMaximumDelayMs ? kMaximumDelayMs : currentDelayMs)),
      colorKey(ColorKey()), keyBrush(::CreateSolidBrush(colorKey)) {}

CTimeoutDlg::~CTimeoutDlg() = default;

UINT CTimeoutDlg::GetTemplateId() const {
    return kTemplateId;
}

INT_PTR CTimeoutDlg::Run(HWND anchor) {
    return DoModal(nullptr, reinterpret_cast<LPARAM>(anchor));
}

INT_PTR CTimeoutDlg::OnInitDialog(WPARAM, LPARAM) {
    ::SetLayeredWindowAttributes(window, colorKey, 255, LWA_COLORKEY);
    const HWND trackbar = ::GetDlgItem(window, IDC_REAPPLY_DELAY_SLIDER);
    tooltip = CreateTooltips(window);
    toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    toolInfo.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    toolInfo.hwnd = window;
    toolInfo.uId = reinterpret_cast<UINT_PTR>(trackbar);
    ::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&toolInfo));
    slider.Attach(trackbar, 0, kMaximumDelayMs, kLineStepMs, kPageStepMs, kTopColor, kBottomColor, false);
    SetValue(value);

    RECT anchor{};
    RECT popup{};
    ::GetWindowRect(Anchor(), &anchor);
    ::GetWindowRect(window, &popup);
    ::SetWindowPos(window, nullptr, anchor.right - 3,
                   (anchor.top + anchor.bottom) / 2 - (popup.bottom - popup.top) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    ::SetForegroundWindow(window);
    ::SetFocus(trackbar);
    return FALSE; // the focus is set
}

void CTimeoutDlg::SetValue(int32_t milliseconds) {
    value = milliseconds;
    slider.SetLogicalPosition(milliseconds);
    wchar_t text[32];
    std::swprintf(text, 32, L"%0.1f s", static_cast<double>(static_cast<float>(milliseconds) * 0.001f));
    valueText = text;
    if (tooltip) {
        ::SendMessageW(tooltip, TTM_UPDATE, 0, 0);
    }
}

void CTimeoutDlg::TrackTooltip(bool on) {
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

LRESULT CTimeoutDlg::Slider::OnLButtonDown(WPARAM keys, int x, int y) {
    CTrackSlider::OnLButtonDown(keys, x, y);
    owner_.TrackTooltip(true);
    return 0;
}

LRESULT CTimeoutDlg::Slider::OnLButtonUp(WPARAM keys, int x, int y) {
    owner_.TrackTooltip(false);
    CTrackSlider::OnLButtonUp(keys, x, y);
    return 0;
}

LRESULT CTimeoutDlg::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        ::EndDialog(window, value);
        return 1;
    case IDCANCEL:
        value = -1;
        ::EndDialog(window, -1);
        return 1;
    default:
        return 0;
    }
}

INT_PTR CTimeoutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
            return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
        }
        // A click elsewhere takes the value; the panel decides about itself as if it had
        // lost the activation, unless it is its own button that gains it.
        if (reinterpret_cast<HWND>(lParam) != Anchor()) {
            ::PostMessageW(::GetParent(Anchor()), WM_ACTIVATE, wParam, lParam);
        }
        ::EndDialog(dialog, value);
        return TRUE;
    case WM_NOTIFY: {
        auto* notification = reinterpret_cast<NMHDR*>(lParam);
        if (HandleTooltipNotify(notification)) {
            if (::GetDlgCtrlID(reinterpret_cast<HWND>(notification->idFrom)) == IDC_REAPPLY_DELAY_SLIDER &&
                slider.dragging) {
                reinterpret_cast<NMTTDISPINFOW*>(notification)->lpszText = valueText.data();
            }
            return TRUE;
        }
        return ForwardCustomDraw(dialog, notification) ? TRUE : FALSE;
    }
    case WM_VSCROLL:
        if (IsSliderMoveCode(LOWORD(wParam))) {
            SetValue(slider.LogicalPosition());
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
}
