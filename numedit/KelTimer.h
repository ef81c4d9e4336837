#pragma once

// TKelTimer: the family's periodic timer. Its ticks arrive on the GUI thread through the
// message loop: every running timer of a thread is a window timer of one hidden window that
// the family shares, made with the first running timer and freed with the last.
//
// A timer runs while it is enabled, has a non-zero interval and an OnTimer handler. A handler
// may free its own timer. Whatever a handler raises goes to the application's exception
// report, like any other message handling.

#include <cstdint>
#include <memory>

#include "desktop/Types.h"
#include "framework/ClassesComponent.h"

namespace numedit {

class TKelTimer : public fw::TComponent {
public:
    explicit TKelTimer(fw::TComponent* owner);
    ~TKelTimer() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Milliseconds; a change restarts the period. The desktop does not tick faster than every
    // 10 ms.
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    const fw::TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(fw::TNotifyEvent handler);

    bool Running() const { return running_; }

protected:
    // One tick: calls OnTimer.
    virtual void Timer();

private:
    friend struct KelTimerTick;

    void UpdateTimer();

    std::uintptr_t id_;
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
    std::uint32_t interval_ = 1000;
    fw::TNotifyEvent onTimer_;
    bool enabled_ = true;
    bool running_ = false;
};

// The calling thread's shared timer window while any timer runs there, else null.
desktop::HWND KelTimerWindow();

}  // namespace numedit
