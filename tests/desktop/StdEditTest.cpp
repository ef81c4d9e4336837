#include <algorithm>
#include <cstring>

#include "ControlsTestSupport.h"
#include "desktop/Caret.h"
#include "desktop/Clipboard.h"
#include "desktop/Input.h"

namespace desktop::testing {
namespace {

constexpr int kEditId = 7;

class EditTest : public ControlsTest {
protected:
    HWND parent = nullptr;
    void SetUp() override
    {
        ControlsTest::SetUp();
        parent = MakeParent();
    }
    HWND Edit(const std::string& text, DWORD style = ES_AUTOHSCROLL, RECT r = RECT{10, 10, 131, 31})
    {
        HWND e = MakeControl(parent, kEditClass, text, style | WS_TABSTOP, r, kEditId, WS_EX_CLIENTEDGE);
        SetFocus(e);
        headless::PumpMessages();
        Parent().notifications.clear();
        return e;
    }
    static std::pair<DWORD, DWORD> Selection(HWND e)
    {
        DWORD a = 0, b = 0;
        SendMessage(e, EM_GETSEL, WPARAM(reinterpret_cast<std::uintptr_t>(&a)),
                    LPARAM(reinterpret_cast<std::intptr_t>(&b)));
        return {a, b};
    }
    static void SetSel(HWND e, long a, long b) { SendMessage(e, EM_SETSEL, WPARAM(std::intptr_t(a)), LPARAM(b)); }
    static void Press(WORD vk, bool shift = false, bool ctrl = false)
    {
        headless::PressKey(vk, shift, ctrl);
        headless::PumpMessages();
    }
    static void Type(const std::string& s)
    {
        headless::TypeText(s);
        headless::PumpMessages();
    }
    static void PutOnClipboard(const std::string& text)
    {
        OpenClipboard(nullptr);
        EmptyClipboard();
        SetClipboardText(text);
        CloseClipboard();
    }
    // Client x of the boundary before character `index`.
    static POINT PointOfChar(HWND e, std::size_t index)
    {
        const LRESULT p = SendMessage(e, EM_POSFROMCHAR, index, 0);
        return POINT{GET_X_LPARAM(p), GET_Y_LPARAM(p) + 5};
    }
};

TEST_F(EditTest, TypingInsertsAndNotifiesUpdateThenChangeForEachCharacter)
{
    HWND e = Edit("");
    Type("ab c");
    EXPECT_EQ(GetWindowText(e), "ab c");
    EXPECT_EQ(CountNotifications(EN_CHANGE, kEditId), 4);
    const std::vector<UINT> codes = NotificationCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[0], UINT(EN_UPDATE));
    EXPECT_EQ(codes[1], UINT(EN_CHANGE));
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(4), DWORD(4)));
    EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), 1);

    Parent().notifications.clear();
    SetWindowText(e, "new");
    EXPECT_EQ(CountNotifications(EN_CHANGE, kEditId), 1);
    EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(0), DWORD(0)));  // focus never selects by itself
}

TEST_F(EditTest, ShiftArrowsSelectAndBackspaceOrDeleteRemove)
{
    HWND e = Edit("abcdef");
    SetSel(e, 1, 1);
    Press(VK_RIGHT, true);
    Press(VK_RIGHT, true);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(1), DWORD(3)));
    Press(VK_BACK);
    EXPECT_EQ(GetWindowText(e), "adef");
    Press(VK_DELETE);
    EXPECT_EQ(GetWindowText(e), "aef");
    Press(VK_END, true);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(1), DWORD(3)));
    Press(VK_HOME, true);  // the anchor stays where the selection began
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(0), DWORD(1)));
    Press(VK_RIGHT);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(1), DWORD(1)));

    SetSel(e, 0, -1);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(0), DWORD(3)));
    EXPECT_EQ(SendMessage(e, EM_GETSEL, 0, 0), MAKELONG(0, 3));
    Type("Z");
    Press('Z', false, true);  // Ctrl+Z
    EXPECT_EQ(GetWindowText(e), "aef");
}

