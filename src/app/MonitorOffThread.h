#pragma once

#include "monitor/WorkerThread.h"

// Switches every monitor off one second after it starts, then frees itself.
class MonitorOffThread final : public WorkerThread {
public:
    MonitorOffThread() { autoDelete = true; }

protected:
    void Run() override;
};

// Starts a self-deleting MonitorOffThread. With `keepHandle` the caller gets a handle to
// wait on; the thread object itself must not be touched once started. Returns whether the
// thread was started.
bool StartMonitorOff(UniqueHandle* keepHandle = nullptr);
// What the thread does, on the calling thread: the pause, then the broadcast.
void SwitchMonitorsOff();
