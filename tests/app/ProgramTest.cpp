// The real program with simulated monitors, each start serving as many checks as it can.
#include "LinuxProcess.h"
#include "ProgramFixture.h"
#include "ScaleCheck.h"
#include "ScreenPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace program_test;

namespace {

// What Wine's notification area shows: the program's icon is the only one while it runs.
std::vector<DWORD> TrayImage() {
    RECT rect{};
    ::GetWindowRect(::FindWindowW(L"__winex11_standalone_tray", nullptr), &rect);
    return test_support::ScreenPixels(rect);
}

// Whether the notification area comes to show other than `image`. Wine draws a new icon over
// the old one, so an earlier image never returns exactly.
bool TrayChangesFrom(const std::vector<DWORD>& image) {
    return WaitFor([&] { return TrayImage() != image; }, std::chrono::seconds(3));
}

bool Near(DWORD shown, DWORD expected, int tolerance) {
    for (const int shift : {16, 8, 0}) {
        if (std::abs(Channel(shown, shift) - Channel(expected, shift)) > tolerance) {
            return false;
        }
    }
    return true;
}

// What is wrong with the brightness slider's wedge as the screen shows it, or nothing: it
// fades from pale yellow at the channel's top to dark olive at its narrow bottom.
std::string WedgeFault(HWND trackbar) {
    RECT client{};
    ::GetClientRect(trackbar, &client);
    POINT origin{0, 0};
    ::ClientToScreen(trackbar, &origin);
    const RECT onScreen{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    const std::vector<DWORD> pixels = test_support::ScreenPixels(onScreen);
    const auto at = [&](int x, int y) { return pixels.at(static_cast<size_t>(y * client.right + x)); };
    const auto expected = [&](int y) { // from the top edge to one past the bottom
        DWORD rgb = 0;
        for (const int shift : {16, 8, 0}) {
            const int top = Channel(0xFFFF98, shift);
            const int bottom = Channel(0x5E5E50, shift);
            rgb |= static_cast<DWORD>(top + (bottom - top) * y / (client.bottom + 1)) << shift;
        }
        return rgb;
    };
    const int bottom = client.bottom - 15;
    std::ostringstream fault;
    for (const int y : {14, bottom}) {
        if (!Near(at(14, y), expected(y), 16)) {
            fault << "row " << y << ": " << std::hex << at(14, y) << " not " << expected(y) << "; ";
        }
    }
    if (Near(at(client.right - 3, bottom), expected(bottom), 40)) {
        fault << "the wedge does not narrow at the bottom; ";
    }
    return fault.str();
}

// How many of the title's opaque pixels the panel's header shows, upright and upside down;
// a wider panel moves the title `shift` pixels right of the centre to make room for the icon.
std::pair<int, int> TitleMatches(HWND panel, int shift = 0) {
    const UniqueHmodule program(::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    const UniqueHbitmap title(static_cast<HBITMAP>(
        ::LoadImageW(program.get(), MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION section{};
    if (!title || ::GetObjectW(title.get(), sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBitsPixel != 32) {
        return {0, 0};
    }
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    const bool bottomUp = section.dsBmih.biHeight > 0;
    RECT client{};
    ::GetClientRect(panel, &client);
    POINT origin{(client.right - width + shift) / 2, 8}; // centred below the top edge
    ::ClientToScreen(panel, &origin);
    const std::vector<DWORD> shown =
        test_support::ScreenPixels(RECT{origin.x, origin.y, origin.x + width, origin.y + height});
    if (shown.empty()) {
        return {0, 0};
    }
    const auto image = [&](int x, int row) { // top-down row
        const int stored = bottomUp ? height - 1 - row : row;
        return static_cast<const DWORD*>(section.dsBm.bmBits)[stored * width + x];
    };
    int upright = 0;
    int flipped = 0;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const DWORD pixel = image(x, row);
            if (pixel >> 24 == 0xFF) {
                upright += Near(shown[static_cast<size_t>(row * width + x)], pixel & 0xFFFFFF, 8);
                flipped +=
                    Near(shown[static_cast<size_t>((height - 1 - row) * width + x)], pixel & 0xFFFFFF, 8);
            }
        }
    }
    return {upright, flipped};
}

} // namespace

TEST_F(ProgramFixture, AFirstMonitorOffStartSwitchesOffAfterOneSecondAndEnds) {
    BroadcastListener listener;
    const size_t icons = TrayIconCount();
    const DWORD begun = ::GetTickCount();
    Program& program = Start(L"monitoroff");
    // While it waits out its second: neither a panel nor an icon.
    size_t panels = 0;
    size_t addedIcons = 0;
    bool lookedLate = false;
    listener.Pump(std::chrono::milliseconds(8000), [&] {
        const bool running = ::WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT;
        panels = std::max(panels, WindowsOf(program.id).size());
        addedIcons = std::max(addedIcons, std::max(TrayIconCount(), icons) - icons);
        lookedLate = lookedLate || (running && ::GetTickCount() - begun >= 700);
        return BroadcastListener::monitorPowerParameter != 0;
    });
    EXPECT_TRUE(lookedLate) << "the program ended before it could be looked at";
    EXPECT_EQ(panels, 0u);
    EXPECT_EQ(addedIcons, 0u);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
    EXPECT_EQ(BroadcastListener::monitorPowerParameter, 2);
    EXPECT_GE(BroadcastListener::PostedAfter(begun), std::chrono::milliseconds(900));
}

TEST_F(ProgramFixture, APanelWithoutMonitorsOpensAndEndsCleanly) {
    Program& program = Start(L"", "none"); // no display at all
    const HWND panel = PanelOf(program);
    ASSERT_TRUE(panel);
    ShowPanel(panel);
    DragSlider(panel, kBrightnessSlider, 50);
    DragSlider(panel, kContrastSlider, 50);
    // Without a display, as during a rebuild, hotkeys have no level to step from.
    for (const WPARAM hotkey : {3, 4, 5, 6}) {
        ::SendMessageW(panel, WM_HOTKEY, hotkey, 0);
        EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 50) << hotkey;
        EXPECT_EQ(SliderValue(panel, kContrastSlider), 50) << hotkey;
    }
    ::SendMessageW(::GetDlgItem(panel, kExpandButton), BM_CLICK, 0, 0);
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);
}

// One resident program driven in steps, the rebuilds of a display-change storm last.
class TheResidentProgram : public ProgramFixture {
protected:
    static constexpr DWORD kDelayMs = 300; // the wake-ups' SettingsTimeout
    static constexpr DWORD kControlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;

    void SetUp() override {
        ProgramFixture::SetUp();
        iconsBefore = TrayIconCount();
        test_support::DeleteValue(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux");
        WriteSetting(L"SettingsTimeout", kDelayMs);
        WriteSetting(L"Expand", 7); // not a level: the panel starts narrow
        WriteSetting(L"Language", kEnglish);
        WriteSetting(L"HotkeyBrightnessUp", kControlAlt | 'U');
        WriteSetting(L"HotkeyBrightnessDown", kControlAlt | 'D');
        WriteSetting(L"HotkeyContrastUp", kControlAlt | 'C');
        WriteSetting(L"HotkeyContrastDown", kControlAlt | 'X');
        WriteSetting(L"Contrast", 30); // for the monitors whose values were not read
        WriteSetting(L"GainRed", 40);
        // Held by this test before the program starts: silently left to it.
        focus.reset(::CreateWindowExW(0, L"STATIC", L"orvalux hotkey focus", WS_POPUP, 400, 400, 50, 50,
                                      nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(::RegisterHotKey(focus.get(), 1, MOD_CONTROL | MOD_ALT, 'X'));
        // Finds the program's Linux process, whose anonymous memory Wine does not report.
        const std::wstring marker = L"storm-" + std::to_wstring(::GetCurrentProcessId());
        // Unread never answers contrast and gains; Late fails its first two contrast reads and
        // its first brightness read.
        program = &Start(
            marker, "display; monitor name=Unread brightness=0..50:10 contrast=0..100:50 red=0..100:60 "
                    "temp=2 temps=2,3,6 fail=get-contrast,get-gain; "
                    "display; monitor name=Plain brightness=0..50:10 temp=2 temps=2,3,6; "
                    "display; monitor brightness=0..200:20 temp=2 temps=2,3,6; "
                    "display; monitor name=Late temp=2 temps=2,3,6 fail=get-contrast:2,get-brightness:1; "
                    "display"); // without a physical monitor: no level of its own to store
        panel = PanelOf(*program);
        ASSERT_TRUE(panel);
        EXPECT_FALSE(::IsWindowVisible(panel));
        EXPECT_TRUE(StateShows({"name=Late brightness=0..100:50 contrast=0..100:50"}, kNow))
            << "nothing goes out at start to the late one";
        linuxProcess = test_support::LinuxProcessFolder(marker);
    }

    // Sends the monitor-power notification, its data in the program's own memory.
    void MonitorPower(DWORD monitorOn) {
        POWERBROADCAST_SETTING setting{};
        setting.PowerSetting = {0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
        setting.DataLength = sizeof(DWORD);
        std::memcpy(setting.Data, &monitorOn, sizeof(monitorOn));
        void* remote = ::VirtualAllocEx(program->process.get(), nullptr, sizeof(setting),
                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ::WriteProcessMemory(program->process.get(), remote, &setting, sizeof(setting), nullptr);
        ::SendMessageW(panel, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(remote));
        ::VirtualFreeEx(program->process.get(), remote, 0, MEM_RELEASE);
    }

    // The first monitor-power notification only reports the present state: no re-apply.
    std::string FirstMonitorPowerNotification() {
        EXPECT_TRUE(WaitForStateChange(FILETIME{}, Clock::now()));
        EXPECT_TRUE(WaitForQuietState());
        const std::string before = StateFile();
        MonitorPower(1);
        return before;
    }

    void WakeUps() {
        const std::pair<const char*, std::function<void()>> wakeUps[] = {
            {"monitor on", [&] { MonitorPower(1); }},
            {"resume", [&] { ::SendMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0); }},
            {"unlock", [&] { ::SendMessageW(panel, WM_WTSSESSION_CHANGE, 8 /* unlock */, 0); }},
            {"console connect", [&] { ::SendMessageW(panel, WM_WTSSESSION_CHANGE, 1 /* connect */, 0); }},
        };
        for (const auto& [name, wake] : wakeUps) {
            const FILETIME before = StateFileTime();
            const auto sent = Clock::now();
            wake();
            const auto after = WaitForStateChange(before, sent);
            ASSERT_TRUE(after.has_value()) << name << ": nothing was sent again";
            EXPECT_GE(after->count(), static_cast<long long>(kDelayMs) - 100) << name;
            EXPECT_TRUE(WaitForQuietState()) << name;
        }
    }

    // After the re-applies the unread monitor keeps its values; the sliders show one that has one.
    void UnreadValues() {
        EXPECT_TRUE(
            StateShows({"name=Unread brightness=0..50:10 contrast=0..100:50 red=0..100:60 green=0..100:50 "
                        "blue=0..100:50",
                        "name=Plain brightness=0..50:10 contrast=0..100:30 red=0..100:40 green=0..100:50 "
                        "blue=0..100:50"}));
        EXPECT_EQ(SliderValue(panel, kContrastSlider), 30)
            << "the sliders show the monitor that has the value";
        EXPECT_EQ(SliderValue(panel, IDC_RED_SLIDER), 40);
        // A slider reaches only monitors with a known range (the temperature: red was handled).
        DragSlider(panel, IDC_RED_SLIDER, 80);
        DragSlider(panel, kColorTemperatureSlider, 3);
        EXPECT_TRUE(
            StateShows({"name=Unread brightness=0..50:10 contrast=0..100:50 red=0..100:60 green=0..100:50 "
                        "blue=0..100:50 temp=3",
                        "name=Plain brightness=0..50:10 contrast=0..100:30 red=0..100:80 green=0..100:50 "
                        "blue=0..100:50 temp=3"}));
        // A read of the late one succeeds; its brightness was not re-asserted from a guess.
        DragSlider(panel, kContrastSlider, 70);
        EXPECT_TRUE(StateShows({"name=Late brightness=0..100:50 contrast=0..100:70"}));
    }

    // A second start ends and leaves the instance alone; monitoroff goes through it.
    void SecondStarts() {
        const std::wstring residents = std::exchange(stateFile, stateFile + L".second");
        RunToEnd(L"");
        EXPECT_EQ(ExitCode(*program, 0), STILL_ACTIVE) << "the running instance is left alone";
        EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore + 1; })) << "the icon was added";

        const DWORD asked = ::GetTickCount();
        RunToEnd(L"MONITOROFF");
        listener.Pump(std::chrono::milliseconds(8000),
                      [] { return BroadcastListener::monitorPowerCount > 0; });
        EXPECT_EQ(BroadcastListener::monitorPowerParameter, 2);
        EXPECT_GE(BroadcastListener::PostedAfter(asked), std::chrono::milliseconds(900));
        ::DeleteFileW(stateFile.c_str());
        stateFile = residents;
    }

    void StartWithWindows() {
        const auto runValue = [] {
            return test_support::ReadString(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux");
        };
        ::SendMessageW(panel, WM_COMMAND, IDM_START_WITH_WINDOWS, 0);
        EXPECT_EQ(runValue(), L"\"" + std::filesystem::path(ProgramPath()).make_preferred().native() + L"\"");
        ::SendMessageW(panel, WM_COMMAND, IDM_START_WITH_WINDOWS, 0);
        EXPECT_EQ(runValue(), std::nullopt);
        // Any value counts as on, whatever it names: the toggle removes it.
        test_support::WriteString(HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux", L"elsewhere.exe");
        ::SendMessageW(panel, WM_COMMAND, IDM_START_WITH_WINDOWS, 0);
        EXPECT_EQ(runValue(), std::nullopt);
    }

    void TrayClicks() {
        // A command from an accelerator is not the panel's: this Exit must be ignored.
        ::PostMessageW(panel, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 1), 0);
        // A single click opens the panel once it can no longer be a double click.
        const auto clicked = Clock::now();
        TrayCallback(panel, WM_LBUTTONDOWN, 600, 700);
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }));
        EXPECT_GE(Clock::now() - clicked, std::chrono::milliseconds(::GetDoubleClickTime() - 50));
        EXPECT_EQ(WindowRect(panel).bottom, 700 - 32) << "the panel sits above the icon";
        ::PostMessageW(panel, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(panel); }));

