// Two starts of the real program with simulated monitors that tell who they are. The first
// stores what its monitors show, gives each monitor its share of the one slider, leaves one
// out and runs a daily check that stalls; the restart finds the displays swapped and a
// laptop panel and a new monitor beside them, applies what was stored, and re-applies after
// a wake-up against a monitor that misbehaves as real ones do. The simulator reads its
// state file back when this test changes it: that is how a monitor loses its values while
// the machine sleeps.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>
#include <string>
#include <utility>

using namespace program_test;

namespace {

constexpr char kMonitors[] = "display; monitor name=First id=ONE brightness=0..100:50; "
                             "display; monitor name=Second id=TWO brightness=0..200:100; "
                             "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33";
// The same monitors with the first two displays swapped, then a laptop's own panel (a
// monitor that does not answer over DDC/CI) and a monitor new to the program.
constexpr char kRestarted[] = "display; monitor name=Second id=TWO brightness=0..200:100; "
                              "display; monitor name=First id=ONE brightness=0..100:50; "
                              "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33; "
                              "display; monitor name=Panel fail=caps; "
                              "laptop levels=0,10,20,30,40,50,60,70,80,90,100 current=30; "
                              "display; monitor name=Wide brightness=0..200:10 contrast=0..100:90";

} // namespace