TEST_F(EditTest, ReadOnlyRefusesChangesButSelectsAndCopies)
{
    HWND e = Edit("caf\xE9 \x80", ES_AUTOHSCROLL | ES_READONLY);
    PutOnClipboard("pasted");
    Type("x");
    Press(VK_BACK);
    Press('V', false, true);
    SendMessage(e, WM_CUT, 0, 0);
    EXPECT_EQ(GetWindowText(e), "caf\xE9 \x80");
    EXPECT_EQ(CountNotifications(EN_CHANGE, kEditId), 0);

    Press(VK_END, true);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(0), DWORD(6)));
    Press(VK_INSERT, false, true);  // Ctrl+Ins copies
    EXPECT_EQ(GetClipboardText().value_or(""), "caf\xE9 \x80");

    SendMessage(e, EM_SETREADONLY, 0, 0);
    EXPECT_FALSE(GetWindowLongPtr(e, GWL_STYLE) & ES_READONLY);
    Type("!");
    EXPECT_EQ(GetWindowText(e), "!");
}

TEST_F(EditTest, ClipboardCarriesCodePage1252Text)
{
    HWND e = Edit("\x80uro \xE9t\xE9");
    SetSel(e, 0, 4);
    Press('X', false, true);
    EXPECT_EQ(GetClipboardText().value_or(""), "\x80uro");
    EXPECT_EQ(GetWindowText(e), " \xE9t\xE9");
    SetSel(e, -1, 0);
    Press(VK_END);
    Press('V', false, true);
    EXPECT_EQ(GetWindowText(e), " \xE9t\xE9\x80uro");
    PutOnClipboard("line\r\nrest");
    Press(VK_INSERT, true);  // Shift+Ins; one line only in a single-line edit
    EXPECT_EQ(GetWindowText(e), " \xE9t\xE9\x80uroline");
    Press(VK_UP, true);      // Up acts as Left in a single-line edit
    Press(VK_DELETE, true);  // Shift+Del cuts
    EXPECT_EQ(GetClipboardText().value_or(""), "e");
}

TEST_F(EditTest, LimitStopsTypingAndTellsTheParent)
{
    HWND e = Edit("");
    SendMessage(e, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 3);
    Type("abcd");
    EXPECT_EQ(GetWindowText(e), "abc");
    EXPECT_EQ(CountNotifications(EN_MAXTEXT, kEditId), 1);
    SetWindowText(e, "longer than three");  // setting the text is not limited
    EXPECT_EQ(GetWindowTextLength(e), 17);
}

// A parent may destroy the edit while it is told of a new text: nothing more is sent for it,
// also when the text was cut at the limit first.
TEST_F(EditTest, ParentDestroyingTheEditOnANotificationEndsTheChange)
{
    for (const UINT fatal : {UINT(EN_MAXTEXT), UINT(EN_UPDATE), UINT(EN_CHANGE)}) {
        HWND e = Edit("abc");
        Parent().onCommand = [&](HWND, UINT, WPARAM wParam) {
            if (HIWORD(wParam) == fatal) DestroyWindow(e);
        };
        if (fatal == EN_MAXTEXT) {
            SendMessage(e, EM_LIMITTEXT, 3, 0);
            SetSel(e, 3, 3);
            Type("d");
        } else {
            SetWindowText(e, "changed");
        }
        EXPECT_FALSE(IsWindow(e)) << fatal;
        std::vector<UINT> codes;
        for (const Notification& n : Parent().notifications) codes.push_back(n.code);
        // Losing the focus on the way out is told; no other news of the text follows.
        const auto at = std::find(codes.begin(), codes.end(), fatal);
        ASSERT_NE(at, codes.end()) << fatal;
        for (auto it = at + 1; it != codes.end(); ++it) EXPECT_EQ(*it, UINT(EN_KILLFOCUS)) << fatal;
        Parent() = ParentRecord{};
    }
}

