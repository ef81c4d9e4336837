// Per-thread message queues: posting, cross-thread sends, retrieval with the
// original priorities (sent, posted, quit, paint, timer) and blocking waits.
#include <algorithm>
#include <unordered_map>

#include "desktop/Accessible.h"
#include "desktop/Backend.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

// Marks a key message whose character was already delivered by the backend,
// so that TranslateMessage must not produce a second one.
constexpr LPARAM kNoTranslateBit = LPARAM(1) << 25;

std::mutex& QueueRegistryMutex()
{
    static std::mutex m;
    return m;
}
std::unordered_map<DWORD, ThreadQueue*>& QueueRegistry()
{
    static auto* registry = new std::unordered_map<DWORD, ThreadQueue*>();
    return *registry;
}

bool Matches(const MSG& m, HWND filter, UINT minMsg, UINT maxMsg)
{
    if (filter && m.hwnd != filter) return false;
    if (minMsg == 0 && maxMsg == 0) return true;
    return m.message >= minMsg && m.message <= maxMsg;
}

bool IsGuiQueue(const ThreadQueue& q) { return HasBackend() && q.threadId == GetGuiThreadId(); }

std::optional<Clock::time_point> NextTimerDue(const ThreadQueue& q)
{
    std::optional<Clock::time_point> next;
    for (const TimerRecord& t : q.timers)
        if (!next || t.due < *next) next = t.due;
    return next;
}

bool TakeTimer(ThreadQueue& q, MSG* out, HWND filter, UINT minMsg, UINT maxMsg, bool remove)
{
    if (!(minMsg == 0 && maxMsg == 0) && (WM_TIMER < minMsg || WM_TIMER > maxMsg)) return false;
    const auto now = Clock::now();
    for (TimerRecord& t : q.timers) {
        if (filter && t.hwnd != filter) continue;
        if (t.due > now) continue;
        out->hwnd = t.hwnd;
        out->message = WM_TIMER;
        out->wParam = t.id;
        out->lParam = LPARAM(reinterpret_cast<std::intptr_t>(t.proc));
        out->time = GetTickCount();
        if (remove) {
            // A late timer does not catch up: the next tick is one period from now.
            t.due += std::chrono::milliseconds(t.period);
            if (t.due <= now) t.due = now + std::chrono::milliseconds(t.period);
        }
        return true;
    }
    return false;
}

bool TakeMessage(ThreadQueue& q, MSG* out, HWND filter, UINT minMsg, UINT maxMsg, bool remove)
{
    if (IsGuiQueue(q)) CurrentBackend().Poll();
    RunIncomingSentMessages(q);
    {
        std::unique_lock lock(q.mutex);
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (!Matches(*it, filter, minMsg, maxMsg)) continue;
            *out = *it;
            if (remove) q.posted.erase(it);
            lock.unlock();
            if (remove) SyncKeyStateForMessage(*out);
            return true;
        }
        const bool quitAllowed =
            filter == nullptr && ((minMsg == 0 && maxMsg == 0) || (WM_QUIT >= minMsg && WM_QUIT <= maxMsg));
        if (q.quitPosted && quitAllowed) {
            *out = MSG{nullptr, WM_QUIT, WPARAM(q.quitCode), 0, GetTickCount(), {}};
            if (remove) q.quitPosted = false;
            return true;
        }
    }
    if ((minMsg == 0 && maxMsg == 0) || (WM_PAINT >= minMsg && WM_PAINT <= maxMsg)) {
        if (Window* w = FindWindowToPaint(q); w && (!filter || filter == w)) {
            *out = MSG{w, WM_PAINT, 0, 0, GetTickCount(), {}};
            return true;
        }
    }
    return TakeTimer(q, out, filter, minMsg, maxMsg, remove);
}

bool HasPendingWorkLocked(const ThreadQueue& q)
{
    return !q.posted.empty() || !q.incoming.empty() || q.quitPosted || q.wakeRequested;
}

// Blocks until something arrives or the next timer is due.
void BlockUntilWork(ThreadQueue& q)
{
    const auto due = NextTimerDue(q);
    if (IsGuiQueue(q) && CurrentBackend().OwnsWait()) {
        {
            std::lock_guard lock(q.mutex);
            if (HasPendingWorkLocked(q)) {
                q.wakeRequested = false;
                return;
            }
        }
        DWORD timeout = INFINITE;
        if (due) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*due - Clock::now()).count();
            timeout = left <= 0 ? 0 : DWORD(left);
        }
        CurrentBackend().WaitForEvents(timeout);
        std::lock_guard lock(q.mutex);
        q.wakeRequested = false;
        ++q.wakeCount;
        return;
    }
    std::unique_lock lock(q.mutex);
    if (HasPendingWorkLocked(q)) {
        q.wakeRequested = false;
        return;
    }
    if (due)
        q.cv.wait_until(lock, *due, [&] { return HasPendingWorkLocked(q); });
    else
        q.cv.wait(lock, [&] { return HasPendingWorkLocked(q); });
    q.wakeRequested = false;
    ++q.wakeCount;
}

thread_local ThreadQueue* tlsQueue = nullptr;

