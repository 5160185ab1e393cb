// Monitors that match: each monitor's share of the one slider, and monitors left out,
// through the real program with simulated monitors that tell who they are.
#include "ProgramFixture.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
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
};

constexpr char kMonitors[] = "display; monitor name=First id=ONE brightness=0..100:50; "
                             "display; monitor name=Second id=TWO brightness=0..200:100; "
                             "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33";
// The same monitors with the first two displays swapped.
constexpr char kSwapped[] = "display; monitor name=Second id=TWO brightness=0..200:100; "
                            "display; monitor name=First id=ONE brightness=0..100:50; "
                            "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33";

} // namespace

TEST_F(CalibrationProgram, EachMonitorTakesItsShareFollowsItsIdentityAndALeftOutOneIsNeverWritten) {
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
    {
        std::ofstream file((stateFile + L".edit").c_str(), std::ios::binary);
        file << edited;
    }
    ASSERT_TRUE(::MoveFileExW((stateFile + L".edit").c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING));
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
    Program& again = Start(L"", kSwapped);
    const std::vector<HWND> swapped = WaitForWindows(again.id, 1);
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
    ::PostMessageW(swapped[0], WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(again, 20000), 0u);
}