TEST_F(EditTest, MultiLineWrapsAtTheWidthAndAnswersLineQueries)
{
    HWND e = Edit("", ES_MULTILINE | ES_WANTRETURN, RECT{10, 10, 110, 90});
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 1);
    Type("one two three four five six");
    const LRESULT lines = SendMessage(e, EM_GETLINECOUNT, 0, 0);
    EXPECT_GE(lines, 2);
    RECT format;
    SendMessage(e, EM_GETRECT, 0, LPARAM(reinterpret_cast<std::intptr_t>(&format)));
    for (LRESULT i = 0; i < lines; ++i) {
        const LRESULT start = SendMessage(e, EM_LINEINDEX, WPARAM(i), 0);
        const LRESULT length = SendMessage(e, EM_LINELENGTH, WPARAM(start), 0);
        // Every line's last visible character starts inside the formatting rectangle.
        const POINT p = PointOfChar(e, std::size_t(start + length - 1));
        EXPECT_LE(p.x, format.right) << i;
        EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, WPARAM(start), 0), i);
    }
    Type("\r");
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), lines + 1);
    char buffer[64] = {};
    const WORD capacity = sizeof buffer;
    std::memcpy(buffer, &capacity, sizeof capacity);
    const LRESULT copied = SendMessage(e, EM_GETLINE, 0, LPARAM(reinterpret_cast<std::intptr_t>(buffer)));
    EXPECT_EQ(std::string(buffer, std::size_t(copied)), GetWindowText(e).substr(0, std::size_t(copied)));

    HWND wide = Edit("one two three four five six", ES_MULTILINE | ES_AUTOHSCROLL, RECT{10, 100, 110, 180});
    EXPECT_EQ(SendMessage(wide, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, EnterBreaksTheLineOnlyWhenReturnsAreWantedAndTheMemoIsWritable)
{
    HWND memo = Edit("note", ES_MULTILINE | ES_WANTRETURN | ES_READONLY, RECT{10, 10, 170, 59});
    Press(VK_RETURN);
    EXPECT_EQ(GetWindowText(memo), "note");
    SendMessage(memo, EM_SETREADONLY, 0, 0);
    SetSel(memo, 4, 4);
    Press(VK_RETURN);
    EXPECT_EQ(GetWindowText(memo), "note\r\n");
    HWND plain = Edit("x", ES_MULTILINE, RECT{10, 70, 170, 119});
    Press(VK_RETURN);
    EXPECT_EQ(GetWindowText(plain), "x");
    EXPECT_TRUE(SendMessage(plain, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
    EXPECT_FALSE(SendMessage(Edit("y"), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(EditTest, MousePlacesDragsAndDoubleClickSelectsAWord)
{
    HWND e = Edit("alpha beta gamma");
    HWND other = MakeControl(parent, kButtonClass, "b", 0, RECT{200, 10, 275, 35}, 1);
    SetFocus(other);
    headless::Click(ClientPointOnScreen(e, PointOfChar(e, 6)));
    headless::PumpMessages();
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(6), DWORD(6)));

    headless::MoveMouse(ClientPointOnScreen(e, PointOfChar(e, 2)));
    headless::MouseDown();
    headless::MoveMouse(ClientPointOnScreen(e, PointOfChar(e, 9)));
    headless::PumpMessages();
    EXPECT_EQ(GetCapture(), e);
    headless::MouseUp();
    headless::PumpMessages();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(2), DWORD(9)));

    headless::DoubleClick(ClientPointOnScreen(e, PointOfChar(e, 12)));
    headless::PumpMessages();
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(11), DWORD(16)));
}

