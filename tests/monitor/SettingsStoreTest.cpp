#include "MonitorTestSupport.h"

#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"
#include "monitor/SettingsStore.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Op = SimulatedOperation;
using Clock = std::chrono::steady_clock;

class SettingsStoreFixture : public SimulatedInventoryTest {
protected:
    // The re-apply runs on the workers: stopping them waits for it to end.
    void FinishWork() {
        for (DisplayMonitor* display : displayMonitors) {
            display->worker->Stop();
        }
    }
    size_t SetCalls() const {
        size_t count = 0;
        for (const auto& call : monitors->api().Calls()) {
            count += call.operation != Op::GetBrightness && call.operation != Op::GetContrast &&
                     call.operation != Op::GetGain && call.operation != Op::GetColorTemperature;
        }
        return count;
    }
};

} // namespace

TEST_F(SettingsStoreFixture, NothingStoredChangesNothingAndWritesNothing) {
    Build("monitor; display; monitor");
    LoadMonitorSettings();
    EXPECT_EQ(SetCalls(), 0u);
    EXPECT_FALSE(settings.Exists());
}

TEST_F(SettingsStoreFixture, AStoredValueReachesEveryMonitorInItsOwnRange) {
    Build("monitor contrast=0..100:50; monitor contrast=0..50:50; display; monitor contrast=20..220:20");
    WriteSettingDword(L"Contrast", 30);
    LoadMonitorSettings();
    EXPECT_EQ(monitors->SentValues(Op::SetContrast, 0, 0), (std::vector<uint32_t>{30}));
    EXPECT_EQ(monitors->SentValues(Op::SetContrast, 0, 1), (std::vector<uint32_t>{15}));
    EXPECT_EQ(monitors->SentValues(Op::SetContrast, 1, 0), (std::vector<uint32_t>{80}));
    EXPECT_EQ(SetCalls(), 3u) << "only contrast is sent";
    EXPECT_EQ(settings.Read(L"Contrast"), 30u);
    EXPECT_FALSE(settings.Read(L"Brightness"));
}

TEST_F(SettingsStoreFixture, AStoredPresetOfZeroSendsNothingAndClearsThePresets) {
    Build("monitor temp=3; monitor temp=5");
    WriteSettingDword(L"ColorTemperature", 0);
    LoadMonitorSettings();
    EXPECT_EQ(SetCalls(), 0u);
    for (const PhysicalMonitor& physical : displayMonitors[0]->physicalMonitors) {
        EXPECT_EQ(physical.colorTemperature, 0u);
    }
}

TEST_F(SettingsStoreFixture, CorruptStoredValuesAreNeverSent) {
    Build("monitor");
    WriteSettingDword(L"Brightness", 150);
    WriteSettingDword(L"GainRed", 0xFFFFFFFF);
    WriteSettingDword(L"ColorTemperature", 9);
    UniqueHkey key;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, settings.Path().c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                    key.put());
    const wchar_t text[] = L"30";
    ::RegSetValueExW(key.get(), L"Contrast", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    WriteSettingDword(L"GainBlue", 100);

    LoadMonitorSettings();
    EXPECT_EQ(SetCalls(), 1u);
    EXPECT_EQ(monitors->SentValues(Op::SetGain), (std::vector<uint32_t>{100}));
    EXPECT_FALSE(ValidStoredValue(1, 101));
    EXPECT_EQ(ValidStoredValue(6, 8), 8u);
    EXPECT_FALSE(ValidStoredValue(7, 1));
}

TEST_F(SettingsStoreFixture, ReapplyOnAnAcceptingMonitorIsOneAttemptWithoutPause) {
    Build("monitor brightness=0..100:40 contrast=0..100:60 red=0..255:1 green=0..255:2 blue=0..255:3 temp=4");
    const auto start = Clock::now();
    ReapplyMonitorValues();
    FinishWork();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness), (std::vector<uint32_t>{40}));
    EXPECT_EQ(monitors->SentValues(Op::SetContrast), (std::vector<uint32_t>{60}));
    EXPECT_EQ(monitors->SentValues(Op::SetGain), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(monitors->SentValues(Op::SetColorTemperature), (std::vector<uint32_t>{4}));
    EXPECT_EQ(monitors->api().Calls().front().operation, Op::SetColorTemperature) << "the preset goes first";
}

TEST_F(SettingsStoreFixture, ARefusedPresetDoesNotCountButARefusedBrightnessRetries) {
    Build("monitor fail=set-temp; display; monitor fail=set-brightness:2");
    ReapplyMonitorValues();
    FinishWork();
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 0, 0).size(), 1u);
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 1, 0).size(), 3u);
}

TEST_F(SettingsStoreFixture, AMonitorThatKeepsRefusingCostsThirtyAttempts) {
    Build("monitor fail=set-brightness; display; monitor");
    const DWORD uiThread = ::GetCurrentThreadId();
    const auto start = Clock::now();
    ReapplyMonitorValues();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100)) << "the caller is never held up";
    FinishWork();
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 0, 0).size(), 30u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(2900));
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 1, 0).size(), 1u)
        << "the next display still gets its values";
    for (const auto& call : monitors->api().Calls()) {
        EXPECT_NE(call.threadId, uiThread);
        EXPECT_EQ(call.threadId, displayMonitors[call.display]->worker->ThreadId())
            << "each display's own worker";
    }
}

TEST_F(SettingsStoreFixture, AFactoryResetStoresWhatTheReferenceMonitorReportsAfterwards) {
    Build("monitor brightness=0..50:10 contrast=0..100:70 red=0..100:40 temp=5 caps=0xC00; "
          "monitor brightness=0..100:90 caps=0");
    displayMonitors[0]->SetBrightness(100);
    displayMonitors[0]->SetGain(0, 0);
    monitors->api().ClearCalls();

    RestoreAllFactoryDefaults();
    EXPECT_EQ(monitors->api().CountCalls(Op::RestoreFactoryDefaults), 1u) << "only the capable monitor";
    EXPECT_EQ(monitors->api().CountCalls(Op::RestoreFactoryColorDefaults), 1u);
    EXPECT_EQ(monitors->Monitor(0, 0).brightness.current, 10u);
    EXPECT_EQ(monitors->Monitor(0, 1).brightness.current, 100u) << "not reset: no capability";
    EXPECT_EQ(settings.Read(L"Brightness"), 20u);
    EXPECT_EQ(settings.Read(L"Contrast"), 70u);
    EXPECT_EQ(settings.Read(L"GainRed"), 40u);
    EXPECT_EQ(settings.Read(L"ColorTemperature"), 5u);
}
