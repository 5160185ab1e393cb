#pragma once

#include "monitor/CalibrationRules.h"

#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

// The platform's monitor configuration interface (dxva2) and the display enumeration
// it pairs with, behind one seam: the real binding, or simulated monitors for machines
// without DDC/CI. Every operation keeps the platform's contract and success flag.
class MonitorConfigApi {
public:
    virtual ~MonitorConfigApi() = default;

    virtual BOOL EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) = 0;
    virtual BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFOEXW* info) = 0;

    virtual BOOL GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD* count) = 0;
    virtual BOOL GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD count,
                                                 PHYSICAL_MONITOR* monitors) = 0;
    virtual BOOL DestroyPhysicalMonitor(HANDLE physicalMonitor) = 0;

    virtual BOOL GetMonitorCapabilities(HANDLE physicalMonitor, DWORD* capabilities,
                                        DWORD* supportedColorTemperatures) = 0;
    virtual BOOL GetMonitorBrightness(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                      DWORD* maximum) = 0;
    virtual BOOL GetMonitorContrast(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                    DWORD* maximum) = 0;
    virtual BOOL GetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD* minimum,
                                              DWORD* current, DWORD* maximum) = 0;
    virtual BOOL GetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE* preset) = 0;

    virtual BOOL SetMonitorBrightness(HANDLE physicalMonitor, DWORD value) = 0;
    virtual BOOL SetMonitorContrast(HANDLE physicalMonitor, DWORD value) = 0;
    virtual BOOL SetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD value) = 0;
    virtual BOOL SetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE preset) = 0;

    virtual BOOL RestoreMonitorFactoryColorDefaults(HANDLE physicalMonitor) = 0;
    virtual BOOL RestoreMonitorFactoryDefaults(HANDLE physicalMonitor) = 0;

    // What the system reports of physical monitor `index` of a display, to tell it apart
    // from every other monitor.
    virtual MonitorFacts GetMonitorFacts(HMONITOR monitor, const MONITORINFOEXW& info, DWORD index) = 0;
};

// The implementation in use: the real one unless another was installed.
MonitorConfigApi& MonitorApi();
// Installs `api` (not owned) for every later call; null restores the real one.
void SetMonitorApi(MonitorConfigApi* api);
