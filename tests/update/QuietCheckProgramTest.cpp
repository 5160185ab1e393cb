// The real program's daily check against an endpoint that accepts the request and never
// answers: the program goes on answering, and Exit does not wait for the endpoint.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <iostream>

using namespace program_test;
using namespace std::chrono_literals;

namespace {

constexpr UINT_PTR kUpdateCheckTimer = 3;
constexpr WPARAM kExitCommand = 211;

using QuietCheckProgramTest = ProgramFixture;

TEST_F(QuietCheckProgramTest, AStalledEndpointNeitherFreezesTheProgramNorHoldsUpExit) {
    LoopbackHttpServer stalled("", true);
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                              (stalled.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
    WriteSetting(L"CheckForUpdates", 1);
    Program& program = Start(L"", "display; monitor");
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
    const std::vector<HWND> panels = WaitForWindows(program.id, 1);
    ASSERT_FALSE(panels.empty());
    const HWND panel = panels[0];

    ::PostMessageW(panel, WM_TIMER, kUpdateCheckTimer, 0);
    ASSERT_TRUE(WaitFor([&] { return !stalled.RequestLines().empty(); })) << "no check";
    // A tick while the check runs starts no second one.
    ::PostMessageW(panel, WM_TIMER, kUpdateCheckTimer, 0);

    // Three seconds into the stall, asked again and again.
    Clock::duration longest{};
    const auto end = Clock::now() + 3s;
    while (Clock::now() < end) {
        const auto sent = Clock::now();
        DWORD_PTR ignored = 0;
        const bool answered = ::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored) != 0;
        longest = std::max(longest, Clock::now() - sent);
        if (!answered) {
            break;
        }
        ::Sleep(10);
    }
    const auto longestMs = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
    std::cout << "longest answer of the program during the stalled check: " << longestMs << " ms\n";
    RecordProperty("LongestAnswerMs", static_cast<int>(longestMs));
    EXPECT_LT(longest, 100ms);
    EXPECT_EQ(stalled.RequestLines().size(), 1u);

    // Exit from the tray menu while the endpoint still says nothing.
    const auto exitChosen = Clock::now();
    ::PostMessageW(panel, WM_COMMAND, kExitCommand, 0);
    EXPECT_EQ(ExitCode(program, 10000), 0u);
    const auto exitMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitChosen).count();
    std::cout << "exit during the stalled check took " << exitMs << " ms\n";
    EXPECT_LT(exitMs, 3000);
}

} // namespace