class TwoStarts : public ProgramFixture {
protected:
    void WriteMonitorValue(const wchar_t* identity, const wchar_t* name, DWORD value) {
        test_support::WriteDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name, value);
    }
    std::optional<DWORD> MonitorValue(const wchar_t* identity, const wchar_t* name) {
        return test_support::ReadDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name);
    }
    std::optional<DWORD> Setting(const wchar_t* name) {
        return test_support::ReadDword(HKEY_CURRENT_USER, settingsKey, name);
    }

    std::string RunCommand(const std::wstring& arguments, DWORD expectedCode = 0) {
        Program& command = Start(arguments, kMonitors);
        EXPECT_EQ(ExitCode(command, 20000), expectedCode) << std::string(arguments.begin(), arguments.end());
        return ErrorOutput(pipes.size() - 1);
    }

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

    Clock::time_point Resume() {
        ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        return Clock::now();
    }

    static constexpr char kStored[] = "name=First brightness=0..100:60 contrast=0..100:30";
    static constexpr char kLost[] = "name=First brightness=0..100:90 contrast=0..100:80";

    // The first start, whose daily check meets an endpoint that accepts the request and
    // never answers.
    void FirstStart() {
        iconsBefore = TrayIconCount();
        WriteMonitorValue(L"TWO", L"BrightnessLow", 20);
        WriteMonitorValue(L"TWO", L"BrightnessHigh", 60);
        WriteSetting(L"CheckForUpdates", 1);
        ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                                  (stalled.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
        program = &Start(L"", kMonitors);
        ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
        const std::vector<HWND> windows = WaitForWindows(program->id, 1);
        ASSERT_EQ(windows.size(), 1u);
        panel = windows[0];
        // Each display keeps its own level, and one of them is stored: the first's 50 %, the
        // second's 75 % within its share or the third's 77 %. Nothing else is stored.
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:100 ",
                                "name=Out brightness=0..100:77 "}))
            << lastState;
        std::optional<DWORD> stored;
        EXPECT_TRUE(WaitFor([&] { return (stored = Setting(L"Brightness")).has_value(); }));
        EXPECT_TRUE(stored == 50u || stored == 75u || stored == 77u) << "stored " << stored.value_or(0);
        EXPECT_EQ(Setting(L"Contrast"), std::nullopt);
    }

    // 50 % of the first's range, and 20 + 50 × 40 / 100 = 40 % of the second's.
    void Shares() {
        DragSlider(panel, kBrightnessSlider, 50);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                                "name=Out brightness=0..100:50 "}))
            << lastState;
    }

    void LeftOut() {
        EXPECT_NE(RunCommand(L"exclude --monitor Out")
                      .find("monitor 3 (Out): brightness 0..100, "
                            "contrast 0..100, left out"),
                  std::string::npos);
        EXPECT_EQ(MonitorValue(L"OUT", L"Excluded"), 1u);
        // A slider move, a hotkey step (from the first monitor's 30) and a factory reset pass
        // it by.
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
                              reinterpret_cast<LPARAM>(::GetDlgItem(panel, 1012)), SMTO_NORMAL, 20000,
                              &result);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:100 ",
                                "name=Out brightness=0..100:50 contrast=0..100:33 "}))
            << lastState;
    }

    // A resume after both lost their values (edited in the simulator's state file): the
    // adjusted monitor gets its value back, which shows that the re-apply has run, and the
    // left-out one keeps what its own buttons set.
    void LostValuesComeBack() {
        WriteSetting(L"SettingsTimeout", 100);
        // Once the factory reset's calls are over: a write of one still under way would put
        // its state over the edit.
        ASSERT_TRUE(WaitForQuietState());
        std::string edited = StateFile();
        for (const auto& [from, to] :
             {std::pair{"name=First brightness=0..100:50 ", "name=First brightness=0..100:7 "},
              std::pair{"name=Out brightness=0..100:50 ", "name=Out brightness=0..100:12 "}}) {
            ASSERT_NE(edited.find(from), std::string::npos) << edited;
            edited.replace(edited.find(from), std::string(from).size(), to);
        }
        WriteState(edited);
        Resume();
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Out brightness=0..100:12 "}))
            << lastState;
        ASSERT_TRUE(WaitForQuietState());
        EXPECT_NE(StateFile().find("name=Out brightness=0..100:12 "), std::string::npos) << StateFile();
    }

    // A shared set counts the second in its share and the left-out one not at all; a new
    // share and a monitor taken back show at once, with the kept shared values.
    void CommandLine() {
        RunCommand(L"set brightness 50");
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                                "name=Out brightness=0..100:12 contrast=0..100:33 "}))
            << lastState;
        const std::string json = RunCommand(L"list --json");
        EXPECT_NE(
            json.find("\"calibration\":{\"brightness\":{\"low\":20,\"high\":60},\"contrast\":{\"low\":0,"
                      "\"high\":100}},\"excluded\":false}"),
            std::string::npos)
            << json;
        EXPECT_NE(json.find("\"excluded\":true}]}"), std::string::npos) << json;
        RunCommand(L"calibrate --monitor Second brightness 50..100");
        RunCommand(L"include --monitor 3");
        EXPECT_TRUE(StateShows(
            {"name=Second brightness=0..200:150 ", "name=Out brightness=0..100:50 contrast=0..100:50 "}))
            << lastState;
        RunCommand(L"calibrate --monitor 2 brightness 60..20", 2);
        // Left out again: at the next start its own value must not become the shared one.
        RunCommand(L"exclude --monitor Out");
    }

    // The daily check stalls: the program goes on answering.
    void StalledCheck() {
        constexpr UINT_PTR updateCheckTimer = 3;
        ::PostMessageW(panel, WM_TIMER, updateCheckTimer, 0);
        ASSERT_TRUE(WaitFor([&] { return !stalled.RequestLines().empty(); })) << "no check";
        // A tick while the check runs starts no second one.
        ::PostMessageW(panel, WM_TIMER, updateCheckTimer, 0);
        // Three seconds into the stall, asked again and again.
        Clock::duration longest{};
        for (const auto end = Clock::now() + std::chrono::seconds(3); Clock::now() < end; ::Sleep(10)) {
            const auto sent = Clock::now();
            DWORD_PTR ignored = 0;
            const bool answered =
                ::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored) != 0;
            longest = std::max(longest, Clock::now() - sent);
            if (!answered) {
                break;
            }
        }
        const auto longestMs = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
        std::cout << "longest answer of the program during the stalled check: " << longestMs << " ms\n";
        RecordProperty("LongestAnswerMs", static_cast<int>(longestMs));
        EXPECT_LT(longestMs, 100);
        EXPECT_EQ(stalled.RequestLines().size(), 1u);
    }

    // Exit from the tray menu does not wait for the stalled endpoint. The right button opens
    // the menu; its last item, chosen with the keyboard, is Exit.
    void ExitFromTheTrayMenu() {
        TrayCallback(panel, WM_RBUTTONDOWN, 600, 700);
        ASSERT_TRUE(WaitFor([&] {
            const HWND menu = ::FindWindowW(L"#32768", nullptr);
            return menu && ::IsWindowVisible(menu);
        }));
        PressKeys({VK_UP});
        const auto exitChosen = Clock::now();
        PressKeys({VK_RETURN});
        EXPECT_EQ(ExitCode(*program, 10000), 0u);
        const auto exitMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitChosen).count();
        std::cout << "exit during the stalled check took " << exitMs << " ms\n";
        EXPECT_LT(exitMs, 3000);
        EXPECT_EQ(TrayIconCount(), iconsBefore) << "the icon was removed";
    }

    // The next start finds the displays swapped, and a reversed stored share for the first
    // monitor, which reads as none. The contrast the factory reset stored is dropped: with
    // only a brightness stored, the new monitor's contrast must stay its own.
    void Restart() {
        WriteSetting(L"CheckForUpdates", 0);
        test_support::DeleteValue(HKEY_CURRENT_USER, settingsKey, L"Contrast");
        WriteMonitorValue(L"ONE", L"BrightnessLow", 70);
        WriteMonitorValue(L"ONE", L"BrightnessHigh", 30);
        program = &Start(L"", kRestarted);
        const std::vector<HWND> windows = WaitForWindows(program->id, 1);
        ASSERT_EQ(windows.size(), 1u);
        panel = windows[0];
    }

    // The stored 50 % goes to each monitor in its own range and to the laptop panel, through
    // the main thread's own backlight; the panel's re-assertion keeps it rather than the level
    // the panel had before. The calibration follows the monitor: the second now stands
    // first, and 75 % of its range (150) stands for the shared 50 %.
    void StoredValuesApplied() {
        EXPECT_TRUE(StateShows({"levels set: 50 50", "name=Wide brightness=0..200:100 contrast=0..100:90",
                                "name=Second brightness=0..200:150 ", "name=First brightness=0..100:50 "}))
            << lastState;
        EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 50);
        EXPECT_EQ(Setting(L"Brightness"), 50u);
        EXPECT_TRUE(StateShows({"name=Out brightness=0..100:77 "})) << lastState;
    }

    // After a display change the main thread has a backlight again: a newly stored value
    // reaches the panel, and stays stored through the rebuild. From here on the newest panel
    // is driven.
    void DisplayChange() {
        WriteSetting(L"Brightness", 40);
        ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        EXPECT_TRUE(StateShows({"levels set: 50 50 40 40"})) << lastState;
        panel = NewestPanel(program->id, panel);
        EXPECT_TRUE(WaitForSetting(L"Brightness", 40));
        // The rebuilt list still finds each monitor's share by its identity.
        DragSlider(panel, kBrightnessSlider, 0);
        EXPECT_TRUE(StateShows({"name=Second brightness=0..200:100 ", "name=First brightness=0..100:0 "}))
            << lastState;
    }

    // The first monitor loses its values (edited in the state file) after 60 and 30 were
    // set. Deaf for 4 s from the re-apply's first call (100 ms after the resume): the values
    // are back within 1.5 s after it answers again, long after the quick attempts ended.
    void Deaf() {
        DragSlider(panel, kBrightnessSlider, 60);
        DragSlider(panel, kContrastSlider, 30);
        ASSERT_TRUE(MsUntil(kStored, Clock::now(), 5000)) << StateFile();
        ASSERT_TRUE(WaitForQuietState());
        LoseValues("deaf=4000");
        const Clock::time_point resumed = Resume();
        const auto deafReturn = MsUntil(kStored, resumed, 100 + 4000 + 1500);
        ASSERT_TRUE(deafReturn) << StateFile();
        EXPECT_GE(*deafReturn, 4000) << "it came back while the monitor was deaf";
    }

    // A monitor that acknowledges and ignores the first set of each parameter: one nudge
    // (a step beside, then the value) for each of the two lost values, nothing for the
    // gains that it kept.
    void Ignoring() {
        ASSERT_TRUE(WaitForQuietState());
        LoseValues("ignore=1 sets=0");
        const Clock::time_point resumed = Resume();
        EXPECT_TRUE(MsUntil(std::string(kStored) + " red=0..100:50 green=0..100:50 blue=0..100:50 temp=3",
                            resumed, 3000))
            << StateFile();
        EXPECT_TRUE(MsUntil("sets=10 id=ONE;", resumed, 1000))
            << "6 sets, then two nudges of two: " << StateFile();
    }

    // The user moves a slider while the monitor is deaf: the newest value wins.
    void NewestValueWins() {
        ASSERT_TRUE(WaitForQuietState());
        LoseValues("deaf=2500");
        const Clock::time_point resumed = Resume();
        ::Sleep(500);
        DragSlider(panel, kContrastSlider, 70);
        EXPECT_TRUE(MsUntil("name=First brightness=0..100:60 contrast=0..100:70", resumed, 100 + 2500 + 1500))
            << StateFile();
        EXPECT_EQ(SliderValue(panel, kContrastSlider), 70);
        DragSlider(panel, kContrastSlider, 30);
        ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));
    }

    // Without patience the quick attempts (3 s) are all there is: a monitor that answers
    // only later keeps what it lost.
    void WithoutPatience() {
        ASSERT_TRUE(WaitForQuietState());
        WriteSetting(L"ReapplyPatience", 0);
        LoseValues("deaf=3500");
        const Clock::time_point resumed = Resume();
        EXPECT_FALSE(MsUntil(kStored, resumed, 100 + 3500 + 1500)) << StateFile();
    }

    // Exit while a monitor is deaf and its worker waits 2 s between retries: the program
    // ends at once. Under Wine the tray icon's removal alone takes about 2 s of that.
    void ExitWhileDeaf() {
        DragSlider(panel, kBrightnessSlider, 60);
        DragSlider(panel, kContrastSlider, 30);
        ASSERT_TRUE(MsUntil(kStored, Clock::now(), 2000));
        WriteSetting(L"ReapplyPatience", 60000);
        LoseValues("deaf=20000");
        Resume();
        ::Sleep(100 + 3000 + 100 + 200 + 400 + 800 + 1600 + 1000); // into the 2 s pauses
        const Clock::time_point exitAt = Clock::now();
        ::PostMessageW(panel, WM_CLOSE, 0, 0);
        EXPECT_EQ(ExitCode(*program, 20000), 0u);
        const auto exitMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitAt).count();
        std::printf("exit during the deaf time: %lld ms\n", static_cast<long long>(exitMs));
        EXPECT_LT(exitMs, 2000 + 400);
    }

    LoopbackHttpServer stalled{"", true};
    size_t iconsBefore = 0;
    Program* program = nullptr;
    HWND panel = nullptr;
};

TEST_F(TwoStarts, EachMonitorTakesItsShareAStalledCheckHoldsUpNothingAndTheNextStartAppliesWhatWasStored) {
    const auto step = [&](const char* name, auto&& run) {
        SCOPED_TRACE(name);
        if (!HasFatalFailure()) {
            run();
        }
    };
    step("first start", [&] { FirstStart(); });
    step("shares", [&] { Shares(); });
    step("left out", [&] { LeftOut(); });
    step("lost values come back", [&] { LostValuesComeBack(); });
    step("command line", [&] { CommandLine(); });
    step("stalled check", [&] { StalledCheck(); });
    step("exit from the tray menu", [&] { ExitFromTheTrayMenu(); });

    step("restart", [&] { Restart(); });
    step("stored values applied", [&] { StoredValuesApplied(); });
    step("display change", [&] { DisplayChange(); });
    step("re-apply: deaf", [&] { Deaf(); });
    step("re-apply: ignoring", [&] { Ignoring(); });
    step("re-apply: the newest value wins", [&] { NewestValueWins(); });
    step("re-apply: without patience", [&] { WithoutPatience(); });
    step("exit while deaf", [&] { ExitWhileDeaf(); });
}
