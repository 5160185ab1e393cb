#pragma once

#include "app/CommandLineRules.h"
#include "app/RemoteCommandRules.h"

#include <functional>

// Called for each value that went to every monitor (and was stored), so that what shows
// it (the panel's slider, the tray icon) follows.
using SharedValueShown = std::function<void(MonitorParameter parameter, uint32_t value)>;

// Carries out a parsed "set", "get" or "list" on the monitors of `displayMonitors` and
// returns what to print and the exit code. A "set" returns once every monitor took its
// values or refused them.
CommandAnswerMessage ExecuteCommand(const CommandRequest& request, const SharedValueShown& shown);
