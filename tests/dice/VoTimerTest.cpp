#include "dice/VoTimer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesHooks.h"

namespace {

using dice::TVoTimer;
using fw::TThreadPriority;

constexpr desktop::DWORD kDeadline = 5000;

bool PumpUntil(const std::function<bool()>& condition) { return desktop::headless::PumpUntil(condition, kDeadline); }

void PumpFor(desktop::DWORD ms)
{
    desktop::headless::PumpUntil([] { return false; }, ms);
}

bool ThreadGone(std::uint32_t tid) { return !std::filesystem::exists("/proc/self/task/" + std::to_string(tid)); }

class VoTimer : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        fw::InstallApplicationHooks({
            .handleException =
                [this](fw::TObject* sender) {
                    try {
                        throw;
                    } catch (const fw::Exception& e) {
                        Record(sender, e.Message());
                    }
                },
            .showException = [this](fw::TObject* sender, const fw::Exception& e) { Record(sender, e.Message()); },
        });
    }
    void TearDown() override
    {
        // Destroyed timers' workers end on their own; one may still be handing over a last
        // (dropped) tick, which must not meet a desktop being torn down.
        EXPECT_TRUE(PumpUntil([] { return fw::TThread::ObjectCount() == 0; }));
        fw::RemoveApplicationHooks();
        fw::SetApplicationShuttingDown(false);
        desktop::headless::Uninstall();
    }

    struct Report {
        fw::TObject* sender;
        std::string message;
        desktop::DWORD thread;
    };
    std::vector<Report> Reports()
    {
        std::lock_guard lock(reportsMutex_);
        return reports_;
    }

    // Starts ticking at a short interval, counting ticks (on the GUI thread).
    void StartCounting(TVoTimer& timer, int& count, std::uint32_t interval = 10)
    {
        timer.SetInterval(interval);
        timer.SetOnTimer([&count](fw::TObject*) { ++count; });
        ASSERT_TRUE(PumpUntil([&] { return count >= 2; }));
    }

    // No tick may come while the timer is meant to be silent.
    static void ExpectSilence(int& count)
    {
        const int before = count;
        PumpFor(60);
        EXPECT_EQ(count, before);
    }

    const desktop::DWORD gui_ = desktop::GetCurrentThreadId();

private:
    void Record(fw::TObject* sender, std::string message)
    {
        std::lock_guard lock(reportsMutex_);
        reports_.push_back({sender, std::move(message), desktop::GetCurrentThreadId()});
    }

    std::mutex reportsMutex_;
    std::vector<Report> reports_;
};

TEST_F(VoTimer, NewTimerWaitsForAHandlerThenTicksOnTheGuiThread)
{
    TVoTimer timer(nullptr);
    EXPECT_TRUE(timer.GetEnabled());
    EXPECT_EQ(timer.GetInterval(), 1000u);
    EXPECT_TRUE(timer.GetSyncEvent());
    EXPECT_TRUE(timer.GetThreaded());
    EXPECT_EQ(timer.GetThreadPriority(), TThreadPriority::tpNormal);
    dice::TVoTimerState state = timer.State();
    EXPECT_TRUE(state.hasWorker);
    EXPECT_TRUE(state.workerPaused);
    EXPECT_EQ(state.workerInterval, 1000u);
    EXPECT_EQ(state.window, nullptr);

    // Enabled and an interval are not enough.
    timer.SetInterval(10);
    EXPECT_TRUE(timer.State().workerPaused);
    EXPECT_EQ(timer.State().workerInterval, 10u);

    int count = 0;
    std::vector<desktop::DWORD> threads;
    fw::TObject* sender = nullptr;
    timer.SetOnTimer([&](fw::TObject* s) {
        ++count;
        threads.push_back(desktop::GetCurrentThreadId());
        sender = s;
    });
    EXPECT_FALSE(timer.State().workerPaused);
    ASSERT_TRUE(PumpUntil([&] { return count >= 3; }));
    EXPECT_EQ(sender, &timer);
    for (desktop::DWORD t : threads) {
        EXPECT_EQ(t, gui_);
    }
}

