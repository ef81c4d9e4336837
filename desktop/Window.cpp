// Window classes, the window tree, geometry, visibility, focus, capture and
// activation, with the original platform's message order where the framework relies on it.
#include "desktop/Window.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "desktop/Backend.h"
#include "desktop/Codepage.h"
#include "desktop/ControlSupport.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

// Windows live in blocks that are never freed: a destroyed window stays readable (marked dead),
// so a stale handle is recognised safely, and IsWindow tells a handle of ours by its address
// alone, on any thread without a lock. Block k holds kFirstBlockSize << k windows.
class WindowArena {
public:
    // Called with the registry locked. The window comes alive.
    Window* Allocate()
    {
        const std::size_t count = blockCount_.load(std::memory_order_relaxed);
        if (count == 0 || used_ == BlockSize(count - 1)) {
            auto* block = new Window[BlockSize(count)];
            for (std::size_t i = 0; i < BlockSize(count); ++i) block[i].alive.store(false, std::memory_order_relaxed);
            blocks_[count].store(block, std::memory_order_release);
            blockCount_.store(count + 1, std::memory_order_release);
            used_ = 0;
        }
        Window* w = blocks_[blockCount_.load(std::memory_order_relaxed) - 1].load(std::memory_order_relaxed) + used_++;
        w->alive.store(true);
        return w;
    }
    bool Contains(const Window* w) const
    {
        const auto address = reinterpret_cast<std::uintptr_t>(w);
        const std::size_t count = blockCount_.load(std::memory_order_acquire);
        for (std::size_t k = 0; k < count; ++k) {
            const auto offset = address - reinterpret_cast<std::uintptr_t>(blocks_[k].load(std::memory_order_acquire));
            if (offset < (kFirstBlockSize * sizeof(Window)) << k) return offset % sizeof(Window) == 0;
        }
        return false;
    }
    // Every window handed out so far, dead or alive (registry locked).
    template <class Visit>
    void ForEach(Visit visit) const
    {
        const std::size_t count = blockCount_.load(std::memory_order_relaxed);
        for (std::size_t k = 0; k < count; ++k) {
            Window* block = blocks_[k].load(std::memory_order_relaxed);
            const std::size_t n = k + 1 == count ? used_ : BlockSize(k);
            for (std::size_t i = 0; i < n; ++i) visit(&block[i]);
        }
    }

private:
    static constexpr std::size_t kFirstBlockSize = 64;
    static constexpr std::size_t kMaxBlocks = 40;  // more windows than any memory holds
    static std::size_t BlockSize(std::size_t k) { return kFirstBlockSize << k; }

    std::array<std::atomic<Window*>, kMaxBlocks> blocks_{};
    std::atomic<std::size_t> blockCount_{0};
    std::size_t used_ = 0;  // windows handed out from the last block
};

// Constant-initialised and never destroyed work: IsWindow needs no guard and works at any time.
constinit WindowArena windowArena;

struct WindowManager {
    std::unordered_map<std::string, std::unique_ptr<WindowClassRecord>> classes;
    std::vector<Window*> topLevels;  // topmost first
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
    int cursor = IDC_ARROW;
    int cursorShowCount = 0;
};

WindowManager& Wm()
{
    static auto* wm = new WindowManager();
    return *wm;
}

bool Alive(const Window* w) { return w && w->alive.load(); }

POINT TopLevelScreenOrigin(Window* w)
{
    Window* top = TopLevelOf(w);
    return POINT{top->rect.left, top->rect.top};
}

void SendSizeAndMove(Window* w, WPARAM sizeKind)
{
    RECT cr;
    GetClientRect(w, &cr);
    SendMessage(w, WM_SIZE, sizeKind, MAKELPARAM(WORD(cr.right), WORD(cr.bottom)));
    if (!Alive(w)) return;
    POINT origin{0, 0};
    if (w->IsTopLevel()) {
        ClientToScreen(w, &origin);
    } else {
        const RECT insets = NonClientInsets(w->style, w->exStyle, false);
        origin = POINT{w->rect.left + insets.left, w->rect.top + insets.top};
    }
    SendMessage(w, WM_MOVE, 0, MAKELPARAM(WORD(std::int16_t(origin.x)), WORD(std::int16_t(origin.y))));
}

void InvalidateWholeWindow(Window* w)
{
    if (!IsVisibleChain(w)) return;
    InvalidateTopLevelArea(TopLevelOf(w), RectInTopLevel(w));
}

bool ContainsWindow(Window* ancestor, Window* w)
{
    for (Window* p = w; p; p = p->parent)
        if (p == ancestor) return true;
    return false;
}

void LoseFocusInside(Window* w)
{
    WindowManager& wm = Wm();
    if (wm.focus && ContainsWindow(w, wm.focus)) SetFocus(nullptr);
    if (wm.capture && ContainsWindow(w, wm.capture)) ReleaseCapture();
}

// The next window to activate when the active one goes away: its owner, else the topmost other one.
Window* NextToActivate(Window* leaving)
{
    auto usable = [&](Window* c) {
        return c && c != leaving && Alive(c) && !c->destroying && (c->style & WS_VISIBLE) && !c->minimized &&
               IsWindowEnabled(c) && c->queue == leaving->queue;
    };
    if (usable(leaving->owner)) return leaving->owner;
    for (Window* c : Wm().topLevels)
        if (usable(c)) return c;
    return nullptr;
}

Window* DescendToPoint(Window* w, POINT clientPt)
{
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        Window* c = *it;
        if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED) || !Alive(c)) continue;
        if (!c->rect.Contains(clientPt)) continue;
        const RECT insets = NonClientInsets(c->style, c->exStyle, false);
        return DescendToPoint(c, POINT{clientPt.x - c->rect.left - insets.left, clientPt.y - c->rect.top - insets.top});
    }
    return w;
}

