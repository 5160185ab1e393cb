// The command line as scripts use it: the real program with simulated monitors, its
// output read from a pipe, with and without a running instance.
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>

using namespace program_test;

namespace {

class CommandLineProgram : public ProgramFixture {
protected:
    struct Outcome {
        DWORD exitCode = STILL_ACTIVE;
        std::string output;
    };

    // Starts the program with `arguments` and waits for its end.
    Outcome Run(const std::wstring& arguments, const std::string& description = kMonitors) {
        Program& program = Start(arguments, description);
        Outcome outcome;
        outcome.exitCode = ExitCode(program, 20000);
        outcome.output = ErrorOutput(pipes.size() - 1);
        return outcome;
    }

    DWORD Stored(const wchar_t* name) {
        DWORD value = 0;
        EXPECT_TRUE(ReadSetting(name, value)) << "nothing stored";
        return value;
    }

    // Two monitors with their own brightness ranges, one that refuses contrast, and a
    // display without a physical monitor.
    static inline const std::string kMonitors = "display; monitor name=Left brightness=0..50:10; "
                                                "display; monitor name=Right_Side brightness=10..110:60; "
                                                "display; monitor name=Stubborn fail=set-contrast; display";
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(CommandLineProgram, WithAnInstanceEveryCommandGoesThroughItAndBadInputChangesNothing) {
    Program& instance = Start(L"", kMonitors);
    const std::vector<HWND> windows = WaitForWindows(instance.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    const HWND panel = windows[0];
    // The panel opens and widens, the display without a monitor among the others.
    ShowPanel(panel);
    ::SendMessageW(::GetDlgItem(panel, kExpandButton), BM_CLICK, 0, 0);

    // Every monitor in its own range, stored, and the panel's slider follows.
    Outcome set = Run(L"set brightness 40");
    EXPECT_EQ(set.exitCode, 0u) << set.output;
    std::string state = StateFile();
    EXPECT_TRUE(Contains(state, "name=Left brightness=0..50:20 ")) << state;
    EXPECT_TRUE(Contains(state, "name=Right_Side brightness=10..110:50 ")) << state;
    EXPECT_EQ(Stored(L"Brightness"), 40u);
    EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 40);

    // A step starts from the first monitor's value.
    set = Run(L"SET b +15");
    EXPECT_EQ(set.exitCode, 0u) << set.output;
    EXPECT_TRUE(Contains(set.output, "brightness 55")) << set.output;
    EXPECT_EQ(Stored(L"Brightness"), 55u);
    EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 55);

    // What get reports is what the monitors hold.
    const Outcome get = Run(L"get --json");
    EXPECT_EQ(get.exitCode, 0u);
    state = StateFile();
    EXPECT_TRUE(Contains(state, "name=Left brightness=0..50:27 ")) << state;
    EXPECT_TRUE(Contains(state, "name=Right_Side brightness=10..110:65 ")) << state;
    EXPECT_EQ(get.output.rfind("{\"monitors\":[{\"index\":1,\"name\":\"Left\",\"laptop\":false,"
                               "\"brightness\":{\"percent\":54,\"value\":27,\"minimum\":0,\"maximum\":50},",
                               0),
              0u)
        << get.output;
    EXPECT_TRUE(Contains(get.output, "{\"index\":2,\"name\":\"Right Side\",\"laptop\":false,\"brightness\":{"
                                     "\"percent\":55,\"value\":65,\"minimum\":10,\"maximum\":110}"))
        << get.output;
    EXPECT_TRUE(Contains(get.output,
                         "\"temperature\":{\"preset\":3,\"supported\":[1,2,3,4,5,6,7,8]},\"calibration\":"));

    const Outcome list = Run(L"list");
    EXPECT_EQ(list.exitCode, 0u);
    EXPECT_TRUE(Contains(list.output, "1  Left ") && Contains(list.output, "2  Right Side ") &&
                Contains(list.output, "3  Stubborn ") && Contains(list.output, "10..110"))
        << list.output;

    // One monitor alone: the stored value stays.
    set = Run(L"set brightness 70 --monitor 2");
    EXPECT_EQ(set.exitCode, 0u) << set.output;
    state = StateFile();
    EXPECT_TRUE(Contains(state, "name=Right_Side brightness=10..110:80 ")) << state;
    EXPECT_TRUE(Contains(state, "name=Left brightness=0..50:27 ")) << state;
    EXPECT_EQ(Stored(L"Brightness"), 55u);

    // A refusing monitor is named; the others still take the value.
    set = Run(L"set contrast 30");
    EXPECT_EQ(set.exitCode, 4u);
    EXPECT_TRUE(Contains(set.output, "monitor 3 (Stubborn) refused contrast 30")) << set.output;
    EXPECT_TRUE(Contains(StateFile(), "name=Left brightness=0..50:27 contrast=0..100:30 "));

