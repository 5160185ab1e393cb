#include "monitor/CommandQueueThread.h"

#include <mutex>

CommandQueueThread::CommandQueueThread() : event(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CommandQueueThread::~CommandQueueThread() {
    EndThread();
}

void CommandQueueThread::EndThread() {
    WorkerThread::Stop();
    ::SetEvent(event.get());
    Wait();
    Wait();
}

void CommandQueueThread::Stop() {
    WorkerThread::Stop();
    ::SetEvent(event.get());
    Wait();
}

void CommandQueueThread::PostCommand(const MonitorCommand& command) {
    {
        std::lock_guard guard(lock);
        queue.push_back(command);
    }
    ::SetEvent(event.get());
}

void CommandQueueThread::WaitForWork() {
    WaitDispatchingMessages(event.get());
}

void CommandQueueThread::Wake() {
    ::SetEvent(event.get());
}

std::deque<MonitorCommand> CommandQueueThread::TakeQueuedCommands() {
    std::deque<MonitorCommand> taken;
    std::lock_guard guard(lock);
    taken.swap(queue);
    return taken;
}
