#include "MonitorTestSupport.h"

#include "common/ComInitialization.h"
#include "common/UniqueResource.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorWorker.h"

#include <functional>
#include <map>
#include <new>
#include <thread>

namespace {

// Thread names as a debugger sees them, caught before the program's own handler swallows them.
std::map<DWORD, std::string> threadNames;

LONG CALLBACK RecordThreadName(EXCEPTION_POINTERS* pointers) noexcept {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode == 0x406D1388 && record.NumberParameters >= 3) {
        threadNames[static_cast<DWORD>(record.ExceptionInformation[2])] =
            reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// A count of physical monitors that throws, as an allocation failure on the worker would.
class ThrowingMonitorApi final : public MonitorConfigApi {
public:
    BOOL EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) override {
        return callback(nullptr, nullptr, nullptr, data);
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
    MonitorFacts GetMonitorFacts(HMONITOR, const MONITORINFOEXW&, DWORD) override { return {}; }
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

// Rebuilds (a display change) and the handles given back: the whole-program storm and dxva2 tests.
TEST_F(InventoryFixture, DisplaysAndTheirMonitorsAreReadBeforeTheBuildReturns) {
    PVOID handler = ::AddVectoredExceptionHandler(1, &RecordThreadName);
    // Slow capability queries: the enumeration must wait for every worker to finish.
    Build("display 1920x1080; monitor name=Alpha brightness=0..50:25 caps-latency=100; monitor name=Beta "
          "fail=caps temps=1,2; display 1280x1024+-1280+0; monitor name=Gamma; monitor name=Delta "
          "contrast=10..20:15 caps-latency=100; display fail=count");
    ::RemoveVectoredExceptionHandler(handler);

    ASSERT_EQ(displayMonitors.size(), 3u);
    for (size_t d = 0; d < 2; ++d) {
        const DisplayMonitor& display = *displayMonitors[d];
        ASSERT_EQ(display.physicalMonitors.size(), 2u);
        EXPECT_TRUE(display.worker->IsReady());
        EXPECT_EQ(threadNames[display.worker->ThreadId()], "Monitor " + std::to_string(d + 1));
        const PhysicalMonitor& a = display.physicalMonitors[0];
        const PhysicalMonitor& b = display.physicalMonitors[1];
        EXPECT_NE(a.handle, b.handle);
        EXPECT_TRUE(::EqualRect(&a.info.rcMonitor, &b.info.rcMonitor));
    }
    const DisplayMonitor& first = *displayMonitors[0];
    const DisplayMonitor& second = *displayMonitors[1];
    EXPECT_EQ(second.physicalMonitors[0].info.rcMonitor.left, -1280);
    // A failed capability query leaves both sets zero; with no laptop panel it stays a DDC/CI display.
    EXPECT_EQ(first.physicalMonitors[1].capabilities, 0u);
    EXPECT_EQ(first.physicalMonitors[1].supportedColorTemperatures, 0u);
    EXPECT_FALSE(first.isLaptopPanel);
    // The first reading happened on the workers, before ready.
    EXPECT_EQ(first.physicalMonitors[0].brightnessMaximum, 50u);
    EXPECT_EQ(second.physicalMonitors[1].contrastCurrent, 15u);
    // A display whose monitors cannot be counted reads as the top of the range and still stores.
    DisplayMonitor& empty = *displayMonitors[2];
    EXPECT_TRUE(empty.physicalMonitors.empty());
    EXPECT_EQ(empty.BrightnessPercent(), 100u);
    EXPECT_EQ(empty.ColorTemperaturePreset(), 0u);
    empty.SetBrightness(30);
    EXPECT_EQ(Stored(L"Brightness"), 30u);

    DestroyDisplayMonitors();
    // Without any display the references read like a display without monitors.
    EXPECT_EQ(ReferencePercent(MonitorParameter::Brightness), 100u);
    EXPECT_EQ(ReferenceColorTemperature(), 0u);
    EXPECT_EQ(ReferencePercent(MonitorParameter::ColorTemperature), 0u) << "a preset, not a percentage";
}

// A laptop's monitor whose handle could not even be fetched: its zeroed entry still finds the panel.
TEST_F(InventoryFixture, AMonitorWithoutDdcOnALaptopDrivesTheBacklight) {
    Build("monitor fail=physical; display; monitor; laptop levels=5,30,60,100 current=30");
    // The test thread stands for the main thread, which has a backlight of its own.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ScopedLaptopBacklight backlight;
    ASSERT_GE(backlight.Result(), 0);
    ASSERT_EQ(displayMonitors.size(), 2u);
    DisplayMonitor& panel = *displayMonitors[0];
    ASSERT_EQ(panel.physicalMonitors.size(), 1u);
    EXPECT_EQ(panel.physicalMonitors[0].handle, nullptr);
    EXPECT_TRUE(panel.isLaptopPanel);
    EXPECT_FALSE(displayMonitors[1]->isLaptopPanel) << "a monitor that answers is never probed";
    // Read by the worker through its own backlight: the table's ends are the range.
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMinimum, 5u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessMaximum, 100u);
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 30u);

    // The WMI call serves messages sent here while it waits: a handler must not find the display locked.
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
    EXPECT_EQ(ReadSimulatedLaptopPanel().value().levelsSet, (std::vector<uint8_t>{60}));
    EXPECT_EQ(panel.physicalMonitors[0].brightnessCurrent, 60u) << "the level set is remembered";
    EXPECT_EQ(Stored(L"Brightness"), 60u);
    EXPECT_EQ(api->CountCalls(SimulatedOperation::SetBrightness), 0u);
    DestroyDisplayMonitors();
    EXPECT_EQ(api->InvalidReleaseCount(), 0u) << "a null handle was released";
}

TEST_F(InventoryFixture, AWorkerEndedByAnExceptionLeavesNoBacklightBehind) {
    Build("laptop");
    ThrowingMonitorApi throwing;
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
    ASSERT_TRUE(api->WaitUntil([&] { return api->CallsInProgress() > 0; }));
    listSizeSeenByTimer.reset();
    ASSERT_TRUE(::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &RecordListSize));
    DestroyDisplayMonitors();
    ASSERT_TRUE(listSizeSeenByTimer) << "the timer did not fire during the teardown";
    EXPECT_EQ(*listSizeSeenByTimer, 0u);
}
