#pragma once

// TVoTimer: a non-visual timer whose ticks are timed by a worker thread and, by default,
// run on the GUI thread; switched to non-threaded mode it uses a window timer instead.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "desktop/Types.h"
#include "framework/ClassesComponent.h"
#include "framework/ClassesThread.h"

namespace dice {

class TTimerThread;
class TVoTimer;

// What a timer and its worker share; both own it. The worker reaches its timer only through
// it, so a tick the worker is busy with (or has handed to the GUI thread) never reaches a
// destroyed timer, and the timer never calls a worker that has ended.
struct TimerLink {
    // Read by the worker without locks, written by the GUI thread.
    std::atomic<bool> enabled{true};
    std::atomic<bool> syncEvent{true};
    std::atomic<bool> destroying{false};
    // Cleared when the timer is destroyed. A tick run on the worker holds tickMutex, so the
    // timer's destruction (and a change of OnTimer) waits until it is over.
    std::recursive_mutex tickMutex;
    TVoTimer* timer = nullptr;
    // The live worker; the worker clears it as it goes, so nobody calls an ended one.
    std::mutex workerMutex;
    TTimerThread* worker = nullptr;
};

// Sleeps for its interval, then delivers one tick of its timer; frees itself when it ends.
// Pause checks: a paused worker waits between rounds; a pause also ends a sleep under way, so
// the next round sleeps the interval set meanwhile; a tick is dropped when the worker is found
// paused after its sleep or when the GUI thread picks the tick up.
class TTimerThread : public fw::TThread {
public:
    explicit TTimerThread(std::shared_ptr<TimerLink> link);
    ~TTimerThread() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    std::uint32_t GetInterval() const { return interval_.load(); }
    // Changed only while the worker is paused, so a round never mixes two intervals.
    void SetInterval(std::uint32_t value) { interval_.store(value); }
    // The exception a tick on this thread raised while it is being reported, else null.
    const fw::Exception* ReportedException() const { return reported_; }

protected:
    void Execute() override;

private:
    void DeliverOnGuiThread();
    void DeliverHere();

    std::shared_ptr<TimerLink> link_;
    std::atomic<std::uint32_t> interval_{1000};
    const fw::Exception* reported_ = nullptr;
};

// A snapshot of how a timer is realised, for diagnostics and tests.
struct TVoTimerState {
    bool hasWorker = false;
    bool workerPaused = false;
    std::uint32_t workerInterval = 0;
    fw::TThreadPriority workerPriority = fw::TThreadPriority::tpNormal;
    std::uint32_t workerThreadId = 0;
    unsigned workerPauses = 0;  // how often a reconfiguration had to pause a running worker
    desktop::HWND window = nullptr;
};

class TVoTimer : public fw::TComponent {
public:
    explicit TVoTimer(fw::TComponent* owner);
    ~TVoTimer() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    bool GetEnabled() const { return link_->enabled.load(); }
    void SetEnabled(bool value);
    std::uint32_t GetInterval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    const fw::TNotifyEvent& GetOnTimer() const { return onTimer_; }
    void SetOnTimer(fw::TNotifyEvent handler);
    bool GetSyncEvent() const { return link_->syncEvent.load(); }
    void SetSyncEvent(bool value) { link_->syncEvent.store(value); }
    bool GetThreaded() const { return threaded_; }
    void SetThreaded(bool value);
    fw::TThreadPriority GetThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(fw::TThreadPriority value);

    TVoTimerState State() const;

protected:
    // One tick: calls OnTimer unless disabled, being destroyed or without a handler.
    virtual void Timer();

private:
    friend class TTimerThread;

    bool ShouldTick() const;
    void UpdateTimer();
    void UpdateThreaded(bool shouldTick);
    void UpdateWindowTimer(bool shouldTick);
    void PauseWorkerLocked(TTimerThread* worker);
    desktop::LRESULT WindowMessage(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam,
                                   desktop::LPARAM lParam);

    std::shared_ptr<TimerLink> link_ = std::make_shared<TimerLink>();
    std::uint32_t interval_ = 1000;
    fw::TNotifyEvent onTimer_;
    desktop::HWND window_ = nullptr;
    bool threaded_ = true;
    fw::TThreadPriority threadPriority_ = fw::TThreadPriority::tpNormal;
    unsigned workerPauses_ = 0;
};

// Makes TVoTimer known to the layout reader.
void RegisterVoTimerClasses();

}  // namespace dice
