#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "WindowTestSupport.h"
#include "desktop/Backend.h"
#include "desktop/Caret.h"
#include "desktop/Clipboard.h"
#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/System.h"

namespace desktop::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

using WindowTree = HeadlessTest;

TEST_F(WindowTree, LaterSiblingsStackAboveEarlierOnesWhateverThePaintOrder)
{
    HWND top = TopLevel(RECT{100, 100, 400, 300}, kGreen);
    HWND first = Child(top, RECT{10, 10, 110, 110}, kRed);
    HWND second = Child(top, RECT{50, 50, 150, 150}, kBlue);
    headless::PumpMessages();

    const POINT overlap = ScreenPointOf(top, POINT{60, 60});
    EXPECT_EQ(headless::ScreenColorAt(overlap), kBlue);
    EXPECT_EQ(headless::ScreenColorAt(ScreenPointOf(top, POINT{20, 20})), kRed);
    EXPECT_EQ(headless::ScreenColorAt(ScreenPointOf(top, POINT{200, 20})), kGreen);
    EXPECT_EQ(WindowFromPoint(overlap), second);

    // Repainting only the lower window must not draw over the upper one.
    InvalidateRect(first, nullptr, true);
    headless::PumpMessages();
    EXPECT_EQ(headless::ScreenColorAt(overlap), kBlue);

    ShowWindow(second, SW_HIDE);
    headless::PumpMessages();
    EXPECT_EQ(WindowFromPoint(overlap), first);
    EXPECT_EQ(headless::ScreenColorAt(overlap), kRed);
    EXPECT_EQ(headless::ScreenColorAt(ScreenPointOf(top, POINT{140, 140})), kGreen);
}