TEST_F(EditTest, SelectionShowsOnlyWhileFocusedUnlessNoHideSel)
{
    HWND hiding = Edit("WWWW");
    HWND keeping = Edit("WWWW", ES_AUTOHSCROLL | ES_NOHIDESEL, RECT{10, 40, 131, 61});
    SetSel(hiding, 0, -1);
    SetSel(keeping, 0, -1);
    SetFocus(hiding);
    headless::PumpMessages();
    const auto highlighted = [](HWND e) {
        return headless::ScreenColorAt(ClientPointOnScreen(e, POINT{2, 1})) == GetSysColor(COLOR_HIGHLIGHT);
    };
    EXPECT_TRUE(highlighted(hiding));
    EXPECT_TRUE(highlighted(keeping));
    SetFocus(nullptr);
    headless::PumpMessages();
    EXPECT_FALSE(highlighted(hiding));
    EXPECT_TRUE(highlighted(keeping));
}

TEST_F(EditTest, CaretFollowsFocusWithTheFontHeight)
{
    HWND e = Edit("abc");
    CaretState c = GetCaretState();
    EXPECT_EQ(c.owner, e);
    EXPECT_EQ(c.rect.Width(), 1);
    EXPECT_EQ(c.rect.Height(), 13);
    SetSel(e, 3, 3);
    EXPECT_EQ(GetCaretState().rect.left, PointOfChar(e, 3).x);
    SetFocus(nullptr);
    EXPECT_EQ(GetCaretState().owner, nullptr);
}

TEST_F(EditTest, RightClickOffersTheStandardMenu)
{
    HWND e = Edit("some text");
    headless::Click(ClientPointOnScreen(e, POINT{5, 5}), MouseButton::Right);
    FromInsideTheLoop(parent, [] {
        HWND popup = GetOpenPopupMenuWindow();
        ASSERT_NE(popup, nullptr);
        RECT r;
        GetWindowRect(popup, &r);
        // The last of the eight items is "Select All".
        headless::Click(POINT{r.left + 20, r.bottom - 8});
    });
    headless::PumpMessages();
    EXPECT_EQ(Selection(e), std::make_pair(DWORD(0), DWORD(9)));
    EXPECT_EQ(GetOpenPopupMenuWindow(), nullptr);
}

TEST_F(EditTest, ParentSuppliesColoursAndReadOnlyAsksAsStatic)
{
    Parent().ctlColorBrush = CreateSolidBrush(RGB(255, 255, 0));
    Parent().ctlTextColor = RGB(255, 0, 0);
    HWND e = Edit("WWWWWWWW");
    SetFocus(nullptr);
    InvalidateRect(e, nullptr, true);
    headless::PumpMessages();
    EXPECT_EQ(Parent().ctlColorRequests.back(), UINT(WM_CTLCOLOREDIT));
    EXPECT_EQ(headless::ScreenColorAt(ClientPointOnScreen(e, POINT{100, 14})), RGB(255, 255, 0));
    bool redText = false;
    for (int x = 2; x < 40; ++x)
        for (int y = 1; y < 14; ++y)
            redText = redText || headless::ScreenColorAt(ClientPointOnScreen(e, POINT{x, y})) == RGB(255, 0, 0);
    EXPECT_TRUE(redText);
    SendMessage(e, EM_SETREADONLY, 1, 0);
    headless::PumpMessages();
    EXPECT_EQ(Parent().ctlColorRequests.back(), UINT(WM_CTLCOLORSTATIC));
}

