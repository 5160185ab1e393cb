#pragma once

#include "monitor/LaptopPanelBackend.h"
#include "simulator/SimulatedMonitorDescription.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A simulated laptop panel for machines without one (and for tests): it stands in for
// both the panel driver and the WMI brightness classes, for every thread of the process.
// Like a WMI call out of a single-threaded apartment, reading and setting the level
// dispatch the messages other threads sent to the calling thread.

// What the simulated panel has been through so far.
struct SimulatedLaptopPanelState {
    uint8_t currentLevel = 0;
    // Every level the backlight was set to, in order.
    std::vector<uint8_t> levelsSet;
    // How often the panel device was opened to ask for the supported levels.
    uint32_t deviceOpenCount = 0;
    // Backends not yet destroyed: one per backlight that still exists.
    uint32_t liveBackends = 0;
};

// Every LaptopBacklight attached after this uses a panel described by `panelDescription` (replacing
// any earlier simulated panel); without `panelDescription.present` the machine has no panel device.
void InstallSimulatedLaptopPanel(const SimulatedLaptopPanelDescription& panelDescription);
// Calls `listener` after every level change of an installed panel (the simulator keeps
// its state file with it); an empty one stops the calls.
void SetSimulatedLaptopPanelListener(std::function<void()> listener);
// Backlights attached after this use the platform's panel again.
void RemoveSimulatedLaptopPanel();
// The installed panel's state, or none when no simulated panel is installed.
std::optional<SimulatedLaptopPanelState> ReadSimulatedLaptopPanel();

// A backend on the installed simulated panel, or none when none is installed.
std::unique_ptr<LaptopPanelBackend> CreateSimulatedLaptopPanelBackend();
