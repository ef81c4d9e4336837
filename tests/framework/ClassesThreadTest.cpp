#include "framework/ClassesThread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesUtilWindow.h"

namespace {

using fw::TThread;
using fw::TThreadPriority;

// A thread whose Execute is a function of the test; exposes the protected helpers.
class TProbeThread : public TThread {
public:
    using Body = std::function<void(TProbeThread&)>;
    TProbeThread(bool createSuspended, Body body, std::atomic<bool>* destroyed = nullptr)
        : TThread(createSuspended), body_(std::move(body)), destroyed_(destroyed)
    {
    }
    ~TProbeThread() override
    {
        EndThread();  // body_ goes before the base destructor runs
        if (destroyed_ != nullptr) {
            destroyed_->store(true);
        }
    }

    using TThread::SetReturnValue;
    using TThread::SleepFor;
    using TThread::Synchronize;
    using TThread::WaitWhilePaused;

protected:
    void Execute() override { body_(*this); }

private:
    Body body_;
    std::atomic<bool>* destroyed_;
};

void PumpFor(desktop::DWORD ms)
{
    desktop::headless::PumpUntil([] { return false; }, ms);
}

int ThreadWindowCount()
{
    desktop::HWND windows[64];
    const int n = desktop::EnumThreadTopLevels(windows, 64);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (desktop::GetClassName(windows[i]) == "TThreadWindow") {
            ++count;
        }
    }
    return count;
}

class ClassesThread : public ::testing::Test {
protected:
    void SetUp() override { desktop::headless::Install(); }
    void TearDown() override { desktop::headless::Uninstall(); }
};

TEST_F(ClassesThread, PausedConstructionRunsNothingUntilResumedAndWaitForReturnsTheValue)
{
    std::atomic<int> runs{0};
    TProbeThread thread(true, [&](TProbeThread& self) {
        ++runs;
        self.SetReturnValue(7);
    });
    EXPECT_NE(thread.ThreadID(), 0u);
    EXPECT_NE(thread.ThreadID(), static_cast<std::uint32_t>(gettid()));
    PumpFor(40);
    EXPECT_EQ(runs.load(), 0);
    EXPECT_TRUE(thread.Paused());
    EXPECT_FALSE(thread.Finished());

    thread.Resume();
    EXPECT_FALSE(thread.Paused());
    EXPECT_EQ(thread.WaitFor(), 7);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(thread.GetReturnValue(), 7);
    EXPECT_FALSE(thread.FatalException());
}

TEST_F(ClassesThread, RunningConstructionStartsOnceConstructed)
{
    std::unique_ptr<TProbeThread> thread(
        fw::NewThread<TProbeThread>(false, [](TProbeThread& self) { self.SetReturnValue(3); }));
    EXPECT_EQ(thread->WaitFor(), 3);
}

TEST_F(ClassesThread, SynchronizeRunsOnTheGuiThreadAndTheWorkerWaitsForIt)
{
    const desktop::DWORD gui = desktop::GetCurrentThreadId();
    desktop::DWORD ranOn = 0;
    int value = 0;
    int seenAfter = -1;
    TProbeThread thread(true, [&](TProbeThread& self) {
        self.Synchronize([&] {
            ranOn = desktop::GetCurrentThreadId();
            value = 42;
        });
        seenAfter = value;
    });
    thread.Resume();
    thread.WaitFor();  // on the GUI thread: the handed-over call runs inside the wait
    EXPECT_EQ(ranOn, gui);
    EXPECT_EQ(seenAfter, 42);
}

TEST_F(ClassesThread, SynchronizeRaisesTheMethodsExceptionAgainOnTheWorker)
{
    const desktop::DWORD gui = desktop::GetCurrentThreadId();
    std::string caught;
    desktop::DWORD caughtOn = 0;
    TProbeThread thread(true, [&](TProbeThread& self) {
        try {
            self.Synchronize([] { throw fw::EConvertError("bad value"); });
        } catch (const fw::EConvertError& e) {
            caught = e.Message();
            caughtOn = desktop::GetCurrentThreadId();
        }
        // Escaping Execute ends the thread; the object keeps it.
        self.Synchronize([] { throw fw::Exception("fatal"); });
    });
    thread.Resume();
    thread.WaitFor();
    EXPECT_EQ(caught, "bad value");
    EXPECT_NE(caughtOn, gui);
    ASSERT_TRUE(thread.FatalException());
    try {
        std::rethrow_exception(thread.FatalException());
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), "fatal");
    }
}

