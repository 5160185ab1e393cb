// Two starts with monitors that tell who they are: the first shares the slider out, leaves a
// monitor out and meets a stalled daily check; the restart applies what was stored and
// re-applies after wake-ups. Edits of the state file, read back, stand for lost values.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
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
// The first two displays swapped, then a laptop's panel (no DDC/CI) and a new monitor.
constexpr char kRestarted[] = "display; monitor name=Second id=TWO brightness=0..200:100; "
                              "display; monitor name=First id=ONE brightness=0..100:50; "
                              "display; monitor name=Out id=OUT brightness=0..100:77 contrast=0..100:33; "
                              "display; monitor name=Panel fail=caps; "
                              "laptop levels=0,10,20,30,40,50,60,70,80,90,100 current=30; "
                              "display; monitor name=Wide brightness=0..200:10 contrast=0..100:90";

} // namespace

class TwoStarts : public ProgramFixture {
protected:
    void WriteMonitorSetting(const wchar_t* identity, const wchar_t* name, DWORD value) {
        test_support::WriteDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name, value);
    }

    // Replaced as the simulator replaces it, which reads it back.
    void WriteState(const std::string& text) {
        const std::wstring temporary = stateFile + L".edit";
        {
            std::ofstream file(temporary.c_str(), std::ios::binary);
            file << text;
        }
        ASSERT_TRUE(::MoveFileExW(temporary.c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

    // Once the re-applies are over, the first monitor forgets its values (as in a sleep) and
    // misbehaves from now on.
    void LoseValues(const std::string& misbehaviour) {
        ASSERT_TRUE(WaitForQuietState());
        std::string state = StateFile();
        const size_t at = state.find(kStored);
        ASSERT_NE(at, std::string::npos) << state;
        state.replace(at, std::string(kStored).size(), std::string(kLost) + " " + misbehaviour);
        WriteState(std::regex_replace(state, std::regex(" sets=[0-9]+ id="), " id="));
    }

    std::optional<long long> MsUntil(const std::string& text, Clock::time_point since, long long limitMs) {
        while (StateFile().find(text) == std::string::npos) {
            if (Clock::now() - since > std::chrono::milliseconds(limitMs)) {
                return std::nullopt;
            }
            ::Sleep(20);
        }
        return MsSince(since);
    }

    Clock::time_point Resume() {
        ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        return Clock::now();
    }

    static constexpr char kStored[] = "name=First brightness=0..100:60 contrast=0..100:30";
    static constexpr char kLost[] = "name=First brightness=0..100:90 contrast=0..100:80";

    // The first start; its daily check meets an endpoint that never answers.
    void FirstStart() {
        iconsBefore = TrayIconCount();
        WriteMonitorSetting(L"TWO", L"BrightnessLow", 20);
        WriteMonitorSetting(L"TWO", L"BrightnessHigh", 60);
        WriteSetting(L"CheckForUpdates", 1);
        ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                                  (stalled.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
        program = &Start(L"", kMonitors);
        ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
        panel = PanelOf(*program);
        ASSERT_TRUE(panel);
        // Each display keeps its own level; one of them is stored (the second's 75 % is within
        // its share), and nothing else.
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:100 ",
                                "name=Out brightness=0..100:77 "}));
        std::optional<DWORD> stored;
        EXPECT_TRUE(WaitFor([&] { return (stored = Setting(L"Brightness")).has_value(); }));
        EXPECT_TRUE(stored == 50u || stored == 75u || stored == 77u) << "stored " << stored.value_or(0);
        EXPECT_EQ(Setting(L"Contrast"), std::nullopt);
    }

    // 50 % of the first's range, and 20 + 50 × 40 / 100 = 40 % of the second's.
    void Shares() {
        DragSlider(panel, kBrightnessSlider, 50);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                                "name=Out brightness=0..100:50 "}));
    }

    void LeftOut() {
        EXPECT_TRUE(Contains(RunToEnd(L"exclude --monitor Out", kMonitors),
                             "monitor 3 (Out): brightness 0..100, contrast 0..100, left out"));
        EXPECT_EQ(MonitorSetting(L"OUT", L"Excluded"), 1u);
        // A slider move, a hotkey step (from the first's 30) and a factory reset pass it by.
        DragSlider(panel, kBrightnessSlider, 30);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:30 ", "name=Second brightness=0..200:64 ",
                                "name=Out brightness=0..100:50 "}));
        ::SendMessageW(panel, WM_HOTKEY, 3, 0);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:40 ", "name=Second brightness=0..200:72 ",
                                "name=Out brightness=0..100:50 "}));
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(panel, WM_COMMAND, MAKEWPARAM(IDC_FACTORY_RESET, BN_CLICKED),
                              reinterpret_cast<LPARAM>(::GetDlgItem(panel, IDC_FACTORY_RESET)), SMTO_NORMAL,
                              20000, &result);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:100 ",
                                "name=Out brightness=0..100:50 contrast=0..100:33 "}));
    }

    // After a resume the adjusted monitor gets its lost value back, the left-out one does not.
    void LostValuesComeBack() {
        WriteSetting(L"SettingsTimeout", 100);
        // A write of the factory reset still under way would put its state over the edit.
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
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Out brightness=0..100:12 "}));
        ASSERT_TRUE(WaitForQuietState());
        EXPECT_TRUE(StateShows({"name=Out brightness=0..100:12 "}, kNow));
    }

    // A shared set counts the second in its share, not the left-out one; a new share and a
    // monitor taken back show at once.
    void CommandLine() {
        RunToEnd(L"set brightness 50", kMonitors);
        EXPECT_TRUE(StateShows({"name=First brightness=0..100:50 ", "name=Second brightness=0..200:80 ",
                                "name=Out brightness=0..100:12 contrast=0..100:33 "}));
        const std::string json = RunToEnd(L"list --json", kMonitors);
        EXPECT_TRUE(
            Contains(json, "\"calibration\":{\"brightness\":{\"low\":20,\"high\":60},\"contrast\":{\"low\":0,"
                           "\"high\":100}},\"excluded\":false}"));
        EXPECT_TRUE(Contains(json, "\"excluded\":true}]}"));
        RunToEnd(L"calibrate --monitor Second brightness 50..100", kMonitors);
        RunToEnd(L"include --monitor 3", kMonitors);
        EXPECT_TRUE(StateShows(
            {"name=Second brightness=0..200:150 ", "name=Out brightness=0..100:50 contrast=0..100:50 "}));
        RunToEnd(L"calibrate --monitor 2 brightness 60..20", kMonitors, 2);
        // Left out again: at the next start its own value must not become the shared one.
        RunToEnd(L"exclude --monitor Out", kMonitors);
    }

    // The daily check stalls: the program goes on answering.
    void StalledCheck() {
        constexpr UINT_PTR updateCheckTimer = 3;
        ::PostMessageW(panel, WM_TIMER, updateCheckTimer, 0);
        ASSERT_TRUE(WaitFor([&] { return !stalled.RequestLines().empty(); })) << "no check";
        // A tick while the check runs starts no second one.
        ::PostMessageW(panel, WM_TIMER, updateCheckTimer, 0);
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

    // Exit from the tray menu (its last item) does not wait for the stalled endpoint.
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
        const long long exitMs = MsSince(exitChosen);
        std::cout << "exit during the stalled check took " << exitMs << " ms\n";
        EXPECT_LT(exitMs, 3000);
        EXPECT_EQ(TrayIconCount(), iconsBefore) << "the icon was removed";
    }

    // A reversed stored share reads as none; without a stored contrast the new monitor keeps its own.
    void Restart() {
        WriteSetting(L"CheckForUpdates", 0);
        test_support::DeleteValue(HKEY_CURRENT_USER, settingsKey, L"Contrast");
        WriteMonitorSetting(L"ONE", L"BrightnessLow", 70);
        WriteMonitorSetting(L"ONE", L"BrightnessHigh", 30);
        program = &Start(L"", kRestarted);
        panel = PanelOf(*program);
        ASSERT_TRUE(panel);
    }

    // The stored 50 % goes to each monitor in its own range and to the laptop panel, whose
    // re-assertion keeps it rather than its earlier level. The share follows the monitor:
    // 75 % of the second's range (150) stands for the shared 50 %.
    void StoredValuesApplied() {
        EXPECT_TRUE(StateShows({"levels set: 50 50", "name=Wide brightness=0..200:100 contrast=0..100:90",
                                "name=Second brightness=0..200:150 ", "name=First brightness=0..100:50 "}));
        EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 50);
        EXPECT_EQ(Setting(L"Brightness"), 50u);
        EXPECT_TRUE(StateShows({"name=Out brightness=0..100:77 "}));
    }

    // After a display change a newly stored value reaches the laptop panel and stays stored.
    void DisplayChange() {
        WriteSetting(L"Brightness", 40);
        ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        EXPECT_TRUE(StateShows({"levels set: 50 50 40 40"}));
        panel = NewestPanel(program->id, panel);
        EXPECT_TRUE(WaitForSetting(L"Brightness", 40));
        // The rebuilt list still finds each monitor's share by its identity.
        DragSlider(panel, kBrightnessSlider, 0);
        EXPECT_TRUE(StateShows({"name=Second brightness=0..200:100 ", "name=First brightness=0..100:0 "}));
    }

    // Deaf for 4 s from the re-apply's first call (100 ms after the resume): the lost values
    // are back within 1.5 s after it answers again, long after the quick attempts ended.
    void Deaf() {
        DragSlider(panel, kBrightnessSlider, 60);
        DragSlider(panel, kContrastSlider, 30);
        ASSERT_TRUE(MsUntil(kStored, Clock::now(), 5000)) << StateFile();
        LoseValues("deaf=4000");
        const Clock::time_point resumed = Resume();
        const auto deafReturn = MsUntil(kStored, resumed, 100 + 4000 + 1500);
        ASSERT_TRUE(deafReturn) << StateFile();
        EXPECT_GE(*deafReturn, 4000) << "it came back while the monitor was deaf";
    }

    // A monitor that ignores the first set of each parameter: one nudge (a step beside, then
    // the value) for each lost value, nothing for the gains that it kept.
    void Ignoring() {
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

    // Without patience only the quick attempts (3 s) run: a later answer keeps what was lost.
    void WithoutPatience() {
        WriteSetting(L"ReapplyPatience", 0);
        LoseValues("deaf=3500");
        const Clock::time_point resumed = Resume();
        EXPECT_FALSE(MsUntil(kStored, resumed, 100 + 3500 + 1500)) << StateFile();
    }

    // Exit while a deaf monitor's worker waits 2 s between retries ends at once (under Wine
    // the icon's removal alone takes about 2 s).
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
        const long long exitMs = MsSince(exitAt);
        std::cout << "exit during the deaf time: " << exitMs << " ms\n";
        EXPECT_LT(exitMs, 2000 + 400);
    }

    LoopbackHttpServer stalled{"", true};
    size_t iconsBefore = 0;
    Program* program = nullptr;
    HWND panel = nullptr;
};

TEST_F(TwoStarts, EachMonitorTakesItsShareAStalledCheckHoldsUpNothingAndTheNextStartAppliesWhatWasStored) {
    Step("first start", [&] { FirstStart(); });
    Step("shares", [&] { Shares(); });
    Step("left out", [&] { LeftOut(); });
    Step("lost values come back", [&] { LostValuesComeBack(); });
    Step("command line", [&] { CommandLine(); });
    Step("stalled check", [&] { StalledCheck(); });
    Step("exit from the tray menu", [&] { ExitFromTheTrayMenu(); });

    Step("restart", [&] { Restart(); });
    Step("stored values applied", [&] { StoredValuesApplied(); });
    Step("display change", [&] { DisplayChange(); });
    Step("re-apply: deaf", [&] { Deaf(); });
    Step("re-apply: ignoring", [&] { Ignoring(); });
    Step("re-apply: the newest value wins", [&] { NewestValueWins(); });
    Step("re-apply: without patience", [&] { WithoutPatience(); });
    Step("exit while deaf", [&] { ExitWhileDeaf(); });
}
