// What a display backend gives the desktop layer: a screen size, a way to show
// top-level surfaces, and (optionally) its own event wait and clipboard.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "desktop/Types.h"

namespace desktop {

class Backend {
public:
    virtual ~Backend() = default;

    virtual SIZE ScreenSize() = 0;
    // What LOGPIXELSX/LOGPIXELSY report: the layouts scale themselves from it on load.
    virtual int PixelsPerInch() { return 96; }

    // Called on the GUI thread before its queue is examined: bring in OS input.
    virtual void Poll() {}
    // True when the GUI thread must block in WaitForEvents instead of on its queue.
    virtual bool OwnsWait() { return false; }
    // Blocks the GUI thread until an OS event arrives, Wake is called, or the
    // timeout (milliseconds, INFINITE for none) passes.
    virtual void WaitForEvents(DWORD /*timeoutMs*/) {}
    // Any thread: cut a WaitForEvents short.
    virtual void Wake() {}

    // A top-level window appeared, moved, changed size or caption, or went away.
    virtual void TopLevelChanged(HWND /*window*/) {}
    virtual void TopLevelDestroyed(HWND /*window*/) {}
    // The pixels of a top-level window changed.
    virtual void SurfaceChanged(HWND /*window*/) {}

    // The system clipboard holds UTF-8 text; nullopt means "use the layer's own".
    virtual bool HasSystemClipboard() { return false; }
    virtual void SetClipboardUtf8(const std::string& /*text*/) {}
    virtual std::optional<std::string> GetClipboardUtf8() { return std::nullopt; }

    virtual void SetCursorShape(int /*cursorId*/) {}
};

// Installs the backend for the calling thread, which becomes the GUI thread.
void UseBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
bool HasBackend();
// Any thread: cuts the GUI thread's wait short; safe while the GUI thread shuts the
// desktop down or installs another backend.
void WakeGuiThread();
// Destroys every window and the backend; used between tests and at exit.
void ShutdownDesktop();

}  // namespace desktop
