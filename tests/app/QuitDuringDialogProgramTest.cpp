// A display change while one of the program's modal windows is open closes it as if
// cancelled: nothing it would have done on a choice of the user happens, and the program
// goes on with a rebuilt panel.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace program_test;

namespace {

class QuitDuringDialogTest : public ProgramFixture {
protected:
    // The program's visible window that is no panel, once one shows.
    HWND WaitForDialog(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        HWND found = nullptr;
        WaitFor(
            [&] {
                for (HWND window : WindowsOf(program->id)) {
                    if (::IsWindowVisible(window) && !::GetDlgItem(window, kExpandButton)) {
                        found = window;
                    }
                }
                return found != nullptr;
            },
            limit);
        return found;
    }

    // A display change with `dialog` open: the dialog goes and a new panel comes.
    void ChangeDisplayWhileOpen(HWND dialog) {
        const std::vector<HWND> before = WindowsOf(program->id);
        ::PostMessageW(first, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); })) << "the dialog stayed";
        EXPECT_TRUE(WaitFor([&] {
            for (HWND window : WindowsOf(program->id)) {
                if (std::find(before.begin(), before.end(), window) == before.end() &&
                    ::GetDlgItem(window, kExpandButton)) {
                    return true;
                }
            }
            return false;
        })) << "no rebuilt panel";
        EXPECT_EQ(ExitCode(*program, 0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
    }

    Program* program = nullptr;
    HWND first = nullptr; // the first panel, the tray icon's window through every rebuild
};

TEST_F(QuitDuringDialogTest, ADisplayChangeCancelsTheDelayPopupAndTheUpdatePage) {
    LoopbackHttpServer endpoint(
        {{"/Orvalux/", LoopbackHttpServer::Response(
                           "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Version>9.8.7</Version>"
                           "<Location>#BASE#/files/setup.exe</Location>"
                           "<Changes>PHRyPjx0ZD5GYXN0ZXI8L3RkPjwvdHI+</Changes></VERSION>")},
         {"/files/", LoopbackHttpServer::Response("MZ")}});
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                              (endpoint.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
    WriteSetting(L"CheckForUpdates", 1);
    WriteSetting(L"SettingsTimeout", 3000);
    program = &Start(L"", "display; monitor");
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
    const std::vector<HWND> windows = WaitForWindows(program->id, 1);
    ASSERT_EQ(windows.size(), 1u);
    first = windows[0];

    // The delay popup, moved to 3.5 s: nothing is stored.
    ShowPanel(first);
    ::PostMessageW(::GetDlgItem(first, 1028), BM_CLICK, 0, 0);
    const HWND popup = WaitForDialog();
    ASSERT_NE(popup, nullptr) << "no delay popup";
    DragSlider(popup, 1029, 3500);
    ChangeDisplayWhileOpen(popup);
    DWORD stored = 0;
    EXPECT_TRUE(ReadSetting(L"SettingsTimeout", stored));
    EXPECT_EQ(stored, 3000u);

    // The update page, found by the hourly check and opened by the balloon: nothing is
    // downloaded.
    ::PostMessageW(first, WM_TIMER, 3, 0);
    ASSERT_TRUE(WaitFor([&] {
        uint64_t lastCheck = 0;
        DWORD size = sizeof(lastCheck);
        return ::RegGetValueW(HKEY_CURRENT_USER, settingsKey.c_str(), L"LastCheckForUpdate", RRF_RT_QWORD,
                              nullptr, &lastCheck, &size) == ERROR_SUCCESS;
    })) << "no check";
    // The check's answer reaches the panel a moment after the time is stored: until then a
    // balloon click finds no update to show.
    HWND page = nullptr;
    for (int click = 0; click < 5 && !page; ++click) {
        TrayCallback(first, NIN_BALLOONUSERCLICK, 0, 0);
        page = WaitForDialog(std::chrono::seconds(3));
    }
    ASSERT_NE(page, nullptr) << "no update page";
    ChangeDisplayWhileOpen(page);
    for (const std::string& line : endpoint.RequestLines()) {
        EXPECT_EQ(line.find("/files/"), std::string::npos) << "the installer was requested: " << line;
    }
}

} // namespace
