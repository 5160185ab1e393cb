#include "simulator/SimulatedMonitorApi.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Simulated monitors and the opened physical monitors of their first display.
struct Opened {
    SimulatedMonitorApi api;
    std::vector<HANDLE> handles;

    explicit Opened(std::string_view description) : api(ParseSimulatedSetup(description).setup.value()) {
        HMONITOR display = nullptr;
        api.EnumDisplayMonitors(
            [](HMONITOR monitor, HDC, RECT*, LPARAM data) -> BOOL {
                *reinterpret_cast<HMONITOR*>(data) = monitor;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&display));
        DWORD count = 0;
        api.GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count);
        std::vector<PHYSICAL_MONITOR> records(count);
        api.GetPhysicalMonitorsFromHMONITOR(display, count, records.data());
        for (const PHYSICAL_MONITOR& record : records) {
            handles.push_back(record.hPhysicalMonitor);
        }
    }
};

} // namespace

TEST(SimulatedMonitorApi, RefusesWhatARealMonitorWouldAndReleasesHandlesOnce) {
    Opened opened("monitor brightness=10..60:30 contrast=0..100:40 temps=2 fail=set-contrast:2 caps=0x800");
    SimulatedMonitorApi& api = opened.api;
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
    // Counted failures end.
    EXPECT_FALSE(api.SetMonitorContrast(handle, 70));
    EXPECT_FALSE(api.SetMonitorContrast(handle, 70));
    EXPECT_TRUE(api.SetMonitorContrast(handle, 70));
    EXPECT_EQ(api.State().displays[0].monitors[0].contrast.current, 70u);
    EXPECT_FALSE(api.RestoreMonitorFactoryDefaults(handle)) << "no 0x400 capability";
    EXPECT_TRUE(api.RestoreMonitorFactoryColorDefaults(handle));

    EXPECT_EQ(api.OpenHandleCount(), 1u);
    EXPECT_TRUE(api.DestroyPhysicalMonitor(handle));
    EXPECT_FALSE(api.DestroyPhysicalMonitor(handle));
    EXPECT_EQ(api.OpenHandleCount(), 0u);
    EXPECT_EQ(api.InvalidReleaseCount(), 1u);
}

TEST(SimulatedMonitorApi, CallsThatOverlapOnOneMonitorAreCounted) {
    Opened opened("monitor set-latency=200; monitor set-latency=200");
    SimulatedMonitorApi& api = opened.api;
    ASSERT_EQ(opened.handles.size(), 2u);
    const auto whileAnotherCallRuns = [&](HANDLE busy, HANDLE next) {
        std::thread other([&] { api.SetMonitorBrightness(busy, 10); });
        EXPECT_TRUE(api.WaitUntil([&] { return api.CallsInProgress() > 0; }));
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
