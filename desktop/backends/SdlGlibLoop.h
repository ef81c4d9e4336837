// GLib's default main context served from the GUI thread's own wait. SDL 2 gives no
// descriptor to wait on, so a watcher thread polls GLib's descriptors while the GUI thread
// waits in SDL, and wakes it when one is ready; the GUI thread then checks and dispatches
// GLib itself. Nothing of GLib's ever runs on the watcher thread.
#pragma once

#include <functional>
#include <memory>

namespace desktop::sdl {

class GlibLoop {
public:
    // `wake` is called on the watcher thread when a descriptor becomes ready: it must cut
    // the GUI thread's wait short (an SDL push). The calling thread owns the context.
    explicit GlibLoop(std::function<void()> wake);
    ~GlibLoop();
    GlibLoop(const GlibLoop&) = delete;
    GlibLoop& operator=(const GlibLoop&) = delete;

    // False when the default context belongs to another thread already.
    bool Owned() const;

    // GUI thread, just before it blocks: has GLib's descriptors watched. Returns how long GLib lets the thread sleep, in milliseconds (-1
    // for as long as it likes; 0 when something is ready already).
    int BeforeWait();
    // GUI thread, after it woke for whatever reason: stops the watch, then checks and
    // dispatches what became ready.
    void AfterWait();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace desktop::sdl
