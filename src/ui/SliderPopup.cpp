#include "ui/SliderPopup.h"

#include "ui/DialogTemplate.h"
#include "ui/Localization.h"
#include "ui/PopupRules.h"
#include "ui/framework/Dpi.h"

#include <algorithm>
#include <cwchar>
#include <limits>

namespace {

constexpr size_t kTemplateBlockSize = 1024;
constexpr uint16_t kSliderId = 1000;
constexpr uint32_t kPopupStyle = WS_POPUP;
constexpr uint32_t kPopupExtendedStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_COMPOSITED;
constexpr uint32_t kSliderStyle = WS_CHILD | WS_VISIBLE | TBS_NOTICKS;
constexpr uint32_t kSliderExtendedStyle = WS_EX_TRANSPARENT;

// Keeps a global block locked while its memory is in use.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) : block_(block), memory_(::GlobalLock(block)) {}
    ~GlobalLockScope() {
        if (memory_) {
            ::GlobalUnlock(block_);
        }
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    void* get() const { return memory_; }

private:
    HGLOBAL block_;
    void* memory_;
};

int16_t ToTemplateUnits(int32_t units) {
    return static_cast<int16_t>(std::clamp<int32_t>(units, 0, std::numeric_limits<int16_t>::max()));
}

} // namespace

CSliderPopup::CSliderPopup(HWND anchorControl, uint32_t initialValue)
    // The face colour one step off: a colour nothing else on the popup uses.
    : CPopupDlg(BlueStepColorKey(::GetSysColor(COLOR_3DFACE))), value(initialValue), anchor(anchorControl) {}

INT_PTR CSliderPopup::DoModal(HWND owner, LPARAM parameter) {
    if (parameter) {
        anchor = reinterpret_cast<HWND>(parameter);
    }
    UniqueHglobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kTemplateBlockSize));
    if (!block) {
        return -1;
    }
    GlobalLockScope memory(block.get());
    if (!memory.get()) {
        return -1;
    }
    RECT client{};
    ::GetClientRect(anchor, &client);
    const DialogUnitSize size = SliderPopupSize(client.right - client.left, LOWORD(::GetDialogBaseUnits()),
                                                horizontal, WindowDpi(anchor));
    SingleControlTemplate description;
    description.style = kPopupStyle;
    description.extendedStyle = kPopupExtendedStyle;
    description.width = ToTemplateUnits(size.width);
    description.height = ToTemplateUnits(size.height);
    description.controlId = kSliderId;
    description.controlClass = u"msctls_trackbar32";
    description.controlStyle = kSliderStyle | (horizontal ? TBS_TOP : TBS_VERT);
    description.controlExtendedStyle = kSliderExtendedStyle;
    if (WriteSingleControlTemplate({static_cast<std::byte*>(memory.get()), kTemplateBlockSize},
                                   description) == 0) {
        return -1;
    }
    return CDlgWnd::DoModalIndirect(owner, static_cast<const DLGTEMPLATE*>(memory.get()),
                                    reinterpret_cast<LPARAM>(anchor));
}

INT_PTR CSliderPopup::DoModalIndirect(HWND owner, const DLGTEMPLATE*, LPARAM parameter) {
    return DoModal(owner, parameter);
}

INT_PTR CSliderPopup::OnInitDialog(WPARAM, LPARAM) {
    // Unseen until its first paint has made the background transparent.
    ::SetLayeredWindowAttributes(window, colorKey, 0, LWA_COLORKEY | LWA_ALPHA);
    const HWND trackbar = ::GetDlgItem(window, kSliderId);
    CreateTrackingTooltips(trackbar);
    const uint32_t span = maximum - minimum;
    slider.closeOnRelease = closeOnRelease;
    slider.Attach(trackbar, static_cast<int>(minimum), static_cast<int>(maximum),
                  static_cast<int>(std::max<uint32_t>(span / 100, 1)),
                  static_cast<int>(std::max<uint32_t>(span / 10, 1)), color1 ? color1 : 0xFF000000,
                  color2 ? color2 : 0xFFFFFFFF, wedge);
    SetValue(value, false);
    PlaceAtAnchor(horizontal);
    SnapPointerToThumb();
    ::SetForegroundWindow(window);
    ::SetFocus(trackbar);
    return FALSE; // the focus is set
}

void CSliderPopup::SnapPointerToThumb() const {
    // The user's "move the pointer to the default button" mouse setting.
    wchar_t setting[8] = L"0";
    DWORD size = sizeof(setting);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"SnapToDefaultButton", RRF_RT_REG_SZ,
                       nullptr, setting, &size) != ERROR_SUCCESS) {
        return;
    }
    if (std::wcscmp(setting, L"0") == 0) {
        return;
    }
    RECT thumb{};
    const HWND trackbar = slider.Window();
    ::SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT centre{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ::ClientToScreen(trackbar, &centre);
    ::SetCursorPos(centre.x, centre.y);
}

LRESULT CSliderPopup::OnEraseBkgnd(HDC deviceContext) {
    RECT client{};
    ::GetClientRect(window, &client);
    ::FillRect(deviceContext, &client, keyBrush.get());
    ::SetLayeredWindowAttributes(window, colorKey, 255, LWA_COLORKEY);
    return 1;
}

void CSliderPopup::SetValue(uint32_t newValue, bool report) {
    value = newValue;
    slider.SetLogicalPosition(LogicalPositionForValue(static_cast<int32_t>(newValue),
                                                      static_cast<int32_t>(minimum),
                                                      static_cast<int32_t>(maximum), horizontal));
    if (format) {
        format(newValue, valueText);
    }
    if (tooltip) {
        ::SendMessageW(tooltip, TTM_UPDATE, 0, 0);
    }
    if (report && anchor) {
        ::SetPropW(anchor, kSliderPopupValueProperty,
                   reinterpret_cast<HANDLE>(static_cast<uintptr_t>(newValue)));
        ::SendMessageW(::GetParent(anchor), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(anchor), kSliderPopupValueReport),
                       reinterpret_cast<LPARAM>(anchor));
    }
}

bool CSliderPopup::AnswerTooltipRequest(NMTTDISPINFOW* request) {
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(request->hdr.idFrom)) != kSliderId) {
        return false;
    }
    if (slider.dragging && format) {
        request->lpszText = valueText.data();
    } else if (tooltipStringId != 0) {
        request->lpszText = const_cast<wchar_t*>(LoadText(tooltipStringId));
    } else {
        request->lpszText = nullptr;
        request->szText[0] = L'\0';
    }
    request->hinst = nullptr;
    return true;
}

INT_PTR CSliderPopup::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        auto* notification = reinterpret_cast<NMHDR*>(lParam);
        if (notification && notification->code == TTN_GETDISPINFOW) {
            return AnswerTooltipRequest(reinterpret_cast<NMTTDISPINFOW*>(notification)) ? TRUE : FALSE;
        }
        return ForwardCustomDraw(dialog, notification) ? TRUE : FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (IsSliderMoveCode(LOWORD(wParam))) {
            SetValue(static_cast<uint32_t>(
                         ValueForLogicalPosition(slider.LogicalPosition(), static_cast<int32_t>(minimum),
                                                 static_cast<int32_t>(maximum), horizontal)),
                     true);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CPopupDlg::DialogProc(dialog, message, wParam, lParam);
}

LRESULT CSliderPopup::OnCommand(WPARAM wParam, LPARAM) {
    return EndOnOkOrCancel(LOWORD(wParam)) ? 1 : 0;
}
