#pragma once

// Hidden utility windows: an invisible top-level window whose messages go to a function
// object, for components that need timers or cross-thread messages without being controls.

#include <functional>

#include "desktop/Types.h"

namespace fw {

// Gets every message of the window; call desktop::DefWindowProc for the ones it leaves alone.
using TWndMethod = std::function<desktop::LRESULT(desktop::HWND, desktop::UINT, desktop::WPARAM, desktop::LPARAM)>;

// Creates a hidden window of class "TPUtilWindow" on the calling thread. Raises
// EOutOfResources when the class cannot be registered or the window cannot be made.
desktop::HWND AllocateHWnd(TWndMethod handler);
// Destroys the window; safe from inside its own handler and on a window already destroyed.
void DeallocateHWnd(desktop::HWND window);

}  // namespace fw
