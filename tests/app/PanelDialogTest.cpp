// The panel's message rows that carry logic, on a panel created in this process.
#include "ScopedSettingsKey.h"
#include "TestRegistry.h"

#include "app/PanelDialog.h"
#include "app/TrayIcon.h"
#include "ui/TrayLocator.h"
#include "common/Settings.h"
#include "ui/Localization.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the owner of the tray menu saw when it opened: the two checkable items and the
// update item's text. A timer in the menu's loop closes it.
struct MenuSeen {
    UINT startWithWindows = 0;
    UINT checkForUpdates = 0;
    std::wstring updateText;
};
MenuSeen menuSeen;

// The shell's side of the icon as Wine's shell32 reaches it: each add, modify and delete
// comes as WM_COPYDATA to the first "Shell_TrayWnd", its flags the third field.
std::vector<std::pair<ULONG_PTR, UINT>> shellRecords;

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(wParam);
        menuSeen.startWithWindows = ::GetMenuState(menu, IDM_START_WITH_WINDOWS, MF_BYCOMMAND);
        menuSeen.checkForUpdates = ::GetMenuState(menu, IDM_CHECK_FOR_UPDATES, MF_BYCOMMAND);
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, IDM_CHECK_FOR_UPDATES, text, 128, MF_BYCOMMAND);
        menuSeen.updateText = text;
        ::SetTimer(window, 1, 50, nullptr);
    } else if (message == WM_TIMER) {
        ::KillTimer(window, 1);
        ::EndMenu();
    } else if (message == WM_COPYDATA) {
        const auto* copied = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        UINT flags = 0;
        if (copied->cbData >= 3 * sizeof(UINT)) {
            std::memcpy(&flags, static_cast<const BYTE*>(copied->lpData) + 2 * sizeof(UINT), sizeof(flags));
        }
        shellRecords.emplace_back(copied->dwData, flags);
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class PanelDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), 0xC2FF};
        ::InitCommonControlsEx(&controls);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
        SetResourceModule(::GetModuleHandleW(nullptr));
        settingsKey = std::make_unique<test_support::ScopedSettingsKey>(L"OrvaluxPanelTest");
        ASSERT_NE(panelDialog.Create(), nullptr);
    }
    static void TearDownTestSuite() {
        panelDialog.Destroy();
        settingsKey.reset();
        Gdiplus::GdiplusShutdown(gdiplusToken);
    }

    static HWND Panel() { return panelDialog.Window(); }
    static inline ULONG_PTR gdiplusToken = 0;
    static inline std::unique_ptr<test_support::ScopedSettingsKey> settingsKey;
};

