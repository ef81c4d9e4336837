// The per-thread message queue, window timers and message dispatch.
#pragma once

#include "desktop/Types.h"

namespace desktop {

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// From the window's own thread the procedure runs at once; from another thread the
// call blocks until the owning thread has run it (and meanwhile runs messages sent to this thread).
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues a call for the window's thread and returns at once.
bool SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Returns false for WM_QUIT, true otherwise; blocks until a message is there.
bool GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until the queue has something to process (no CPU is used while waiting).
bool WaitMessage();
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);

// Timers: the period is at least 10 ms, as on the original platform.
constexpr UINT USER_TIMER_MINIMUM = 10;
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs, TIMERPROC proc);
bool KillTimer(HWND hwnd, std::uintptr_t id);

// Times the calling thread's queue woke from a blocking wait (diagnostics: proves waits do not spin).
unsigned long QueueWakeCount();

}  // namespace desktop
