// The re-apply after a wake-up against monitors that misbehave as real ones do, driven
// through the real program. The simulator reads its state file back when this test
// changes it: that is how a monitor loses its values while the machine sleeps.
#include "ProgramFixture.h"

#include <regex>
#include <string>

using namespace program_test;

namespace {

constexpr char kStored[] = "brightness=0..100:60 contrast=0..100:30";
constexpr char kLost[] = "brightness=0..100:90 contrast=0..100:80";

} // namespace

class ReapplyProgram : public ProgramFixture {
protected:
    // The monitor forgets its values, with the given misbehaviour from now on.
    void LoseValues(const std::string& misbehaviour) {
        std::string state = StateFile();
        const size_t at = state.find(kStored);
        ASSERT_NE(at, std::string::npos) << state;
        state.replace(at, std::string(kStored).size(), std::string(kLost) + " " + misbehaviour);
        state = std::regex_replace(state, std::regex(" sets=[0-9]+;"), ";");
        const std::wstring temporary = stateFile + L".edit";
        {
            std::ofstream file(temporary.c_str(), std::ios::binary);
            file << state;
        }
        ASSERT_TRUE(::MoveFileExW(temporary.c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

    Clock::time_point Resume() {
        ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        return Clock::now();
    }

    // Milliseconds until the state file shows `text` (at most `limitMs`), or none.
    std::optional<long long> MsUntil(const std::string& text, Clock::time_point since, long long limitMs) {
        while (StateFile().find(text) == std::string::npos) {
            if (Clock::now() - since > std::chrono::milliseconds(limitMs)) {
                return std::nullopt;
            }
            ::Sleep(20);
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
    }

    HWND panel = nullptr;
};

TEST_F(ReapplyProgram, MonitorsThatStayDeafOrIgnoreAValueGetTheStoredValuesBackAndTheUserWins) {
    WriteSetting(L"Brightness", 60);
    WriteSetting(L"Contrast", 30);
    WriteSetting(L"SettingsTimeout", 100);
    Program& program = Start(L"", "display; monitor");
    ASSERT_EQ(WaitForWindows(program.id, 1).size(), 1u);
    panel = WindowsOf(program.id).at(0);
    // The start's own re-apply has verified its values: its read-back is the last call.
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 5000));
    ASSERT_TRUE(WaitForQuietState());

    // Deaf for 4 s from the re-apply's first call (100 ms after the resume): the values
    // are back within 1.5 s after it answers again, long after the quick attempts ended.
    LoseValues("deaf=4000");
    Clock::time_point resumed = Resume();
    const auto deafReturn = MsUntil(kStored, resumed, 100 + 4000 + 1500);
    ASSERT_TRUE(deafReturn) << StateFile();
    EXPECT_GE(*deafReturn, 4000) << "it came back while the monitor was deaf";

    // A monitor that acknowledges and ignores the first set of each parameter: one nudge
    // (a step beside, then the value) for each of the two lost values, nothing for the
    // gains that it kept.
    ASSERT_TRUE(WaitForQuietState());
    LoseValues("ignore=1 sets=0");
    resumed = Resume();
    EXPECT_TRUE(
        MsUntil(std::string(kStored) + " red=0..100:50 green=0..100:50 blue=0..100:50 temp=3", resumed, 3000))
        << StateFile();
    EXPECT_TRUE(MsUntil("sets=10;", resumed, 1000)) << "6 sets, then two nudges of two: " << StateFile();

    // The user moves a slider while the monitor is deaf: the newest value wins.
    ASSERT_TRUE(WaitForQuietState());
    LoseValues("deaf=2500");
    resumed = Resume();
    ::Sleep(500);
    DragSlider(panel, kContrastSlider, 70);
    EXPECT_TRUE(MsUntil("brightness=0..100:60 contrast=0..100:70", resumed, 100 + 2500 + 1500))
        << StateFile();
    EXPECT_EQ(SliderValue(panel, kContrastSlider), 70);
    DragSlider(panel, kContrastSlider, 30);
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));

    // Without patience the quick attempts (3 s) are all there is: a monitor that answers
    // only later keeps what it lost.
    ASSERT_TRUE(WaitForQuietState());
    WriteSetting(L"ReapplyPatience", 0);
    LoseValues("deaf=3500");
    resumed = Resume();
    EXPECT_FALSE(MsUntil(kStored, resumed, 100 + 3500 + 1500)) << StateFile();

    // Exit while a monitor is deaf and its worker waits 2 s between retries: the program
    // ends at once. Under Wine the tray icon's removal alone takes about 2 s of that.
    DragSlider(panel, kBrightnessSlider, 60);
    DragSlider(panel, kContrastSlider, 30);
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));
    WriteSetting(L"ReapplyPatience", 60000);
    LoseValues("deaf=20000");
    Resume();
    ::Sleep(100 + 3000 + 100 + 200 + 400 + 800 + 1600 + 1000); // into the 2 s pauses
    const Clock::time_point exitAt = Clock::now();
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
    const auto exitMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitAt).count();
    std::printf("exit during the deaf time: %lld ms\n", static_cast<long long>(exitMs));
    EXPECT_LT(exitMs, 2000 + 400);
}