TEST_F(VoTimer, IntervalZeroOrDisabledDeliversNothingUntilRestored)
{
    TVoTimer timer(nullptr);
    int count = 0;
    StartCounting(timer, count);

    // Not pumping lets the worker hand over a tick that is still waiting when ticking stops.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    timer.SetInterval(0);
    EXPECT_TRUE(timer.GetEnabled());
    EXPECT_TRUE(timer.State().workerPaused);
    ExpectSilence(count);
    timer.SetInterval(10);
    const int resumedAt = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= resumedAt + 2; }));

    timer.SetEnabled(false);
    EXPECT_TRUE(timer.State().workerPaused);
    ExpectSilence(count);
    timer.SetEnabled(true);
    const int enabledAt = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= enabledAt + 2; }));
}

TEST_F(VoTimer, ReplacingTheHandlerKeepsTheWorkerRunningRemovingItPausesIt)
{
    TVoTimer timer(nullptr);
    int first = 0;
    StartCounting(timer, first);
    const unsigned pauses = timer.State().workerPauses;

    int second = 0;
    timer.SetOnTimer([&](fw::TObject*) { ++second; });
    EXPECT_EQ(timer.State().workerPauses, pauses);
    EXPECT_FALSE(timer.State().workerPaused);
    const int firstThen = first;
    EXPECT_TRUE(PumpUntil([&] { return second >= 2; }));
    EXPECT_EQ(first, firstThen);

    timer.SetOnTimer(nullptr);
    EXPECT_EQ(timer.State().workerPauses, pauses + 1);
    EXPECT_TRUE(timer.State().workerPaused);
    ExpectSilence(second);
}

TEST_F(VoTimer, ThreadPriorityReachesTheWorkerOnlyInThreadedMode)
{
    TVoTimer timer(nullptr);
    int count = 0;
    StartCounting(timer, count);
    const auto tid = static_cast<id_t>(timer.State().workerThreadId);
    const int niceBefore = getpriority(PRIO_PROCESS, tid);

    timer.SetThreaded(false);
    timer.SetThreadPriority(TThreadPriority::tpLowest);
    EXPECT_EQ(timer.GetThreadPriority(), TThreadPriority::tpLowest);
    EXPECT_EQ(timer.State().workerPriority, TThreadPriority::tpNormal);
    EXPECT_EQ(getpriority(PRIO_PROCESS, tid), niceBefore);

    timer.SetThreaded(true);
    EXPECT_EQ(timer.State().workerPriority, TThreadPriority::tpLowest);
    EXPECT_EQ(getpriority(PRIO_PROCESS, tid), 10);
    const int at = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= at + 2; }));
}

TEST_F(VoTimer, NonThreadedModeUsesWindowTimerOneAndSwitchingBackResumesTheWorker)
{
    TVoTimer timer(nullptr);
    int count = 0;
    StartCounting(timer, count, 20);

    timer.SetThreaded(false);
    dice::TVoTimerState state = timer.State();
    EXPECT_TRUE(state.workerPaused);
    ASSERT_NE(state.window, nullptr);
    EXPECT_EQ(desktop::GetClassName(state.window), "TPUtilWindow");
    EXPECT_FALSE(desktop::IsWindowVisible(state.window));
    const int switchedAt = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= switchedAt + 2; }));

    timer.SetThreaded(true);
    EXPECT_FALSE(desktop::IsWindow(state.window));
    EXPECT_EQ(timer.State().window, nullptr);
    EXPECT_FALSE(timer.State().workerPaused);
    EXPECT_EQ(timer.State().workerInterval, 20u);
    const int backAt = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= backAt + 2; }));

    // The window timer is the only source in non-threaded mode, under identifier 1.
    timer.SetThreaded(false);
    desktop::HWND window = timer.State().window;
    EXPECT_TRUE(desktop::KillTimer(window, 1));
    ExpectSilence(count);
}

