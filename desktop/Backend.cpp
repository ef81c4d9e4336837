// The installed display backend and the GUI thread it serves.
#include "desktop/Backend.h"

#include <atomic>

#include "desktop/Caret.h"
#include "desktop/Gdi.h"
#include "desktop/Input.h"
#include "desktop/System.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

std::unique_ptr<Backend>& Installed()
{
    static std::unique_ptr<Backend> b;
    return b;
}
std::atomic<DWORD> guiThread{0};

}  // namespace

DWORD GetGuiThreadId() { return guiThread.load(); }

void UseBackend(std::unique_ptr<Backend> backend)
{
    Installed() = std::move(backend);
    guiThread = Installed() ? GetCurrentThreadId() : 0;
    if (Installed()) {
        const SIZE s = Installed()->ScreenSize();
        SetDisplaySize(s.cx, s.cy);
    }
}

Backend& CurrentBackend() { return *Installed(); }
// Other threads ask this too, so it reads only the atomic: the GUI thread id is non-zero
// exactly while a backend is installed.
bool HasBackend() { return guiThread.load() != 0; }

void ShutdownDesktop()
{
    DestroyAllWindows();
    DestroyCaret();
    ResetInputState();
    guiThread = 0;
    Installed().reset();
}

}  // namespace desktop
