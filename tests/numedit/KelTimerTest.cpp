#include "numedit/KelTimer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesHooks.h"
#include "framework/SysUtilsExceptions.h"

namespace {

using numedit::TKelTimer;

class KelTimer : public ::testing::Test {
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
                        reports_.push_back({sender, e.Message()});
                    }
                },
            .showException = {},
        });
    }
    void TearDown() override
    {
        fw::RemoveApplicationHooks();
        desktop::headless::Uninstall();
    }

    // Runs the message loop until done() holds. Some timer must be running, or this waits
    // forever; the message count only bounds a loop that keeps missing its condition.
    static bool RunUntil(const std::function<bool()>& done)
    {
        desktop::MSG msg;
        for (int i = 0; i < 10000 && !done(); ++i) {
            if (!desktop::GetMessage(&msg, nullptr, 0, 0)) {
                return false;
            }
            desktop::TranslateMessage(&msg);
            desktop::DispatchMessage(&msg);
        }
        return done();
    }

    // Starts counting ticks every 10 ms: the yardstick that other timers are compared with.
    static void Count(TKelTimer& timer, int& ticks)
    {
        timer.SetInterval(10);
        timer.SetOnTimer([&ticks](fw::TObject*) { ++ticks; });
    }

    struct Report {
        fw::TObject* sender;
        std::string message;
    };
    std::vector<Report> reports_;
};

TEST_F(KelTimer, TicksArriveOnTheGuiThreadThroughTheMessageLoop)
{
    TKelTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Running());  // nothing to call yet

    int ticks = 0;
    std::vector<fw::TObject*> senders;
    const desktop::DWORD gui = desktop::GetCurrentThreadId();
    timer.SetInterval(10);
    timer.SetOnTimer([&](fw::TObject* sender) {
        EXPECT_EQ(desktop::GetCurrentThreadId(), gui);
        senders.push_back(sender);
        ++ticks;
    });
    EXPECT_TRUE(timer.Running());
    EXPECT_NE(numedit::KelTimerWindow(), nullptr);
    ASSERT_TRUE(RunUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(senders.front(), &timer);
}

TEST_F(KelTimer, OnlyAnEnabledTimerWithAPeriodAndAHandlerTicks)
{
    TKelTimer yardstick(nullptr);
    int reference = 0;
    Count(yardstick, reference);

    TKelTimer disabled(nullptr);
    int disabledTicks = 0;
    disabled.SetEnabled(false);
    Count(disabled, disabledTicks);
    TKelTimer zero(nullptr);
    int zeroTicks = 0;
    Count(zero, zeroTicks);
    zero.SetInterval(0);
    EXPECT_FALSE(disabled.Running());
    EXPECT_FALSE(zero.Running());

    ASSERT_TRUE(RunUntil([&] { return reference >= 5; }));
    EXPECT_EQ(disabledTicks, 0);
    EXPECT_EQ(zeroTicks, 0);

    disabled.SetEnabled(true);
    ASSERT_TRUE(RunUntil([&] { return disabledTicks >= 2; }));
}

TEST_F(KelTimer, RunningTimersShareOneWindowThatGoesWithTheLast)
{
    auto owner = std::make_unique<fw::TComponent>(nullptr);
    auto* owned = new TKelTimer(owner.get());
    TKelTimer other(nullptr);
    int a = 0;
    int b = 0;
    Count(*owned, a);
    Count(other, b);
    const desktop::HWND window = numedit::KelTimerWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(RunUntil([&] { return a >= 2 && b >= 2; }));

    other.SetEnabled(false);
    EXPECT_EQ(numedit::KelTimerWindow(), window);
    owner.reset();  // frees the owned timer, the last one running
    EXPECT_EQ(numedit::KelTimerWindow(), nullptr);
    EXPECT_FALSE(desktop::IsWindow(window));

    other.SetEnabled(true);
    EXPECT_NE(numedit::KelTimerWindow(), nullptr);
}

TEST_F(KelTimer, AHandlerMayChangeTheIntervalAndFreeItsOwnTimer)
{
    TKelTimer yardstick(nullptr);
    int reference = 0;
    Count(yardstick, reference);

    auto* timer = new TKelTimer(nullptr);
    int ticks = 0;
    timer->SetInterval(30);
    timer->SetOnTimer([&](fw::TObject*) {
        ++ticks;
        if (ticks == 1) {
            timer->SetInterval(10);  // as a repeat that starts slow, then goes faster
        } else {
            delete timer;
        }
    });
    ASSERT_TRUE(RunUntil([&] { return ticks == 2; }));
    reference = 0;
    ASSERT_TRUE(RunUntil([&] { return reference >= 5; }));
    EXPECT_EQ(ticks, 2);
}

TEST_F(KelTimer, WhatAHandlerRaisesGoesToTheApplicationAndTheTimerGoesOn)
{
    TKelTimer timer(nullptr);
    timer.SetInterval(10);
    timer.SetOnTimer([](fw::TObject*) { throw fw::Exception("tick failed"); });
    ASSERT_TRUE(RunUntil([&] { return reports_.size() >= 2; }));
    EXPECT_EQ(reports_[0].sender, &timer);
    EXPECT_EQ(reports_[0].message, "tick failed");

    // A handler that frees its timer and then fails is reported without the freed sender.
    auto* doomed = new TKelTimer(nullptr);
    doomed->SetInterval(10);
    doomed->SetOnTimer([&](fw::TObject*) {
        delete doomed;
        throw fw::Exception("freed, then failed");
    });
    ASSERT_TRUE(RunUntil([&] { return reports_.back().message == "freed, then failed"; }));
    EXPECT_EQ(reports_.back().sender, nullptr);
}

}  // namespace
