// A stand-in for dxva2.dll that records what the program asks of it: one monitor per
// display, with brightness and contrast, each handle a number of its own. Every call
// appends a line "<call> <handle> [value]" to the file named by ORVALUX_DXVA2_LOG.
#include <windows.h>

#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <cstdio>

namespace {

LONG lastHandle = 0x100;

BOOL Record(const char* call, HANDLE monitor, long value = -1) {
    char path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("ORVALUX_DXVA2_LOG", path, MAX_PATH)) {
        return TRUE;
    }
    char line[96];
    const int length = value < 0 ? std::snprintf(line, sizeof(line), "%s %p\n", call, monitor)
                                 : std::snprintf(line, sizeof(line), "%s %p %ld\n", call, monitor, value);
    const HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
        ::CloseHandle(file);
    }
    return TRUE;
}

BOOL Range(HANDLE monitor, const char* call, DWORD* minimum, DWORD* current, DWORD* maximum) {
    Record(call, monitor);
    *minimum = 0;
    *current = 50;
    *maximum = 100;
    return TRUE;
}

} // namespace

extern "C" {

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR, DWORD* count) {
    *count = 1;
    return TRUE;
}

BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR, DWORD count, PHYSICAL_MONITOR* monitors) {
    if (count != 1) {
        return FALSE;
    }
    monitors[0].hPhysicalMonitor =
        reinterpret_cast<HANDLE>(static_cast<INT_PTR>(::InterlockedIncrement(&lastHandle)));
    lstrcpyW(monitors[0].szPhysicalMonitorDescription, L"Recording monitor");
    Record("open", monitors[0].hPhysicalMonitor);
    return TRUE;
}

BOOL WINAPI GetMonitorCapabilities(HANDLE monitor, DWORD* capabilities, DWORD* temperatures) {
    Record("capabilities", monitor);
    *capabilities = MC_CAPS_BRIGHTNESS | MC_CAPS_CONTRAST;
    *temperatures = 0;
    return TRUE;
}

BOOL WINAPI GetMonitorBrightness(HANDLE monitor, DWORD* minimum, DWORD* current, DWORD* maximum) {
    return Range(monitor, "get-brightness", minimum, current, maximum);
}

BOOL WINAPI GetMonitorContrast(HANDLE monitor, DWORD* minimum, DWORD* current, DWORD* maximum) {
    return Range(monitor, "get-contrast", minimum, current, maximum);
}

BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE, DWORD* minimum, DWORD* current,
                                         DWORD* maximum) {
    return Range(monitor, "get-gain", minimum, current, maximum);
}

BOOL WINAPI GetMonitorColorTemperature(HANDLE monitor, MC_COLOR_TEMPERATURE* preset) {
    Record("get-temperature", monitor);
    *preset = MC_COLOR_TEMPERATURE_6500K;
    return TRUE;
}

// The calls that only change something: recorded with their value, always successful.
BOOL WINAPI SetMonitorBrightness(HANDLE monitor, DWORD value) {
    return Record("set-brightness", monitor, static_cast<long>(value));
}
BOOL WINAPI SetMonitorContrast(HANDLE monitor, DWORD value) {
    return Record("set-contrast", monitor, static_cast<long>(value));
}
BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE, DWORD value) {
    return Record("set-gain", monitor, static_cast<long>(value));
}
BOOL WINAPI SetMonitorColorTemperature(HANDLE monitor, MC_COLOR_TEMPERATURE preset) {
    return Record("set-temperature", monitor, static_cast<long>(preset));
}
BOOL WINAPI RestoreMonitorFactoryColorDefaults(HANDLE monitor) {
    return Record("restore-colors", monitor);
}
BOOL WINAPI RestoreMonitorFactoryDefaults(HANDLE monitor) {
    return Record("restore", monitor);
}
BOOL WINAPI DestroyPhysicalMonitor(HANDLE monitor) {
    return Record("destroy", monitor);
}

} // extern "C"