void SendDestroyRecursive(Window* w)
{
    SendMessage(w, WM_DESTROY, 0, 0);
    std::vector<Window*> kids = w->children;
    for (Window* c : kids)
        if (Alive(c)) SendDestroyRecursive(c);
}

void FinishDestroy(Window* w)
{
    std::vector<Window*> kids = w->children;
    for (Window* c : kids)
        if (Alive(c)) FinishDestroy(c);
    SendMessage(w, WM_NCDESTROY, 0, 0);
    w->accessible.reset();
    WindowManager& wm = Wm();
    if (wm.focus == w) wm.focus = nullptr;
    if (wm.capture == w) wm.capture = nullptr;
    if (wm.active == w) wm.active = nullptr;
    PurgeWindowFromQueues(w);
    std::lock_guard lock(WindowRegistryMutex());
    w->alive = false;
    if (w->parent) {
        std::erase(w->parent->children, w);
    } else {
        std::erase(wm.topLevels, w);
        w->surface.reset();
    }
    w->children.clear();
}

// The class registered under the name. A built-in class (standard control, popup menu,
// message box) missing from the table is registered here, on its first use.
WindowClassRecord* FindClass(const std::string& name)
{
    auto& classes = Wm().classes;
    const std::string key = UpperAscii(name);
    auto it = classes.find(key);
    if (it == classes.end() && controls::RegisterBuiltInClass(key)) it = classes.find(key);
    return it == classes.end() ? nullptr : it->second.get();
}

void RaiseTopLevel(Window* w)
{
    auto& z = Wm().topLevels;
    auto it = std::find(z.begin(), z.end(), w);
    if (it == z.end() || it == z.begin()) return;
    z.erase(it);
    z.insert(z.begin(), w);
}

}  // namespace

std::recursive_mutex& WindowRegistryMutex()
{
    static std::recursive_mutex m;
    return m;
}

std::vector<Window*>& TopLevelZOrder() { return Wm().topLevels; }

Window* TopLevelOf(Window* w)
{
    while (w && w->parent) w = w->parent;
    return w;
}

namespace {

// Most child windows have no frame at all, or only the sunken edge of an edit: the inset on
// every side then, known at once; -1 for a window with a frame.
LONG EdgeOnlyInset(DWORD style, DWORD exStyle)
{
    if ((style & (WS_THICKFRAME | WS_DLGFRAME | WS_BORDER)) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) return -1;
    return (exStyle & WS_EX_CLIENTEDGE) ? kEdgeWidth : 0;
}

}  // namespace

RECT NonClientInsets(DWORD style, DWORD exStyle, bool topLevel)
{
    if (const LONG e = EdgeOnlyInset(style, exStyle); e >= 0) return RECT{e, e, e, e};
    LONG b = 0;
    if (style & WS_THICKFRAME)
        b = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        b = kDialogFrameWidth;
    else if (style & WS_BORDER)
        b = kBorderWidth;
    RECT r{b, b, b, b};
    if ((style & WS_CAPTION) == WS_CAPTION && (topLevel || (style & WS_CHILD) == 0))
        r.top += GetSystemMetrics(SM_CYCAPTION);
    if (exStyle & WS_EX_CLIENTEDGE) {
        const LONG e = kEdgeWidth;
        r.left += e;
        r.top += e;
        r.right += e;
        r.bottom += e;
    }
    return r;
}

RECT RectInTopLevel(Window* w)
{
    if (w->IsTopLevel()) return RECT{0, 0, w->rect.Width(), w->rect.Height()};
    const RECT pc = ClientRectInTopLevel(w->parent);
    return OffsetRectBy(w->rect, pc.left, pc.top);
}

