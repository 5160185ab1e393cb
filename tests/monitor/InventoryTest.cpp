#include "MonitorTestSupport.h"

#include "common/ComInitialization.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorWorker.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

// Thread names as a debugger sees them: the naming exception, caught before the
// program's own handler swallows it.
std::mutex namesLock;
std::map<DWORD, std::string> threadNames;

LONG CALLBACK RecordThreadName(EXCEPTION_POINTERS* pointers) noexcept {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode == 0x406D1388 && record.NumberParameters >= 3) {
        std::lock_guard guard(namesLock);
        threadNames[static_cast<DWORD>(record.ExceptionInformation[2])] =
            reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

class InventoryFixture : public SimulatedInventoryTest {
protected:
};

} // namespace

TEST_F(InventoryFixture, TwoDisplaysWithTwoMonitorsEach) {
    PVOID handler = ::AddVectoredExceptionHandler(1, &RecordThreadName);
    Build("display 1920x1080; monitor name=Alpha brightness=0..50:25; monitor name=Beta;"
          "display 1280x1024+-1280+0; monitor name=Gamma; monitor name=Delta contrast=10..20:15");
    ::RemoveVectoredExceptionHandler(handler);

    ASSERT_EQ(displayMonitors.size(), 2u);
    for (size_t d = 0; d < 2; ++d) {
        const DisplayMonitor& display = *displayMonitors[d];
        EXPECT_EQ(display.index, d);
        ASSERT_EQ(display.physicalMonitors.size(), 2u);
        ASSERT_TRUE(display.worker);
        EXPECT_TRUE(display.worker->IsReady());
        std::lock_guard guard(namesLock);
        EXPECT_EQ(threadNames[display.worker->ThreadId()], "Monitor " + std::to_string(d + 1));
        const PhysicalMonitor& a = display.physicalMonitors[0];
        const PhysicalMonitor& b = display.physicalMonitors[1];
        EXPECT_NE(a.handle, b.handle);
        EXPECT_TRUE(::EqualRect(&a.info.rcMonitor, &b.info.rcMonitor));
        EXPECT_EQ(a.capabilities, 0xC1Eu);
    }
    EXPECT_STREQ(displayMonitors[0]->physicalMonitors[0].description, L"Alpha");
    EXPECT_STREQ(displayMonitors[1]->physicalMonitors[1].description, L"Delta");
    EXPECT_EQ(displayMonitors[1]->physicalMonitors[0].info.rcMonitor.left, -1280);
    EXPECT_EQ(displayMonitors[0]->physicalMonitors[0].info.dwFlags & MONITORINFOF_PRIMARY,
              static_cast<DWORD>(MONITORINFOF_PRIMARY));

    // The first reading happened on the workers, before ready.
    EXPECT_EQ(displayMonitors[0]->physicalMonitors[0].brightnessMaximum, 50u);
    EXPECT_EQ(displayMonitors[0]->BrightnessPercent(), 50u);
    EXPECT_EQ(displayMonitors[1]->physicalMonitors[1].contrastCurrent, 15u);
    EXPECT_EQ(monitors->api().OpenHandleCount(), 4u);

    DestroyDisplayMonitors();
    EXPECT_TRUE(displayMonitors.empty());
    EXPECT_EQ(monitors->api().OpenHandleCount(), 0u);
    EXPECT_EQ(monitors->api().InvalidReleaseCount(), 0u) << "a handle was released twice";
}

TEST_F(InventoryFixture, ARebuildHoldsNewObjectsOnly) {
    Build("display; monitor; display; monitor");
    std::set<HANDLE> oldHandles;
    std::set<DWORD> oldThreads;
    for (DisplayMonitor* display : displayMonitors) {
        oldHandles.insert(display->physicalMonitors[0].handle);
        oldThreads.insert(display->worker->ThreadId());
    }
    DestroyDisplayMonitors();
    EnumerateDisplayMonitors();
    ASSERT_EQ(displayMonitors.size(), 2u);
    for (DisplayMonitor* display : displayMonitors) {
        EXPECT_FALSE(oldHandles.count(display->physicalMonitors[0].handle));
        EXPECT_FALSE(oldThreads.count(display->worker->ThreadId()));
        EXPECT_TRUE(display->worker->IsRunning());
    }
    EXPECT_EQ(monitors->api().OpenHandleCount(), 2u);
}

TEST_F(InventoryFixture, AFailingCapabilityQueryLeavesCapabilitiesZero) {
    Build("monitor fail=caps caps=0xC00 temps=1,2");
    const PhysicalMonitor& physical = displayMonitors.at(0)->physicalMonitors.at(0);
    EXPECT_EQ(physical.capabilities, 0u);
    EXPECT_EQ(physical.supportedColorTemperatures, 0u);
    // No laptop panel on this machine: it stays a DDC/CI display.
    EXPECT_FALSE(displayMonitors[0]->isLaptopPanel);
}

TEST_F(InventoryFixture, DisplaysWithoutPhysicalMonitorsAndMachinesWithoutDisplays) {
    Build("display fail=count; display; monitor fail=physical");
    ASSERT_EQ(displayMonitors.size(), 2u);
    for (DisplayMonitor* display : displayMonitors) {
        EXPECT_TRUE(display->physicalMonitors.empty());
        EXPECT_EQ(display->BrightnessPercent(), 100u);
        EXPECT_EQ(display->ColorTemperaturePreset(), 0u);
        display->SetBrightness(30); // ignored by the monitors, still stored
    }
    EXPECT_EQ(settings.Read(L"Brightness"), 30u);
    DestroyDisplayMonitors();

    monitors.reset();
    Build("none");
    EXPECT_TRUE(displayMonitors.empty());
    EXPECT_EQ(ReferencePercent(MonitorParameter::Brightness), 100u);
    EXPECT_EQ(ReferenceColorTemperature(), 0u);
    EXPECT_EQ(ReferencePercent(MonitorParameter::ColorTemperature), 0u) << "a preset, not a percentage";
}

TEST_F(InventoryFixture, AMonitorWithoutDdcOnALaptopDrivesTheBacklight) {
    Build("monitor fail=caps; display; monitor; laptop levels=5,30,60,100 current=30");
    // The test thread stands for the main thread, which has a backlight of its own.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ASSERT_GE(AttachLaptopBacklight(), 0);
    ASSERT_EQ(displayMonitors.size(), 2u);
    DisplayMonitor& panel = *displayMonitors[0];
    EXPECT_TRUE(panel.isLaptopPanel);
    EXPECT_FALSE(displayMonitors[1]->isLaptopPanel) << "a monitor that answers is never probed";
    // Read by the worker through its own backlight: the table's ends are the range.
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMinimum, 5u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMaximum, 100u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u);

    panel.SetBrightness(60);
    const auto state = ReadSimulatedLaptopPanel();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->levelsSet, (std::vector<uint8_t>{60}));
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u)
        << "the laptop path leaves the remembered value";
    EXPECT_EQ(settings.Read(L"Brightness"), 60u);
    EXPECT_EQ(monitors->api().CountCalls(SimulatedOperation::SetBrightness), 0u);
    DestroyDisplayMonitors();
    EXPECT_EQ(DetachLaptopBacklight(), 0);
}
