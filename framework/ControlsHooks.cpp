#include "framework/ControlsHooks.h"

#include <utility>

namespace fw {

namespace {

// GUI thread only, like the controls that call them: no lock.
std::function<bool(TWMKey)> shortCutHook;
ScreenCursorHooks cursorHooks;

}  // namespace

bool ApplicationIsShortCut(TWMKey message) { return shortCutHook && shortCutHook(message); }

void InstallShortCutHook(std::function<bool(TWMKey message)> isShortCut) { shortCutHook = std::move(isShortCut); }

void RemoveShortCutHook() { shortCutHook = nullptr; }

bool ScreenCursorsAvailable() { return cursorHooks.cursor && cursorHooks.handle; }

TCursor ScreenCursor() { return cursorHooks.cursor(); }

HCURSOR ScreenCursorHandle(TCursor cursor) { return cursorHooks.handle(cursor); }

void InstallScreenCursorHooks(ScreenCursorHooks hooks) { cursorHooks = std::move(hooks); }

void RemoveScreenCursorHooks() { cursorHooks = {}; }

}  // namespace fw
