#include "monitor/Dxva2MonitorApi.h"

#include <atomic>

BOOL Dxva2MonitorApi::EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) {
    return ::EnumDisplayMonitors(nullptr, nullptr, callback, data);
}

BOOL Dxva2MonitorApi::GetMonitorInfo(HMONITOR monitor, MONITORINFOEXW* info) {
    return ::GetMonitorInfoW(monitor, info);
}

BOOL Dxva2MonitorApi::GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD* count) {
    return ::GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, count);
}

BOOL Dxva2MonitorApi::GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD count,
                                                      PHYSICAL_MONITOR* monitors) {
    return ::GetPhysicalMonitorsFromHMONITOR(monitor, count, monitors);
}

BOOL Dxva2MonitorApi::DestroyPhysicalMonitor(HANDLE physicalMonitor) {
    return ::DestroyPhysicalMonitor(physicalMonitor);
}

BOOL Dxva2MonitorApi::GetMonitorCapabilities(HANDLE physicalMonitor, DWORD* capabilities,
                                             DWORD* supportedColorTemperatures) {
    return ::GetMonitorCapabilities(physicalMonitor, capabilities, supportedColorTemperatures);
}

BOOL Dxva2MonitorApi::GetMonitorBrightness(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                           DWORD* maximum) {
    return ::GetMonitorBrightness(physicalMonitor, minimum, current, maximum);
}

BOOL Dxva2MonitorApi::GetMonitorContrast(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                         DWORD* maximum) {
    return ::GetMonitorContrast(physicalMonitor, minimum, current, maximum);
}

BOOL Dxva2MonitorApi::GetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel,
                                                   DWORD* minimum, DWORD* current, DWORD* maximum) {
    return ::GetMonitorRedGreenOrBlueGain(physicalMonitor, channel, minimum, current, maximum);
}

BOOL Dxva2MonitorApi::GetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE* preset) {
    return ::GetMonitorColorTemperature(physicalMonitor, preset);
}

BOOL Dxva2MonitorApi::SetMonitorBrightness(HANDLE physicalMonitor, DWORD value) {
    return ::SetMonitorBrightness(physicalMonitor, value);
}

BOOL Dxva2MonitorApi::SetMonitorContrast(HANDLE physicalMonitor, DWORD value) {
    return ::SetMonitorContrast(physicalMonitor, value);
}

BOOL Dxva2MonitorApi::SetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel,
                                                   DWORD value) {
    return ::SetMonitorRedGreenOrBlueGain(physicalMonitor, channel, value);
}

BOOL Dxva2MonitorApi::SetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE preset) {
    return ::SetMonitorColorTemperature(physicalMonitor, preset);
}

BOOL Dxva2MonitorApi::RestoreMonitorFactoryColorDefaults(HANDLE physicalMonitor) {
    return ::RestoreMonitorFactoryColorDefaults(physicalMonitor);
}

BOOL Dxva2MonitorApi::RestoreMonitorFactoryDefaults(HANDLE physicalMonitor) {
    return ::RestoreMonitorFactoryDefaults(physicalMonitor);
}

namespace {
std::atomic<MonitorConfigApi*> installedApi{nullptr};
} // namespace

MonitorConfigApi& MonitorApi() {
    static Dxva2MonitorApi realApi;
    MonitorConfigApi* api = installedApi.load(std::memory_order_acquire);
    return api ? *api : realApi;
}

void SetMonitorApi(MonitorConfigApi* api) {
    installedApi.store(api, std::memory_order_release);
}
