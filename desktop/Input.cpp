// Turns raw input from a backend into window messages, and keeps the key
// state both as it is now and as of the message being processed.
#include "desktop/Input.h"

#include <array>
#include <cstdlib>

#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

constexpr LPARAM kNoTranslateBit = LPARAM(1) << 25;

struct KeyTable {
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};
};

struct InputState {
    std::mutex mutex;
    KeyTable async;
    KeyTable sync;
    POINT cursor{};
    // Double-click detection
    HWND lastDownWindow = nullptr;
    MouseButton lastDownButton = MouseButton::Left;
    DWORD lastDownTime = 0;
    POINT lastDownPoint{};
    bool lastWasDouble = false;
};

InputState& State()
{
    static InputState s;
    return s;
}

short Encode(const KeyTable& t, int vk)
{
    if (vk < 0 || vk > 255) return 0;
    short r = 0;
    if (t.down[std::size_t(vk)]) r = short(0x8000);
    if (t.toggled[std::size_t(vk)]) r = short(r | 1);
    return r;
}

// The generic modifier keys follow their left and right keys.
void SetKey(KeyTable& t, WORD vk, bool down)
{
    auto apply = [&](WORD k) {
        if (down && !t.down[k]) t.toggled[k] = !t.toggled[k];
        t.down[k] = down;
    };
    apply(vk);
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT: apply(VK_SHIFT); break;
        case VK_LCONTROL:
        case VK_RCONTROL: apply(VK_CONTROL); break;
        case VK_LMENU:
        case VK_RMENU: apply(VK_MENU); break;
        default: break;
    }
}

WPARAM MouseKeyFlags(const KeyTable& t)
{
    WPARAM f = 0;
    if (t.down[VK_LBUTTON]) f |= MK_LBUTTON;
    if (t.down[VK_RBUTTON]) f |= MK_RBUTTON;
    if (t.down[VK_MBUTTON]) f |= MK_MBUTTON;
    if (t.down[VK_SHIFT]) f |= MK_SHIFT;
    if (t.down[VK_CONTROL]) f |= MK_CONTROL;
    return f;
}

bool TopLevelEnabled(HWND w)
{
    HWND top = GetAncestorTopLevel(w);
    return top && IsWindowEnabled(top);
}

WORD ButtonKey(MouseButton b)
{
    switch (b) {
        case MouseButton::Left: return VK_LBUTTON;
        case MouseButton::Right: return VK_RBUTTON;
        case MouseButton::Middle: return VK_MBUTTON;
    }
    return VK_LBUTTON;
}

UINT ButtonMessage(MouseButton b, bool down, bool dbl)
{
    const UINT base = b == MouseButton::Left    ? WM_LBUTTONDOWN
                      : b == MouseButton::Right ? WM_RBUTTONDOWN
                                                : WM_MBUTTONDOWN;
    if (!down) return base + 1;
    return dbl ? base + 2 : base;
}

// The window a mouse event at the point goes to, with the point in its client coordinates.
HWND MouseTarget(POINT screen, POINT* client)
{
    HWND target = GetCapture();
    if (!target) {
        target = WindowFromPoint(screen);
        if (!target || !TopLevelEnabled(target)) return nullptr;
        RECT outer;
        GetWindowRect(target, &outer);
        POINT c = screen;
        ScreenToClient(target, &c);
        RECT cr;
        GetClientRect(target, &cr);
        if (!cr.Contains(c)) return nullptr;  // the frame: no client message
    }
    *client = screen;
    ScreenToClient(target, client);
    return target;
}

LPARAM PointParam(POINT p) { return MAKELPARAM(WORD(std::int16_t(p.x)), WORD(std::int16_t(p.y))); }

HWND KeyboardTarget(bool* system)
{
    HWND focus = GetFocus();
    if (focus) {
        if (!TopLevelEnabled(focus)) return nullptr;
        return focus;
    }
    *system = true;
    HWND active = GetActiveWindow();
    if (active && !IsWindowEnabled(active)) return nullptr;
    return active;
}

}  // namespace

short GetKeyState(int vk)
{
    std::lock_guard lock(State().mutex);
    return Encode(State().sync, vk);
}

short GetAsyncKeyState(int vk)
{
    std::lock_guard lock(State().mutex);
    return Encode(State().async, vk);
}

bool GetCursorPos(POINT* p)
{
    if (!p) return false;
    std::lock_guard lock(State().mutex);
    *p = State().cursor;
    return true;
}

void SyncKeyStateForMessage(const MSG& msg)
{
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: SetKey(s.sync, WORD(msg.wParam & 0xFF), true); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: SetKey(s.sync, WORD(msg.wParam & 0xFF), false); break;
        default:
            if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
                s.sync.down[VK_LBUTTON] = (msg.wParam & MK_LBUTTON) != 0;
                s.sync.down[VK_RBUTTON] = (msg.wParam & MK_RBUTTON) != 0;
                s.sync.down[VK_MBUTTON] = (msg.wParam & MK_MBUTTON) != 0;
            }
            break;
    }
}

