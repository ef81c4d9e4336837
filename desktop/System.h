// Clock, threads, synchronisation and system metrics of the desktop layer.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

// Milliseconds since the layer started, wrapping at 2^32 like the original counter.
DWORD GetTickCount();
// Milliseconds since midnight UTC of the current time (0 .. 86399999).
DWORD GetUtcTimeOfDayMs();
void Sleep(DWORD milliseconds);
DWORD GetCurrentThreadId();
// The thread that installed the display backend (the GUI thread), 0 before that.
DWORD GetGuiThreadId();

// Re-entrant lock with the original's enter/leave vocabulary.
class CriticalSection {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

struct ThreadQueue;

// An event that stays signalled once set (manual reset) or lets one wait through per Set
// (auto reset). Threads waiting in MsgWaitForEvent are woken by Set so that they can go on
// running sent messages while they wait.
class Event {
public:
    explicit Event(bool manualReset = true, bool initialState = false) : manual_(manualReset), signalled_(initialState)
    {
    }
    void Set();
    // Returns true when signalled, false on timeout. INFINITE waits forever.
    bool Wait(DWORD timeoutMs);

private:
    friend bool MsgWaitForEvent(Event& event, DWORD timeoutMs);
    bool ConsumeLocked();
    std::mutex mutex_;
    std::condition_variable cv_;
    bool manual_;
    bool signalled_;
    std::vector<ThreadQueue*> watchers_;
};

constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Waits for the event while running messages that other threads send to this
// thread's windows (so a worker blocked in a send can finish). True when signalled.
bool MsgWaitForEvent(Event& event, DWORD timeoutMs);

int GetSystemMetrics(int index);
// The thin frames are the same at every resolution; window geometry reads them on every
// client-area query, so they are known without asking.
inline constexpr int kBorderWidth = 1;
inline constexpr int kDialogFrameWidth = 3;
inline constexpr int kEdgeWidth = 2;

// The resolution a display backend reports: 96 x DADOS_SCALE, else 96 x GDK_SCALE, else what
// the display itself says (`reported`, 0 or less when unknown: 96). Scales are plain decimals
// such as "2" or "1.5"; anything else is ignored.
int UserPixelsPerInch(double reported);
// The same with the two settings given (nullptr when unset) instead of read from the environment.
int PixelsPerInchFor(const char* dadosScale, const char* gdkScale, double reported);

struct LOGFONT_MIN {
    LONG lfHeight = 0;
    LONG lfWeight = 400;
    std::string faceName;
};

enum : UINT { SPI_GETWORKAREA = 0x0030, SPI_GETNONCLIENTMETRICS = 0x0029 };

// The message and caption fonts of the classic desktop.
struct NonClientFonts {
    LONG messageFontHeight = -11;
    std::string messageFontFace = "MS Sans Serif";
    LONG captionFontHeight = -11;
    std::string captionFontFace = "MS Sans Serif";
    LONG captionFontWeight = 700;
};
bool GetNonClientFonts(NonClientFonts& out);
RECT GetWorkArea();

UINT GetDoubleClickTime();

}  // namespace desktop