TEST_F(WindowTree, HitTestingSkipsHiddenAndDisabledChildrenAndHonoursTheFrame)
{
    HWND top = TopLevel(RECT{100, 100, 400, 300}, kGreen);
    HWND panel = Child(top, RECT{10, 10, 210, 110}, kRed);
    HWND inner = Child(panel, RECT{5, 5, 55, 55}, kBlue, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
    RECT cr;
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 46, 46}));  // the client edge takes two pixels a side

    EXPECT_EQ(WindowFromPoint(ScreenPointOf(inner, POINT{10, 10})), inner);
    EnableWindow(inner, false);
    EXPECT_EQ(WindowFromPoint(ScreenPointOf(inner, POINT{10, 10})), panel);
    EXPECT_EQ(ChildWindowFromPoint(panel, POINT{10, 10}), inner);  // unlike WindowFromPoint it sees disabled ones
    ShowWindow(panel, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(ScreenPointOf(top, POINT{20, 20})), top);
    EXPECT_FALSE(IsWindowVisible(inner));

    RECT outer;
    GetWindowRect(top, &outer);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(origin.x - outer.left, GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(origin.y - outer.top, GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(WindowTree, DestroyingAParentDestroysChildrenFirstAndForgetsTheirHandles)
{
    HWND top = TopLevel(RECT{0, 0, 200, 200}, kGreen);
    HWND child = Child(top, RECT{0, 0, 50, 50}, kRed);
    SetFocus(child);
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(CountMessages(child, WM_DESTROY), 1);
    EXPECT_EQ(CountMessages(child, WM_NCDESTROY), 1);
    // Parents are told first, and let go last.
    std::lock_guard lock(LogMutex());
    int destroyTop = -1, destroyChild = -1, ncTop = -1, ncChild = -1;
    for (int i = 0; i < int(Log().size()); ++i) {
        const auto& m = Log()[std::size_t(i)];
        if (m.message == WM_DESTROY) (m.hwnd == top ? destroyTop : destroyChild) = i;
        if (m.message == WM_NCDESTROY) (m.hwnd == top ? ncTop : ncChild) = i;
    }
    EXPECT_LT(destroyTop, destroyChild);
    EXPECT_LT(ncChild, ncTop);
}

TEST_F(WindowTree, PropertiesByAtomAndByNameAreTheSameWhateverTheCase)
{
    HWND top = TopLevel(RECT{0, 0, 100, 100}, kGreen);
    const ATOM atom = AddAtom("Test.Window.Property");
    EXPECT_NE(atom, 0);
    EXPECT_EQ(AddAtom("TEST.window.PROPERTY"), atom);
    EXPECT_NE(AddAtom("Test.Window.Other"), atom);
    EXPECT_EQ(AddAtom(""), 0);

    EXPECT_EQ(GetProp(top, "never.set.anywhere"), 0);
    EXPECT_TRUE(SetProp(top, "test.window.property", 7));
    EXPECT_EQ(GetProp(top, atom), 7);
    EXPECT_TRUE(SetProp(top, atom, 8));  // replaces, does not add a second entry
    EXPECT_TRUE(SetProp(top, "Test.Window.Other", 9));
    EXPECT_EQ(GetProp(top, "TEST.WINDOW.PROPERTY"), 8);
    EXPECT_EQ(RemoveProp(top, atom), 8);
    EXPECT_EQ(GetProp(top, atom), 0);
    EXPECT_EQ(RemoveProp(top, "test.window.property"), 0);
    EXPECT_EQ(GetProp(top, "test.window.other"), 9);

    DestroyWindow(top);
    EXPECT_FALSE(SetProp(top, atom, 1));
    EXPECT_EQ(GetProp(top, "test.window.other"), 0);
}

TEST_F(WindowTree, OnlyHandlesOfLiveWindowsAreWindowsAcrossManyCreations)
{
    // Enough windows to need several blocks of handles; every other one destroyed.
    HWND top = TopLevel(RECT{0, 0, 300, 300}, kGreen);
    std::vector<HWND> children;
    for (int i = 0; i < 300; ++i) children.push_back(Child(top, RECT{0, 0, 5, 5}, kRed));
    for (std::size_t i = 0; i < children.size(); i += 2) DestroyWindow(children[i]);
    for (std::size_t i = 0; i < children.size(); ++i) EXPECT_EQ(IsWindow(children[i]), i % 2 == 1) << i;

    // Addresses that are not handles of ours: inside a window, on the stack, on the heap.
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(reinterpret_cast<char*>(children[1]) + 8)));
    int local = 0;
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(&local)));
    const auto heap = std::make_unique<std::uint64_t[]>(64);
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(heap.get())));
    EXPECT_FALSE(IsWindow(nullptr));

    // A handle just found is found again at once; destroyed meanwhile, it is no window, and an
    // address inside it is still none.
    EXPECT_TRUE(IsWindow(children[3]));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(reinterpret_cast<char*>(children[3]) + 8)));
    EXPECT_TRUE(IsWindow(children[3]));
    DestroyWindow(children[3]);
    EXPECT_FALSE(IsWindow(children[3]));
}

// Another thread asks about handles while this one makes enough windows to add blocks of them.
TEST_F(WindowTree, IsWindowOnAnotherThreadWhileWindowsAreMadeSeesOnlyLiveOnes)
{
    HWND top = TopLevel(RECT{0, 0, 300, 300}, kGreen);
    int local = 0;
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::atomic<int> wrong{0};
    std::thread worker([&] {
        while (!stop.load()) {
            if (!IsWindow(top)) ++wrong;
            if (IsWindow(reinterpret_cast<HWND>(&local))) ++wrong;
            ++rounds;
        }
    });
    while (rounds.load() == 0) std::this_thread::yield();
    std::vector<HWND> children;
    for (int i = 0; i < 400; ++i) children.push_back(Child(top, RECT{0, 0, 5, 5}, kRed));
    const int before = rounds.load();
    while (rounds.load() < before + 10) std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_EQ(wrong.load(), 0);
    for (HWND c : children) EXPECT_TRUE(IsWindow(c));
}

