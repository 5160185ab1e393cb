// Figures for the slider panel, the tray icon and the hotkeys: what one slider move and one
// hotkey press cost the main thread, one repaint of the panel against a plain dialog, the
// real program's start-up with slow monitors and to its tray icon, and its memory under
// Wine against a minimal resident Win32 program.
#include "BuildPath.h"
#include "LinuxProcess.h"
#include "WineTray.h"
#include "app/PanelDialog.h"
#include "Clock.h"
#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorParameter.h"
#include "monitor/SettingsStore.h"
#include "simulator/SimulatedMonitorApi.h"
#include "ui/Localization.h"
#include "ui/framework/Dpi.h"

#include "resource.h"

#include <windows.h>

#include <commctrl.h>
#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using test_support::BuildPath;
using test_support::LinuxProcessFolder;
using test_support::ProcField;
using test_support::ReadWholeFile;

namespace {

using test_support::TrayIconCount;

constexpr wchar_t kPanelClass[] = L"#32770";
constexpr wchar_t kMinimalClass[] = L"OrvaluxMinimalResident"; // see MinimalResident.cpp

template <typename Work> double TimeMs(Work work) {
    const double start = NowMs();
    work();
    return NowMs() - start;
}

struct Spread {
    double median;
    double max;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

// Serves this thread's messages until `dueMs`, as the program's message loop would.
void PumpUntil(double dueMs) {
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        const double left = dueMs - NowMs();
        if (left <= 0) {
            return;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

// 1. A one-second drag of the brightness slider, each move sent as the trackbar sends it,
// then the same drag through PostCommand alone.
void SliderRoad() {
    constexpr int kMoves = 60;
    const HWND panel = panelDialog.Window();
    const HWND trackbar = ::GetDlgItem(panel, IDC_BRIGHTNESS_SLIDER);
    const auto minimum = static_cast<int>(::SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0));
    const auto maximum = static_cast<int>(::SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0));
    std::vector<double> costs[2]; // through the panel, PostCommand alone
    for (int road = 0; road < 2; ++road) {
        const double start = NowMs();
        for (int i = 0; i < kMoves; ++i) {
            PumpUntil(start + 1000.0 * i / kMoves);
            const int position = minimum + (maximum - minimum) * i / (kMoves - 1);
            if (road == 0) {
                ::SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
                const LRESULT raw = ::SendMessageW(trackbar, TBM_GETPOS, 0, 0);
                costs[0].push_back(TimeMs([&] {
                    ::SendMessageW(panel, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, raw),
                                   reinterpret_cast<LPARAM>(trackbar));
                }));
            } else {
                const MonitorCommand command{static_cast<uint32_t>(MonitorParameter::Brightness),
                                             static_cast<uint32_t>(position)};
                costs[1].push_back(TimeMs([&] { commandDispatcher.PostCommand(command); }));
            }
        }
        PumpUntil(NowMs() + 500); // the workers catch up before the next drag
    }
    // For scale: the handler asks the trackbar for its position and range, three messages,
    // each through two subclasses (the tooltips' and the slider's) that look up a window
    // property; under Wine every lookup is a round trip to the wine server.
    std::vector<double> ask;
    std::vector<double> property;
    for (int i = 0; i < 100; ++i) {
        ask.push_back(TimeMs([&] { ::SendMessageW(trackbar, TBM_GETPOS, 0, 0); }));
        property.push_back(TimeMs([&] { ::GetPropA(trackbar, "CWnd"); }));
    }
    const Spread move = SpreadOf(costs[0]);
    const Spread post = SpreadOf(costs[1]);
    std::printf(
        "slider road: %d brightness moves in 1 s, 2 simulated displays taking 50 ms per set\n"
        "  WM_VSCROLL from the trackbar to the panel's handler and back: median %.1f us, max %.1f us\n"
        "  commandDispatcher.PostCommand alone:                          median %.1f us, max %.1f us\n"
        "  handler above PostCommand: %.1f us (median); a device wait on the main thread: %s\n"
        "  for scale: one TBM_GETPOS to the trackbar %.1f us, one GetPropA %.1f us\n",
        kMoves, move.median * 1000, move.max * 1000, post.median * 1000, post.max * 1000,
        (move.median - post.median) * 1000, move.max >= 50 ? "yes" : "no", SpreadOf(ask).median * 1000,
        SpreadOf(property).median * 1000);
}

// 1b. A hotkey press, brightness up and down in turn, from WM_HOTKEY to the return of the
// panel's handler, which posts the command and moves the slider and the tray level.
void HotkeyRoad() {
    const HWND panel = panelDialog.Window();
    std::vector<double> costs;
    for (int i = 0; i < 100; ++i) {
        const WPARAM id = i % 2 ? 4 : 3; // brightness down, brightness up
        costs.push_back(TimeMs([&] { ::SendMessageW(panel, WM_HOTKEY, id, 0); }));
        PumpUntil(NowMs() + 5);
    }
    const Spread press = SpreadOf(costs);
    std::printf(
        "hotkey: 100 brightness presses, WM_HOTKEY to the return of the panel's handler: median %.1f us, "
        "max %.1f us\n",
        press.median * 1000, press.max * 1000);
}

INT_PTR CALLBACK PlainDialogProcedure(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

// A plain dialog the size of the panel, left of it, with ordinary copies of the panel's
// visible trackbars and buttons in the same places.
HWND CreatePlainTwin(HWND panel, int counts[2]) {
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title; // none, the system dialog class, empty
    } empty{};
    empty.header.style = WS_POPUP | WS_THICKFRAME | WS_CLIPSIBLINGS;
    empty.header.dwExtendedStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    const HWND plain = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &empty.header, nullptr,
                                                    &PlainDialogProcedure, 0);
    RECT bounds{};
    ::GetWindowRect(panel, &bounds);
    const int width = bounds.right - bounds.left;
    ::SetWindowPos(plain, HWND_TOPMOST, bounds.left - width - 20, bounds.top, width,
                   bounds.bottom - bounds.top, SWP_NOACTIVATE);
    for (HWND child = ::GetWindow(panel, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        const bool trackbar = ::lstrcmpiW(name, TRACKBAR_CLASSW) == 0;
        if (!::IsWindowVisible(child) || (!trackbar && ::lstrcmpiW(name, WC_BUTTONW) != 0)) {
            continue;
        }
        ++counts[trackbar ? 0 : 1];
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&place), 2);
        ::CreateWindowExW(0, name, L"", static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE)), place.left,
                          place.top, place.right - place.left, place.bottom - place.top, plain, nullptr,
                          nullptr, nullptr);
    }
    ::ShowWindow(plain, SW_SHOWNOACTIVATE);
    return plain;
}

