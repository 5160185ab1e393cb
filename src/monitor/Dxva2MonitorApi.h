#pragma once

#include "monitor/MonitorConfigApi.h"

// The real monitor configuration interface: dxva2 and user32, unchanged.
class Dxva2MonitorApi final : public MonitorConfigApi {
public:
    BOOL EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) override;
    BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFOEXW* info) override;
    BOOL GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD* count) override;
    BOOL GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD count, PHYSICAL_MONITOR* monitors) override;
    BOOL DestroyPhysicalMonitor(HANDLE physicalMonitor) override;
    BOOL GetMonitorCapabilities(HANDLE physicalMonitor, DWORD* capabilities,
                                DWORD* supportedColorTemperatures) override;
    BOOL GetMonitorBrightness(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                              DWORD* maximum) override;
    BOOL GetMonitorContrast(HANDLE physicalMonitor, DWORD* minimum, DWORD* current, DWORD* maximum) override;
    BOOL GetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD* minimum,
                                      DWORD* current, DWORD* maximum) override;
    BOOL GetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE* preset) override;
    BOOL SetMonitorBrightness(HANDLE physicalMonitor, DWORD value) override;
    BOOL SetMonitorContrast(HANDLE physicalMonitor, DWORD value) override;
    BOOL SetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD value) override;
    BOOL SetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE preset) override;
    BOOL RestoreMonitorFactoryColorDefaults(HANDLE physicalMonitor) override;
    BOOL RestoreMonitorFactoryDefaults(HANDLE physicalMonitor) override;
    MonitorFacts GetMonitorFacts(HMONITOR monitor, const MONITORINFOEXW& info, DWORD index) override;
};
