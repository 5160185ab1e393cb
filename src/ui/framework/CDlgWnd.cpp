#include "ui/framework/CDlgWnd.h"

#include "ui/DialogTexts.h"
#include "ui/Localization.h"

#include <cstdint>

namespace {

constexpr WORD kApplicationIconId = 100;

// The device context of a whole window, frame included, released on every path.
class WindowDeviceContext {
public:
    explicit WindowDeviceContext(HWND window) : window_(window), context_(::GetWindowDC(window)) {}
    ~WindowDeviceContext() {
        if (context_) {
            ::ReleaseDC(window_, context_);
        }
    }
    WindowDeviceContext(const WindowDeviceContext&) = delete;
    WindowDeviceContext& operator=(const WindowDeviceContext&) = delete;
    HDC get() const { return context_; }

private:
    HWND window_;
    HDC context_;
};

} // namespace

CDlgWnd::CDlgWnd() : dwm(LoadSystemDwmApi()) {}

CDlgWnd::~CDlgWnd() = default;

bool CDlgWnd::IsCompositionEnabled() const {
    return dwm && dwm->IsCompositionEnabled();
}

bool CDlgWnd::HasFrameMargins() const {
    return frameMargins.cxLeftWidth != 0 || frameMargins.cxRightWidth != 0 || frameMargins.cyTopHeight != 0 ||
           frameMargins.cyBottomHeight != 0;
}

INT_PTR CDlgWnd::SetDialogResult(HWND dialog, INT_PTR result) {
    // Written only when it changes: every message passes here, and under Wine each write
    // is a round trip to its server.
    if (::GetWindowLongPtrW(dialog, DWLP_MSGRESULT) != result) {
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    }
    return result;
}

bool CDlgWnd::ForwardCustomDraw(HWND dialog, NMHDR* notification) {
    if (!notification || notification->code != static_cast<UINT>(NM_CUSTOMDRAW)) {
        return false;
    }
    CWnd* control = CWnd::FromWindow(notification->hwndFrom);
    if (!control) {
        return false;
    }
    SetDialogResult(dialog, control->OnCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(notification)));
    return true;
}

INT_PTR CDlgWnd::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return SetDialogResult(dialog, OnInitDialog(wParam, lParam));
    case WM_COMMAND:
        return SetDialogResult(dialog, static_cast<int32_t>(OnCommand(wParam, lParam)));
    case WM_DWMCOMPOSITIONCHANGED:
        if (IsCompositionEnabled()) {
            dwm->ExtendFrameIntoClientArea(dialog, frameMargins);
        }
        return SetDialogResult(dialog, 0);
    case WM_NCPAINT:
        if (IsCompositionEnabled()) {
            PaintFrameBands(dialog);
        }
        return SetDialogResult(dialog, 0);
    case WM_SIZE:
        if (IsCompositionEnabled()) {
            // Same place and size: only the frame is calculated again.
            ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        return SetDialogResult(dialog, 0);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && IsCompositionEnabled() && HasFrameMargins()) {
            dwm->ExtendFrameIntoClientArea(dialog, frameMargins);
        }
        return SetDialogResult(dialog,
                               OnActivate(HIWORD(wParam), reinterpret_cast<HWND>(lParam), LOWORD(wParam)));
    case WM_NCCALCSIZE:
        if (wParam && IsCompositionEnabled()) {
            // The result is the calculation itself, not a message result.
            RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
            client.left += frameMargins.cxLeftWidth;
            client.top += frameMargins.cyTopHeight;
            client.right -= frameMargins.cxRightWidth;
            client.bottom -= frameMargins.cyBottomHeight;
            return WVR_REDRAW;
        }
        return SetDialogResult(dialog, 0);
    default:
        return SetDialogResult(dialog, WindowProc(message, wParam, lParam));
    }
}

void CDlgWnd::PaintFrameBands(HWND dialog) const {
    RECT bounds;
    if (!::GetWindowRect(dialog, &bounds)) {
        return;
    }
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    WindowDeviceContext context(dialog);
    if (!context.get()) {
        return;
    }
    const auto black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    if (frameMargins.cxLeftWidth < 0) {
        const RECT whole{0, 0, width, height};
        ::FillRect(context.get(), &whole, black);
        return;
    }
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const RECT bands[] = {
        {0, 0, frameMargins.cxLeftWidth - frame.left, height},
        {width - frameMargins.cxRightWidth - frame.right, 0, width, height},
        {0, 0, width, frameMargins.cyTopHeight - frame.top},
        {0, height - frameMargins.cyBottomHeight - frame.bottom, width, height},
    };
    for (const RECT& band : bands) {
        ::FillRect(context.get(), &band, black);
    }
}

void CDlgWnd::EndModal(INT_PTR result) {
    // The dialog manager's loop ends on a quit message with a result of its own and posts
    // the quit again; destroying the window then calls handlers that end it once more
    // (the activation lost, a list closing). Those ends are no choice of the user.
    MSG quit;
    if (!::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
        chosenResult = result;
    }
    ::EndDialog(window, result);
}

INT_PTR CDlgWnd::TakeChosenResult() {
    const INT_PTR result = chosenResult.value_or(kModalCancelled);
    chosenResult.reset();
    return result;
}

INT_PTR CDlgWnd::DoModal(HWND owner, LPARAM parameter) {
    creationParameter = static_cast<uint64_t>(parameter);
    chosenResult.reset();
    ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(GetTemplateId()), owner, &SharedDialogProcedure,
                      reinterpret_cast<LPARAM>(this));
    return TakeChosenResult();
}

INT_PTR CDlgWnd::DoModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate, LPARAM parameter) {
    creationParameter = static_cast<uint64_t>(parameter);
    chosenResult.reset();
    ::DialogBoxIndirectParamW(ResourceModule(), dialogTemplate, owner, &SharedDialogProcedure,
                              reinterpret_cast<LPARAM>(this));
    return TakeChosenResult();
}

HWND CDlgWnd::CreateModeless() {
    const HWND created = ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(GetTemplateId()), nullptr,
                                              &SharedDialogProcedure, reinterpret_cast<LPARAM>(this));
    if (created) {
        window = created;
    }
    return created;
}

INT_PTR CALLBACK SharedDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (auto* object = reinterpret_cast<CDlgWnd*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA))) {
            return object->DialogProc(dialog, message, wParam, lParam);
        }
        if (message != WM_INITDIALOG || lParam == 0) {
            return FALSE; // before the object is known the dialog manager decides
        }
        auto* object = reinterpret_cast<CDlgWnd*>(lParam);
        object->window = dialog;
        object->BindProperty(dialog);
        ::SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        ApplyDialogTexts(object->GetTemplateId(), dialog);
        return object->DialogProc(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

void SetDialogIcons(HWND dialog) {
    const auto load = [](int width, int height) {
        return ::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(kApplicationIconId), IMAGE_ICON, width, height,
                            LR_SHARED);
    };
    ::SendMessageW(
        dialog, WM_SETICON, ICON_BIG,
        reinterpret_cast<LPARAM>(load(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON))));
    ::SendMessageW(
        dialog, WM_SETICON, ICON_SMALL,
        reinterpret_cast<LPARAM>(load(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON))));
}
