// dice_demo [--headless | --stress]: a window with a push button, an edit and a
// tab control. It prints "ready X Y" (the button's centre on the screen) once the
// window is shown and painted, and "clicked" when the button is pressed, then
// exits 0. With --headless it runs on the in-memory screen and clicks the
// button itself, which checks the whole path without a display. With --stress,
// after the click, a worker thread keeps posting to the GUI thread while
// short-lived windows open and close and the main window is destroyed: the
// closing of windows while the display backend is being woken up.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "desktop/Backend.h"
#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "desktop/backends/Sdl.h"

namespace {

using namespace desktop;

constexpr std::intptr_t kButtonId = 101;
constexpr std::intptr_t kEditId = 102;
constexpr std::intptr_t kTabsId = 103;
constexpr const char* kMainClass = "DiceDemoWindow";
constexpr const char* kFlashClass = "DiceDemoFlash";
constexpr UINT kPingMsg = WM_APP + 1;
constexpr int kStressWindows = 150;

HWND demoButton = nullptr;
bool buttonClicked = false;

bool AddTab(HWND tabs, int index, const char* caption)
{
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    return SendMessage(tabs, TCM_INSERTITEM, WPARAM(index), LPARAM(reinterpret_cast<std::intptr_t>(&item))) == index;
}

bool CreateChildren(HWND parent)
{
    RegisterStandardControls();
    demoButton = CreateWindowEx(0, kButtonClass, "Pulsar", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 20,
                                100, 28, parent, HMENU(kButtonId), nullptr);
    HWND edit = CreateWindowEx(WS_EX_CLIENTEDGE, kEditClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               140, 22, 220, 24, parent, HMENU(kEditId), nullptr);
    HWND tabs = CreateWindowEx(0, kTabControlClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 66, 340, 180, parent,
                               HMENU(kTabsId), nullptr);
    if (!demoButton || !edit || !tabs) return false;
    if (!AddTab(tabs, 0, "Primera") || !AddTab(tabs, 1, "Segunda")) return false;
    SetFocus(edit);
    return true;
}

// ---- The main window ----

LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case WM_CREATE: return CreateChildren(hwnd) ? 0 : -1;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
                buttonClicked = true;
                std::puts("clicked");
                std::fflush(stdout);
                PostQuitMessage(0);
            }
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// ---- The stress after the click ----

// Posts to the GUI thread until stopped, at uneven intervals so that the posts
// meet the GUI thread both running and asleep in the backend's wait.
class Pinger {
public:
    Pinger() : gui_(GetCurrentThreadId()), thread_([this] { Run(); }) {}
    ~Pinger()
    {
        stop_ = true;
        thread_.join();
    }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    // The GUI thread took a ping off its queue.
    void Received() { inFlight_ = false; }

private:
    void Run()
    {
        // One ping at a time, so that the GUI thread also gets to wait between them.
        std::minstd_rand random(12345);
        while (!stop_) {
            if (!inFlight_.exchange(true) && !PostThreadMessage(gui_, kPingMsg, 0, 0)) inFlight_ = false;
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        }
    }

    const DWORD gui_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> inFlight_{false};
    std::thread thread_;
};

// Takes one message; false at WM_QUIT. Pings are only acknowledged.
bool Step(Pinger& pinger, MSG* m, int* exitCode)
{
    if (!GetMessage(m, nullptr, 0, 0)) {
        *exitCode = int(m->wParam);
        return false;
    }
    if (m->message == kPingMsg && !m->hwnd) {
        pinger.Received();
        return true;
    }
    TranslateMessage(m);
    DispatchMessage(m);
    return true;
}

