#include "MonitorTestSupport.h"

#include "common/ComInitialization.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorWorker.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <thread>

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

// The simulated displays, except that counting their physical monitors throws, as an
// allocation failure on the worker would.
class ThrowingMonitorApi final : public MonitorConfigApi {
public:
    explicit ThrowingMonitorApi(MonitorConfigApi& displays) : displays_(displays) {}
    BOOL EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) override {
        return displays_.EnumDisplayMonitors(callback, data);
    }
    BOOL GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR, DWORD*) override { throw std::bad_alloc(); }
    BOOL GetMonitorInfo(HMONITOR, MONITORINFOEXW*) override { return FALSE; }
    BOOL GetPhysicalMonitorsFromHMONITOR(HMONITOR, DWORD, PHYSICAL_MONITOR*) override { return FALSE; }
    BOOL DestroyPhysicalMonitor(HANDLE) override { return FALSE; }
    BOOL GetMonitorCapabilities(HANDLE, DWORD*, DWORD*) override { return FALSE; }
    BOOL GetMonitorBrightness(HANDLE, DWORD*, DWORD*, DWORD*) override { return FALSE; }
    BOOL GetMonitorContrast(HANDLE, DWORD*, DWORD*, DWORD*) override { return FALSE; }
    BOOL GetMonitorRedGreenOrBlueGain(HANDLE, MC_GAIN_TYPE, DWORD*, DWORD*, DWORD*) override { return FALSE; }
    BOOL GetMonitorColorTemperature(HANDLE, MC_COLOR_TEMPERATURE*) override { return FALSE; }
    BOOL SetMonitorBrightness(HANDLE, DWORD) override { return FALSE; }
    BOOL SetMonitorContrast(HANDLE, DWORD) override { return FALSE; }
    BOOL SetMonitorRedGreenOrBlueGain(HANDLE, MC_GAIN_TYPE, DWORD) override { return FALSE; }
    BOOL SetMonitorColorTemperature(HANDLE, MC_COLOR_TEMPERATURE) override { return FALSE; }
    BOOL RestoreMonitorFactoryColorDefaults(HANDLE) override { return FALSE; }
    BOOL RestoreMonitorFactoryDefaults(HANDLE) override { return FALSE; }

private:
    MonitorConfigApi& displays_;
};

// What a window of this thread does with WM_APP that another thread sent it.
std::function<void()> sentMessageHandler;

LRESULT CALLBACK SentMessageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        sentMessageHandler();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// What the panel's timer saw of the list during a teardown.
std::optional<size_t> listSizeSeenByTimer;

void CALLBACK RecordListSize(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    listSizeSeenByTimer = displayMonitors.size();
}

class InventoryFixture : public SimulatedInventoryTest {};

} // namespace

TEST_F(InventoryFixture, TwoDisplaysWithTwoMonitorsEach) {
    PVOID handler = ::AddVectoredExceptionHandler(1, &RecordThreadName);
    // Slow capability queries: the enumeration must wait for every worker to finish.
    Build("display 1920x1080; monitor name=Alpha brightness=0..50:25 caps-latency=100; monitor name=Beta;"
          "display 1280x1024+-1280+0; monitor name=Gamma; monitor name=Delta contrast=10..20:15 "
          "caps-latency=100");
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
    EXPECT_EQ(displayMonitors[1]->physicalMonitors[1].capabilities, 0xC1Eu);
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
    Build("display fail=count");
    ASSERT_EQ(displayMonitors.size(), 1u);
    DisplayMonitor& display = *displayMonitors[0];
    EXPECT_TRUE(display.physicalMonitors.empty());
    EXPECT_EQ(display.BrightnessPercent(), 100u);
    EXPECT_EQ(display.ColorTemperaturePreset(), 0u);
    display.SetBrightness(30); // ignored by the monitors, still stored
    EXPECT_EQ(settings.Read(L"Brightness"), 30u);
    DestroyDisplayMonitors();

    monitors.reset();
    Build("none");
    EXPECT_TRUE(displayMonitors.empty());
    EXPECT_EQ(ReferencePercent(MonitorParameter::Brightness), 100u);
    EXPECT_EQ(ReferenceColorTemperature(), 0u);
    EXPECT_EQ(ReferencePercent(MonitorParameter::ColorTemperature), 0u) << "a preset, not a percentage";
}

