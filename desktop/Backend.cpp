// The installed display backend and the GUI thread it serves.
#include "desktop/Backend.h"

#include <atomic>
#include <mutex>
#include <shared_mutex>

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
// Other threads wake the GUI thread through the backend while the GUI thread may be
// replacing or freeing it: they hold this shared, replacing it holds it exclusively.
std::shared_mutex& BackendLifeMutex()
{
    static std::shared_mutex m;
    return m;
}

}  // namespace

DWORD GetGuiThreadId() { return guiThread.load(); }

void UseBackend(std::unique_ptr<Backend> backend)
{
    {
        std::unique_lock lock(BackendLifeMutex());
        Installed() = std::move(backend);
        guiThread = Installed() ? GetCurrentThreadId() : 0;
    }
    if (Installed()) {
        const SIZE s = Installed()->ScreenSize();
        SetDisplaySize(s.cx, s.cy);
        SetDisplayPixelsPerInch(Installed()->PixelsPerInch());
    }
}

Backend& CurrentBackend() { return *Installed(); }
// Other threads ask this too, so it reads only the atomic: the GUI thread id is non-zero
// exactly while a backend is installed.
bool HasBackend() { return guiThread.load() != 0; }

void WakeGuiThread()
{
    const DWORD gui = guiThread.load();
    if (gui == 0) return;
    // The GUI thread itself cannot be freeing the backend while it is here.
    if (gui == GetCurrentThreadId()) {
        Installed()->Wake();
        return;
    }
    std::shared_lock lock(BackendLifeMutex());
    if (Installed() && guiThread.load() == gui) Installed()->Wake();
}

void ShutdownDesktop()
{
    DestroyAllWindows();
    DestroyCaret();
    ResetInputState();
    std::unique_lock lock(BackendLifeMutex());
    guiThread = 0;
    Installed().reset();
    SetDisplayPixelsPerInch(kDefaultPixelsPerInch);
}

}  // namespace desktop
