// The real program, started as a separate process with simulated monitors and a
// settings key of its own, and what a test needs to drive it as a user would.
#pragma once

#include "BuildPath.h"
#include "TestRegistry.h"
#include "Waiting.h"
#include "WineTray.h"

#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace program_test {

using test_support::TrayIconCount;

using Clock = std::chrono::steady_clock;

constexpr wchar_t kPanelClass[] = L"#32770"; // the panel is a dialog
constexpr UINT_PTR kShowPanelTimer = 2;
constexpr int kBrightnessSlider = 1000;
constexpr int kContrastSlider = 1002;
constexpr int kColorTemperatureSlider = 1004;
constexpr int kBlueSlider = 1007;
constexpr int kExpandButton = 1013;

using test_support::BuildPath;
using test_support::WaitFor;

inline std::wstring ProgramPath() {
    return BuildPath(ORVALUX_EXE_PATH);
}

struct Program {
    UniqueHandle process;
    DWORD id = 0;
};

// A hidden top-level window that records the broadcasts the program sends.
class BroadcastListener {
public:
    BroadcastListener() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = L"OrvaluxTestListener";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, L"OrvaluxTestListener", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    nullptr, nullptr);
        monitorPowerPostedAt = 0;
        monitorPowerParameter = 0;
        monitorPowerCount = 0;
    }
    ~BroadcastListener() { ::DestroyWindow(window_); }

    // Serves messages for `duration` or until `done` says so.
    template <typename Done> void Pump(std::chrono::milliseconds duration, Done done) {
        const auto end = Clock::now() + duration;
        while (Clock::now() < end && !done()) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    // How long after `tick` (GetTickCount) the broadcast was posted, by the message's own time.
    static std::chrono::milliseconds PostedAfter(DWORD tick) {
        return std::chrono::milliseconds(static_cast<LONG>(monitorPowerPostedAt - tick));
    }

    static inline DWORD monitorPowerPostedAt;
    static inline LPARAM monitorPowerParameter;
    static inline int monitorPowerCount; // broadcasts dispatched so far

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER) {
            monitorPowerPostedAt = static_cast<DWORD>(::GetMessageTime());
            monitorPowerParameter = lParam;
            ++monitorPowerCount;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

class ProgramFixture : public ::testing::Test {
protected:
    static constexpr char kTwoMonitors[] = "display; monitor; display; monitor";
    static constexpr std::chrono::milliseconds kNow{0}; // a StateShows limit: not waited for

    static long long MsSince(Clock::time_point since) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
    }

    void SetUp() override {
        throwawayKey.emplace(L"OrvaluxProgramTest");
        settingsKey = throwawayKey->Path();
        wchar_t directory[MAX_PATH];
        ::GetTempPathW(MAX_PATH, directory);
        stateFile =
            std::wstring(directory) + L"orvalux-state-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
        ::DeleteFileW(stateFile.c_str());
    }
    void TearDown() override {
        for (Program& program : started) {
            if (program.process && ::WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(program.process.get(), 99);
                ::WaitForSingleObject(program.process.get(), 5000);
            }
        }
        throwawayKey.reset();
        ::DeleteFileW(stateFile.c_str());
    }

    // Without a description the program talks to dxva2 itself.
    Program& Start(const std::wstring& arguments, const std::string& description = kTwoMonitors,
                   const std::wstring& executable = ProgramPath()) {
        ::SetEnvironmentVariableA("ORVALUX_SIMULATED_MONITORS",
                                  description.empty() ? nullptr : description.c_str());
        ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", settingsKey.c_str());
        ::SetEnvironmentVariableW(L"ORVALUX_SIMULATOR_STATE", stateFile.c_str());

        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        UniqueHandle reader;
        UniqueHandle writer;
        ::CreatePipe(reader.put(), writer.put(), &inherit, 0);
        ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = writer.get();
        startup.hStdOutput = writer.get();
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        std::wstring commandLine = L"\"" + executable + L"\"";
        if (!arguments.empty()) {
            commandLine += L" " + arguments;
        }
        PROCESS_INFORMATION info{};
        Program& program = started.emplace_back();
        // Under Wine a start right after another instance ended can fail once.
        bool created = false;
        DWORD error = 0;
        for (int attempt = 0; attempt < 3 && !created; ++attempt) {
            created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                       nullptr, &startup, &info) != FALSE;
            if (!created) {
                error = ::GetLastError();
                ::Sleep(500);
            }
        }
        if (!created) {
            ADD_FAILURE() << "cannot start the program, error " << error;
            return program;
        }
        ::CloseHandle(info.hThread);
        program.process.reset(info.hProcess);
        program.id = info.dwProcessId;
        writer.reset();
        pipes.push_back(std::move(reader));
        return program;
    }

    // Runs a command to its end: what it wrote, its exit code expected to be `expectedCode`.
    std::string RunToEnd(const std::wstring& arguments, const std::string& description = kTwoMonitors,
                         DWORD expectedCode = 0) {
        Program& command = Start(arguments, description);
        const DWORD code = ExitCode(command, 20000);
        const std::string output = ErrorOutput(pipes.size() - 1);
        EXPECT_EQ(code, expectedCode) << std::string(arguments.begin(), arguments.end()) << ": " << output;
        return output;
    }

    // Exit code, or STILL_ACTIVE when the process did not end in time.
    DWORD ExitCode(Program& program, DWORD waitMs) {
        ::WaitForSingleObject(program.process.get(), waitMs);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(program.process.get(), &code);
        return code;
    }

    // What an ended program wrote. Only what the pipe holds is read: under Wine a copy of
    // the write end can outlive the program, so reading up to the end could wait forever.
    std::string ErrorOutput(size_t index) {
        std::string text;
        char buffer[512];
        DWORD available = 0;
        DWORD read = 0;
        while (::PeekNamedPipe(pipes.at(index).get(), nullptr, 0, nullptr, &available, nullptr) &&
               available > 0 && ::ReadFile(pipes.at(index).get(), buffer, sizeof(buffer), &read, nullptr) &&
               read > 0) {
            text.append(buffer, read);
        }
        return text;
    }

    // The program's own top-level windows of one class (any window: null), in Z order.
    static std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* windowClass = kPanelClass) {
        struct Search {
            DWORD processId;
            const wchar_t* windowClass;
            std::vector<HWND> windows;
        } search{processId, windowClass, {}};
        ::EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                wchar_t className[64] = {};
                ::GetClassNameW(window, className, 64);
                const std::wstring name(className);
                // Bound to the program's objects: not a dialog's hidden copy read for its texts.
                if (owner == s.processId && name != L"IME" &&
                    (!s.windowClass || (name == s.windowClass && ::GetPropA(window, "CWnd")))) {
                    s.windows.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.windows;
    }

    // The panel windows once there are `count` of them (or what there is after a while).
    std::vector<HWND> WaitForWindows(DWORD processId, size_t count) {
        std::vector<HWND> windows;
        WaitFor([&] { return (windows = WindowsOf(processId)).size() >= count; });
        return windows;
    }

    // The program's one panel window, or null.
    HWND PanelOf(const Program& program) {
        const std::vector<HWND> windows = WaitForWindows(program.id, 1);
        EXPECT_EQ(windows.size(), 1u) << "panel windows";
        return windows.size() == 1 ? windows[0] : nullptr;
    }

    // The newest panel window: the one that is not `first`.
    HWND NewestPanel(DWORD processId, HWND first) {
        for (HWND window : WaitForWindows(processId, 2)) {
            if (window != first) {
                return window;
            }
        }
        return first;
    }

    // An empty read, between the two steps of the simulator's replacement, is tried again.
    std::string StateFile() {
        std::string text;
        WaitFor([&] {
            std::ifstream file(stateFile.c_str());
            std::stringstream read;
            read << file.rdbuf();
            return !(text = read.str()).empty();
        });
        return text;
    }

    FILETIME StateFileTime() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(stateFile.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

    // Whether the state file comes to hold every part within `limit` (0: holds now); the file
    // as last read is lastState, and the failure's message.
    ::testing::AssertionResult StateShows(std::initializer_list<std::string_view> parts,
                                          std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto holds = [&] {
            lastState = StateFile();
            return std::all_of(parts.begin(), parts.end(), [&](std::string_view part) {
                return lastState.find(part) != std::string::npos;
            });
        };
        return WaitFor(holds, limit) ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << lastState;
    }

    std::optional<DWORD> Setting(const wchar_t* name) {
        return test_support::ReadDword(HKEY_CURRENT_USER, settingsKey, name);
    }
    std::optional<DWORD> MonitorSetting(const wchar_t* identity, const wchar_t* name) {
        return test_support::ReadDword(HKEY_CURRENT_USER, settingsKey + L"\\Monitors\\" + identity, name);
    }

    // Whether the setting comes to hold `value` within a few seconds.
    bool WaitForSetting(const wchar_t* name, DWORD value) {
        return WaitFor([&] { return Setting(name) == value; });
    }

    // Whether a daily check comes to store its time within a few seconds.
    bool WaitForUpdateCheckStored() {
        return WaitFor([&] {
            uint64_t lastCheck = 0;
            DWORD size = sizeof(lastCheck);
            return ::RegGetValueW(HKEY_CURRENT_USER, settingsKey.c_str(), L"LastCheckForUpdate", RRF_RT_QWORD,
                                  nullptr, &lastCheck, &size) == ERROR_SUCCESS;
        });
    }

    void WriteSetting(const wchar_t* name, DWORD value) {
        test_support::WriteDword(HKEY_CURRENT_USER, settingsKey, name, value);
    }

    // Opens the panel the way a single tray click does: its show timer fires.
    static void ShowPanel(HWND panel) {
        ::PostMessageW(panel, WM_TIMER, kShowPanelTimer, 0);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; })) << "the panel did not show";
    }

    // Moves a slider as a drag does: the trackbar's thumb, then its scroll message.
    static void DragSlider(HWND panel, int sliderId, int logicalValue) {
        const HWND trackbar = ::GetDlgItem(panel, sliderId);
        ::SendMessageW(trackbar, TBM_SETPOS, TRUE, logicalValue);
        // As the trackbar reports a drag: with its own (inverted) position.
        const auto raw = static_cast<WORD>(::SendMessageW(trackbar, TBM_GETPOS, 0, 0));
        ::SendMessageW(panel, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, raw), reinterpret_cast<LPARAM>(trackbar));
    }

    // The slider's position as the user reads it: the maximum at the top.
    static int SliderValue(HWND panel, int sliderId) {
        const HWND trackbar = ::GetDlgItem(panel, sliderId);
        return static_cast<int>(::SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0) -
                                ::SendMessageW(trackbar, TBM_GETPOS, 0, 0) +
                                ::SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0));
    }

    bool ReadSetting(const wchar_t* name, DWORD& value) {
        const std::optional<DWORD> stored = Setting(name);
        value = stored.value_or(value);
        return stored.has_value();
    }

    // Once the simulator has written nothing for a quarter second: a re-apply has finished.
    bool WaitForQuietState() {
        FILETIME last = StateFileTime();
        auto since = Clock::now();
        return WaitFor([&] {
            const FILETIME now = StateFileTime();
            if (::CompareFileTime(&now, &last) != 0) {
                last = now;
                since = Clock::now();
            }
            return Clock::now() - since >= std::chrono::milliseconds(250);
        });
    }

    // Waits until the state file is rewritten after `before`; the time it took, or none.
    std::optional<std::chrono::milliseconds> WaitForStateChange(FILETIME before, Clock::time_point since) {
        if (!WaitFor([&] {
                const FILETIME now = StateFileTime();
                return ::CompareFileTime(&before, &now) < 0;
            })) {
            return std::nullopt;
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since);
    }

    static ::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos ? ::testing::AssertionSuccess()
                                                    : ::testing::AssertionFailure() << text;
    }

    // Runs the steps of a long test in order, each traced by name, until one fails fatally.
    template <typename Run> void Step(const char* name, Run&& run) {
        SCOPED_TRACE(name);
        if (!HasFatalFailure()) {
            run();
        }
    }

    std::optional<test_support::ThrowawayKey> throwawayKey;
    std::wstring settingsKey; // the program's, given to it in its environment
    std::wstring stateFile;
    std::string lastState;
    std::deque<Program> started; // stable references while more programs start
    std::vector<UniqueHandle> pipes;
};