TEST_F(InventoryFixture, AFailedFetchKeepsZeroedEntriesSoALaptopStillFindsItsPanel) {
    Build("monitor fail=physical; laptop levels=5,30,60,100 current=30");
    DisplayMonitor& panel = *displayMonitors.at(0);
    ASSERT_EQ(panel.physicalMonitors.size(), 1u);
    EXPECT_EQ(panel.physicalMonitors[0].handle, nullptr);
    EXPECT_TRUE(panel.isLaptopPanel);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u) << "read through the worker's backlight";
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMaximum, 100u);
    DestroyDisplayMonitors();
    EXPECT_EQ(monitors->api().InvalidReleaseCount(), 0u) << "a null handle was released";
}

TEST_F(InventoryFixture, AMonitorWithoutDdcOnALaptopDrivesTheBacklight) {
    Build("monitor fail=caps; display; monitor; laptop levels=5,30,60,100 current=30");
    // The test thread stands for the main thread, which has a backlight of its own.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ScopedLaptopBacklight backlight;
    ASSERT_GE(backlight.Result(), 0);
    ASSERT_EQ(displayMonitors.size(), 2u);
    DisplayMonitor& panel = *displayMonitors[0];
    EXPECT_TRUE(panel.isLaptopPanel);
    EXPECT_FALSE(displayMonitors[1]->isLaptopPanel) << "a monitor that answers is never probed";
    // Read by the worker through its own backlight: the table's ends are the range.
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMinimum, 5u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMaximum, 100u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u);

    // While the backlight's WMI call waits it serves messages sent to this thread; a
    // handler that reaches the same display must not find it locked.
    bool handled = false;
    sentMessageHandler = [&] {
        panel.SetContrast(20);
        handled = true;
    };
    UniqueHwnd window(
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SentMessageWindowProc));
    std::thread([&] { ::SendNotifyMessageW(window.get(), WM_APP, 0, 0); }).join();
    ASSERT_TRUE(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE);

    panel.SetBrightness(60);
    EXPECT_TRUE(handled);
    const auto state = ReadSimulatedLaptopPanel();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->levelsSet, (std::vector<uint8_t>{60}));
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u)
        << "the laptop path leaves the remembered value";
    EXPECT_EQ(settings.Read(L"Brightness"), 60u);
    EXPECT_EQ(monitors->api().CountCalls(SimulatedOperation::SetBrightness), 0u);
}

TEST_F(InventoryFixture, AWorkerEndedByAnExceptionLeavesNoBacklightBehind) {
    monitors = std::make_unique<SimulatedMonitors>("monitor; laptop");
    ThrowingMonitorApi throwing(monitors->api());
    SetMonitorApi(&throwing);
    EnumerateDisplayMonitors(); // returns once the worker's thread has ended
    ASSERT_EQ(displayMonitors.size(), 1u);
    EXPECT_FALSE(displayMonitors[0]->worker->IsReady());
    DestroyDisplayMonitors();
    EXPECT_EQ(ReadSimulatedLaptopPanel().value().liveBackends, 0u)
        << "a dead thread's backlight is registered";
}

TEST_F(InventoryFixture, ATimerFiringDuringTheTeardownFindsTheListEmpty) {
    Build("monitor set-latency=300");
    // A busy worker keeps the teardown waiting, and serving this thread's messages.
    displayMonitors[0]->worker->PostCommand({1, 40});
    ASSERT_TRUE(monitors->WaitForCallInProgress());
    listSizeSeenByTimer.reset();
    ASSERT_TRUE(::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &RecordListSize));
    DestroyDisplayMonitors();
    ASSERT_TRUE(listSizeSeenByTimer) << "the timer did not fire during the teardown";
    EXPECT_EQ(*listSizeSeenByTimer, 0u);
}
