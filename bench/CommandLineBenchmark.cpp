// The command line: a "set" handed to the running instance, from process start to exit,
// against the same program's "monitoroff" start and a console program that does nothing;
// then "get --json" without an instance on one and on four slow monitors, which are read
// in parallel.
#include "BuildPath.h"
#include "Clock.h"
#include "common/UniqueResource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;

// Starts `program` with `arguments`, its output going nowhere; with `wait` returns the
// milliseconds from the start to its end.
double Run(const std::wstring& program, const std::wstring& arguments, UniqueHandle* keep = nullptr) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const UniqueHandle nothing(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nothing.get();
    startup.hStdError = nothing.get();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    const double start = NowMs();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::printf("cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
        return -1;
    }
    ::CloseHandle(info.hThread);
    UniqueHandle process(info.hProcess);
    if (keep) {
        *keep = std::move(process);
        return 0;
    }
    ::WaitForSingleObject(process.get(), INFINITE);
    return NowMs() - start;
}

double MedianMs(const std::wstring& program, const std::wstring& arguments) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        times.push_back(Run(program, arguments));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

HWND FindPanel(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    for (int attempt = 0; attempt < 500 && !search.found; ++attempt) {
        ::EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == s.processId && ::GetPropA(window, "CWnd")) {
                    s.found = window;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        ::Sleep(20);
    }
    return search.found;
}

} // namespace

int main() {
    const std::wstring program = test_support::BuildPath(ORVALUX_EXE_PATH);
    const std::wstring minimal = test_support::BuildPath(MINIMAL_CONSOLE_EXE_PATH);
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", L"Software\\Kestrine\\OrvaluxCommandLineBench");
    ::SetEnvironmentVariableA("ORVALUX_SIMULATED_MONITORS", "display; monitor; display; monitor");

    UniqueHandle instance;
    Run(program, L"", &instance);
    const HWND panel = FindPanel(::GetProcessId(instance.get()));
    if (!panel) {
        std::printf("the resident program did not start\n");
        return 1;
    }
    const double setMs = MedianMs(program, L"set brightness 40");
    const double monitorOffMs = MedianMs(program, L"monitoroff");
    const double minimalMs = MedianMs(minimal, L"");
    ::PostMessageW(panel, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(instance.get(), 20000);
    std::printf("command line, start to exit (median of %d):\n"
                "  set through the running instance   %7.1f ms (%.2fx monitoroff)\n"
                "  monitoroff through the instance    %7.1f ms\n"
                "  minimal console program            %7.1f ms\n",
                kRuns, setMs, setMs / monitorOffMs, monitorOffMs, minimalMs);

    // Six reads of 40 ms per monitor: the workers read their monitors side by side.
    constexpr char kSlow[] = "display; monitor get-latency=40";
    ::SetEnvironmentVariableA("ORVALUX_SIMULATED_MONITORS", kSlow);
    const double oneMs = MedianMs(program, L"get --json");
    const std::string four = std::string(kSlow) + "; " + kSlow + "; " + kSlow + "; " + kSlow;
    ::SetEnvironmentVariableA("ORVALUX_SIMULATED_MONITORS", four.c_str());
    const double fourMs = MedianMs(program, L"get --json");
    std::printf("get --json without an instance, 40 ms per device read (median of %d):\n"
                "  one monitor    %7.1f ms\n"
                "  four monitors  %7.1f ms (%.2fx one)\n",
                kRuns, oneMs, fourMs, fourMs / oneMs);

    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Kestrine", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        ::RegDeleteTreeW(key, L"OrvaluxCommandLineBench");
        ::RegCloseKey(key);
    }
    return 0;
}
