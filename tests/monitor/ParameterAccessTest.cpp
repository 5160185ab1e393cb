#include "MonitorTestSupport.h"

#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"

#include <gtest/gtest.h>

namespace {

using Op = SimulatedOperation;

class ParameterFixture : public SimulatedInventoryTest {
protected:
    DisplayMonitor& First() { return *displayMonitors.at(0); }
};

} // namespace

TEST_F(ParameterFixture, BrightnessIsSentInEachMonitorsOwnRange) {
    Build("monitor brightness=0..100:0; monitor brightness=0..50:0; monitor brightness=7..7:7");
    First().SetBrightness(40);
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 0, 0), (std::vector<uint32_t>{40}));
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 0, 1), (std::vector<uint32_t>{20}));
    EXPECT_EQ(monitors->SentValues(Op::SetBrightness, 0, 2), (std::vector<uint32_t>{7}));
    EXPECT_EQ(First().BrightnessPercent(), 40u);
    EXPECT_EQ(settings.Read(L"Brightness"), 40u);

    First().SetBrightness(33);
    EXPECT_EQ(monitors->Monitor(0, 1).brightness.current, 16u);
    EXPECT_EQ(First().physicalMonitors[2].brightnessCurrent, 7u);
}

TEST_F(ParameterFixture, ATruncatedValueReadsBackOneStepLower) {
    Build("monitor brightness=0..50:0 contrast=9..9:9");
    First().SetBrightness(33);
    EXPECT_EQ(First().BrightnessPercent(), 32u);
    EXPECT_EQ(First().ContrastPercent(), 0u) << "equal minimum and maximum read as 0";
}

TEST_F(ParameterFixture, AnInvertedRangeNeverProducesAWrappedValue) {
    Build("monitor brightness=80..20:50");
    First().SetBrightness(50);
    for (const auto& call : monitors->api().Calls()) {
        EXPECT_LE(call.value, 80u);
    }
    EXPECT_EQ(First().BrightnessPercent(), 0u);
}

TEST_F(ParameterFixture, ARefusedValueKeepsTheRememberedOneButIsStored) {
    Build("monitor contrast=0..100:60 fail=set-contrast");
    First().SetContrast(10);
    EXPECT_EQ(First().physicalMonitors[0].contrastCurrent, 60u);
    EXPECT_EQ(settings.Read(L"Contrast"), 10u);
}

TEST_F(ParameterFixture, GainsGoToTheirChannelAndSetting) {
    Build("monitor red=0..255:0 green=0..255:0 blue=0..255:0");
    First().SetGain(1, 50);
    const SimulatedMonitorDescription& state = monitors->Monitor(0, 0);
    EXPECT_EQ(state.gain[0].current, 0u);
    EXPECT_EQ(state.gain[1].current, 127u);
    EXPECT_EQ(settings.Read(L"GainGreen"), 50u);
    EXPECT_EQ(First().GainPercent(1), 49u);

    First().SetGain(3, 50); // no such channel: nothing sent, nothing stored
    EXPECT_EQ(monitors->api().CountCalls(Op::SetGain), 1u);
}

TEST_F(ParameterFixture, ColorTemperaturePresetsOnlyWhereSupported) {
    Build("monitor temp=2 temps=2,6; monitor temp=3 temps=3");
    First().SetColorTemperature(3);
    EXPECT_EQ(monitors->SentValues(Op::SetColorTemperature, 0, 0), std::vector<uint32_t>{});
    EXPECT_EQ(monitors->SentValues(Op::SetColorTemperature, 0, 1), (std::vector<uint32_t>{3}));
    EXPECT_EQ(First().physicalMonitors[0].colorTemperature, 2u);
    EXPECT_EQ(settings.Read(L"ColorTemperature"), 3u);

    First().SetColorTemperature(0);
    EXPECT_EQ(monitors->api().CountCalls(Op::SetColorTemperature), 1u);
    EXPECT_EQ(First().physicalMonitors[0].colorTemperature, 0u);
    EXPECT_EQ(First().physicalMonitors[1].colorTemperature, 0u);
    EXPECT_EQ(settings.Read(L"ColorTemperature"), 0u);
}

TEST_F(ParameterFixture, NearestColorTemperatureAsksEveryMonitor) {
    Build("monitor temps=3,5; monitor temps=6");
    EXPECT_EQ(First().NearestColorTemperature(4), 6u);
    EXPECT_EQ(First().NearestColorTemperature(0), 0u);
}

TEST_F(ParameterFixture, ReadingRefreshesRememberedValuesAndAFailedReadKeepsThem) {
    Build("monitor brightness=0..100:20 fail=get-contrast");
    monitors->api().SetMonitorBrightness(First().physicalMonitors[0].handle, 70);
    First().ReadBrightness();
    EXPECT_EQ(First().BrightnessPercent(), 70u);
    const uint32_t contrastBefore = First().physicalMonitors[0].contrastCurrent;
    First().ReadContrast();
    EXPECT_EQ(First().physicalMonitors[0].contrastCurrent, contrastBefore);
}

TEST(Settings, ValuesOfTheWrongTypeOrSizeReadAsMissing) {
    ScratchSettingsKey settings;
    EXPECT_FALSE(settings.Read(L"Brightness"));
    ASSERT_TRUE(WriteSettingDword(L"Brightness", 42));
    EXPECT_EQ(settings.Read(L"Brightness"), 42u);

    UniqueHkey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, settings.Path().c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              key.put()),
              ERROR_SUCCESS);
    const wchar_t text[] = L"42";
    ::RegSetValueExW(key.get(), L"Contrast", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    const uint64_t wide = 42;
    ::RegSetValueExW(key.get(), L"GainRed", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof(wide));
    const uint16_t narrow = 42;
    ::RegSetValueExW(key.get(), L"GainBlue", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&narrow),
                     sizeof(narrow));

    uint32_t value = 7;
    EXPECT_FALSE(ReadSettingDword(L"Contrast", value));
    EXPECT_FALSE(ReadSettingDword(L"GainRed", value));
    EXPECT_FALSE(ReadSettingDword(L"GainBlue", value));
    EXPECT_EQ(value, 7u) << "the default stays";
}
