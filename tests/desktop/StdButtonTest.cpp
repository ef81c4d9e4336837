#include "ControlsTestSupport.h"
#include "desktop/Input.h"

namespace desktop::testing {
namespace {

constexpr int kButtonId = 12;

class ButtonTest : public ControlsTest {
protected:
    HWND parent = nullptr;
    HWND button = nullptr;
    void SetUp() override
    {
        ControlsTest::SetUp();
        parent = MakeParent();
        button = MakeControl(parent, kButtonClass, "&Go", DWORD(BS_PUSHBUTTON) | WS_TABSTOP, RECT{20, 20, 95, 45},
                             kButtonId);
        Parent().notifications.clear();
    }
    POINT Inside() const { return ClientPointOnScreen(button, POINT{30, 12}); }
    POINT Outside() const { return ClientPointOnScreen(button, POINT{120, 12}); }
    static int Clicks() { return CountNotifications(BN_CLICKED, kButtonId); }
};

TEST_F(ButtonTest, ReleaseInsideClicksOnceAndTakesTheFocus)
{
    EXPECT_EQ(GetFocus(), parent);
    headless::MoveMouse(Inside());
    headless::MouseDown();
    headless::PumpMessages();
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(GetCapture(), button);
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(Clicks(), 0);
    headless::MouseUp();
    headless::PumpMessages();
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessage(button, BM_GETSTATE, 0, 0), LRESULT(BST_FOCUS));
    EXPECT_EQ(Parent().notifications.back().from, button);
}

TEST_F(ButtonTest, ReleaseOutsideDoesNotClickButComingBackDoes)
{
    headless::MoveMouse(Inside());
    headless::MouseDown();
    headless::PumpMessages();  // input goes where the capture is when it is injected
    headless::MoveMouse(Outside());
    headless::PumpMessages();
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    headless::MouseUp();
    headless::PumpMessages();
    EXPECT_EQ(Clicks(), 0);

    headless::MouseDown();  // outside: the parent gets it
    headless::MouseUp();
    headless::MoveMouse(Inside());
    headless::MouseDown();
    headless::PumpMessages();
    headless::MoveMouse(Outside());
    headless::MoveMouse(Inside());
    headless::MouseUp();
    headless::PumpMessages();
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonTest, SpaceAndBmClickClick)
{
    SetFocus(button);
    InjectKey(VK_SPACE, true);
    InjectKey(VK_SPACE, true);  // auto-repeat does not click again
    headless::PumpMessages();
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(Clicks(), 0);
    InjectKey(VK_SPACE, false);
    headless::PumpMessages();
    EXPECT_EQ(Clicks(), 1);
    SendMessage(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks(), 2);
}

TEST_F(ButtonTest, DisabledButtonIgnoresMouseKeysAndBmClick)
{
    EnableWindow(button, false);
    headless::Click(Inside());
    headless::PumpMessages();
    EXPECT_NE(GetFocus(), button);
    SendMessage(button, WM_KEYDOWN, VK_SPACE, 0);
    SendMessage(button, WM_KEYUP, VK_SPACE, 0);
    SendMessage(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks(), 0);
    EnableWindow(button, true);
    headless::Click(Inside());
    headless::PumpMessages();
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonTest, DefaultStyleChangesTheDialogCodeAndTheFrame)
{
    EXPECT_EQ(SendMessage(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    const POINT corner = ClientPointOnScreen(button, POINT{0, 0});
    headless::PumpMessages();
    const COLORREF plainCorner = headless::ScreenColorAt(corner);
    SendMessage(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
    headless::PumpMessages();
    EXPECT_EQ(SendMessage(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(headless::ScreenColorAt(corner), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_NE(plainCorner, GetSysColor(COLOR_WINDOWFRAME));
}

}  // namespace
}  // namespace desktop::testing
