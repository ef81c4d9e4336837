// GLib's context served from the GUI thread: a source made ready by another thread wakes the
// wait, and its callback runs on the thread that owns the loop.
#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "desktop/backends/SdlGlibLoop.h"

namespace {

using desktop::sdl::GlibLoop;

struct Waker {
    std::mutex mutex;
    std::condition_variable woken;
    int wakes = 0;
    void Wake()
    {
        std::lock_guard lock(mutex);
        ++wakes;
        woken.notify_all();
    }
    // Stands in for SDL's wait: until woken or GLib's timeout passes (a deadline of ten
    // seconds stands for "none"). False when nothing woke it.
    bool Wait(int timeoutMs)
    {
        std::unique_lock lock(mutex);
        const auto limit = std::chrono::milliseconds(timeoutMs < 0 ? 10000 : timeoutMs);
        const bool woke = woken.wait_for(lock, limit, [&] { return wakes > 0; });
        wakes = 0;
        return woke;
    }
};

struct Ran {
    std::atomic<int> count{0};
    std::atomic<std::thread::id> thread{};
};

gboolean RecordIdle(gpointer data)
{
    auto* ran = static_cast<Ran*>(data);
    ran->thread = std::this_thread::get_id();
    ++ran->count;
    return G_SOURCE_REMOVE;
}

// Runs the GUI thread's wait until `done` holds; false when a wait without a timeout of
// GLib's was never woken.
template <typename Done>
bool Serve(GlibLoop& loop, Waker& waker, Done done)
{
    while (!done()) {
        const int timeout = loop.BeforeWait();
        const bool woke = waker.Wait(timeout);
        loop.AfterWait();
        if (!woke && timeout < 0) return false;
    }
    return true;
}

TEST(SdlGlibLoopTest, SourceFromAnotherThreadRunsOnTheOwningThreadEvenAfterACancel)
{
    Waker waker;
    GlibLoop loop([&] { waker.Wake(); });
    ASSERT_TRUE(loop.Owned());
    Ran ran;
    // A round ended before anything happened leaves a cancel behind: the next round must
    // still watch GLib's descriptors.
    for (int round = 0; round < 3; ++round) {
        loop.BeforeWait();
        loop.AfterWait();
        std::thread poster([&] { g_idle_add(RecordIdle, &ran); });
        const bool served = Serve(loop, waker, [&] { return ran.count.load() == round + 1; });
        poster.join();
        ASSERT_TRUE(served);
        EXPECT_EQ(ran.thread.load(), std::this_thread::get_id());
    }
}

TEST(SdlGlibLoopTest, TimeoutIsGlibsOwnAndZeroWhenSomethingIsReady)
{
    Waker waker;
    GlibLoop loop([&] { waker.Wake(); });
    EXPECT_EQ(loop.BeforeWait(), -1);
    loop.AfterWait();
    Ran ran;
    const guint timer = g_timeout_add(
        60000, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    const int timeout = loop.BeforeWait();
    loop.AfterWait();
    EXPECT_GT(timeout, 50000);
    EXPECT_LE(timeout, 60000);
    g_source_remove(timer);
    g_idle_add(RecordIdle, &ran);
    EXPECT_EQ(loop.BeforeWait(), 0);
    loop.AfterWait();
    EXPECT_EQ(ran.count.load(), 1);
}

TEST(SdlGlibLoopTest, AContextOwnedElsewhereIsLeftAlone)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    bool release = false;
    std::thread owner([&] {
        g_main_context_acquire(g_main_context_default());
        std::unique_lock lock(mutex);
        held = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
        g_main_context_release(g_main_context_default());
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return held; });
    }
    {
        GlibLoop loop([] {});
        EXPECT_FALSE(loop.Owned());
        EXPECT_EQ(loop.BeforeWait(), -1);
        loop.AfterWait();
    }
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    owner.join();
}

}  // namespace
