// The die's animation: a threaded timer owned by the die rolls it until Rotate goes off or the
// automatic stop comes, then one more roll and OnStop.

#include <gtest/gtest.h>

#include <stdexcept>

#include "VoDiceTestSupport.h"
#include "desktop/System.h"
#include "dice/VoTimer.h"

namespace {

using dice::TVoDice;
using dice::testing::DieTest;

class VoDiceRotation : public DieTest {
protected:
    void SetUp() override
    {
        DieTest::SetUp();
        die_ = NewDie();
        die_->OnChange = [this](fw::TObject*) { ++changes_; };
        die_->OnStart = [this](fw::TObject* sender) {
            EXPECT_EQ(sender, die_);
            ++starts_;
        };
        die_->OnStop = [this](fw::TObject* sender) {
            EXPECT_EQ(sender, die_);
            ++stops_;
            changesAtStop_ = changes_;
        };
        ShowForm();
    }

    bool PumpUntil(const std::function<bool()>& condition, desktop::DWORD timeoutMs = 5000)
    {
        const desktop::DWORD start = desktop::GetTickCount();
        while (!condition()) {
            if (desktop::GetTickCount() - start > timeoutMs) return false;
            desktop::headless::PumpUntil(condition, 20);
            app_->ProcessMessages();
        }
        return true;
    }

    TVoDice* die_ = nullptr;
    int changes_ = 0;
    int starts_ = 0;
    int stops_ = 0;
    int changesAtStop_ = -1;
};

TEST_F(VoDiceRotation, RotatesUntilSwitchedOffThenRollsOnceMoreAndStops)
{
    die_->SetRotate(true);
    EXPECT_EQ(starts_, 1);
    EXPECT_TRUE(die_->Rotate());
    dice::TVoTimer* timer = die_->AnimationTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Owner(), die_);
    EXPECT_EQ(timer->GetInterval(), 60u);
    EXPECT_TRUE(timer->GetEnabled());
    EXPECT_TRUE(timer->GetThreaded());
    EXPECT_TRUE(timer->GetSyncEvent());
    die_->SetRotate(true);
    EXPECT_EQ(starts_, 1) << "already rotating";

    ASSERT_TRUE(PumpUntil([&] { return changes_ >= 3; })) << "the die rolls on its own";
    EXPECT_EQ(stops_, 0);

    die_->SetRotate(false);
    EXPECT_FALSE(die_->Rotate());
    EXPECT_EQ(stops_, 0) << "the stop comes at the next tick";
    EXPECT_EQ(die_->AnimationTimer(), timer);
    const int changesAtSwitch = changes_;
    ASSERT_TRUE(PumpUntil([&] { return stops_ > 0; }));
    EXPECT_EQ(stops_, 1);
    EXPECT_EQ(changesAtStop_, changesAtSwitch + 1) << "exactly one more roll before OnStop";
    EXPECT_EQ(die_->AnimationTimer(), nullptr);
    EXPECT_EQ(die_->ComponentCount(), 0) << "the timer is freed";

    const int changesAfterStop = changes_;
    desktop::Sleep(200);
    app_->ProcessMessages();
    EXPECT_EQ(changes_, changesAfterStop) << "no ticks after the stop";
    EXPECT_EQ(starts_, 1);
}

TEST_F(VoDiceRotation, AutoStopEndsTheRotationAfterItsInterval)
{
    die_->SetAutoStopInterval(1000);
    const desktop::DWORD started = desktop::GetTickCount();
    die_->SetRotate(true);
    ASSERT_TRUE(PumpUntil([&] { return stops_ > 0; }, 10000));
    const desktop::DWORD stopped = desktop::GetTickCount();
    EXPECT_GE(stopped - started, 1000u) << "no stop before the interval has passed";
    EXPECT_FALSE(die_->Rotate());
    EXPECT_EQ(die_->AnimationTimer(), nullptr);
    EXPECT_GE(changes_, 2) << "at least the roll that saw the time up and the final one";
    EXPECT_EQ(starts_, 1);
}

TEST_F(VoDiceRotation, IntervalChangesReachTheRunningTimer)
{
    die_->SetRotate(true);
    ASSERT_NE(die_->AnimationTimer(), nullptr);
    die_->SetInterval(250);
    EXPECT_EQ(die_->Interval(), 250u);
    EXPECT_EQ(die_->AnimationTimer()->GetInterval(), 250u);
    EXPECT_EQ(die_->AnimationTimer()->State().workerInterval, 250u);
    EXPECT_FALSE(die_->AnimationTimer()->State().workerPaused);
    die_->SetRotate(false);
    ASSERT_TRUE(PumpUntil([&] { return stops_ > 0; }));
    die_->SetInterval(90);
    EXPECT_EQ(die_->Interval(), 90u) << "stored without a timer too";
}

TEST_F(VoDiceRotation, SwitchingOnWhileStoppingKeepsTheTimerAndStartsAgain)
{
    die_->SetRotate(true);
    dice::TVoTimer* timer = die_->AnimationTimer();
    die_->SetRotate(false);
    die_->SetRotate(true);
    EXPECT_EQ(starts_, 2);
    EXPECT_EQ(die_->AnimationTimer(), timer);
    ASSERT_TRUE(PumpUntil([&] { return changes_ >= 2; }));
    EXPECT_EQ(stops_, 0) << "rotating again, not stopping";
    EXPECT_TRUE(die_->Rotate());
}

TEST_F(VoDiceRotation, FailingOnStartLeavesNoRotation)
{
    die_->OnStart = [](fw::TObject*) { throw std::runtime_error("refused"); };
    EXPECT_THROW(die_->SetRotate(true), std::runtime_error);
    EXPECT_EQ(die_->AnimationTimer(), nullptr);
    EXPECT_FALSE(die_->Rotate());
    EXPECT_EQ(die_->ComponentCount(), 0);
    desktop::Sleep(150);
    app_->ProcessMessages();
    EXPECT_EQ(changes_, 0);
}

TEST_F(VoDiceRotation, DestroyingARotatingDieFiresNoStop)
{
    die_->SetRotate(true);
    ASSERT_TRUE(PumpUntil([&] { return changes_ >= 1; }));
    delete die_;
    die_ = nullptr;
    desktop::Sleep(150);
    app_->ProcessMessages();
    EXPECT_EQ(stops_, 0);
}

}  // namespace
