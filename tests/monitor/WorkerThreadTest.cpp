#include "MonitorTestSupport.h"

#include "monitor/CommandDispatcher.h"
#include "monitor/CommandQueueThread.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"
#include "monitor/WorkerThread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Op = SimulatedOperation;

// Builds the inventory for one test and tears it down again.
class WorkerFixture : public SimulatedInventoryTest {
protected:
    void TearDown() override {
        commandDispatcher.Stop();
        SimulatedInventoryTest::TearDown();
    }
    MonitorWorker& FirstWorker() { return *displayMonitors.at(0)->worker; }
};

// A queue thread that only waits for work; its queue can be looked at.
class IdleQueueThread final : public CommandQueueThread {
public:
    using CommandQueueThread::CommandQueueThread;
    using CommandQueueThread::TakeQueuedCommands;
    ~IdleQueueThread() override { EndThread(); }

protected:
    void Run() override {
        do {
            WaitForWork();
        } while (IsRunning());
    }
};

class SignalingThread : public WorkerThread {
public:
    explicit SignalingThread(bool deleteItself = false)
        : release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        autoDelete = deleteItself;
    }
    ~SignalingThread() override {
        if (destroyed) {
            *destroyed = true;
        }
    }
    UniqueHandle release;
    bool* destroyed = nullptr;
    std::atomic<bool> waitOnSelfReturned{false};

protected:
    void Run() override {
        Wait(); // on its own thread: must return at once
        waitOnSelfReturned = true;
        ::WaitForSingleObject(release.get(), 5000);
    }
};

} // namespace

TEST_F(WorkerFixture, ABurstWhileBusyEndsInOneSetWithTheLastValue) {
    Build("monitor set-latency=150");
    FirstWorker().PostCommand({1, 10});
    ASSERT_TRUE(monitors->WaitForCallInProgress()); // the worker is inside the slow set of 10
    FirstWorker().PostCommand({1, 20});
    FirstWorker().PostCommand({1, 30});
    ASSERT_TRUE(monitors->WaitForCalls(Op::SetBrightness, 2));
    FirstWorker().Stop(); // any further set is made before the thread ends

    EXPECT_EQ(monitors->SentValues(Op::SetBrightness), (std::vector<uint32_t>{10, 30}));
    EXPECT_EQ(monitors->Monitor(0, 0).brightness.current, 30u);
    EXPECT_EQ(settings.Read(L"Brightness"), 30u);
}

TEST_F(WorkerFixture, ABatchIsAppliedInTheFixedOrder) {
    Build("monitor set-latency=100");
    FirstWorker().PostCommand({2, 10});
    ASSERT_TRUE(monitors->WaitForCallInProgress());
    FirstWorker().PostCommand({6, 5});
    FirstWorker().PostCommand({5, 60});
    FirstWorker().PostCommand({1, 50});
    // A worker stopped while busy drops what queued meanwhile: let it get there first.
    ASSERT_TRUE(monitors->api().WaitUntil([&] { return monitors->api().Calls().size() >= 4; }));
    FirstWorker().Stop();

    std::vector<Op> order;
    for (const auto& call : monitors->api().Calls()) {
        order.push_back(call.operation);
    }
    EXPECT_EQ(order,
              (std::vector<Op>{Op::SetContrast, Op::SetBrightness, Op::SetGain, Op::SetColorTemperature}));
}

TEST_F(WorkerFixture, StopAppliesQueuedCommandsOnceAndDropsTheReservedValue) {
    Build("monitor");
    FirstWorker().PostCommand({1, kNoCommandValue});
    FirstWorker().PostCommand({3, 40});
    FirstWorker().PostCommand({9, 40});
    FirstWorker().Stop();
    FirstWorker().Wait();

    EXPECT_FALSE(FirstWorker().IsRunning());
    EXPECT_EQ(monitors->SentValues(Op::SetGain), (std::vector<uint32_t>{40}));
    EXPECT_EQ(monitors->api().CountCalls(Op::SetBrightness), 0u);
    EXPECT_FALSE(settings.Read(L"Brightness"));
}

TEST_F(WorkerFixture, TheDispatcherCopiesEveryCommandToEveryDisplayAndStartsAgainAfterAStop) {
    Build("display; monitor contrast=0..200:0; display; monitor; monitor");
    commandDispatcher.Start();
    commandDispatcher.Stop();
    ASSERT_TRUE(commandDispatcher.Start());
    commandDispatcher.PostCommand({2, 70});
    commandDispatcher.Stop();
    for (DisplayMonitor* display : displayMonitors) {
        display->worker->Stop();
    }
    EXPECT_EQ(monitors->Monitor(0, 0).contrast.current, 140u);
    EXPECT_EQ(monitors->Monitor(1, 0).contrast.current, 70u);
    EXPECT_EQ(monitors->Monitor(1, 1).contrast.current, 70u);
}

TEST(WorkerThread, AQueueThreadWithoutAWakeEventDoesNotStart) {
    IdleQueueThread thread{UniqueHandle()};
    EXPECT_FALSE(thread.Start());
    EXPECT_FALSE(thread.IsRunning());
    thread.PostCommand({1, 40});
    EXPECT_EQ(thread.TakeQueuedCommands().size(), 1u) << "posted commands stay queued";
}

TEST(WorkerThread, WaitReturnsAtOnceWithoutAThreadOrOnItsOwnThread) {
    SignalingThread neverStarted;
    neverStarted.Wait();

    SignalingThread thread;
    ASSERT_TRUE(thread.Start());
    const DWORD firstId = thread.ThreadId();
    EXPECT_FALSE(thread.Start()) << "a running thread is not started twice";
    EXPECT_EQ(thread.ThreadId(), firstId);
    ::SetEvent(thread.release.get());
    thread.Wait();
    EXPECT_TRUE(thread.waitOnSelfReturned);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(WorkerThread, ASelfDeletingThreadFreesItselfAfterRun) {
    bool destroyed = false;
    auto* thread = new SignalingThread(true);
    thread->destroyed = &destroyed;
    ::SetEvent(thread->release.get());
    UniqueHandle handle;
    ASSERT_TRUE(thread->Start(&handle));
    ASSERT_TRUE(handle);
    WaitDispatchingMessages(handle.get());
    EXPECT_TRUE(destroyed);
}

TEST(WorkerThread, WaitingKeepsTheCallersWindowsServedAndItsQuitRequest) {
    SignalingThread thread;
    ASSERT_TRUE(thread.Start());
    // A message sent from another thread is only delivered while this thread pumps.
    std::atomic<bool> delivered{false};
    const HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    std::thread sender([&] {
        ::SendMessageW(window, WM_NULL, 0, 0);
        delivered = true;
        ::SetEvent(thread.release.get());
    });
    ::PostQuitMessage(7);
    thread.Wait();
    sender.join();
    EXPECT_TRUE(delivered);
    MSG message;
    EXPECT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
    ::DestroyWindow(window);
}
