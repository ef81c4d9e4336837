// The control bases on a headless screen: painting, mouse routing, focus, keys and the
// dialog-key navigation a form gives its controls.

#include "FormsTestSupport.h"

#include <algorithm>

#include "desktop/SysColors.h"

namespace forms_test {
namespace {

using desktop::headless::Click;
using desktop::headless::ScreenColorAt;

class ControlsTest : public FormsTest {};

TEST_F(ControlsTest, CustomAndGraphicControlsPaintInStackingOrder)
{
    TForm* form = ShownForm();
    // The windowed box comes first, the marks later: a window-less control still lies beneath it.
    auto* box = Add<TTestBox>(form, {100, 10, 140, 50});
    auto* mark = Add<TTestMark>(form, {80, 10, 120, 50});
    auto* free = Add<TTestMark>(form, {10, 80, 30, 100});
    free->SetColor(clLime);
    app->ProcessMessages();

    EXPECT_EQ(ScreenColorAt(OnScreen(box, {30, 20})), desktop::RGB(255, 0, 0));
    EXPECT_EQ(ScreenColorAt(OnScreen(mark, {5, 20})), desktop::RGB(0, 0, 255));
    EXPECT_EQ(ScreenColorAt(OnScreen(mark, {30, 20})), desktop::RGB(255, 0, 0));  // under the box
    EXPECT_EQ(ScreenColorAt(OnScreen(free, {10, 10})), desktop::RGB(0, 255, 0));
    EXPECT_EQ(ScreenColorAt(OnScreen(form, {5, 5})), desktop::GetSysColor(desktop::COLOR_BTNFACE));

    // A change of colour repaints through Invalidate; hiding a mark shows the form beneath.
    const int paints = box->paints;
    box->SetColor(clYellow);
    mark->Hide();
    app->ProcessMessages();
    EXPECT_GT(box->paints, paints);
    EXPECT_EQ(ScreenColorAt(OnScreen(box, {30, 20})), desktop::RGB(255, 255, 0));
    EXPECT_EQ(ScreenColorAt(OnScreen(form, {85, 20})), desktop::GetSysColor(desktop::COLOR_BTNFACE));
}

TEST_F(ControlsTest, GraphicChildGetsItsOwnClicksAndTheCapture)
{
    TForm* form = ShownForm();
    auto* mark = Add<TTestMark>(form, {40, 40, 80, 60});
    int clicks = 0;
    int formClicks = 0;
    POINT down{-1, -1};
    TControl* captureWhileDown = nullptr;
    mark->OnClick = [&](TObject*) { ++clicks; };
    mark->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        down = {x, y};
        captureWhileDown = TControl::CaptureControl();
    };
    form->OnClick = [&](TObject*) { ++formClicks; };

    Click(OnScreen(mark, {7, 5}));
    app->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(formClicks, 0);
    EXPECT_EQ(down, (POINT{7, 5}));  // in the mark's own coordinates
    EXPECT_EQ(captureWhileDown, mark);
    EXPECT_EQ(TControl::CaptureControl(), nullptr);

    // Pressed on the mark and released outside it: no click.
    desktop::headless::MoveMouse(OnScreen(mark, {5, 5}));
    desktop::headless::MouseDown();
    desktop::headless::MoveMouse(OnScreen(form, {200, 150}));
    desktop::headless::MouseUp();
    app->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(formClicks, 0);

