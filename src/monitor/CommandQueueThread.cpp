#include "monitor/CommandQueueThread.h"

#include <mutex>
#include <utility>

CommandQueueThread::CommandQueueThread()
    : CommandQueueThread(UniqueHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr))) {}

CommandQueueThread::CommandQueueThread(UniqueHandle wakeEvent) : event(std::move(wakeEvent)) {}

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

bool CommandQueueThread::WaitForWorkUntil(std::chrono::steady_clock::time_point deadline) {
    return WaitDispatchingMessagesUntil(event.get(), deadline);
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
