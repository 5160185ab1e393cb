// The panel's message rows that carry logic, on a panel created in this process.
#include "app/PanelDialog.h"
#include "app/TrayIcon.h"
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "ui/Localization.h"
#include "ui/SmallIcons.h"
#include "ui/framework/Dpi.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <utility>

namespace {

class OwnDialog final : public CDlgWnd {
public:
    UINT GetTemplateId() const override { return 0; }
};

struct EmptyTemplate {
    alignas(4) DLGTEMPLATE header{WS_POPUP, 0, 0, 0, 0, 60, 40};
    WORD menu = 0, windowClass = 0, title = 0;
};

class PanelDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), 0xC2FF};
        ::InitCommonControlsEx(&controls);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
        SetResourceModule(::GetModuleHandleW(nullptr));
        SetSettingsKeyPathForTesting(L"Software\\Kestrine\\OrvaluxPanelTest");
        ASSERT_NE(panelDialog.Create(), nullptr);
    }
    static void TearDownTestSuite() {
        panelDialog.Destroy();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrine\\OrvaluxPanelTest");
        Gdiplus::GdiplusShutdown(gdiplusToken);
    }

    static HWND Panel() { return panelDialog.Window(); }
    static inline ULONG_PTR gdiplusToken = 0;
};

TEST_F(PanelDialogTest, ForeignWindowsHideThePanelAndTheProgramsOwnDoNot) {
    OwnDialog own;
    EmptyTemplate empty;
    const HWND ownWindow = ::CreateDialogIndirectParamW(
        nullptr, &empty.header, nullptr, &SharedDialogProcedure, reinterpret_cast<LPARAM>(&own));
    const HWND foreign =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ownWindow && foreign);

    ::ShowWindow(Panel(), SW_SHOWNOACTIVATE);
    for (const HWND keeper : {ownWindow, Panel(), ::GetDlgItem(Panel(), IDC_EXPAND)}) {
        ::SendMessageW(Panel(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(keeper));
        EXPECT_TRUE(::IsWindowVisible(Panel()));
    }
    ::SendMessageW(Panel(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(foreign));
    EXPECT_FALSE(::IsWindowVisible(Panel()));
    ::DestroyWindow(foreign);
    ::DestroyWindow(ownWindow);
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

TEST_F(PanelDialogTest, CustomDrawGoesToTheSliderAndItsResultIsTheMessageResult) {
    NMCUSTOMDRAW draw{};
    draw.hdr.hwndFrom = ::GetDlgItem(Panel(), IDC_BRIGHTNESS_SLIDER);
    draw.hdr.idFrom = IDC_BRIGHTNESS_SLIDER;
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(::SendMessageW(Panel(), WM_NOTIFY, IDC_BRIGHTNESS_SLIDER, reinterpret_cast<LPARAM>(&draw)),
              CDRF_NOTIFYITEMDRAW);
    // A control without an object of ours keeps the default drawing.
    draw.hdr.hwndFrom = ::GetDlgItem(Panel(), IDC_FACTORY_RESET);
    draw.hdr.idFrom = IDC_FACTORY_RESET;
    EXPECT_EQ(::SendMessageW(Panel(), WM_NOTIFY, IDC_FACTORY_RESET, reinterpret_cast<LPARAM>(&draw)), 0);
}

TEST_F(PanelDialogTest, TheRunValueIsReadAsOnWhateverItNames) {
    constexpr wchar_t runKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Orvalux");
    EXPECT_FALSE(IsStartWithWindowsOn());
    ::RegSetKeyValueW(HKEY_CURRENT_USER, runKey, L"Orvalux", REG_SZ, L"x", sizeof(L"x"));
    EXPECT_TRUE(IsStartWithWindowsOn());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Orvalux");
}

TEST_F(PanelDialogTest, TheTrayIconShowsTheBrightnessInNineLevels) {
    LoadTrayIcons();
    // At the notification area's size: the small-icon size of the primary monitor's scale.
    const auto icon = [](WORD id) { return IconAtSize(id, SystemMetricForDpi(SM_CXSMICON, SystemDpi())); };
    const std::pair<uint32_t, WORD> levels[] = {{0, IDI_ORVALUX},       {12, IDI_ORVALUX},
                                                {13, IDI_TRAY_LEVEL_1}, {50, IDI_TRAY_LEVEL_4},
                                                {99, IDI_TRAY_LEVEL_7}, {100, IDI_TRAY_LEVEL_8}};
    for (const auto& [percent, id] : levels) {
        SetTrayLevel(percent);
        EXPECT_EQ(trayIconData.hIcon, icon(id)) << percent;
        EXPECT_NE(trayIconData.hIcon, nullptr);
    }
}

TEST_F(PanelDialogTest, BrightnessAndContrastHotkeysWaitForAMonitor) {
    // No display at all, as during a rebuild: a step from an assumed level would reach
    // the next monitors as if it were the user's.
    ASSERT_TRUE(displayMonitors.empty());
    for (int i : {0, 1}) {
        panelDialog.Slider(i).SetLogicalPosition(50);
    }
    for (WPARAM id : {3, 4, 5, 6}) {
        ::SendMessageW(Panel(), WM_HOTKEY, id, 0);
    }
    EXPECT_EQ(panelDialog.Slider(0).LogicalPosition(), 50);
    EXPECT_EQ(panelDialog.Slider(1).LogicalPosition(), 50);
}

} // namespace
