#include <algorithm>

#include "ControlsTestSupport.h"
#include "desktop/Accessible.h"

namespace desktop::testing {
namespace {

struct RecordingListener : AccessibleListener {
    std::vector<std::pair<AccEvent, Accessible*>> events;
    std::vector<Accessible*> gone;
    void OnAccessibleEvent(AccEvent event, Accessible* object) override { events.emplace_back(event, object); }
    void OnAccessibleGone(Accessible* object) override { gone.push_back(object); }
    int Count(AccEvent event, Accessible* object) const
    {
        return int(std::count(events.begin(), events.end(), std::pair{event, object}));
    }
};

class AccessibleTest : public ControlsTest {
protected:
    HWND parent = nullptr;
    RecordingListener listener;
    void SetUp() override
    {
        ControlsTest::SetUp();
        parent = MakeParent();
    }
    void TearDown() override
    {
        SetAccessibleListener(nullptr);
        ControlsTest::TearDown();
    }
};

TEST_F(AccessibleTest, StandardControlsAnswerByClassAlsoWhenSubclassed)
{
    HWND button = MakeControl(parent, kButtonClass, "&Go && stop", WS_TABSTOP, RECT{10, 10, 90, 35}, 1);
    HWND edit = MakeControl(parent, kEditClass, "abc", ES_READONLY, RECT{10, 40, 90, 61}, 2);
    HWND memo = MakeControl(parent, kEditClass, "x", ES_MULTILINE, RECT{10, 70, 90, 120}, 3);
    Accessible* b = AccessibleFromWindow(button);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(AccRoleName(b->Role()), std::string("push button"));
    EXPECT_EQ(b->Name(), "Go & stop");
    EXPECT_EQ(b->Parent(), AccessibleFromWindow(parent));
    EXPECT_EQ(b->IndexInParent(), 0);
    EXPECT_EQ(AccStateNames(b->States()), "enabled,focusable,sensitive,showing,visible");
    // A click is queued, so it never runs inside whoever asked for it.
    ASSERT_TRUE(b->DoAction(0));
    EXPECT_EQ(CountNotifications(BN_CLICKED, 1), 0);
    headless::PumpMessages();
    EXPECT_EQ(CountNotifications(BN_CLICKED, 1), 1);

    Accessible* e = AccessibleFromWindow(edit);
    EXPECT_EQ(e->Role(), AccRole::Text);
    EXPECT_EQ(e->Text(), "abc");
    EXPECT_EQ(AccStateNames(e->States()), "enabled,focusable,sensitive,showing,single-line,visible");
    EXPECT_FALSE(e->SetText("no"));
    EXPECT_EQ(GetWindowText(edit), "abc");
    Accessible* m = AccessibleFromWindow(memo);
    EXPECT_TRUE(m->States() & ACC_MULTI_LINE);
    EXPECT_TRUE(m->SetText("new"));
    EXPECT_EQ(GetWindowText(memo), "new");
    SendMessage(memo, EM_SETSEL, 1, 3);
    EXPECT_EQ(m->Selection(), (std::pair{1, 3}));

    // A procedure that passes everything on to the class keeps the class's object.
    static WNDPROC classProc = nullptr;
    classProc = WNDPROC(GetWindowLongPtr(button, GWL_WNDPROC));
    SetWindowLongPtr(button, GWL_WNDPROC, std::intptr_t(+[](HWND h, UINT msg, WPARAM w, LPARAM l) {
                         return CallWindowProc(classProc, h, msg, w, l);
                     }));
    EXPECT_EQ(AccessibleFromWindow(button), b);
    EXPECT_EQ(ClassAccessible(button), b);
}

TEST_F(AccessibleTest, TabControlIsATabListWhoseTabsSelectAsAClickDoes)
{
    HWND tab = MakeControl(parent, kTabControlClass, "", 0, RECT{10, 10, 300, 200}, 7);
    for (const char* caption : {"&One", "Two"}) {
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        SendMessage(tab, TCM_INSERTITEM, 9, LPARAM(reinterpret_cast<std::intptr_t>(&item)));
    }
    SendMessage(tab, TCM_SETCURSEL, 0, 0);
    Accessible* list = AccessibleFromWindow(tab);
    EXPECT_EQ(list->Role(), AccRole::PageTabList);
    const std::vector<Accessible*> tabs = list->Children();
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(tabs[0]->Name(), "One");
    EXPECT_EQ(tabs[1]->IndexInParent(), 1);
    EXPECT_TRUE(tabs[0]->States() & ACC_SELECTED);
    EXPECT_EQ(list->Children(), tabs);  // the same objects while the tabs stay
    Parent().selChangingAnswer = 1;
    EXPECT_TRUE(tabs[1]->DoAction(0));
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    Parent().selChangingAnswer = 0;
    EXPECT_TRUE(tabs[1]->DoAction(0));
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(CountNotifications(TCN_SELCHANGE, 7), 1);
}

TEST_F(AccessibleTest, MessageBoxIsAModalAlertHoldingItsTextAndButtons)
{
    std::string role, name, children;
    AccStates states = 0;
    FromInsideTheLoop(parent, [&] {
        Accessible* alert = AccessibleFromWindow(GetOpenMessageBox());
        role = AccRoleName(alert->Role());
        name = alert->Name();
        states = alert->States();
        for (Accessible* child : alert->Children()) children += child->Name() + "/" + AccRoleName(child->Role()) + ";";
        headless::PressKey(VK_RETURN);
    });
    MessageBox(parent, "Done.", "Experiment", MB_OKCANCEL);
    EXPECT_EQ(role, "alert");
    EXPECT_EQ(name, "Experiment");
    EXPECT_TRUE(states & ACC_MODAL);
    EXPECT_EQ(children, "Done./label;OK/push button;Cancel/push button;");
}

TEST_F(AccessibleTest, ChangesAreGatheredPerObjectUntilTheQueueIdles)
{
    HWND a = MakeControl(parent, kEditClass, "", WS_TABSTOP, RECT{10, 10, 90, 31}, 1);
    HWND b = MakeControl(parent, kEditClass, "", WS_TABSTOP, RECT{10, 40, 90, 61}, 2);
    SetWindowText(a, "unheard");  // nobody listens yet
    SetAccessibleListener(&listener);
    for (int i = 0; i < 1000; ++i) SetWindowText(a, std::to_string(i));
    SetWindowText(b, "once");
    SetFocus(a);
    SetFocus(b);  // only where the focus lands is told
    EXPECT_TRUE(listener.events.empty());
    headless::PumpMessages();
    EXPECT_TRUE(listener.events.empty());
    DeliverAccessibleEvents();  // what the message wait does before it blocks
    Accessible* ea = AccessibleFromWindow(a);
    Accessible* eb = AccessibleFromWindow(b);
    EXPECT_EQ(listener.events, (std::vector<std::pair<AccEvent, Accessible*>>{
                                   {AccEvent::TextChanged, ea}, {AccEvent::TextChanged, eb}, {AccEvent::Focus, eb}}));

    // A window going away: what was pending is told first, its own object is gone after.
    listener.events.clear();
    SetWindowText(b, "last");
    HWND top = TopLevel(RECT{600, 100, 700, 200}, RGB(0, 0, 255));
    Accessible* topObject = AccessibleFromWindow(top);
    DeliverAccessibleEvents();
    listener.events.clear();
    SetWindowText(b, "later");
    DestroyWindow(top);
    EXPECT_EQ(listener.events, (std::vector<std::pair<AccEvent, Accessible*>>{{AccEvent::TextChanged, eb},
                                                                              {AccEvent::WindowDestroy, topObject}}));
    EXPECT_EQ(std::count(listener.gone.begin(), listener.gone.end(), topObject), 1);
    // Pending changes of a destroyed window are dropped with it.
    DeliverAccessibleEvents();
    listener.events.clear();
    SetWindowText(a, "dropped");
    DestroyWindow(a);
    DeliverAccessibleEvents();
    EXPECT_TRUE(listener.events.empty());
}

}  // namespace
}  // namespace desktop::testing
