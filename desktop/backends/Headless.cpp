#include "desktop/backends/Headless.h"

#include <algorithm>
#include <vector>

#include "desktop/Caret.h"
#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "desktop/WindowInternal.h"

namespace desktop::headless {

namespace {

WORD KeyForCharacter(char c)
{
    if (c >= 'a' && c <= 'z') return WORD(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return WORD(c);
    if (c == ' ') return VK_SPACE;
    return 0;
}

}  // namespace

void Install(SIZE screen, int pixelsPerInch) { UseBackend(std::make_unique<HeadlessBackend>(screen, pixelsPerInch)); }

void Uninstall() { ShutdownDesktop(); }

Surface Screenshot(bool withCaret)
{
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    const int sh = GetSystemMetrics(SM_CYSCREEN);
    Surface screen(sw, sh, PixelFromColor(GetSysColor(COLOR_BACKGROUND)));
    const std::vector<Window*>& z = TopLevelZOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        Window* w = *it;
        if (!IsWindowVisible(w) || IsIconic(w) || !w->surface) continue;
        const Surface& s = *w->surface;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                screen.Set(w->rect.left + x, w->rect.top + y,
                           s.pixels[std::size_t(y) * std::size_t(s.width) + std::size_t(x)]);
    }
    if (withCaret) {
        const CaretState c = GetCaretState();
        if (c.visible && CaretBlinkPhaseOn(GetTickCount())) {
            POINT o{c.rect.left, c.rect.top};
            ClientToScreen(c.owner, &o);
            for (int y = 0; y < c.rect.Height(); ++y)
                for (int x = 0; x < c.rect.Width(); ++x)
                    screen.Set(o.x + x, o.y + y, screen.At(o.x + x, o.y + y) ^ 0x00FFFFFFu);
        }
    }
    return screen;
}

COLORREF ScreenColorAt(POINT p) { return ColorFromPixel(Screenshot().At(p.x, p.y)); }

void MoveMouse(POINT screen) { InjectMouseMove(screen); }
void MouseDown(MouseButton button) { InjectMouseButton(button, true); }
void MouseUp(MouseButton button) { InjectMouseButton(button, false); }

void Click(POINT screen, MouseButton button)
{
    InjectMouseMove(screen);
    InjectMouseButton(button, true);
    InjectMouseButton(button, false);
}

void DoubleClick(POINT screen)
{
    Click(screen);
    Click(screen);
}

void PressKey(WORD vk, bool shift, bool ctrl, bool alt)
{
    if (shift) InjectKey(VK_SHIFT, true);
    if (ctrl) InjectKey(VK_CONTROL, true);
    if (alt) InjectKey(VK_MENU, true);
    InjectKey(vk, true);
    InjectKey(vk, false);
    if (alt) InjectKey(VK_MENU, false);
    if (ctrl) InjectKey(VK_CONTROL, false);
    if (shift) InjectKey(VK_SHIFT, false);
}

void TypeText(const std::string& text)
{
    for (char c : text) {
        const WORD vk = KeyForCharacter(c);
        if (vk) InjectKey(vk, true, false);
        InjectCharacter(c);
        if (vk) InjectKey(vk, false, false);
    }
}

void Wheel(int delta) { InjectMouseWheel(delta); }

bool PumpMessages()
{
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            return false;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (!PumpMessages()) return condition();
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        // A timer keeps the wait bounded so that the deadline is seen.
        const std::uintptr_t t =
            SetTimer(nullptr, 0, std::max<DWORD>(USER_TIMER_MINIMUM, std::min<DWORD>(timeoutMs, 50)), nullptr);
        WaitMessage();
        KillTimer(nullptr, t);
    }
}

}  // namespace desktop::headless
