#include "desktop/backends/Sdl.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "desktop/Caret.h"
#include "desktop/Codepage.h"
#include "desktop/Input.h"
#include "desktop/Locale.h"
#include "desktop/Resources.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "desktop/WindowInternal.h"
#include "desktop/backends/SdlAtk.h"

// Last: Xlib's macros (None, Bool, ...) must not reach the headers above.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace desktop::sdl {

namespace {

// ---- X errors ----
//
// SDL 2.26 on X11 ends a wait of its own by sending a client message, through a
// second connection of its own, to the newest window. It does so even for the
// events it reads during the wait itself, such as the click that makes the
// program close that window. Requests of two connections reach the server in no
// set order, so the destroy may come first: the message then fails with
// BadWindow, and Xlib's default handler ends the process once the error is read,
// at the latest when SDL closes its connections at exit. Nothing is lost by such
// an error (the wait it was meant to end is over), so BadWindow is ignored; every
// other error goes to the handler that was there before. The handler must be set
// before SDL opens the display: SDL keeps the handler it finds there and puts it
// back before it closes its connections.
XErrorHandler previousXErrorHandler = nullptr;

int ToleratingXErrorHandler(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow) return 0;  // a window that is gone already
    return previousXErrorHandler ? previousXErrorHandler(display, error) : 0;
}

void InstallXErrorHandler()
{
    static std::once_flag once;
    std::call_once(once, [] { previousXErrorHandler = XSetErrorHandler(ToleratingXErrorHandler); });
}

// ---- The window manager's hints on X11 ----

struct X11Window {
    Display* display = nullptr;
    ::Window id = 0;
};

// The X window behind an SDL window; nullopt on other video drivers.
std::optional<X11Window> X11WindowOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
    return X11Window{info.info.x11.display, info.info.x11.window};
}

// The Motif hints: which functions a window offers and which buttons its frame shows.
// Most window managers follow them; openbox takes only resizing and moving from them.
constexpr unsigned long kMwmHintsFunctions = 1ul << 0;
constexpr unsigned long kMwmHintsDecorations = 1ul << 1;
constexpr unsigned long kMwmFuncResize = 1ul << 1;
constexpr unsigned long kMwmFuncMove = 1ul << 2;
constexpr unsigned long kMwmFuncMinimize = 1ul << 3;
constexpr unsigned long kMwmFuncMaximize = 1ul << 4;
constexpr unsigned long kMwmFuncClose = 1ul << 5;
constexpr unsigned long kMwmDecorBorder = 1ul << 1;
constexpr unsigned long kMwmDecorResizeHandle = 1ul << 2;
constexpr unsigned long kMwmDecorTitle = 1ul << 3;
constexpr unsigned long kMwmDecorMenu = 1ul << 4;
constexpr unsigned long kMwmDecorMinimize = 1ul << 5;
constexpr unsigned long kMwmDecorMaximize = 1ul << 6;

void SetMotifHints(const X11Window& x, const WindowManagerHints& h)
{
    unsigned long functions = kMwmFuncMove;
    unsigned long decorations = kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu;
    if (h.resizable) {
        functions |= kMwmFuncResize;
        decorations |= kMwmDecorResizeHandle;
    }
    if (h.minimizeButton) {
        functions |= kMwmFuncMinimize;
        decorations |= kMwmDecorMinimize;
    }
    if (h.maximizeButton) {
        functions |= kMwmFuncMaximize;
        decorations |= kMwmDecorMaximize;
    }
    if (h.closeButton) functions |= kMwmFuncClose;
    // The property's items are C longs, whatever the format's 32 says.
    const long hints[5] = {long(kMwmHintsFunctions | kMwmHintsDecorations), long(functions), long(decorations), 0, 0};
    const Atom motif = XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(x.display, x.id, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints),
                    5);
}

