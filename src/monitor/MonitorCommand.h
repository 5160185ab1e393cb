#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

// One change of one picture parameter: a parameter code (1..6) and a percentage,
// or a colour temperature preset for code 6.
struct MonitorCommand {
    uint32_t parameter = 0;
    uint32_t value = 0;
};

// Reserved value: a command carrying it is treated as absent.
inline constexpr uint32_t kNoCommandValue = 0xFFFFFFFF;

// The latest value per parameter of one batch of commands, indexed by code - 1.
using CoalescedCommands = std::array<std::optional<uint32_t>, 6>;

// Keeps the value of the last command for each parameter code 1..6, in arrival
// order; unknown codes and the reserved value are dropped.
CoalescedCommands CoalesceCommands(const std::deque<MonitorCommand>& commands);
