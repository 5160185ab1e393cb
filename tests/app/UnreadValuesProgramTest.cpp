// A monitor whose values could not be read at start, driven through the real program.
#include "ProgramFixture.h"

#include <string>

using namespace program_test;

TEST_F(ProgramFixture, AMonitorWhoseValuesWereNotReadKeepsThemWhileTheOtherGetsItsOwn) {
    constexpr int redSlider = 1005;
    WriteSetting(L"Contrast", 30);
    WriteSetting(L"GainRed", 40);
    WriteSetting(L"SettingsTimeout", 100);
    Program& program =
        Start(L"", "display; monitor contrast=0..100:50 red=0..100:60 fail=get-contrast,get-gain; "
                   "display; monitor");
    ASSERT_EQ(WaitForWindows(program.id, 1).size(), 1u);
    const HWND panel = WindowsOf(program.id).at(0);
    std::string state;
    const auto shows = [&](const char* first, const char* second) {
        state = StateFile();
        return state.find(first) < state.find(second) && state.find(second) != std::string::npos;
    };
    // A wake-up re-applies (after the start's own re-apply, or in its place); its first
    // write shows it under way, and it is done a moment later.
    const FILETIME before = StateFileTime();
    ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_TRUE(WaitForStateChange(before, Clock::now()));
    ASSERT_TRUE(WaitForQuietState());
    EXPECT_TRUE(shows("contrast=0..100:50 red=0..100:60 green=0..100:50 blue=0..100:50",
                      "contrast=0..100:30 red=0..100:40 green=0..100:50 blue=0..100:50"))
        << state;
    EXPECT_EQ(SliderValue(panel, kContrastSlider), 30) << "the sliders show the monitor that has the value";
    EXPECT_EQ(SliderValue(panel, redSlider), 40);

    // A slider reaches only the monitor whose range is known; the colour temperature goes
    // after it on each monitor, so once both show it the red change has been handled.
    DragSlider(panel, redSlider, 80);
    DragSlider(panel, kColorTemperatureSlider, 6);
    EXPECT_TRUE(WaitFor([&] {
        return shows("red=0..100:60 green=0..100:50 blue=0..100:50 temp=6",
                     "red=0..100:80 green=0..100:50 blue=0..100:50 temp=6");
    })) << state;
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
}

TEST_F(ProgramFixture, AValueReadOnlyLaterTakesPartFromThen) {
    // The worker's first read and the stored value's read fail: nothing goes out at start,
    // and the brightness, unread at first as well, is not re-asserted from a guessed level.
    WriteSetting(L"Contrast", 30);
    Program& program = Start(L"", "monitor contrast=0..100:50 fail=get-contrast:2,get-brightness:1");
    ASSERT_EQ(WaitForWindows(program.id, 1).size(), 1u);
    const HWND panel = WindowsOf(program.id).at(0);
    EXPECT_NE(StateFile().find("contrast=0..100:50"), std::string::npos) << StateFile();
    // The next read succeeds, and the slider's value arrives in the monitor's range.
    DragSlider(panel, kContrastSlider, 70);
    const std::string state = WaitForState("contrast=0..100:70");
    EXPECT_NE(state.find("brightness=0..100:50 contrast=0..100:70"), std::string::npos) << state;
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
}
