// Keyboard and mouse state, and the entry points through which backends (and
// tests) feed input into the layer.
#pragma once

#include <string>

#include "desktop/Types.h"

namespace desktop {

// State as of the message being processed (high bit: down, low bit: toggled).
short GetKeyState(int vk);
// State as of now, whatever has been processed.
short GetAsyncKeyState(int vk);

enum class MouseButton { Left, Right, Middle };

// Screen coordinates. Messages go to the window under the point, or to the capture.
void InjectMouseMove(POINT screen);
void InjectMouseButton(MouseButton button, bool down);
void InjectMouseWheel(int delta);
// translate: whether TranslateMessage may derive a character from the key
// (false when the backend delivers the character itself through InjectCharacter).
void InjectKey(WORD vk, bool down, bool translate = true);
// A character typed, in code page 1252; it arrives as WM_CHAR at the focused window.
void InjectCharacter(char ch);
// A request by the user to close a top-level window (its close box).
void InjectClose(HWND topLevel);

// Forgets pressed keys and buttons (between tests).
void ResetInputState();

}  // namespace desktop