// Before the window is mapped its _NET_WM_STATE is ours to write; afterwards only
// the window manager changes it, on request.
void SetModalState(const X11Window& x, bool modal, bool mapped)
{
    const Atom state = XInternAtom(x.display, "_NET_WM_STATE", False);
    const Atom modalAtom = XInternAtom(x.display, "_NET_WM_STATE_MODAL", False);
    if (mapped) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = x.id;
        e.xclient.message_type = state;
        e.xclient.format = 32;
        e.xclient.data.l[0] = modal ? 1 : 0;  // _NET_WM_STATE_ADD or _REMOVE
        e.xclient.data.l[1] = long(modalAtom);
        e.xclient.data.l[3] = 1;  // from a normal application
        XSendEvent(x.display, DefaultRootWindow(x.display), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &e);
        XFlush(x.display);
        return;
    }
    std::vector<Atom> atoms;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x.display, x.id, state, 0, 64, False, XA_ATOM, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (type == XA_ATOM && format == 32) {
            const Atom* items = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count; ++i)
                if (items[i] != modalAtom) atoms.push_back(items[i]);
        }
        XFree(data);
    }
    if (modal) atoms.push_back(modalAtom);
    if (atoms.empty())
        XDeleteProperty(x.display, x.id, state);
    else
        XChangeProperty(x.display, x.id, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
}

constexpr WORD kVkF24 = VK_F1 + 23;
constexpr WORD kVkOem102 = 0xE2;  // the extra key between left Shift and Z on ISO keyboards
constexpr WORD kVkSnapshot = 0x2C;

WORD KeyFromScancode(int scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return WORD('A' + (scancode - SDL_SCANCODE_A));
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return WORD('1' + (scancode - SDL_SCANCODE_1));
    switch (scancode) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
        case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
        case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
        case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
        case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return VK_OEM_2;
        case SDL_SCANCODE_GRAVE: return VK_OEM_3;
        case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
        case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
        case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
        case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
        case SDL_SCANCODE_NONUSBACKSLASH: return kVkOem102;
        default: return 0;
    }
}

// A framed window's OS window shows the client area and the OS draws the frame;
// frameless windows show everything.
bool Decorated(HWND w) { return HintsForStyles(w->style, w->exStyle, w->owner != nullptr).framed; }

RECT ShownArea(HWND w)
{
    if (!Decorated(w)) return w->rect;
    return OffsetRectBy(ClientRectInTopLevel(w), w->rect.left, w->rect.top);
}

SDL_SystemCursor SystemCursorFor(int cursorId)
{
    switch (cursorId) {
        case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
        case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
        case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
        case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
        case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
        default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

// With DADOS_REPORT_FIRST_FRAME=1, the first window content handed to the display is reported
// on standard error with the CLOCK_MONOTONIC time, for measuring start-up from outside.
void ReportFirstFrameOnce()
{
    static bool reported = false;
    if (reported) return;
    reported = true;
    const char* flag = std::getenv("DADOS_REPORT_FIRST_FRAME");
    if (flag == nullptr || std::strcmp(flag, "1") != 0) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "dados: first frame at monotonic %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                 static_cast<long>(now.tv_nsec));
    std::fflush(stderr);
}

}  // namespace

WORD VirtualKeyFor(std::int32_t keycode, int scancode)
{
    if (keycode >= 'a' && keycode <= 'z') return WORD(keycode - 'a' + 'A');
    if (keycode >= '0' && keycode <= '9') return WORD(keycode);
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return WORD(VK_F1 + (keycode - SDLK_F1));
    if (keycode >= SDLK_F13 && keycode <= SDLK_F24) return WORD(VK_F1 + 12 + (keycode - SDLK_F13));
    if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return WORD(VK_NUMPAD0 + 1 + (keycode - SDLK_KP_1));
    switch (keycode) {
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_HOME: return VK_HOME;
        case SDLK_END: return VK_END;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_INSERT: return VK_INSERT;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_LSHIFT: return VK_LSHIFT;
        case SDLK_RSHIFT: return VK_RSHIFT;
        case SDLK_LCTRL: return VK_LCONTROL;
        case SDLK_RCTRL: return VK_RCONTROL;
        case SDLK_LALT: return VK_LMENU;
        case SDLK_RALT: return VK_RMENU;
        case SDLK_CAPSLOCK: return VK_CAPITAL;
        case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDLK_SCROLLLOCK: return VK_SCROLL;
        case SDLK_PAUSE: return VK_PAUSE;
        case SDLK_PRINTSCREEN: return kVkSnapshot;
        case SDLK_APPLICATION: return VK_APPS;
        case SDLK_KP_0: return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
        case SDLK_KP_PLUS: return VK_ADD;
        case SDLK_KP_MINUS: return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
        case SDLK_KP_COMMA:
        case SDLK_KP_DECIMAL: return VK_DECIMAL;
        case SDLK_KP_DIVIDE: return VK_DIVIDE;
        case SDLK_SEMICOLON: return VK_OEM_1;
        case SDLK_EQUALS:
        case SDLK_PLUS: return VK_OEM_PLUS;
        case SDLK_COMMA: return VK_OEM_COMMA;
        case SDLK_MINUS: return VK_OEM_MINUS;
        case SDLK_PERIOD: return VK_OEM_PERIOD;
        case SDLK_SLASH: return VK_OEM_2;
        case SDLK_BACKQUOTE: return VK_OEM_3;
        case SDLK_LEFTBRACKET: return VK_OEM_4;
        case SDLK_BACKSLASH: return VK_OEM_5;
        case SDLK_RIGHTBRACKET: return VK_OEM_6;
        case SDLK_QUOTE: return VK_OEM_7;
        default: break;
    }
    // Other layouts' letters and symbols: the key's position decides, as the
    // original's layouts keep letters, digits and punctuation keys in place.
    return KeyFromScancode(scancode);
}

bool KeyTranslates(WORD vk, bool ctrl, bool alt)
{
    if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) return true;
    return ctrl && !alt;
}

