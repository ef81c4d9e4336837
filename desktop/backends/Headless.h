// The in-memory display used by every test: a virtual screen composed from
// the top-level windows' surfaces, with injected mouse and keyboard input.
#pragma once

#include <functional>
#include <string>

#include "desktop/Backend.h"
#include "desktop/Input.h"
#include "desktop/Surface.h"

namespace desktop::headless {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(SIZE screen, int pixelsPerInch = 96) : screen_(screen), pixelsPerInch_(pixelsPerInch) {}
    SIZE ScreenSize() override { return screen_; }
    int PixelsPerInch() override { return pixelsPerInch_; }

private:
    SIZE screen_;
    int pixelsPerInch_;
};

// Installs a headless screen on the calling thread (which becomes the GUI thread). It reports
// 96 pixels per inch unless told otherwise, so that layouts load as stored.
void Install(SIZE screen = SIZE{1024, 768}, int pixelsPerInch = 96);
// Destroys all windows and removes the backend.
void Uninstall();

// The virtual screen as it looks now: desktop, then the top-level windows from
// the bottom up, then the caret when it is visible and in its "on" phase.
Surface Screenshot(bool withCaret = false);
COLORREF ScreenColorAt(POINT screen);

void MoveMouse(POINT screen);
void MouseDown(MouseButton button = MouseButton::Left);
void MouseUp(MouseButton button = MouseButton::Left);
void Click(POINT screen, MouseButton button = MouseButton::Left);
void DoubleClick(POINT screen);
// Presses and releases a key with the modifiers held around it.
void PressKey(WORD vk, bool shift = false, bool ctrl = false, bool alt = false);
// Types text (code page 1252) character by character.
void TypeText(const std::string& text);
void Wheel(int delta);

// Runs every pending message, paints included, and returns when nothing is left.
// Returns false when WM_QUIT was seen (it is put back for the caller's loop).
bool PumpMessages();
// Runs messages (waiting for them without spinning) until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);

}  // namespace desktop::headless