TEST_F(WindowTree, ClientSizeComesFromTheWindowsOwnFrameAtAnyDepth)
{
    HWND top = TopLevel(RECT{0, 0, 300, 300}, kGreen);
    HWND panel = Child(top, RECT{10, 10, 200, 200}, kRed, WS_CHILD | WS_VISIBLE | WS_BORDER);
    HWND inner = Child(panel, RECT{5, 5, 25, 15}, kBlue, WS_CHILD | WS_VISIBLE | WS_BORDER, WS_EX_CLIENTEDGE);
    RECT cr;
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 14, 4}));  // border 1 and client edge 2 a side
    SetWindowPos(inner, nullptr, 0, 0, 4, 4, SWP_NOZORDER | SWP_NOMOVE);
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 0, 0}));  // a frame wider than the window leaves nothing, not less
    SetWindowLongPtr(inner, GWL_EXSTYLE, 0);
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 2, 2}));
    // The sunken edge alone, as edits have it.
    SetWindowLongPtr(inner, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    SetWindowLongPtr(inner, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(inner, nullptr, 0, 0, 20, 10, SWP_NOZORDER | SWP_NOMOVE);
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 16, 6}));
    SetWindowPos(inner, nullptr, 0, 0, 3, 5, SWP_NOZORDER | SWP_NOMOVE);
    GetClientRect(inner, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 0, 1}));
}

std::vector<RECT>& PaintedAreas()
{
    static std::vector<RECT> areas;
    return areas;
}

// Records the area each paint is asked to cover.
LRESULT AreaRecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    PaintedAreas().push_back(ps.rcPaint);
    EndPaint(hwnd, &ps);
    return 0;
}

// A window invalidated whole, then changed, then invalidated whole again paints its new client
// area: the second invalidation must not take the first one's area for still pending.
TEST_F(WindowTree, InvalidatingAllAgainAfterAChangeCoversTheNewClientArea)
{
    WNDCLASS cls;
    cls.lpfnWndProc = AreaRecordingProc;
    cls.lpszClassName = "AreaRecording";
    RegisterClass(cls);
    HWND top = TopLevel(RECT{0, 0, 400, 300}, kGreen);
    HWND other = Child(top, RECT{200, 0, 400, 300}, kBlue);
    HWND w = CreateWindowEx(0, "AreaRecording", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 30, top, 0, nullptr);
    UpdateWindow(top);
    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"grown", [&] { SetWindowPos(w, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER); }},
        {"border", [&] { SetWindowLongPtr(w, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_BORDER); }},
        {"sunken edge", [&] { SetWindowLongPtr(w, GWL_EXSTYLE, WS_EX_CLIENTEDGE); }},
        {"plain again",
         [&] {
             SetWindowLongPtr(w, GWL_STYLE, WS_CHILD | WS_VISIBLE);
             SetWindowLongPtr(w, GWL_EXSTYLE, 0);
         }},
        {"other parent", [&] { SetParent(w, other); }},
        {"shrunk", [&] { SetWindowPos(w, nullptr, 0, 0, 20, 10, SWP_NOMOVE | SWP_NOZORDER); }},
        {"validated", [&] { ValidateRect(w, nullptr); }},
        {"painted", [&] { UpdateWindow(w); }},
        {"hidden and shown",
         [&] {
             ShowWindow(w, SW_HIDE);
             UpdateWindow(other);
             ShowWindow(w, SW_SHOW);
             UpdateWindow(w);
         }},
    };
    for (const auto& [name, change] : changes) {
        // Exactly the client area pending, as a fresh whole invalidation leaves it.
        UpdateWindow(w);
        InvalidateRect(w, nullptr, false);
        change();
        InvalidateRect(w, nullptr, false);
        InvalidateRect(w, nullptr, false);
        PaintedAreas().clear();
        UpdateWindow(w);
        RECT client;
        GetClientRect(w, &client);
        ASSERT_EQ(PaintedAreas().size(), 1u) << name;
        EXPECT_EQ(IntersectRects(PaintedAreas().back(), client), client) << name;  // an area shrunk stays pending
    }
}

using FocusAndCapture = HeadlessTest;