        // A double click switches the monitors off a second later and opens no panel; a pair too
        // far apart is no double click. (The broadcasts are counted a few steps later.)
        BroadcastListener::monitorPowerCount = 0;
        BroadcastListener::monitorPowerParameter = 0;
        const DWORD doubleClicked = ::GetTickCount();
        TrayCallback(panel, WM_LBUTTONDOWN, 600, 700);
        TrayCallback(panel, WM_LBUTTONDBLCLK, 601, 701);
        TrayCallback(panel, WM_LBUTTONDOWN, 600, 700);
        TrayCallback(panel, WM_LBUTTONDBLCLK, 600 + 3 * ::GetSystemMetrics(SM_CXDOUBLECLK), 700);
        listener.Pump(std::chrono::milliseconds(5000),
                      [] { return BroadcastListener::monitorPowerCount > 0; });
        EXPECT_EQ(BroadcastListener::monitorPowerParameter, 2);
        EXPECT_GE(BroadcastListener::PostedAfter(doubleClicked), std::chrono::milliseconds(900));
        EXPECT_FALSE(::IsWindowVisible(panel));

        // The middle button opens it at once; an event nobody handles changes nothing.
        const auto middle = Clock::now();
        TrayCallback(panel, WM_MBUTTONDOWN, 600, 700);
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }));
        EXPECT_LT(Clock::now() - middle, std::chrono::milliseconds(::GetDoubleClickTime()));
        EXPECT_EQ(::SendMessageW(panel, 4919, 0, MAKELPARAM(WM_KEYDOWN, 1)), 1);
        EXPECT_TRUE(::IsWindowVisible(panel));
    }

    void Drawing() {
        std::string wedgeFault;
        EXPECT_TRUE(
            WaitFor([&] { return (wedgeFault = WedgeFault(::GetDlgItem(panel, kBrightnessSlider))).empty(); },
                    std::chrono::seconds(3)))
            << wedgeFault;
        std::pair<int, int> title;
        EXPECT_TRUE(WaitFor(
            [&] {
                title = TitleMatches(panel);
                return title.first > 50 && title.first > 2 * title.second;
            },
            std::chrono::seconds(3)))
            << "title pixels shown upright " << title.first << ", upside down " << title.second;
    }

    void SliderDrag() {
        EXPECT_EQ(SliderValue(panel, kBrightnessSlider), 20) << "the first monitor's 10 of 0..50";
        // Off the notification area, whose icon is read.
        ::SetWindowPos(panel, nullptr, 800, 800, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitFor([] { return !TrayImage().empty(); }));
        const std::vector<DWORD> at20 = TrayImage();

        for (const int value : {90, 75, 60, 45, 30, 40}) {
            DragSlider(panel, kBrightnessSlider, value);
        }
        // The last value wins on both monitors, each in its own range.
        EXPECT_TRUE(StateShows({"brightness=0..50:20", "brightness=0..200:80"}));
        EXPECT_TRUE(WaitForSetting(L"Brightness", 40));
        EXPECT_TRUE(TrayChangesFrom(at20)) << "the icon follows";
        const std::vector<DWORD> at40 = TrayImage();

        // Releasing the thumb sends nothing more (the contrast move shows it was handled).
        const HWND brightness = ::GetDlgItem(panel, kBrightnessSlider);
        ::SendMessageW(brightness, TBM_SETPOS, TRUE, 10);
        ::SendMessageW(panel, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 90),
                       reinterpret_cast<LPARAM>(brightness));
        ::SendMessageW(panel, WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(brightness));
        DragSlider(panel, kContrastSlider, 35);
        EXPECT_TRUE(StateShows({"contrast=0..100:35", "brightness=0..200:80"}));
        EXPECT_TRUE(WaitForSetting(L"Contrast", 35));
        EXPECT_EQ(Setting(L"Brightness"), 40u);
        EXPECT_EQ(TrayImage(), at40) << "contrast leaves the icon as it is";
        DragSlider(panel, kBrightnessSlider, 20);
        EXPECT_TRUE(TrayChangesFrom(at40)) << "the icon follows back";

        // A preset the monitors lack snaps to the nearest one they have, thumb included.
        DragSlider(panel, kColorTemperatureSlider, 5);
        EXPECT_EQ(SliderValue(panel, kColorTemperatureSlider), 6);
        EXPECT_TRUE(StateShows({"temp=6"}));
        EXPECT_TRUE(WaitForSetting(L"ColorTemperature", 6));

        // The expand button widens the panel column by column, then narrows it.
        const auto right = [&](int id) { return WindowRect(::GetDlgItem(panel, id)).right; };
        const auto width = [&] { return WindowRect(panel).right - WindowRect(panel).left; };
        const LONG narrow = width();
        const LONG base = right(kBrightnessSlider);
        const LONG widening[] = {right(kContrastSlider) - base, right(kColorTemperatureSlider) - base,
                                 right(kBlueSlider) - base, 0};
        for (DWORD level = 1; level <= 4; ++level) {
            ::SendMessageW(::GetDlgItem(panel, kExpandButton), BM_CLICK, 0, 0);
            EXPECT_EQ(width() - narrow, widening[level - 1]) << "level " << level % 4;
            EXPECT_TRUE(WaitForSetting(L"Expand", level % 4));
            EXPECT_EQ(::IsWindowVisible(::GetDlgItem(panel, kBlueSlider)) != FALSE, level == 3);
            // Each width shows a header drawn for it, not one kept from another width.
            std::pair<int, int> title;
            EXPECT_TRUE(WaitFor([&] {
                title = TitleMatches(panel, level % 4 ? 28 : 0);
                return title.first > 50 && title.first > 2 * title.second;
            })) << "level "
                << level % 4 << ": title pixels in place " << title.first << ", not " << title.second;
        }
        ::PostMessageW(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(panel); }));
    }

    // Hotkeys step brightness and contrast within their bounds, from 95 and 5.
    void Hotkeys() {
        const std::vector<DWORD> at20 = TrayImage();
        DragSlider(panel, kBrightnessSlider, 95);
        DragSlider(panel, kContrastSlider, 5);
        EXPECT_TRUE(StateShows({"brightness=0..200:190", "contrast=0..100:5"}));
        EXPECT_TRUE(WaitForSetting(L"Contrast", 5));
        EXPECT_TRUE(TrayChangesFrom(at20));
        // Under Wine keys count only once a window of ours has the focus.
        ::ShowWindow(focus.get(), SW_SHOW);
        ::SetForegroundWindow(focus.get());
        listener.Pump(std::chrono::milliseconds(3000),
                      [&] { return ::GetForegroundWindow() == focus.get(); });
        listener.Pump(std::chrono::milliseconds(300), [] { return false; });

        // The icon shows brightness in levels: 95 and 90 % share one.
        for (const auto& [key, wide, narrow, level] :
             {std::tuple{'U', "brightness=0..200:200", "brightness=0..50:50", 100},
              std::tuple{'D', "brightness=0..200:180", "brightness=0..50:45", 90}}) {
            const std::vector<DWORD> before = TrayImage();
            PressKeys({VK_CONTROL, VK_MENU, static_cast<WORD>(key)});
            EXPECT_TRUE(StateShows({wide, narrow}));
            EXPECT_EQ(SliderValue(panel, kBrightnessSlider), level) << "the slider follows";
            EXPECT_TRUE(WaitForSetting(L"Brightness", static_cast<DWORD>(level)));
            EXPECT_TRUE(TrayChangesFrom(before)) << "the icon follows " << key;
        }
        const std::vector<DWORD> at90 = TrayImage();

        PressKeys({VK_CONTROL, VK_MENU, 'C'});
        EXPECT_TRUE(StateShows({"contrast=0..100:15"}));
        EXPECT_EQ(SliderValue(panel, kContrastSlider), 15);
        EXPECT_EQ(TrayImage(), at90) << "contrast leaves the icon as it is";
        // The combination this test holds reaches the test, not the program.
        PressKeys({VK_CONTROL, VK_MENU, 'X'});
        MSG message{};
        EXPECT_TRUE(WaitFor(
            [&] { return ::PeekMessageW(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != FALSE; }));
        EXPECT_TRUE(StateShows({"contrast=0..100:15"}, kNow));
        ::ShowWindow(focus.get(), SW_HIDE);
    }

    // What a leak grows under Wine: threads, windows with their children, anonymous memory.
    struct Footprint {
        size_t threads = 0;
        size_t windows = 0;
        double anonymousKb = 0;
    };
    Footprint Measure() const {
        Footprint measured;
        const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
             more = ::Thread32Next(snapshot.get(), &entry)) {
            measured.threads += entry.th32OwnerProcessID == program->id;
        }
        for (HWND window : WindowsOf(program->id, nullptr)) {
            ++measured.windows;
            ::EnumChildWindows(
                window,
                [](HWND, LPARAM count) -> BOOL {
                    ++*reinterpret_cast<size_t*>(count);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&measured.windows));
        }
        measured.anonymousKb = test_support::AnonymousKb(linuxProcess);
        return measured;
    }

    // A storm of display changes leaves one panel besides the first and leaks nothing.
    void Storm() {
        ASSERT_FALSE(linuxProcess.empty()) << "no /proc entry for the program";
        // The expand click behind the storm stores its level once the storm is through the
        // loop. The footprint is read once threads and windows stay put for half a second.
        HWND newest = nullptr;
        const auto storm = [&](DWORD expandLevel) {
            for (int i = 0; i < 200; ++i) {
                ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
            }
            ::PostMessageW(panel, WM_COMMAND, MAKEWPARAM(kExpandButton, BN_CLICKED),
                           reinterpret_cast<LPARAM>(panel));
            EXPECT_TRUE(WaitForSetting(L"Expand", expandLevel));
            EXPECT_TRUE(WaitFor([&] { return !::IsWindow(newest) && WindowsOf(program->id).size() == 2; }))
                << "panels " << WindowsOf(program->id).size();
            newest = NewestPanel(program->id, panel);
            Footprint settled = Measure();
            for (int round = 0; round < 20; ++round) {
                ::Sleep(500);
                const Footprint now = Measure();
                if (now.threads == settled.threads && now.windows == settled.windows) {
                    return now;
                }
                settled = now;
            }
            return settled;
        };
        const Footprint afterFirst = storm(1);
        const Footprint afterSecond = storm(2);
        EXPECT_EQ(afterSecond.threads, afterFirst.threads);
        EXPECT_EQ(afterSecond.windows, afterFirst.windows);
        EXPECT_LT(afterSecond.anonymousKb - afterFirst.anonymousKb, 1024) << "anonymous memory grew";
        EXPECT_TRUE(::IsWindow(panel));
        EXPECT_EQ(Setting(L"Brightness"), 90u);
        EXPECT_TRUE(StateShows({"contrast=0..100:15"}, kNow));
    }

    // A restarted shell has lost the icon; the program adds it again.
    void ShellRestart() {
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof(icon);
        icon.hWnd = panel;
        icon.uID = 1;
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon));
        ASSERT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore; }));
        ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore + 1; })) << "the icon came back";
    }

    const test_support::SavedValue usersOwn{HKEY_CURRENT_USER, test_support::kRunKey, L"Orvalux"};
    BroadcastListener listener;
    UniqueHwnd focus;
    size_t iconsBefore = 0;
    Program* program = nullptr;
    HWND panel = nullptr; // the first panel: the tray icon's window through every rebuild
    std::wstring linuxProcess;
};

