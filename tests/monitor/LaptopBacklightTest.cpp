#include "common/ComInitialization.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/WmiLaptopPanel.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// The calling thread's backlight, attached the way a worker does.
class LaptopBacklightTest : public ::testing::Test {
protected:
    ~LaptopBacklightTest() override {
        DetachLaptopBacklight();
        RemoveSimulatedLaptopPanel();
    }

    // Installs the panel described ("none": no panel device) and attaches this thread's backlight.
    static ComPtr<LaptopBacklight> Attach(std::string_view description) {
        DetachLaptopBacklight();
        const SimulatedSetupParse parsed = ParseSimulatedSetup(description);
        EXPECT_TRUE(parsed.setup) << parsed.error;
        InstallSimulatedLaptopPanel(parsed.setup.value_or(SimulatedSetup{}).laptop);
        EXPECT_EQ(AttachLaptopBacklight(), S_OK);
        return CurrentLaptopBacklight();
    }
    static SimulatedLaptopPanelState Panel() { return ReadSimulatedLaptopPanel().value(); }

    ComInitialization com_{COINIT_APARTMENTTHREADED};
};

// Each thread attaches its own (again at a rebuild: the calibration program test); detached, one
// stays usable while referenced.
TEST_F(LaptopBacklightTest, OneBacklightPerThreadUsableWhileReferenced) {
    EXPECT_EQ(DetachLaptopBacklight(), E_FAIL);
    const ComPtr<LaptopBacklight> mine = Attach("laptop levels=0,50,100");
    ASSERT_TRUE(mine);
    EXPECT_EQ(AttachLaptopBacklight(), HRESULT{ERROR_ALREADY_EXISTS});
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i) {
        threads.emplace_back([&] {
            ComInitialization com(COINIT_APARTMENTTHREADED);
            for (int round = 0; round < 50; ++round) {
                const bool hadNone = !CurrentLaptopBacklight();
                const HRESULT attached = AttachLaptopBacklight();
                const ComPtr<LaptopBacklight> own = CurrentLaptopBacklight();
                if (!hadNone || attached != S_OK || !own || own.get() == mine.get() ||
                    DetachLaptopBacklight() != S_OK) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(CurrentLaptopBacklight().get(), mine.get()) << "another thread's detach ended this one";

    EXPECT_EQ(DetachLaptopBacklight(), S_OK);
    EXPECT_FALSE(CurrentLaptopBacklight());
    EXPECT_TRUE(mine->QuerySupportedLevels());
    EXPECT_EQ(mine->SetLevelPercent(100), S_OK);
}

// Unsettable is never recorded as set, unreadable reads as 100; the driver is asked until it answers.
TEST_F(LaptopBacklightTest, PanelsThatCannotBeSetOrRead) {
    struct Case {
        const char* description;
        bool levelsKnown;
        bool sets;
        uint32_t level, minimum, maximum;
        int opens; // the driver asked, counted after two queries; -1: not looked at
    };
    for (const Case& c : {
             Case{"none", false, false, 100, 0, 100, 0},
             Case{"laptop levels=none current=40", true, false, 100, 0, 100, -1}, // the driver lists no level
             Case{"laptop levels=5,30,60,100 current=70 fail=wmi", true, false, 100, 5, 100, 1},
             Case{"laptop levels=5,30,60,100 current=70 fail=set", true, false, 70, 5, 100, 1},
             Case{"laptop levels=5,30,60,100 current=70 fail=get", true, true, 100, 5, 100, 1},
             Case{"laptop levels=5,30,60,100 current=70 fail=driver", false, false, 100, 0, 100, 3},
         }) {
        SCOPED_TRACE(c.description);
        ComPtr<LaptopBacklight> backlight = Attach(c.description);
        EXPECT_EQ(backlight->QuerySupportedLevels(), c.levelsKnown);
        EXPECT_EQ(SUCCEEDED(backlight->SetLevelPercent(0)), c.sets);
        EXPECT_EQ(Panel().levelsSet, c.sets ? std::vector<uint8_t>{5} : std::vector<uint8_t>{});
        uint32_t minimum = 7;
        uint32_t maximum = 7;
        EXPECT_EQ(backlight->GetLevel(0, minimum, maximum), c.level);
        EXPECT_EQ(minimum, c.minimum);
        EXPECT_EQ(maximum, c.maximum);
        EXPECT_EQ(backlight->QuerySupportedLevels(), c.levelsKnown);
        if (c.opens >= 0) {
            EXPECT_EQ(Panel().deviceOpenCount, static_cast<uint32_t>(c.opens));
        }
    }
}

TEST_F(LaptopBacklightTest, OnThePlatformAMachineWithoutPanelNeverFailsTheStartAndIsNoLaptop) {
    RemoveSimulatedLaptopPanel();
    ASSERT_EQ(com_.Result(), S_OK);
    EXPECT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight();
    ASSERT_TRUE(backlight);
    // Wine has WMI but neither the brightness classes nor a panel device, as a desktop PC.
    if (!::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        GTEST_SKIP() << "needs a machine without a laptop panel";
    }
    // WMI is there, its enumeration of the brightness methods is just empty. (What the backlight
    // makes of such answers: the table's first row.)
    WmiLaptopPanel panel;
    int instancesFound = 0;
    EXPECT_EQ(panel.Connect([&] { ++instancesFound; }), WBEM_S_FALSE);
    EXPECT_EQ(instancesFound, 0);
    // Without the method's parameter class nothing may be spawned from it.
    EXPECT_EQ(panel.SetBrightness(50), kNoSetBrightnessMethod);
    std::vector<uint8_t> levels{1, 2};
    EXPECT_FALSE(panel.QueryDriverLevels(levels));
    EXPECT_EQ(levels, (std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(panel.ReadCurrentBrightness(0).has_value());
}

// A "__PATH" that is no text is no path (no panel to drive), never a failure that would end the start.
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
