// Figures for the re-apply after a wake-up against monitors that misbehave: how soon a
// monitor that stayed deaf has its values verified once it answers, how many set calls a
// wake-up costs, and how the resident program's main thread answers meanwhile.
#include "BuildPath.h"
#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/SettingsStore.h"
#include "simulator/SimulatedMonitorApi.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using Op = SimulatedOperation;
constexpr const wchar_t* kBenchmarkKey = L"Software\\Kestrine\\OrvaluxBenchmark";
constexpr uint32_t kSetLatencyMs = 50;
constexpr uint32_t kGetLatencyMs = 40;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::wstring TemporaryFile(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    ::GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name + std::to_wstring(::GetCurrentProcessId()) + L".txt";
}

std::string ReadText(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Another process's edit of the simulator's state file: every monitor loses its values
// (brightness, contrast and gains at 90) and takes `options`.
void LoseValues(const std::wstring& stateFile, const std::string& options) {
    std::string state = ReadText(stateFile);
    std::string edited;
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("monitor", 0) == 0) {
            for (const char* key : {"brightness=", "contrast=", "red=", "green=", "blue="}) {
                const size_t at = line.find(key);
                const size_t colon = line.find(':', at);
                line.replace(colon + 1, line.find(' ', colon) - colon - 1, "90");
            }
            line.replace(line.rfind(';'), 1, " " + options + ";");
        }
        edited += line + "\n";
    }
    const std::wstring temporary = stateFile + L".edit";
    std::ofstream(temporary.c_str(), std::ios::binary) << edited;
    ::MoveFileExW(temporary.c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool IsSetCall(Op operation) {
    return operation == Op::SetBrightness || operation == Op::SetContrast || operation == Op::SetGain ||
           operation == Op::SetColorTemperature;
}

bool IsRead(Op operation) {
    return operation == Op::GetBrightness || operation == Op::GetContrast || operation == Op::GetGain;
}

struct Simulation {
    std::wstring stateFile = TemporaryFile(L"orvalux-reapply-bench-");
    std::unique_ptr<SimulatedMonitorApi> api;

    explicit Simulation(const std::string& description) {
        api = std::make_unique<SimulatedMonitorApi>(std::move(*ParseSimulatedSetup(description).setup),
                                                    stateFile);
        SetMonitorApi(api.get());
        EnumerateDisplayMonitors();
        api->ClearCalls();
    }
    ~Simulation() {
        DestroyDisplayMonitors();
        SetMonitorApi(nullptr);
        ::DeleteFileW(stateFile.c_str());
    }
    // Whether every monitor has answered `reads` successful reads since the calls were cleared.
    bool ReadsDone(size_t monitors, size_t reads) const {
        std::map<size_t, size_t> done;
        for (const auto& call : api->Calls()) {
            done[call.display] += call.succeeded && IsRead(call.operation) ? 1 : 0;
        }
        return std::all_of(done.begin(), done.end(),
                           [&](const auto& entry) { return entry.second >= reads; }) &&
               done.size() == monitors;
    }
};

std::string Displays(size_t count, const std::string& monitorOptions) {
    std::string description;
    for (size_t i = 0; i < count; ++i) {
        description += "display; monitor set-latency=" + std::to_string(kSetLatencyMs) +
                       " get-latency=" + std::to_string(kGetLatencyMs) + " " + monitorOptions + ";";
    }
    return description;
}

// Monitors deaf for `deafMs` from the re-apply's first call; how long after they answer
// again every value is verified, beyond the device time of the calls made since.
void DeafMonitors(size_t count, uint32_t deafMs) {
    Simulation simulation(Displays(count, ""));
    LoseValues(simulation.stateFile, "deaf=" + std::to_string(deafMs));
    const Clock::time_point start = Clock::now();
    ReapplyMonitorValues();
    const bool done =
        simulation.api->WaitUntil([&] { return simulation.ReadsDone(count, 5); }, deafMs + 10000);
    const Clock::time_point answers = start + std::chrono::milliseconds(deafMs);
    double worst = 0;
    double worstBeyond = 0;
    for (size_t display = 0; display < count; ++display) {
        Clock::time_point verified{};
        double deviceMs = 0;
        for (const auto& call : simulation.api->Calls()) {
            if (call.display == display && call.time > answers) {
                verified = std::max(verified, call.time);
                deviceMs += call.succeeded ? (IsRead(call.operation) ? kGetLatencyMs : kSetLatencyMs) : 0;
            }
        }
        worst = std::max(worst, Milliseconds(verified - answers));
        worstBeyond = std::max(worstBeyond, Milliseconds(verified - answers) - deviceMs);
    }
    const auto state = simulation.api->State();
    const bool restored = std::all_of(state.displays.begin(), state.displays.end(), [](const auto& display) {
        return display.monitors[0].brightness.current == 50 && display.monitors[0].gain[2].current == 50;
    });
    std::printf("  %zu deaf monitor(s), deaf %u ms: every value verified %.0f ms after they answer again, "
                "%.0f ms beyond the device time (target <= 1000 ms)%s\n",
                count, deafMs, worst, worstBeyond, done && restored ? "" : " [NOT RESTORED]");
}

// Set calls per parameter for one wake-up; the most any parameter took.
void SetCallsPerParameter(const char* what, const std::string& options) {
    Simulation simulation(Displays(1, ""));
    LoseValues(simulation.stateFile, options);
    ReapplyMonitorValues();
    simulation.api->WaitUntil([&] { return simulation.ReadsDone(1, 5); }, 10000);
    ::Sleep(500); // nudges and their read-backs
    std::map<std::pair<Op, uint32_t>, size_t> sets;
    size_t reads = 0;
    for (const auto& call : simulation.api->Calls()) {
        if (IsSetCall(call.operation)) {
            ++sets[{call.operation, call.channel}];
        }
        reads += IsRead(call.operation) ? 1 : 0;
    }
    size_t fewest = SIZE_MAX, most = 0;
    for (const auto& [parameter, count] : sets) {
        fewest = std::min(fewest, count);
        most = std::max(most, count);
    }
    std::printf("  %s: %zu to %zu set calls per parameter over %zu parameters, %zu reads\n", what, fewest,
                most, sets.size(), reads);
}

double ProcessCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

HWND PanelOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND panel;
    } search{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (owner == s.processId && std::wstring(name) == L"#32770" && ::GetPropA(window, "CWnd")) {
                s.panel = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.panel;
}

// The resident program with four monitors that stay deaf after a wake-up: the longest
// time its main thread takes to answer a message, and its CPU use while it waits.
void MainThreadWhileDeaf() {
    constexpr uint32_t kDeafMs = 12000;
    const std::wstring path = test_support::BuildPath(ORVALUX_EXE_PATH);
    const std::wstring stateFile = TemporaryFile(L"orvalux-reapply-program-");
    WriteSettingDword(L"SettingsTimeout", 100);
    ::SetEnvironmentVariableA("ORVALUX_SIMULATED_MONITORS", Displays(4, "").c_str());
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", kBenchmarkKey);
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATOR_STATE", stateFile.c_str());
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::printf("  cannot start the program (error %lu)\n", ::GetLastError());
        return;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    HWND panel = nullptr;
    for (int i = 0; i < 500 && !(panel = PanelOf(info.dwProcessId)); ++i) {
        ::Sleep(20);
    }
    ::Sleep(2000); // the start's own re-apply
    LoseValues(stateFile, "deaf=" + std::to_string(kDeafMs));
    ::PostMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    const Clock::time_point resumed = Clock::now();
    double longest = 0;
    size_t answers = 0;
    constexpr auto kAnswering = std::chrono::milliseconds(6500);
    while (Clock::now() - resumed < kAnswering) {
        const Clock::time_point before = Clock::now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        longest = std::max(longest, Milliseconds(Clock::now() - before));
        ++answers;
        ::Sleep(5);
    }
    // Then, left alone, the workers wait 2 s between retries.
    constexpr DWORD kWaitingMs = 5000;
    const double cpuBefore = ProcessCpuMs(process.get());
    ::Sleep(kWaitingMs);
    const double cpuWhileWaiting = ProcessCpuMs(process.get()) - cpuBefore;
    std::printf(
        "  4 deaf monitors: the main thread's longest answer %.1f ms over %zu messages (target < 20 ms)\n",
        longest, answers);
    std::printf("  while the workers wait 2 s between retries: %.1f ms of CPU in %lu ms\n", cpuWhileWaiting,
                kWaitingMs);
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
    ::DeleteFileW(stateFile.c_str());
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // figures appear as they are measured
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    AttachLaptopBacklight();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchmarkKey);
    SetSettingsKeyPathForTesting(kBenchmarkKey);
    std::printf("re-apply after a wake-up (set latency %u ms, get latency %u ms):\n", kSetLatencyMs,
                kGetLatencyMs);
    for (const uint32_t deafMs : {4000u, 15000u, 30000u}) {
        DeafMonitors(1, deafMs);
        DeafMonitors(4, deafMs);
    }
    SetCallsPerParameter("a well-behaved monitor (target: 1, reads for the verification only)", "");
    SetCallsPerParameter("an ignore=1 monitor (target <= 3)", "ignore=1");
    MainThreadWhileDeaf();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchmarkKey);
    DetachLaptopBacklight();
    return 0;
}
