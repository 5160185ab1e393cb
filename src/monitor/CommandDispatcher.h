#pragma once

#include "monitor/CommandQueueThread.h"

// The single thread between the user interface and the monitor workers: every command
// posted to it is copied to the worker of each display monitor.
class CommandDispatcher final : public CommandQueueThread {
public:
    ~CommandDispatcher() override { EndThread(); }

protected:
    void Run() override;
};

// The one dispatcher of the process.
extern CommandDispatcher commandDispatcher;
