#include "MonitorTestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The physical monitors of the first display, opened.
struct OpenedMonitors {
    SimulatedMonitors monitors;
    std::vector<HANDLE> handles;
    explicit OpenedMonitors(std::string_view description) : monitors(description) {
        HMONITOR display = nullptr;
        monitors.api().EnumDisplayMonitors(
            [](HMONITOR monitor, HDC, RECT*, LPARAM data) -> BOOL {
                *reinterpret_cast<HMONITOR*>(data) = monitor;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&display));
        DWORD count = 0;
        monitors.api().GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count);
        std::vector<PHYSICAL_MONITOR> records(count);
        if (monitors.api().GetPhysicalMonitorsFromHMONITOR(display, count, records.data())) {
            for (const PHYSICAL_MONITOR& record : records) {
                handles.push_back(record.hPhysicalMonitor);
            }
        }
    }
};

} // namespace

TEST(SimulatedMonitorApi, RefusesValuesOutsideTheRangeUnsupportedPresetsAndUnknownHandles) {
    OpenedMonitors opened("monitor brightness=10..60:30 temps=2");
    SimulatedMonitorApi& api = opened.monitors.api();
    ASSERT_EQ(opened.handles.size(), 1u);
    const HANDLE handle = opened.handles[0];
    EXPECT_FALSE(api.SetMonitorBrightness(handle, 61));
    EXPECT_FALSE(api.SetMonitorBrightness(handle, 9));
    EXPECT_TRUE(api.SetMonitorBrightness(handle, 60));
    EXPECT_FALSE(api.SetMonitorColorTemperature(handle, MC_COLOR_TEMPERATURE_6500K));
    EXPECT_TRUE(api.SetMonitorColorTemperature(handle, MC_COLOR_TEMPERATURE_5000K));
    EXPECT_FALSE(api.SetMonitorBrightness(reinterpret_cast<HANDLE>(0x1234), 20)) << "unknown handle";
    // What an entry whose fetch failed holds.
    DWORD capabilities = 0, temperatures = 0;
    EXPECT_FALSE(api.GetMonitorCapabilities(nullptr, &capabilities, &temperatures));
    EXPECT_FALSE(api.SetMonitorBrightness(nullptr, 20));
}

TEST(SimulatedMonitorApi, CountedFailuresEndAndFactoryResetsRespectCapabilities) {
    OpenedMonitors opened("monitor contrast=0..100:40 fail=set-contrast:2 caps=0x800");
    SimulatedMonitorApi& api = opened.monitors.api();
    ASSERT_EQ(opened.handles.size(), 1u);
    const HANDLE handle = opened.handles[0];
    EXPECT_FALSE(api.SetMonitorContrast(handle, 70));
    EXPECT_FALSE(api.SetMonitorContrast(handle, 70));
    EXPECT_TRUE(api.SetMonitorContrast(handle, 70));
    EXPECT_FALSE(api.RestoreMonitorFactoryDefaults(handle)) << "no 0x400 capability";
    EXPECT_EQ(opened.monitors.Monitor(0, 0).contrast.current, 70u);
    EXPECT_TRUE(api.RestoreMonitorFactoryColorDefaults(handle));
}

TEST(SimulatedMonitorApi, CallsThatOverlapOnOneMonitorAreCounted) {
    OpenedMonitors opened("monitor set-latency=200; monitor set-latency=200");
    SimulatedMonitorApi& api = opened.monitors.api();
    ASSERT_EQ(opened.handles.size(), 2u);
    const auto whileAnotherCallRuns = [&](HANDLE busy, HANDLE next) {
        std::thread other([&] { api.SetMonitorBrightness(busy, 10); });
        EXPECT_TRUE(opened.monitors.WaitForCallInProgress());
        api.SetMonitorContrast(next, 10);
        other.join();
    };
    whileAnotherCallRuns(opened.handles[0], opened.handles[1]);
    EXPECT_EQ(api.OverlapCount(), 0u) << "two monitors are two buses";
    whileAnotherCallRuns(opened.handles[0], opened.handles[0]);
    EXPECT_EQ(api.OverlapCount(), 1u);
    api.SetMonitorContrast(opened.handles[0], 20);
    EXPECT_EQ(api.OverlapCount(), 1u) << "calls one after the other";
}

TEST(SimulatedMonitorApi, HandlesAreReleasedOnce) {
    OpenedMonitors opened("monitor");
    SimulatedMonitorApi& api = opened.monitors.api();
    ASSERT_EQ(opened.handles.size(), 1u);
    EXPECT_EQ(api.OpenHandleCount(), 1u);
    EXPECT_TRUE(api.DestroyPhysicalMonitor(opened.handles[0]));
    EXPECT_FALSE(api.DestroyPhysicalMonitor(opened.handles[0]));
    EXPECT_EQ(api.OpenHandleCount(), 0u);
    EXPECT_EQ(api.InvalidReleaseCount(), 1u);
}
