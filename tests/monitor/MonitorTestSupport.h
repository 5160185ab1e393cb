#pragma once

#include "ScopedSettingsKey.h"

#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"
#include "simulator/SimulatedLaptopPanel.h"
#include "simulator/SimulatedMonitorApi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Simulated monitors and their inventory for one test, with a throwaway settings key.
class SimulatedInventoryTest : public ::testing::Test {
protected:
    ~SimulatedInventoryTest() override { Remove(); }

    // Installs the monitors and laptop panel described, builds the inventory, forgets its calls.
    void Build(std::string_view description) {
        Remove();
        SimulatedSetupParse parsed = ParseSimulatedSetup(description);
        ASSERT_TRUE(parsed.setup) << parsed.error;
        InstallSimulatedLaptopPanel(parsed.setup->laptop);
        api = std::make_unique<SimulatedMonitorApi>(std::move(*parsed.setup));
        SetMonitorApi(api.get());
        EnumerateDisplayMonitors();
        api->ClearCalls();
    }
    void Remove() {
        DestroyDisplayMonitors();
        SetMonitorApi(nullptr);
        RemoveSimulatedLaptopPanel();
        api.reset();
    }

    DisplayMonitor& First() { return *displayMonitors.at(0); }
    // Stopping the workers waits for what they were doing, a re-apply included.
    void FinishWork() {
        for (DisplayMonitor* display : displayMonitors) {
            display->worker->Stop();
        }
    }
    SimulatedMonitorDescription Monitor(size_t display, size_t monitor) const {
        return api->State().displays.at(display).monitors.at(monitor);
    }
    // The values of one operation's calls on one monitor, in order.
    std::vector<uint32_t> Sent(SimulatedOperation operation, size_t display = 0, size_t monitor = 0) const {
        std::vector<uint32_t> values;
        for (const SimulatedMonitorApi::Call& call : api->Calls()) {
            if (call.operation == operation && call.display == display && call.monitor == monitor) {
                values.push_back(call.value);
            }
        }
        return values;
    }
    std::optional<uint32_t> Stored(const wchar_t* name) const {
        uint32_t value = 0;
        return ReadSettingDword(name, value) ? std::optional(value) : std::nullopt;
    }

    const test_support::ScopedSettingsKey settingsKey{L"OrvaluxTest"};
    std::unique_ptr<SimulatedMonitorApi> api;
};
