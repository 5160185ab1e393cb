#include "simulator/SimulatedMonitorApi.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Simulated monitors and the opened physical monitors of their first display.
struct Opened {
    SimulatedMonitorApi api;
    std::vector<HANDLE> handles;

    explicit Opened(std::string_view description, std::wstring stateFile = {})
        : api(ParseSimulatedSetup(description).setup.value(), std::move(stateFile)) {
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

// What the monitor tests rely on it to see: values and handles a real monitor refuses, double releases.
TEST(SimulatedMonitorApi, RefusesWhatARealMonitorWouldAndReleasesHandlesOnce) {
    Opened opened("monitor brightness=10..60:30 temps=2");
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

    EXPECT_EQ(api.OpenHandleCount(), 1u);
    EXPECT_TRUE(api.DestroyPhysicalMonitor(handle));
    EXPECT_FALSE(api.DestroyPhysicalMonitor(handle));
    EXPECT_EQ(api.OpenHandleCount(), 0u);
    EXPECT_EQ(api.InvalidReleaseCount(), 1u);
}

TEST(SimulatedMonitorApi, CallsThatOverlapOnOneMonitorAreCounted) {
    Opened opened("monitor; monitor");
    SimulatedMonitorApi& api = opened.api;
    ASSERT_EQ(opened.handles.size(), 2u);
    // Both calls begin while the first is held; an overlap is counted as a call begins.
    const auto whileAnotherCallRuns = [&](HANDLE busy, HANDLE next) {
        api.HoldCalls(true);
        std::thread first([&] { api.SetMonitorBrightness(busy, 10); });
        EXPECT_TRUE(api.WaitUntil([&] { return api.CallsInProgress() == 1; }));
        std::thread second([&] { api.SetMonitorContrast(next, 10); });
        EXPECT_TRUE(api.WaitUntil([&] { return api.CallsInProgress() == 2; }));
        api.HoldCalls(false);
        first.join();
        second.join();
    };
    whileAnotherCallRuns(opened.handles[0], opened.handles[1]);
    EXPECT_EQ(api.OverlapCount(), 0u) << "two monitors are two buses";
    whileAnotherCallRuns(opened.handles[0], opened.handles[0]);
    EXPECT_EQ(api.OverlapCount(), 1u);
    api.SetMonitorContrast(opened.handles[0], 20);
    EXPECT_EQ(api.OverlapCount(), 1u) << "calls one after the other";
}

// Ignored sets count per parameter, through its own state file writes. (Edits, deaf= and the set
// count: the calibration program test's re-apply steps.)
TEST(SimulatedMonitorApi, IgnoredSetsCountPerParameterThroughItsOwnStateFileWrites) {
    wchar_t directory[MAX_PATH];
    ::GetTempPathW(MAX_PATH, directory);
    const std::wstring file =
        std::wstring(directory) + L"orvalux-sim-" + std::to_wstring(::GetCurrentProcessId());
    Opened opened("monitor ignore=2 contrast=0..100:40", file);
    SimulatedMonitorApi& api = opened.api;
    const HANDLE handle = opened.handles.at(0);
    EXPECT_TRUE(api.SetMonitorContrast(handle, 69));
    EXPECT_TRUE(api.SetMonitorContrast(handle, 70));
    EXPECT_TRUE(api.SetMonitorBrightness(handle, 20));
    EXPECT_TRUE(api.SetMonitorContrast(handle, 70));
    const SimulatedMonitorDescription monitor = api.State().displays[0].monitors[0];
    EXPECT_EQ(monitor.contrast.current, 70u);
    EXPECT_EQ(monitor.brightness.current, 50u);
    ::DeleteFileW(file.c_str());
}