TEST_F(ClassesThread, WaitForOffTheGuiThreadIsAPlainWaitWhileTheGuiRunsHandedOverCalls)
{
    bool synced = false;
    TProbeThread thread(true, [&](TProbeThread& self) {
        self.Synchronize([&] { synced = true; });
        self.SetReturnValue(5);
    });
    std::atomic<int> waited{-1};
    std::thread waiter([&] { waited = thread.WaitFor(); });
    thread.Resume();
    EXPECT_TRUE(desktop::headless::PumpUntil([&] { return waited.load() == 5; }, 5000));
    waiter.join();
    EXPECT_TRUE(synced);
}

TEST_F(ClassesThread, OnTerminateRunsOnTheGuiThreadAfterExecute)
{
    const desktop::DWORD gui = desktop::GetCurrentThreadId();
    desktop::DWORD ranOn = 0;
    bool finishedThen = false;
    fw::TObject* sender = nullptr;
    TProbeThread thread(true, [](TProbeThread&) {});
    thread.SetOnTerminate([&](fw::TObject* s) {
        ranOn = desktop::GetCurrentThreadId();
        finishedThen = thread.Finished();
        sender = s;
    });
    thread.Resume();
    thread.WaitFor();
    EXPECT_EQ(ranOn, gui);
    EXPECT_TRUE(finishedThen);
    EXPECT_EQ(sender, &thread);
}

TEST_F(ClassesThread, FreeOnTerminateDeletesTheObjectAfterItsEndNotification)
{
    std::atomic<bool> destroyed{false};
    bool notified = false;
    auto* thread = new TProbeThread(
        true, [](TProbeThread&) {}, &destroyed);
    thread->SetFreeOnTerminate(true);
    thread->SetOnTerminate([&](fw::TObject*) { notified = !destroyed.load(); });
    thread->Resume();
    EXPECT_TRUE(desktop::headless::PumpUntil([&] { return destroyed.load(); }, 5000));
    EXPECT_TRUE(notified);
}

TEST_F(ClassesThread, PauseHoldsTheWorkerAtItsNextCheckAndCutsASleepShort)
{
    std::atomic<int> rounds{0};
    std::atomic<int> sleepsCut{0};
    std::atomic<int> pausesSeen{0};
    TProbeThread thread(true, [&](TProbeThread& self) {
        while (!self.Terminated()) {
            if (self.WaitWhilePaused()) {
                ++pausesSeen;
            }
            ++rounds;
            if (!self.SleepFor(rounds.load() >= 3 ? 60000 : 1)) {
                ++sleepsCut;
            }
        }
    });
    thread.Resume();
    ASSERT_TRUE(desktop::headless::PumpUntil([&] { return rounds.load() >= 3; }, 5000));

    // The worker is in its long sleep now; the pause ends it and holds the worker.
    thread.Pause();
    ASSERT_TRUE(desktop::headless::PumpUntil([&] { return sleepsCut.load() == 1; }, 5000));
    const int held = rounds.load();
    PumpFor(50);
    EXPECT_EQ(rounds.load(), held);
    EXPECT_EQ(pausesSeen.load(), 0);

    thread.Resume();
    ASSERT_TRUE(desktop::headless::PumpUntil([&] { return rounds.load() == held + 1; }, 5000));
    EXPECT_EQ(pausesSeen.load(), 1);

    // Terminate only sets the flag, which also ends the sleep under way.
    thread.Terminate();
    thread.WaitFor();
    EXPECT_EQ(sleepsCut.load(), 2);
}

