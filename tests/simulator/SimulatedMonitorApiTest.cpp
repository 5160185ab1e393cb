#include "MonitorTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Op = SimulatedOperation;

struct OpenedMonitor {
    SimulatedMonitors monitors;
    HANDLE handle = nullptr;
    explicit OpenedMonitor(std::string_view description) : monitors(description) {
        DWORD count = 0;
        HMONITOR display = nullptr;
        monitors.api().EnumDisplayMonitors(
            [](HMONITOR monitor, HDC, RECT*, LPARAM data) -> BOOL {
                *reinterpret_cast<HMONITOR*>(data) = monitor;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&display));
        monitors.api().GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count);
        PHYSICAL_MONITOR record{};
        if (count == 1 && monitors.api().GetPhysicalMonitorsFromHMONITOR(display, 1, &record)) {
            handle = record.hPhysicalMonitor;
        }
    }
};

} // namespace

TEST(SimulatedMonitorApi, RefusesValuesOutsideTheRangeAndUnsupportedPresets) {
    OpenedMonitor opened("monitor brightness=10..60:30 temps=2");
    SimulatedMonitorApi& api = opened.monitors.api();
    ASSERT_TRUE(opened.handle);
    EXPECT_FALSE(api.SetMonitorBrightness(opened.handle, 61));
    EXPECT_FALSE(api.SetMonitorBrightness(opened.handle, 9));
    EXPECT_TRUE(api.SetMonitorBrightness(opened.handle, 60));
    EXPECT_FALSE(api.SetMonitorColorTemperature(opened.handle, MC_COLOR_TEMPERATURE_6500K));
    EXPECT_TRUE(api.SetMonitorColorTemperature(opened.handle, MC_COLOR_TEMPERATURE_5000K));
    EXPECT_FALSE(api.SetMonitorBrightness(reinterpret_cast<HANDLE>(0x1234), 20)) << "unknown handle";
}

TEST(SimulatedMonitorApi, CountedFailuresEndAndFactoryResetsRespectCapabilities) {
    OpenedMonitor opened("monitor contrast=0..100:40 fail=set-contrast:2 caps=0x800");
    SimulatedMonitorApi& api = opened.monitors.api();
    EXPECT_FALSE(api.SetMonitorContrast(opened.handle, 70));
    EXPECT_FALSE(api.SetMonitorContrast(opened.handle, 70));
    EXPECT_TRUE(api.SetMonitorContrast(opened.handle, 70));
    EXPECT_FALSE(api.RestoreMonitorFactoryDefaults(opened.handle)) << "no 0x400 capability";
    EXPECT_EQ(opened.monitors.Monitor(0, 0).contrast.current, 70u);
    EXPECT_TRUE(api.RestoreMonitorFactoryColorDefaults(opened.handle));
}

TEST(SimulatedMonitorApi, OneMonitorServesOneCallAtATime) {
    OpenedMonitor opened("monitor set-latency=60");
    SimulatedMonitorApi& api = opened.monitors.api();
    const auto start = std::chrono::steady_clock::now();
    std::thread other([&] { api.SetMonitorBrightness(opened.handle, 10); });
    api.SetMonitorContrast(opened.handle, 10);
    other.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(115));
}

TEST(SimulatedMonitorApi, HandlesAreReleasedOnce) {
    OpenedMonitor opened("monitor");
    SimulatedMonitorApi& api = opened.monitors.api();
    EXPECT_EQ(api.OpenHandleCount(), 1u);
    EXPECT_TRUE(api.DestroyPhysicalMonitor(opened.handle));
    EXPECT_FALSE(api.DestroyPhysicalMonitor(opened.handle));
    EXPECT_EQ(api.OpenHandleCount(), 0u);
    EXPECT_EQ(api.InvalidReleaseCount(), 1u);
}
