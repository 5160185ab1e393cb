#include "MonitorTestSupport.h"

#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"
#include "monitor/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Op = SimulatedOperation;

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
    void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, settings.Path().c_str(), 0, nullptr, 0,
                                    KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
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
    WriteSettingDword(L"ColorTemperature", 9);
    // Values of another type or size, some of them exactly four bytes long.
    const DWORD thirty = 30;
    StoreRaw(L"Contrast", REG_BINARY, &thirty, sizeof(thirty));
    const wchar_t text[] = L"3";
    static_assert(sizeof(text) == 4);
    StoreRaw(L"GainRed", REG_SZ, text, sizeof(text));
    const uint16_t narrow = 30;
    StoreRaw(L"GainGreen", REG_DWORD, &narrow, sizeof(narrow));
    WriteSettingDword(L"GainBlue", 100);

    LoadMonitorSettings();
    EXPECT_EQ(SetCalls(), 1u);
    EXPECT_EQ(monitors->SentValues(Op::SetGain), (std::vector<uint32_t>{100}));
    uint32_t value = 7;
    EXPECT_FALSE(ReadSettingDword(L"Contrast", value));
    EXPECT_FALSE(ReadSettingDword(L"GainRed", value));
    EXPECT_EQ(value, 7u) << "the default stays";
}

TEST_F(SettingsStoreFixture, ReapplyOnAnAcceptingMonitorIsOneAttempt) {
    Build("monitor brightness=0..100:40 contrast=0..100:60 red=0..255:1 green=0..255:2 blue=0..255:3 temp=4");
    ReapplyMonitorValues();
    FinishWork();
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness), (std::vector<uint32_t>{40}));
    EXPECT_EQ(monitors->SentValues(Op::SetContrast), (std::vector<uint32_t>{60}));
    EXPECT_EQ(monitors->SentValues(Op::SetGain), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(monitors->SentValues(Op::SetColorTemperature), (std::vector<uint32_t>{4}));
    EXPECT_EQ(monitors->api().Calls().front().operation, Op::SetColorTemperature) << "the preset goes first";
}

TEST_F(SettingsStoreFixture, RefusingMonitorsCostThirtyAttemptsALaptopPanelOne) {
    Build(
        "monitor fail=set-brightness; display; monitor fail=set-temp; display; monitor fail=set-brightness:2;"
        "display; monitor fail=caps,set-brightness; laptop");
    ASSERT_TRUE(displayMonitors[3]->isLaptopPanel);
    ReapplyMonitorValues();
    const auto attemptsOn = [&](size_t display) {
        return monitors->SentValues(Op::SetBrightness, display).size();
    };
    ASSERT_TRUE(monitors->api().WaitUntil([&] { return attemptsOn(0) >= 30 && attemptsOn(2) >= 3; }));
    // A stop ends the retries: give a 31st attempt the time to show up first.
    EXPECT_FALSE(monitors->api().WaitUntil([&] { return attemptsOn(0) > 30; }, 3 * kReapplyPause.count()));
    FinishWork();
    const auto calls = monitors->api().Calls();
    std::vector<const SimulatedMonitorApi::Call*> attempts;
    for (const auto& call : calls) {
        if (call.operation == Op::SetBrightness && call.display == 0) {
            attempts.push_back(&call);
        }
    }
    ASSERT_EQ(attempts.size(), 30u);
    for (size_t i = 1; i < attempts.size(); ++i) {
        EXPECT_GE(attempts[i]->time - attempts[i - 1]->time, kReapplyPause) << "attempt " << i + 1;
    }
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 1, 0).size(), 1u) << "a refused preset does not count";
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 2, 0).size(), 3u);
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 3, 0).size(), 1u)
        << "its monitor refused DDC/CI already";
    for (const auto& call : calls) {
        EXPECT_EQ(call.threadId, displayMonitors[call.display]->worker->ThreadId())
            << "each display's own worker";
    }
}

TEST_F(SettingsStoreFixture, CommandsGoBeforeRetriesAndAStopEndsThem) {
    Build("monitor brightness=0..100:50 fail=set-contrast");
    ReapplyMonitorValues();
    ASSERT_TRUE(monitors->WaitForCalls(Op::SetContrast, 1));
    displayMonitors[0]->worker->PostCommand({1, 70});
    // The command goes out during a pause, not after the last retry; the retries then
    // carry on with its value.
    ASSERT_TRUE(monitors->api().WaitUntil([&] {
        const auto sent = monitors->SentValues(Op::SetBrightness);
        return std::count(sent.begin(), sent.end(), 70u) >= 2;
    }));
    FinishWork();
    EXPECT_LT(monitors->api().CountCalls(Op::SetContrast), static_cast<size_t>(kReapplyAttempts))
        << "the retries outlived the stop";
}

TEST_F(SettingsStoreFixture, WithoutAWorkerTheCallerReappliesWaitingForDeviceCallsInProgress) {
    Build("monitor set-latency=50");
    // The worker applies a command while this thread re-applies: never at once on one bus.
    displayMonitors[0]->worker->PostCommand({2, 30});
    ASSERT_TRUE(monitors->WaitForCallInProgress());
    displayMonitors[0]->ReapplyRememberedValues();
    EXPECT_EQ(monitors->api().OverlapCount(), 0u);

    FinishWork();
    monitors->api().ClearCalls();
    monitors->api().SetFailures(0, 0, Op::SetBrightness, 2);
    ReapplyMonitorValues();
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness).size(), 3u);
    for (const auto& call : monitors->api().Calls()) {
        EXPECT_EQ(call.threadId, ::GetCurrentThreadId());
    }
}

TEST_F(SettingsStoreFixture, AFactoryResetStoresWhatTheReferenceMonitorReportsAfterwards) {
    const std::string reference =
        "monitor brightness=0..50:10 contrast=0..100:70 red=0..100:40 green=0..200:50 "
        "blue=0..100:60 temp=5 caps=0xC00;";
    const std::string other = "display; monitor brightness=90 contrast=10 red=10 green=10 blue=10 temp=2;";
    // Two displays run on this thread; more than four on the threads of a parallel loop.
    for (int displays : {2, 5}) {
        SCOPED_TRACE(displays);
        std::string description = reference + "monitor caps=0;";
        for (int i = 1; i < displays; ++i) {
            description += other;
        }
        Build(description);
        for (DisplayMonitor* display : displayMonitors) {
            display->SetBrightness(100);
            display->SetGain(1, 0);
        }
        monitors->api().ClearCalls();

        RestoreAllFactoryDefaults();
        EXPECT_EQ(monitors->Monitor(0, 0).brightness.current, 10u);
        EXPECT_EQ(monitors->Monitor(0, 1).brightness.current, 100u) << "not reset: no capability";
        EXPECT_EQ(monitors->api().CountCalls(Op::RestoreFactoryDefaults), static_cast<size_t>(displays));
        EXPECT_EQ(settings.Read(L"Brightness"), 20u);
        EXPECT_EQ(settings.Read(L"Contrast"), 70u);
        EXPECT_EQ(settings.Read(L"GainRed"), 40u);
        EXPECT_EQ(settings.Read(L"GainGreen"), 25u);
        EXPECT_EQ(settings.Read(L"GainBlue"), 60u);
        EXPECT_EQ(settings.Read(L"ColorTemperature"), 5u);
        DestroyDisplayMonitors();
        monitors.reset();
    }
}
