#include "common/ComInitialization.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

const std::vector<uint8_t> kFourLevels{5, 30, 60, 100};

SimulatedLaptopPanelDescription PanelWith(std::vector<uint8_t> levels, uint8_t currentLevel = 100) {
    SimulatedLaptopPanelDescription description;
    description.present = true;
    description.levels = std::move(levels);
    description.currentLevel = currentLevel;
    return description;
}

// The calling thread's backlight on a simulated panel, attached the way a worker does.
class LaptopBacklightOnSimulatedPanel : public ::testing::Test {
protected:
    ~LaptopBacklightOnSimulatedPanel() override {
        DetachLaptopBacklight();
        RemoveSimulatedLaptopPanel();
    }

    ComPtr<LaptopBacklight> Attach(const SimulatedLaptopPanelDescription& description) {
        InstallSimulatedLaptopPanel(description);
        EXPECT_EQ(AttachLaptopBacklight(), S_OK);
        ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight();
        EXPECT_TRUE(backlight);
        return backlight;
    }

    static SimulatedLaptopPanelState PanelState() {
        const std::optional<SimulatedLaptopPanelState> state = ReadSimulatedLaptopPanel();
        EXPECT_TRUE(state.has_value());
        return state.value_or(SimulatedLaptopPanelState{});
    }

    ComInitialization com_{COINIT_APARTMENTTHREADED};
};

// An uneven table, so that a level is told apart from a percentage: the backlight sends
// the table's level at the percentage's index and reports the table's ends as its range.
TEST_F(LaptopBacklightOnSimulatedPanel, PercentagesSelectLevelsOfTheDriversTable) {
    ComPtr<LaptopBacklight> backlight = Attach(PanelWith(kFourLevels, 30));
    ASSERT_TRUE(backlight->QuerySupportedLevels());
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 30u);
    EXPECT_EQ(minimum, 5u);
    EXPECT_EQ(maximum, 100u);

    for (const uint32_t percent : {60u, 100u, 0u}) {
        EXPECT_EQ(backlight->SetLevelPercent(percent), S_OK) << percent;
    }
    EXPECT_EQ(PanelState().levelsSet, (std::vector<uint8_t>{60, 100, 5}));
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 5u);
}

TEST_F(LaptopBacklightOnSimulatedPanel, GetLevelAnswers100WhenThePanelCannotBeRead) {
    SimulatedLaptopPanelDescription description = PanelWith(kFourLevels, 30);
    description.getFails = true;
    ComPtr<LaptopBacklight> backlight = Attach(description);
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 100u);
    EXPECT_EQ(minimum, 5u);
    EXPECT_EQ(maximum, 100u);

    RemoveSimulatedLaptopPanel();
    DetachLaptopBacklight();
    backlight = Attach(PanelWith(kFourLevels, 30));
    // The platform lists one panel; there is nothing at the second position.
    EXPECT_EQ(backlight->GetLevel(1, minimum, maximum), 100u);
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 30u);
}

TEST_F(LaptopBacklightOnSimulatedPanel, AsksTheDriverOnlyUntilItAnswers) {
    // Connecting finds the brightness method and asks for the levels once.
    ComPtr<LaptopBacklight> backlight = Attach(PanelWith(kFourLevels));
    EXPECT_EQ(PanelState().deviceOpenCount, 1u);
    EXPECT_TRUE(backlight->QuerySupportedLevels());
    EXPECT_TRUE(backlight->QuerySupportedLevels());
    EXPECT_EQ(PanelState().deviceOpenCount, 1u);

    DetachLaptopBacklight();
    SimulatedLaptopPanelDescription refusing = PanelWith(kFourLevels);
    refusing.driverRequestFails = true;
    backlight = Attach(refusing);
    EXPECT_EQ(PanelState().deviceOpenCount, 1u);
    EXPECT_FALSE(backlight->QuerySupportedLevels());
    EXPECT_FALSE(backlight->QuerySupportedLevels());
    EXPECT_EQ(PanelState().deviceOpenCount, 3u);
}

TEST_F(LaptopBacklightOnSimulatedPanel, MachineWithoutPanelIsNoLaptopPanel) {
    SimulatedLaptopPanelDescription none;
    none.present = false;
    ComPtr<LaptopBacklight> backlight = Attach(none);
    EXPECT_FALSE(backlight->QuerySupportedLevels());
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(50)));
    EXPECT_TRUE(PanelState().levelsSet.empty());
}

TEST_F(LaptopBacklightOnSimulatedPanel, EmptyLevelTableSetsNothingAndReadsAsUnreadable) {
    // The driver request succeeds but reports no levels.
    ComPtr<LaptopBacklight> backlight = Attach(PanelWith({}, 40));
    EXPECT_TRUE(backlight->QuerySupportedLevels());
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(0)));
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(100)));
    EXPECT_TRUE(PanelState().levelsSet.empty());

    uint32_t minimum = 7;
    uint32_t maximum = 7;
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 100u);
    EXPECT_EQ(minimum, 0u);
    EXPECT_EQ(maximum, 100u);
}

TEST_F(LaptopBacklightOnSimulatedPanel, DriverWithoutBrightnessMethodSetsNothing) {
    // The panel driver answers, but WMI has no instance of the brightness methods.
    SimulatedLaptopPanelDescription description = PanelWith(kFourLevels);
    description.wmiMissing = true;
    ComPtr<LaptopBacklight> backlight = Attach(description);
    EXPECT_TRUE(backlight->QuerySupportedLevels());
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(50)));
    EXPECT_TRUE(PanelState().levelsSet.empty());
}

TEST_F(LaptopBacklightOnSimulatedPanel, RefusedSetLeavesThePanelAsItWas) {
    SimulatedLaptopPanelDescription description = PanelWith(kFourLevels, 70);
    description.setFails = true;
    ComPtr<LaptopBacklight> backlight = Attach(description);
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(20)));
    EXPECT_TRUE(PanelState().levelsSet.empty());
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 70u);
}

} // namespace
