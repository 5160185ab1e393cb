#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A description of simulated monitors, for machines without DDC/CI (and for tests and
// benchmarks). It is read from the ORVALUX_SIMULATED_MONITORS environment variable:
//
//   statement { ";" statement }
//   display [WIDTHxHEIGHT[+X+Y]] [fail=count] [fail=info]
//   monitor [name=TEXT] [id=TEXT] [brightness=RANGE] [contrast=RANGE] [red=RANGE] [green=RANGE]
//           [blue=RANGE] [temp=PRESET] [temps=PRESET,...|none] [caps=BITS]
//           [latency=MS] [get-latency=MS] [set-latency=MS] [caps-latency=MS]
//           [fail=OPERATION[:TIMES],...] [deaf=MS] [ignore=N] [sets=N]
//   laptop  [levels=N,...] [current=LEVEL] [fail=driver|wmi|get|set,...]
//   none                      (a machine that reports no display at all)
//   # TEXT                    (a comment)
//
// RANGE is MIN..MAX:CURRENT or just CURRENT (range 0..100). TEXT uses "_" for blanks.
// OPERATION is one of caps, physical, get-brightness, set-brightness, get-contrast,
// set-contrast, get-gain, set-gain, get-temp, set-temp, reset, reset-color; without
// :TIMES it always fails, with it only the first TIMES calls fail.
// deaf=MS: the monitor answers no call for MS milliseconds from its start (or from the
// moment the state file that says so is read back). ignore=N: it acknowledges the first N
// set calls of each parameter without taking them. sets=N: how many set calls it has
// acknowledged in all (written to the state file).
// A monitor before any display gets a display of its own. Displays without geometry
// are 1920x1080, the first at 0,0 (the primary), each further one right of the last.

enum class SimulatedOperation : uint32_t {
    Capabilities,
    PhysicalMonitors,
    GetBrightness,
    SetBrightness,
    GetContrast,
    SetContrast,
    GetGain,
    SetGain,
    GetColorTemperature,
    SetColorTemperature,
    RestoreFactoryDefaults,
    RestoreFactoryColorDefaults,
    Count,
};
inline constexpr size_t kSimulatedOperationCount = static_cast<size_t>(SimulatedOperation::Count);
inline constexpr uint32_t kAlwaysFails = UINT32_MAX;

std::string_view SimulatedOperationName(SimulatedOperation operation);

struct SimulatedRange {
    uint32_t minimum = 0;
    uint32_t current = 50;
    uint32_t maximum = 100;
    bool operator==(const SimulatedRange&) const = default;
};

struct SimulatedMonitorDescription {
    std::string name = "Generic PnP Monitor";
    std::string id; // what the system reports to tell it apart; empty: its name and position
    SimulatedRange brightness;
    SimulatedRange contrast;
    std::array<SimulatedRange, 3> gain;
    uint32_t colorTemperature = 3;
    uint32_t supportedColorTemperatures = 0xFF;
    // Brightness, contrast, colour temperature, RGB gain and both factory resets.
    uint32_t capabilities = 0xC1E;
    uint32_t getLatencyMs = 0;
    uint32_t setLatencyMs = 0;
    uint32_t capabilitiesLatencyMs = 0;
    // How many of the next calls of each operation fail (kAlwaysFails: all).
    std::array<uint32_t, kSimulatedOperationCount> failures{};
    uint32_t deafMs = 0;
    uint32_t ignoredSets = 0;
    uint32_t setCount = 0;
};

struct SimulatedDisplayDescription {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 1920;
    int32_t height = 1080;
    bool countFails = false;
    bool infoFails = false;
    std::vector<SimulatedMonitorDescription> monitors;
};

struct SimulatedLaptopPanelDescription {
    bool present = false;
    std::vector<uint8_t> levels;
    uint8_t currentLevel = 100;
    bool driverRequestFails = false;
    bool wmiMissing = false;
    bool getFails = false;
    bool setFails = false;
};

struct SimulatedSetup {
    std::vector<SimulatedDisplayDescription> displays;
    SimulatedLaptopPanelDescription laptop;
};

struct SimulatedSetupParse {
    std::optional<SimulatedSetup> setup;
    std::string error; // set when setup is empty
};

SimulatedSetupParse ParseSimulatedSetup(std::string_view description);

// Writes the current state in the same syntax, so it can be read back or reused.
std::string FormatSimulatedSetup(const SimulatedSetup& setup);
