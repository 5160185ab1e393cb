// The stored calibration on counted simulated monitors: a left-out one gets no call on any road.
#include "MonitorTestSupport.h"

#include "monitor/CalibrationStore.h"

using Op = SimulatedOperation;

TEST_F(SimulatedInventoryTest, ALeftOutMonitorIsNeverWrittenAndACalibratedOneTakesItsShare) {
    ASSERT_TRUE(StoreCalibration(L"LEFT OUT", L"TV", {{0, 100}, {0, 100}, true}));
    ASSERT_TRUE(StoreCalibration(L"B", L"Office", {{20, 60}, {0, 100}, false}));
    // A value of the wrong type makes its monitor read as uncalibrated.
    ASSERT_TRUE(StoreCalibration(L"C", L"Spare", {{20, 60}, {0, 100}, false}));
    const uint32_t binary = 20;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (SettingsKeyPath() + L"\\Monitors\\C").c_str(),
                                L"BrightnessLow", REG_BINARY, &binary, sizeof(binary)),
              ERROR_SUCCESS);
    Build("display; monitor id=LEFT_OUT brightness=0..100:50; monitor id=B brightness=0..200:100; "
          "display; monitor id=C");
    DisplayMonitor& display = *displayMonitors.at(0);
    ASSERT_TRUE(display.physicalMonitors.at(0).IsExcluded());
    EXPECT_EQ(displayMonitors.at(1)->physicalMonitors.at(0).Calibration(), MonitorCalibration{});

    display.SetBrightness(50);
    EXPECT_TRUE(Sent(Op::SetBrightness, 0, 0).empty());
    EXPECT_EQ(Sent(Op::SetBrightness, 0, 1), std::vector<uint32_t>{80});
    // The reference is the adjusted monitor, read back through its share.
    EXPECT_EQ(display.ReferenceMonitor(MonitorParameter::Brightness), &display.physicalMonitors[1]);
    EXPECT_EQ(display.BrightnessPercent(), 50u);

    api->ClearCalls();
    EXPECT_EQ(display.SendRememberedValues(), ReapplyAttempt::Accepted);
    display.SetColorTemperature(5);
    display.RestoreFactoryDefaults();
    for (const SimulatedMonitorApi::Call& call : api->Calls()) {
        const bool write = call.operation == Op::SetBrightness || call.operation == Op::SetContrast ||
                           call.operation == Op::SetGain || call.operation == Op::SetColorTemperature ||
                           call.operation == Op::RestoreFactoryDefaults ||
                           call.operation == Op::RestoreFactoryColorDefaults;
        EXPECT_FALSE(write && call.monitor == 0) << SimulatedOperationName(call.operation);
    }
    EXPECT_FALSE(Sent(Op::SetBrightness, 0, 1).empty()) << "the other monitor was re-applied";
}
