// Monitors that match: each monitor's share of the one slider, and monitors left out,
// through the real program with simulated monitors that tell who they are; and the
// re-apply after a wake-up against one that misbehaves as real ones do. The simulator reads
// its state file back when this test changes it: that is how a monitor loses its values
// while the machine sleeps.
#include "ProgramFixture.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <utility>

using namespace program_test;

namespace {

class CalibrationProgram : public ProgramFixture {
protected:
    void WriteMonitorValue(const wchar_t* identity, const wchar_t* name, DWORD value) {
        test_support::WriteDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name, value);
    }
    std::optional<DWORD> MonitorValue(const wchar_t* identity, const wchar_t* name) {
        return test_support::ReadDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name);
    }

    std::string RunCommand(const std::wstring& arguments, const std::string& description,
                           DWORD expectedCode = 0) {
        Program& program = Start(arguments, description);
        EXPECT_EQ(ExitCode(program, 20000), expectedCode) << NameOf(arguments);
        return ErrorOutput(pipes.size() - 1);
    }

    static std::string NameOf(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    // The state file replaced as the simulator replaces it; the simulator reads it back.
    void WriteState(const std::string& text) {
        const std::wstring temporary = stateFile + L".edit";
        {
            std::ofstream file(temporary.c_str(), std::ios::binary);
            file << text;
        }
        ASSERT_TRUE(::MoveFileExW(temporary.c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

    // The first monitor forgets its values (as in a sleep), with the given misbehaviour from
    // now on.
    void LoseValues(const std::string& misbehaviour) {
        std::string state = StateFile();
        const size_t at = state.find(kStored);
        ASSERT_NE(at, std::string::npos) << state;
        state.replace(at, std::string(kStored).size(), std::string(kLost) + " " + misbehaviour);
        WriteState(std::regex_replace(state, std::regex(" sets=[0-9]+ id="), " id="));
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

    static constexpr char kStored[] = "name=First brightness=0..100:60 contrast=0..100:30";
    static constexpr char kLost[] = "name=First brightness=0..100:90 contrast=0..100:80";
};

constexpr char kMonitors[] = "display; monitor name=First id=ONE brightness=0..100:50; "
                             "display; monitor name=Second id=TWO brightness=0..200:100; "
                             "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33";
// The same monitors with the first two displays swapped.
constexpr char kSwapped[] = "display; monitor name=Second id=TWO brightness=0..200:100; "
                            "display; monitor name=First id=ONE brightness=0..100:50; "
                            "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33";

} // namespace

TEST_F(CalibrationProgram,
       EachMonitorTakesItsShareFollowsItsIdentityLeftOutIsNeverWrittenAndLostValuesComeBack) {
    WriteMonitorValue(L"TWO", L"BrightnessLow", 20);
    WriteMonitorValue(L"TWO", L"BrightnessHigh", 60);
    Program& instance = Start(L"", kMonitors);
    const std::vector<HWND> windows = WaitForWindows(instance.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    const HWND panel = windows[0];

    // 50 % of the first's range, and 20 + 50 × 40 / 100 = 40 % of the second's.
    DragSlider(panel, kBrightnessSlider, 50);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                            "name=Out brightness=0..100:50 "}))
        << lastState;

    EXPECT_NE(RunCommand(L"exclude --monitor Out", kMonitors)
                  .find("monitor 3 (Out): brightness 0..100, "
                        "contrast 0..100, left out"),
              std::string::npos);
    EXPECT_EQ(MonitorValue(L"OUT", L"Excluded"), 1u);
    // A slider move, a hotkey step (from the first monitor's 30) and a factory reset pass it by.
    DragSlider(panel, kBrightnessSlider, 30);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:30 ", "name=Second brightness=0..200:64 ",
                            "name=Out brightness=0..100:50 "}))
        << lastState;
    ::SendMessageW(panel, WM_HOTKEY, 3, 0);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:40 ", "name=Second brightness=0..200:72 ",
                            "name=Out brightness=0..100:50 "}))
        << lastState;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(panel, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(panel, 1012)), SMTO_NORMAL, 20000, &result);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:100 ",
                            "name=Out brightness=0..100:50 contrast=0..100:33 "}))
        << lastState;

    // A resume after both lost their values (edited in the simulator's state file): the
    // adjusted monitor gets its value back, which shows that the re-apply has run, and the
    // left-out one keeps what its own buttons set.
    WriteSetting(L"SettingsTimeout", 100);
    // Once the factory reset's calls are over: a write of one still under way would put its
    // state over the edit.
    ASSERT_TRUE(WaitForQuietState());
    std::string edited = StateFile();
    for (const auto& [from, to] :
         {std::pair{"name=First brightness=0..100:50 ", "name=First brightness=0..100:7 "},
          std::pair{"name=Out brightness=0..100:50 ", "name=Out brightness=0..100:12 "}}) {
        ASSERT_NE(edited.find(from), std::string::npos) << edited;
        edited.replace(edited.find(from), std::string(from).size(), to);
    }
    WriteState(edited);
    ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Out brightness=0..100:12 "}))
        << lastState;
    ASSERT_TRUE(WaitForQuietState());
    EXPECT_NE(StateFile().find("name=Out brightness=0..100:12 "), std::string::npos) << StateFile();

    // A shared set counts the second in its share and the left-out one not at all.
    RunCommand(L"set brightness 50", kMonitors);
    EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                            "name=Out brightness=0..100:12 contrast=0..100:33 "}))
        << lastState;
    const std::string json = RunCommand(L"list --json", kMonitors);
    EXPECT_NE(json.find("\"calibration\":{\"brightness\":{\"low\":20,\"high\":60},\"contrast\":{\"low\":0,"
                        "\"high\":100}},\"excluded\":false}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"excluded\":true}]}"), std::string::npos) << json;
    // A new share and a monitor taken back show at once, with the kept shared values.
    RunCommand(L"calibrate --monitor Second brightness 50..100", kMonitors);
    RunCommand(L"include --monitor 3", kMonitors);
    EXPECT_TRUE(StateShows(
        {"name=Second brightness=0..200:150 ", "name=Out brightness=0..100:50 contrast=0..100:50 "}))
        << lastState;
    RunCommand(L"calibrate --monitor 2 brightness 60..20", kMonitors, 2);
    // Left out again: at the next start its own value must not become the shared one.
    RunCommand(L"exclude --monitor Out", kMonitors);
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    ASSERT_EQ(ExitCode(instance, 20000), 0u);

    // The next start finds the displays swapped: the calibration follows the monitor, and
    // a reversed stored share reads as none.
    WriteMonitorValue(L"ONE", L"BrightnessLow", 70);
    WriteMonitorValue(L"ONE", L"BrightnessHigh", 30);
    Program& restarted = Start(L"", kSwapped);
    const std::vector<HWND> swapped = WaitForWindows(restarted.id, 1);
    ASSERT_EQ(swapped.size(), 1u);
    // The second now stands first: 75 % of its range (150) stands for the shared 50 %.
    EXPECT_TRUE(StateShows({"name=Second brightness=0..200:150 ", "name=First brightness=0..100:50 "}))
        << lastState;
    EXPECT_EQ(SliderValue(swapped[0], kBrightnessSlider), 50);
    EXPECT_EQ(test_support::ReadDword(HKEY_CURRENT_USER, settingsKey, L"Brightness"), 50u);
    EXPECT_TRUE(StateShows({"name=Out brightness=0..100:77 "})) << lastState;
    DragSlider(swapped[0], kBrightnessSlider, 0);
    EXPECT_TRUE(StateShows({"name=Second brightness=0..200:100 ", "name=First brightness=0..100:0 "}))
        << lastState;

    // The re-apply after a wake-up against a monitor that misbehaves as real ones do: the
    // first monitor loses its values (edited in the state file) after 60 and 30 were set.
    const HWND swappedPanel = swapped[0];
    const auto resume = [&] {
        ::SendMessageW(swappedPanel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        return Clock::now();
    };
    DragSlider(swappedPanel, kBrightnessSlider, 60);
    DragSlider(swappedPanel, kContrastSlider, 30);
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 5000)) << StateFile();

    // Deaf for 4 s from the re-apply's first call (100 ms after the resume): the values
    // are back within 1.5 s after it answers again, long after the quick attempts ended.
    ASSERT_TRUE(WaitForQuietState());
    LoseValues("deaf=4000");
    Clock::time_point resumed = resume();
    const auto deafReturn = MsUntil(kStored, resumed, 100 + 4000 + 1500);
    ASSERT_TRUE(deafReturn) << StateFile();
    EXPECT_GE(*deafReturn, 4000) << "it came back while the monitor was deaf";

    // A monitor that acknowledges and ignores the first set of each parameter: one nudge
    // (a step beside, then the value) for each of the two lost values, nothing for the
    // gains that it kept.
    ASSERT_TRUE(WaitForQuietState());
    LoseValues("ignore=1 sets=0");
    resumed = resume();
    EXPECT_TRUE(
        MsUntil(std::string(kStored) + " red=0..100:50 green=0..100:50 blue=0..100:50 temp=3", resumed, 3000))
        << StateFile();
    EXPECT_TRUE(MsUntil("sets=10 id=ONE;", resumed, 1000))
        << "6 sets, then two nudges of two: " << StateFile();

    // The user moves a slider while the monitor is deaf: the newest value wins.
    ASSERT_TRUE(WaitForQuietState());
    LoseValues("deaf=2500");
    resumed = resume();
    ::Sleep(500);
    DragSlider(swappedPanel, kContrastSlider, 70);
    EXPECT_TRUE(MsUntil("name=First brightness=0..100:60 contrast=0..100:70", resumed, 100 + 2500 + 1500))
        << StateFile();
    EXPECT_EQ(SliderValue(swappedPanel, kContrastSlider), 70);
    DragSlider(swappedPanel, kContrastSlider, 30);
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));

    // Without patience the quick attempts (3 s) are all there is: a monitor that answers
    // only later keeps what it lost.
    ASSERT_TRUE(WaitForQuietState());
    WriteSetting(L"ReapplyPatience", 0);
    LoseValues("deaf=3500");
    resumed = resume();
    EXPECT_FALSE(MsUntil(kStored, resumed, 100 + 3500 + 1500)) << StateFile();

    // Exit while a monitor is deaf and its worker waits 2 s between retries: the program
    // ends at once. Under Wine the tray icon's removal alone takes about 2 s of that.
    DragSlider(swappedPanel, kBrightnessSlider, 60);
    DragSlider(swappedPanel, kContrastSlider, 30);
    ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));
    WriteSetting(L"ReapplyPatience", 60000);
    LoseValues("deaf=20000");
    resume();
    ::Sleep(100 + 3000 + 100 + 200 + 400 + 800 + 1600 + 1000); // into the 2 s pauses
    const Clock::time_point exitAt = Clock::now();
    ::PostMessageW(swappedPanel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(restarted, 20000), 0u);
    const auto exitMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitAt).count();
    std::printf("exit during the deaf time: %lld ms\n", static_cast<long long>(exitMs));
    EXPECT_LT(exitMs, 2000 + 400);
}