TEST_F(VoTimer, FreeingTheTimerInItsOwnTickEndsTheWorkerWithoutAnotherTick)
{
    auto* timer = new TVoTimer(nullptr);
    int count = 0;
    timer->SetInterval(10);
    const std::uint32_t tid = timer->State().workerThreadId;
    timer->SetOnTimer([&](fw::TObject*) {
        ++count;
        delete timer;
        timer = nullptr;
    });
    ASSERT_TRUE(PumpUntil([&] { return count == 1; }));
    EXPECT_TRUE(PumpUntil([&] { return ThreadGone(tid); }));
    ExpectSilence(count);
}

TEST_F(VoTimer, FreeingTheTimerInItsOwnWindowTickIsSafe)
{
    auto* timer = new TVoTimer(nullptr);
    int count = 0;
    timer->SetThreaded(false);
    timer->SetInterval(10);
    desktop::HWND window = timer->State().window;
    timer->SetOnTimer([&](fw::TObject*) {
        ++count;
        delete timer;
    });
    ASSERT_TRUE(PumpUntil([&] { return count == 1; }));
    EXPECT_FALSE(desktop::IsWindow(window));
    ExpectSilence(count);
}

TEST_F(VoTimer, ATickHandedOverBeforeDestructionNeverReachesTheTimer)
{
    auto* timer = new TVoTimer(nullptr);
    int count = 0;
    timer->SetInterval(10);
    const std::uint32_t tid = timer->State().workerThreadId;
    timer->SetOnTimer([&](fw::TObject*) { ++count; });
    // Without pumping, the worker's next tick waits in the GUI thread's queue.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    delete timer;
    EXPECT_TRUE(PumpUntil([&] { return ThreadGone(tid); }));
    EXPECT_EQ(count, 0);
}

TEST_F(VoTimer, OwnerDestructionStopsTheTimer)
{
    auto* owner = new fw::TComponent(nullptr);
    auto* timer = new TVoTimer(owner);
    int count = 0;
    StartCounting(*timer, count);
    const std::uint32_t tid = timer->State().workerThreadId;
    delete owner;
    EXPECT_TRUE(PumpUntil([&] { return ThreadGone(tid); }));
    ExpectSilence(count);
}

TEST_F(VoTimer, NoTicksWhileTheApplicationShutsDown)
{
    TVoTimer timer(nullptr);
    int count = 0;
    StartCounting(timer, count);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a handed-over tick is waiting
    fw::SetApplicationShuttingDown(true);
    ExpectSilence(count);
    fw::SetApplicationShuttingDown(false);
    const int at = count;
    EXPECT_TRUE(PumpUntil([&] { return count >= at + 2; }));
}

TEST_F(VoTimer, TicksReachTheGuiThreadInsideAModalMessageBox)
{
    TVoTimer timer(nullptr);
    int insideBox = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](fw::TObject*) {
        if (desktop::HWND box = desktop::GetOpenMessageBox()) {
            if (++insideBox == 3) {
                desktop::PostMessage(box, desktop::WM_CLOSE, 0, 0);
            }
        }
    });
    // Should the ticks never come, this closes the box so the test fails instead of hanging.
    const std::uintptr_t safety =
        desktop::SetTimer(nullptr, 0, 10000, [](desktop::HWND, desktop::UINT, std::uintptr_t, desktop::DWORD) {
            desktop::PostMessage(desktop::GetOpenMessageBox(), desktop::WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(desktop::MessageBox(nullptr, "rolling", "Experiment", desktop::MB_OK), desktop::IDOK);
    desktop::KillTimer(nullptr, safety);
    EXPECT_EQ(insideBox, 3);
}

TEST_F(VoTimer, WorkerThreadTicksRunThereAndReportExceptionsThroughTheApplication)
{
    TVoTimer timer(nullptr);
    timer.SetSyncEvent(false);
    timer.SetInterval(10);
    std::atomic<int> count{0};
    std::atomic<bool> onGui{false};
    timer.SetOnTimer([&](fw::TObject*) {
        if (desktop::GetCurrentThreadId() == gui_) {
            onGui = true;
        }
        const int n = ++count;
        if (n == 1) {
            throw fw::EConvertError("tick failed");
        }
        if (n == 2) {
            throw fw::EAbort();
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return count.load() >= 4; }));
    timer.SetOnTimer(nullptr);
    EXPECT_FALSE(onGui.load());
    const std::vector<Report> reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].message, "tick failed");
    EXPECT_NE(reports[0].thread, gui_);
    EXPECT_NE(dynamic_cast<dice::TTimerThread*>(reports[0].sender), nullptr);
}

