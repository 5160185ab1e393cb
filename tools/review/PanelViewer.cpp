// Shows the slider panel as the program shows it above its tray icon, so a reviewer can
// see the header, the title, the sliders and their wedges and the button column, and
// optionally one of the popups its buttons open:
//
//     panel_viewer.exe LANGUAGE-INDEX EXPAND-LEVEL [READY-FILE CLOSE-FILE [POPUP]]
//
// LANGUAGE-INDEX is an index into the language list (0 the user's UI language, 5
// English), EXPAND-LEVEL 0 to 3, POPUP one of language, delay, hotkeys, step (the
// hotkey dialog with its step slider open), monitors (the tray menu's monitors dialog) and update (the update
// page offering a version with two changes, as a click on the update balloon shows it). The monitors are
// those of ORVALUX_SIMULATED_MONITORS (real ones without it). Settings live in a key of their own, removed at
// the end. Once the panel (and the popup) is on screen, READY-FILE is written with the rectangle around them
// as an ImageMagick geometry (WIDTHxHEIGHT+LEFT+TOP); the viewer closes when CLOSE-FILE appears, or after a
// minute.
#include "app/PanelDialog.h"
#include "app/PanelRules.h"
#include "common/ComInitialization.h"
#include "common/GdiplusSession.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedMonitorApi.h"
#include "ui/Localization.h"
#include "update/UpdateCheck.h"
#include "update/UpdateDialog.h"

#include "resource.h"

#include <windows.h>

#include <commctrl.h>
#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kReviewSettingsKey[] = L"Software\\Kestrine\\OrvaluxPanelReview";
constexpr UINT kPollMilliseconds = 200;
constexpr DWORD kGiveUpMilliseconds = 60000;
constexpr DWORD kAllCommonControlClasses = 0xC2FF;

// A settings key of the viewer's own, so a reviewer's real settings are neither read
// nor changed; removed on every path.
class ReviewSettings {
public:
    ReviewSettings() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kReviewSettingsKey);
        SetSettingsKeyPathForTesting(kReviewSettingsKey);
    }
    ~ReviewSettings() {
        SetSettingsKeyPathForTesting(L"");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kReviewSettingsKey);
    }
    ReviewSettings(const ReviewSettings&) = delete;
    ReviewSettings& operator=(const ReviewSettings&) = delete;
};

// The panel and the monitors it shows, gone before the laptop backlight, GDI+ and COM.
class PanelAndMonitors {
public:
    PanelAndMonitors() = default;
    ~PanelAndMonitors() {
        panelDialog.Destroy();
        DestroyDisplayMonitors();
    }
    PanelAndMonitors(const PanelAndMonitors&) = delete;
    PanelAndMonitors& operator=(const PanelAndMonitors&) = delete;
};

// A decimal number, or UINT32_MAX for anything else.
uint32_t ParseNumber(const wchar_t* text) {
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text, &end, 10);
    return end != text && *end == L'\0' && value < UINT32_MAX ? static_cast<uint32_t>(value) : UINT32_MAX;
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The viewer's own visible top-level windows other than tooltips: the panel and what
// it opened, oldest first.
std::vector<HWND> ShownWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (::IsWindowVisible(window) && std::wcscmp(name, TOOLTIPS_CLASSW) != 0) {
                reinterpret_cast<std::vector<HWND>*>(data)->insert(
                    reinterpret_cast<std::vector<HWND>*>(data)->begin(), window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool WriteReadyFile(const std::wstring& path) {
    RECT around{};
    for (HWND window : ShownWindows()) {
        RECT frame{};
        ::GetWindowRect(window, &frame);
        ::UnionRect(&around, &around, &frame);
    }
    char geometry[64];
    const int length =
        std::snprintf(geometry, sizeof(geometry), "%ldx%ld+%ld+%ld\n", around.right - around.left,
                      around.bottom - around.top, around.left, around.top);
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), geometry, static_cast<DWORD>(length), &written, nullptr) &&
           written == static_cast<DWORD>(length);
}

// The steps from the shown panel to the popup on screen: the button clicked on the panel
// (kMenuCommand: a tray menu command instead), then one clicked on the window that opened,
// if any.
constexpr int kMenuCommand = -1;
struct PopupSteps {
    const wchar_t* name;
    int panelButton;
    int nextButton;
};
constexpr PopupSteps kPopups[] = {
    {L"language", IDC_LANGUAGE, 0},
    {L"delay", IDC_REAPPLY_DELAY, 0},
    {L"hotkeys", IDC_HOTKEYS, 0},
    {L"step", IDC_HOTKEYS, IDC_INCREMENT},
    {L"update", 0, 0},
    {L"monitors", kMenuCommand, IDM_MONITORS},
};

// The update page as an offer of the next version shows it.
void ShowUpdateOffer(HWND owner) {
    UpdateParams params = ProgramUpdateParams();
    if (const auto version = ReadFileVersion(params.exePath)) {
        runningVersion = *version;
    }
    UpdateAnswer answer;
    answer.needToBeUpdated = true;
    answer.version = "9.8.7";
    answer.location = "https://updates.orvalux.org/packages/Orvalux-9.8.7.msi";
    // "<tr><td>9.8.7</td><td>Faster start</td></tr>\n<tr><td>9.8.7</td><td>Fewer threads</td></tr>"
    answer.changes =
        "PHRyPjx0ZD45LjguNzwvdGQ+PHRkPkZhc3RlciBzdGFydDwvdGQ+PC90cj4KPHRyPjx0ZD45LjguNzwvdGQ+PHRk"
        "PkZld2VyIHRocmVhZHM8L3RkPjwvdHI+";
    ShowUpdateDialog(owner, params, answer);
}

