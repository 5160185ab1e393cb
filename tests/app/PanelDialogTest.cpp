// The panel's message rows that carry logic, on a panel created in this process.
#include "ScopedSettingsKey.h"

#include "app/PanelDialog.h"
#include "ui/Localization.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

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

} // namespace