RECT ClientRectInTopLevel(Window* w)
{
    const RECT outer = RectInTopLevel(w);
    const RECT in = NonClientInsets(w->style, w->exStyle, w->IsTopLevel());
    RECT r{outer.left + in.left, outer.top + in.top, outer.right - in.right, outer.bottom - in.bottom};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool IsVisibleChain(Window* w)
{
    for (Window* p = w; p; p = p->parent) {
        if (!Alive(p) || !(p->style & WS_VISIBLE)) return false;
        if (!p->parent && p->minimized) return false;
    }
    return true;
}

void InvalidateTopLevelArea(Window* top, const RECT& area)
{
    struct Walker {
        const RECT& area;
        void Visit(Window* w)
        {
            if (!(w->style & WS_VISIBLE) || !Alive(w)) return;
            const RECT outer = RectInTopLevel(w);
            if (IntersectRects(outer, area).IsEmpty()) return;
            const RECT client = ClientRectInTopLevel(w);
            if (client != outer) w->frameDirty = true;
            const RECT hit = IntersectRects(client, area);
            if (!hit.IsEmpty()) {
                w->update = UnionRects(w->update, OffsetRectBy(hit, -client.left, -client.top));
                w->erase = true;
            }
            for (Window* c : w->children) Visit(c);
        }
    };
    if (!top || !Alive(top)) return;
    Walker{area}.Visit(top);
}

Window* FindWindowToPaint(ThreadQueue& q)
{
    struct Finder {
        Window* Find(Window* w)
        {
            if (!(w->style & WS_VISIBLE) || !Alive(w)) return nullptr;
            if (w->frameDirty) {
                w->frameDirty = false;
                SendMessage(w, WM_NCPAINT, 1, 0);
                if (!Alive(w)) return nullptr;
            }
            if (!w->update.IsEmpty()) return w;
            std::vector<Window*> kids = w->children;
            for (Window* c : kids)
                if (Window* r = Find(c)) return r;
            return nullptr;
        }
    };
    std::vector<Window*> tops = Wm().topLevels;
    for (Window* t : tops) {
        if (t->queue != &q || t->minimized) continue;
        if (Window* w = Finder{}.Find(t)) return w;
    }
    return nullptr;
}

void NotifyBackendSurface(Window* top)
{
    if (top && HasBackend()) CurrentBackend().SurfaceChanged(top);
}

bool RegisterClass(const WNDCLASS& cls)
{
    if (cls.lpszClassName.empty() || !cls.lpfnWndProc) return false;
    auto& classes = Wm().classes;
    const std::string key = UpperAscii(cls.lpszClassName);
    if (classes.count(key)) return false;
    classes[key] = std::make_unique<WindowClassRecord>(WindowClassRecord{cls});
    return true;
}

bool UnregisterClass(const std::string& name)
{
    auto& classes = Wm().classes;
    auto it = classes.find(UpperAscii(name));
    if (it == classes.end()) return false;
    bool inUse = false;
    {
        std::lock_guard lock(WindowRegistryMutex());
        windowArena.ForEach([&](const Window* w) { inUse = inUse || (Alive(w) && w->cls == it->second.get()); });
    }
    if (inUse) return false;
    classes.erase(it);
    return true;
}

bool GetClassInfo(const std::string& name, WNDCLASS* out)
{
    const WindowClassRecord* cls = FindClass(name);
    if (!cls) return false;
    if (out) *out = cls->info;
    return true;
}

std::string GetClassName(HWND hwnd) { return Alive(hwnd) ? hwnd->cls->info.lpszClassName : std::string(); }

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId, void* param)
{
    WindowManager& wm = Wm();
    WindowClassRecord* cls = FindClass(className);
    if (!cls) return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && !Alive(parent)) return nullptr;
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : 100;
        y = child ? 0 : 100;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : 400;
        height = child ? 0 : 300;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    Window* w;
    {
        std::lock_guard lock(WindowRegistryMutex());
        w = windowArena.Allocate();
        w->cls = cls;
        w->proc = w->cls->info.lpfnWndProc;
        w->text = windowName;
        w->style = style & ~DWORD(WS_VISIBLE);
        w->exStyle = exStyle;
        w->rect = RECT{x, y, x + width, y + height};
        w->queue = &CurrentQueue();
        w->extra.resize(std::size_t(std::max(0, w->cls->info.cbWndExtra)) / sizeof(std::intptr_t) + 1, 0);
        if (child) {
            w->id = menuOrId;
            w->parent = parent;
            parent->children.push_back(w);
        } else {
            w->owner = parent ? TopLevelOf(parent) : nullptr;
            wm.topLevels.insert(wm.topLevels.begin(), w);
            w->surface = std::make_unique<Surface>(width, height, 0);
        }
    }

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hMenu = menuOrId;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = style;
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessage(w, WM_NCCREATE, 0, LPARAM(reinterpret_cast<std::intptr_t>(&cs)))) {
        FinishDestroy(w);
        return nullptr;
    }
    if (SendMessage(w, WM_CREATE, 0, LPARAM(reinterpret_cast<std::intptr_t>(&cs))) == -1) {
        DestroyWindow(w);
        return nullptr;
    }
    if (!Alive(w)) return nullptr;
    w->created = true;
    SendSizeAndMove(w, SIZE_RESTORED);
    if (!Alive(w)) return nullptr;
    if (!child && HasBackend()) CurrentBackend().TopLevelChanged(w);
    if (!child) RaiseWindowEvent(AccEvent::WindowCreate, w);
    if (!Alive(w)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(w, SW_SHOW);
    return Alive(w) ? w : nullptr;
}

bool DestroyWindow(HWND w)
{
    if (!Alive(w) || w->destroying) return false;
    if (w->IsTopLevel()) RaiseWindowEvent(AccEvent::WindowDestroy, w);
    if (!Alive(w) || w->destroying) return false;
    w->destroying = true;
    WindowManager& wm = Wm();
    std::vector<Window*> owned;
    for (Window* t : wm.topLevels)
        if (t->owner == w) owned.push_back(t);
    for (Window* o : owned) DestroyWindow(o);

    Window* top = TopLevelOf(w);
    const bool wasVisible = IsVisibleChain(w);
    const RECT area = RectInTopLevel(w);
    w->style &= ~DWORD(WS_VISIBLE);
    if (w->parent && wasVisible) InvalidateTopLevelArea(top, area);
    LoseFocusInside(w);
    const bool wasActive = wm.active == w;
    Window* next = wasActive ? NextToActivate(w) : nullptr;
    if (wasActive) {
        SendMessage(w, WM_ACTIVATE, WA_INACTIVE, LPARAM(reinterpret_cast<std::intptr_t>(next)));
        wm.active = nullptr;
    }
    SendDestroyRecursive(w);
    const bool topLevel = w->parent == nullptr;
    FinishDestroy(w);
    if (topLevel && HasBackend()) CurrentBackend().TopLevelDestroyed(w);
    if (wasActive && next && Alive(next)) SetActiveWindow(next);
    if (!topLevel) NotifyBackendSurface(top);
    return true;
}

bool IsWindow(HWND hwnd)
{
    if (!hwnd) return false;
    // Only handles this layer made can be alive; anything else is refused without being read.
    // A window's memory is never freed, so a handle once found in the arena stays there: the
    // last one found (often asked again at once, as notifications are) skips the search.
    thread_local const Window* lastFound = nullptr;
    if (hwnd != lastFound) {
        if (!windowArena.Contains(hwnd)) return false;
        lastFound = hwnd;
    }
    return hwnd->alive.load();
}