    Click(OnScreen(form, {200, 150}));
    app->ProcessMessages();
    EXPECT_EQ(formClicks, 1);
}

TEST_F(ControlsTest, ParentFontAndColourFollowTheParentUntilSetOwnValues)
{
    TForm* form = ShownForm();
    auto* panel = Add<TTestPanel>(form, {10, 10, 110, 110});
    auto* inner = Add<TTestBox>(panel, {5, 5, 25, 25});
    auto* own = Add<TTestBox>(panel, {30, 5, 50, 25});
    own->Font()->SetHeight(-20);
    inner->SetParentColor(true);

    form->Font()->SetName("Liberation Serif");
    form->Font()->SetHeight(-15);
    form->SetColor(clTeal);
    EXPECT_TRUE(panel->ParentFont());
    EXPECT_EQ(inner->Font()->GetName(), "Liberation Serif");
    EXPECT_EQ(inner->Font()->GetHeight(), -15);
    EXPECT_FALSE(own->ParentFont());
    EXPECT_EQ(own->Font()->GetHeight(), -20);
    EXPECT_EQ(inner->Color(), clTeal);
    EXPECT_TRUE(inner->ParentColor());
    EXPECT_EQ(own->Color(), clRed);
}

TEST_F(ControlsTest, ShowingChangesReachWindowedDescendantsParentsFirst)
{
    auto* form = NewForm<TForm>(app.get(), CreateNew);
    form->SetBounds(100, 100, 300, 200);
    auto* outer = Add<TTestBox>(form, {10, 10, 110, 110});
    auto* inner = Add<TTestBox>(outer, {5, 5, 25, 25});
    outer->SetName("outer");
    inner->SetName("inner");
    std::vector<std::string> log;
    outer->showingLog = &log;
    inner->showingLog = &log;

    form->Show();
    outer->Hide();
    outer->Show();
    inner->Hide();
    form->Hide();
    EXPECT_EQ(log, (std::vector<std::string>{"outer shown", "inner shown", "outer hidden", "inner hidden",
                                             "outer shown", "inner shown", "inner hidden", "outer hidden"}));
}

TEST_F(ControlsTest, WrappedStandardButtonReportsClicksAsNotifications)
{
    class TWrappedButton : public TWinControl {
    public:
        using TWinControl::TWinControl;
        int clicks = 0;

    protected:
        void CreateParams(TCreateParams& params) override
        {
            TWinControl::CreateParams(params);
            CreateSubClass(params, desktop::kButtonClass);
            params.WinClassName = "TWrappedButton";
        }
        void CNCommand(TWMCommand message) override
        {
            if (message.NotifyCode() == desktop::BN_CLICKED) {
                ++clicks;
            }
        }
    };
    TForm* form = ShownForm();
    auto* button = Add<TWrappedButton>(form, {10, 10, 90, 35});
    button->SetText("Go");
    button->SetTabStop(true);
    EXPECT_EQ(desktop::GetWindowText(button->Handle()), "Go");
    EXPECT_EQ(desktop::GetClassName(button->Handle()), "TWrappedButton");

    Click(CentreOf(button));
    app->ProcessMessages();
    EXPECT_EQ(button->clicks, 1);
    EXPECT_TRUE(button->Focused());  // the button class takes the focus itself
    Press(desktop::VK_SPACE);
    EXPECT_EQ(button->clicks, 2);

    // The text survives the window being made again.
    button->RecreateWnd();
    EXPECT_EQ(button->GetText(), "Go");
}

TEST_F(ControlsTest, CursorsComeFromTheScreenTable)
{
    TForm* form = ShownForm();
    auto* box = Add<TTestBox>(form, {10, 10, 60, 60});
    auto* mark = Add<TTestMark>(form, {100, 10, 150, 60});
    app->ProcessMessages();
    Screen()->RegisterCursor(14000, desktop::IDC_CROSS);
    EXPECT_EQ(Screen()->Cursors(14000), desktop::IDC_CROSS);
    EXPECT_EQ(Screen()->Cursors(4711), desktop::IDC_ARROW);  // unknown numbers: the default cursor

    box->SetCursor(crHandPoint);
    mark->SetCursor(14000);
    desktop::headless::MoveMouse(CentreOf(box));
    EXPECT_EQ(desktop::GetCursor(), desktop::IDC_HAND);
    desktop::headless::MoveMouse(CentreOf(mark));
    EXPECT_EQ(desktop::GetCursor(), desktop::IDC_CROSS);
    Screen()->SetCursor(crIBeam);
    desktop::headless::MoveMouse(CentreOf(box));
    EXPECT_EQ(desktop::GetCursor(), desktop::IDC_IBEAM);  // the screen's cursor wins
    Screen()->SetCursor(crDefault);
}

TEST_F(ControlsTest, IdleTrackingReportsMouseEnterAndLeave)
{
    TForm* form = ShownForm();
    auto* mark = Add<TTestMark>(form, {10, 10, 60, 60});
    auto* box = Add<TTestBox>(form, {100, 10, 150, 60});
    box->SetEnabled(false);  // disabled controls are tracked too
    mark->SetHint("short|the long part");
    std::vector<std::string> log;
    mark->OnMouseEnter = [&](TObject*) { log.push_back("enter mark"); };
    mark->OnMouseLeave = [&](TObject*) { log.push_back("leave mark"); };
    box->OnMouseEnter = [&](TObject*) { log.push_back("enter box"); };
    app->OnIdle = [](TObject*, bool& done) { done = false; };  // idle without waiting
    const auto idleAt = [&](POINT p) {
        desktop::headless::MoveMouse(p);
        app->ProcessMessages();
        app->HandleMessage();
    };
    idleAt(CentreOf(mark));
    EXPECT_EQ(app->Hint(), "the long part");
    idleAt(CentreOf(box));
    EXPECT_EQ(app->Hint(), "");
    EXPECT_EQ(log, (std::vector<std::string>{"enter mark", "leave mark", "enter box"}));
}

// A form with A, a panel holding P1 and P2 (and P3 without TabStop), and B; created in a
// different order than their tab order.
class NavigationTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        form = ShownForm();
        b = Add<TTestBox>(form, {200, 10, 230, 40});
        a = Add<TTestBox>(form, {10, 10, 40, 40});
        panel = Add<TTestPanel>(form, {50, 10, 190, 60});
        p1 = Add<TTestBox>(panel, {5, 5, 35, 35});
        p2 = Add<TTestBox>(panel, {45, 5, 75, 35});
        p3 = Add<TTestBox>(panel, {85, 5, 115, 35});
        hidden = Add<TTestBox>(form, {240, 10, 260, 40});
        for (TTestBox* box : {a, b, p1, p2, hidden}) {
            box->SetTabStop(true);
        }
        hidden->Hide();
        a->SetTabOrder(0);
        panel->SetTabOrder(1);
        b->SetTabOrder(2);
        panel->OnEnter = [this](TObject*) { log.push_back("enter panel"); };
        panel->OnExit = [this](TObject*) { log.push_back("exit panel"); };
        a->SetFocus();
        app->ProcessMessages();
    }
    TWinControl* Focused() const { return TWinControl::FindControl(desktop::GetFocus()); }

    TForm* form = nullptr;
    TTestBox* a = nullptr;
    TTestBox* b = nullptr;
    TTestPanel* panel = nullptr;
    TTestBox* p1 = nullptr;
    TTestBox* p2 = nullptr;
    TTestBox* p3 = nullptr;
    TTestBox* hidden = nullptr;
    std::vector<std::string> log;
};

