#pragma once

#include "common/UniqueResource.h"
#include "monitor/CommandQueueThread.h"

struct DisplayMonitor;

// The thread that owns the device calls of one display monitor: it opens and first
// reads its physical monitors, then applies commands, only the latest value of each
// parameter per wake-up.
class MonitorWorker final : public CommandQueueThread {
public:
    explicit MonitorWorker(DisplayMonitor* owner);
    ~MonitorWorker() override { EndThread(); }

    bool IsReady() const { return ready.load(std::memory_order_acquire); }
    // Sends the remembered values to the monitors again, after the commands queued so far.
    void RequestReapply();
    // Signalled once the physical monitors are open and read.
    HANDLE ReadyEvent() const { return readyEvent.get(); }

protected:
    void Run() override;
    // Without a ready event the readiness wait could not tell when the monitors are read.
    bool CanRun() const override { return CommandQueueThread::CanRun() && readyEvent; }

private:
    DisplayMonitor* owner;
    std::atomic<bool> ready{false};
    std::atomic<bool> reapplyRequested{false};
    UniqueHandle readyEvent;
};
