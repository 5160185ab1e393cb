// Monitors whose values could not be read at start, driven through the real program.
#include "ProgramFixture.h"

#include <string>

using namespace program_test;

// Unread: its contrast and gains are never read. Late: its first two contrast reads (the
// worker's first and the stored value's) and its first brightness read fail.
TEST_F(ProgramFixture, MonitorsWhoseValuesWereNotReadKeepThemWhileTheOthersGetTheirOwnAndJoinOnceRead) {
    constexpr int redSlider = 1005;
    WriteSetting(L"Contrast", 30);
    WriteSetting(L"GainRed", 40);
    WriteSetting(L"SettingsTimeout", 100);
    Program& program =
        Start(L"", "display; monitor name=Unread contrast=0..100:50 red=0..100:60 "
                   "fail=get-contrast,get-gain; display; monitor name=Plain; "
                   "display; monitor name=Late contrast=0..100:50 fail=get-contrast:2,get-brightness:1");
    ASSERT_EQ(WaitForWindows(program.id, 1).size(), 1u);
    const HWND panel = WindowsOf(program.id).at(0);
    // Nothing goes out at start to the late one.
    EXPECT_NE(StateFile().find("name=Late brightness=0..100:50 contrast=0..100:50"), std::string::npos)
        << StateFile();

    // A wake-up re-applies (after the start's own re-apply, or in its place); its first
    // write shows it under way, and it is done a moment later.
    const FILETIME before = StateFileTime();
    ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_TRUE(WaitForStateChange(before, Clock::now()));
    ASSERT_TRUE(WaitForQuietState());
    EXPECT_TRUE(
        StateShows({"name=Unread brightness=0..100:50 contrast=0..100:50 red=0..100:60 green=0..100:50 "
                    "blue=0..100:50",
                    "name=Plain brightness=0..100:50 contrast=0..100:30 red=0..100:40 green=0..100:50 "
                    "blue=0..100:50"}))
        << lastState;
    EXPECT_EQ(SliderValue(panel, kContrastSlider), 30) << "the sliders show the monitor that has the value";
    EXPECT_EQ(SliderValue(panel, redSlider), 40);

    // A slider reaches only the monitors whose range is known; the colour temperature goes
    // after it on each monitor, so once all show it the red change has been handled.
    DragSlider(panel, redSlider, 80);
    DragSlider(panel, kColorTemperatureSlider, 6);
    EXPECT_TRUE(
        StateShows({"name=Unread brightness=0..100:50 contrast=0..100:50 red=0..100:60 green=0..100:50 "
                    "blue=0..100:50 temp=6",
                    "name=Plain brightness=0..100:50 contrast=0..100:30 red=0..100:80 green=0..100:50 "
                    "blue=0..100:50 temp=6"}))
        << lastState;

    // The late one's next read succeeds: a slider's value arrives in its range, and its
    // brightness, unread at first as well, was not re-asserted from a guessed level.
    DragSlider(panel, kContrastSlider, 70);
    EXPECT_TRUE(StateShows({"name=Late brightness=0..100:50 contrast=0..100:70"})) << lastState;
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
}
