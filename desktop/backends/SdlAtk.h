// The accessibility model on the desktop's accessibility bus: ATK objects for the model's
// objects, exported by ATK's AT-SPI bridge. GLib's context is served from the GUI thread's
// wait (SdlGlibLoop), so every query and action from the bus runs on the GUI thread; actions
// are queued to the message loop and run from there, never inside the bus's handler.
#pragma once

#include <functional>
#include <memory>

namespace desktop::sdl {

class AtkBridge {
public:
    // Starts the bridge and listens to the model. nullptr when there is no bus to export to
    // (no session bus, NO_AT_BRIDGE=1): the model then stays unused and costs nothing.
    // `wake` cuts the GUI thread's wait short, from any thread.
    static std::unique_ptr<AtkBridge> Start(std::function<void()> wake);
    ~AtkBridge();
    AtkBridge(const AtkBridge&) = delete;
    AtkBridge& operator=(const AtkBridge&) = delete;

    // Around the GUI thread's wait: see GlibLoop.
    int BeforeWait();
    void AfterWait();

    struct State;

private:
    explicit AtkBridge(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace desktop::sdl
