#include "numedit/KelTimer.h"

#include <atomic>
#include <memory>
#include <unordered_map>
#include <utility>

#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/ClassesUtilWindow.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"

namespace numedit {

// Delivers a tick to the timer the window timer belongs to. The handler may free the timer;
// a freed timer is not named as the sender of what its handler raised.
struct KelTimerTick {
    static void Run(TKelTimer& timer)
    {
        const std::weak_ptr<const int> alive = timer.alive_;
        try {
            timer.Timer();
        } catch (...) {
            fw::ApplicationHandleException(alive.expired() ? nullptr : &timer);
        }
    }
};

namespace {

// The hidden window of a thread and the timers running on it, by window-timer id.
struct TimerService {
    desktop::HWND window = nullptr;
    std::unordered_map<std::uintptr_t, TKelTimer*> running;
};

thread_local TimerService service;

// Ids are never reused, so a tick of a stopped timer cannot reach a newer one.
std::atomic<std::uintptr_t> nextTimerId{0};

desktop::LRESULT ServiceMessage(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam, desktop::LPARAM lParam)
{
    if (msg == desktop::WM_TIMER) {
        const auto found = service.running.find(static_cast<std::uintptr_t>(wParam));
        if (found != service.running.end()) {
            KelTimerTick::Run(*found->second);
        }
        return 0;
    }
    if (msg == desktop::WM_DESTROY && window == service.window) {
        // Torn down from outside (the desktop going away): the timers died with it.
        service.window = nullptr;
        service.running.clear();
    }
    return desktop::DefWindowProc(window, msg, wParam, lParam);
}

void StartTicking(TKelTimer* timer, std::uintptr_t id, std::uint32_t interval)
{
    if (service.window == nullptr || !desktop::IsWindow(service.window)) {
        service.running.clear();
        service.window = fw::AllocateHWnd(ServiceMessage);
    }
    // Setting a running timer again restarts its period.
    if (desktop::SetTimer(service.window, id, interval, nullptr) == 0) {
        if (service.running.empty()) {
            fw::DeallocateHWnd(std::exchange(service.window, nullptr));
        }
        throw fw::EOutOfResources(fw::SNoTimers);
    }
    service.running[id] = timer;
}

void StopTicking(std::uintptr_t id)
{
    if (service.running.erase(id) == 0) {
        return;
    }
    desktop::KillTimer(service.window, id);
    if (service.running.empty()) {
        desktop::HWND window = std::exchange(service.window, nullptr);
        fw::DeallocateHWnd(window);
    }
}

}  // namespace

TKelTimer::TKelTimer(fw::TComponent* owner) : fw::TComponent(owner), id_(++nextTimerId) {}

TKelTimer::~TKelTimer()
{
    enabled_ = false;
    UpdateTimer();
}

const fw::TClassInfo& TKelTimer::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TKelTimer, fw::TComponent>("TKelTimer")
                                           .Boolean("Enabled", &TKelTimer::Enabled, &TKelTimer::SetEnabled)
                                           .Integer("Interval", &TKelTimer::Interval, &TKelTimer::SetInterval)
                                           .Event("OnTimer", &TKelTimer::SetOnTimer)
                                           .Build();
    return info;
}

void TKelTimer::SetEnabled(bool value)
{
    if (value != enabled_) {
        enabled_ = value;
        UpdateTimer();
    }
}

void TKelTimer::SetInterval(std::uint32_t value)
{
    if (value != interval_) {
        interval_ = value;
        UpdateTimer();
    }
}

void TKelTimer::SetOnTimer(fw::TNotifyEvent handler)
{
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TKelTimer::UpdateTimer()
{
    if (enabled_ && interval_ != 0 && onTimer_) {
        StartTicking(this, id_, interval_);
        running_ = true;
    } else if (running_) {
        running_ = false;
        StopTicking(id_);
    }
}

void TKelTimer::Timer()
{
    // A copy: the handler may replace itself or free the timer.
    const fw::TNotifyEvent handler = onTimer_;
    if (handler) {
        handler(this);
    }
}

desktop::HWND KelTimerWindow() { return service.window; }

}  // namespace numedit
