// The real display: one SDL2 window per shown top-level window, SDL's input
// turned into the layer's input, SDL's clipboard and cursors.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/Backend.h"
#include "desktop/Types.h"
#include "desktop/backends/SdlAtk.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace desktop {
struct IconImage;
}

namespace desktop::sdl {

// ---- Pure parts, usable without a display ----

// The virtual key for an SDL keycode (layout-dependent symbol), falling back on
// the scancode (physical position) for keys whose symbol has no key of its own;
// 0 for keys the program cannot see.
WORD VirtualKeyFor(std::int32_t keycode, int scancode);
// Whether TranslateMessage should make the key's WM_CHAR: only for control
// keys, since printable text arrives separately as text input.
bool KeyTranslates(WORD vk, bool ctrl, bool alt);
// Text typed while Ctrl (without AltGr) is held is a shortcut, not text.
bool AcceptsTextInput(bool ctrl, bool alt);
// Text input (UTF-8) as code page 1252 characters; characters the code page
// lacks, control characters and malformed bytes are dropped.
std::string CharactersFromTextInput(std::string_view utf8);
// Milliseconds from `now` until phaseOn(tick) first differs from phaseOn(now),
// given that it flips within every `blinkTime`; nullopt when it never blinks.
std::optional<DWORD> MillisecondsToBlinkChange(DWORD now, DWORD blinkTime, const std::function<bool(DWORD)>& phaseOn);

// What a top-level window's styles ask of the window manager. Only windows with
// a caption get the window manager's frame; the others draw all of themselves.
struct WindowManagerHints {
    bool framed = false;
    bool resizable = false;
    // A dialog frame: a dialog window, transient for the window it belongs to and
    // modal while that one is disabled.
    bool dialog = false;
    bool minimizeButton = false;
    bool maximizeButton = false;
    bool closeButton = false;
    // Owned and frameless: a menu or drop-down that the window manager must neither
    // manage nor focus. An unowned frameless window may be a main window.
    bool popupMenu = false;
};
WindowManagerHints HintsForStyles(DWORD style, DWORD exStyle, bool owned);

// The video drivers to try when the user names none: only those that show windows on
// the user's desktop, as the environment announces it. Empty when it announces none.
std::string DesktopVideoDrivers(const char* x11Display, const char* waylandDisplay);

// ---- The backend ----

class SdlBackend : public Backend {
public:
    // nullptr when no video display can be opened; `error` then says why. SDL's drivers
    // that show nothing (offscreen, dummy) are used only when SDL_VIDEODRIVER names them.
    // `windowClass`, when given, names the program's windows to the window manager (the
    // X11 WM_CLASS that desktop entries match); else SDL's default stays.
    static std::unique_ptr<SdlBackend> Create(std::string* error = nullptr, std::string windowClass = {});
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    SIZE ScreenSize() override { return screen_; }
    int PixelsPerInch() override { return pixelsPerInch_; }
    void Poll() override;
    bool OwnsWait() override { return true; }
    void WaitForEvents(DWORD timeoutMs) override;
    void Wake() override;

    // Exports the accessibility model to the desktop's accessibility bus, once this backend
    // is installed. Without a bus (or with NO_AT_BRIDGE=1) nothing happens and the model stays
    // unused.
    void ExportAccessibility();

    void TopLevelChanged(HWND window) override;
    void TopLevelDestroyed(HWND window) override;
    void SurfaceChanged(HWND window) override;

    bool HasSystemClipboard() override { return true; }
    void SetClipboardUtf8(const std::string& text) override;
    std::optional<std::string> GetClipboardUtf8() override;

    void SetCursorShape(int cursorId) override;

private:
    // What the OS window of one top-level window shows and where.
    struct OsWindow {
        SDL_Window* window = nullptr;
        std::uint32_t id = 0;
        RECT placed{};  // screen rectangle last given to (or reported by) the OS
        std::string title;
        bool shown = false;
        bool minimizedByUser = false;
        std::shared_ptr<const IconImage> icon;  // the application icon last given to the OS
        WindowManagerHints hints;
        HWND belongsTo = nullptr;  // a dialog's window, named to the window manager at its last showing
        bool modal = false;        // as last told to the window manager
    };

    SdlBackend(SIZE screen, std::uint32_t wakeEvent) : screen_(screen), wakeEvent_(wakeEvent) {}

    void SyncTopLevel(HWND window);
    OsWindow* CreateOsWindow(HWND window, const RECT& area);
    void SyncPendingTopLevels();
    void SyncIcon(OsWindow& os);
    void ApplyWindowManagerHints(HWND window, OsWindow& os, bool mapping);
    void RefreshModalStates();
    HWND DialogBelongsTo(HWND dialog) const;
    void MarkCaretWindowIfBlinked();
    void PresentDirty();
    void Present(HWND window, OsWindow& os);
    void DrainEvents();
    void HandleEvent(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void HandleKey(const SDL_Event& event);
    HWND WindowForId(std::uint32_t id) const;
    POINT ScreenPoint(HWND window, int x, int y) const;
    bool OnGuiThread() const;
    void MarkDirty(HWND window);
    void DestroyOsWindow(SDL_Window* window);

    SIZE screen_;
    int pixelsPerInch_ = 96;
    std::uint32_t wakeEvent_;
    std::atomic<bool> wakePending_{false};
    // Held around another thread's push and around every SDL_DestroyWindow: the
    // push's wake-up may be on its way to the window being destroyed.
    std::mutex wakeMutex_;
    bool tearingDown_ = false;  // under wakeMutex_: no more pushes
    std::map<HWND, OsWindow> windows_;
    std::map<std::uint32_t, HWND> byId_;
    std::mutex pendingMutex_;  // guards the two sets below: other threads may paint or change windows
    std::set<HWND> dirty_;
    std::set<HWND> pendingSync_;
    HWND lastRaised_ = nullptr;
    HWND caretTopShown_ = nullptr;
    bool caretPhaseShown_ = false;
    bool handlingEvents_ = false;
    std::map<int, SDL_Cursor*> cursors_;
    std::vector<std::uint32_t> scratch_;
    std::unique_ptr<AtkBridge> accessibility_;  // null while nothing is exported
    std::string windowClass_;
};

}  // namespace desktop::sdl
