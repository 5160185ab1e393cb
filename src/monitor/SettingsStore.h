#pragma once

#include <cstdint>
#include <optional>

struct DisplayMonitor;

// The six picture values the user last chose, kept as settings and applied to every
// monitor; the remembered device values sent again after a wake-up; the factory reset.

// A stored value as the monitors may receive it: a percentage up to 100 for codes 1..5,
// a preset up to 8 for code 6; anything else is treated as absent.
std::optional<uint32_t> ValidStoredValue(uint32_t parameterCode, uint32_t stored);

// Applies each stored value present to every display monitor, in the order brightness,
// contrast, red, green, blue, colour temperature.
void LoadMonitorSettings();

// Sends the remembered device values to every monitor again: per display up to 30
// attempts 100 ms apart (one on a laptop panel) until brightness, contrast and gains are
// all accepted. Each display's worker does it between its commands, so a monitor that
// keeps refusing delays neither the user interface nor the user's later changes; the
// call returns at once. A display without a running worker is done on the calling thread.
void ReapplyMonitorValues();

// Factory reset of every display monitor in parallel; the new values become the settings.
void RestoreAllFactoryDefaults();
