#include "MonitorTestSupport.h"

#include "common/UniqueResource.h"
#include "monitor/SettingsStore.h"

#include <algorithm>

namespace {

using Op = SimulatedOperation;

using SettingsStoreFixture = SimulatedInventoryTest;

} // namespace

// Each stored value goes to every display, nothing else is sent, and nothing is written.
TEST_F(SettingsStoreFixture, StoredValuesAndOnlyThoseReachEveryDisplay) {
    Build("monitor temp=3; display; monitor temp=5");
    LoadMonitorSettings();
    EXPECT_TRUE(api->Calls().empty());
    UniqueHkey key;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey.Path().c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                              key.put()),
              ERROR_SUCCESS)
        << "loading wrote settings";

    WriteSettingDword(L"Contrast", 30);
    WriteSettingDword(L"ColorTemperature", 0); // clears the presets, sends nothing
    LoadMonitorSettings();
    EXPECT_EQ(Sent(Op::SetContrast, 0), (std::vector<uint32_t>{30}));
    EXPECT_EQ(Sent(Op::SetContrast, 1), (std::vector<uint32_t>{30}));
    EXPECT_EQ(api->Calls().size(), 2u);
    EXPECT_EQ(displayMonitors[0]->ColorTemperaturePreset(), 0u);
    EXPECT_EQ(displayMonitors[1]->ColorTemperaturePreset(), 0u);
    EXPECT_FALSE(Stored(L"Brightness"));
}

TEST_F(SettingsStoreFixture, CorruptStoredValuesAreNeverSent) {
    Build("monitor");
    WriteSettingDword(L"Brightness", 150);
    WriteSettingDword(L"ColorTemperature", 9);
    // Values of another type or size, some of them exactly four bytes long.
    const auto storeRaw = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_TRUE(test_support::WriteValue(HKEY_CURRENT_USER, settingsKey.Path(), name, type, data, size));
    };
    const DWORD thirty = 30;
    storeRaw(L"Contrast", REG_BINARY, &thirty, sizeof(thirty));
    const wchar_t text[] = L"3";
    static_assert(sizeof(text) == 4);
    storeRaw(L"GainRed", REG_SZ, text, sizeof(text));
    const uint16_t narrow = 30;
    storeRaw(L"GainGreen", REG_DWORD, &narrow, sizeof(narrow));
    WriteSettingDword(L"GainBlue", 100);

    LoadMonitorSettings();
    EXPECT_EQ(api->Calls().size(), 1u);
    EXPECT_EQ(Sent(Op::SetGain), (std::vector<uint32_t>{100}));
    uint32_t value = 7;
    EXPECT_FALSE(ReadSettingDword(L"Contrast", value));
    EXPECT_FALSE(ReadSettingDword(L"GainRed", value));
    EXPECT_EQ(value, 7u) << "the default stays";
}

