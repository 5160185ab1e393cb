// Shows the slider panel as the program shows it above its tray icon, so a reviewer can
// see the header, the title, the sliders and their wedges and the button column:
//
//     panel_viewer.exe LANGUAGE-INDEX EXPAND-LEVEL [READY-FILE CLOSE-FILE]
//
// LANGUAGE-INDEX is an index into the language list (0 the user's UI language, 5
// English), EXPAND-LEVEL 0 to 3. The monitors are those of ORVALUX_SIMULATED_MONITORS
// (real ones without it). Settings live in a key of their own, removed at the end. Once
// the panel is on screen, READY-FILE is written with its window rectangle as an
// ImageMagick geometry (WIDTHxHEIGHT+LEFT+TOP); the viewer closes when CLOSE-FILE
// appears, or after a minute.
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

#include <windows.h>

#include <commctrl.h>
#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>
#include <string>

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

bool WriteReadyFile(const std::wstring& path, HWND panel) {
    RECT frame{};
    if (!::GetWindowRect(panel, &frame)) {
        return false;
    }
    char geometry[64];
    const int length =
        std::snprintf(geometry, sizeof(geometry), "%ldx%ld+%ld+%ld\n", frame.right - frame.left,
                      frame.bottom - frame.top, frame.left, frame.top);
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), geometry, static_cast<DWORD>(length), &written, nullptr) &&
           written == static_cast<DWORD>(length);
}

// The program's loop, with a poll of the close file. The first poll comes after the
// panel and its sliders have painted: timers come after every pending paint.
int RunUntilClosed(const std::wstring& readyFile, const std::wstring& closeFile) {
    const HWND panel = panelDialog.Window();
    const UINT_PTR poll = ::SetTimer(nullptr, 0, kPollMilliseconds, nullptr);
    const DWORD start = ::GetTickCount();
    bool ready = false;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == poll) {
            if (!ready) {
                if (!::IsWindowVisible(panel)) {
                    std::fwprintf(stderr, L"the panel was hidden before it could be shown\n");
                    break;
                }
                ready = readyFile.empty() || WriteReadyFile(readyFile, panel);
                if (!ready) {
                    std::fwprintf(stderr, L"could not write %ls\n", readyFile.c_str());
                    break;
                }
            }
            if (FileExists(closeFile) || ::GetTickCount() - start > kGiveUpMilliseconds) {
                break;
            }
            continue;
        }
        if (!::IsDialogMessageW(panel, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    ::KillTimer(nullptr, poll);
    return ready ? 0 : 1;
}

} // namespace

int wmain(int argumentCount, wchar_t** arguments) {
    if (argumentCount != 3 && argumentCount != 5) {
        std::fwprintf(stderr, L"usage: panel_viewer LANGUAGE-INDEX EXPAND-LEVEL [READY-FILE CLOSE-FILE]\n");
        return 2;
    }
    const uint32_t language = ParseNumber(arguments[1]);
    const uint32_t level = ParseNumber(arguments[2]);
    if (language >= kLanguageCount || level > kMaximumExpandLevel) {
        std::fwprintf(stderr, L"languages are 0 to %u, expand levels 0 to %u\n", kLanguageCount - 1,
                      kMaximumExpandLevel);
        return 2;
    }
    const std::wstring readyFile = argumentCount == 5 ? arguments[3] : L"";
    const std::wstring closeFile = argumentCount == 5 ? arguments[4] : L"";

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

    // Like a tray icon near the bottom right of the screen.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) - 60;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) - 12;
    panelDialog.ShowPanelAt(x, y, SW_SHOW);
    return RunUntilClosed(readyFile, closeFile);
}