double MedianRepaintMs(HWND window) {
    std::vector<double> frames;
    for (int i = 0; i < 100; ++i) {
        frames.push_back(TimeMs([&] {
            ::RedrawWindow(window, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }));
        PumpUntil(NowMs() + 2);
    }
    return SpreadOf(frames).median;
}

// 2. One full repaint of the panel at its widest against the plain dialog.
void Paint() {
    panelDialog.expandLevel = 3;
    panelDialog.LayoutPanel();
    panelDialog.ShowPanelAt(800, 900, SW_SHOW);
    int counts[2] = {0, 0};
    const UniqueHwnd plain(CreatePlainTwin(panelDialog.Window(), counts));
    PumpUntil(NowMs() + 300);
    const double panelMs = MedianRepaintMs(panelDialog.Window());
    const double plainMs = MedianRepaintMs(plain.get());
    RECT client{};
    ::GetClientRect(panelDialog.Window(), &client);
    std::printf("paint: one full repaint (RedrawWindow ... RDW_UPDATENOW | RDW_ALLCHILDREN), median of 100\n"
                "  panel at expand level 3 (client %ld x %ld): %.2f ms\n"
                "  plain dialog, same size, %d ordinary trackbars and %d buttons: %.2f ms\n"
                "  panel within one 60 Hz frame (16.7 ms): %s\n",
                client.right, client.bottom, panelMs, counts[0], counts[1], plainMs,
                panelMs < 1000.0 / 60 ? "yes" : "no");
}

// 2b. Opening the panel as the tray does, from ShowPanelAt to everything painted, at the
// screen's scale (compare the figures with a run at another DPI, scripts/bench does). Once
// with the pictures of both widths kept from earlier openings, as a user who expands and
// collapses meets it; once with them drawn anew, as the first opening after a scale change.
double MedianOpeningMs(bool drawnAnew) {
    const HWND panel = panelDialog.Window();
    std::vector<double> openings;
    for (uint32_t i = 0; i < 40; ++i) {
        ::ShowWindow(panel, SW_HIDE);
        if (drawnAnew) {
            RECT bounds{};
            ::GetWindowRect(panel, &bounds);
            const UINT dpi = WindowDpi(panel);
            ::SendMessageW(panel, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&bounds));
        }
        panelDialog.expandLevel = i % 2 ? 3 : 0;
        panelDialog.LayoutPanel();
        PumpUntil(NowMs() + 5);
        openings.push_back(TimeMs([&] {
            panelDialog.ShowPanelAt(800, 900, SW_SHOW);
            ::RedrawWindow(panel, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }));
    }
    return SpreadOf(openings).median;
}

void OpenPanel() {
    const double kept = MedianOpeningMs(false);
    const double drawnAnew = MedianOpeningMs(true);
    std::printf("open: ShowPanelAt to everything painted, levels 0 and 3 in turn, at %u DPI: median %.2f ms; "
                "first opening after a scale change: %.2f ms\n",
                WindowDpi(panelDialog.Window()), kept, drawnAnew);
}

// Runs the program in this process as RunResident and BuildPass start it, without the tray
// and the re-apply timer, and tears it down in the order of Teardown.
bool InProcess(bool openingOnly) {
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS",
                              L"display; monitor set-latency=50; display; monitor set-latency=50");
    std::string error;
    if (InstallSimulationFromEnvironment(error) != SimulationChoice::Simulated) {
        std::printf("no simulated monitors: %s\n", error.c_str());
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xC2FF}; // every class, as the program
    ::InitCommonControlsEx(&controls);
    SetResourceModule(::GetModuleHandleW(nullptr));
    const ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
    AttachLaptopBacklight();
    LoadLanguageSetting();
    EnumerateDisplayMonitors();
    LoadMonitorSettings();
    const bool created = panelDialog.Create() != nullptr;
    commandDispatcher.Start();
    if (created) {
        if (!openingOnly) {
            SliderRoad();
            HotkeyRoad();
        }
        Paint();
        OpenPanel();
    } else {
        std::printf("the panel could not be created (no display?)\n");
    }
    commandDispatcher.Stop();
    panelDialog.Destroy();
    DestroyDisplayMonitors();
    DetachLaptopBacklight();
    Gdiplus::GdiplusShutdown(gdiplus);
    return created;
}

