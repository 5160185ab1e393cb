#pragma once

#include "app/CommandLineRules.h"
#include "app/RemoteCommandRules.h"

#include <atomic>
#include <functional>

// Called for each value that went to every monitor (and was stored), so that what shows
// it (the panel's slider, the tray icon) follows.
using SharedValueShown = std::function<void(MonitorParameter parameter, uint32_t value)>;

// Carries out a parsed "set", "get" or "list" on the monitors of `displayMonitors` and
// returns what to print and the exit code. A "set" returns once every monitor took its
// values or refused them; once `cancelled` comes true it sets nothing more, and each value
// left is reported refused.
CommandAnswerMessage ExecuteCommand(const CommandRequest& request, const SharedValueShown& shown,
                                    const std::atomic<bool>* cancelled = nullptr);
