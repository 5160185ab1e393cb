#include "simulator/SimulatedMonitorDescription.h"

#include <gtest/gtest.h>

namespace {

SimulatedSetup Parse(std::string_view text) {
    SimulatedSetupParse parsed = ParseSimulatedSetup(text);
    EXPECT_TRUE(parsed.setup) << parsed.error;
    return parsed.setup.value_or(SimulatedSetup{});
}

std::string ErrorOf(std::string_view text) {
    SimulatedSetupParse parsed = ParseSimulatedSetup(text);
    EXPECT_FALSE(parsed.setup) << "accepted: " << text;
    return parsed.error;
}

} // namespace

TEST(SimulatedSetup, DisplaysMonitorsAndLaptopPanel) {
    const SimulatedSetup setup =
        Parse("display 2560x1440; monitor name=Left_Screen brightness=0..50:25 "
              "red=10..200:100 blue=0..255:7 temp=2 temps=2,6 caps=0x400; monitor;"
              " display 1280x1024+-1280+0 fail=count; laptop levels=5,30,60,100 current=30");
    ASSERT_EQ(setup.displays.size(), 2u);
    const SimulatedDisplayDescription& first = setup.displays[0];
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.width, 2560);
    ASSERT_EQ(first.monitors.size(), 2u);
    const SimulatedMonitorDescription& left = first.monitors[0];
    EXPECT_EQ(left.name, "Left Screen");
    EXPECT_EQ(left.brightness, (SimulatedRange{0, 25, 50}));
    EXPECT_EQ(left.gain[0], (SimulatedRange{10, 100, 200}));
    EXPECT_EQ(left.contrast, SimulatedRange{});
    EXPECT_EQ(left.colorTemperature, 2u);
    EXPECT_EQ(left.supportedColorTemperatures, 0b0010'0010u);
    EXPECT_EQ(left.capabilities, 0x400u);
    const SimulatedDisplayDescription& second = setup.displays[1];
    EXPECT_EQ(second.left, -1280);
    EXPECT_EQ(second.top, 0);
    EXPECT_TRUE(second.countFails);
    EXPECT_TRUE(second.monitors.empty());
    EXPECT_TRUE(setup.laptop.present);
    EXPECT_EQ(setup.laptop.levels, (std::vector<uint8_t>{5, 30, 60, 100}));
    EXPECT_EQ(setup.laptop.currentLevel, 30);
}

TEST(SimulatedSetup, DisplaysLineUpFromThePrimaryFailuresLatenciesAndNone) {
    const SimulatedSetup setup =
        Parse("# three displays; monitor; # brightness=lots; display; display 800x600");
    ASSERT_EQ(setup.displays.size(), 3u);
    EXPECT_EQ(setup.displays[0].left, 0); // a monitor first gets a display of its own
    EXPECT_EQ(setup.displays[0].monitors.size(), 1u);
    EXPECT_EQ(setup.displays[1].left, 1920);
    EXPECT_EQ(setup.displays[2].left, 3840);
    EXPECT_EQ(setup.displays[2].width, 800);

    const SimulatedMonitorDescription monitor =
        Parse("monitor latency=50 get-latency=40 fail=caps,set-brightness:3").displays.at(0).monitors.at(0);
    EXPECT_EQ(monitor.setLatencyMs, 50u);
    EXPECT_EQ(monitor.getLatencyMs, 40u);
    EXPECT_EQ(monitor.capabilitiesLatencyMs, 50u);
    EXPECT_EQ(monitor.failures[static_cast<size_t>(SimulatedOperation::Capabilities)], kAlwaysFails);
    EXPECT_EQ(monitor.failures[static_cast<size_t>(SimulatedOperation::SetBrightness)], 3u);
    EXPECT_EQ(monitor.failures[static_cast<size_t>(SimulatedOperation::SetContrast)], 0u);

    const SimulatedSetup none = Parse("none");
    EXPECT_TRUE(none.displays.empty());
    EXPECT_FALSE(none.laptop.present);
    EXPECT_EQ(FormatSimulatedSetup(none), "none\n");
}

TEST(SimulatedSetup, MalformedDescriptionsNameTheStatementAndTheFault) {
    EXPECT_NE(ErrorOf("").find("empty"), std::string::npos);
    EXPECT_NE(ErrorOf("display; monitor brightnes=5").find("statement 2"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightnes=5").find("brightnes"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightness=0..100").find("MIN..MAX:CURRENT"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightness=abc").find("abc"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor temp=9").find("0 to 8"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor fail=explode").find("explode"), std::string::npos);
    EXPECT_NE(ErrorOf("display 0x600").find("positive"), std::string::npos);
    EXPECT_NE(ErrorOf("screen").find("screen"), std::string::npos);
    EXPECT_NE(ErrorOf("none; monitor").find("none"), std::string::npos);
    EXPECT_NE(ErrorOf("laptop levels=5,300").find("0 to 255"), std::string::npos);
    ErrorOf("monitor brightness=99999999999");
}