std::wstring FourDisplays(const wchar_t* monitor) {
    std::wstring description;
    for (int i = 0; i < 4; ++i) {
        description += std::wstring(i ? L"; " : L"") + L"display; " + monitor;
    }
    return description;
}

std::wstring BenchmarkKey(int run) {
    return L"Software\\Kestrine\\OrvaluxPanelBench-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(run);
}

struct Program {
    UniqueHandle process;
    DWORD id = 0;
};

// Starts `exe` with its own settings key and simulated monitors; `marker`, an argument
// both programs ignore, names the process on its Linux command line.
Program Start(const std::wstring& exe, const std::wstring& key, const std::wstring& monitors,
              const std::wstring& marker = L"") {
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", key.c_str());
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", monitors.c_str());
    std::wstring commandLine = L"\"" + exe + L"\" " + marker;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    Program program;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &info)) {
        ::CloseHandle(info.hThread);
        program.process.reset(info.hProcess);
        program.id = info.dwProcessId;
    }
    return program;
}

// The process's top-level window of `windowClass`; for the panel, one bound to its object.
HWND WindowOf(DWORD processId, const wchar_t* windowClass) {
    for (HWND window = ::FindWindowExW(nullptr, nullptr, windowClass, nullptr); window;
         window = ::FindWindowExW(nullptr, window, windowClass, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && (windowClass != kPanelClass || ::GetPropA(window, "CWnd"))) {
            return window;
        }
    }
    return nullptr;
}

// Ready: the message loop has run (WaitForInputIdle returned) and the window exists.
HWND WaitUntilReady(const Program& program, const wchar_t* windowClass) {
    if (!program.process || ::WaitForInputIdle(program.process.get(), 20000) != 0) {
        return nullptr;
    }
    for (int i = 0; i < 20000; ++i) {
        if (const HWND window = WindowOf(program.id, windowClass)) {
            return window;
        }
        ::Sleep(1);
    }
    return nullptr;
}

