// The notification-area walk on a task bar of real windows built here: Wine's own task
// bar has no notification area to walk.
#include "ui/TrayLocator.h"

#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

namespace {

HWND Create(const wchar_t* windowClass, HWND parent, DWORD style = WS_CHILD | WS_VISIBLE) {
    return ::CreateWindowExW(0, windowClass, L"", style, 0, 0, 400, 40, parent, nullptr, nullptr, nullptr);
}

// Buttons of a toolbar; a mouse move over `ourButton` answers the probe as the program's
// own tray callback does.
WNDPROC toolbarProcedure = nullptr;
int ourButton = -1;

LRESULT CALLBACK AnsweringToolbar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && ourButton >= 0) {
        RECT rect{};
        ::SendMessageW(window, TB_GETITEMRECT, static_cast<WPARAM>(ourButton),
                       reinterpret_cast<LPARAM>(&rect));
        if (LOWORD(lParam) == rect.left && HIWORD(lParam) == rect.top && trayProbeState == 1) {
            trayProbeState = 2;
        }
    }
    return ::CallWindowProcW(toolbarProcedure, window, message, wParam, lParam);
}

class FakeTaskbar : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        for (const wchar_t* name : {L"Shell_TrayWnd", L"TrayNotifyWnd", L"OrvaluxTestBox"}) {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &::DefWindowProcW;
            windowClass.lpszClassName = name;
            ::RegisterClassW(&windowClass);
        }
    }

    // Shell_TrayWnd > OrvaluxTestBox > TrayNotifyWnd > ToolbarWindow32 (four buttons).
    void SetUp() override {
        taskbar.reset(Create(L"Shell_TrayWnd", nullptr, WS_POPUP));
        const HWND box = Create(L"OrvaluxTestBox", taskbar.get());
        notificationArea = Create(L"TrayNotifyWnd", box);
        toolbar = Create(TOOLBARCLASSNAMEW, notificationArea, WS_CHILD | WS_VISIBLE | TBSTYLE_LIST);
        ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[4] = {};
        for (int i = 0; i < 4; ++i) {
            buttons[i] = TBBUTTON{I_IMAGENONE, 100 + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
        }
        ::SendMessageW(toolbar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons));
        ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
        toolbarProcedure = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringToolbar)));
        ourButton = -1;
    }

    UniqueHwnd taskbar;
    HWND notificationArea = nullptr;
    HWND toolbar = nullptr;
};

TEST_F(FakeTaskbar, TheWalkFindsTheFirstToolbarOfTheNotificationArea) {
    const HWND second = Create(TOOLBARCLASSNAMEW, notificationArea);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), toolbar);
    ::DestroyWindow(toolbar);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), second) << "the first one left";
    ::DestroyWindow(second);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), notificationArea) << "no toolbar: the area itself";
    ::DestroyWindow(notificationArea);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), nullptr);
    EXPECT_EQ(FindTrayToolbarIn(nullptr), nullptr);
}

TEST_F(FakeTaskbar, TheProbeFindsTheButtonThatAnswersAndOnlyThatOne) {
    ourButton = 2;
    RECT found{};
    ASSERT_TRUE(LocateTrayIconInToolbar(toolbar, found));
    RECT expected{};
    ::SendMessageW(toolbar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&expected));
    ::MapWindowPoints(toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&expected), 2);
    EXPECT_TRUE(::EqualRect(&found, &expected));
    EXPECT_EQ(trayProbeState, 0u);

    // Hidden in the overflow: no button answers.
    ourButton = -1;
    EXPECT_FALSE(LocateTrayIconInToolbar(toolbar, found));
    EXPECT_EQ(trayProbeState, 0u);
    EXPECT_FALSE(LocateTrayIconInToolbar(nullptr, found));
}

TEST(TrayLocator, WithoutAShellThatKnowsTheIconNothingIsFound) {
    // Wine's shell answers no rectangle, and its task bar has no notification area.
    UniqueHwnd window(Create(L"STATIC", nullptr, WS_POPUP));
    RECT found{};
    EXPECT_FALSE(LocateTrayIcon(window.get(), 1, found));
}

} // namespace
