#include "dice/VoTimer.h"

#include <exception>
#include <utility>

#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/ClassesUtilWindow.h"
#include "framework/ResStrings.h"

namespace dice {

namespace {

constexpr std::uintptr_t kWindowTimerId = 1;

}  // namespace

// ---- TTimerThread ----

TTimerThread::TTimerThread(std::shared_ptr<TimerLink> link) : TThread(true), link_(std::move(link))
{
    SetFreeOnTerminate(true);
}

TTimerThread::~TTimerThread()
{
    std::lock_guard lock(link_->workerMutex);
    if (link_->worker == this) {
        link_->worker = nullptr;
    }
}

const fw::TClassInfo& TTimerThread::Info()
{
    static const fw::TClassInfo info{.name = "TTimerThread", .parent = &fw::TThread::Info()};
    return info;
}

void TTimerThread::Execute()
{
    while (!Terminated()) {
        // A paused worker waits here, between rounds.
        WaitWhilePaused();
        if (Terminated()) {
            break;
        }
        // A pause during the sleep ends the round: the next one sleeps the interval set meanwhile.
        if (!SleepFor(interval_.load())) {
            continue;
        }
        if (Terminated() || fw::ApplicationShuttingDown() || Paused()) {
            continue;
        }
        if (!link_->enabled.load()) {
            continue;
        }
        if (link_->syncEvent.load()) {
            Synchronize([this] { DeliverOnGuiThread(); });
        } else {
            DeliverHere();
        }
    }
}

void TTimerThread::DeliverOnGuiThread()
{
    // The timer may have been reconfigured or destroyed since the tick was handed over;
    // both happen on this (the GUI) thread, so what is seen here is current.
    if (Paused() || Terminated() || fw::ApplicationShuttingDown()) {
        return;
    }
    if (TVoTimer* timer = link_->timer) {
        timer->Timer();
    }
}

void TTimerThread::DeliverHere()
{
    std::exception_ptr failure;
    {
        std::lock_guard lock(link_->tickMutex);
        TVoTimer* timer = link_->timer;
        if (timer == nullptr || Paused()) {
            return;
        }
        try {
            timer->Timer();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure) {
        return;
    }
    // Reported without the lock: the application's handler may wait for the GUI thread.
    try {
        std::rethrow_exception(failure);
    } catch (const fw::EAbort&) {
    } catch (const fw::Exception& error) {
        reported_ = &error;
        fw::ApplicationShowException(this, error);
        reported_ = nullptr;
    }
    // Anything else leaves Execute and ends the worker.
}

// ---- TVoTimer ----

TVoTimer::TVoTimer(fw::TComponent* owner) : TComponent(owner)
{
    link_->timer = this;
    std::lock_guard lock(link_->workerMutex);
    link_->worker = new TTimerThread(link_);
}

TVoTimer::~TVoTimer()
{
    link_->destroying.store(true);
    try {
        SetEnabled(false);
        SetOnTimer(nullptr);
    } catch (...) {
        // Stopping never needs a new system timer; nothing else can fail here.
    }
    {
        std::lock_guard lock(link_->tickMutex);
        link_->timer = nullptr;
    }
    {
        std::lock_guard lock(link_->workerMutex);
        if (TTimerThread* worker = link_->worker) {
            // Not waited for: it ends at its next check and frees itself.
            worker->Terminate();
            while (worker->Paused()) {
                worker->Resume();
            }
            link_->worker = nullptr;
        }
    }
    if (window_ != nullptr) {
        desktop::KillTimer(window_, kWindowTimerId);
        fw::DeallocateHWnd(window_);
        window_ = nullptr;
    }
}

const fw::TClassInfo& TVoTimer::Info()
{
    using T = TVoTimer;
    static const fw::TClassInfo info =
        fw::ClassBuilder<T, fw::TComponent>("TVoTimer")
            .Boolean("Enabled", &T::GetEnabled, &T::SetEnabled)
            .Integer("Interval", &T::GetInterval, &T::SetInterval)
            .Boolean("SyncEvent", &T::GetSyncEvent, &T::SetSyncEvent)
            .Boolean("Threaded", &T::GetThreaded, &T::SetThreaded)
            .Enum("ThreadPriority",
                  {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"},
                  &T::GetThreadPriority, &T::SetThreadPriority)
            .Event("OnTimer", &T::SetOnTimer)
            .Build();
    return info;
}

void TVoTimer::SetEnabled(bool value)
{
    if (value != link_->enabled.load()) {
        link_->enabled.store(value);
        UpdateTimer();
    }
}

void TVoTimer::SetInterval(std::uint32_t value)
{
    if (value != interval_) {
        interval_ = value;
        UpdateTimer();
    }
}

void TVoTimer::SetOnTimer(fw::TNotifyEvent handler)
{
    const bool wasAssigned = static_cast<bool>(onTimer_);
    {
        std::lock_guard lock(link_->tickMutex);
        onTimer_ = std::move(handler);
    }
    if (wasAssigned != static_cast<bool>(onTimer_)) {
        UpdateTimer();
    }
}

void TVoTimer::SetThreaded(bool value)
{
    if (value != threaded_) {
        threaded_ = value;
        UpdateTimer();
    }
}

void TVoTimer::SetThreadPriority(fw::TThreadPriority value)
{
    if (value != threadPriority_) {
        threadPriority_ = value;
        if (threaded_) {
            UpdateTimer();
        }
    }
}

void TVoTimer::Timer()
{
    if (link_->enabled.load() && !link_->destroying.load() && onTimer_) {
        // A copy: the handler may replace itself or free the timer.
        fw::TNotifyEvent handler = onTimer_;
        handler(this);
    }
}

bool TVoTimer::ShouldTick() const { return interval_ != 0 && link_->enabled.load() && onTimer_; }

void TVoTimer::UpdateTimer()
{
    const bool shouldTick = ShouldTick();
    if (threaded_) {
        UpdateThreaded(shouldTick);
    } else {
        UpdateWindowTimer(shouldTick);
    }
}

void TVoTimer::PauseWorkerLocked(TTimerThread* worker)
{
    if (worker != nullptr && !worker->Paused()) {
        worker->Pause();
        ++workerPauses_;
    }
}

void TVoTimer::UpdateThreaded(bool shouldTick)
{
    if (window_ != nullptr) {
        desktop::KillTimer(window_, kWindowTimerId);
        fw::DeallocateHWnd(window_);
        window_ = nullptr;
    }
    std::lock_guard lock(link_->workerMutex);
    TTimerThread* worker = link_->worker;
    if (worker == nullptr && shouldTick && !link_->destroying.load()) {
        // The previous worker ended (a synchronised tick raised); a new one takes over.
        worker = new TTimerThread(link_);
        link_->worker = worker;
    }
    if (worker == nullptr) {
        return;
    }
    PauseWorkerLocked(worker);
    worker->SetInterval(interval_);
    if (shouldTick) {
        worker->SetPriority(threadPriority_);
        while (worker->Paused()) {
            worker->Resume();
        }
    }
}

void TVoTimer::UpdateWindowTimer(bool shouldTick)
{
    {
        std::lock_guard lock(link_->workerMutex);
        PauseWorkerLocked(link_->worker);
    }
    if (window_ == nullptr) {
        window_ =
            fw::AllocateHWnd([this](desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam,
                                    desktop::LPARAM lParam) { return WindowMessage(window, msg, wParam, lParam); });
    } else {
        desktop::KillTimer(window_, kWindowTimerId);
    }
    if (shouldTick && desktop::SetTimer(window_, kWindowTimerId, interval_, nullptr) == 0) {
        throw fw::EOutOfResources(fw::SNoTimers);
    }
}

desktop::LRESULT TVoTimer::WindowMessage(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam,
                                         desktop::LPARAM lParam)
{
    if (msg != desktop::WM_TIMER) {
        return desktop::DefWindowProc(window, msg, wParam, lParam);
    }
    try {
        Timer();  // may free this timer: nothing of it is touched afterwards
    } catch (...) {
        fw::ApplicationHandleException(this);
    }
    return 0;
}

TVoTimerState TVoTimer::State() const
{
    TVoTimerState state;
    state.window = window_;
    state.workerPauses = workerPauses_;
    std::lock_guard lock(link_->workerMutex);
    if (const TTimerThread* worker = link_->worker) {
        state.hasWorker = true;
        state.workerPaused = worker->Paused();
        state.workerInterval = worker->GetInterval();
        state.workerPriority = worker->GetPriority();
        state.workerThreadId = worker->ThreadID();
    }
    return state;
}

void RegisterVoTimerClasses() { fw::RegisterClass(TVoTimer::Info()); }

}  // namespace dice
