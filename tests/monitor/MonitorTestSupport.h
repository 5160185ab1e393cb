#pragma once

#include "simulator/SimulatedMonitorApi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Simulated monitors for one test; the real interface is back afterwards.
class SimulatedMonitors {
public:
    explicit SimulatedMonitors(std::string_view description);
    ~SimulatedMonitors();
    SimulatedMonitors(const SimulatedMonitors&) = delete;
    SimulatedMonitors& operator=(const SimulatedMonitors&) = delete;

    SimulatedMonitorApi& api() { return *api_; }
    const SimulatedMonitorDescription& Monitor(size_t display, size_t monitor);
    // Set calls of one operation on one monitor, in order, with the values sent.
    std::vector<uint32_t> SentValues(SimulatedOperation operation, size_t display = 0,
                                     size_t monitor = 0) const;
    // Wait until `count` calls of `operation` have ended, or until some call is under way;
    // false when that takes longer than a run could.
    bool WaitForCalls(SimulatedOperation operation, size_t count);
    bool WaitForCallInProgress();

private:
    std::unique_ptr<SimulatedMonitorApi> api_;
    SimulatedSetup snapshot_;
};

// A throwaway settings key under HKEY_CURRENT_USER, deleted before and after the test,
// so tests never touch a user's real settings.
class ScratchSettingsKey {
public:
    ScratchSettingsKey();
    ~ScratchSettingsKey();
    ScratchSettingsKey(const ScratchSettingsKey&) = delete;
    ScratchSettingsKey& operator=(const ScratchSettingsKey&) = delete;

    const std::wstring& Path() const { return path_; }
    std::optional<uint32_t> Read(const wchar_t* name) const;
    bool Exists() const;

private:
    std::wstring path_;
};

// Simulated monitors, their inventory and a scratch settings key for one test.
class SimulatedInventoryTest : public ::testing::Test {
protected:
    // Installs the monitors, builds the inventory and forgets the calls that made it.
    void Build(std::string_view description);
    void TearDown() override;

    ScratchSettingsKey settings;
    std::unique_ptr<SimulatedMonitors> monitors;
};
