// The panel's buttons and the menu commands.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Hotkeys.h"
#include "app/MonitorsDialog.h"
#include "app/PanelDialog.h"
#include "app/PanelRules.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/SettingsStore.h"
#include "ui/DialogTexts.h"
#include "ui/LanguageDialog.h"
#include "ui/Localization.h"
#include "ui/TimeoutDialog.h"
#include "update/UpdateCheck.h"

#include "resource.h"

#include <cstdio>
#include <string>

namespace {

constexpr UINT kFirstButtonId = 1012;
constexpr UINT kLastButtonId = 1031;
constexpr LPARAM kMonitorPowerOff = 2;

std::wstring ProgramPath() {
    // Long enough for any path the system gives, so the Run value never names a
    // truncated one.
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::wstring ReadRunValue() {
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), kRunValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t)) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (::RegQueryValueExW(key.get(), kRunValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                           &size) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(std::wcslen(value.c_str()));
    return value;
}

} // namespace

// Whether the program starts with Windows: any non-empty Run value counts, whatever it names.
bool IsStartWithWindowsOn() {
    return !ReadRunValue().empty();
}

void ForgetOwnStartWithWindows() {
    if (!RunValueStartsProgram(ReadRunValue(), ProgramPath())) {
        return;
    }
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueW(key.get(), kRunValueName);
    }
}

void PanelDialog::ToggleStartWithWindows() {
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (IsStartWithWindowsOn()) {
        ::RegDeleteValueW(key.get(), kRunValueName);
        return;
    }
    const std::wstring path = ProgramPath();
    if (path.empty()) {
        return;
    }
    // Quoted: the shell splits an unquoted path at its blanks, and "C:\Program Files\…"
    // would start a planted "C:\Program.exe".
    const std::wstring command = L"\"" + path + L"\"";
    ::RegSetValueExW(key.get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

void PanelDialog::ShowAbout() {
    std::wstring text;
    if (const auto version = ReadFileVersion(ProgramPath())) {
        wchar_t line[64];
        std::swprintf(line, 64, L"Version %d.%d.%d", version->major, version->minor, version->build);
        text = line;
    }
    text += L"\n\nhttps://orvalux.org";
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof(box);
    box.hInstance = ResourceModule();
    box.lpszText = text.c_str();
    box.lpszCaption = L"About Orvalux";
    box.dwStyle = MB_USERICON;
    box.lpszIcon = MAKEINTRESOURCEW(IDI_ORVALUX);
    box.dwLanguageId = currentLangId.load();
    ::MessageBoxIndirectW(&box);
}

INT_PTR PanelDialog::HandleCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        return HandleButton(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    }
    if (HIWORD(wParam) != 0) {
        return 0; // accelerators are not the panel's
    }
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        ::ShowWindow(window, SW_HIDE);
        return 1;
    case IDM_ABOUT:
        ShowAbout();
        return 1;
    case IDM_START_WITH_WINDOWS:
        ToggleStartWithWindows();
        return 1;
    case IDM_CHECK_FOR_UPDATES:
        // The next hourly tick decides whether a check is due.
        checkForUpdatesEnabled = checkForUpdatesEnabled ? 0 : 1;
        WriteSettingDword(L"CheckForUpdates", checkForUpdatesEnabled);
        return 1;
    case IDM_MONITORS: {
        CMonitorsDlg dialog;
        dialog.Run(nullptr);
        return 1;
    }
    case IDM_MONITOR_OFF:
        ::PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
        return 1;
    case IDM_EXIT:
        RequestExit();
        return 1;
    default:
        return 0;
    }
}

void PanelDialog::ChooseLanguage(HWND button) {
    CLanguageDlg popup(languageIndex);
    const INT_PTR chosen = popup.Run(button);
    if (chosen < 0) {
        return;
    }
    // Even the same language again: stored and applied anew. Windows opened later, the
    // menu and the tooltips take their texts when they show.
    languageIndex = static_cast<uint32_t>(chosen);
    SetLanguage(languageIndex);
    ShowLanguageFlag();
    WriteSettingDword(L"Language", languageIndex);
    ApplyDialogTexts(IDD_PANEL, window);
}

INT_PTR PanelDialog::HandleButton(UINT id, HWND button) {
    if (id < kFirstButtonId || id > kLastButtonId) {
        return 0;
    }
    switch (id) {
    case IDC_FACTORY_RESET:
        RestoreAllFactoryDefaults();
        SyncSliders();
        return 1;
    case IDC_EXPAND:
        expandLevel = (expandLevel + 1) % (kMaximumExpandLevel + 1);
        WriteSettingDword(L"Expand", expandLevel);
        LayoutPanel();
        return 1;
    case IDC_HOTKEYS:
        // Registered for the window that lives through rebuilds, like those of the start.
        EditHotkeys(window, LastingWindow());
        return 1;
    case IDC_REAPPLY_DELAY: {
        CTimeoutDlg popup(settingsTimeout);
        const INT_PTR chosen = popup.Run(button);
        if (chosen >= 0) {
            // Kept, sent out again after the new delay, and stored.
            settingsTimeout = static_cast<uint32_t>(chosen);
            RequestReapply();
            WriteSettingDword(L"SettingsTimeout", settingsTimeout);
        }
        return 1;
    }
    case IDC_LANGUAGE:
        ChooseLanguage(button);
        return 1;
    default:
        return 0;
    }
}
