#include "MonitorTestSupport.h"

namespace {

using Op = SimulatedOperation;
using ParameterFixture = SimulatedInventoryTest;

} // namespace

// Each monitor gets the percentage in its own range; a refusal keeps its value; the percentage is stored.
TEST_F(ParameterFixture, BrightnessIsSentInEachMonitorsOwnRangeAndStoredEvenWhenRefused) {
    Build("monitor brightness=0..100:0; monitor brightness=0..50:10 fail=set-brightness");
    First().SetBrightness(40);
    EXPECT_EQ(Sent(Op::SetBrightness, 0, 0), (std::vector<uint32_t>{40}));
    EXPECT_EQ(Sent(Op::SetBrightness, 0, 1), (std::vector<uint32_t>{20}));
    EXPECT_EQ(First().physicalMonitors[0].brightnessCurrent, 40u);
    EXPECT_EQ(First().physicalMonitors[1].brightnessCurrent, 10u);
    EXPECT_EQ(Stored(L"Brightness"), 40u);
}

TEST_F(ParameterFixture, GainsGoToTheirChannelAndSetting) {
    Build("monitor red=0..100:0 green=0..200:0 blue=0..100:0");
    First().SetGain(1, 50);
    EXPECT_EQ(Monitor(0, 0).gain[0].current, 0u);
    EXPECT_EQ(Monitor(0, 0).gain[1].current, 100u);
    EXPECT_EQ(Stored(L"GainGreen"), 50u);
    EXPECT_EQ(First().GainPercent(1), 50u);

    First().SetGain(3, 50); // no such channel: nothing sent, nothing stored
    EXPECT_EQ(api->CountCalls(Op::SetGain), 1u);
}

// Presets go only to monitors that support them; zero clears the preset and sends nothing.
TEST_F(ParameterFixture, ColorTemperaturePresetsOnlyWhereSupported) {
    Build("monitor temp=2 temps=2,6; monitor temp=3 temps=3");
    First().SetColorTemperature(3);
    EXPECT_EQ(Sent(Op::SetColorTemperature, 0, 0), std::vector<uint32_t>{});
    EXPECT_EQ(Sent(Op::SetColorTemperature, 0, 1), (std::vector<uint32_t>{3}));
    EXPECT_EQ(First().physicalMonitors[0].colorTemperature, 2u);
    EXPECT_EQ(Stored(L"ColorTemperature"), 3u);

    First().SetColorTemperature(0);
    EXPECT_EQ(api->CountCalls(Op::SetColorTemperature), 1u);
    EXPECT_EQ(First().physicalMonitors[0].colorTemperature, 0u);
    EXPECT_EQ(First().physicalMonitors[1].colorTemperature, 0u);
    EXPECT_EQ(Stored(L"ColorTemperature"), 0u);
}

TEST_F(ParameterFixture, ReadingRefreshesRememberedValuesAndAFailedReadKeepsThem) {
    Build("monitor brightness=0..100:20 contrast=0..100:60");
    api->SetFailures(0, 0, Op::GetContrast, kAlwaysFails);
    api->SetMonitorBrightness(First().physicalMonitors[0].handle, 70);
    api->SetMonitorContrast(First().physicalMonitors[0].handle, 10);
    First().ReadBrightness();
    First().ReadContrast();
    EXPECT_EQ(First().BrightnessPercent(), 70u);
    EXPECT_EQ(First().physicalMonitors[0].contrastCurrent, 60u);
}
