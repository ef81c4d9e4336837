#pragma once

// The services of the application and the screen that the controls call without depending
// on the forms layer: the application's shortcut check in the key pre-check and the screen's
// cursor when a window asks for one. The application installs its hook when it is
// constructed and the screen object its hooks when it becomes the program's screen; each
// removes them when it goes. Controls call them on the GUI thread only.

#include <functional>

#include "framework/ControlsMessages.h"
#include "framework/ControlsTypes.h"

namespace fw {

// The application's shortcut check; false while no application is there.
bool ApplicationIsShortCut(TWMKey message);
void InstallShortCutHook(std::function<bool(TWMKey message)> isShortCut);
void RemoveShortCutHook();

struct ScreenCursorHooks {
    // The screen's cursor: anything but crDefault overrides every control's.
    std::function<TCursor()> cursor;
    // The cursor handle for a cursor number.
    std::function<HCURSOR(TCursor cursor)> handle;
};
// True while a screen has its cursor hooks installed.
bool ScreenCursorsAvailable();
// Only while ScreenCursorsAvailable().
TCursor ScreenCursor();
HCURSOR ScreenCursorHandle(TCursor cursor);
void InstallScreenCursorHooks(ScreenCursorHooks hooks);
void RemoveScreenCursorHooks();

}  // namespace fw
