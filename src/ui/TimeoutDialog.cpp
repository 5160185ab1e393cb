#include "ui/TimeoutDialog.h"

#include "ui/PopupRules.h"
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

} // namespace

CTimeoutDlg::CTimeoutDlg(uint32_t currentDelayMs)
    // The button-shadow colour one step off: a colour nothing else on the popup uses.
    : CPopupDlg(GreenStepColorKey(::GetSysColor(COLOR_BTNSHADOW))),
      value(static_cast<int32_t>(currentDelayMs > kMaximumDelayMs ? kMaximumDelayMs : currentDelayMs)) {}

UINT CTimeoutDlg::GetTemplateId() const {
    return kTemplateId;
}

INT_PTR CTimeoutDlg::Run(HWND anchor) {
    return DoModal(nullptr, reinterpret_cast<LPARAM>(anchor));
}

INT_PTR CTimeoutDlg::OnInitDialog(WPARAM, LPARAM) {
    ::SetLayeredWindowAttributes(window, colorKey, 255, LWA_COLORKEY);
    const HWND trackbar = ::GetDlgItem(window, IDC_REAPPLY_DELAY_SLIDER);
    CreateTrackingTooltips(trackbar);
    slider.Attach(trackbar, 0, kMaximumDelayMs, kLineStepMs, kPageStepMs, kTopColor, kBottomColor, false);
    SetValue(value);

    PlaceAtAnchor(false);
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

LRESULT CTimeoutDlg::OnCommand(WPARAM wParam, LPARAM) {
    return EndOnOkOrCancel(LOWORD(wParam)) ? 1 : 0;
}

INT_PTR CTimeoutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    return CPopupDlg::DialogProc(dialog, message, wParam, lParam);
}
