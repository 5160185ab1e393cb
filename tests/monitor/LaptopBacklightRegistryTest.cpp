#include "common/ComInitialization.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// The per-thread registry, with a simulated panel so attaching never reaches the platform.
class LaptopBacklightRegistry : public ::testing::Test {
protected:
    LaptopBacklightRegistry() {
        SimulatedLaptopPanelDescription description;
        description.present = true;
        description.levels = {0, 50, 100};
        InstallSimulatedLaptopPanel(description);
    }
    ~LaptopBacklightRegistry() override {
        DetachLaptopBacklight();
        RemoveSimulatedLaptopPanel();
    }

    ComInitialization com_{COINIT_APARTMENTTHREADED};
};

TEST_F(LaptopBacklightRegistry, ThreadWithoutAttachHasNoBacklight) {
    EXPECT_FALSE(CurrentLaptopBacklight());
    EXPECT_EQ(static_cast<uint32_t>(DetachLaptopBacklight()), 0x80004005u);
}

TEST_F(LaptopBacklightRegistry, SecondAttachKeepsTheFirstInstance) {
    ASSERT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> first = CurrentLaptopBacklight();
    ASSERT_TRUE(first);
    EXPECT_EQ(AttachLaptopBacklight(), 183);
    EXPECT_EQ(CurrentLaptopBacklight().get(), first.get());
}

TEST_F(LaptopBacklightRegistry, DetachEndsTheThreadsBacklightAndAllowsANewOne) {
    ASSERT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> before = CurrentLaptopBacklight();
    EXPECT_EQ(DetachLaptopBacklight(), S_OK);
    EXPECT_FALSE(CurrentLaptopBacklight());
    EXPECT_EQ(DetachLaptopBacklight(), E_FAIL);

    // A reference taken before the detach keeps the instance usable.
    EXPECT_TRUE(before->QuerySupportedLevels());
    EXPECT_EQ(before->SetLevelPercent(100), S_OK);

    // As at a rebuild: detach, then attach again.
    EXPECT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> after = CurrentLaptopBacklight();
    ASSERT_TRUE(after);
    EXPECT_NE(after.get(), before.get());
}

TEST_F(LaptopBacklightRegistry, ReferenceCountFollowsAddRefAndRelease) {
    ASSERT_EQ(AttachLaptopBacklight(), S_OK);
    LaptopBacklight* backlight = CurrentLaptopBacklight().get(); // the registry keeps it alive
    // The registry's reference plus ours.
    EXPECT_EQ(backlight->AddRef(), 2u);
    EXPECT_EQ(backlight->Release(), 1u);

    IUnknown* unknown = nullptr;
    EXPECT_EQ(backlight->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(backlight));
    EXPECT_EQ(unknown->Release(), 1u);

    void* other = &unknown;
    EXPECT_EQ(backlight->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(backlight->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(LaptopBacklightRegistry, EachThreadHasItsOwnInstance) {
    ASSERT_EQ(AttachLaptopBacklight(), S_OK);
    const ComPtr<LaptopBacklight> mine = CurrentLaptopBacklight();

    constexpr int kThreads = 6;
    constexpr int kRounds = 50;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&] {
            ComInitialization com(COINIT_APARTMENTTHREADED);
            for (int round = 0; round < kRounds; ++round) {
                const bool hadNone = !CurrentLaptopBacklight();
                const HRESULT attached = AttachLaptopBacklight();
                const ComPtr<LaptopBacklight> own = CurrentLaptopBacklight();
                const bool distinct = own && own.get() != mine.get();
                const HRESULT detached = DetachLaptopBacklight();
                if (!hadNone || attached != S_OK || !distinct || detached != S_OK) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    // The other threads' comings and goings left this thread's instance alone.
    EXPECT_EQ(CurrentLaptopBacklight().get(), mine.get());
}

} // namespace