namespace {

// Everything of DefWindowProc but the text messages, which stay on its short path.
[[gnu::noinline]] LRESULT DefWindowProcRest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Alive(hwnd)) return 0;
    switch (msg) {
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            char* buf = reinterpret_cast<char*>(lParam);
            const std::size_t n = std::min<std::size_t>(hwnd->text.size(), wParam - 1);
            std::memcpy(buf, hwnd->text.data(), n);
            buf[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: return LRESULT(hwnd->text.size());
        case WM_SETTEXT:
            controls::SetTextReusingBuffer(hwnd->text, lParam ? reinterpret_cast<const char*>(lParam) : "");
            // A top-level window's caption also reaches its frame.
            if (!hwnd->parent) {
                hwnd->frameDirty = true;
                if (HasBackend()) CurrentBackend().TopLevelChanged(hwnd);
            }
            RaiseWindowEvent(AccEvent::TextChanged, hwnd);
            return 1;
        default: return DefWindowProcRest(hwnd, msg, wParam, lParam);
    }
}

namespace {

LRESULT DefWindowProcRest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case WM_NCCREATE: return 1;
        case WM_GETOBJECT: return controls::AnswerGetObject(hwnd, lParam, controls::AccessibleKind::Window);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
        case WM_NCPAINT: PaintNonClientFrame(hwnd); return 0;
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); return 0;
                case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
                case SC_MAXIMIZE: ShowWindow(hwnd, SW_SHOWMAXIMIZED); return 0;
                case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
                default: return 0;
            }
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (LPARAM(1) << 29))) {
                HWND top = GetAncestorTopLevel(hwnd);
                PostMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !hwnd->minimized) {
                HWND f = GetFocus();
                if (!f || !ContainsWindow(hwnd, f)) SetFocus(hwnd);
            }
            return 0;
        case WM_MOUSEACTIVATE: return MA_ACTIVATE;
        case WM_SETCURSOR: {
            if (hwnd->parent && SendMessage(hwnd->parent, WM_SETCURSOR, wParam, lParam)) return 1;
            if (LOWORD(std::uintptr_t(lParam)) == HTCLIENT && hwnd->cls->info.hCursor) {
                SetCursor(hwnd->cls->info.hCursor);
                return 1;
            }
            return 0;
        }
        case WM_WINDOWPOSCHANGED: {
            const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!wp) return 0;
            if (!(wp->flags & SWP_NOSIZE))
                SendSizeAndMove(hwnd, hwnd->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
            else if (!(wp->flags & SWP_NOMOVE)) {
                const RECT insets = NonClientInsets(hwnd->style, hwnd->exStyle, hwnd->IsTopLevel());
                SendMessage(hwnd, WM_MOVE, 0,
                            MAKELPARAM(WORD(std::int16_t(hwnd->rect.left + insets.left)),
                                       WORD(std::int16_t(hwnd->rect.top + insets.top))));
            }
            return 0;
        }
        case WM_CANCELMODE:
            if (GetCapture() == hwnd) ReleaseCapture();
            return 0;
        case WM_RBUTTONUP: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &p);
            SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)),
                        MAKELPARAM(WORD(std::int16_t(p.x)), WORD(std::int16_t(p.y))));
            return 0;
        }
        case WM_CONTEXTMENU:
            // Unhandled, the request goes up to the parent, as on the original.
            if (hwnd->parent) return SendMessage(hwnd->parent, WM_CONTEXTMENU, wParam, lParam);
            return 0;
        case WM_NCHITTEST: return HTCLIENT;
        case WM_GETDLGCODE: return 0;
        default: return 0;
    }
}

}  // namespace

std::intptr_t GetWindowLongPtr(HWND hwnd, int index)
{
    if (!Alive(hwnd)) return 0;
    switch (index) {
        case GWL_STYLE: return std::intptr_t(hwnd->style);
        case GWL_EXSTYLE: return std::intptr_t(hwnd->exStyle);
        case GWL_ID: return hwnd->id;
        case GWL_USERDATA: return hwnd->userData;
        case GWL_WNDPROC: return reinterpret_cast<std::intptr_t>(hwnd->proc);
        default:
            if (index >= 0 && std::size_t(index) / sizeof(std::intptr_t) < hwnd->extra.size())
                return hwnd->extra[std::size_t(index) / sizeof(std::intptr_t)];
            return 0;
    }
}

std::intptr_t SetWindowLongPtr(HWND hwnd, int index, std::intptr_t value)
{
    if (!Alive(hwnd)) return 0;
    std::intptr_t old = GetWindowLongPtr(hwnd, index);
    switch (index) {
        case GWL_STYLE: {
            const bool wasVisible = hwnd->style & WS_VISIBLE;
            hwnd->style = DWORD(value);
            if (wasVisible != bool(hwnd->style & WS_VISIBLE))
                InvalidateTopLevelArea(TopLevelOf(hwnd), RectInTopLevel(hwnd));
            hwnd->frameDirty = true;
            break;
        }
        case GWL_EXSTYLE:
            hwnd->exStyle = DWORD(value);
            hwnd->frameDirty = true;
            break;
        case GWL_ID: hwnd->id = value; break;
        case GWL_USERDATA: hwnd->userData = value; break;
        case GWL_WNDPROC: hwnd->proc = reinterpret_cast<WNDPROC>(value); break;
        default:
            if (index >= 0 && std::size_t(index) / sizeof(std::intptr_t) < hwnd->extra.size())
                hwnd->extra[std::size_t(index) / sizeof(std::intptr_t)] = value;
            break;
    }
    return old;
}

namespace {

// Atoms live as long as the process, as string atoms do on the original platform.
struct AtomTable {
    static constexpr ATOM kFirst = 0xC000;
    std::mutex mutex;
    std::unordered_map<std::string, ATOM> atoms;