ThreadQueue* QueueOfWindow(HWND hwnd)
{
    if (!hwnd || !hwnd->alive.load()) return nullptr;
    return hwnd->queue;
}

}  // namespace

namespace {

[[gnu::noinline]] ThreadQueue& CreateCurrentQueue()
{
    auto* q = new ThreadQueue();  // queues outlive their threads: windows and senders may still point at them
    q->threadId = GetCurrentThreadId();
    std::lock_guard lock(QueueRegistryMutex());
    QueueRegistry()[q->threadId] = q;
    tlsQueue = q;
    return *q;
}

}  // namespace

ThreadQueue& CurrentQueue() { return tlsQueue ? *tlsQueue : CreateCurrentQueue(); }

ThreadQueue* QueueForThread(DWORD threadId)
{
    std::lock_guard lock(QueueRegistryMutex());
    auto it = QueueRegistry().find(threadId);
    return it == QueueRegistry().end() ? nullptr : it->second;
}

void WakeQueue(ThreadQueue& q)
{
    {
        std::lock_guard lock(q.mutex);
        q.wakeRequested = true;
        q.cv.notify_all();
    }
    if (IsGuiQueue(q)) WakeGuiThread();
}

bool RunIncomingSentMessages(ThreadQueue& q)
{
    bool ran = false;
    for (;;) {
        SentMessage* sm = nullptr;
        {
            std::lock_guard lock(q.mutex);
            if (q.incoming.empty()) return ran;
            sm = q.incoming.front();
            q.incoming.pop_front();
        }
        ran = true;
        LRESULT result = 0;
        bool failed = false;
        std::exception_ptr error;
        try {
            if (sm->hwnd && sm->hwnd->alive.load())
                result = CallWindowProc(sm->hwnd->proc, sm->hwnd, sm->message, sm->wParam, sm->lParam);
        } catch (...) {
            failed = true;
            error = std::current_exception();
        }
        if (sm->notify) {
            delete sm;
        } else {
            // The record lives on the sender's stack: it may vanish as soon as done is seen.
            ThreadQueue* sender = sm->sender;
            std::lock_guard lock(sender->mutex);
            sm->result = result;
            sm->done = true;
            sender->cv.notify_all();
        }
        if (failed) std::rethrow_exception(error);
    }
}

void PurgeWindowFromQueues(HWND hwnd)
{
    ThreadQueue* q = hwnd->queue;
    if (!q) return;
    {
        std::lock_guard lock(q->mutex);
        std::erase_if(q->posted, [&](const MSG& m) { return m.hwnd == hwnd; });
    }
    KillWindowTimers(hwnd);
}

void KillWindowTimers(HWND hwnd)
{
    ThreadQueue* q = hwnd->queue;
    if (q && q == tlsQueue) std::erase_if(q->timers, [&](const TimerRecord& t) { return t.hwnd == hwnd; });
}

namespace {

bool PostToQueue(ThreadQueue* q, MSG m)
{
    if (!q) return false;
    m.time = GetTickCount();
    GetCursorPos(&m.pt);
    {
        std::lock_guard lock(q->mutex);
        q->posted.push_back(m);
        q->cv.notify_all();
    }
    if (IsGuiQueue(*q)) WakeGuiThread();
    return true;
}

}  // namespace

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PostToQueue(hwnd ? QueueOfWindow(hwnd) : &CurrentQueue(), MSG{hwnd, msg, wParam, lParam, 0, {}});
}

bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PostToQueue(QueueForThread(threadId), MSG{nullptr, msg, wParam, lParam, 0, {}});
}

void PostQuitMessage(int exitCode)
{
    ThreadQueue& q = CurrentQueue();
    std::lock_guard lock(q.mutex);
    q.quitPosted = true;
    q.quitCode = exitCode;
}

namespace {

// A send to another thread's window: queued there, and this thread waits (running what is sent
// to it meanwhile) until the owner has run it. Apart, so that a send on the same thread stays a call.
[[gnu::noinline]] LRESULT SendToOtherThread(ThreadQueue* target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ThreadQueue& self = CurrentQueue();
    SentMessage sm;
    sm.hwnd = hwnd;
    sm.message = msg;
    sm.wParam = wParam;
    sm.lParam = lParam;
    sm.sender = &self;
    {
        std::lock_guard lock(target->mutex);
        target->incoming.push_back(&sm);
    }
    WakeQueue(*target);
    for (;;) {
        RunIncomingSentMessages(self);
        std::unique_lock lock(self.mutex);
        if (sm.done) break;
        self.cv.wait(lock, [&] { return sm.done || !self.incoming.empty(); });
        if (sm.done) break;
    }
    return sm.result;
}

}  // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ThreadQueue* target = QueueOfWindow(hwnd);
    if (!target) return 0;
    // A thread without a queue yet cannot own the window, so comparing with it is enough here.
    if (target == tlsQueue) [[likely]]
        return CallWindowProc(hwnd->proc, hwnd, msg, wParam, lParam);
    return SendToOtherThread(target, hwnd, msg, wParam, lParam);
}