// Ctrl together with Alt is AltGr, which types text on many layouts.
bool AcceptsTextInput(bool ctrl, bool alt) { return !ctrl || alt; }

std::string CharactersFromTextInput(std::string_view utf8)
{
    // A NUL never comes from text input, so it can stand for "not in the code page".
    std::string text = Utf8ToCp1252(utf8, '\0');
    std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    return text;
}

std::optional<DWORD> MillisecondsToBlinkChange(DWORD now, DWORD blinkTime, const std::function<bool(DWORD)>& phaseOn)
{
    if (blinkTime == 0 || blinkTime == INFINITE) return std::nullopt;
    const bool phase = phaseOn(now);
    if (phaseOn(now + blinkTime) == phase) return std::nullopt;  // not blinking after all
    // The phase flips exactly once within one blink time: find where.
    DWORD same = 0;
    DWORD changed = blinkTime;
    while (changed - same > 1) {
        const DWORD mid = same + (changed - same) / 2;
        if (phaseOn(now + mid) == phase)
            same = mid;
        else
            changed = mid;
    }
    return changed;
}

WindowManagerHints HintsForStyles(DWORD style, DWORD exStyle, bool owned)
{
    WindowManagerHints h;
    h.framed = (style & WS_CAPTION) == WS_CAPTION;
    if (!h.framed) {
        h.popupMenu = owned;
        return h;
    }
    h.resizable = (style & WS_THICKFRAME) != 0;
    // WS_DLGFRAME is half of every caption; the extended style marks the dialog frame.
    h.dialog = (exStyle & WS_EX_DLGMODALFRAME) != 0;
    // The caption's buttons come with its system menu.
    h.closeButton = (style & WS_SYSMENU) != 0;
    h.minimizeButton = h.closeButton && (style & WS_MINIMIZEBOX) != 0;
    h.maximizeButton = h.closeButton && (style & WS_MAXIMIZEBOX) != 0;
    return h;
}