void Close(const Program& program, HWND window, const std::wstring& key) {
    if (!window || !::PostMessageW(window, WM_CLOSE, 0, 0) ||
        ::WaitForSingleObject(program.process.get(), 20000) != WAIT_OBJECT_0) {
        ::TerminateProcess(program.process.get(), 1);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

// 3. From CreateProcess of the real program to its hidden panel ready, with four displays
// whose capability query takes 200 ms against the same without the wait.
void StartUp() {
    const std::wstring setups[2] = {FourDisplays(L"monitor caps-latency=200"),
                                    FourDisplays(L"monitor caps-latency=0")};
    std::vector<double> startMs[2];
    for (int run = 0; run < 6; ++run) { // the two setups take turns
        const std::wstring key = BenchmarkKey(run);
        const double start = NowMs();
        const Program program = Start(BuildPath(ORVALUX_EXE_PATH), key, setups[run % 2]);
        const HWND panel = WaitUntilReady(program, kPanelClass);
        startMs[run % 2].push_back(NowMs() - start);
        Close(program, panel, key);
        if (!panel) {
            std::printf("start-up: the program did not get ready\n");
            return;
        }
    }
    const double slow = SpreadOf(startMs[0]).median;
    const double fast = SpreadOf(startMs[1]).median;
    std::printf("start-up: CreateProcess of orvalux.exe to its hidden panel ready (the window with \"CWnd\" "
                "and WaitForInputIdle), median of 3, 4 simulated displays\n"
                "  capability query 200 ms: %.0f ms; 0 ms: %.0f ms; difference %.0f ms (expected: about one "
                "query, 200 ms, as the displays open in parallel; not four, 800 ms)\n",
                slow, fast, slow - fast);
}

// Milliseconds from CreateProcess until one more icon is in the notification area.
double MsToTrayIcon(const std::wstring& exe, const std::wstring& key, const std::wstring& monitors,
                    const std::wstring& arguments, const wchar_t* windowClass) {
    const size_t before = TrayIconCount();
    const double start = NowMs();
    const Program program = Start(exe, key, monitors, arguments);
    double elapsed = -1;
    for (int i = 0; i < 20000 && elapsed < 0; ++i) {
        if (TrayIconCount() > before) {
            elapsed = NowMs() - start;
        } else {
            ::Sleep(1);
        }
    }
    Close(program, WaitUntilReady(program, windowClass), key);
    return elapsed;
}

// 3b. From CreateProcess to the icon in the notification area: the program with four
// displays against a minimal program that only adds an icon, in turns.
void StartUpToTrayIcon() {
    if (!::FindWindowW(L"__winex11_standalone_tray", nullptr)) {
        std::printf("start-up to the tray icon: skipped, it counts the icons of Wine's notification area\n");
        return;
    }
    std::vector<double> program;
    std::vector<double> minimal;
    for (int run = 0; run < 3; ++run) {
        program.push_back(MsToTrayIcon(BuildPath(ORVALUX_EXE_PATH), BenchmarkKey(10 + run),
                                       FourDisplays(L"monitor"), L"", kPanelClass));
        minimal.push_back(MsToTrayIcon(BuildPath(MINIMAL_RESIDENT_EXE_PATH), BenchmarkKey(20 + run), L"",
                                       L"tray", kMinimalClass));
    }
    const double programMs = SpreadOf(program).median;
    const double minimalMs = SpreadOf(minimal).median;
    std::printf(
        "start-up to the tray icon: CreateProcess until the icon is in the notification area, median of 3\n"
        "  orvalux.exe, 4 simulated displays: %.0f ms; minimal program adding one icon: %.0f ms; "
        "ratio %.2f\n",
        programMs, minimalMs, programMs / minimalMs);
}

// Anonymous memory is the process's own: heaps, stacks and Wine's copies of the PE images.
// Private_Clean also counts pages of Linux libraries that no other process maps at the
// moment, so it changes with whatever else runs in the session.
struct Memory {
    double anonymousMb;
    double privateMb; // Private_Clean + Private_Dirty
    int threads;      // under Wine the stack region of each thread holds about 1 MB of it
};

Memory ReadMemory(const std::wstring& folder) {
    const std::string rollup = ReadWholeFile(folder + L"\\smaps_rollup");
    const std::string status = ReadWholeFile(folder + L"\\status");
    return {ProcField(rollup, "Anonymous:") / 1024,
            (ProcField(rollup, "Private_Clean:") + ProcField(rollup, "Private_Dirty:")) / 1024,
            static_cast<int>(ProcField(status, "Threads:"))};
}

// The file's size and what the loader maps of it (SizeOfImage: the symbol table at the end
// of a MinGW file is not mapped), in MB.
std::pair<double, double> ImageMb(const std::wstring& path) {
    const std::string file = ReadWholeFile(path);
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS64 nt{};
    std::memcpy(&dos, file.data(), std::min(file.size(), sizeof(dos)));
    if (dos.e_lfanew > 0 && file.size() >= static_cast<size_t>(dos.e_lfanew) + sizeof(nt)) {
        std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof(nt));
    }
    return {file.size() / 1048576.0, nt.OptionalHeader.SizeOfImage / 1048576.0};
}

// 4. Memory of the running program after its panel was shown, against the minimal program,
// both started from here so that they share one wine server.
void MemoryUse() {
    if (::GetFileAttributesW(L"Z:\\proc\\self") == INVALID_FILE_ATTRIBUTES) {
        std::printf("memory: skipped, it reads Linux /proc (run under Wine)\n");
        return;
    }
    const std::wstring exe = BuildPath(ORVALUX_EXE_PATH);
    const std::wstring marker = L"panel-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(::GetTickCount64());
    const std::wstring key = BenchmarkKey(6);
    const Program program = Start(exe, key, FourDisplays(L"monitor"), marker + L"-orvalux");
    const Program minimal = Start(BuildPath(MINIMAL_RESIDENT_EXE_PATH), key, L"", marker + L"-minimal");
    const HWND panel = WaitUntilReady(program, kPanelClass);
    const HWND minimalWindow = WaitUntilReady(minimal, kMinimalClass);
    const std::wstring folder = LinuxProcessFolder(marker + L"-orvalux");
    const std::wstring minimalFolder = LinuxProcessFolder(marker + L"-minimal");
    if (panel && minimalWindow && !folder.empty() && !minimalFolder.empty()) {
        ::Sleep(1000); // past the re-apply shortly after start
        ::PostMessageW(panel, WM_TIMER, kShowPanelTimerId, 0);
        for (int i = 0; i < 2000 && !::IsWindowVisible(panel); ++i) {
            ::Sleep(5);
        }
        ::Sleep(500);
        const Memory shown = ReadMemory(folder);
        const Memory floor = ReadMemory(minimalFolder);
        const auto [fileMb, mappedMb] = ImageMb(exe);
        const double above = shown.anonymousMb - floor.anonymousMb;
        std::printf(
            "memory: anonymous memory of the Wine process (Linux /proc/<pid>/smaps_rollup; Private_Clean "
            "+ Private_Dirty in brackets), 1 MB = 1024 kB\n"
            "  orvalux.exe, 4 simulated displays, panel shown: %5.2f MB (%.2f), threads: %d\n"
            "  minimal resident Win32 program:                 %5.2f MB (%.2f), threads: %d\n"
            "  orvalux.exe above the minimal program: %.2f MB including its image; without it %.2f MB "
            "(less the file, %.2f MB) or %.2f MB (less the mapped image, %.2f MB)\n"
            "  under 6 MB including the image: %s\n",
            shown.anonymousMb, shown.privateMb, shown.threads, floor.anonymousMb, floor.privateMb,
            floor.threads, above, above - fileMb, fileMb, above - mappedMb, mappedMb,
            above < 6 ? "yes" : "no");
    } else {
        std::printf("memory: the programs did not get ready or were not found in /proc\n");
    }
    Close(minimal, minimalWindow, key);
    Close(program, panel, key);
}

} // namespace

// With "paint" only the painting and opening figures, for a second run at another scale.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // figures appear as they are measured
    const bool paintOnly = argc > 1 && std::strcmp(argv[1], "paint") == 0;
    const std::wstring key = BenchmarkKey(7);
    SetSettingsKeyPathForTesting(key);
    const bool ran = InProcess(paintOnly);
    SetSettingsKeyPathForTesting(L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (paintOnly) {
        return ran ? 0 : 1;
    }
    StartUp();
    StartUpToTrayIcon();
    MemoryUse();
    return ran ? 0 : 1;
}