TEST_F(ClassesThread, DestructionEndsARunningOrPausedThreadAndDiscardsOneNeverStarted)
{
    std::atomic<bool> left{false};
    auto* running = new TProbeThread(true, [&](TProbeThread& self) {
        while (!self.Terminated()) {
            self.WaitWhilePaused();
            self.SleepFor(60000);
        }
        left = true;
    });
    running->Resume();
    PumpFor(20);
    running->Pause();
    delete running;  // paused and asleep: resumed, told to end, waited for
    EXPECT_TRUE(left.load());

    bool executed = false;
    delete new TProbeThread(true, [&](TProbeThread&) { executed = true; });
    EXPECT_FALSE(executed);
}

TEST_F(ClassesThread, PriorityMapsToNiceValuesAndKeepsWhatTheSystemRefuses)
{
    TProbeThread thread(true, [](TProbeThread&) {});
    EXPECT_EQ(thread.GetPriority(), TThreadPriority::tpNormal);
    thread.SetPriority(TThreadPriority::tpLowest);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(thread.ThreadID())), 10);
    thread.SetPriority(TThreadPriority::tpIdle);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(thread.ThreadID())), 19);
    // Raising needs privileges; refused or not, the value is what the object reports.
    thread.SetPriority(TThreadPriority::tpTimeCritical);
    EXPECT_EQ(thread.GetPriority(), TThreadPriority::tpTimeCritical);
    EXPECT_EQ(TThread::NiceValue(TThreadPriority::tpLower), 5);
    EXPECT_EQ(TThread::NiceValue(TThreadPriority::tpHigher), -5);
}

TEST_F(ClassesThread, ThreadWindowLivesWhileThreadObjectsDoAndIsReleasedAfterTheLast)
{
    EXPECT_EQ(ThreadWindowCount(), 0);
    auto* first = new TProbeThread(true, [](TProbeThread&) {});
    auto* second = new TProbeThread(true, [](TProbeThread&) {});
    EXPECT_EQ(ThreadWindowCount(), 1);
    delete first;
    EXPECT_EQ(ThreadWindowCount(), 1);
    delete second;
    EXPECT_EQ(ThreadWindowCount(), 0);

    // A worker that frees itself cannot destroy the GUI thread's window: it stays for the next
    // thread object, and the last one destroyed on the GUI thread takes it away.
    std::atomic<bool> destroyed{false};
    auto* self = new TProbeThread(
        true, [](TProbeThread&) {}, &destroyed);
    const std::string task = "/proc/self/task/" + std::to_string(self->ThreadID());
    self->SetFreeOnTerminate(true);
    self->Resume();
    EXPECT_TRUE(desktop::headless::PumpUntil([&] { return destroyed.load() && !std::filesystem::exists(task); }, 5000));
    EXPECT_EQ(ThreadWindowCount(), 1);
    delete new TProbeThread(true, [](TProbeThread&) {});
    EXPECT_EQ(ThreadWindowCount(), 0);
}

TEST_F(ClassesThread, UtilityWindowSendsEveryMessageToItsHandlerAndMayBeFreedFromIt)
{
    std::vector<desktop::UINT> seen;
    auto alive = std::make_shared<int>(1);
    desktop::HWND window = fw::AllocateHWnd(
        [&, alive](desktop::HWND w, desktop::UINT msg, desktop::WPARAM wp, desktop::LPARAM lp) -> desktop::LRESULT {
            if (msg == desktop::WM_USER + 1) {
                fw::DeallocateHWnd(w);
                seen.push_back(msg + static_cast<desktop::UINT>(*alive));  // the handler's own state outlives the call
                return 0;
            }
            if (msg == desktop::WM_USER) {
                seen.push_back(msg);
                return 99;
            }
            return desktop::DefWindowProc(w, msg, wp, lp);
        });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(desktop::GetClassName(window), "TPUtilWindow");
    EXPECT_FALSE(desktop::IsWindowVisible(window));
    EXPECT_EQ(desktop::SendMessage(window, desktop::WM_USER, 0, 0), 99);
    alive.reset();
    desktop::SendMessage(window, desktop::WM_USER + 1, 0, 0);
    EXPECT_FALSE(desktop::IsWindow(window));
    EXPECT_EQ(seen, (std::vector<desktop::UINT>{desktop::WM_USER, desktop::WM_USER + 2}));
    fw::DeallocateHWnd(window);  // already gone: nothing happens
}

}  // namespace