TEST_F(EditTest, ScrollingKeepsTheCaretInView)
{
    HWND e = Edit("", ES_AUTOHSCROLL, RECT{10, 10, 70, 31});
    Type("a long line of text that does not fit");
    EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // the first visible character
    RECT format;
    SendMessage(e, EM_GETRECT, 0, LPARAM(reinterpret_cast<std::intptr_t>(&format)));
    const auto caretInside = [&] {
        const LONG x = GetCaretState().rect.left;
        return x >= format.left && x < format.right;
    };
    EXPECT_TRUE(caretInside());
    Press(VK_HOME);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_TRUE(caretInside());

    HWND memo = Edit("", ES_MULTILINE | ES_WANTRETURN, RECT{10, 40, 110, 79});
    for (int i = 0; i < 6; ++i) Type("line\r");
    EXPECT_GE(SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
    Press(VK_HOME, false, true);
    EXPECT_EQ(SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditTest, PasswordEditShowsStarsAndKeepsItsTextOffTheClipboard)
{
    HWND e = Edit("", ES_AUTOHSCROLL | ES_PASSWORD);
    PutOnClipboard("before");
    Type("secret");
    EXPECT_EQ(GetWindowText(e), "secret");
    EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
    SetSel(e, 0, -1);
    Press('C', false, true);
    EXPECT_EQ(GetClipboardText().value_or(""), "before");
    SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_FALSE(GetWindowLongPtr(e, GWL_STYLE) & ES_PASSWORD);
    Press('C', false, true);
    EXPECT_EQ(GetClipboardText().value_or(""), "secret");
}

TEST_F(EditTest, ANewTextShowsFromItsStartAndLaterStyleChangesStillReachTheText)
{
    HWND e = Edit("", ES_AUTOHSCROLL, RECT{10, 10, 70, 31});
    Type("a long line of text that does not fit");
    ASSERT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SetWindowText(e, "another line that is too long to fit");
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(GET_X_LPARAM(SendMessage(e, EM_POSFROMCHAR, 0, 0)), 2);

    // Right-aligned text starts where its width leaves it, not at the left margin.
    HWND right = Edit("", ES_AUTOHSCROLL | ES_RIGHT, RECT{10, 40, 131, 61});
    SetWindowText(right, "12");
    EXPECT_GT(GET_X_LPARAM(SendMessage(right, EM_POSFROMCHAR, 0, 0)), 60);

    // A style set after creation applies to the next input.
    SetWindowLongPtr(e, GWL_STYLE, GetWindowLongPtr(e, GWL_STYLE) | ES_UPPERCASE);
    SetFocus(e);
    SetWindowText(e, "");
    Type("abc");
    EXPECT_EQ(GetWindowText(e), "ABC");

    // Another password character with the password style kept is measured as that character.
    HWND hidden = Edit("xyz", ES_AUTOHSCROLL | ES_PASSWORD, RECT{10, 70, 131, 91});
    HWND plain = Edit("###", ES_AUTOHSCROLL, RECT{10, 100, 131, 121});
    SendMessage(hidden, EM_SETPASSWORDCHAR, '#', 0);
    EXPECT_EQ(SendMessage(hidden, EM_POSFROMCHAR, 3, 0), SendMessage(plain, EM_POSFROMCHAR, 3, 0));
    SendMessage(hidden, EM_SETPASSWORDCHAR, '*', 0);
    EXPECT_NE(SendMessage(hidden, EM_POSFROMCHAR, 3, 0), SendMessage(plain, EM_POSFROMCHAR, 3, 0));
}

WNDPROC g_editProc = nullptr;
LRESULT SwallowContextMenu(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CONTEXTMENU) return 0;
    return CallWindowProc(g_editProc, hwnd, msg, wParam, lParam);
}

TEST_F(EditTest, SubclassedEditsKeepTheirOwnStateAndCanTakeOverTheContextMenu)
{
    HWND first = Edit("one");
    HWND second = Edit("two", ES_AUTOHSCROLL, RECT{10, 40, 131, 61});
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(first, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(SwallowContextMenu)));
    SetWindowLongPtr(second, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(SwallowContextMenu));
    SetFocus(first);
    SetSel(first, 3, 3);
    Type("!");
    EXPECT_EQ(GetWindowText(first), "one!");
    EXPECT_EQ(GetWindowText(second), "two");
    bool menuShown = false;
    headless::Click(ClientPointOnScreen(first, POINT{5, 5}), MouseButton::Right);
    FromInsideTheLoop(parent, [&] {
        menuShown = GetOpenPopupMenuWindow() != nullptr;
        if (menuShown) headless::PressKey(VK_ESCAPE);
    });
    headless::PumpMessages();
    EXPECT_FALSE(menuShown);
}

}  // namespace
}  // namespace desktop::testing