TEST_F(TheResidentProgram, AnswersWakeUpsSecondStartsTheTraySlidersHotkeysAndDisplayChanges) {
    std::string beforeFirstNotification;
    Step("first monitor-power notification",
         [&] { beforeFirstNotification = FirstMonitorPowerNotification(); });
    Step("second starts", [&] { SecondStarts(); });
    // Seconds after it, longer than the delay: the first notification sent nothing again.
    EXPECT_EQ(StateFile(), beforeFirstNotification) << "the first notification re-applied";
    Step("wake-ups", [&] { WakeUps(); });
    Step("unread values", [&] { UnreadValues(); });
    Step("Start with Windows", [&] { StartWithWindows(); });
    Step("tray clicks", [&] { TrayClicks(); });
    Step("drawing", [&] { Drawing(); });
    Step("slider drag", [&] { SliderDrag(); });
    EXPECT_EQ(ExitCode(*program, 0), STILL_ACTIVE) << "the accelerator's Exit at the tray clicks was taken";
    // Seconds after the double clicks: only the near pair switched the monitors off.
    listener.Pump(std::chrono::milliseconds(20), [] { return false; });
    EXPECT_EQ(BroadcastListener::monitorPowerCount, 1) << "monitor-off broadcasts after the double clicks";
    Step("hotkeys", [&] { Hotkeys(); });
    Step("scale", [&] {
        ShowPanel(panel);
        CheckDrawnForScale(program->process.get(), panel, 96);
        ::PostMessageW(panel, WM_COMMAND, IDCANCEL, 0);
    });
    Step("display-change storm", [&] { Storm(); });
    Step("shell restart", [&] { ShellRestart(); });
    // A close together with a display change is not taken for the rebuild.
    ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(*program, 20000), 0u);
    EXPECT_EQ(TrayIconCount(), iconsBefore) << "the icon was removed";
}