// The program's own popups keep the panel too: the dialog program test's delay popup.
TEST_F(PanelDialogTest, ForeignWindowsHideThePanelAndItsOwnDoNot) {
    const UniqueHwnd foreign(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    ::ShowWindow(Panel(), SW_SHOWNOACTIVATE);
    for (const HWND keeper : {Panel(), ::GetDlgItem(Panel(), IDC_EXPAND)}) {
        ::SendMessageW(Panel(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(keeper));
        EXPECT_TRUE(::IsWindowVisible(Panel()));
    }
    ::SendMessageW(Panel(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(foreign.get()));
    EXPECT_FALSE(::IsWindowVisible(Panel()));
}

TEST_F(PanelDialogTest, TheThickFrameNeverShowsASizingCursor) {
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    for (const WORD hit : {HTLEFT, HTRIGHT, HTTOP, HTBOTTOMRIGHT, HTBORDER}) {
        ::SetCursor(arrow);
        EXPECT_EQ(::SendMessageW(Panel(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Panel()),
                                 MAKELPARAM(hit, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(::GetCursor(), arrow) << hit;
    }
}

// A rebuild creates a new panel window and keeps the first; the one between is destroyed.
TEST_F(PanelDialogTest, TimersOfTheFirstWindowEndAndItAloneChecksHourly) {
    const HWND first = panelDialog.LastingWindow();
    ASSERT_NE(panelDialog.Create(), nullptr);
    EXPECT_FALSE(::KillTimer(Panel(), kUpdateCheckTimerId)) << "a second hourly timer";
    // Armed on the first window while a rebuild was under way, each fires once.
    for (const UINT_PTR timer : {kReapplyTimerId, kShowPanelTimerId}) {
        ::SetTimer(first, timer, 60000, nullptr);
        ::SendMessageW(first, WM_TIMER, timer, 0);
        EXPECT_FALSE(::KillTimer(first, timer)) << "timer " << timer << " goes on";
    }
    ::ShowWindow(Panel(), SW_HIDE);
}

TEST_F(PanelDialogTest, APanelWindowBetweenRebuildsLeavesNeitherIconNorLostHotkey) {
    // Free at this rebuild (taken by another program at start, say): Ctrl+Alt+F9.
    WriteSettingDword(L"HotkeyBrightnessUp", VK_F9 | (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8);
    ASSERT_NE(panelDialog.Create(), nullptr);
    const HWND between = Panel();
    const auto expandIcon = [](HWND panel) {
        return ::SendDlgItemMessageW(panel, IDC_EXPAND, BM_GETIMAGE, IMAGE_ICON, 0);
    };
    // One icon for every window: none was made for the destroyed one.
    const LRESULT icon = expandIcon(panelDialog.LastingWindow());
    EXPECT_NE(icon, 0);
    EXPECT_EQ(expandIcon(between), icon);
    ASSERT_NE(panelDialog.Create(), nullptr);
    EXPECT_FALSE(::IsWindow(between));
    EXPECT_EQ(expandIcon(Panel()), icon);

    const UniqueHwnd other(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(::RegisterHotKey(other.get(), 1, MOD_CONTROL | MOD_ALT, VK_F9))
        << "the combination was lost";
    ::UnregisterHotKey(other.get(), 1);
    WriteSettingDword(L"HotkeyBrightnessUp", 0);
}

TEST_F(PanelDialogTest, TheTrayMenuChecksWhatIsOnAndNamesAWaitingUpdate) {
    WNDCLASSW standIn{};
    standIn.lpfnWndProc = &StandInProcedure;
    standIn.lpszClassName = L"Shell_TrayWnd";
    ::RegisterClassW(&standIn);
    const UniqueHwnd owner(::CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                             nullptr, nullptr, nullptr));
    using test_support::kRunKey;
    const test_support::SavedValue usersOwn(HKEY_CURRENT_USER, kRunKey, L"Orvalux");
    struct Case {
        bool startWithWindows, updateAvailable, checksDaily;
        UINT startChecked, updateChecked;
        unsigned textId;
    };
    for (const Case& c : {Case{true, false, true, MF_CHECKED, MF_CHECKED, kCheckForUpdatesTextId},
                          Case{false, false, false, 0, 0, kCheckForUpdatesTextId},
                          Case{false, true, true, 0, 0, kUpdateWaitingTextId}}) {
        if (c.startWithWindows) {
            test_support::WriteString(HKEY_CURRENT_USER, kRunKey, L"Orvalux", L"orvalux.exe");
        } else {
            test_support::DeleteValue(HKEY_CURRENT_USER, kRunKey, L"Orvalux");
        }
        menuSeen = {};
        ShowTrayMenu(owner.get(), c.updateAvailable, c.checksDaily);
        EXPECT_EQ(menuSeen.startWithWindows & MF_CHECKED, c.startChecked) << c.startWithWindows;
        EXPECT_EQ(menuSeen.checkForUpdates & MF_CHECKED, c.updateChecked)
            << c.updateAvailable << c.checksDaily;
        EXPECT_EQ(menuSeen.updateText, LoadText(c.textId));
    }

    // The balloon goes to the shell once: the next change of the icon does not repeat it.
    LoadTrayIcons();
    trayIconData = NOTIFYICONDATAW{};
    trayIconData.cbSize = sizeof(trayIconData);
    trayIconData.hWnd = owner.get();
    trayIconData.uFlags = NIF_ICON;
    trayIconData.hIcon = trayIcons[0];
    shellRecords.clear();
    ShowUpdateBalloon();
    SetTrayLevel(100);
    ASSERT_EQ(shellRecords.size(), 2u) << "the stand-in is not the shell Wine reaches";
    EXPECT_EQ(shellRecords[0].first, static_cast<ULONG_PTR>(NIM_MODIFY));
    EXPECT_TRUE(shellRecords[0].second & NIF_INFO);
    EXPECT_FALSE(shellRecords[1].second & NIF_INFO);
}

TEST_F(PanelDialogTest, TheIconAnswersTheLocatorsProbeAndNoOtherMove) {
    // The shell passes a move over the icon on; without a probe it changes nothing.
    for (const auto& [before, after] : {std::pair{1u, 2u}, std::pair{0u, 0u}}) {
        trayProbeState = before;
        ::SendMessageW(Panel(), kTrayCallbackMessage, 0, MAKELPARAM(WM_MOUSEMOVE, 1));
        EXPECT_EQ(trayProbeState, after) << before;
    }
}

} // namespace