TEST_F(VoTimer, ASynchronisedTickThatRaisesEndsTheWorker)
{
    TVoTimer timer(nullptr);
    timer.SetInterval(10);
    const std::uint32_t tid = timer.State().workerThreadId;
    int count = 0;
    timer.SetOnTimer([&](fw::TObject*) {
        ++count;
        throw fw::Exception("boom");
    });
    ASSERT_TRUE(PumpUntil([&] { return count == 1; }));
    EXPECT_TRUE(PumpUntil([&] { return ThreadGone(tid); }));
    ExpectSilence(count);
    EXPECT_FALSE(timer.State().hasWorker);

    // The ended worker is never used again; the next reconfiguration starts a fresh one.
    timer.SetInterval(15);
    EXPECT_TRUE(timer.State().hasWorker);
    EXPECT_NE(timer.State().workerThreadId, tid);
    EXPECT_TRUE(PumpUntil([&] { return count >= 2; }));
}

TEST_F(VoTimer, WindowTickExceptionsGoToTheApplicationAndTickingGoesOn)
{
    TVoTimer timer(nullptr);
    timer.SetThreaded(false);
    timer.SetInterval(10);
    int count = 0;
    timer.SetOnTimer([&](fw::TObject*) {
        if (++count == 1) {
            throw fw::Exception("window tick failed");
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return count >= 3; }));
    const std::vector<Report> reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].message, "window tick failed");
    EXPECT_EQ(reports[0].sender, &timer);
}

TEST_F(VoTimer, RefusedWindowTimerRaisesOutOfResourcesAndKeepsTheWindow)
{
    TVoTimer timer(nullptr);
    timer.SetOnTimer([](fw::TObject*) {});
    timer.SetThreaded(false);
    desktop::HWND window = timer.State().window;
    // Timers can only be set by the window's own thread; from any other the system refuses.
    std::string message;
    std::thread other([&] {
        try {
            timer.SetInterval(20);
        } catch (const fw::EOutOfResources& e) {
            message = e.Message();
        }
    });
    other.join();
    EXPECT_EQ(message, "Not enough timers available");
    EXPECT_EQ(timer.State().window, window);
    EXPECT_TRUE(desktop::IsWindow(window));
}

TEST_F(VoTimer, PublishedPropertiesAreSetByName)
{
    dice::RegisterVoTimerClasses();
    const fw::TClassInfo* info = fw::FindClass("TVoTimer");
    ASSERT_NE(info, nullptr);
    std::unique_ptr<fw::TComponent> component(info->create(nullptr));
    auto* timer = dynamic_cast<TVoTimer*>(component.get());
    ASSERT_NE(timer, nullptr);

    info->FindProperty("Interval")->setOrdinal(timer, 15);
    info->FindProperty("SyncEvent")->setOrdinal(timer, 0);
    info->FindProperty("Threaded")->setOrdinal(timer, 0);
    const fw::PropertyInfo* priority = info->FindProperty("ThreadPriority");
    ASSERT_NE(priority, nullptr);
    EXPECT_EQ(priority->names.at(1), "tpLowest");
    priority->setOrdinal(timer, 1);
    int count = 0;
    info->FindProperty("OnTimer")->setMethod(timer, [&](fw::TObject*) { ++count; });
    info->FindProperty("Enabled")->setOrdinal(timer, 1);

    EXPECT_EQ(timer->GetInterval(), 15u);
    EXPECT_FALSE(timer->GetSyncEvent());
    EXPECT_FALSE(timer->GetThreaded());
    EXPECT_EQ(timer->GetThreadPriority(), TThreadPriority::tpLowest);
    EXPECT_NE(info->FindProperty("Tag"), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return count >= 2; }));
}

}  // namespace
