// The real program's popups and dialogs, driven with the keyboard and the mouse.
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"
#include "ScaleCheck.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

using namespace program_test;

namespace {

constexpr WORD kControlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;

// Asked of the window itself: a control of another process keeps its text to itself.
std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

// Moves the pointer, or presses or releases the left button where it is.
void Mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = static_cast<LONG>(x * 65535LL / (::GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = static_cast<LONG>(y * 65535LL / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    ::SendInput(1, &input, sizeof(input));
}

// A window away from the panel to click, on a thread of its own that reads the click.
class Elsewhere {
public:
    Elsewhere() {
        const UniqueHandle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_ = std::thread([this, created = created.get()] {
            // Notifying, a static takes the click instead of passing it to what lies below.
            window_ = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE | SS_NOTIFY, kLeft,
                                        kTop, kSize, kSize, nullptr, nullptr, nullptr, nullptr);
            threadId_ = ::GetCurrentThreadId();
            ::SetEvent(created);
            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                ::DispatchMessageW(&message);
            }
            ::DestroyWindow(window_);
        });
        ::WaitForSingleObject(created.get(), 10000);
    }
    ~Elsewhere() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    Elsewhere(const Elsewhere&) = delete;
    Elsewhere& operator=(const Elsewhere&) = delete;

    void Click() const {
        Mouse(MOUSEEVENTF_MOVE, kLeft + kSize / 2, kTop + kSize / 2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_LEFTUP);
    }

private:
    // The panel opens at the top left when no tray click placed it.
    static constexpr int kLeft = 1200;
    static constexpr int kTop = 600;
    static constexpr int kSize = 200;

    std::thread thread_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

class DialogsFixture : public ProgramFixture {
protected:
    // The program's last visible window of `windowClass` (any: null) that `fits`, once one shows.
    template <typename Fits>
    HWND WaitForVisible(const wchar_t* windowClass, Fits fits,
                        std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        HWND found = nullptr;
        WaitFor(
            [&] {
                for (HWND window : WindowsOf(program->id, windowClass)) {
                    found = ::IsWindowVisible(window) && fits(window) ? window : found;
                }
                return found != nullptr;
            },
            limit);
        return found;
    }

    // The program's newest visible dialog that is not in `known`, once one shows.
    HWND WaitForNewDialog(const std::vector<HWND>& known,
                          std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        const auto isNew = [&](HWND window) {
            return std::find(known.begin(), known.end(), window) == known.end();
        };
        return WaitForVisible(kPanelClass, isNew, limit);
    }

    // Clicks button `id` of `owner` and returns the window it opens.
    HWND Open(HWND owner, int id, const std::vector<HWND>& known) const {
        ::PostMessageW(::GetDlgItem(owner, id), BM_CLICK, 0, 0);
        return WaitForNewDialog(known);
    }

    std::vector<HWND> VisibleWindowsOf(const wchar_t* windowClass) const {
        std::vector<HWND> found;
        for (HWND window : WindowsOf(program->id, nullptr)) {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (::IsWindowVisible(window) && std::wcscmp(name, windowClass) == 0) {
                found.push_back(window);
            }
        }
        return found;
    }

    // Whether a visible tooltip of the program comes to show a text that `matches` in `limit`.
    template <typename Matches>
    bool TooltipShows(Matches matches, std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        return WaitFor(
            [&] {
                const std::vector<HWND> tooltips = VisibleWindowsOf(TOOLTIPS_CLASSW);
                return std::any_of(tooltips.begin(), tooltips.end(),
                                   [&](HWND tooltip) { return matches(WindowText(tooltip)); });
            },
            limit);
    }

    // Stores setting `name` as four bytes of another type, read as missing: a write of the
    // program's own shows as the type turning REG_DWORD (Wine leaves an unchanged value as is).
    void MarkSetting(const wchar_t* name, DWORD value) {
        test_support::WriteValue(HKEY_CURRENT_USER, settingsKey, name, REG_BINARY, &value, sizeof(value));
    }
    DWORD SettingType(const wchar_t* name) {
        DWORD type = REG_NONE;
        ::RegGetValueW(HKEY_CURRENT_USER, settingsKey.c_str(), name, RRF_RT_ANY, &type, nullptr, nullptr);
        return type;
    }

    Program* program = nullptr;
};

// Whether a child of `window` shows a text containing `part`.
bool ShowsText(HWND window, const wchar_t* part) {
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child).find(part) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

int NumberIn(HWND window) {
    return static_cast<int>(std::wcstol(WindowText(window).c_str(), nullptr, 10));
}

} // namespace

// One run of the program for its dialogs; the language popup comes last: it changes the rest.
TEST_F(DialogsFixture, ThePopupsAndTheHotkeyDialog) {
    // Held by the test before the hotkey dialog asks for it.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'B'));
    // Values no hotkey control or step can show, and a language past the list: the default.
    WriteSetting(L"HotkeyMonitorOff", 0x10000 | kControlAlt | 'M');
    WriteSetting(L"HotkeyIncrement", 0);
    WriteSetting(L"SettingsTimeout", 3000);
    WriteSetting(L"Language", 40);
    // An update endpoint for the update page, which a display change cancels at the end.
    LoopbackHttpServer endpoint(
        {{"/Orvalux/", LoopbackHttpServer::Response(
                           "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Version>9.8.7</Version>"
                           "<Location>#BASE#/files/setup.exe</Location>"
                           "<Changes>PHRyPjx0ZD5GYXN0ZXI8L3RkPjwvdHI+</Changes></VERSION>")},
         {"/files/", LoopbackHttpServer::Response("MZ")}});
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL",
                              (endpoint.BaseUrl() + "/Orvalux/VersionCheck.aspx").c_str());
    WriteSetting(L"CheckForUpdates", 1);
    program = &Start(L"", "display; monitor name=First id=ONE brightness=0..100:50; "
                          "display; monitor name=Second id=TWO brightness=0..200:100");
    ::SetEnvironmentVariableA("ORVALUX_UPDATE_URL", nullptr);
    const HWND panel = PanelOf(*program);
    ASSERT_TRUE(panel);
    ShowPanel(panel);
    {
        SCOPED_TRACE("the delay popup");
        HWND popup = Open(panel, IDC_REAPPLY_DELAY, {panel});
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(WindowRect(popup).left, WindowRect(::GetDlgItem(panel, IDC_REAPPLY_DELAY)).right - 3)
            << "beside the button";
        EXPECT_EQ(SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER), 3000);
        // Up is a longer delay, by 100 ms a step; Enter takes it.
        PressKeys({VK_UP}, 5);
        EXPECT_TRUE(WaitFor([&] { return SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER) == 3500; }))
            << SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER);
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitForSetting(L"SettingsTimeout", 3500));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_TRUE(::IsWindowVisible(panel)) << "the program's own popup leaves the panel open";

        // Escape changes nothing.
        popup = Open(panel, IDC_REAPPLY_DELAY, {panel});
        ASSERT_NE(popup, nullptr);
        PressKeys({VK_PRIOR});
        EXPECT_TRUE(WaitFor([&] { return SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER) == 4500; }))
            << "a page is a second";
        PressKeys({VK_ESCAPE});
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_EQ(Setting(L"SettingsTimeout"), 3500u);

        // A held slider's tooltip shows the delay in seconds; the release leaves the popup open.
        Elsewhere elsewhere;
        popup = Open(panel, IDC_REAPPLY_DELAY, {panel});
        ASSERT_NE(popup, nullptr);
        const RECT slider = WindowRect(::GetDlgItem(popup, IDC_REAPPLY_DELAY_SLIDER));
        Mouse(MOUSEEVENTF_MOVE, (slider.left + slider.right) / 2,
              slider.top + (slider.bottom - slider.top) / 8);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        // The held press pages on, and the tooltip may trail by a page: any value counts.
        const auto inSeconds = [](const std::wstring& text) {
            return std::regex_match(text, std::wregex(L"[0-9]+\\.[0-9] s"));
        };
        EXPECT_TRUE(TooltipShows(inSeconds)) << "no tooltip shows the delay in seconds";
        Mouse(MOUSEEVENTF_LEFTUP);
        EXPECT_GT(SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER), 3500) << "moved towards the press";
        EXPECT_TRUE(WaitFor([&] { return !TooltipShows(inSeconds, kNow); }))
            << "the value shows only while held";
        EXPECT_TRUE(::IsWindow(popup));

        // A click elsewhere takes the value shown, no delay at all like any other.
        PressKeys({VK_NEXT}, 11);
        EXPECT_TRUE(WaitFor([&] { return SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER) == 0; }))
            << SliderValue(popup, IDC_REAPPLY_DELAY_SLIDER);
        elsewhere.Click();
        EXPECT_TRUE(WaitForSetting(L"SettingsTimeout", 0));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
    }
    {
        SCOPED_TRACE("the hotkey dialog");
        ShowPanel(panel);
        HWND dialog = Open(panel, IDC_HOTKEYS, {panel});
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), L"Define hotkeys");
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_INCREMENT)), L"10");
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MONITOR_OFF_HOTKEY, HKM_GETHOTKEY, 0, 0), 0);
        ::SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_UP_HOTKEY, HKM_SETHOTKEY, kControlAlt | 'U', 0);
        ::SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_DOWN_HOTKEY, HKM_SETHOTKEY, kControlAlt | 'B', 0);
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);

        // Brightness down is taken: its message, then the dialog again with what is stored.
        const HWND box =
            WaitForVisible(nullptr, [](HWND window) { return WindowText(window) == L"Hotkey registration"; });
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(
            ShowsText(box, L"Failed to register brightness decrease hotkey. Try another combination."));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
        dialog = WaitForNewDialog({panel});
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_UP_HOTKEY, HKM_GETHOTKEY, 0, 0),
                  kControlAlt | 'U');
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_DOWN_HOTKEY, HKM_GETHOTKEY, 0, 0), 0);
        EXPECT_EQ(Setting(L"HotkeyBrightnessUp"), kControlAlt | 'U');
        EXPECT_EQ(Setting(L"HotkeyBrightnessDown"), std::nullopt);
        EXPECT_EQ(Setting(L"HotkeyMonitorOff"), 0u) << "registered as none";
        EXPECT_EQ(Setting(L"HotkeyIncrement"), 0u) << "the step waits for all five";

        // The step popup: a horizontal slider above its button, the pointer on its thumb.
        const wchar_t mouseKey[] = L"Control Panel\\Mouse";
        const test_support::SavedValue usersSnap(HKEY_CURRENT_USER, mouseKey, L"SnapToDefaultButton");
        test_support::WriteString(HKEY_CURRENT_USER, mouseKey, L"SnapToDefaultButton", L"1");
        const HWND stepButton = ::GetDlgItem(dialog, IDC_INCREMENT);
        HWND popup = Open(dialog, IDC_INCREMENT, {panel, dialog});
        ASSERT_NE(popup, nullptr);
        const RECT anchor = WindowRect(stepButton);
        RECT client{};
        ::GetClientRect(stepButton, &client);
        const RECT placed = WindowRect(popup);
        EXPECT_NEAR(placed.right - placed.left, client.right + 24, 2) << "24 pixels wider, in dialog units";
        EXPECT_NEAR((placed.left + placed.right) / 2, (anchor.left + anchor.right) / 2, 1) << "centred";
        EXPECT_EQ(placed.top, anchor.top - (anchor.bottom - anchor.top) + 10);
        POINT pointer{};
        ::GetCursorPos(&pointer);
        EXPECT_TRUE(::PtInRect(&placed, pointer)) << "on the thumb";

        // The button follows a held drag; the release closes the popup with the value shown.
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_MOVE, pointer.x + (placed.right - placed.left) / 6, pointer.y);
        EXPECT_TRUE(WaitFor([&] { return NumberIn(stepButton) > 15; })) << WindowText(stepButton);
        EXPECT_TRUE(::IsWindow(popup)) << "open while held";
        const int step = NumberIn(stepButton);
        Mouse(MOUSEEVENTF_LEFTUP);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_EQ(NumberIn(stepButton), step);

        // Escape undoes what the popup reported.
        popup = Open(dialog, IDC_INCREMENT, {panel, dialog});
        ASSERT_NE(popup, nullptr);
        PressKeys({VK_RIGHT}, 3);
        EXPECT_TRUE(WaitFor([&] { return NumberIn(stepButton) == step + 3; })) << WindowText(stepButton);
        PressKeys({VK_ESCAPE});
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_EQ(NumberIn(stepButton), step);

        // Only the step changed: the five are registered again and the step is stored.
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitForSetting(L"HotkeyIncrement", static_cast<DWORD>(step)));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));

        // The new hotkey works at once, with the new step.
        const Elsewhere elsewhere;
        elsewhere.Click();
        PressKeys({VK_CONTROL, VK_MENU, 'U'});
        EXPECT_TRUE(StateShows({"brightness=0..100:" + std::to_string(50 + step)}));

        // Cancel keeps everything as it was.
        ShowPanel(panel);
        dialog = Open(panel, IDC_HOTKEYS, {panel});
        ASSERT_NE(dialog, nullptr);
        ::SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_UP_HOTKEY, HKM_SETHOTKEY, kControlAlt | 'J', 0);
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
        EXPECT_EQ(Setting(L"HotkeyBrightnessUp"), kControlAlt | 'U');
        ::UnregisterHotKey(nullptr, 1);
    }
    {
        SCOPED_TRACE("the language popup");
        ShowPanel(panel);
        const HWND button = ::GetDlgItem(panel, IDC_LANGUAGE);
        HWND popup = Open(panel, IDC_LANGUAGE, {panel});
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(WindowRect(popup).left, WindowRect(button).left + 1) << "over the flag button";
        EXPECT_EQ(WindowRect(popup).top, WindowRect(button).top);
        const HWND list = ::GetDlgItem(popup, IDC_LANGUAGE_LIST);
        EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 17);
        EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 0)
            << "a stored index past the list shows the first";
        ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
            << "the list opens by itself";

        // Russian is entry 14 of the list; Enter picks it.
        PressKeys({VK_DOWN}, 14);
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitForSetting(L"Language", 14));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));

        // The flag button shows the Russian flag, and the panel's hints are Russian now.
        ShowPanel(panel);
        EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(WindowRect(button), IDB_FLAG_RUSSIAN); }))
            << "the Russian flag";
        const RECT slider = WindowRect(::GetDlgItem(panel, kBrightnessSlider));
        Mouse(MOUSEEVENTF_MOVE, (slider.left + slider.right) / 2, (slider.top + slider.bottom) / 2 + 10);
        Mouse(MOUSEEVENTF_MOVE, (slider.left + slider.right) / 2, (slider.top + slider.bottom) / 2 + 12);
        EXPECT_TRUE(TooltipShows([](const std::wstring& text) { return text == L"Яркость"; }))
            << "the brightness hint in Russian";
        // So is the next dialog.
        const HWND dialog = Open(panel, IDC_HOTKEYS, {panel});
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), L"Определение клавиш");
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));

        // Escape, even with the list open, changes nothing, not even the registry.
        ShowPanel(panel);
        popup = Open(panel, IDC_LANGUAGE, {panel});
        ASSERT_NE(popup, nullptr);
        MarkSetting(L"Language", 14);
        PressKeys({VK_DOWN});
        PressKeys({VK_ESCAPE});
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_EQ(SettingType(L"Language"), static_cast<DWORD>(REG_BINARY)) << "nothing was written";

        // A click elsewhere keeps the language and stores it again.
        Elsewhere elsewhere;
        WriteSetting(L"Language", 14);
        ShowPanel(panel);
        popup = Open(panel, IDC_LANGUAGE, {panel});
        ASSERT_NE(popup, nullptr);
        MarkSetting(L"Language", 14);
        elsewhere.Click();
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(popup); }));
        EXPECT_TRUE(WaitFor([&] { return SettingType(L"Language") == REG_DWORD; })) << "written again";
        EXPECT_TRUE(WaitForSetting(L"Language", 14));
    }
    {
        SCOPED_TRACE("the Monitors dialog");
        // It previews a share of the shared 50 %, Cancel puts it back and OK stores it.
        DragSlider(panel, kBrightnessSlider, 50);
        ASSERT_TRUE(StateShows({"Second brightness=0..200:100 "}));
        const auto openDialog = [&] {
            ::PostMessageW(panel, WM_COMMAND, IDM_MONITORS, 0);
            const HWND dialog = WaitForNewDialog({panel});
            EXPECT_NE(dialog, nullptr) << "the dialog did not open";
            // The second monitor, brightness 20..60: 40 % of its range for the shared 50 %.
            const HWND list = ::GetDlgItem(dialog, IDC_MONITOR_LIST);
            ::SendMessageW(list, LB_SETCURSEL, 1, 0);
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MONITOR_LIST, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list));
            ::SetDlgItemTextW(dialog, IDC_BRIGHTNESS_LOW, L"20");
            ::SetDlgItemTextW(dialog, IDC_BRIGHTNESS_HIGH, L"60");
            EXPECT_TRUE(StateShows({"Second brightness=0..200:80 "}));
            return dialog;
        };
        const auto click = [](HWND dialog, int id) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
        };
        HWND dialog = openDialog();
        // Identify shows one number on each monitor, for a moment.
        click(dialog, IDC_IDENTIFY);
        EXPECT_TRUE(WaitFor([&] { return VisibleWindowsOf(L"OrvaluxIdentify").size() == 2; }));
        EXPECT_TRUE(WaitFor([&] { return VisibleWindowsOf(L"OrvaluxIdentify").empty(); }));
        click(dialog, IDCANCEL);
        EXPECT_TRUE(StateShows({"Second brightness=0..200:100 "}));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
        EXPECT_FALSE(MonitorSetting(L"TWO", L"BrightnessLow"));
        dialog = openDialog();
        click(dialog, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
        EXPECT_EQ(MonitorSetting(L"TWO", L"BrightnessLow"), 20u);
        EXPECT_EQ(MonitorSetting(L"TWO", L"BrightnessHigh"), 60u);
        EXPECT_EQ(MonitorSetting(L"TWO", L"Excluded"), 0u);
        EXPECT_TRUE(StateShows({"Second brightness=0..200:80 "}));
    }
    // A display change closes an open modal window as if cancelled; a rebuilt panel goes on.
    // (Rebuilds last: the first panel is the shown one until then.)
    const auto changeDisplayWhileOpen = [&](HWND dialog) {
        const std::vector<HWND> before = WindowsOf(program->id);
        ::PostMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); })) << "the dialog stayed";
        const auto rebuilt = [&](HWND window) {
            return std::find(before.begin(), before.end(), window) == before.end() &&
                   ::GetDlgItem(window, kExpandButton);
        };
        EXPECT_TRUE(WaitFor([&] {
            const std::vector<HWND> now = WindowsOf(program->id);
            return std::any_of(now.begin(), now.end(), rebuilt);
        })) << "no rebuilt panel";
        EXPECT_EQ(ExitCode(*program, 0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
    };
    {
        SCOPED_TRACE("a display change with the delay popup open");
        const DWORD delay = Setting(L"SettingsTimeout").value_or(0);
        ShowPanel(panel);
        const HWND popup = Open(panel, IDC_REAPPLY_DELAY, {panel});
        ASSERT_NE(popup, nullptr) << "no delay popup";
        DragSlider(popup, IDC_REAPPLY_DELAY_SLIDER, delay == 4500 ? 5000 : 4500);
        changeDisplayWhileOpen(popup);
        EXPECT_EQ(Setting(L"SettingsTimeout"), delay) << "nothing is stored";
    }
    {
        SCOPED_TRACE("a display change with the update page open");
        // Found by the hourly check and opened by the balloon: nothing is downloaded.
        ::PostMessageW(panel, WM_TIMER, 3, 0);
        ASSERT_TRUE(WaitForUpdateCheckStored()) << "no check";
        // The answer reaches the panel a moment after the time is stored: clicked again.
        HWND page = nullptr;
        for (int click = 0; click < 5 && !page; ++click) {
            TrayCallback(panel, NIN_BALLOONUSERCLICK, 0, 0);
            page = WaitForNewDialog(WindowsOf(program->id), std::chrono::seconds(3));
        }
        ASSERT_NE(page, nullptr) << "no update page";
        changeDisplayWhileOpen(page);
        for (const std::string& line : endpoint.RequestLines()) {
            EXPECT_EQ(line.find("/files/"), std::string::npos) << "the installer was requested: " << line;
        }
    }
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(*program, 20000), 0u);
}
