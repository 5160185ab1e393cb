#include "MonitorTestSupport.h"

#include "common/UniqueResource.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/CommandQueueThread.h"
#include "monitor/WorkerThread.h"

#include <thread>
#include <utility>

namespace {

using Op = SimulatedOperation;

class WorkerFixture : public SimulatedInventoryTest {
protected:
    void TearDown() override { commandDispatcher.Stop(); }
    MonitorWorker& FirstWorker() { return *First().worker; }
};

// A queue thread whose queue can be looked at.
class QueueThread final : public CommandQueueThread {
public:
    using CommandQueueThread::CommandQueueThread;
    using CommandQueueThread::TakeQueuedCommands;
    ~QueueThread() override { EndThread(); } // a started thread must not outlive Run

protected:
    void Run() override {}
};

// Waits on itself, then until released.
class SignalingThread : public WorkerThread {
public:
    explicit SignalingThread(bool* destroyedFlag = nullptr) : destroyed(destroyedFlag) {
        autoDelete = destroyed != nullptr;
    }
    ~SignalingThread() override {
        if (destroyed) {
            *destroyed = true;
        }
    }
    UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool* destroyed;
    std::atomic<bool> waitOnSelfReturned{false};

protected:
    void Run() override {
        Wait(); // on its own thread: must return at once
        waitOnSelfReturned = true;
        ::WaitForSingleObject(release.get(), INFINITE);
    }
};

} // namespace

// Commands queued while busy make one batch: each parameter's last value, in the fixed order.
TEST_F(WorkerFixture, CommandsQueuedWhileBusyMakeOneBatchInTheFixedOrder) {
    Build("monitor");
    api->HoldCalls(true);
    FirstWorker().PostCommand({2, 10});
    ASSERT_TRUE(api->WaitUntil([&] { return api->CallsInProgress() > 0; }));
    for (const MonitorCommand command : {MonitorCommand{6, 5}, {5, 60}, {1, 20}, {1, 50}}) {
        FirstWorker().PostCommand(command);
    }
    api->HoldCalls(false);
    // A worker stopped while busy drops what queued meanwhile: let it get there first.
    ASSERT_TRUE(api->WaitUntil([&] { return api->Calls().size() >= 4; }));
    FirstWorker().Stop();

    std::vector<std::pair<Op, uint32_t>> calls;
    for (const auto& call : api->Calls()) {
        calls.emplace_back(call.operation, call.value);
    }
    EXPECT_EQ(calls, (std::vector<std::pair<Op, uint32_t>>{{Op::SetContrast, 10},
                                                           {Op::SetBrightness, 50},
                                                           {Op::SetGain, 60},
                                                           {Op::SetColorTemperature, 5}}));
    EXPECT_EQ(Monitor(0, 0).brightness.current, 50u);
    EXPECT_EQ(Stored(L"Brightness"), 50u);
}

// Commands posted just before a Stop are still passed on, and applied, once.
TEST_F(WorkerFixture, TheDispatcherCopiesEveryCommandToEveryDisplayAndStartsAgainAfterAStop) {
    Build("display; monitor contrast=0..200:0; display; monitor; monitor");
    commandDispatcher.Start();
    commandDispatcher.Stop();
    ASSERT_TRUE(commandDispatcher.Start());
    commandDispatcher.PostCommand({2, 70});
    commandDispatcher.Stop();
    FinishWork();
    EXPECT_EQ(Monitor(0, 0).contrast.current, 140u);
    EXPECT_EQ(Monitor(1, 0).contrast.current, 70u);
    EXPECT_EQ(Monitor(1, 1).contrast.current, 70u);
    EXPECT_EQ(api->CountCalls(Op::SetContrast), 3u);
    EXPECT_EQ(Stored(L"Contrast"), 70u);
}

TEST(WorkerThread, AQueueThreadWithoutAWakeEventDoesNotStart) {
    QueueThread thread{UniqueHandle()};
    EXPECT_FALSE(thread.Start());
    EXPECT_FALSE(thread.IsRunning());
    thread.PostCommand({1, 40});
    EXPECT_EQ(thread.TakeQueuedCommands().size(), 1u) << "posted commands stay queued";
}

TEST(WorkerThread, WaitServesTheCallersWindowsKeepsItsQuitRequestAndNeverWaitsForNothing) {
    SignalingThread neverStarted;
    neverStarted.Wait();

    SignalingThread thread;
    ASSERT_TRUE(thread.Start());
    const DWORD firstId = thread.ThreadId();
    EXPECT_FALSE(thread.Start()) << "a running thread is not started twice";
    EXPECT_EQ(thread.ThreadId(), firstId);
    // A message sent from another thread is only delivered while this thread pumps.
    std::atomic<bool> delivered{false};
    UniqueHwnd window(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    std::thread sender([&] {
        ::SendMessageW(window.get(), WM_NULL, 0, 0);
        delivered = true;
        ::SetEvent(thread.release.get());
    });
    ::PostQuitMessage(7);
    thread.Wait();
    sender.join();
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(thread.waitOnSelfReturned);
    EXPECT_FALSE(thread.IsRunning());
    MSG message;
    EXPECT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

TEST(WorkerThread, ASelfDeletingThreadFreesItselfAfterRun) {
    bool destroyed = false;
    auto* thread = new SignalingThread(&destroyed);
    ::SetEvent(thread->release.get());
    UniqueHandle handle;
    ASSERT_TRUE(thread->Start(&handle));
    ASSERT_TRUE(handle);
    WaitDispatchingMessages(handle.get());
    EXPECT_TRUE(destroyed);
}