TEST_F(ProgramFixture, WithoutTheSimulatorTheProgramDrivesDxva2AndGivesBackEveryHandle) {
    // A recording dxva2.dll beside a copy of the program, preferred to Wine's own.
    const std::wstring log = stateFile + L".dxva2.txt";
    ::DeleteFileW(log.c_str());
    char overrides[512] = {};
    const bool hadOverrides = ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides)) > 0;
    ::SetEnvironmentVariableA("WINEDLLOVERRIDES",
                              (hadOverrides ? std::string(overrides) + ";dxva2=n" : "dxva2=n").c_str());
    ::SetEnvironmentVariableW(L"ORVALUX_DXVA2_LOG", log.c_str());
    WriteSetting(L"Brightness", 70);
    Program& program = Start(L"", "", test_support::BuildPath(ORVALUX_REAL_MONITORS_EXE_PATH));
    ::SetEnvironmentVariableA("WINEDLLOVERRIDES", hadOverrides ? overrides : nullptr);
    ::SetEnvironmentVariableW(L"ORVALUX_DXVA2_LOG", nullptr);

    struct Call {
        std::string name;
        std::string handle;
        long value = -1;
    };
    const auto calls = [&] {
        std::vector<Call> read;
        std::ifstream file(log.c_str());
        for (std::string line; std::getline(file, line);) {
            std::istringstream fields(line);
            Call& call = read.emplace_back();
            fields >> call.name >> call.handle >> call.value;
        }
        return read;
    };
    const auto count = [&](const std::string& name, long value = -1) {
        const std::vector<Call> all = calls();
        return std::count_if(all.begin(), all.end(), [&](const Call& c) {
            return c.name == name && (value < 0 || c.value == value);
        });
    };
    const HWND panel = PanelOf(program);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(WaitFor([&] { return count("set-brightness", 70) > 0; })) << "the stored value at start";
    ShowPanel(panel);
    DragSlider(panel, kBrightnessSlider, 40);
    EXPECT_TRUE(WaitFor([&] { return count("set-brightness", 40) > 0; })) << "a slider move";
    ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    EXPECT_TRUE(WaitFor([&] { return count("open") == 2 && count("destroy") == 1; })) << "a rebuild";
    ::PostMessageW(NewestPanel(program.id, panel), WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(program, 20000), 0u);

    // Each handle given out is used only while open and given back once.
    std::map<std::string, int> open;
    for (const Call& call : calls()) {
        if (call.name == "open") {
            EXPECT_EQ(open[call.handle]++, 0) << call.handle << " given out twice";
        } else {
            EXPECT_EQ(open[call.handle], 1) << call.name << " on " << call.handle;
            open[call.handle] -= call.name == "destroy";
        }
    }
    EXPECT_EQ(open.size(), 2u);
    for (const auto& [handle, left] : open) {
        EXPECT_EQ(left, 0) << handle << " was not destroyed";
    }
}
