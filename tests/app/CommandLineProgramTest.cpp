// The command line as scripts use it, with and without a running instance.
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>

using namespace program_test;

namespace {

// Two brightness ranges, a monitor that refuses contrast, and a display without a monitor.
constexpr char kMonitors[] = "display; monitor name=Left brightness=0..50:10; "
                             "display; monitor name=Right_Side brightness=10..110:60; "
                             "display; monitor name=Stubborn fail=set-contrast; display";

class CommandLineProgram : public ProgramFixture {};

} // namespace

TEST_F(CommandLineProgram, WithAnInstanceEveryCommandGoesThroughItAndBadInputChangesNothing) {
    Program& instance = Start(L"", kMonitors);
    const HWND panel = PanelOf(instance);
    ASSERT_TRUE(panel);
    // The panel opens and widens, the display without a monitor among the others.
    ShowPanel(panel);
    ::SendMessageW(::GetDlgItem(panel, kExpandButton), BM_CLICK, 0, 0);

    // Every monitor in its own range, stored, and the panel's slider follows.
    RunToEnd(L"set brightness 40", kMonitors);
    EXPECT_TRUE(
        StateShows({"name=Left brightness=0..50:20 ", "name=Right_Side brightness=10..110:50 "}, kNow));
    EXPECT_EQ(Setting(L"Brightness"), 40u);
    EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 40);

    // A step starts from the first monitor's value.
    EXPECT_TRUE(Contains(RunToEnd(L"SET b +15", kMonitors), "brightness 55"));
    EXPECT_EQ(Setting(L"Brightness"), 55u);
    EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 55);

    // What get reports is what the monitors hold.
    const std::string get = RunToEnd(L"get --json", kMonitors);
    EXPECT_TRUE(
        StateShows({"name=Left brightness=0..50:27 ", "name=Right_Side brightness=10..110:65 "}, kNow));
    EXPECT_EQ(get.rfind("{\"monitors\":[{\"index\":1,\"name\":\"Left\",\"laptop\":false,"
                        "\"brightness\":{\"percent\":54,\"value\":27,\"minimum\":0,\"maximum\":50},",
                        0),
              0u)
        << get;
    EXPECT_TRUE(Contains(get, "{\"index\":2,\"name\":\"Right Side\",\"laptop\":false,\"brightness\":{"
                              "\"percent\":55,\"value\":65,\"minimum\":10,\"maximum\":110}"));
    EXPECT_TRUE(
        Contains(get, "\"temperature\":{\"preset\":3,\"supported\":[1,2,3,4,5,6,7,8]},\"calibration\":"));

    const std::string list = RunToEnd(L"list", kMonitors);
    EXPECT_TRUE(Contains(list, "1  Left ") && Contains(list, "2  Right Side ") &&
                Contains(list, "3  Stubborn ") && Contains(list, "10..110"))
        << list;

    // One monitor alone: the stored value stays.
    RunToEnd(L"set brightness 70 --monitor 2", kMonitors);
    EXPECT_TRUE(
        StateShows({"name=Right_Side brightness=10..110:80 ", "name=Left brightness=0..50:27 "}, kNow));
    EXPECT_EQ(Setting(L"Brightness"), 55u);

    // A refusing monitor is named; the others still take the value.
    EXPECT_TRUE(
        Contains(RunToEnd(L"set contrast 30", kMonitors, 4), "monitor 3 (Stubborn) refused contrast 30"));
    EXPECT_TRUE(StateShows({"name=Left brightness=0..50:27 contrast=0..100:30 "}, kNow));

    const std::string usage = RunToEnd(L"set brightness 101", kMonitors, 2);
    EXPECT_TRUE(Contains(usage, "\"101\"") && Contains(usage, "Usage:")) << usage;
    EXPECT_TRUE(Contains(RunToEnd(L"get --monitor Nowhere", kMonitors, 3), "no monitor \"Nowhere\""));
    std::wstring many = L"set";
    for (int i = 0; i < 10000; ++i) {
        many += L" b";
    }
    RunToEnd(many, kMonitors, 2);

    // Another program's data, garbage and a request answering to a foreign window are all
    // refused, and nothing changes (but the count of sets of a re-apply that may still retry).
    const auto values = [](const std::string& text) {
        return std::regex_replace(text, std::regex(" sets=\\d+"), "");
    };
    const std::string before = values(StateFile());
    BroadcastListener foreign;
    std::string garbage(1 << 20, '\x5A');
    const auto send = [&](ULONG_PTR tag, const std::string& bytes) {
        COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
        DWORD_PTR accepted = 0;
        ::SendMessageTimeoutW(panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 5000,
                              &accepted);
        return accepted;
    };
    EXPECT_EQ(send(0x4F727651, garbage), 0u);
    EXPECT_EQ(send(0x4F727651, garbage.substr(0, 7)), 0u);
    EXPECT_EQ(send(1, garbage), 0u);
    std::string request("\x01\0\0\0\x11\0\0\0", 8);
    const auto window = reinterpret_cast<uintptr_t>(::GetDesktopWindow());
    request.append(reinterpret_cast<const char*>(&window), 8);
    for (const char c : std::string("set brightness 90")) {
        request += c;
        request += '\0';
    }
    EXPECT_EQ(send(0x4F727651, request), 0u);
    // Commands run in arrival order: an accepted one would have run before this one.
    EXPECT_TRUE(Contains(RunToEnd(L"get --json --monitor 1", kMonitors), "\"percent\":54,\"value\":27,"));
    EXPECT_EQ(values(StateFile()), before);
    EXPECT_EQ(Setting(L"Brightness"), 55u);
    EXPECT_EQ(ExitCode(instance, 0), STILL_ACTIVE);

    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(instance, 20000), 0u);
}

