#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>

// The thread object every background thread of the program is built on.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Closes the thread handle; does not wait for the thread.
    virtual ~WorkerThread();

    // Clears the running flag.
    virtual void Stop();

    // Starts the thread unless it runs already. When `keepHandle` is given it receives
    // a handle of its own to the new thread, made before the thread can run: the only
    // safe way to wait for a self-deleting thread; when that copy cannot be made the
    // thread never runs. Returns whether a thread was started.
    bool Start(UniqueHandle* keepHandle = nullptr);

    // Waits for the thread to end while dispatching the calling thread's messages.
    // Returns at once when there is no thread or when called on the thread itself.
    void Wait();

    bool IsRunning() const { return running.load() != 0; }
    DWORD ThreadId() const { return threadId; }
    // The thread's handle while this object exists (INVALID_HANDLE_VALUE: no thread).
    HANDLE ThreadHandle() const { return threadHandle; }

protected:
    // The thread body.
    virtual void Run() = 0;
    // Whether the object has what Run needs; Start refuses to start a thread without it.
    virtual bool CanRun() const { return true; }

    // When set, the thread frees this object after Run returns.
    bool autoDelete = false;

private:
    static DWORD WINAPI ThreadProcedure(void* parameter) noexcept;

    HANDLE threadHandle = INVALID_HANDLE_VALUE;
    DWORD threadId = 0;
    std::atomic<uint32_t> running{0};
};

// Waits for `handle` to be signalled while dispatching the calling thread's messages,
// so windows of that thread stay responsive. Alertable: queued APCs run meanwhile.
void WaitDispatchingMessages(HANDLE handle);
// The same wait, given up at `deadline`: true when `handle` was signalled.
bool WaitDispatchingMessagesUntil(HANDLE handle, std::chrono::steady_clock::time_point deadline);

// Names a thread for debuggers.
void SetThreadName(const char* name, DWORD threadId);
