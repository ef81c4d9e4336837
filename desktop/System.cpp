// Clock, sleep, thread identifiers, events and the classic system metrics.
#include "desktop/System.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "desktop/Backend.h"
#include "desktop/Gdi.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

const Clock::time_point kStart = Clock::now();
std::atomic<DWORD> nextThreadId{1};
thread_local DWORD tlsThreadId = 0;

}  // namespace

DWORD GetTickCount()
{
    return DWORD(std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - kStart).count()));
}

DWORD GetUtcTimeOfDayMs()
{
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    constexpr long long kDay = 86400000LL;
    return DWORD(((ms % kDay) + kDay) % kDay);
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DWORD GetCurrentThreadId()
{
    if (tlsThreadId == 0) tlsThreadId = nextThreadId++;
    return tlsThreadId;
}

void Event::Set()
{
    std::vector<ThreadQueue*> watchers;
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
        cv_.notify_all();
        watchers = watchers_;
    }
    for (ThreadQueue* q : watchers) WakeQueue(*q);
}

bool Event::ConsumeLocked()
{
    if (!signalled_) return false;
    if (!manual_) signalled_ = false;
    return true;
}

bool Event::Wait(DWORD timeoutMs)
{
    std::unique_lock lock(mutex_);
    if (timeoutMs == INFINITE)
        cv_.wait(lock, [&] { return signalled_; });
    else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return signalled_; }))
        return false;
    return ConsumeLocked();
}

bool MsgWaitForEvent(Event& event, DWORD timeoutMs)
{
    ThreadQueue& q = CurrentQueue();
    {
        std::lock_guard lock(event.mutex_);
        event.watchers_.push_back(&q);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs == INFINITE ? 0 : timeoutMs);
    bool result = false;
    for (;;) {
        RunIncomingSentMessages(q);
        {
            std::lock_guard lock(event.mutex_);
            if (event.ConsumeLocked()) {
                result = true;
                break;
            }
        }
        std::unique_lock lock(q.mutex);
        auto ready = [&] { return !q.incoming.empty() || q.wakeRequested; };
        if (timeoutMs == INFINITE) {
            q.cv.wait(lock, ready);
        } else if (!q.cv.wait_until(lock, deadline, ready)) {
            lock.unlock();
            std::lock_guard elock(event.mutex_);
            result = event.ConsumeLocked();
            break;
        }
        q.wakeRequested = false;
        ++q.wakeCount;
    }
    std::lock_guard lock(event.mutex_);
    std::erase(event.watchers_, &q);
    return result;
}

namespace {

// Metrics of the classic desktop at 96 pixels per inch, scaled to the display. Lines (borders,
// edges) keep their width, and icons and cursors their pictures' size.
int AtDisplayResolution(int classic)
{
    const int pixelsPerInch = GetDisplayPixelsPerInch();
    return pixelsPerInch == kDefaultPixelsPerInch
               ? classic
               : static_cast<int>(std::lround(classic * pixelsPerInch / double(kDefaultPixelsPerInch)));
}

}  // namespace

int GetSystemMetrics(int index)
{
    switch (index) {
        case SM_CXSCREEN: return HasBackend() ? CurrentBackend().ScreenSize().cx : 1024;
        case SM_CYSCREEN: return HasBackend() ? CurrentBackend().ScreenSize().cy : 768;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return AtDisplayResolution(16);
        case SM_CYCAPTION: return AtDisplayResolution(19);
        case SM_CXBORDER:
        case SM_CYBORDER: return kBorderWidth;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return kDialogFrameWidth;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CYMENU: return AtDisplayResolution(19);
        case SM_CXFRAME:
        case SM_CYFRAME: return AtDisplayResolution(4);
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return AtDisplayResolution(4);
        case SM_CXEDGE:
        case SM_CYEDGE: return kEdgeWidth;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        case SM_CXDRAG:
        case SM_CYDRAG: return AtDisplayResolution(4);
        case SM_MOUSEWHEELPRESENT: return 1;
        default: return 0;
    }
}

namespace {

// A scale given by the user, or 0 when the text is not one.
double ParseScale(const char* text)
{
    if (text == nullptr) return 0;
    const std::string_view s(text);
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string_view::npos) return 0;
    double scale = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), scale);
    // Beyond 16 no window of the program would fit on any screen.
    if (error != std::errc{} || end != s.data() + s.size() || !(scale > 0 && scale <= 16)) return 0;
    return scale;
}

}  // namespace

int PixelsPerInchFor(const char* dadosScale, const char* gdkScale, double reported)
{
    for (const char* setting : {dadosScale, gdkScale}) {
        if (const double scale = ParseScale(setting); scale > 0) {
            return std::max(1, static_cast<int>(std::lround(96 * scale)));
        }
    }
    return reported >= 1 && reported <= 96 * 16 ? static_cast<int>(std::lround(reported)) : 96;
}

int UserPixelsPerInch(double reported)
{
    return PixelsPerInchFor(std::getenv("DADOS_SCALE"), std::getenv("GDK_SCALE"), reported);
}

bool GetNonClientFonts(NonClientFonts& out)
{
    out = NonClientFonts{};
    out.messageFontHeight = AtDisplayResolution(out.messageFontHeight);
    out.captionFontHeight = AtDisplayResolution(out.captionFontHeight);
    return true;
}

RECT GetWorkArea() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

UINT GetDoubleClickTime() { return 500; }

}  // namespace desktop
