// The tray walk and probe on a task bar built here: Wine's own has no notification area to walk.
#include "ui/TrayLocator.h"

#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

namespace {

HWND Create(const wchar_t* windowClass, HWND parent, int x, DWORD style = WS_CHILD | WS_VISIBLE) {
    return ::CreateWindowExW(0, windowClass, L"", style, x, 0, 400, 40, parent, nullptr, nullptr, nullptr);
}

// A toolbar that answers the probe as the tray callback does: a move over `ourButton` turns 1 into 2.
WNDPROC toolbarProcedure = nullptr;
int ourButton = -1;
int probeMoves = 0;

LRESULT CALLBACK AnsweringToolbar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && trayProbeState == 1) {
        ++probeMoves;
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const auto hit = ::SendMessageW(window, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point));
        if (ourButton >= 0 && hit == ourButton) {
            trayProbeState = 2;
        }
    }
    return ::CallWindowProcW(toolbarProcedure, window, message, wParam, lParam);
}

HWND CreateToolbar(HWND parent, int buttonCount) {
    const HWND toolbar = Create(TOOLBARCLASSNAMEW, parent, 0, WS_CHILD | WS_VISIBLE | TBSTYLE_LIST);
    ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    for (int i = 0; i < buttonCount; ++i) {
        TBBUTTON button{I_IMAGENONE, 100 + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
        ::SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    return toolbar;
}

class FakeTaskbar : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        for (const wchar_t* name : {L"Shell_TrayWnd", L"TrayNotifyWnd", L"SysPager"}) {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &::DefWindowProcW;
            windowClass.lpszClassName = name;
            ASSERT_TRUE(::RegisterClassW(&windowClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
                << "class " << name;
        }
    }

    // As the shell builds it, off the origin so client and screen coordinates differ: the task list,
    // then TrayNotifyWnd > SysPager > the icons' toolbar.
    void SetUp() override {
        taskbar.reset(::CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 300, 200, 900, 40, nullptr,
                                        nullptr, nullptr, nullptr));
        ASSERT_TRUE(taskbar);
        const HWND taskList = CreateToolbar(taskbar.get(), 2);
        notificationArea = Create(L"TrayNotifyWnd", taskbar.get(), 450);
        const HWND pager = Create(L"SysPager", notificationArea, 30);
        toolbar = CreateToolbar(pager, 4);
        ASSERT_TRUE(taskList && notificationArea && pager && toolbar);
        toolbarProcedure = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringToolbar)));
        ourButton = -1;
        probeMoves = 0;
    }

    // Whether `found` is the screen rectangle of `button`.
    bool IsButton(const RECT& found, int button) const {
        RECT rect{};
        ::SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(&rect));
        ::MapWindowPoints(toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
        return ::EqualRect(&found, &rect) != FALSE;
    }

    UniqueHwnd taskbar;
    HWND notificationArea = nullptr;
    HWND toolbar = nullptr;
};

// Allocations of this process's own (the probe's buffer is one when the toolbar is ours).
int PrivateAllocations() {
    int count = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (auto* address = static_cast<char*>(nullptr);
         ::VirtualQuery(address, &info, sizeof(info)) == sizeof(info);
         address = static_cast<char*>(info.BaseAddress) + info.RegionSize) {
        if (info.Type == MEM_PRIVATE && info.State == MEM_COMMIT && info.BaseAddress == info.AllocationBase) {
            ++count;
        }
    }
    return count;
}

TEST_F(FakeTaskbar, TheWalkFindsTheFirstToolbarOfTheNotificationArea) {
    const HWND second = CreateToolbar(notificationArea, 1);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), toolbar);
    ::DestroyWindow(toolbar);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), second) << "the first one left";
    ::DestroyWindow(second);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), notificationArea) << "no toolbar: the area itself";
    ::DestroyWindow(notificationArea);
    EXPECT_EQ(FindTrayToolbarIn(taskbar.get()), nullptr) << "never the task list";
    EXPECT_EQ(FindTrayToolbarIn(nullptr), nullptr);
}

// Wine's shell cannot tell where the icon is and its task bar is older: the walk finds ours, probed.
TEST_F(FakeTaskbar, TheProbeStopsAtTheButtonThatAnswersAndReleasesItsBuffer) {
    ASSERT_EQ(::FindWindowW(L"Shell_TrayWnd", nullptr), taskbar.get());
    UniqueHwnd iconWindow(Create(L"STATIC", nullptr, 0, WS_POPUP));
    ourButton = 3;
    RECT found{};
    ASSERT_TRUE(LocateTrayIcon(iconWindow.get(), 1, found));
    EXPECT_TRUE(IsButton(found, 3));

    // A hidden icon has no rectangle and is passed over.
    ::SendMessageW(toolbar, TB_HIDEBUTTON, 101, TRUE);
    ourButton = 2;
    probeMoves = 0;
    ASSERT_TRUE(LocateTrayIconInToolbar(toolbar, found));
    EXPECT_TRUE(IsButton(found, 2));
    EXPECT_EQ(trayProbeState, 0u);
    EXPECT_EQ(probeMoves, 2) << "buttons 0 and 2 only";

    // Our icon hidden in the overflow: no button answers.
    ourButton = -1;
    probeMoves = 0;
    found = RECT{};
    EXPECT_FALSE(LocateTrayIconInToolbar(toolbar, found));
    EXPECT_EQ(trayProbeState, 0u);
    EXPECT_EQ(probeMoves, 3);
    EXPECT_TRUE(::IsRectEmpty(&found)) << "untouched";
    EXPECT_FALSE(LocateTrayIconInToolbar(nullptr, found));

    const int before = PrivateAllocations();
    for (int i = 0; i < 32; ++i) {
        ourButton = i % 2 == 0 ? 2 : -1;
        EXPECT_EQ(LocateTrayIconInToolbar(toolbar, found), ourButton == 2);
    }
    // A leak would leave 32; a little room for the heap's own growth.
    EXPECT_LE(PrivateAllocations(), before + 4);
}

} // namespace
