// The caret is not drawn into window surfaces: backends draw it over them, so
// that blinking never has to repaint a window.
#include "desktop/Caret.h"

#include <mutex>

#include "desktop/Backend.h"
#include "desktop/System.h"
#include "desktop/Window.h"

namespace desktop {

namespace {

constexpr UINT kDefaultBlinkTime = 530;

struct CaretData {
    std::mutex mutex;
    HWND owner = nullptr;
    int width = 0;
    int height = 0;
    POINT pos{};
    int hideCount = 1;
    UINT blinkTime = kDefaultBlinkTime;
    DWORD blinkStart = 0;
};

CaretData& Data()
{
    static CaretData d;
    return d;
}

void Changed(HWND owner)
{
    if (owner && HasBackend() && IsWindow(owner)) CurrentBackend().SurfaceChanged(GetAncestorTopLevel(owner));
}

}  // namespace

bool CreateCaret(HWND hwnd, std::intptr_t /*bitmap*/, int width, int height)
{
    if (!IsWindow(hwnd)) return false;
    HWND old;
    {
        CaretData& d = Data();
        std::lock_guard lock(d.mutex);
        old = d.owner;
        d.owner = hwnd;
        d.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
        d.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
        d.pos = POINT{};
        d.hideCount = 1;
        d.blinkStart = GetTickCount();
    }
    Changed(old);
    return true;
}

bool DestroyCaret()
{
    HWND old;
    {
        CaretData& d = Data();
        std::lock_guard lock(d.mutex);
        old = d.owner;
        d.owner = nullptr;
        d.hideCount = 1;
    }
    Changed(old);
    return old != nullptr;
}

bool ShowCaret(HWND hwnd)
{
    CaretData& d = Data();
    {
        std::lock_guard lock(d.mutex);
        if (!d.owner || (hwnd && hwnd != d.owner)) return false;
        if (d.hideCount > 0) --d.hideCount;
        d.blinkStart = GetTickCount();
    }
    Changed(d.owner);
    return true;
}

bool HideCaret(HWND hwnd)
{
    CaretData& d = Data();
    {
        std::lock_guard lock(d.mutex);
        if (!d.owner || (hwnd && hwnd != d.owner)) return false;
        ++d.hideCount;
    }
    Changed(d.owner);
    return true;
}

bool SetCaretPos(int x, int y)
{
    CaretData& d = Data();
    {
        std::lock_guard lock(d.mutex);
        if (!d.owner) return false;
        d.pos = POINT{x, y};
        d.blinkStart = GetTickCount();
    }
    Changed(d.owner);
    return true;
}

bool GetCaretPos(POINT* p)
{
    CaretData& d = Data();
    std::lock_guard lock(d.mutex);
    if (p) *p = d.pos;
    return true;
}

UINT GetCaretBlinkTime()
{
    CaretData& d = Data();
    std::lock_guard lock(d.mutex);
    return d.blinkTime;
}

bool SetCaretBlinkTime(UINT milliseconds)
{
    CaretData& d = Data();
    std::lock_guard lock(d.mutex);
    d.blinkTime = milliseconds;
    return true;
}

CaretState GetCaretState()
{
    CaretData& d = Data();
    std::lock_guard lock(d.mutex);
    CaretState s;
    s.owner = d.owner;
    s.rect = RECT{d.pos.x, d.pos.y, d.pos.x + d.width, d.pos.y + d.height};
    s.visible = d.owner && d.hideCount == 0 && IsWindowVisible(d.owner);
    return s;
}

bool CaretBlinkPhaseOn(DWORD tick)
{
    CaretData& d = Data();
    std::lock_guard lock(d.mutex);
    if (d.blinkTime == 0 || d.blinkTime == 0xFFFFFFFFu) return true;
    return ((tick - d.blinkStart) / d.blinkTime) % 2 == 0;
}

}  // namespace desktop