bool SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ThreadQueue* target = QueueOfWindow(hwnd);
    if (!target) return false;
    if (target == &CurrentQueue()) {
        CallWindowProc(hwnd->proc, hwnd, msg, wParam, lParam);
        return true;
    }
    auto* sm = new SentMessage{hwnd, msg, wParam, lParam, 0, false, true, nullptr};
    {
        std::lock_guard lock(target->mutex);
        target->incoming.push_back(sm);
    }
    WakeQueue(*target);
    return true;
}

bool GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    ThreadQueue& q = CurrentQueue();
    for (;;) {
        if (TakeMessage(q, msg, hwnd, filterMin, filterMax, true)) return msg->message != WM_QUIT;
        DeliverAccessibleEvents();
        BlockUntilWork(q);
    }
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    return TakeMessage(CurrentQueue(), msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

bool WaitMessage()
{
    ThreadQueue& q = CurrentQueue();
    MSG probe;
    if (TakeMessage(q, &probe, nullptr, 0, 0, false)) return true;
    DeliverAccessibleEvents();
    BlockUntilWork(q);
    return true;
}

namespace {

char CharacterForKey(WORD vk, bool shift, bool caps)
{
    if (vk >= 'A' && vk <= 'Z') return char((shift != caps) ? vk : vk + 32);
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : char(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return char('0' + (vk - VK_NUMPAD0));
    switch (vk) {
        case VK_SPACE: return ' ';
        case VK_BACK: return 8;
        case VK_TAB: return 9;
        case VK_RETURN: return 13;
        case VK_ESCAPE: return 27;
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SUBTRACT: return '-';
        case VK_DECIMAL: return '.';
        case VK_DIVIDE: return '/';
        case VK_OEM_1: return shift ? ':' : ';';
        case VK_OEM_PLUS: return shift ? '+' : '=';
        case VK_OEM_COMMA: return shift ? '<' : ',';
        case VK_OEM_MINUS: return shift ? '_' : '-';
        case VK_OEM_PERIOD: return shift ? '>' : '.';
        case VK_OEM_2: return shift ? '?' : '/';
        case VK_OEM_3: return shift ? '~' : '`';
        case VK_OEM_4: return shift ? '{' : '[';
        case VK_OEM_5: return shift ? '|' : '\\';
        case VK_OEM_6: return shift ? '}' : ']';
        case VK_OEM_7: return shift ? '"' : '\'';
        default: return 0;
    }
}

}  // namespace

bool TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return false;
    if (msg->lParam & kNoTranslateBit) return false;
    const WORD vk = WORD(msg->wParam);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    char ch = CharacterForKey(vk, shift, caps);
    if (ctrl) {
        if (vk >= 'A' && vk <= 'Z')
            ch = char(vk - 'A' + 1);
        else if (vk == VK_BACK)
            ch = 127;
        else if (vk == VK_RETURN)
            ch = 10;
        else if (vk != VK_ESCAPE && vk != VK_SPACE && vk != VK_TAB)
            ch = 0;
    }
    if (ch == 0) return false;
    const UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    ThreadQueue& q = CurrentQueue();
    std::lock_guard lock(q.mutex);
    // The character comes right after its key, ahead of later input.
    q.posted.push_front(MSG{msg->hwnd, charMsg, WPARAM(BYTE(ch)), msg->lParam, msg->time, msg->pt});
    return true;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd || !IsWindow(msg->hwnd)) return 0;
    const LRESULT r = CallWindowProc(msg->hwnd->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A window that ignores WM_PAINT must not get it forever.
    if (msg->message == WM_PAINT && IsWindow(msg->hwnd)) ValidateRect(msg->hwnd, nullptr);
    return r;
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs, TIMERPROC proc)
{
    if (hwnd && !IsWindow(hwnd)) return 0;
    ThreadQueue& q = CurrentQueue();
    if (hwnd && hwnd->queue != &q) return 0;
    const UINT period = std::max(elapseMs, USER_TIMER_MINIMUM);
    if (!hwnd) {
        // Thread timers get a fresh identifier unless an existing one is named.
        const bool exists =
            std::any_of(q.timers.begin(), q.timers.end(), [&](const TimerRecord& t) { return !t.hwnd && t.id == id; });
        if (!exists) id = ++q.nextTimerId;
    }
    for (TimerRecord& t : q.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;
            t.proc = proc;
            t.due = Clock::now() + std::chrono::milliseconds(period);
            return hwnd ? (id ? id : 1) : id;
        }
    }
    q.timers.push_back(TimerRecord{hwnd, id, period, proc, Clock::now() + std::chrono::milliseconds(period), false});
    return hwnd ? (id ? id : 1) : id;
}

bool KillTimer(HWND hwnd, std::uintptr_t id)
{
    ThreadQueue& q = CurrentQueue();
    const auto before = q.timers.size();
    std::erase_if(q.timers, [&](const TimerRecord& t) { return t.hwnd == hwnd && t.id == id; });
    return q.timers.size() != before;
}

unsigned long QueueWakeCount()
{
    ThreadQueue& q = CurrentQueue();
    std::lock_guard lock(q.mutex);
    return q.wakeCount;
}

}  // namespace desktop