inline RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// The tray callback as the shell sends it (icon protocol 4): the event, and the anchor point.
inline void TrayCallback(HWND panel, WORD event, int x, int y) {
    constexpr UINT trayCallbackMessage = 4919;
    ::PostMessageW(panel, trayCallbackMessage, MAKEWPARAM(x, y), MAKELPARAM(event, 1));
}

// Processes started from `exeName` (any case), opened to read and to end them.
inline std::vector<UniqueHandle> ProcessesNamed(const wchar_t* exeName) {
    std::vector<UniqueHandle> found;
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, exeName) == 0) {
            found.emplace_back(
                ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                              FALSE, entry.th32ProcessID));
        }
    }
    return found;
}

// Running processes started from the file at `path`.
inline std::vector<UniqueHandle> ProcessesFrom(const std::filesystem::path& path) {
    std::vector<UniqueHandle> found;
    for (UniqueHandle& process : ProcessesNamed(path.filename().c_str())) {
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (::QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
            std::filesystem::path(image) == path) {
            found.push_back(std::move(process));
        }
    }
    return found;
}

// Presses a key combination as the keyboard does.
inline void PressKeys(std::initializer_list<WORD> keys, int times = 1) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    for (int i = 0; i < times; ++i) {
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
}

} // namespace program_test
