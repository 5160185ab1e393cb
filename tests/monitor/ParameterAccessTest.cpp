#include "MonitorTestSupport.h"

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
