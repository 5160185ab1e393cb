// Figures for the panel's popups and the hotkey dialog: from the button's command to the
// moment the popup and everything in it has painted, against a plain empty dialog opened
// the same way in the same run.
#include "Clock.h"
#include "common/GdiplusSession.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "ui/HotkeyDialog.h"
#include "ui/LanguageDialog.h"
#include "ui/Localization.h"
#include "ui/SliderPopup.h"
#include "ui/TimeoutDialog.h"
#include "ui/framework/Dpi.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr UINT kProbeMessage = WM_APP + 17;
constexpr DWORD kAllCommonControlClasses = 0xC2FF;

// One opening being timed. A paint taken from the queue posts a probe; the probe finds
// nothing left to paint once the dialog and all it shows have painted, and ends it.
struct Opening {
    double start = 0;
    double painted = 0;
    HWND dialog = nullptr;
} opening;

HWND hostWindow = nullptr; // paints of its own are not the popup's

LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && opening.painted == 0) {
        if (message->message == WM_PAINT) {
            if (!opening.dialog) {
                wchar_t name[16] = {};
                const HWND root = ::GetAncestor(message->hwnd, GA_ROOT);
                ::GetClassNameW(root, name, 16);
                if (root != hostWindow && std::wstring(name) == L"#32770") {
                    opening.dialog = root;
                }
            }
            ::PostThreadMessageW(::GetCurrentThreadId(), kProbeMessage, 0, 0);
        } else if (message->message == kProbeMessage && opening.dialog &&
                   (HIWORD(::GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0) {
            opening.painted = NowMs();
            ::EndDialog(opening.dialog, -1);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// An opening whose paints the probe never sees (Wine does not always hand a layered
// window's paint through the queue) is ended after a while and not counted, so the
// benchmark always comes to its end.
constexpr UINT kGiveUpMs = 3000;

void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (window != hostWindow && std::wstring(name) == L"#32770") {
                ::EndDialog(window, -1);
            }
            return TRUE;
        },
        0);
}

// The median time of `open`, which runs one popup modally until the probe ends it.
double MedianOpeningMs(const std::function<void()>& open) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        opening = {};
        opening.start = NowMs();
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, kGiveUpMs, &GiveUp);
        open();
        ::KillTimer(nullptr, watchdog);
        if (opening.painted == 0) {
            std::printf("  (an opening was not seen painted within %u ms and is not counted)\n", kGiveUpMs);
        }
        if (opening.painted > 0) {
            times.push_back(opening.painted - opening.start);
        }
    }
    if (times.empty()) {
        return -1;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Nothing of the program's own: a layered template is only made opaque, or it would
// never show.
INT_PTR CALLBACK PlainDialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    if (::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_LAYERED) {
        ::SetLayeredWindowAttributes(dialog, 0, 255, LWA_ALPHA);
    }
    return TRUE;
}

// A captioned modal dialog without controls, the size of the hotkey dialog.
struct alignas(4) PlainTemplate {
    DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 0, 0, 0, 0, 178, 116};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD caption = 0;
};

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring key =
        L"Software\\Kestrine\\OrvaluxPopupBench-" + std::to_wstring(::GetCurrentProcessId());
    SetSettingsKeyPathForTesting(key);
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    SetResourceModule(::GetModuleHandleW(nullptr));
    GdiplusSession gdiplus;
    LoadLanguageSetting();

    // The panel's button column stands in as a window with one button, the anchor.
    UniqueHwnd host(::CreateWindowExW(WS_EX_TOOLWINDOW, L"#32770", L"host", WS_POPUP | WS_VISIBLE, 400, 300,
                                      120, 200, nullptr, nullptr, nullptr, nullptr));
    const HWND button = ::CreateWindowExW(0, L"BUTTON", L"10", WS_CHILD | WS_VISIBLE, 40, 120, 60, 23,
                                          host.get(), reinterpret_cast<HMENU>(1062), nullptr, nullptr);
    hostWindow = host.get();
    // Whatever the host has to paint is done before the first opening.
    MSG pending;
    while (::PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&pending);
    }
    const HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, &WatchMessages, nullptr, ::GetCurrentThreadId());

    const PlainTemplate plain;
    const double plainMs = MedianOpeningMs(
        [&] { ::DialogBoxIndirectParamW(nullptr, &plain.header, nullptr, &PlainDialogProcedure, 0); });
    const auto bare = [](WORD id) {
        return MedianOpeningMs([id] {
            ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(id), nullptr, &PlainDialogProcedure, 0);
        });
    };
    const double bareLanguageMs = bare(1050);
    const double bareDelayMs = bare(1046);
    const double bareHotkeysMs = bare(1045);
    const double languageMs = MedianOpeningMs([&] { CLanguageDlg(0).Run(button); });
    const double delayMs = MedianOpeningMs([&] { CTimeoutDlg(3000).Run(button); });
    const double stepMs = MedianOpeningMs([&] {
        CSliderPopup popup(button, 10);
        popup.color1 = 0xFF89E3F7;
        popup.color2 = 0xFF0B7FD6;
        popup.wedge = true;
        popup.horizontal = true;
        popup.closeOnRelease = true;
        popup.DoModal(nullptr, 0);
    });
    const double hotkeysMs = MedianOpeningMs([&] {
        CHotkeyDlg dialog;
        dialog.Run(host.get());
    });
    ::UnhookWindowsHookEx(hook);
    SetSettingsKeyPathForTesting(L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());

    std::printf("popups: from the command to everything painted, median of %d openings, at %u DPI\n", kRuns,
                SystemDpi());
    std::printf("  plain empty dialog:     %6.1f ms\n", plainMs);
    // The template alone: its controls made and painted by the system, no code of ours.
    struct Figure {
        const char* name;
        double ms;
        double templateMs;
    };
    const Figure popups[] = {{"language popup", languageMs, bareLanguageMs},
                             {"re-apply delay popup", delayMs, bareDelayMs},
                             {"step slider popup", stepMs, 0},
                             {"hotkey dialog", hotkeysMs, bareHotkeysMs}};
    bool measured = plainMs > 0;
    for (const Figure& figure : popups) {
        std::printf("  %-22s %6.1f ms  (%.2f x the plain dialog", (std::string(figure.name) + ":").c_str(),
                    figure.ms, plainMs > 0 ? figure.ms / plainMs : 0.0);
        if (figure.templateMs > 0) {
            std::printf("; its template alone %.1f ms", figure.templateMs);
        }
        std::printf(")\n");
        measured = measured && figure.ms > 0;
    }
    return measured ? 0 : 1;
}