// Polled by a timer procedure, so it runs inside the popups' own modal loops too.
struct Review {
    std::wstring readyFile;
    std::wstring closeFile;
    const PopupSteps* popup = nullptr;
    DWORD start = 0;
    size_t clicked = 0; // buttons clicked so far
    int settledPolls = 0;
    bool ready = false;
    bool failed = false;
    bool closing = false;
} review;

// Ends the popups, newest first, as Escape would, then the viewer's loop.
void CloseEverything() {
    review.closing = true;
    const std::vector<HWND> windows = ShownWindows();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (*window != panelDialog.Window()) {
            ::PostMessageW(*window, WM_COMMAND, IDCANCEL,
                           reinterpret_cast<LPARAM>(::GetDlgItem(*window, IDCANCEL)));
        }
    }
    ::PostQuitMessage(review.ready ? 0 : 1);
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    if (review.closing) {
        return;
    }
    const HWND panel = panelDialog.Window();
    if (FileExists(review.closeFile) || ::GetTickCount() - review.start > kGiveUpMilliseconds) {
        CloseEverything();
        return;
    }
    if (review.ready) {
        return;
    }
    if (!::IsWindowVisible(panel)) {
        std::fwprintf(stderr, L"the panel was hidden before it could be shown\n");
        review.failed = true;
        CloseEverything();
        return;
    }
    const std::vector<HWND> windows = ShownWindows();
    const bool menuCommand = review.popup && review.popup->panelButton == kMenuCommand;
    const size_t wanted = review.popup ? (review.popup->nextButton && !menuCommand ? 2 : 1) : 0;
    if (review.clicked < wanted) {
        // Each click waits for the window of the one before.
        if (windows.size() >= 1 + review.clicked) {
            const HWND newest = windows.back();
            const int button = review.clicked == 0 ? review.popup->panelButton : review.popup->nextButton;
            ++review.clicked;
            if (button == 0) {
                ShowUpdateOffer(panel); // modal: this procedure goes on polling inside it
                return;
            }
            if (button == kMenuCommand) {
                ::PostMessageW(panel, WM_COMMAND, static_cast<WPARAM>(review.popup->nextButton), 0);
                return;
            }
            ::PostMessageW(::GetDlgItem(newest, button), BM_CLICK, 0, 0);
        }
        return;
    }
    // A few quiet polls: the popups paint and drop their lists.
    if (windows.size() < 1 + wanted || ++review.settledPolls < 3) {
        return;
    }
    review.ready = review.readyFile.empty() || WriteReadyFile(review.readyFile);
    if (!review.ready) {
        std::fwprintf(stderr, L"could not write %ls\n", review.readyFile.c_str());
        CloseEverything();
    }
}

// The program's loop with the poll above. The first poll comes after the panel and its
// sliders have painted: timers come after every pending paint.
int RunUntilClosed() {
    const HWND panel = panelDialog.Window();
    review.start = ::GetTickCount();
    const UINT_PTR poll = ::SetTimer(nullptr, 0, kPollMilliseconds, &Poll);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(panel, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    ::KillTimer(nullptr, poll);
    return review.ready && !review.failed ? 0 : 1;
}

} // namespace

int wmain(int argumentCount, wchar_t** arguments) {
    if (argumentCount < 3 || argumentCount == 4 || argumentCount > 6) {
        std::fwprintf(stderr,
                      L"usage: panel_viewer LANGUAGE-INDEX EXPAND-LEVEL [READY-FILE CLOSE-FILE [POPUP]]\n");
        return 2;
    }
    const uint32_t language = ParseNumber(arguments[1]);
    const uint32_t level = ParseNumber(arguments[2]);
    if (language >= kLanguageCount || level > kMaximumExpandLevel) {
        std::fwprintf(stderr, L"languages are 0 to %u, expand levels 0 to %u\n", kLanguageCount - 1,
                      kMaximumExpandLevel);
        return 2;
    }
    if (argumentCount >= 5) {
        review.readyFile = arguments[3];
        review.closeFile = arguments[4];
    }
    if (argumentCount == 6) {
        for (const PopupSteps& popup : kPopups) {
            if (std::wcscmp(arguments[5], popup.name) == 0) {
                review.popup = &popup;
            }
        }
        if (!review.popup) {
            std::fwprintf(stderr, L"popups are language, delay, hotkeys, step, monitors and update\n");
            return 2;
        }
    }

    // The program's start, in its order.
    std::string simulationError;
    if (InstallSimulationFromEnvironment(simulationError) == SimulationChoice::Malformed) {
        std::fprintf(stderr, "%s\n", simulationError.c_str());
        return 2;
    }
    ReviewSettings settings; // before anything that reads or writes a setting
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    SetResourceModule(::GetModuleHandleW(nullptr));
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com.Result())) {
        return 1;
    }
    GdiplusSession gdiplus;
    ScopedLaptopBacklight backlight;
    if (FAILED(backlight.Result())) {
        return 1;
    }
    WriteSettingDword(L"Language", language);
    LoadLanguageSetting();

    PanelAndMonitors panelAndMonitors;
    EnumerateDisplayMonitors();
    if (!panelDialog.Create()) {
        std::fwprintf(stderr, L"the panel could not be created\n");
        return 1;
    }
    // As the expand button does it.
    panelDialog.expandLevel = level;
    panelDialog.LayoutPanel();

    // Like a tray icon near the bottom right of the screen; further in with a popup, which
    // opens to the panel's right.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) - (review.popup ? 240 : 60);
    const int y = ::GetSystemMetrics(SM_CYSCREEN) - 12;
    panelDialog.ShowPanelAt(x, y, SW_SHOW);
    return RunUntilClosed();
}