TEST_F(NavigationTest, TabOrderIsDepthFirstAndWrapsAround)
{
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{a, panel, p1, p2, p3, b, hidden}));
    ASSERT_EQ(Focused(), a);

    const std::vector<TWinControl*> forward{p1, p2, b, a, p1};
    for (TWinControl* expected : forward) {
        Press(desktop::VK_TAB);
        EXPECT_EQ(Focused(), expected);
        EXPECT_EQ(form->ActiveControl(), expected);
    }
    const std::vector<TWinControl*> backward{a, b, p2, p1, a};
    for (TWinControl* expected : backward) {
        Press(desktop::VK_TAB, true);
        EXPECT_EQ(Focused(), expected);
    }
    // Entered from a and from b, left towards b and towards a.
    EXPECT_EQ(log, (std::vector<std::string>{"enter panel", "exit panel", "enter panel", "exit panel", "enter panel",
                                             "exit panel"}));
    EXPECT_EQ(Screen()->ActiveControl(), a);
    EXPECT_EQ(b->focusChangedTo, a);  // every control hears of the new focus
    // Tab never reached a control as a key (Shift did).
    for (TTestBox* box : {a, b, p1, p2}) {
        EXPECT_EQ(std::count(box->keysDown.begin(), box->keysDown.end(), desktop::VK_TAB), 0);
    }
}