TEST_F(FocusAndCapture, FocusMovesWithKillBeforeSetAndNeverToDisabledWindows)
{
    HWND top = TopLevel(RECT{0, 0, 300, 200}, kGreen);
    HWND a = Child(top, RECT{0, 0, 50, 50}, kRed);
    HWND b = Child(top, RECT{60, 0, 110, 50}, kBlue);
    SetFocus(a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(GetActiveWindow(), top);
    {
        std::lock_guard lock(LogMutex());
        Log().clear();
    }
    EXPECT_EQ(SetFocus(b), a);
    {
        std::lock_guard lock(LogMutex());
        ASSERT_GE(Log().size(), 2u);
        EXPECT_EQ(Log()[0].hwnd, a);
        EXPECT_EQ(Log()[0].message, UINT(WM_KILLFOCUS));
        EXPECT_EQ(Log()[0].wParam, WPARAM(reinterpret_cast<std::uintptr_t>(b)));
        EXPECT_EQ(Log()[1].hwnd, b);
        EXPECT_EQ(Log()[1].message, UINT(WM_SETFOCUS));
    }
    EnableWindow(b, false);
    EXPECT_EQ(GetFocus(), nullptr);  // disabling the focused window takes the focus away
    EXPECT_EQ(SetFocus(b), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(CountMessages(b, WM_ENABLE), 1);
}

TEST_F(FocusAndCapture, CaptureGetsTheMouseEverywhereAndHearsWhenItLosesIt)
{
    HWND top = TopLevel(RECT{0, 0, 300, 200}, kGreen);
    HWND a = Child(top, RECT{0, 0, 50, 50}, kRed);
    HWND b = Child(top, RECT{100, 0, 150, 50}, kBlue);
    headless::PumpMessages();
    SetCapture(a);
    headless::MoveMouse(ScreenPointOf(b, POINT{10, 10}));
    headless::PumpMessages();
    EXPECT_EQ(CountMessages(b, WM_MOUSEMOVE), 0);
    ASSERT_EQ(CountMessages(a, WM_MOUSEMOVE), 1);
    {
        std::lock_guard lock(LogMutex());
        for (const auto& m : Log())
            if (m.hwnd == a && m.message == WM_MOUSEMOVE) {
                EXPECT_EQ(GET_X_LPARAM(m.lParam), 110);  // a's coordinates
            }
    }
    ReleaseCapture();
    EXPECT_EQ(CountMessages(a, WM_CAPTURECHANGED), 1);
    headless::Click(ScreenPointOf(b, POINT{10, 10}));
    headless::PumpMessages();
    EXPECT_EQ(CountMessages(b, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(CountMessages(b, WM_LBUTTONUP), 1);
}

TEST_F(FocusAndCapture, DisabledTopLevelWindowsGetNoInputAndClicksActivate)
{
    HWND first = TopLevel(RECT{0, 0, 200, 200}, kGreen);
    HWND second = TopLevel(RECT{300, 0, 500, 200}, kBlue);
    EXPECT_EQ(GetActiveWindow(), second);
    headless::Click(ScreenPointOf(first, POINT{10, 10}));
    EXPECT_EQ(GetActiveWindow(), first);
    headless::PumpMessages();
    EXPECT_EQ(CountMessages(first, WM_LBUTTONDOWN), 1);

    EnableWindow(first, false);
    headless::Click(ScreenPointOf(first, POINT{10, 10}));
    headless::PressKey('A');
    headless::PumpMessages();
    EXPECT_EQ(CountMessages(first, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(CountMessages(first, WM_KEYDOWN), 0);
    EXPECT_EQ(CountMessages(first, WM_SYSKEYDOWN), 0);
}

using MessageQueueTest = HeadlessTest;

constexpr UINT kWorkerCall = WM_APP + 1;
constexpr UINT kEnterModal = WM_APP + 2;
constexpr UINT kLeaveModal = WM_APP + 3;
std::atomic<int> handledCalls{0};
std::atomic<bool> insideModal{false};
std::atomic<bool> callSeenInsideModal{false};
bool leaveModal = false;

LRESULT WorkerTargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case kWorkerCall:
            ++handledCalls;
            if (insideModal) callSeenInsideModal = true;
            return LRESULT(wParam * 2);
        case kEnterModal: {
            insideModal = true;
            leaveModal = false;
            MSG m;
            while (!leaveModal && GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
            insideModal = false;
            return 0;
        }
        case kLeaveModal: leaveModal = true; return 0;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

TEST_F(MessageQueueTest, PostedMessagesArriveInOrderAndQuitComesAfterThem)
{
    HWND w = TopLevel(RECT{0, 0, 100, 100}, kGreen, WS_POPUP);
    PostMessage(w, WM_APP + 10, 0, 0);
    PostMessage(w, WM_APP + 11, 0, 0);
    PostQuitMessage(3);
    PostMessage(w, WM_APP + 12, 0, 0);
    EXPECT_EQ(SendMessage(w, WM_APP + 9, 0, 0), 0);  // a send runs at once, ahead of the posted ones
    MSG m;
    std::vector<UINT> order;
    while (GetMessage(&m, nullptr, 0, 0)) {
        order.push_back(m.message);
        DispatchMessage(&m);
    }
    EXPECT_EQ(m.wParam, WPARAM(3));
    EXPECT_EQ(order, (std::vector<UINT>{WM_APP + 10, WM_APP + 11, WM_APP + 12}));
    const auto seen = MessagesOf(w);
    const auto first = std::find(seen.begin(), seen.end(), UINT(WM_APP + 9));
    const auto posted = std::find(seen.begin(), seen.end(), UINT(WM_APP + 10));
    EXPECT_LT(first, posted);
}

TEST_F(MessageQueueTest, ASendFromAWorkerBlocksUntilTheGuiThreadHasRunIt)
{
    WNDCLASS cls;
    cls.lpfnWndProc = WorkerTargetProc;
    cls.lpszClassName = "WorkerTarget";
    RegisterClass(cls);
    HWND w = CreateWindowEx(0, "WorkerTarget", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr);
    handledCalls = 0;
    std::atomic<LRESULT> result{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        result = SendMessage(w, kWorkerCall, 21, 0);
        returned = true;
    });
    // The GUI thread is busy elsewhere: the worker must still be waiting.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());
    EXPECT_EQ(handledCalls.load(), 0);
    EXPECT_TRUE(headless::PumpUntil([&] { return returned.load(); }, 5000));
    worker.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(handledCalls.load(), 1);
}

TEST_F(MessageQueueTest, ASendFromAWorkerRunsInsideANestedModalLoop)
{
    WNDCLASS cls;
    cls.lpfnWndProc = WorkerTargetProc;
    cls.lpszClassName = "WorkerTarget";
    RegisterClass(cls);
    HWND w = CreateWindowEx(0, "WorkerTarget", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr);
    callSeenInsideModal = false;
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        while (!insideModal) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        result = SendMessage(w, kWorkerCall, 5, 0);
        PostMessage(w, kLeaveModal, 0, 0);
    });
    SendMessage(w, kEnterModal, 0, 0);  // returns once the worker has been served and asks to leave
    worker.join();
    EXPECT_TRUE(callSeenInsideModal.load());
    EXPECT_EQ(result.load(), 10);
}

TEST_F(MessageQueueTest, WindowTimersTickRepeatedlyWithoutSpinning)
{
    HWND w = TopLevel(RECT{0, 0, 50, 50}, kGreen, WS_POPUP);
    headless::PumpMessages();
    constexpr UINT kPeriod = 20;
    ASSERT_NE(SetTimer(w, 7, kPeriod, nullptr), 0u);
    int ticks = 0;
    const unsigned long wakesBefore = QueueWakeCount();
    MSG m;
    while (ticks < 4 && GetMessage(&m, nullptr, 0, 0)) {
        if (m.message == WM_TIMER && m.hwnd == w) {
            EXPECT_EQ(m.wParam, 7u);
            ++ticks;
        }
        DispatchMessage(&m);
    }
    EXPECT_EQ(ticks, 4);
    // Each wait ends at most once per tick: a spinning wait would wake thousands of times.
    EXPECT_LE(QueueWakeCount() - wakesBefore, 8ul);
    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7));
}

TEST_F(MessageQueueTest, KeysAreReadWithTheModifierStateOfTheirOwnMessage)
{
    HWND w = TopLevel(RECT{0, 0, 50, 50}, kGreen, WS_POPUP | WS_VISIBLE);
    SetFocus(w);
    headless::PumpMessages();
    headless::PressKey('A', /*shift=*/true);
    headless::PressKey('B');
    // All input is queued before any is processed: the state must still be that of each message.
    MSG m;
    std::vector<std::pair<WORD, bool>> keyDowns;
    std::string chars;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_KEYDOWN && (m.wParam == 'A' || m.wParam == 'B'))
            keyDowns.push_back({WORD(m.wParam), GetKeyState(VK_SHIFT) < 0});
        if (m.message == WM_CHAR) chars += char(m.wParam);
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    EXPECT_EQ(keyDowns, (std::vector<std::pair<WORD, bool>>{{'A', true}, {'B', false}}));
    EXPECT_EQ(chars, "Ab");
    EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
}

TEST_F(MessageQueueTest, ASecondClickInTimeIsADoubleClickForClassesThatAskForIt)
{
    HWND w = TopLevel(RECT{0, 0, 100, 100}, kGreen, WS_POPUP | WS_VISIBLE);
    headless::DoubleClick(ScreenPointOf(w, POINT{10, 10}));
    headless::Click(ScreenPointOf(w, POINT{10, 10}));
    headless::PumpMessages();
    EXPECT_EQ(CountMessages(w, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(CountMessages(w, WM_LBUTTONDOWN), 2);  // the third click starts a new pair
}

using CaretTest = HeadlessTest;

TEST_F(CaretTest, BlinkTimeIsSystemWideAndTheCaretShowsOnlyWhenShownEnough)
{
    const UINT original = GetCaretBlinkTime();
    SetCaretBlinkTime(530);
    EXPECT_EQ(GetCaretBlinkTime(), 530u);
    SetCaretBlinkTime(original);
    EXPECT_EQ(GetCaretBlinkTime(), original);

    HWND w = TopLevel(RECT{0, 0, 100, 100}, kGreen, WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(CreateCaret(w, 0, 1, 13));
    EXPECT_FALSE(GetCaretState().visible);  // a new caret is hidden
    ShowCaret(w);
    SetCaretPos(5, 3);
    EXPECT_TRUE(GetCaretState().visible);
    EXPECT_EQ(GetCaretState().rect, (RECT{5, 3, 6, 16}));
    HideCaret(w);
    HideCaret(w);
    ShowCaret(w);
    EXPECT_FALSE(GetCaretState().visible);  // hides nest
    ShowCaret(w);
    EXPECT_TRUE(GetCaretState().visible);
    DestroyCaret();
    EXPECT_FALSE(GetCaretState().visible);
    EXPECT_EQ(GetCaretState().owner, nullptr);
}

class SystemClipboardBackend : public headless::HeadlessBackend {
public:
    SystemClipboardBackend() : HeadlessBackend(SIZE{800, 600}) {}
    bool HasSystemClipboard() override { return true; }
    void SetClipboardUtf8(const std::string& text) override { stored = text; }
    std::optional<std::string> GetClipboardUtf8() override { return stored; }
    inline static std::optional<std::string> stored;
};

TEST(Clipboard, TextRoundTripsInCodePage1252AndCrossesTheSystemBoundaryAsUtf8)
{
    const std::string text = "\x80 caf\xe9 \xa4 \x93quoted\x94";
    headless::Install();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_TRUE(SetClipboardText(text));
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(GetClipboardText(), text);
    EXPECT_FALSE(SetClipboardText("closed"));  // only while open
    headless::Uninstall();

    UseBackend(std::make_unique<SystemClipboardBackend>());
    OpenClipboard(nullptr);
    SetClipboardText(text);
    CloseClipboard();
    EXPECT_EQ(SystemClipboardBackend::stored, "\u20ac caf\u00e9 \u00a4 \u201cquoted\u201d");
    SystemClipboardBackend::stored = "na\u00efve \u20ac \u4e2d";
    EXPECT_EQ(GetClipboardText(), std::string("na\xefve \x80 ?"));  // what code page 1252 lacks becomes "?"
    ShutdownDesktop();
}

}  // namespace
}  // namespace desktop::testing

namespace desktop::testing {
namespace {

TEST_F(WindowTree, AnUnhandledRightClickBecomesAContextMenuRequestThatGoesUpToTheParent)
{
    HWND top = TopLevel(RECT{100, 100, 400, 300}, kGreen);
    HWND child = Child(top, RECT{10, 10, 110, 110}, kRed);
    headless::PumpMessages();
    headless::Click(ScreenPointOf(child, POINT{5, 6}), MouseButton::Right);
    headless::PumpMessages();
    ASSERT_EQ(CountMessages(child, WM_CONTEXTMENU), 1);
    ASSERT_EQ(CountMessages(top, WM_CONTEXTMENU), 1);
    std::lock_guard lock(LogMutex());
    for (const auto& m : Log()) {
        if (m.message != WM_CONTEXTMENU || m.hwnd != top) continue;
        EXPECT_EQ(m.wParam, WPARAM(reinterpret_cast<std::uintptr_t>(child)));  // who was clicked
        const POINT expected = ScreenPointOf(child, POINT{5, 6});
        EXPECT_EQ(GET_X_LPARAM(m.lParam), expected.x);
        EXPECT_EQ(GET_Y_LPARAM(m.lParam), expected.y);
    }
}

TEST(BuiltInClasses, RegisterThemselvesOnFirstLookupUnderEveryBackend)
{
    const std::vector<std::string> builtIn = {kButtonClass, kEditClass, kTabControlClass, controls::kPopupMenuClass,
                                              controls::kMessageBoxClass};
    headless::Install();
    // Whatever an earlier test registered goes, so the lookups below are first uses.
    for (const std::string& name : builtIn) UnregisterClass(name);
    WNDCLASS info;
    ASSERT_TRUE(GetClassInfo("button", &info));  // names compare case-insensitively
    EXPECT_EQ(info.lpszClassName, kButtonClass);
    EXPECT_TRUE(info.style & CS_DBLCLKS);
    ASSERT_TRUE(GetClassInfo(kEditClass, &info));
    EXPECT_EQ(info.hCursor, IDC_IBEAM);
    HWND tabs =
        CreateWindowEx(0, kTabControlClass, "", WS_POPUP, 0, 0, 100, 50, nullptr, 0, nullptr);  // no lookup before
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(GetClassName(tabs), kTabControlClass);
    EXPECT_FALSE(GetClassInfo("NoSuchClass", nullptr));
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr), nullptr);
    headless::Uninstall();

    UseBackend(std::make_unique<headless::HeadlessBackend>(SIZE{640, 480}));
    for (const std::string& name : builtIn) EXPECT_TRUE(GetClassInfo(name, nullptr)) << name;
    HWND button =
        CreateWindowEx(0, kButtonClass, "OK", WS_POPUP | DWORD(BS_PUSHBUTTON), 0, 0, 75, 23, nullptr, 0, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowText(button), "OK");
    ShutdownDesktop();
}

// Records wake-ups that are still running, or start, once its destructor has run. A wake-up
// takes a while here, so that a shutdown racing with one is likely to land inside it; under
// AddressSanitizer such a wake-up is a use after free and stops the test outright.
class LifeCheckingBackend : public Backend {
public:
    struct Record {
        std::atomic<bool> destroyed{false};
        std::atomic<long> lateWakes{0};
        std::atomic<long> work{0};
    };
    explicit LifeCheckingBackend(Record* record) : record_(record) {}
    ~LifeCheckingBackend() override { record_->destroyed = true; }
    SIZE ScreenSize() override { return SIZE{640, 480}; }
    void Wake() override
    {
        for (int i = 0; i < 2000; ++i) record_->work.fetch_add(1, std::memory_order_relaxed);
        if (record_->destroyed) ++record_->lateWakes;
    }

private:
    Record* const record_;
};

TEST(BackendLife, WorkersPostingWhileTheDesktopShutsDownNeverWakeAFreedBackend)
{
    for (int round = 0; round < 20; ++round) {
        auto record = std::make_unique<LifeCheckingBackend::Record>();
        UseBackend(std::make_unique<LifeCheckingBackend>(record.get()));
        const DWORD gui = GetCurrentThreadId();
        std::atomic<int> posted{0};
        std::atomic<bool> stop{false};
        std::thread worker([&] {
            while (!stop) {
                PostThreadMessage(gui, WM_NULL, 0, 0);
                ++posted;
            }
        });
        while (posted < 50) std::this_thread::yield();
        ShutdownDesktop();
        const int postedAtShutdown = posted;
        while (posted < postedAtShutdown + 50) std::this_thread::yield();  // posts go on after it
        stop = true;
        worker.join();
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
        EXPECT_EQ(record->lateWakes, 0) << "round " << round;
    }
}

}  // namespace
}  // namespace desktop::testing
