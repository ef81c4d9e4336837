#include "ControlsTestSupport.h"
#include "desktop/Input.h"

namespace desktop::testing {
namespace {

constexpr int kTabId = 30;

class TabTest : public ControlsTest {
protected:
    HWND parent = nullptr;
    HWND tabs = nullptr;
    void SetUp() override
    {
        ControlsTest::SetUp();
        parent = MakeParent(RECT{50, 50, 450, 350});
        tabs = MakeControl(parent, kTabControlClass, "", WS_TABSTOP, RECT{8, 8, 297, 201}, kTabId);
        Insert(0, "Lanzar un dado");
        Insert(1, "Lanzar dos dados");
        Parent().notifications.clear();
    }
    LRESULT Insert(int at, const char* text)
    {
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.pszText = text;
        return SendMessage(tabs, TCM_INSERTITEM, WPARAM(at), LPARAM(reinterpret_cast<std::intptr_t>(&item)));
    }
    RECT ItemRect(int i)
    {
        RECT r;
        SendMessage(tabs, TCM_GETITEMRECT, WPARAM(i), LPARAM(reinterpret_cast<std::intptr_t>(&r)));
        return r;
    }
    int Selected() { return int(SendMessage(tabs, TCM_GETCURSEL, 0, 0)); }
    static std::vector<UINT> TabNotifications()
    {
        std::vector<UINT> codes;
        for (const Notification& n : Parent().notifications)
            if (n.message == WM_NOTIFY && n.id == kTabId) codes.push_back(n.code);
        return codes;
    }
};

TEST_F(TabTest, ItemsKeepTheSelectionInStepAndSetCurSelDoesNotNotify)
{
    EXPECT_EQ(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Selected(), 0);  // the first tab inserted was selected
    EXPECT_EQ(Insert(0, "first"), 0);
    EXPECT_EQ(Selected(), 1);  // still the same tab
    EXPECT_EQ(Insert(99, "last"), 3);
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 3, 0), 1);
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 9, 0), -1);
    EXPECT_EQ(Selected(), 3);
    EXPECT_TRUE(TabNotifications().empty());

    char buffer[32] = {};
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.textBuffer = buffer;
    item.cchTextMax = sizeof buffer;
    ASSERT_EQ(SendMessage(tabs, TCM_GETITEM, 2, LPARAM(reinterpret_cast<std::intptr_t>(&item))), 1);
    EXPECT_STREQ(buffer, "Lanzar dos dados");

    SendMessage(tabs, TCM_DELETEITEM, 0, 0);
    EXPECT_EQ(Selected(), 2);
    SendMessage(tabs, TCM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(TabTest, AdjustRectMapsWindowAndDisplayAreasBothWays)
{
    RECT r{0, 0, 289, 193};
    SendMessage(tabs, TCM_ADJUSTRECT, 0, LPARAM(reinterpret_cast<std::intptr_t>(&r)));
    EXPECT_EQ(r, (RECT{4, 24, 285, 189}));  // the 8-point font: the pages stand at (4, 24)
    SendMessage(tabs, TCM_ADJUSTRECT, 1, LPARAM(reinterpret_cast<std::intptr_t>(&r)));
    EXPECT_EQ(r, (RECT{0, 0, 289, 193}));
    // The display area starts below the tab row.
    EXPECT_GE(24, ItemRect(0).bottom);
    EXPECT_EQ(ItemRect(0).Height(), 18);
}

TEST_F(TabTest, ItemRectsLineUpAndHitTestFindsThem)
{
    const RECT a = ItemRect(0), b = ItemRect(1);
    EXPECT_EQ(a.right, b.left);
    EXPECT_GT(b.Width(), a.Width());  // wider caption, wider tab
    TCHITTESTINFO hit;
    hit.pt = Center(b);
    EXPECT_EQ(SendMessage(tabs, TCM_HITTEST, 0, LPARAM(reinterpret_cast<std::intptr_t>(&hit))), 1);
    EXPECT_EQ(hit.flags, UINT(TCHT_ONITEMLABEL));
    hit.pt = POINT{150, 100};
    EXPECT_EQ(SendMessage(tabs, TCM_HITTEST, 0, LPARAM(reinterpret_cast<std::intptr_t>(&hit))), -1);
    EXPECT_EQ(hit.flags, UINT(TCHT_NOWHERE));
}

TEST_F(TabTest, ClickingATabAsksThenChangesAndTakesTheFocus)
{
    headless::Click(ClientPointOnScreen(tabs, Center(ItemRect(1))));
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(TabNotifications(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(GetFocus(), tabs);

    Parent().notifications.clear();
    Parent().selChangingAnswer = 1;
    headless::Click(ClientPointOnScreen(tabs, Center(ItemRect(0))));
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(TabNotifications(), (std::vector<UINT>{TCN_SELCHANGING}));
}

TEST_F(TabTest, ArrowKeysMoveBetweenTabsWithNotifications)
{
    SetFocus(tabs);
    headless::PressKey(VK_RIGHT);
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 1);
    headless::PressKey(VK_RIGHT);  // no wrap at the last tab
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 1);
    headless::PressKey(VK_LEFT);
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(TabNotifications(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE}));
}

TEST_F(TabTest, FocusNeverLeavesTheFocusWhereItIs)
{
    HWND other = MakeControl(parent, kButtonClass, "x", 0, RECT{320, 10, 395, 35}, 1);
    SetWindowLongPtr(tabs, GWL_STYLE, GetWindowLongPtr(tabs, GWL_STYLE) | TCS_FOCUSNEVER);
    SetFocus(other);
    headless::Click(ClientPointOnScreen(tabs, Center(ItemRect(1))));
    headless::PumpMessages();
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(GetFocus(), other);
}

}  // namespace
}  // namespace desktop::testing