std::string DesktopVideoDrivers(const char* x11Display, const char* waylandDisplay)
{
    const auto announced = [](const char* value) { return value != nullptr && *value != '\0'; };
    // X11 first, as SDL prefers it too: the window manager hints are set there.
    std::string drivers = announced(x11Display) ? "x11" : "";
    if (announced(waylandDisplay)) drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

// ---- SdlBackend ----

std::unique_ptr<SdlBackend> SdlBackend::Create(std::string* error, std::string windowClass)
{
    std::string where;  // the display the environment announced, for the error
    auto fail = [&](const char* what) -> std::unique_ptr<SdlBackend> {
        if (error) *error = std::string(what) + SDL_GetError() + where;
        return nullptr;
    };
    // Left to itself SDL falls back on drivers that show nothing (offscreen, dummy) or
    // take over the console (kmsdrm), and the program would run unseen: only the
    // user may ask for those. Not trying a display that is not announced also keeps
    // the display libraries from complaining about it on standard error.
    const char* named = std::getenv("SDL_VIDEODRIVER");
    if (named == nullptr || *named == '\0') {
        const char* x11Display = std::getenv("DISPLAY");
        const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
        const std::string drivers = DesktopVideoDrivers(x11Display, waylandDisplay);
        if (drivers.empty()) {
            if (error) *error = "neither DISPLAY nor WAYLAND_DISPLAY is set";
            return nullptr;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
        if (x11Display && *x11Display) where = std::string("DISPLAY=") + x11Display;
        if (waylandDisplay && *waylandDisplay)
            where += (where.empty() ? "WAYLAND_DISPLAY=" : ", WAYLAND_DISPLAY=") + std::string(waylandDisplay);
        where = " (" + where + ")";
    }
    // The program decides when to quit: SDL must not turn Ctrl+C into SDL_QUIT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // We only copy finished pixels: the OS's own window surface does that
    // without loading a GL driver for each window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    InstallXErrorHandler();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("");
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        auto r = fail("");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return r;
    }
    const Uint32 wake = SDL_RegisterEvents(1);
    if (wake == Uint32(-1)) {
        auto r = fail("no user event left: ");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return r;
    }
    SDL_StartTextInput();
    std::unique_ptr<SdlBackend> backend(new SdlBackend(SIZE{mode.w, mode.h}, wake));
    backend->windowClass_ = std::move(windowClass);
    // Our surfaces are drawn at the display's resolution; SDL shows them pixel for pixel.
    float dpi = 0;
    backend->pixelsPerInch_ = UserPixelsPerInch(SDL_GetDisplayDPI(0, nullptr, nullptr, &dpi) == 0 ? dpi : 0.0);
    return backend;
}

SdlBackend::~SdlBackend()
{
    // The bridge's watcher thread wakes this backend: it goes first.
    accessibility_.reset();
    {
        // A push under way has finished once the lock is ours, and none starts after.
        std::lock_guard lock(wakeMutex_);
        tearingDown_ = true;
    }
    for (auto& [hwnd, os] : windows_) SDL_DestroyWindow(os.window);
    windows_.clear();
    for (auto& [id, cursor] : cursors_) SDL_FreeCursor(cursor);
    SDL_StopTextInput();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::OnGuiThread() const { return GetGuiThreadId() == 0 || GetCurrentThreadId() == GetGuiThreadId(); }

void SdlBackend::Wake()
{
    // The GUI thread is not waiting while it runs, and looks at its queue before it waits again.
    if (GetCurrentThreadId() == GetGuiThreadId()) return;
    if (wakePending_.exchange(true)) return;  // one pending wake-up is enough
    std::lock_guard lock(wakeMutex_);
    if (tearingDown_) return;
    SDL_Event e{};
    e.type = wakeEvent_;
    if (SDL_PushEvent(&e) != 1) wakePending_ = false;
}

void SdlBackend::ExportAccessibility()
{
    if (!accessibility_) accessibility_ = AtkBridge::Start([this] { Wake(); });
}

void SdlBackend::MarkDirty(HWND window)
{
    std::lock_guard lock(pendingMutex_);
    dirty_.insert(window);
}

void SdlBackend::SurfaceChanged(HWND window)
{
    MarkDirty(window);
    if (!OnGuiThread()) Wake();
}

void SdlBackend::TopLevelChanged(HWND window)
{
    if (OnGuiThread()) {
        SyncTopLevel(window);
        return;
    }
    {
        std::lock_guard lock(pendingMutex_);
        pendingSync_.insert(window);
    }
    Wake();
}

void SdlBackend::TopLevelDestroyed(HWND window)
{
    {
        std::lock_guard lock(pendingMutex_);
        dirty_.erase(window);
        pendingSync_.erase(window);
    }
    if (lastRaised_ == window) lastRaised_ = nullptr;
    if (caretTopShown_ == window) caretTopShown_ = nullptr;
    for (auto& [hwnd, os] : windows_)
        if (os.belongsTo == window) os.belongsTo = nullptr;
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    byId_.erase(it->second.id);
    DestroyOsWindow(it->second.window);
    windows_.erase(it);
}

void SdlBackend::DestroyOsWindow(SDL_Window* window)
{
    // SDL 2.26 sends the wake-up of a push, under a lock of its own, to the window
    // it waits with, but forgets that window when its wait ends without taking the
    // lock, and not at all when the window is destroyed: another thread's push may
    // still be reading the window when the wait has ended and the window goes.
    // Our pushes hold wakeMutex_, so none is under way here.
    std::lock_guard lock(wakeMutex_);
    SDL_DestroyWindow(window);
}

SdlBackend::OsWindow* SdlBackend::CreateOsWindow(HWND w, const RECT& area)
{
    const WindowManagerHints hints = HintsForStyles(w->style, w->exStyle, w->owner != nullptr);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (hints.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!hints.framed) flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    if (hints.popupMenu) flags |= SDL_WINDOW_POPUP_MENU;
    const std::string title = Cp1252ToUtf8(w->text);
    SDL_Window* sw = SDL_CreateWindow(title.c_str(), area.left, area.top, std::max<LONG>(area.Width(), 1),
                                      std::max<LONG>(area.Height(), 1), flags);
    if (!sw) return nullptr;
    OsWindow os;
    os.window = sw;
    os.id = SDL_GetWindowID(sw);
    os.placed = area;
    os.title = title;
    os.hints = hints;
    byId_[os.id] = w;
    return &(windows_[w] = os);
}

void SdlBackend::SyncTopLevel(HWND w)
{
    // Any top-level window's change may be a dialog's window being disabled or enabled.
    RefreshModalStates();
    if (!IsWindow(w)) return;
    const RECT area = ShownArea(w);
    const bool wanted = !w->parent && IsWindowVisible(w) && !IsIconic(w) && w->surface;
    auto it = windows_.find(w);
    OsWindow* os = it == windows_.end() ? nullptr : &it->second;
    if (!wanted) {
        // A window the user minimised stays minimised in the OS, where the user can restore it.
        if (os && os->shown && !(IsIconic(w) && os->minimizedByUser)) {
            SDL_HideWindow(os->window);
            os->shown = false;
        }
        if (lastRaised_ == w) lastRaised_ = nullptr;
        return;
    }
    if (!os) os = CreateOsWindow(w, area);
    if (!os) return;
    SyncIcon(*os);
    const std::string title = Cp1252ToUtf8(w->text);
    if (title != os->title) {
        SDL_SetWindowTitle(os->window, title.c_str());
        os->title = title;
    }
    if (area.Width() != os->placed.Width() || area.Height() != os->placed.Height()) {
        SDL_SetWindowSize(os->window, std::max<LONG>(area.Width(), 1), std::max<LONG>(area.Height(), 1));
        MarkDirty(w);
    }
    if (area.left != os->placed.left || area.top != os->placed.top)
        SDL_SetWindowPosition(os->window, area.left, area.top);
    os->placed = area;
    if (os->minimizedByUser) {
        SDL_RestoreWindow(os->window);
        os->minimizedByUser = false;
    }
    if (!os->shown) {
        ApplyWindowManagerHints(w, *os, true);
        SDL_ShowWindow(os->window);
        os->shown = true;
        MarkDirty(w);
    }
    if (GetActiveWindow() == w && lastRaised_ != w) {
        lastRaised_ = w;
        if (Decorated(w)) SDL_RaiseWindow(os->window);
    }
}

// The window manager reads a window's type, owner and Motif hints when the window is
// mapped; the modal state follows whether the dialog's window is disabled.
void SdlBackend::ApplyWindowManagerHints(HWND w, OsWindow& os, bool mapping)
{
    const WindowManagerHints& h = os.hints;
    if (!mapping && !h.dialog) return;
    if (mapping && h.dialog) os.belongsTo = DialogBelongsTo(w);
    const bool modal =
        h.dialog && ((w->owner && !IsWindowEnabled(w->owner)) || (os.belongsTo && !IsWindowEnabled(os.belongsTo)));
    if (!mapping && modal == os.modal) return;
    const std::optional<X11Window> x = X11WindowOf(os.window);
    if (!x) return;  // elsewhere SDL's window flags say all there is to say
    os.modal = modal;
    if (!mapping) {
        SetModalState(*x, modal, true);
        return;
    }
    if (!windowClass_.empty()) {
        XClassHint names{windowClass_.data(), windowClass_.data()};
        XSetClassHint(x->display, x->id, &names);
    }
    // A window with every button of its frame keeps what SDL gave it.
    if (h.framed && (h.dialog || !h.minimizeButton || !h.maximizeButton || !h.closeButton)) SetMotifHints(*x, h);
    if (!h.dialog) return;
    const Atom dialogType = XInternAtom(x->display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(x->display, x->id, XInternAtom(x->display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);
    const auto owner = windows_.find(os.belongsTo);
    const std::optional<X11Window> ownerX = owner == windows_.end() ? std::nullopt : X11WindowOf(owner->second.window);
    if (ownerX)
        XSetTransientForHint(x->display, x->id, ownerX->id);
    else
        XDeleteProperty(x->display, x->id, XA_WM_TRANSIENT_FOR);
    SetModalState(*x, modal, false);
}

void SdlBackend::RefreshModalStates()
{
    for (auto& [w, os] : windows_)
        if (os.hints.dialog && os.shown && IsWindow(w)) ApplyWindowManagerHints(w, os, false);
}

// The window a dialog is for: its nearest owner on screen or, when no owner is shown
// (the application's hidden window owns every form), the frontmost framed window
// that its owner also owns; an unowned dialog is for the frontmost framed window.
HWND SdlBackend::DialogBelongsTo(HWND dialog) const
{
    const auto shownOs = [this](HWND w) -> const OsWindow* {
        auto it = windows_.find(w);
        return it != windows_.end() && it->second.shown ? &it->second : nullptr;
    };
    for (HWND o = dialog->owner; o; o = o->owner)
        if (shownOs(o)) return o;
    for (Window* t : TopLevelZOrder()) {
        if (t == dialog || (dialog->owner && t->owner != dialog->owner)) continue;
        const OsWindow* os = shownOs(t);
        if (os && os->hints.framed && !os->hints.dialog) return t;
    }
    return nullptr;
}

void SdlBackend::SyncIcon(OsWindow& os)
{
    std::shared_ptr<const IconImage> icon = ApplicationIcon();
    if (icon == os.icon) return;
    os.icon = icon;
    // Without an icon of ours the OS's default stays (SDL offers no way back to it).
    if (!icon) return;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(icon->pixels.data()), icon->width, icon->height,
                                           32, icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_SetWindowIcon(os.window, surface);  // takes a copy
    SDL_FreeSurface(surface);
}

void SdlBackend::SyncPendingTopLevels()
{
    std::set<HWND> pending;
    {
        std::lock_guard lock(pendingMutex_);
        pending.swap(pendingSync_);
    }
    for (HWND w : pending) SyncTopLevel(w);
}

void SdlBackend::MarkCaretWindowIfBlinked()
{
    const CaretState caret = GetCaretState();
    HWND top = caret.visible ? GetAncestorTopLevel(caret.owner) : nullptr;
    const bool phase = top && CaretBlinkPhaseOn(GetTickCount());
    if (top == caretTopShown_ && phase == caretPhaseShown_) return;
    if (caretTopShown_ && caretTopShown_ != top) MarkDirty(caretTopShown_);
    if (top) MarkDirty(top);
    caretTopShown_ = top;
    caretPhaseShown_ = phase;
}

void SdlBackend::PresentDirty()
{
    MarkCaretWindowIfBlinked();
    std::set<HWND> dirty;
    {
        std::lock_guard lock(pendingMutex_);
        dirty.swap(dirty_);
    }
    for (HWND w : dirty) {
        if (!IsWindow(w)) continue;
        auto it = windows_.find(w);
        if (it != windows_.end() && it->second.shown) Present(w, it->second);
    }
}

void SdlBackend::Present(HWND w, OsWindow& os)
{
    if (!w->surface) return;
    const Surface& surface = *w->surface;
    // The shown area in surface coordinates.
    const RECT area = ShownArea(w);
    const RECT src = OffsetRectBy(area, -w->rect.left, -w->rect.top);
    const int width = src.Width();
    const int height = src.Height();
    if (width <= 0 || height <= 0) return;
    scratch_.assign(std::size_t(width) * std::size_t(height), 0);
    const RECT copy = IntersectRects(src, RECT{0, 0, surface.width, surface.height});
    for (int y = copy.top; y < copy.bottom; ++y) {
        const std::uint32_t* from =
            &surface.pixels[std::size_t(y) * std::size_t(surface.width) + std::size_t(copy.left)];
        std::copy(from, from + copy.Width(),
                  &scratch_[std::size_t(y - src.top) * std::size_t(width) + std::size_t(copy.left - src.left)]);
    }
    if (caretTopShown_ == w && caretPhaseShown_) {
        const CaretState caret = GetCaretState();
        if (caret.visible && IsWindow(caret.owner)) {
            const RECT client = ClientRectInTopLevel(caret.owner);
            const RECT r =
                IntersectRects(IntersectRects(OffsetRectBy(caret.rect, client.left, client.top), client), src);
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    scratch_[std::size_t(y - src.top) * std::size_t(width) + std::size_t(x - src.left)] ^= 0x00FFFFFFu;
        }
    }
    SDL_Surface* target = SDL_GetWindowSurface(os.window);
    if (!target) return;
    SDL_Surface* from =
        SDL_CreateRGBSurfaceWithFormatFrom(scratch_.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
    if (!from) return;
    SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(from, nullptr, target, nullptr);
    SDL_FreeSurface(from);
    SDL_UpdateWindowSurface(os.window);
    ReportFirstFrameOnce();
}

void SdlBackend::Poll()
{
    // A window procedure run from an event handler may look at its queue; the
    // events after the one being handled must wait so that input keeps its order.
    if (handlingEvents_) return;
    SyncPendingTopLevels();
    DrainEvents();
    PresentDirty();
}

void SdlBackend::WaitForEvents(DWORD timeoutMs)
{
    SyncPendingTopLevels();
    PresentDirty();
    DWORD wait = timeoutMs;
    if (caretTopShown_) {
        if (const auto blink = MillisecondsToBlinkChange(GetTickCount(), GetCaretBlinkTime(), CaretBlinkPhaseOn))
            wait = std::min(wait, *blink);
    }
    int ms = wait == INFINITE ? -1 : int(std::min<DWORD>(wait, INT_MAX));
    // The accessibility bus is served from this wait too: GLib says how long it may last.
    const int busMs = accessibility_ ? accessibility_->BeforeWait() : -1;
    if (busMs >= 0 && (ms < 0 || busMs < ms)) ms = busMs;
    SDL_Event e;
    const bool got = SDL_WaitEventTimeout(&e, ms);
    if (accessibility_) accessibility_->AfterWait();
    if (got) {
        const bool outer = !handlingEvents_;
        handlingEvents_ = true;
        HandleEvent(e);
        if (outer) handlingEvents_ = false;
    }
    DrainEvents();
    SyncPendingTopLevels();
    PresentDirty();
}

void SdlBackend::DrainEvents()
{
    const bool outer = !handlingEvents_;
    handlingEvents_ = true;
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
    if (outer) handlingEvents_ = false;
}

HWND SdlBackend::WindowForId(std::uint32_t id) const
{
    auto it = byId_.find(id);
    if (it == byId_.end() || !IsWindow(it->second)) return nullptr;
    return it->second;
}

POINT SdlBackend::ScreenPoint(HWND w, int x, int y) const
{
    const RECT area = ShownArea(w);
    return POINT{area.left + x, area.top + y};
}

void SdlBackend::HandleEvent(const SDL_Event& e)
{
    if (e.type == wakeEvent_) {
        wakePending_ = false;
        return;
    }
    switch (e.type) {
        case SDL_MOUSEMOTION:
            if (HWND w = WindowForId(e.motion.windowID)) InjectMouseMove(ScreenPoint(w, e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            HWND w = WindowForId(e.button.windowID);
            if (!w) break;
            MouseButton button;
            if (e.button.button == SDL_BUTTON_LEFT)
                button = MouseButton::Left;
            else if (e.button.button == SDL_BUTTON_RIGHT)
                button = MouseButton::Right;
            else if (e.button.button == SDL_BUTTON_MIDDLE)
                button = MouseButton::Middle;
            else
                break;
            const POINT p = ScreenPoint(w, e.button.x, e.button.y);
            POINT cursor;
            GetCursorPos(&cursor);
            if (cursor != p) InjectMouseMove(p);
            InjectMouseButton(button, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int steps = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
            if (steps) InjectMouseWheel(steps * WHEEL_DELTA);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: HandleKey(e); break;
        case SDL_TEXTINPUT: {
            const SDL_Keymod mod = SDL_GetModState();
            if (!AcceptsTextInput(mod & KMOD_CTRL, mod & KMOD_ALT)) break;
            const std::string_view utf8(e.text.text, strnlen(e.text.text, sizeof e.text.text));
            for (char c : CharactersFromTextInput(utf8)) InjectCharacter(c);
            break;
        }
        case SDL_WINDOWEVENT: HandleWindowEvent(e); break;
#if SDL_VERSION_ATLEAST(2, 0, 14)
        // The user changed the regional settings while the program runs.
        case SDL_LOCALECHANGED: NotifyLocaleChange(); break;
#endif
        default: break;  // SDL_QUIT included: closing is the program's decision
    }
}

void SdlBackend::HandleKey(const SDL_Event& e)
{
    const SDL_Keysym& key = e.key.keysym;
    const WORD vk = VirtualKeyFor(key.sym, key.scancode);
    if (!vk) return;
    const bool ctrl = (key.mod & KMOD_CTRL) != 0;
    const bool alt = (key.mod & KMOD_ALT) != 0;
    InjectKey(vk, e.type == SDL_KEYDOWN, KeyTranslates(vk, ctrl, alt));
}

void SdlBackend::HandleWindowEvent(const SDL_Event& e)
{
    HWND w = WindowForId(e.window.windowID);
    if (!w) return;
    auto it = windows_.find(w);
    if (it == windows_.end()) return;
    OsWindow& os = it->second;
    switch (e.window.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED: MarkDirty(w); break;
        case SDL_WINDOWEVENT_MOVED: {
            // The user or the window manager moved it: the program's coordinates follow.
            const int x = e.window.data1;
            const int y = e.window.data2;
            if (x == os.placed.left && y == os.placed.top) break;
            os.placed = OffsetRectBy(os.placed, x - os.placed.left, y - os.placed.top);
            const RECT area = ShownArea(w);
            SetWindowPos(w, nullptr, w->rect.left + (x - area.left), w->rect.top + (y - area.top), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            const int cx = e.window.data1;
            const int cy = e.window.data2;
            if (cx == os.placed.Width() && cy == os.placed.Height()) break;
            os.placed.right = os.placed.left + cx;
            os.placed.bottom = os.placed.top + cy;
            const RECT area = ShownArea(w);
            SetWindowPos(w, nullptr, 0, 0, w->rect.Width() + (cx - area.Width()),
                         w->rect.Height() + (cy - area.Height()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            MarkDirty(w);
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            os.minimizedByUser = true;
            if (!IsIconic(w)) ShowWindow(w, SW_MINIMIZE);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            if (os.minimizedByUser) {
                os.minimizedByUser = false;
                if (IsIconic(w)) ShowWindow(w, SW_RESTORE);
            }
            MarkDirty(w);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: {
            lastRaised_ = w;  // the OS has just put it in front
            HWND target = w;
            if (!IsWindowEnabled(w)) {
                // A disabled window waits for its modal dialog: that one takes the focus.
                target = nullptr;
                for (Window* t : TopLevelZOrder())
                    if (t->owner == w && IsWindowVisible(t) && IsWindowEnabled(t)) {
                        target = t;
                        break;
                    }
            }
            if (target && GetActiveWindow() != target) SetActiveWindow(target);
            break;
        }
        case SDL_WINDOWEVENT_CLOSE: InjectClose(w); break;
        default: break;
    }
}

void SdlBackend::SetClipboardUtf8(const std::string& text) { SDL_SetClipboardText(text.c_str()); }

std::optional<std::string> SdlBackend::GetClipboardUtf8()
{
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (!text) return std::nullopt;
    std::string result(text);
    SDL_free(text);
    return result;
}

void SdlBackend::SetCursorShape(int cursorId)
{
    if (!OnGuiThread()) return;  // SDL's cursors belong to the video thread
    const SDL_SystemCursor shape = SystemCursorFor(cursorId);
    auto it = cursors_.find(int(shape));
    if (it == cursors_.end()) {
        SDL_Cursor* cursor = SDL_CreateSystemCursor(shape);
        if (!cursor) return;
        it = cursors_.emplace(int(shape), cursor).first;
    }
    SDL_SetCursor(it->second);
}

}  // namespace desktop::sdl
