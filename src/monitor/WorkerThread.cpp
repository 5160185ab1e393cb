#include "monitor/WorkerThread.h"

#include <string>

WorkerThread::~WorkerThread() {
    if (threadHandle != INVALID_HANDLE_VALUE && threadHandle != nullptr) {
        ::CloseHandle(threadHandle);
    }
}

void WorkerThread::Stop() {
    running.exchange(0);
}

bool WorkerThread::Start(UniqueHandle* keepHandle) {
    if (!CanRun() || running.exchange(1) == 1) {
        return false;
    }
    if (threadHandle != INVALID_HANDLE_VALUE && threadHandle != nullptr) {
        ::CloseHandle(threadHandle);
        threadHandle = INVALID_HANDLE_VALUE;
    }
    // Created suspended so that the handle and id are stored (and a caller's copy made)
    // before the thread can run, end and perhaps free this object.
    DWORD id = 0;
    const HANDLE handle = ::CreateThread(nullptr, 0, &ThreadProcedure, this, CREATE_SUSPENDED, &id);
    if (handle == nullptr) {
        running.exchange(0);
        return false;
    }
    if (keepHandle) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, SYNCHRONIZE,
                               FALSE, 0)) {
            // The caller could not wait for the thread (a self-deleting one may be gone
            // before anybody looks): it never runs. Still suspended, it has run no code
            // of ours, so ending it here is safe.
            ::TerminateThread(handle, 0);
            ::WaitForSingleObject(handle, INFINITE);
            ::CloseHandle(handle);
            running.exchange(0);
            return false;
        }
        keepHandle->reset(copy);
    }
    threadHandle = handle;
    threadId = id;
    ::ResumeThread(handle);
    return true;
}

void WorkerThread::Wait() {
    if (threadHandle == INVALID_HANDLE_VALUE || threadHandle == nullptr ||
        threadId == ::GetCurrentThreadId()) {
        return;
    }
    WaitDispatchingMessages(threadHandle);
}

DWORD WINAPI WorkerThread::ThreadProcedure(void* parameter) noexcept {
    auto* self = static_cast<WorkerThread*>(parameter);
    try {
        self->Run();
    } catch (...) {
        // No exception may cross the thread boundary; the thread simply ends.
    }
    // Read before the flag is cleared: once it is, the owner may delete the object.
    const bool deleteSelf = self->autoDelete;
    self->running.exchange(0);
    if (deleteSelf) {
        delete self;
    }
    return 0;
}

namespace {

using Clock = std::chrono::steady_clock;

bool WaitDispatching(HANDLE handle, const Clock::time_point* deadline) {
    // A quit request taken from the queue here belongs to the caller's message loop:
    // it is posted again once the wait is over instead of being lost.
    bool quitSeen = false;
    int quitCode = 0;
    bool signalled = false;
    for (;;) {
        DWORD timeout = INFINITE;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            timeout = left > 0 ? static_cast<DWORD>(left) : 0;
        }
        const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &handle, timeout, QS_ALLINPUT,
                                                           MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0 + 1) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quitSeen = true;
                    quitCode = static_cast<int>(message.wParam);
                    continue;
                }
                ::DispatchMessageW(&message);
            }
        } else if (result != WAIT_IO_COMPLETION) {
            signalled = result == WAIT_OBJECT_0;
            break;
        }
    }
    if (quitSeen) {
        ::PostQuitMessage(quitCode);
    }
    return signalled;
}

} // namespace

void WaitDispatchingMessages(HANDLE handle) {
    WaitDispatching(handle, nullptr);
}

bool WaitDispatchingMessagesUntil(HANDLE handle, Clock::time_point deadline) {
    return WaitDispatching(handle, &deadline);
}

namespace {

constexpr DWORD kSetThreadNameException = 0x406D1388;

#pragma pack(push, 8)
struct ThreadNameInfo {
    DWORD type;       // always 0x1000
    const char* name; // 8-bit name
    DWORD threadId;
    DWORD flags;
};
#pragma pack(pop)

// GCC has no __try/__except: a vectored handler swallows the naming exception so it
// never becomes an unhandled one when no debugger takes it.
LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS* pointers) noexcept {
    return pointers->ExceptionRecord->ExceptionCode == kSetThreadNameException ? EXCEPTION_CONTINUE_EXECUTION
                                                                               : EXCEPTION_CONTINUE_SEARCH;
}

using SetThreadDescriptionFunction = HRESULT(WINAPI*)(HANDLE, PCWSTR);

// Windows 10 keeps a thread name of its own that debuggers and crash dumps show too.
void SetModernThreadDescription(const char* name, DWORD threadId) {
    static const auto setDescription = reinterpret_cast<SetThreadDescriptionFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (!setDescription) {
        return;
    }
    UniqueHandle thread(::OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, threadId));
    if (!thread) {
        return;
    }
    std::wstring wide(name, name + std::char_traits<char>::length(name));
    setDescription(thread.get(), wide.c_str());
}

} // namespace

void SetThreadName(const char* name, DWORD threadId) {
    static PVOID handler = ::AddVectoredExceptionHandler(0, &ContinueAfterThreadName);
    (void)handler;
    ThreadNameInfo info{0x1000, name, threadId, 0};
    ::RaiseException(kSetThreadNameException, 0, sizeof(info) / sizeof(ULONG_PTR),
                     reinterpret_cast<const ULONG_PTR*>(&info));
    SetModernThreadDescription(name, threadId);
}