    static AtomTable& Instance()
    {
        static auto* table = new AtomTable();
        return *table;
    }
    ATOM Find(std::string_view name)
    {
        const std::string key = UpperAscii(name);
        std::lock_guard lock(mutex);
        const auto it = atoms.find(key);
        return it == atoms.end() ? 0 : it->second;
    }
    ATOM Add(std::string_view name)
    {
        if (name.empty()) return 0;
        std::string key = UpperAscii(name);
        std::lock_guard lock(mutex);
        if (const auto it = atoms.find(key); it != atoms.end()) return it->second;
        if (atoms.size() >= std::size_t(0xFFFF - kFirst)) return 0;
        const ATOM atom = ATOM(kFirst + atoms.size());
        atoms.emplace(std::move(key), atom);
        return atom;
    }
};

}  // namespace

ATOM AddAtom(std::string_view name) { return AtomTable::Instance().Add(name); }

bool SetProp(HWND hwnd, ATOM atom, std::intptr_t value)
{
    if (!Alive(hwnd) || atom == 0) return false;
    for (auto& [key, stored] : hwnd->props) {
        if (key == atom) {
            stored = value;
            return true;
        }
    }
    hwnd->props.emplace_back(atom, value);
    return true;
}

std::intptr_t GetProp(HWND hwnd, ATOM atom)
{
    if (!Alive(hwnd)) return 0;
    for (const auto& [key, value] : hwnd->props)
        if (key == atom) return value;
    return 0;
}

std::intptr_t RemoveProp(HWND hwnd, ATOM atom)
{
    if (!Alive(hwnd)) return 0;
    auto& props = hwnd->props;
    for (auto it = props.begin(); it != props.end(); ++it) {
        if (it->first == atom) {
            const std::intptr_t value = it->second;
            props.erase(it);
            return value;
        }
    }
    return 0;
}

bool SetProp(HWND hwnd, const std::string& name, std::intptr_t value) { return SetProp(hwnd, AddAtom(name), value); }

std::intptr_t GetProp(HWND hwnd, const std::string& name)
{
    const ATOM atom = AtomTable::Instance().Find(name);
    return atom == 0 ? 0 : GetProp(hwnd, atom);
}

std::intptr_t RemoveProp(HWND hwnd, const std::string& name)
{
    const ATOM atom = AtomTable::Instance().Find(name);
    return atom == 0 ? 0 : RemoveProp(hwnd, atom);
}

DWORD GetWindowThreadId(HWND hwnd) { return Alive(hwnd) && hwnd->queue ? hwnd->queue->threadId : 0; }

HWND GetParent(HWND hwnd)
{
    if (!Alive(hwnd)) return nullptr;
    return hwnd->parent ? hwnd->parent : hwnd->owner;
}

HWND SetParent(HWND child, HWND newParent)
{
    if (!Alive(child)) return nullptr;
    HWND old = child->parent;
    if (old == newParent) return old;
    const bool visible = IsVisibleChain(child);
    if (visible) InvalidateTopLevelArea(TopLevelOf(child), RectInTopLevel(child));
    WindowManager& wm = Wm();
    if (old)
        std::erase(old->children, child);
    else
        std::erase(wm.topLevels, child);
    if (newParent) {
        child->parent = newParent;
        child->style |= WS_CHILD;
        newParent->children.push_back(child);
        child->surface.reset();
    } else {
        child->parent = nullptr;
        child->style &= ~DWORD(WS_CHILD);
        wm.topLevels.insert(wm.topLevels.begin(), child);
        child->surface = std::make_unique<Surface>(child->rect.Width(), child->rect.Height(), 0);
    }
    InvalidateWholeWindow(child);
    return old;
}

HWND GetAncestorTopLevel(HWND hwnd) { return Alive(hwnd) ? TopLevelOf(hwnd) : nullptr; }

bool IsChild(HWND parent, HWND hwnd)
{
    if (!Alive(parent) || !Alive(hwnd)) return false;
    for (Window* p = hwnd->parent; p; p = p->parent)
        if (p == parent) return true;
    return false;
}

int EnumThreadTopLevels(HWND* out, int capacity)
{
    int n = 0;
    ThreadQueue* q = &CurrentQueue();
    for (Window* w : Wm().topLevels) {
        if (w->queue != q || !Alive(w)) continue;
        if (out && n < capacity) out[n] = w;
        ++n;
    }
    return n;
}

bool SetWindowText(HWND hwnd, const std::string& text)
{
    if (!Alive(hwnd)) return false;
    return SendMessage(hwnd, WM_SETTEXT, 0, LPARAM(reinterpret_cast<std::intptr_t>(text.c_str()))) != 0;
}

std::string GetWindowText(HWND hwnd)
{
    if (!Alive(hwnd)) return {};
    const LRESULT len = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (len <= 0) return {};
    std::string buf(std::size_t(len) + 1, '\0');
    const LRESULT got =
        SendMessage(hwnd, WM_GETTEXT, WPARAM(buf.size()), LPARAM(reinterpret_cast<std::intptr_t>(buf.data())));
    buf.resize(std::size_t(std::clamp<LRESULT>(got, 0, len)));
    return buf;
}

