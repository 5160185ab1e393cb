// Figures for the monitor engine: coalescing of a slider drag, parallel start-up, and
// the resident program's CPU use while idle.
#include "BuildPath.h"
#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedMonitorApi.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::unique_ptr<SimulatedMonitorApi> Install(const std::string& description) {
    SimulatedSetupParse parsed = ParseSimulatedSetup(description);
    auto api = std::make_unique<SimulatedMonitorApi>(std::move(*parsed.setup));
    SetMonitorApi(api.get());
    return api;
}

// A drag of 100 positions over one second, posted from this thread as the panel does.
void CoalescingUnderLoad() {
    constexpr int kPositions = 100;
    constexpr auto kDragTime = std::chrono::milliseconds(1000);
    constexpr uint32_t kLatencyMs = 50;
    auto api = Install("display; monitor set-latency=50; display; monitor set-latency=50");
    EnumerateDisplayMonitors();
    commandDispatcher.Start();
    api->ClearCalls();

    std::vector<double> postCostsUs;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastPost;
    for (int i = 0; i < kPositions; ++i) {
        const Clock::time_point due = start + kDragTime * i / kPositions;
        std::this_thread::sleep_until(due);
        const Clock::time_point before = Clock::now();
        commandDispatcher.PostCommand({1, static_cast<uint32_t>(i)});
        lastPost = Clock::now();
        postCostsUs.push_back(std::chrono::duration<double, std::micro>(lastPost - before).count());
    }
    // Let the workers finish, then read what reached the devices.
    ::Sleep(3 * kLatencyMs + 200);
    commandDispatcher.Stop();
    const auto calls = api->Calls();
    DestroyDisplayMonitors();
    SetMonitorApi(nullptr);

    // What one event signal costs on this platform: under Wine it is a round trip to the
    // wine server, on Windows a single system call.
    UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    const Clock::time_point signalStart = Clock::now();
    for (int i = 0; i < 1000; ++i) {
        ::SetEvent(event.get());
    }
    const double signalUs =
        std::chrono::duration<double, std::micro>(Clock::now() - signalStart).count() / 1000;

    std::sort(postCostsUs.begin(), postCostsUs.end());
    std::printf("coalescing: %d positions over %.0f ms, device set latency %u ms\n", kPositions,
                Milliseconds(kDragTime), kLatencyMs);
    std::printf(
        "  PostCommand on the posting thread: median %.1f us, max %.1f us (one SetEvent alone: %.1f us)\n",
        postCostsUs[kPositions / 2], postCostsUs.back(), signalUs);
    const size_t limit = static_cast<size_t>(Milliseconds(kDragTime) / kLatencyMs) + 2;
    for (size_t display = 0; display < 2; ++display) {
        size_t sets = 0;
        Clock::time_point lastSetEnd{};
        uint32_t lastValue = 0;
        for (const auto& call : calls) {
            if (call.display == display && call.operation == SimulatedOperation::SetBrightness) {
                ++sets;
                lastSetEnd = call.time;
                lastValue = call.value;
            }
        }
        std::printf(
            "  display %zu: %zu set calls (limit %zu), last value %u, on the device %.1f ms after the "
            "last post (limit %u ms)\n",
            display + 1, sets, limit, lastValue, Milliseconds(lastSetEnd - lastPost), 2 * kLatencyMs + 10);
    }
}

// Four displays whose monitors take 200 ms to answer the capability query.
void ParallelStartup() {
    auto api = Install("display; monitor caps-latency=200; display; monitor caps-latency=200; "
                       "display; monitor caps-latency=200; display; monitor caps-latency=200");
    const Clock::time_point start = Clock::now();
    EnumerateDisplayMonitors();
    const double elapsed = Milliseconds(Clock::now() - start);
    std::printf("start-up: %zu displays (monitors answering capabilities after 200 ms each): "
                "EnumerateDisplayMonitors took %.0f ms\n",
                displayMonitors.size(), elapsed);
    DestroyDisplayMonitors();
    SetMonitorApi(nullptr);
}

double ProcessCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// The resident program, started as a user would, measured after it settled.
void IdleProgram() {
    const std::wstring path = test_support::BuildPath(ORVALUX_EXE_PATH);
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", L"display; monitor; display; monitor");
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", L"Software\\Kestrine\\OrvaluxBenchmark");
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::printf("idle: cannot start the program (error %lu)\n", ::GetLastError());
        return;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    ::Sleep(1500);
    const double before = ProcessCpuMs(process.get());
    constexpr DWORD kIdleMs = 5000;
    ::Sleep(kIdleMs);
    const double after = ProcessCpuMs(process.get());
    std::printf("idle: the resident program used %.1f ms of CPU in %lu ms after start-up\n", after - before,
                kIdleMs);
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrine\\OrvaluxBenchmark");
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // figures appear as they are measured
    // As in the program: the main thread sets up COM and its laptop backlight before any
    // worker starts, so the workers' own set-up (each with its backlight) is what is measured.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    AttachLaptopBacklight();
    SetSettingsKeyPathForTesting(L"Software\\Kestrine\\OrvaluxBenchmark");
    CoalescingUnderLoad();
    ParallelStartup();
    IdleProgram();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrine\\OrvaluxBenchmark");
    DetachLaptopBacklight();
    return 0;
}