// A re-apply sends the remembered values, preset first, until accepted: at most 30 attempts, one on a laptop.
TEST_F(SettingsStoreFixture, RefusingMonitorsCostThirtyAttemptsALaptopPanelOne) {
    Build(
        "monitor fail=set-brightness; display; monitor brightness=0..100:40 contrast=0..100:60 red=0..255:1 "
        "green=0..255:2 blue=0..255:3 temp=4 fail=set-temp; display; monitor fail=set-brightness:2; display; "
        "monitor fail=caps,set-brightness; laptop");
    ASSERT_TRUE(displayMonitors[3]->isLaptopPanel);
    WriteSettingDword(L"ReapplyPatience", 0); // the quick attempts only
    ReapplyMonitorValues();
    const auto attemptsOn = [&](size_t display) { return Sent(Op::SetBrightness, display).size(); };
    ASSERT_TRUE(api->WaitUntil([&] { return attemptsOn(0) >= 30 && attemptsOn(2) >= 3; }));
    // A stop ends the retries: give a 31st attempt the time to show up first.
    EXPECT_FALSE(api->WaitUntil([&] { return attemptsOn(0) > 30; }, 3 * kReapplyPause.count()));
    FinishWork();
    EXPECT_EQ(attemptsOn(0), 30u);
    ASSERT_EQ(Sent(Op::SetColorTemperature, 1), (std::vector<uint32_t>{4}));
    EXPECT_EQ(Sent(Op::SetBrightness, 1), (std::vector<uint32_t>{40})) << "a refused preset does not count";
    EXPECT_EQ(Sent(Op::SetContrast, 1), (std::vector<uint32_t>{60}));
    EXPECT_EQ(Sent(Op::SetGain, 1), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(attemptsOn(2), 3u);
    EXPECT_EQ(attemptsOn(3), 1u) << "its monitor refused DDC/CI already";
    const auto calls = api->Calls();
    const auto onDisplay1 =
        std::find_if(calls.begin(), calls.end(), [](const auto& call) { return call.display == 1; });
    EXPECT_EQ(onDisplay1->operation, Op::SetColorTemperature) << "the preset goes first";
    std::chrono::steady_clock::time_point previous{};
    for (const auto& call : calls) {
        EXPECT_EQ(call.threadId, displayMonitors[call.display]->worker->ThreadId())
            << "each display's own worker";
        if (call.display == 0 && call.operation == Op::SetBrightness) {
            EXPECT_GE(call.time - previous, kReapplyPause);
            previous = call.time;
        }
    }
}

TEST_F(SettingsStoreFixture, WithoutAWorkerTheCallerReappliesWaitingForDeviceCallsInProgress) {
    Build("monitor set-latency=50");
    // The worker applies a command while this thread re-applies: never at once on one bus.
    displayMonitors[0]->worker->PostCommand({2, 30});
    ASSERT_TRUE(api->WaitUntil([&] { return api->CallsInProgress() > 0; }));
    displayMonitors[0]->ReapplyRememberedValues();
    EXPECT_EQ(api->OverlapCount(), 0u);

    FinishWork();
    api->ClearCalls();
    api->SetFailures(0, 0, Op::SetBrightness, 2);
    ReapplyMonitorValues();
    EXPECT_EQ(Sent(Op::SetBrightness).size(), 3u);
    for (const auto& call : api->Calls()) {
        EXPECT_EQ(call.threadId, ::GetCurrentThreadId());
    }
}

TEST_F(SettingsStoreFixture, AFactoryResetStoresWhatTheReferenceMonitorReportsAfterwards) {
    const std::string reference =
        "monitor brightness=0..50:10 contrast=0..100:70 red=0..100:40 green=0..200:50 "
        "blue=0..100:60 temp=5 caps=0xC00; monitor caps=0;";
    const std::string other = "display; monitor brightness=90 contrast=10 red=10 green=10 blue=10 temp=2;";
    // Two displays run on this thread; more than four on the threads of a parallel loop.
    for (const int displays : {2, 5}) {
        SCOPED_TRACE(displays);
        std::string description = reference;
        for (int i = 1; i < displays; ++i) {
            description += other;
        }
        Build(description);
        for (DisplayMonitor* display : displayMonitors) {
            display->SetBrightness(100);
            display->SetGain(1, 0);
        }
        api->ClearCalls();

        RestoreAllFactoryDefaults();
        EXPECT_EQ(Monitor(0, 0).brightness.current, 10u);
        EXPECT_EQ(Monitor(0, 1).brightness.current, 100u) << "not reset: no capability";
        EXPECT_EQ(api->CountCalls(Op::RestoreFactoryDefaults), size_t(displays));
        const std::pair<const wchar_t*, uint32_t> expected[] = {
            {L"Brightness", 20}, {L"Contrast", 70}, {L"GainRed", 40},
            {L"GainGreen", 25},  {L"GainBlue", 60}, {L"ColorTemperature", 5}};
        for (const auto& [name, value] : expected) {
            EXPECT_EQ(Stored(name), value) << name;
        }
    }
}

// A factory reset ends a re-apply still retrying: its earlier values must not follow the reset.
TEST_F(SettingsStoreFixture, AFactoryResetEndsAReapplyUnderWay) {
    Build("monitor brightness=0..100:50 contrast=0..100:50 caps=0xC00 fail=set-contrast");
    displayMonitors[0]->SetBrightness(40);
    ReapplyMonitorValues();
    ASSERT_TRUE(api->WaitUntil([&] { return api->CountCalls(Op::SetContrast) >= 2; })) << "no retries";
    RestoreAllFactoryDefaults();
    FinishWork();
    EXPECT_EQ(Monitor(0, 0).brightness.current, 50u);
    EXPECT_EQ(Stored(L"Brightness"), 50u);
}