void InjectMouseMove(POINT screen)
{
    {
        std::lock_guard lock(State().mutex);
        State().cursor = screen;
    }
    POINT client;
    HWND target = MouseTarget(screen, &client);
    if (!target) return;
    if (GetWindowThreadId(target) == GetCurrentThreadId() && !GetCapture())
        SendMessage(target, WM_SETCURSOR, WPARAM(reinterpret_cast<std::uintptr_t>(target)),
                    MAKELPARAM(WORD(HTCLIENT), WORD(WM_MOUSEMOVE)));
    WPARAM flags;
    {
        std::lock_guard lock(State().mutex);
        flags = MouseKeyFlags(State().async);
    }
    PostMessage(target, WM_MOUSEMOVE, flags, PointParam(client));
}

void InjectMouseButton(MouseButton button, bool down)
{
    InputState& s = State();
    POINT screen;
    {
        std::lock_guard lock(s.mutex);
        s.async.down[ButtonKey(button)] = down;
        screen = s.cursor;
    }
    POINT client;
    HWND target = MouseTarget(screen, &client);
    if (!target) return;
    if (down && !GetCapture()) {
        HWND top = GetAncestorTopLevel(target);
        if (top && top != GetActiveWindow() && IsWindowEnabled(top)) SetActiveWindow(top);
        if (!IsWindow(target)) return;
    }
    bool dbl = false;
    if (down) {
        const DWORD now = GetTickCount();
        std::lock_guard lock(s.mutex);
        WNDCLASS cls;
        const bool wantsDouble = GetClassInfo(GetClassName(target), &cls) && (cls.style & CS_DBLCLKS);
        dbl = wantsDouble && !s.lastWasDouble && s.lastDownWindow == target && s.lastDownButton == button &&
              now - s.lastDownTime <= GetDoubleClickTime() &&
              std::abs(screen.x - s.lastDownPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
              std::abs(screen.y - s.lastDownPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        s.lastWasDouble = dbl;
        s.lastDownWindow = target;
        s.lastDownButton = button;
        s.lastDownTime = now;
        s.lastDownPoint = screen;
    }
    WPARAM flags;
    {
        std::lock_guard lock(s.mutex);
        flags = MouseKeyFlags(s.async);
    }
    PostMessage(target, ButtonMessage(button, down, dbl), flags, PointParam(client));
}

void InjectMouseWheel(int delta)
{
    HWND target = GetFocus();
    if (!target || !TopLevelEnabled(target)) return;
    POINT screen;
    WPARAM flags;
    {
        std::lock_guard lock(State().mutex);
        screen = State().cursor;
        flags = MouseKeyFlags(State().async);
    }
    PostMessage(target, WM_MOUSEWHEEL, WPARAM(flags | (WPARAM(WORD(std::int16_t(delta))) << 16)), PointParam(screen));
}

void InjectKey(WORD vk, bool down, bool translate)
{
    InputState& s = State();
    bool wasDown;
    bool alt;
    {
        std::lock_guard lock(s.mutex);
        wasDown = s.async.down[vk & 0xFF];
        SetKey(s.async, vk, down);
        alt = s.async.down[VK_MENU];
    }
    bool system = alt || vk == VK_F10 || vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
    HWND target = KeyboardTarget(&system);
    if (!target) return;
    // Left/right modifier keys reach windows as the generic key, as on the original.
    WORD sent = vk;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) sent = VK_SHIFT;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) sent = VK_CONTROL;
    if (vk == VK_LMENU || vk == VK_RMENU) sent = VK_MENU;
    LPARAM lp = 1;
    if (alt) lp |= LPARAM(1) << 29;
    if (wasDown) lp |= LPARAM(1) << 30;
    if (!down) lp |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    if (!translate) lp |= kNoTranslateBit;
    const UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostMessage(target, msg, sent, lp);
}

void InjectCharacter(char ch)
{
    // AltGr (Ctrl+Alt, or the right Alt key as X11 reports it) types ordinary characters.
    bool system = GetAsyncKeyState(VK_MENU) < 0 && GetAsyncKeyState(VK_CONTROL) >= 0 && GetAsyncKeyState(VK_RMENU) >= 0;
    HWND target = KeyboardTarget(&system);
    if (!target) return;
    PostMessage(target, system ? WM_SYSCHAR : WM_CHAR, WPARAM(BYTE(ch)), 1);
}

void InjectClose(HWND topLevel)
{
    if (IsWindow(topLevel) && IsWindowEnabled(topLevel)) PostMessage(topLevel, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void ResetInputState()
{
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    s.async = KeyTable{};
    s.sync = KeyTable{};
    s.lastDownWindow = nullptr;
    s.lastDownTime = 0;
    s.lastWasDouble = false;
}

}  // namespace desktop
