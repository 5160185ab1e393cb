#include "update/DownloadProgressDialog.h"

#include "ui/DialogTexts.h"
#include "ui/Localization.h"

#include "resource.h"

#include <commctrl.h>

#include <cwchar>
#include <optional>

namespace {

constexpr unsigned kProgressCaptionId = 10013;

void CentreInWorkArea(HWND window) {
    RECT work{};
    RECT placed{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(window, &placed);
    const int width = placed.right - placed.left;
    const int height = placed.bottom - placed.top;
    ::SetWindowPos(window, nullptr, work.left + (work.right - work.left) / 2 - width / 2,
                   work.top + (work.bottom - work.top) / 2 - height / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

INT_PTR CALLBACK ProgressProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* progress = reinterpret_cast<DownloadProgress*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        progress = reinterpret_cast<DownloadProgress*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ApplyDialogTexts(IDD_DOWNLOAD_PROGRESS, dialog);
        const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&classes);
        const HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 20, 20, 260,
                                           17, dialog, nullptr, nullptr, nullptr);
        ::SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        progress->bar = bar;
        CentreInWorkArea(dialog);
        ::EnableMenuItem(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
        // Published last, then the end checked: whichever of this thread and the
        // transfer's comes second sees the other's mark, so the window never stays.
        progress->window = dialog;
        if (progress->finished) {
            ::EndDialog(dialog, 0);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            ::EndDialog(dialog, 0);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL && progress) {
            progress->paused = true;
            if (::MessageBoxW(dialog, progress->confirmationText.c_str(),
                              progress->confirmationCaption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
                progress->cancelled = true;
                ::EndDialog(dialog, 0);
            }
            progress->paused = false;
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (progress) {
            progress->window = nullptr;
            progress->bar = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

DWORD WINAPI RunProgressWindow(void* parameter) {
    ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_DOWNLOAD_PROGRESS), nullptr, &ProgressProcedure,
                      reinterpret_cast<LPARAM>(parameter));
    return 0;
}

} // namespace

DownloadProgressWindow::DownloadProgressWindow(DownloadProgress& progress)
    : progress_(progress), thread_(::CreateThread(nullptr, 0, &RunProgressWindow, &progress, 0, nullptr)) {}

DownloadProgressWindow::~DownloadProgressWindow() {
    progress_.finished = true;
    if (const HWND window = progress_.window) {
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    const HANDLE thread = thread_.get();
    // The window's thread uses `progress_` until it ends: only its end ends the wait.
    std::optional<WPARAM> quit;
    while (thread) {
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT,
                                                          MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            break;
        }
        if (woken == WAIT_FAILED) {
            ::WaitForSingleObject(thread, INFINITE);
            break;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = message.wParam; // for the caller's loop, once this wait is over
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(*quit));
    }
}

void DownloadProgressWindow::Show(int percent) {
    // Only a change crosses to the window's thread: the reporter is called for every
    // block, and each cross-thread message waits for the other thread.
    // A window that appears after the last change is given the percentage as well.
    const HWND window = progress_.window;
    if (percent == shownPercent_ && window == shownWindow_) {
        return;
    }
    shownPercent_ = percent;
    shownWindow_ = window;
    if (const HWND bar = progress_.bar) {
        ::PostMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    }
    if (window) {
        wchar_t caption[128];
        std::swprintf(caption, std::size(caption), LoadText(kProgressCaptionId), percent);
        ::SetWindowTextW(window, caption);
    }
}