    const Outcome usage = Run(L"set brightness 101");
    EXPECT_EQ(usage.exitCode, 2u);
    EXPECT_TRUE(Contains(usage.output, "\"101\"") && Contains(usage.output, "Usage:")) << usage.output;
    const Outcome nowhere = Run(L"get --monitor Nowhere");
    EXPECT_EQ(nowhere.exitCode, 3u);
    EXPECT_TRUE(Contains(nowhere.output, "no monitor \"Nowhere\"")) << nowhere.output;
    std::wstring many = L"set";
    for (int i = 0; i < 10000; ++i) {
        many += L" b";
    }
    EXPECT_EQ(Run(many).exitCode, 2u);

    // Another program's data, garbage and a request answering to a foreign window are
    // all refused, and nothing changes.
    // The start's re-apply may still be retrying the refusing monitor: its count of set
    // calls is no value of a monitor.
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
    // Commands run one at a time in arrival order: an accepted one would have run before
    // this one.
    const Outcome after = Run(L"get --json --monitor 1");
    EXPECT_TRUE(Contains(after.output, "\"percent\":54,\"value\":27,")) << after.output;
    EXPECT_EQ(values(StateFile()), before);
    EXPECT_EQ(Stored(L"Brightness"), 55u);
    EXPECT_EQ(ExitCode(instance, 0), STILL_ACTIVE);

    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(instance, 20000), 0u);
}

TEST_F(CommandLineProgram, WithoutAnInstanceSetAppliesStoresAndEnds) {
    const Outcome set = Run(L"set brightness 40 temperature 5", "monitor brightness=0..50:10");
    EXPECT_EQ(set.exitCode, 0u) << set.output;
    EXPECT_TRUE(Contains(StateFile(), "brightness=0..50:20 ")) << StateFile();
    EXPECT_TRUE(Contains(StateFile(), "temp=5 ")) << StateFile();
    EXPECT_EQ(Stored(L"Brightness"), 40u);
    EXPECT_EQ(Stored(L"ColorTemperature"), 5u);
    EXPECT_TRUE(ProcessesFrom(ProgramPath()).empty()) << "a program is left running";

    const Outcome help = Run(L"--help", "monitor");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_TRUE(Contains(help.output, "orvalux.exe set VALUE...")) << help.output;

    // An instance that never answers (here: only its event) costs the caller 5 s, no more.
    const UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, L"Orvalux"));
    const auto start = Clock::now();
    const Outcome silent = Run(L"get", "monitor");
    EXPECT_EQ(silent.exitCode, 5u);
    EXPECT_TRUE(Contains(silent.output, "did not answer within 5 s")) << silent.output;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
}

// Every write takes 300 ms; the first monitor refuses its brightness a few times, which
// keeps its worker re-sending slowly; the second monitor never told its brightness range.
TEST_F(CommandLineProgram, WithSlowMonitorsRebuildsCommandsAndTheEndWaitForTheMonitorsOffThePanelsThread) {
    const std::string slow = "monitor name=Slow set-latency=300 fail=set-brightness:4; "
                             "monitor name=Blind brightness=0..50:10 fail=get-brightness";
    Program& instance = Start(L"", slow);
    const std::vector<HWND> windows = WaitForWindows(instance.id, 1);
    ASSERT_EQ(windows.size(), 1u);
    const HWND first = windows[0];
    ASSERT_TRUE(WaitForStateChange(StateFileTime(), Clock::now())) << "the re-apply did not start";

    // The teardown of a rebuild waits for the busy worker, serving messages, while another
    // display change (docking sends them in bursts) and then a command arrive.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(first, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080), SMTO_NORMAL, 10000, &result);
    ::Sleep(150); // aimed at the teardown's wait for the busy worker; a miss only weakens the test
    ::PostMessageW(first, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    const Outcome get = Run(L"get", slow);
    EXPECT_EQ(get.exitCode, 0u) << get.output;
    EXPECT_TRUE(Contains(get.output, "1  Slow ")) << get.output;
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

    // One monitor whose range stays unknown is refused rather than sent a value made from
    // nothing, and shows no value.
    Outcome blind = Run(L"set brightness 40 --monitor Blind", slow);
    EXPECT_EQ(blind.exitCode, 4u);
    EXPECT_TRUE(Contains(blind.output, "monitor 2 (Blind) refused brightness 40")) << blind.output;
    EXPECT_TRUE(Contains(StateFile(), "name=Blind brightness=0..50:10 ")) << StateFile();
    blind = Run(L"get --monitor 2 --json", slow);
    EXPECT_TRUE(Contains(blind.output, "\"name\":\"Blind\",\"laptop\":false,\"brightness\":null"))
        << blind.output;

    // Closing the instance while a command runs ends both soon, the command answered.
    Program& cut = Start(L"set contrast 70 red 70 green 70 blue 70", slow);
    ASSERT_TRUE(WaitForStateChange(StateFileTime(), Clock::now())) << "the command did not start";
    ::PostMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(instance, 10000), 0u);
    const DWORD cutCode = ExitCode(cut, 10000);
    EXPECT_TRUE(cutCode == 0 || cutCode == 4) << cutCode;
}
