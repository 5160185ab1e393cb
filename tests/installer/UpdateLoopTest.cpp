// The package and the whole update road as a user meets them under Wine: the project's
// package installed, found out of date by the update endpoint (tools/update-server,
// started by run-with-endpoint with the next version published), updated from its own
// update page, and uninstalled.
#include "InstalledVersions.h"
#include "ProgramFixture.h"
#include "update/UpdateCheck.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <msi.h>

#include <filesystem>
#include <string>

using namespace program_test;

namespace {

constexpr int kInstallButton = 10202;
constexpr UINT_PTR kUpdateCheckTimer = 3;

class UpdateLoopTest : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
        ASSERT_EQ(UninstallEveryVersion(), static_cast<UINT>(ERROR_SUCCESS));
        installed =
            std::filesystem::path(::_wgetenv(L"LOCALAPPDATA")) / "Programs" / "Orvalux" / "orvalux.exe";
        shortcut = std::filesystem::path(::_wgetenv(L"APPDATA")) / "Microsoft" / "Windows" / "Start Menu" /
                   "Programs" / "Orvalux.lnk";
        // What the installed program starts with: inherited through the installer.
        ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", L"display; monitor");
        ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", settingsKey.c_str());
        ::SetEnvironmentVariableW(L"ORVALUX_SIMULATOR_STATE", stateFile.c_str());
        char endpoint[512] = {};
        ::GetEnvironmentVariableA("ORVALUX_TEST_ENDPOINT", endpoint, sizeof(endpoint));
        ASSERT_STRNE(endpoint, "") << "run by run-with-endpoint, which starts the update endpoint";
        ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", endpoint);
    }
    void TearDown() override {
        for (UniqueHandle& process : ProcessesNamed(L"orvalux.exe")) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), 5000);
        }
        EXPECT_EQ(UninstallEveryVersion(), static_cast<UINT>(ERROR_SUCCESS));
        ProgramFixture::TearDown();
    }

    // The installed program once it runs with its panel: its process and panel window.
    std::pair<Program, HWND> WaitForInstalledProgram() {
        Program found;
        HWND panel = nullptr;
        WaitFor([&] {
            for (UniqueHandle& process : ProcessesFrom(installed)) {
                if (::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
                    const DWORD id = ::GetProcessId(process.get());
                    if (const std::vector<HWND> windows = WindowsOf(id); !windows.empty()) {
                        found.id = id;
                        found.process = std::move(process);
                        panel = windows[0];
                        return true;
                    }
                }
            }
            return false;
        });
        return {std::move(found), panel};
    }

    std::optional<RunningVersion> InstalledVersion() const { return ReadFileVersion(installed.wstring()); }

    std::filesystem::path installed;
    std::filesystem::path shortcut;
};

TEST_F(UpdateLoopTest, TheInstalledProgramUpdatesItselfAndUninstallsCleanly) {
    const test_support::SavedValue usersOwn(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux");
    WriteSetting(L"CheckForUpdates", 1);
    WriteSetting(L"HotkeyIncrement", 7);

    // Installing starts the program from its new place, with a Start-menu shortcut.
    ASSERT_EQ(::MsiInstallProductW(BuildPath(ORVALUX_PACKAGE_PATH).c_str(), L""),
              static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_TRUE(std::filesystem::exists(shortcut));
    ASSERT_TRUE(InstalledVersion());
    EXPECT_EQ(InstalledVersion()->build, ORVALUX_VERSION_PATCH);
    auto [first, firstPanel] = WaitForInstalledProgram();
    ASSERT_NE(firstPanel, nullptr) << "the installed program did not start";
    test_support::WriteString(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux",
                              L"\"" + installed.wstring() + L"\"");

    // The hourly check finds the next version; the balloon's click shows it; Install
    // replaces the program, which ends, and the new version starts in its place.
    ::PostMessageW(firstPanel, WM_TIMER, kUpdateCheckTimer, 0);
    EXPECT_TRUE(WaitForUpdateCheckStored()) << "no check";
    // The check runs on the main thread: this message is handled once it has returned, or
    // inside whatever modal loop it opened, whose window shows by then.
    ::SendMessageTimeoutW(firstPanel, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
    for (HWND window : WindowsOf(first.id, nullptr)) {
        EXPECT_FALSE(::IsWindowVisible(window))
            << "the daily check is quiet, but window " << window << " shows";
    }
    // The check's result reaches the panel just after the check is stored: a click
    // before it finds no update yet, and is given again.
    HWND page = nullptr;
    for (int click = 0; click < 3 && !page; ++click) {
        TrayCallback(firstPanel, NIN_BALLOONUSERCLICK, 0, 0);
        WaitFor([&] {
            for (HWND window : WindowsOf(first.id)) {
                if (window != firstPanel && ::IsWindowVisible(window) &&
                    ::GetDlgItem(window, kInstallButton)) {
                    page = window;
                }
            }
            return page != nullptr;
        });
    }
    ASSERT_NE(page, nullptr) << "no update page";
    ::PostMessageW(::GetDlgItem(page, kInstallButton), BM_CLICK, 0, 0);
    EXPECT_EQ(ExitCode(first, 60000), 0u) << "the updated program did not end";

    auto [next, nextPanel] = WaitForInstalledProgram();
    ASSERT_NE(nextPanel, nullptr) << "the new version did not start";
    EXPECT_TRUE(WaitFor([] { return ProcessesNamed(L"msiexec.exe").empty(); })) << "the installer goes on";
    ASSERT_TRUE(InstalledVersion());
    EXPECT_EQ(InstalledVersion()->build, ORVALUX_VERSION_PATCH + 1);
    DWORD stored = 0;
    EXPECT_TRUE(ReadSetting(L"HotkeyIncrement", stored));
    EXPECT_EQ(stored, 7u) << "the user's settings went with the update";
    EXPECT_TRUE(test_support::ReadString(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux"))
        << "Start with Windows went with the update";

    // Uninstalling leaves nothing of the program but the user's settings.
    ::PostMessageW(nextPanel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(next, 20000), 0u);
    EXPECT_EQ(UninstallEveryVersion(), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_FALSE(std::filesystem::exists(installed));
    EXPECT_FALSE(std::filesystem::exists(installed.parent_path()));
    EXPECT_FALSE(std::filesystem::exists(shortcut));
    EXPECT_EQ(test_support::ReadString(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux"), std::nullopt);
    EXPECT_TRUE(ReadSetting(L"HotkeyIncrement", stored));
}

} // namespace
