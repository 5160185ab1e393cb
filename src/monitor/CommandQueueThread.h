#pragma once

#include "common/CriticalSection.h"
#include "common/UniqueResource.h"
#include "monitor/MonitorCommand.h"
#include "monitor/WorkerThread.h"

#include <deque>

// A worker thread with a locked command queue and a wake-up event. Posting never
// waits for the thread: the lock is held only to append or to take the whole queue.
class CommandQueueThread : public WorkerThread {
public:
    CommandQueueThread();
    // With the given wake-up event; without one the thread never starts (commands
    // posted to it stay queued), since it could never be woken.
    explicit CommandQueueThread(UniqueHandle wakeEvent);
    // Stops the thread and waits for it before the queue goes away.
    ~CommandQueueThread() override;

    // Clears the running flag, wakes the thread and waits for it to end.
    void Stop() override;

    void PostCommand(const MonitorCommand& command);
    // Wakes the thread without a command, for work it keeps track of itself.
    void Wake();

protected:
    // Ends the thread and waits for it. Final classes call it from their destructor,
    // while the members their Run uses still exist.
    void EndThread();
    bool CanRun() const override { return static_cast<bool>(event); }
    // Sleeps until a command (or Stop) signals the event, serving this thread's messages.
    void WaitForWork();
    // The same, at most until `deadline`: true when woken by a command, Wake or Stop.
    bool WaitForWorkUntil(std::chrono::steady_clock::time_point deadline);
    // Everything queued so far, in arrival order; the queue is left empty.
    std::deque<MonitorCommand> TakeQueuedCommands();

private:
    UniqueHandle event;
    CriticalSection lock;
    std::deque<MonitorCommand> queue;
};
