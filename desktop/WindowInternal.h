// Private state of windows and thread queues, shared by the layer's own files.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "desktop/Accessible.h"
#include "desktop/Surface.h"
#include "desktop/Types.h"
#include "desktop/Window.h"

namespace desktop {

using Clock = std::chrono::steady_clock;

struct WindowClassRecord {
    WNDCLASS info;
};

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    bool notify = false;  // fire and forget: nobody waits for the result
    struct ThreadQueue* sender = nullptr;
};

struct TimerRecord {
    HWND hwnd = nullptr;
    std::uintptr_t id = 0;
    UINT period = 0;
    TIMERPROC proc = nullptr;
    Clock::time_point due;
    bool signalled = false;
};

struct ThreadQueue {
    DWORD threadId = 0;
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<MSG> posted;
    std::deque<SentMessage*> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    unsigned long wakeCount = 0;
    bool wakeRequested = false;
    // Only the owning thread touches the rest.
    std::vector<TimerRecord> timers;
    std::uintptr_t nextTimerId = 0x7FFF;
};

struct Window {
    WindowClassRecord* cls = nullptr;
    WNDPROC proc = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    Window* parent = nullptr;       // children only
    Window* owner = nullptr;        // top-level windows only
    std::vector<Window*> children;  // bottom first: creation order stacks later ones above
    RECT rect{};  // outer rectangle: parent-client coordinates for children, screen for top-level windows
    std::intptr_t id = 0;
    std::intptr_t userData = 0;
    ThreadQueue* queue = nullptr;
    std::atomic<bool> alive{true};
    bool destroying = false;
    bool created = false;
    // Painting
    RECT update{};  // client coordinates
    // The client area as last invalidated whole, with what it was measured from: while none of
    // it changed and the update area is still that rectangle, invalidating all again adds nothing.
    // Position and parent are kept whole rather than the size and the top-level flag: fewer
    // compares on a path a die takes on every roll, at the price of measuring again after a move.
    struct WholeClientMemo {
        bool valid = false;
        DWORD style = 0;
        DWORD exStyle = 0;
        const Window* parent = nullptr;
        RECT rect{};
        RECT client{};
    } wholeClient;
    bool erase = false;
    bool frameDirty = false;
    std::unique_ptr<Surface> surface;                   // top-level windows only: the whole outer rectangle
    std::vector<std::pair<ATOM, std::intptr_t>> props;  // few per window: a short scan beats a map
    std::vector<std::intptr_t> extra;
    std::unique_ptr<Accessible> accessible;  // what the class answers for it, made when first asked
    // Last hide state for minimise support
    bool minimized = false;
    bool maximized = false;

    bool IsTopLevel() const { return (style & WS_CHILD) == 0 || parent == nullptr; }
};

// Locks the window registry (creation, destruction, lookups from other threads).
std::recursive_mutex& WindowRegistryMutex();
ThreadQueue& CurrentQueue();
ThreadQueue* QueueForThread(DWORD threadId);
// Wakes the queue's owner from a blocking wait (also through the backend for the GUI thread).
void WakeQueue(ThreadQueue& q);
// Runs the messages other threads sent to the calling thread. Returns true when any ran.
bool RunIncomingSentMessages(ThreadQueue& q);
void PurgeWindowFromQueues(HWND hwnd);
void KillWindowTimers(HWND hwnd);

// Top-level windows, topmost first.
std::vector<Window*>& TopLevelZOrder();
Window* TopLevelOf(Window* w);
// Outer rectangle of a window in the coordinates of its top-level window's surface.
RECT RectInTopLevel(Window* w);
RECT ClientRectInTopLevel(Window* w);
bool IsVisibleChain(Window* w);
// Marks a rectangle of a top-level surface (surface coordinates) as needing paint in every window that shows it.
void InvalidateTopLevelArea(Window* top, const RECT& area);
// Finds a window of the calling thread that needs painting; paints its frame first if needed.
Window* FindWindowToPaint(ThreadQueue& q);
void NotifyBackendSurface(Window* top);
// Destroys every top-level window (with its children) and forgets focus, capture and activation.
void DestroyAllWindows();

// Painting (WindowPaint.cpp): BeginPaint's work once the window is known to be alive, the
// class brush's WM_ERASEBKGND and the classic frame's WM_NCPAINT of DefWindowProc.
HDC BeginPaintImpl(Window* w, PAINTSTRUCT* ps);
bool EraseWithClassBrush(Window* w, HDC dc);
void PaintNonClientFrame(Window* w);

// Input bookkeeping used by the queue when input messages are taken.
void SyncKeyStateForMessage(const MSG& msg);

}  // namespace desktop