int GetWindowTextLength(HWND hwnd) { return Alive(hwnd) ? int(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0; }

bool ShowWindow(HWND hwnd, int command)
{
    if (!Alive(hwnd)) return false;
    WindowManager& wm = Wm();
    const bool wasVisible = (hwnd->style & WS_VISIBLE) != 0;
    Window* top = TopLevelOf(hwnd);
    const bool topLevel = hwnd->parent == nullptr;
    auto show = [&] {
        if (wasVisible) return;
        SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
        if (!Alive(hwnd)) return;
        hwnd->style |= WS_VISIBLE;
        hwnd->frameDirty = true;
        InvalidateWholeWindow(hwnd);
    };
    switch (command) {
        case SW_HIDE: {
            if (!wasVisible) return false;
            SendMessage(hwnd, WM_SHOWWINDOW, 0, 0);
            if (!Alive(hwnd)) return true;
            const bool chainVisible = IsVisibleChain(hwnd);
            const RECT area = RectInTopLevel(hwnd);
            hwnd->style &= ~DWORD(WS_VISIBLE);
            if (!topLevel && chainVisible) InvalidateTopLevelArea(top, area);
            LoseFocusInside(hwnd);
            if (topLevel && wm.active == hwnd) {
                Window* next = NextToActivate(hwnd);
                if (next)
                    SetActiveWindow(next);
                else
                    SetActiveWindow(nullptr);
            }
            break;
        }
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            show();
            if (topLevel && !hwnd->minimized) {
                hwnd->minimized = true;
                LoseFocusInside(hwnd);
                if (wm.active == hwnd) {
                    Window* next = NextToActivate(hwnd);
                    SetActiveWindow(next);
                }
                SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
            }
            break;
        case SW_SHOWMAXIMIZED:
            show();
            if (topLevel && !hwnd->maximized) {
                hwnd->maximized = true;
                SetProp(hwnd, "desktop.restore.left", hwnd->rect.left);
                SetProp(hwnd, "desktop.restore.top", hwnd->rect.top);
                SetProp(hwnd, "desktop.restore.right", hwnd->rect.right);
                SetProp(hwnd, "desktop.restore.bottom", hwnd->rect.bottom);
                const RECT wa = GetWorkArea();
                SetWindowPos(hwnd, nullptr, wa.left, wa.top, wa.Width(), wa.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (topLevel) SetActiveWindow(hwnd);
            break;
        case SW_RESTORE:
            show();
            if (topLevel) {
                const bool wasMin = hwnd->minimized;
                hwnd->minimized = false;
                if (hwnd->maximized) {
                    hwnd->maximized = false;
                    const RECT r{
                        LONG(GetProp(hwnd, "desktop.restore.left")), LONG(GetProp(hwnd, "desktop.restore.top")),
                        LONG(GetProp(hwnd, "desktop.restore.right")), LONG(GetProp(hwnd, "desktop.restore.bottom"))};
                    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
                } else if (wasMin) {
                    InvalidateWholeWindow(hwnd);
                    SendSizeAndMove(hwnd, SIZE_RESTORED);
                }
                SetActiveWindow(hwnd);
            }
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA: show(); break;
        default:  // SW_SHOW, SW_SHOWNORMAL
            show();
            if (topLevel) {
                if (hwnd->minimized) {
                    hwnd->minimized = false;
                    InvalidateWholeWindow(hwnd);
                }
                if (IsWindowEnabled(hwnd)) SetActiveWindow(hwnd);
            }
            break;
    }
    if (topLevel && Alive(hwnd) && HasBackend()) CurrentBackend().TopLevelChanged(hwnd);
    return wasVisible;
}

bool IsWindowVisible(HWND hwnd) { return Alive(hwnd) && IsVisibleChain(hwnd); }

bool EnableWindow(HWND hwnd, bool enable)
{
    if (!Alive(hwnd)) return false;
    const bool wasDisabled = (hwnd->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (!enable) {
        SendMessage(hwnd, WM_CANCELMODE, 0, 0);
        LoseFocusInside(hwnd);
        hwnd->style |= WS_DISABLED;
    } else {
        hwnd->style &= ~DWORD(WS_DISABLED);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    // A disabled top-level window makes its dialogs modal to the window manager.
    if (!hwnd->parent && Alive(hwnd) && HasBackend()) CurrentBackend().TopLevelChanged(hwnd);
    return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) { return Alive(hwnd) && !(hwnd->style & WS_DISABLED); }
bool IsIconic(HWND hwnd) { return Alive(hwnd) && hwnd->minimized; }

bool GetWindowRect(HWND hwnd, RECT* out)
{
    if (!Alive(hwnd) || !out) return false;
    const POINT o = TopLevelScreenOrigin(hwnd);
    *out = OffsetRectBy(RectInTopLevel(hwnd), o.x, o.y);
    return true;
}

bool GetClientRect(HWND hwnd, RECT* out)
{
    if (!Alive(hwnd) || !out) return false;
    // The size alone: no need to place the window among its ancestors.
    const LONG e = EdgeOnlyInset(hwnd->style, hwnd->exStyle);
    const RECT in = e >= 0 ? RECT{e, e, e, e} : NonClientInsets(hwnd->style, hwnd->exStyle, hwnd->IsTopLevel());
    *out = RECT{0, 0, std::max<LONG>(0, hwnd->rect.Width() - in.left - in.right),
                std::max<LONG>(0, hwnd->rect.Height() - in.top - in.bottom)};
    return true;
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!Alive(hwnd)) return false;
    const RECT old = hwnd->rect;
    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        wp.x = old.left;
        wp.y = old.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = old.Width();
        wp.cy = old.Height();
    }
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, LPARAM(reinterpret_cast<std::intptr_t>(&wp)));
    if (!Alive(hwnd)) return false;
    wp.cx = std::max(wp.cx, 0);
    wp.cy = std::max(wp.cy, 0);
    const RECT nr{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
    const bool moved = nr.left != old.left || nr.top != old.top;
    const bool sized = nr.Width() != old.Width() || nr.Height() != old.Height();
    bool reordered = false;
    if (!(flags & SWP_NOZORDER)) {
        if (hwnd->parent) {
            auto& sib = hwnd->parent->children;
            std::erase(sib, hwnd);
            if (insertAfter == HWND_TOP) {
                sib.push_back(hwnd);
            } else if (insertAfter == HWND_BOTTOM) {
                sib.insert(sib.begin(), hwnd);
            } else {
                auto it = std::find(sib.begin(), sib.end(), insertAfter);
                sib.insert(it, hwnd);  // just below the given window
            }
            reordered = true;
        } else if (insertAfter == HWND_TOP) {
            RaiseTopLevel(hwnd);
        }
    }
    const bool visible = IsVisibleChain(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (visible && hwnd->parent && (moved || sized || reordered)) InvalidateTopLevelArea(top, RectInTopLevel(hwnd));
    hwnd->rect = nr;
    if (!hwnd->parent && sized) {
        hwnd->surface->Resize(nr.Width(), nr.Height(), 0);
        hwnd->frameDirty = true;
        if (visible) InvalidateTopLevelArea(hwnd, RECT{0, 0, nr.Width(), nr.Height()});
    }
    if (visible && hwnd->parent && (moved || sized || reordered)) InvalidateTopLevelArea(top, RectInTopLevel(hwnd));
    if (moved || sized) {
        wp.flags = flags | (moved ? 0u : UINT(SWP_NOMOVE)) | (sized ? 0u : UINT(SWP_NOSIZE));
        SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, LPARAM(reinterpret_cast<std::intptr_t>(&wp)));
        if (!Alive(hwnd)) return true;
    }
    if (!hwnd->parent && (moved || sized || !(flags & SWP_NOZORDER)) && HasBackend())
        CurrentBackend().TopLevelChanged(hwnd);
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (!(flags & SWP_NOACTIVATE) && !hwnd->parent && !(flags & SWP_NOZORDER) && (hwnd->style & WS_VISIBLE))
        SetActiveWindow(hwnd);
    return true;
}

bool ClientToScreen(HWND hwnd, POINT* p)
{
    if (!Alive(hwnd) || !p) return false;
    const POINT o = TopLevelScreenOrigin(hwnd);
    const RECT c = ClientRectInTopLevel(hwnd);
    p->x += o.x + c.left;
    p->y += o.y + c.top;
    return true;
}

bool ScreenToClient(HWND hwnd, POINT* p)
{
    if (!Alive(hwnd) || !p) return false;
    const POINT o = TopLevelScreenOrigin(hwnd);
    const RECT c = ClientRectInTopLevel(hwnd);
    p->x -= o.x + c.left;
    p->y -= o.y + c.top;
    return true;
}

bool AdjustWindowRectEx(RECT* rect, DWORD style, bool /*menu*/, DWORD exStyle)
{
    if (!rect) return false;
    const RECT in = NonClientInsets(style, exStyle, (style & WS_CHILD) == 0);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return true;
}

HWND WindowFromPoint(POINT screen)
{
    for (Window* t : Wm().topLevels) {
        if (!Alive(t) || !(t->style & WS_VISIBLE) || t->minimized) continue;
        if (!t->rect.Contains(screen)) continue;
        const RECT c = ClientRectInTopLevel(t);
        const POINT local{screen.x - t->rect.left - c.left, screen.y - t->rect.top - c.top};
        return DescendToPoint(t, local);
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPt)
{
    if (!Alive(parent)) return nullptr;
    RECT cr;
    GetClientRect(parent, &cr);
    if (!cr.Contains(clientPt)) return nullptr;
    for (auto it = parent->children.rbegin(); it != parent->children.rend(); ++it)
        if (((*it)->style & WS_VISIBLE) && (*it)->rect.Contains(clientPt)) return *it;
    return parent;
}

HWND SetFocus(HWND hwnd)
{
    WindowManager& wm = Wm();
    HWND old = wm.focus;
    if (hwnd && (!Alive(hwnd) || hwnd->queue != &CurrentQueue())) return nullptr;
    if (hwnd) {
        for (Window* p = hwnd; p; p = p->parent)
            if (p->style & WS_DISABLED) return nullptr;
        Window* top = TopLevelOf(hwnd);
        if (wm.active != top) {
            SetActiveWindow(top);
            if (!Alive(hwnd)) return old;
            old = wm.focus;
        }
    }
    if (old == hwnd) return old;
    wm.focus = hwnd;
    if (Alive(old)) SendMessage(old, WM_KILLFOCUS, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)), 0);
    if (wm.focus == hwnd && Alive(hwnd)) {
        SendMessage(hwnd, WM_SETFOCUS, WPARAM(reinterpret_cast<std::uintptr_t>(old)), 0);
        if (wm.focus == hwnd) RaiseWindowEvent(AccEvent::Focus, hwnd);
    }
    return old;
}

HWND GetFocus() { return Alive(Wm().focus) ? Wm().focus : nullptr; }

HWND SetCapture(HWND hwnd)
{
    WindowManager& wm = Wm();
    HWND old = wm.capture;
    if (hwnd && !Alive(hwnd)) return old;
    if (old == hwnd) return old;
    wm.capture = hwnd;
    if (Alive(old)) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(reinterpret_cast<std::intptr_t>(hwnd)));
    return old;
}

bool ReleaseCapture()
{
    WindowManager& wm = Wm();
    HWND old = wm.capture;
    wm.capture = nullptr;
    if (Alive(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND GetCapture() { return Alive(Wm().capture) ? Wm().capture : nullptr; }

HWND SetActiveWindow(HWND hwnd)
{
    WindowManager& wm = Wm();
    if (hwnd) {
        if (!Alive(hwnd)) return nullptr;
        hwnd = TopLevelOf(hwnd);
    }
    HWND old = Alive(wm.active) ? wm.active : nullptr;
    if (old == hwnd) {
        if (hwnd) RaiseTopLevel(hwnd);
        return old;
    }
    if (old) {
        SendMessage(old, WM_NCACTIVATE, 0, 0);
        SendMessage(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(reinterpret_cast<std::intptr_t>(hwnd)));
        if (wm.focus && Alive(old) && ContainsWindow(old, wm.focus)) {
            HWND f = wm.focus;
            wm.focus = nullptr;
            SendMessage(f, WM_KILLFOCUS, 0, 0);
        }
        if (Alive(old)) old->frameDirty = true;
    }
    wm.active = hwnd;
    if (!hwnd) {
        if (old && HasBackend()) SendMessage(old, WM_ACTIVATEAPP, 0, 0);
        return old;
    }
    RaiseTopLevel(hwnd);
    hwnd->frameDirty = true;
    if (!old) SendMessage(hwnd, WM_ACTIVATEAPP, 1, 0);
    SendMessage(hwnd, WM_NCACTIVATE, 1, 0);
    if (Alive(hwnd) && wm.active == hwnd)
        SendMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, LPARAM(reinterpret_cast<std::intptr_t>(old)));
    if (Alive(hwnd) && HasBackend()) CurrentBackend().TopLevelChanged(hwnd);
    if (Alive(hwnd) && wm.active == hwnd) RaiseWindowEvent(AccEvent::WindowActivate, hwnd);
    return old;
}

HWND GetActiveWindow() { return Alive(Wm().active) ? Wm().active : nullptr; }

namespace {

// The client area as last invalidated whole is still the whole update area: nothing in the
// window changed since, so invalidating all of it again adds nothing.
bool WholeClientStillPending(const Window* hwnd)
{
    const Window::WholeClientMemo& memo = hwnd->wholeClient;
    // Rectangles compared as bytes: two wide compares each instead of four.
    return memo.valid && memo.style == hwnd->style && memo.exStyle == hwnd->exStyle && memo.parent == hwnd->parent &&
           std::memcmp(&memo.rect, &hwnd->rect, sizeof(RECT)) == 0 &&
           std::memcmp(&memo.client, &hwnd->update, sizeof(RECT)) == 0 && !memo.client.IsEmpty();
}

[[gnu::noinline]] bool InvalidateMeasured(HWND hwnd, const RECT* rect, bool erase)
{
    RECT cr;
    GetClientRect(hwnd, &cr);
    if (!rect)
        hwnd->wholeClient = Window::WholeClientMemo{true, hwnd->style, hwnd->exStyle, hwnd->parent, hwnd->rect, cr};
    const RECT r = rect ? IntersectRects(*rect, cr) : cr;
    if (r.IsEmpty()) return true;
    hwnd->update = UnionRects(hwnd->update, r);
    hwnd->erase = hwnd->erase || erase;
    return true;
}

}  // namespace

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase)
{
    if (!hwnd) return false;
    if (!Alive(hwnd)) return false;
    // A control changed many times before it paints (a die rolled, an edit rewritten) finds its
    // whole client area already pending without measuring the window again.
    if (!rect && WholeClientStillPending(hwnd)) {
        hwnd->erase = hwnd->erase || erase;
        return true;
    }
    return InvalidateMeasured(hwnd, rect, erase);
}

bool ValidateRect(HWND hwnd, const RECT* rect)
{
    if (!Alive(hwnd)) return false;
    if (!rect) {
        hwnd->update = RECT{};
        hwnd->erase = false;
        return true;
    }
    // The update area is kept as a bounding box: validating all of it clears it, a part leaves it.
    const RECT inter = IntersectRects(*rect, hwnd->update);
    if (inter == hwnd->update) {
        hwnd->update = RECT{};
        hwnd->erase = false;
    }
    return true;
}

bool UpdateWindow(HWND hwnd)
{
    if (!Alive(hwnd)) return false;
    if (hwnd->frameDirty && IsVisibleChain(hwnd)) {
        hwnd->frameDirty = false;
        SendMessage(hwnd, WM_NCPAINT, 1, 0);
    }
    if (Alive(hwnd) && !hwnd->update.IsEmpty() && IsVisibleChain(hwnd)) SendMessage(hwnd, WM_PAINT, 0, 0);
    if (Alive(hwnd)) ValidateRect(hwnd, nullptr);
    return true;
}

bool RedrawWindow(HWND hwnd, const RECT* rect, const Region* /*region*/, UINT flags)
{
    if (!Alive(hwnd)) return false;
    if (flags & RDW_INVALIDATE) {
        if (flags & RDW_ALLCHILDREN) {
            RECT area = ClientRectInTopLevel(hwnd);
            if (rect) area = IntersectRects(area, OffsetRectBy(*rect, area.left, area.top));
            if (flags & RDW_FRAME) area = RectInTopLevel(hwnd);
            InvalidateTopLevelArea(TopLevelOf(hwnd), area);
        } else {
            InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
        }
        if (flags & RDW_FRAME) hwnd->frameDirty = true;
    }
    if (flags & RDW_UPDATENOW) {
        struct Updater {
            void Run(Window* w, bool all)
            {
                UpdateWindow(w);
                if (!all || !Alive(w)) return;
                std::vector<Window*> kids = w->children;
                for (Window* c : kids)
                    if (Alive(c)) Run(c, all);
            }
        };
        Updater{}.Run(hwnd, (flags & RDW_ALLCHILDREN) != 0);
    }
    return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    if (!Alive(hwnd) || !ps) return nullptr;
    return BeginPaintImpl(hwnd, ps);
}

int SetCursor(int cursorId)
{
    WindowManager& wm = Wm();
    const int old = wm.cursor;
    if (old != cursorId) {
        wm.cursor = cursorId;
        if (HasBackend()) CurrentBackend().SetCursorShape(cursorId);
    }
    return old;
}

int GetCursor() { return Wm().cursor; }

int ShowCursor(bool show) { return show ? ++Wm().cursorShowCount : --Wm().cursorShowCount; }

void SendMessageToDescendants(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Alive(parent)) return;
    std::vector<Window*> kids = parent->children;
    for (Window* c : kids) {
        if (!Alive(c)) continue;
        SendMessage(c, msg, wParam, lParam);
        SendMessageToDescendants(c, msg, wParam, lParam);
    }
}

void DestroyAllWindows()
{
    std::vector<Window*> tops = Wm().topLevels;
    for (Window* t : tops)
        if (Alive(t)) DestroyWindow(t);
    Wm().focus = Wm().capture = Wm().active = nullptr;
}

}  // namespace desktop
