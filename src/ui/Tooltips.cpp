#include "ui/Tooltips.h"

#include "ui/Localization.h"

#include <algorithm>

namespace {

constexpr LONG kMaximumTipWidth = 400;

// The inner control of a composite control (the combo box inside a ComboBoxEx) carries
// the same id and is the window the mouse is over.
HWND ToolWindowOf(HWND control) {
    const int id = ::GetDlgCtrlID(control);
    for (HWND inner = ::GetWindow(control, GW_CHILD); inner; inner = ::GetWindow(inner, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(inner) == id) {
            return inner;
        }
    }
    return control;
}

} // namespace

HWND CreateTooltips(HWND dialog) {
    HWND tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                                     nullptr, ResourceModule(), nullptr);
    if (!tooltip) {
        return nullptr;
    }
    ::SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kMaximumTipWidth);
    const auto autoPop = static_cast<LONG>(::SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    // The delay travels as a 16-bit value.
    const auto longerAutoPop = static_cast<WORD>(std::clamp<LONG>(autoPop * 2, 0, 0x7FFF));
    ::SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(longerAutoPop, 0));

    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == tooltip) {
            continue;
        }
        TOOLINFOW tool{};
        // The size every version of the common controls accepts; the fields used here
        // all lie within it.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(ToolWindowOf(child));
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tooltip;
}

bool HandleTooltipNotify(NMHDR* notification) {
    if (!notification || notification->code != TTN_GETDISPINFOW) {
        return false;
    }
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(notification);
    const unsigned controlId =
        (request->uFlags & TTF_IDISHWND)
            ? static_cast<unsigned>(::GetDlgCtrlID(reinterpret_cast<HWND>(notification->idFrom)))
            : static_cast<unsigned>(notification->idFrom);
    const wchar_t* text = LoadText(controlId);
    if (*text == L'\0') {
        return false;
    }
    request->lpszText = const_cast<wchar_t*>(text);
    request->szText[0] = L'\0';
    request->hinst = nullptr;
    return true;
}
