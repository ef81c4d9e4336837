#include "desktop/backends/SdlGlibLoop.h"

#include <fcntl.h>
#include <glib.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace desktop::sdl {

// The watcher polls a copy of GLib's descriptors plus the read end of a cancel pipe. A
// round is asked for by the GUI thread (BeforeWait) and ended by it (AfterWait), which
// waits until the watcher is out of poll() before it touches the descriptors itself.
struct GlibLoop::State {
    std::function<void()> wake;
    GMainContext* context = nullptr;
    bool owned = false;
    int cancel[2] = {-1, -1};
    std::vector<GPollFD> fds;  // GUI thread's copy, filled by g_main_context_query
    gint maxPriority = 0;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<pollfd> watched;  // under mutex: what the next round polls
    bool roundAsked = false;      // under mutex
    bool polling = false;         // under mutex: the watcher is inside a round
    bool quitting = false;        // under mutex
    std::thread watcher;

    void WatchLoop()
    {
        std::vector<pollfd> round;
        for (;;) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return roundAsked || quitting; });
                if (quitting) return;
                roundAsked = false;
                polling = true;
                round = watched;
            }
            int ready = 0;
            do {
                ready = ::poll(round.data(), round.size(), -1);
            } while (ready < 0 && errno == EINTR);
            // Only GLib's own descriptors are news for the GUI thread; the cancel pipe is last.
            bool news = false;
            for (std::size_t i = 0; i + 1 < round.size(); ++i) news = news || round[i].revents != 0;
            if (news) wake();
            {
                std::lock_guard lock(mutex);
                polling = false;
            }
            changed.notify_all();
        }
    }

    void StopRound()
    {
        std::unique_lock lock(mutex);
        roundAsked = false;
        if (polling) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t written = ::write(cancel[1], &byte, 1);
            changed.wait(lock, [&] { return !polling; });
        }
        // A cancel the watcher did not read must not end the next round at once, which would
        // leave the descriptors unwatched until something else woke the GUI thread.
        char drain[64];
        while (::read(cancel[0], drain, sizeof drain) > 0) {
        }
    }
};

GlibLoop::GlibLoop(std::function<void()> wake) : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.wake = std::move(wake);
    s.context = g_main_context_default();
    s.owned = g_main_context_acquire(s.context);
    if (!s.owned || ::pipe2(s.cancel, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (s.owned) g_main_context_release(s.context);
        s.owned = false;
        return;
    }
    s.watcher = std::thread([&s] { s.WatchLoop(); });
}

GlibLoop::~GlibLoop()
{
    State& s = *state_;
    if (!s.owned) return;
    s.StopRound();
    {
        std::lock_guard lock(s.mutex);
        s.quitting = true;
    }
    s.changed.notify_all();
    s.watcher.join();
    ::close(s.cancel[0]);
    ::close(s.cancel[1]);
    g_main_context_release(s.context);
}

bool GlibLoop::Owned() const { return state_->owned; }

int GlibLoop::BeforeWait()
{
    State& s = *state_;
    if (!s.owned) return -1;
    const bool ready = g_main_context_prepare(s.context, &s.maxPriority);
    gint timeout = -1;
    gint count = static_cast<gint>(s.fds.size());
    for (;;) {
        const gint needed = g_main_context_query(s.context, s.maxPriority, &timeout, s.fds.data(), count);
        if (needed <= count) {
            s.fds.resize(static_cast<std::size_t>(needed));
            break;
        }
        count = needed;
        s.fds.resize(static_cast<std::size_t>(count));
    }
    {
        std::lock_guard lock(s.mutex);
        s.watched.clear();
        for (const GPollFD& fd : s.fds) s.watched.push_back(pollfd{fd.fd, static_cast<short>(fd.events), 0});
        s.watched.push_back(pollfd{s.cancel[0], POLLIN, 0});
        s.roundAsked = true;
    }
    s.changed.notify_all();
    // A source that is ready already is dispatched by AfterWait without sleeping first.
    return ready ? 0 : timeout;
}

void GlibLoop::AfterWait()
{
    State& s = *state_;
    if (!s.owned) return;
    s.StopRound();
    // The watcher has left poll(): look at the descriptors once more, here, without waiting.
    std::vector<pollfd> now;
    now.reserve(s.fds.size());
    for (const GPollFD& fd : s.fds) now.push_back(pollfd{fd.fd, static_cast<short>(fd.events), 0});
    if (!now.empty()) ::poll(now.data(), now.size(), 0);
    for (std::size_t i = 0; i < now.size(); ++i) s.fds[i].revents = static_cast<gushort>(now[i].revents);
    if (g_main_context_check(s.context, s.maxPriority, s.fds.data(), static_cast<gint>(s.fds.size())))
        g_main_context_dispatch(s.context);
}

}  // namespace desktop::sdl
