#include "common/ComInitialization.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedLaptopPanel.h"
#include "monitor/WmiLaptopPanel.h"

#include <gtest/gtest.h>

namespace {

// Wine has WMI but neither the brightness classes nor a panel device, as a desktop PC.
bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The platform's WMI and panel driver, without a simulated panel.
class LaptopBacklightOnPlatform : public ::testing::Test {
protected:
    LaptopBacklightOnPlatform() { RemoveSimulatedLaptopPanel(); }
    ~LaptopBacklightOnPlatform() override { DetachLaptopBacklight(); }

    ComInitialization com_{COINIT_APARTMENTTHREADED};
};

TEST_F(LaptopBacklightOnPlatform, AttachingNeverFailsTheStartForLackOfAPanel) {
    ASSERT_EQ(com_.Result(), S_OK);
    EXPECT_EQ(AttachLaptopBacklight(), S_OK);
    EXPECT_TRUE(CurrentLaptopBacklight());
}

TEST_F(LaptopBacklightOnPlatform, MachineWithoutPanelAnswersAsNoLaptop) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "needs a machine without a laptop panel";
    }
    ASSERT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight();
    ASSERT_TRUE(backlight);
    EXPECT_FALSE(backlight->QuerySupportedLevels());
    EXPECT_TRUE(FAILED(backlight->SetLevelPercent(50)));
    uint32_t minimum = 1;
    uint32_t maximum = 1;
    EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), 100u);
}

TEST_F(LaptopBacklightOnPlatform, WmiPanelWithoutBrightnessClassesReadsAndSetsNothing) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "needs a machine without a laptop panel";
    }
    WmiLaptopPanel panel;
    int instancesFound = 0;
    const HRESULT connected = panel.Connect([&] { ++instancesFound; });
    // WMI is there, its enumeration of the brightness methods is just empty.
    EXPECT_EQ(connected, WBEM_S_FALSE);
    EXPECT_EQ(instancesFound, 0);
    // Without the method's parameter class nothing may be spawned from it.
    EXPECT_EQ(panel.SetBrightness(50), kNoSetBrightnessMethod);

    std::vector<uint8_t> levels{1, 2};
    EXPECT_FALSE(panel.QueryDriverLevels(levels));
    EXPECT_EQ(levels, (std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(panel.ReadCurrentBrightness(0).has_value());
}

// A "__PATH" that is no text means "no path" (no panel to drive), like an empty one,
// never a failure: a failure would end the program at start.
TEST(WmiObjectPath, AnythingButTextIsNoPath) {
    UniqueVariant text;
    ASSERT_EQ(text.SetString(L"\\\\HOST\\root\\wmi:WmiMonitorBrightnessMethods.InstanceName=\"x\""), S_OK);
    UniqueBstr path;
    ASSERT_EQ(TakeObjectPath(*text, path), S_OK);
    EXPECT_STREQ(path.get(), (*text).bstrVal);

    UniqueVariant empty;
    ASSERT_EQ(empty.SetString(L""), S_OK);
    UniqueVariant number;
    number.get()->vt = VT_I4;
    number.get()->lVal = 7;
    UniqueVariant null;
    null.get()->vt = VT_NULL;
    for (const VARIANT* other : {empty.get(), number.get(), null.get()}) {
        EXPECT_EQ(TakeObjectPath(*other, path), S_OK) << other->vt;
        EXPECT_FALSE(path) << other->vt;
        path = UniqueBstr(L"earlier");
    }
}

} // namespace