// Opens and closes windows, each right after a wait of the GUI thread with it
// on the screen, then destroys the main window, all while being pinged. Returns
// the exit code.
int Stress(HWND main)
{
    WNDCLASS cls;
    cls.lpfnWndProc = DefWindowProc;
    cls.hbrBackground = COLOR_WINDOW + 1;
    cls.lpszClassName = kFlashClass;
    RegisterClass(cls);
    RECT r;
    GetWindowRect(demoButton, &r);
    Pinger pinger;
    int exitCode = 0;
    MSG m;
    POINT pointer{};
    GetCursorPos(&pointer);
    for (int i = 0; i < kStressWindows; ++i) {
        // Alternately a captionless owned window (a menu, a drop-down) and a captioned one (a dialog).
        const bool captioned = i % 2 != 0;
        const DWORD style = captioned ? WS_OVERLAPPEDWINDOW : WS_POPUP | WS_BORDER;
        HWND flash = CreateWindowEx(0, kFlashClass, "Destello", style, r.left + i % 40, r.bottom + i % 30, 160, 90,
                                    main, 0, nullptr);
        if (!flash) {
            std::fprintf(stderr, "dice_demo: cannot create window %d of the stress\n", i);
            return 1;
        }
        ShowWindow(flash, captioned ? SW_SHOW : SW_SHOWNOACTIVATE);
        UpdateWindow(flash);
        SetTimer(flash, 1, 3, nullptr);
        // The window goes right after a wait that the pointer or the timer ended,
        // the pings meanwhile cutting waits short. Moves to where the pointer
        // already is come from the windows changing, not from a wait.
        for (bool woken = false; !woken;) {
            if (!Step(pinger, &m, &exitCode)) {
                std::fprintf(stderr, "dice_demo: quit during the stress\n");
                return 1;
            }
            const bool moved = m.message == WM_MOUSEMOVE && m.pt != pointer;
            if (m.message == WM_MOUSEMOVE) pointer = m.pt;
            woken = moved || (m.message == WM_TIMER && m.hwnd == flash);
        }
        DestroyWindow(flash);
    }
    DestroyWindow(main);  // posts the quit
    while (Step(pinger, &m, &exitCode)) {
    }
    return exitCode;
}

bool InstallBackend(bool headlessMode)
{
    if (headlessMode) {
        headless::Install();
        return true;
    }
    std::string error;
    std::unique_ptr<sdl::SdlBackend> backend = sdl::SdlBackend::Create(&error);
    if (!backend) {
        std::fprintf(stderr, "dice_demo: no display available: %s\n", error.c_str());
        return false;
    }
    UseBackend(std::move(backend));
    return true;
}

// Runs what is queued, paints included. False when the program is to quit.
bool RunPending(int* exitCode)
{
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            *exitCode = int(m.wParam);
            return false;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    return true;
}

POINT ButtonCentre()
{
    RECT r;
    GetWindowRect(demoButton, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int Run(bool headlessMode, bool stress)
{
    WNDCLASS cls;
    cls.lpfnWndProc = MainProc;
    cls.hCursor = IDC_ARROW;
    cls.hbrBackground = COLOR_BTNFACE + 1;
    cls.lpszClassName = kMainClass;
    RegisterClass(cls);
    constexpr int kWidth = 400;
    constexpr int kHeight = 300;
    const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2);
    const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2);
    HWND main = CreateWindowEx(0, kMainClass, "Demo", WS_OVERLAPPEDWINDOW, x, y, kWidth, kHeight, nullptr, 0, nullptr);
    if (!main) {
        std::fprintf(stderr, "dice_demo: cannot create the window\n");
        return 1;
    }
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    int exitCode = 0;
    // Everything is painted, and shown, once the queue has run dry: the
    // backend presents what changed each time the queue is looked at.
    if (!RunPending(&exitCode)) return exitCode;
    const POINT centre = ButtonCentre();
    std::printf("ready %d %d\n", int(centre.x), int(centre.y));
    std::fflush(stdout);
    if (headlessMode) {
        headless::Click(centre);
        // Nobody else can end the program: a click that went astray fails it.
        constexpr DWORD kSelfCheckDeadlineMs = 10000;
        return headless::PumpUntil([] { return buttonClicked; }, kSelfCheckDeadlineMs) ? 0 : 1;
    }
    MSG m;
    while (GetMessage(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    if (stress && buttonClicked) return Stress(main);
    return int(m.wParam);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view option = argc > 1 ? argv[1] : "";
    const bool headlessMode = option == "--headless";
    const bool stress = option == "--stress";
    if (argc > 2 || (argc == 2 && !headlessMode && !stress)) {
        std::fprintf(stderr, "usage: dice_demo [--headless | --stress]\n");
        return 2;
    }
    if (!InstallBackend(headlessMode)) return 2;
    const int code = Run(headlessMode, stress);
    ShutdownDesktop();
    return code;
}
