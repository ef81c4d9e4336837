// The system caret: one per desktop, owned by a window, with a system-wide blink time.
#pragma once

#include "desktop/Types.h"

namespace desktop {

// bitmap: 0 for a solid caret, 1 for a grey one (as the original's (HBITMAP)1).
bool CreateCaret(HWND hwnd, std::intptr_t bitmap, int width, int height);
bool DestroyCaret();
bool ShowCaret(HWND hwnd);  // a caret starts hidden; shows and hides nest
bool HideCaret(HWND hwnd);
bool SetCaretPos(int x, int y);
bool GetCaretPos(POINT* p);
UINT GetCaretBlinkTime();
bool SetCaretBlinkTime(UINT milliseconds);

struct CaretState {
    HWND owner = nullptr;
    RECT rect{};           // client coordinates of the owner
    bool visible = false;  // created, shown and its owner visible
};
CaretState GetCaretState();
// Whether a visible caret is in the "on" half of its blink at the given tick.
bool CaretBlinkPhaseOn(DWORD tick);

}  // namespace desktop
