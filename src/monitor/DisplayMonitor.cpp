#include "monitor/DisplayMonitor.h"

#include "monitor/CalibrationStore.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorConfigApi.h"
#include "monitor/MonitorWorker.h"

#include <cstdio>

std::vector<DisplayMonitor*> displayMonitors;

DisplayMonitor::DisplayMonitor(HMONITOR displayHandle, uint64_t position)
    : monitor(displayHandle), index(position) {}

DisplayMonitor::~DisplayMonitor() {
    Shutdown();
}

void DisplayMonitor::OpenPhysicalMonitors() {
    MonitorConfigApi& api = MonitorApi();
    DWORD count = 0;
    if (!api.GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count) || count == 0) {
        return;
    }
    // When the fetch fails the entries stay zeroed and are kept: the capability query on
    // their null handles fails, so a laptop's own panel is still found by the probe
    // below. Null handles are never released.
    std::vector<PHYSICAL_MONITOR> records(count);
    api.GetPhysicalMonitorsFromHMONITOR(monitor, count, records.data());
    physicalMonitors.resize(count);
    for (DWORD i = 0; i < count; ++i) {
        PhysicalMonitor& physical = physicalMonitors[i];
        physical.handle = records[i].hPhysicalMonitor;
        static_assert(sizeof(physical.description) == sizeof(records[i].szPhysicalMonitorDescription));
        std::copy(std::begin(records[i].szPhysicalMonitorDescription),
                  std::end(records[i].szPhysicalMonitorDescription), std::begin(physical.description));
        physical.description[std::size(physical.description) - 1] = L'\0';

        physical.info.cbSize = sizeof(MONITORINFOEXW);
        api.GetMonitorInfo(monitor, &physical.info);
        physical.identity = MonitorIdentity(api.GetMonitorFacts(monitor, physical.info, i));
        physical.calibration = PackCalibration(ReadStoredCalibration(physical.identity));

        DWORD capabilities = 0;
        DWORD temperatures = 0;
        if (api.GetMonitorCapabilities(physical.handle, &capabilities, &temperatures)) {
            physical.capabilities = capabilities;
            physical.supportedColorTemperatures = temperatures;
        } else if (ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight()) {
            // A monitor that does not answer over DDC/CI may be a laptop's own panel.
            isLaptopPanel = backlight->QuerySupportedLevels();
        }
    }
}

void DisplayMonitor::Shutdown() {
    if (worker) {
        worker->Stop();
        worker->Wait();
        worker.reset();
    }
    MonitorConfigApi& api = MonitorApi();
    for (PhysicalMonitor& physical : physicalMonitors) {
        if (physical.handle) {
            api.DestroyPhysicalMonitor(physical.handle);
            physical.handle = nullptr;
        }
    }
}

namespace {

BOOL CALLBACK AddDisplayMonitor(HMONITOR handle, HDC, RECT*, LPARAM data) noexcept {
    auto& list = *reinterpret_cast<std::vector<DisplayMonitor*>*>(data);
    try {
        auto display = std::make_unique<DisplayMonitor>(handle, list.size());
        display->worker = std::make_unique<MonitorWorker>(display.get());
        char name[32];
        std::snprintf(name, sizeof(name), "Monitor %u", static_cast<unsigned>(display->index + 1));
        if (display->worker->Start()) {
            SetThreadName(name, display->worker->ThreadId());
        }
        list.push_back(display.release());
    } catch (...) {
        // Out of memory while enumerating: this display is left out.
    }
    return TRUE;
}

// Waits for one worker to have read its monitors. A worker whose thread could not be
// started, or ended early, is not waited for: the wait would never end.
void WaitUntilReady(const MonitorWorker& worker) {
    if (worker.IsReady() || !worker.IsRunning()) {
        return;
    }
    HANDLE handles[2] = {worker.ReadyEvent(), worker.ThreadHandle()};
    ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
}

} // namespace

void EnumerateDisplayMonitors() {
    displayMonitors.clear();
    std::vector<DisplayMonitor*> list;
    MonitorApi().EnumDisplayMonitors(&AddDisplayMonitor, reinterpret_cast<LPARAM>(&list));
    displayMonitors = std::move(list);
    for (DisplayMonitor* display : displayMonitors) {
        WaitUntilReady(*display->worker);
    }
}

void DestroyDisplayMonitors() {
    // Each shutdown waits while dispatching this thread's messages: whatever runs
    // meanwhile must find the list already empty, never a display being freed.
    std::vector<DisplayMonitor*> doomed;
    doomed.swap(displayMonitors);
    for (DisplayMonitor* display : doomed) {
        display->Shutdown();
        delete display;
    }
}
