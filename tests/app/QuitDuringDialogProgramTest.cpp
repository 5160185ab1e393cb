// A display change while one of the program's modal windows is open: the window closes as
// if cancelled, nothing it would have done on a choice of the user happens, and the
// program goes on with a rebuilt panel.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

using namespace program_test;

namespace {

constexpr UINT_PTR kUpdateCheckTimer = 3;
constexpr int kInstallButton = 10202;
constexpr int kDelayButton = 1028;
constexpr int kDelaySlider = 1029;

class QuitDuringDialogTest : public ProgramFixture {
protected:
    // The program's visible window other than `panel` once one shows, or null.
    HWND WaitForDialog(const Program& program, HWND panel) {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND window : WindowsOf(program.id)) {
                if (window != panel && ::IsWindowVisible(window)) {
                    found = window;
                }
            }
            return found != nullptr;
        });
        return found;
    }

    // A display change with `dialog` open: the dialog goes, a new panel comes, and the
    // program keeps running.
    void ChangeDisplayWhileOpen(Program& program, HWND panel, HWND dialog) {
        ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); })) << "the dialog stayed";
        HWND rebuilt = nullptr;
        WaitFor([&] {
            for (HWND window : WindowsOf(program.id)) {
                if (window != panel && window != dialog && ::GetDlgItem(window, kExpandButton)) {
                    rebuilt = window;
                }
            }
            return rebuilt != nullptr;
        });
        EXPECT_NE(rebuilt, nullptr) << "no rebuilt panel";
        EXPECT_EQ(ExitCode(program, 0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
    }
};

TEST_F(QuitDuringDialogTest, TheUpdatePageClosedByADisplayChangeInstallsNothing) {
    LoopbackHttpServer endpoint(
        {{"/Orvalux/", LoopbackHttpServer::Response(
                           "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated>"
                           "<Version>9.8.7</Version><Location>#BASE#/files/setup.exe"
                           "</Location><Changes>PHRyPjx0ZD5GYXN0ZXI8L3RkPjwvdHI+</Changes></VERSION>")},
         {"/files/", LoopbackHttpServer::Response("MZ")}});
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                              (endpoint.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
    WriteSetting(L"CheckForUpdates", 1);
    Program& program = Start(L"", "display; monitor");
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
    const std::vector<HWND> windows = WaitForWindows(program.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    const HWND panel = windows[0];

    // The hourly check finds the offer; the balloon's click shows the page.
    ::PostMessageW(panel, WM_TIMER, kUpdateCheckTimer, 0);
    ASSERT_TRUE(WaitFor([&] {
        uint64_t lastCheck = 0;
        DWORD size = sizeof(lastCheck);
        return ::RegGetValueW(HKEY_CURRENT_USER, settingsKey.c_str(), L"LastCheckForUpdate", RRF_RT_QWORD,
                              nullptr, &lastCheck, &size) == ERROR_SUCCESS;
    })) << "no check";
    TrayCallback(panel, NIN_BALLOONUSERCLICK, 0, 0);
    const HWND page = WaitForDialog(program, panel);
    ASSERT_NE(page, nullptr) << "no update page";
    ASSERT_NE(::GetDlgItem(page, kInstallButton), nullptr);

    ChangeDisplayWhileOpen(program, panel, page);
    for (const std::string& line : endpoint.RequestLines()) {
        EXPECT_EQ(line.find("/files/"), std::string::npos) << "the installer was requested: " << line;
    }
}

TEST_F(QuitDuringDialogTest, TheDelayPopupClosedByADisplayChangeStoresNothing) {
    WriteSetting(L"SettingsTimeout", 3000);
    Program& program = Start(L"", "display; monitor");
    const std::vector<HWND> windows = WaitForWindows(program.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    const HWND panel = windows[0];
    ShowPanel(panel);
    ::PostMessageW(::GetDlgItem(panel, kDelayButton), BM_CLICK, 0, 0);
    const HWND popup = WaitForDialog(program, panel);
    ASSERT_NE(popup, nullptr) << "no delay popup";
    DragSlider(popup, kDelaySlider, 3500);

    ChangeDisplayWhileOpen(program, panel, popup);
    DWORD stored = 0;
    EXPECT_TRUE(ReadSetting(L"SettingsTimeout", stored));
    EXPECT_EQ(stored, 3000u);
}

} // namespace