TEST_F(CommandLineProgram, WithoutAnInstanceSetAppliesStoresAndEnds) {
    RunToEnd(L"set brightness 40 temperature 5", "monitor brightness=0..50:10");
    EXPECT_TRUE(StateShows({"brightness=0..50:20 ", "temp=5 "}, kNow));
    EXPECT_EQ(Setting(L"Brightness"), 40u);
    EXPECT_EQ(Setting(L"ColorTemperature"), 5u);
    EXPECT_TRUE(ProcessesFrom(ProgramPath()).empty()) << "a program is left running";
    EXPECT_TRUE(Contains(RunToEnd(L"--help", "monitor"), "orvalux.exe set VALUE..."));

    // An instance that never answers (here: only its event) costs the caller 5 s, no more.
    const UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, L"Orvalux"));
    const auto start = Clock::now();
    EXPECT_TRUE(Contains(RunToEnd(L"get", "monitor", 5), "did not answer within 5 s"));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
}

// Writes take 300 ms and the first monitor's worker re-sends its refused brightness slowly;
// the second monitor never tells its brightness range.
TEST_F(CommandLineProgram, WithSlowMonitorsRebuildsCommandsAndTheEndWaitForTheMonitorsOffThePanelsThread) {
    const std::string slow = "monitor name=Slow set-latency=300 fail=set-brightness:4; "
                             "monitor name=Blind brightness=0..50:10 fail=get-brightness";
    Program& instance = Start(L"", slow);
    const HWND first = PanelOf(instance);
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitForStateChange(StateFileTime(), Clock::now())) << "the re-apply did not start";

    // The teardown of a rebuild waits for the busy worker, serving messages, while another
    // display change (docking sends them in bursts) and then a command arrive.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(first, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080), SMTO_NORMAL, 10000, &result);
    ::Sleep(150); // aimed at the teardown's wait for the busy worker; a miss only weakens the test
    ::PostMessageW(first, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    EXPECT_TRUE(Contains(RunToEnd(L"get", slow), "1  Slow "));
    EXPECT_EQ(ExitCode(instance, 0), STILL_ACTIVE) << "the program ended after the display changes";
    const std::vector<HWND> panels = WaitForWindows(instance.id, 2);
    ASSERT_EQ(panels.size(), 2u) << "the first panel and the newest are left";
    const HWND panel = NewestPanel(instance.id, first);
    ASSERT_TRUE(::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result));

    // The panel answers at once all the while the monitors are written.
    Program& command = Start(L"set contrast 20 red 30 green 40 blue 50", slow);
    const auto start = Clock::now();
    Clock::duration slowest{};
    while (ExitCode(command, 20) == STILL_ACTIVE && Clock::now() - start < std::chrono::seconds(20)) {
        const auto before = Clock::now();
        ::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result);
        slowest = std::max(slowest, Clock::now() - before);
    }
    EXPECT_EQ(ExitCode(command, 0), 0u) << ErrorOutput(pipes.size() - 1);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1200)) << "the writes were not slow";
    EXPECT_LT(slowest, std::chrono::milliseconds(100));
    EXPECT_EQ(SliderValue(panel, kContrastSlider), 20);

    // A monitor whose range stays unknown is refused rather than sent a made-up value.
    EXPECT_TRUE(Contains(RunToEnd(L"set brightness 40 --monitor Blind", slow, 4),
                         "monitor 2 (Blind) refused brightness 40"));
    EXPECT_TRUE(StateShows({"name=Blind brightness=0..50:10 "}, kNow));
    EXPECT_TRUE(Contains(RunToEnd(L"get --monitor 2 --json", slow),
                         "\"name\":\"Blind\",\"laptop\":false,\"brightness\":null"));

    // Closing the instance while a command runs ends both soon, the command answered.
    Program& cut = Start(L"set contrast 70 red 70 green 70 blue 70", slow);
    ASSERT_TRUE(WaitForStateChange(StateFileTime(), Clock::now())) << "the command did not start";
    ::PostMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(instance, 10000), 0u);
    const DWORD cutCode = ExitCode(cut, 10000);
    EXPECT_TRUE(cutCode == 0 || cutCode == 4) << cutCode;
}
