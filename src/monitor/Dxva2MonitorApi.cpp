#include "monitor/Dxva2MonitorApi.h"

#include "common/UniqueResource.h"

#include <atomic>
#include <string>
#include <vector>

namespace {

// The EDID the system keeps for a monitor, found from its device interface path
// ("\\?\DISPLAY#<model>#<instance>#{class}") under the device's hardware key.
std::vector<uint8_t> EdidOf(const std::wstring& devicePath) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t hash = devicePath.find(L'#'); hash != std::wstring::npos;
         hash = devicePath.find(L'#', start)) {
        parts.push_back(devicePath.substr(start, hash - start));
        start = hash + 1;
    }
    if (parts.size() < 3 || parts[1].find(L'\\') != std::wstring::npos ||
        parts[2].find(L'\\') != std::wstring::npos) {
        return {};
    }
    const std::wstring keyPath =
        L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\" + parts[1] + L"\\" + parts[2] + L"\\Device Parameters";
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<uint8_t> edid(256);
    DWORD size = static_cast<DWORD>(edid.size());
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), L"EDID", nullptr, &type, edid.data(), &size) != ERROR_SUCCESS ||
        type != REG_BINARY) {
        return {};
    }
    edid.resize(size);
    return edid;
}

} // namespace

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

MonitorFacts Dxva2MonitorApi::GetMonitorFacts(HMONITOR, const MONITORINFOEXW& info, DWORD index) {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof(device);
    MonitorFacts facts;
    if (::EnumDisplayDevicesW(info.szDevice, index, &device, EDD_GET_DEVICE_INTERFACE_NAME)) {
        facts.devicePath = device.DeviceID;
        facts.friendlyName = device.DeviceString;
        facts.edid = EdidOf(facts.devicePath);
    }
    return facts;
}