TEST_F(NavigationTest, ArrowKeysMoveAmongSiblingsOnly)
{
    p1->SetFocus();
    app->ProcessMessages();
    const std::vector<std::pair<desktop::WORD, TWinControl*>> steps{
        {desktop::VK_RIGHT, p2}, {desktop::VK_DOWN, p3}, {desktop::VK_RIGHT, p1},
        {desktop::VK_LEFT, p3},  {desktop::VK_UP, p2},
    };
    for (const auto& [key, expected] : steps) {
        Press(key);
        EXPECT_EQ(Focused(), expected);
    }
}

TEST_F(NavigationTest, NextDialogControlMessageStepsOrNamesTheControl)
{
    const auto next = [&](desktop::WPARAM wParam, desktop::LPARAM lParam) {
        desktop::SendMessage(form->Handle(), desktop::WM_NEXTDLGCTL, wParam, lParam);
        app->ProcessMessages();
        return Focused();
    };
    EXPECT_EQ(next(0, 0), p1);  // forward through the tab order
    EXPECT_EQ(next(0, 0), p2);
    EXPECT_EQ(next(1, 0), p1);  // backward
    EXPECT_EQ(next(PointerToWParam(b->Handle()), 1), b);
    EXPECT_EQ(next(PointerToWParam(form->Handle()), 0), p2);  // without the flag a handle is a step back
}

TEST_F(NavigationTest, ReturnIsBroadcastToTheControlThatTakesIt)
{
    p2->takesReturn = true;
    Press(desktop::VK_RETURN);
    EXPECT_EQ(p2->returnsTaken, 1);
    EXPECT_TRUE(a->keysDown.empty());

    // A control whose dialog code asks for all keys keeps Return for itself.
    a->dialogCode = desktop::DLGC_WANTALLKEYS;
    Press(desktop::VK_RETURN);
    EXPECT_EQ(p2->returnsTaken, 1);
    EXPECT_EQ(a->keysDown, std::vector<desktop::WORD>{desktop::VK_RETURN});
}

TEST_F(NavigationTest, KeyPreCheckLetsAControlClaimAKey)
{
    a->claimKey = 'A';
    Press('A');
    Press('B');
    EXPECT_EQ(a->claimed, 1);
    EXPECT_EQ(a->keysDown, std::vector<desktop::WORD>{'B'});
    EXPECT_EQ(a->typed, "b");  // only the unclaimed key was translated into a character
}

TEST_F(NavigationTest, ApplicationShortCutsAreCheckedBeforeTheKeyReachesTheControl)
{
    std::vector<std::string> shortCuts;
    app->OnShortCut = [&](TWMKey message, bool& handled) {
        if (message.CharCode() == desktop::VK_F4) {
            shortCuts.push_back("F4");
            handled = true;
        } else if (message.CharCode() == 'X' && (message.ShiftState() & ssAlt) != 0) {
            shortCuts.push_back("Alt+X");
            handled = true;
        }
    };
    Press(desktop::VK_F4);
    desktop::headless::PressKey('X', false, false, true);
    app->ProcessMessages();
    Press('B');
    EXPECT_EQ(shortCuts, (std::vector<std::string>{"F4", "Alt+X"}));
    EXPECT_EQ(std::count(a->keysDown.begin(), a->keysDown.end(), desktop::VK_F4), 0);
    EXPECT_EQ(std::count(a->keysDown.begin(), a->keysDown.end(), 'X'), 0);
    EXPECT_EQ(a->keysDown.back(), 'B');
    EXPECT_EQ(a->typed, "b");
}

TEST_F(NavigationTest, HidingTheFocusedControlForgetsIt)
{
    p1->SetFocus();
    app->ProcessMessages();
    panel->Hide();
    EXPECT_EQ(form->ActiveControl(), nullptr);
    Press(desktop::VK_TAB);
    EXPECT_EQ(Focused(), a);
}

}  // namespace
}  // namespace forms_test
