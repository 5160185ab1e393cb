// The real program at 144 and 192 DPI: run-at-dpi makes Wine report ORVALUX_TEST_DPI.
#include "ScaleCheck.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

using namespace program_test;

TEST_F(ProgramFixture, TheTitleTheFlagAndTheWedgesFollowTheScreensScale) {
    ::SetProcessDPIAware(); // this test measures in the screen's own pixels
    const char* text = std::getenv("ORVALUX_TEST_DPI");
    ASSERT_NE(text, nullptr) << "run by run-at-dpi";
    const auto dpi = static_cast<uint32_t>(std::atoi(text));
    const HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(static_cast<uint32_t>(::GetDeviceCaps(screen, LOGPIXELSY)), dpi) << "Wine reports another DPI";
    ::ReleaseDC(nullptr, screen);

    WriteSetting(L"Language", kEnglish);
    Program& program = Start(L"", "display; monitor brightness=90");
    const std::vector<HWND> windows = WaitForWindows(program.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    ShowPanel(windows[0]);
    CheckDrawnForScale(program.process.get(), windows[0], dpi);
}
