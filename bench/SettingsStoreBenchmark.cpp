// Figures for sending the remembered values again and for the factory reset, with 1, 4
// and 8 displays of two simulated monitors at realistic DDC/CI latencies.
#include "ScopedSettingsKey.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorWorker.h"
#include "monitor/SettingsStore.h"
#include "simulator/SimulatedMonitorApi.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::unique_ptr<SimulatedMonitorApi> Install(size_t displays) {
    std::string description;
    for (size_t i = 0; i < displays; ++i) {
        description +=
            "display; monitor set-latency=50 get-latency=40; monitor set-latency=50 get-latency=40;";
    }
    auto api = std::make_unique<SimulatedMonitorApi>(std::move(*ParseSimulatedSetup(description).setup));
    SetMonitorApi(api.get());
    return api;
}

size_t SetCalls(const SimulatedMonitorApi& api) {
    size_t count = 0;
    for (const auto& call : api.Calls()) {
        switch (call.operation) {
        case SimulatedOperation::SetBrightness:
        case SimulatedOperation::SetContrast:
        case SimulatedOperation::SetGain:
        case SimulatedOperation::SetColorTemperature:
            ++count;
            break;
        default:
            break;
        }
    }
    return count;
}

void Reapply(size_t displays) {
    auto api = Install(displays);
    EnumerateDisplayMonitors();
    const size_t expected = displays * 2 * 6; // per monitor: preset, brightness, contrast, 3 gains

    api->ClearCalls();
    Clock::time_point start = Clock::now();
    ReapplyMonitorValues();
    const double blocked = Milliseconds(Clock::now() - start);
    while (SetCalls(*api) < expected) {
        ::Sleep(1);
    }
    const double wall = Milliseconds(Clock::now() - start);

    // For comparison: every display in turn on the calling thread.
    api->ClearCalls();
    start = Clock::now();
    for (DisplayMonitor* display : displayMonitors) {
        display->ReapplyRememberedValues();
    }
    const double sequential = Milliseconds(Clock::now() - start);

    std::printf("re-apply, %zu display(s) x 2 monitors: done after %.0f ms, caller blocked %.2f ms "
                "(all on the calling thread: %.0f ms, blocked throughout)\n",
                displays, wall, blocked, sequential);
    DestroyDisplayMonitors();
    SetMonitorApi(nullptr);
}

void FactoryReset(size_t displays) {
    auto api = Install(displays);
    EnumerateDisplayMonitors();
    api->ClearCalls();
    const Clock::time_point start = Clock::now();
    RestoreAllFactoryDefaults();
    const double wall = Milliseconds(Clock::now() - start);
    std::set<DWORD> threads;
    for (const auto& call : api->Calls()) {
        if (call.operation == SimulatedOperation::RestoreFactoryDefaults) {
            threads.insert(call.threadId);
        }
    }
    std::printf(
        "factory reset, %zu display(s) x 2 monitors: %.0f ms, caller blocked throughout, on %zu thread(s)\n",
        displays, wall, threads.size());
    DestroyDisplayMonitors();
    SetMonitorApi(nullptr);
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // figures appear as they are measured
    // As in the program: COM and the laptop backlight of the main thread come first.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    AttachLaptopBacklight();
    const test_support::ScopedSettingsKey settingsKey(L"OrvaluxBenchmark");
    for (size_t displays : {1, 4, 8}) {
        Reapply(displays);
    }
    for (size_t displays : {1, 4, 8}) {
        FactoryReset(displays);
    }
    DetachLaptopBacklight();
    return 0;
}
