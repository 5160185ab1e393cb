#include "app/Application.h"

#include "app/CommandLine.h"
#include "app/CommandLineRules.h"
#include "app/CommandLineStart.h"
#include "app/Installation.h"
#include "app/MonitorOffThread.h"
#include "app/PanelDialog.h"
#include "app/PanelRules.h"
#include "app/RemoteCommand.h"
#include "app/StartupError.h"
#include "app/TrayIcon.h"
#include "app/TrayRules.h"
#include "common/ComInitialization.h"
#include "common/GdiplusSession.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/SettingsStore.h"
#include "simulator/SimulatedMonitorApi.h"
#include "ui/Localization.h"
#include "ui/TrayLocator.h"
#include "update/InstallerWatch.h"
#include "update/UpdateFolder.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <string>

bool rebuildRequested = false;

namespace {
bool exitRequested = false;
} // namespace

void RequestExit() {
    exitRequested = true;
    ::PostQuitMessage(0);
}
HINSTANCE moduleInstance = nullptr;
uint32_t settingsTimeout = 3000;
uint32_t hotkeyIncrement = kDefaultHotkeyIncrement;

namespace {

constexpr UINT kFirstReapplyDelayMs = 200;
constexpr DWORD kAllCommonControlClasses = 0xC2FF;

// Later DLL loads search System32 only, so a DLL placed beside the program is never
// picked up. Looked up at run time: Windows 7 has it only with an update installed.
void RestrictDllSearchToSystem32() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

void RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) {
            return;
        }
        if (result == -1) {
            continue;
        }
        if (!::IsDialogMessageW(panelDialog.Window(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// Everything that depends on the set of monitors, built at start and after each
// display change. A rebuild keeps the tray icon and the placement of the first.
void BuildPass() {
    // Taken now: the calls below wait in COM and dispatch sent messages, and a display
    // change arriving meanwhile must request another pass rather than be cleared.
    rebuildRequested = false;
    LoadLanguageSetting();
    EnumerateDisplayMonitors();
    LoadMonitorSettings();
    panelDialog.Create();
    LoadTrayIcons();
    uint32_t storedTimeout = kDefaultSettingsTimeoutMs;
    ReadSettingDword(L"SettingsTimeout", storedTimeout);
    settingsTimeout = SettingsTimeoutFromStored(storedTimeout);
    uint32_t storedIncrement = kDefaultHotkeyIncrement;
    ReadSettingDword(L"HotkeyIncrement", storedIncrement);
    hotkeyIncrement = HotkeyIncrementFromStored(storedIncrement);
    // Shortly after start the remembered values go out once more, with retries, for
    // monitors that were still waking up when the stored values were applied.
    ::SetTimer(panelDialog.Window(), kReapplyTimerId, kFirstReapplyDelayMs, nullptr);
    // Added once, for the panel window that lives through every rebuild: also when the
    // first pass was cut short by a display change.
    if (!trayIconData.hWnd && !rebuildRequested) {
        AddTrayIcon(panelDialog.LastingWindow());
        RECT icon{};
        if (!rebuildRequested && LocateTrayIcon(trayIconData.hWnd, trayIconData.uID, icon)) {
            panelDialog.ShowPanelAt(icon.left, icon.top, SW_HIDE);
        }
    }
    commandDispatcher.Start();
}

void Teardown() {
    // The waits below dispatch messages: a re-apply must not reach a list being destroyed.
    ::KillTimer(panelDialog.Window(), kReapplyTimerId);
    ::KillTimer(panelDialog.LastingWindow(), kReapplyTimerId);
    // Exit and rebuild do not wait for a stalled update endpoint.
    panelDialog.StopUpdateCheck();
    if (!rebuildRequested) {
        RemoveTrayIcon();
    }
    commandDispatcher.Stop();
    EndRemoteCommands();
    if (!rebuildRequested) {
        panelDialog.Destroy();
    }
    DestroyDisplayMonitors();
    DetachLaptopBacklight();
}

// Whichever way the resident program ends, also when a rebuild fails, its tray icon goes
// and its panel windows are destroyed, with the title image, while GDI+ still runs.
class ResidentWindows {
public:
    ResidentWindows() = default;
    ~ResidentWindows() {
        if (panelDialog.Window()) { // not yet done by the teardown of an exit
            RemoveTrayIcon();
            panelDialog.Destroy();
        }
    }
    ResidentWindows(const ResidentWindows&) = delete;
    ResidentWindows& operator=(const ResidentWindows&) = delete;
};

int RunResident(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    moduleInstance = instance;
    SetResourceModule(instance);
    std::srand(::GetTickCount());

    // COM is never uninitialised on this thread: its objects may be released as late as
    // the end of the process.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com)) {
        return com;
    }
    GdiplusSession gdiplus;
    const ResidentWindows residentWindows; // ended before GDI+

    HRESULT attached = AttachLaptopBacklight();
    if (attached < 0) {
        return attached;
    }
    for (;;) {
        BuildPass();
        RunMessageLoop();
        if (exitRequested) {
            rebuildRequested = false;
        }
        Teardown();
        if (!rebuildRequested) {
            return 0;
        }
        attached = AttachLaptopBacklight();
        if (attached < 0) {
            return attached;
        }
    }
}

} // namespace

int RunOrvalux(HINSTANCE instance, const wchar_t* commandLine) {
    RestrictDllSearchToSystem32();
    const std::wstring_view arguments = ArgumentText(commandLine ? commandLine : L"");
    // Before the simulated monitors: a command for the running instance touches none.
    if (IsCommandLineRequest(arguments)) {
        return RunCommandLine(arguments);
    }
    std::string simulationError;
    if (InstallSimulationFromEnvironment(simulationError) == SimulationChoice::Malformed) {
        ReportStartupError(simulationError);
        return E_INVALIDARG;
    }

    if (const auto watch = ParseAfterUpdateCommandLine(arguments)) {
        WatchInstaller(reinterpret_cast<HANDLE>(watch->installer), std::wstring(watch->program),
                       kInstanceEventName);
        return 0;
    }
    if (IsUninstallCommandLine(arguments)) {
        // An update removes the version it replaces with the same call: the new version
        // at the same path goes on starting with Windows.
        if (!IsUpdateReplacingInstallation()) {
            ForgetOwnStartWithWindows();
        }
        return 0;
    }

    // The event exists as long as the process runs; its existence marks the instance.
    UniqueHandle instanceEvent(::CreateEventW(nullptr, FALSE, FALSE, kInstanceEventName));
    const bool anotherInstanceRuns = instanceEvent && ::GetLastError() == ERROR_ALREADY_EXISTS;
    const bool monitorOff = IsMonitorOffCommandLine(arguments);

    if (anotherInstanceRuns) {
        if (monitorOff) {
            ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(kMonitorOffMessageName), 0, 0);
        }
        return 0;
    }
    if (monitorOff) {
        UniqueHandle thread;
        if (StartMonitorOff(&thread)) {
            WaitDispatchingMessages(thread.get());
        } else {
            SwitchMonitorsOff(); // no thread to do it: this start is only for that
        }
        return 0;
    }
    RemoveFinishedUpdateFolders();
    return RunResident(instance);
}
