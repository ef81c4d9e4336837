#include "ControlsTestSupport.h"
#include "desktop/System.h"

namespace desktop::testing {
namespace {

enum : UINT { kOpen = 101, kSave = 102, kQuit = 103, kDeep = 104 };

class PopupMenuTest : public ControlsTest {
protected:
    HWND owner = nullptr;
    HMENU menu = 0;
    void SetUp() override
    {
        ControlsTest::SetUp();
        owner = MakeParent();
        menu = CreatePopupMenu();
        AppendMenu(menu, MF_STRING, kOpen, "&Open");
        AppendMenu(menu, MF_STRING | MF_GRAYED, kSave, "&Save\tCtrl+S");
        AppendMenu(menu, MF_SEPARATOR, 0, "");
        AppendMenu(menu, MF_STRING, kQuit, "&Quit");
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        ControlsTest::TearDown();
    }
    int Track(UINT flags = TPM_RETURNCMD) { return TrackPopupMenu(menu, flags, 200, 150, 0, owner, nullptr); }
    static POINT ItemCenter(HMENU m, UINT position)
    {
        RECT r{};
        EXPECT_TRUE(GetMenuItemRect(nullptr, m, position, &r));
        return Center(r);
    }
};

TEST_F(PopupMenuTest, ItemsStatesAndHandles)
{
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemID(menu, 0), UINT(kOpen));
    EXPECT_EQ(GetMenuItemID(menu, 2), 0u);
    EXPECT_EQ(GetMenuState(menu, kSave, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(EnableMenuItem(menu, kSave, MF_BYCOMMAND | MF_ENABLED), UINT(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(menu, 0, MF_BYPOSITION | MF_CHECKED), UINT(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(menu, kOpen, MF_BYCOMMAND), UINT(MF_CHECKED));
    EXPECT_EQ(EnableMenuItem(menu, 999, MF_BYCOMMAND), kMenuFailed);

    HMENU sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, kDeep, "Deep");
    EXPECT_TRUE(InsertMenu(menu, 1, MF_BYPOSITION | MF_POPUP, std::uintptr_t(sub), "&More"));
    EXPECT_EQ(GetSubMenu(menu, 1), sub);
    EXPECT_EQ(GetMenuItemID(menu, 1), kMenuFailed);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION), UINT(MF_POPUP | (1 << 8)));
    EXPECT_EQ(GetMenuString(menu, kDeep, MF_BYCOMMAND), "Deep");  // found inside the submenu
    EXPECT_TRUE(DeleteMenu(menu, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_FALSE(AppendMenu(sub, MF_STRING, 1, "gone"));
    EXPECT_EQ(GetMenuItemCount(HMENU(12345)), -1);
}

TEST_F(PopupMenuTest, ClickOnAnItemReturnsItsIdAfterInitMenuPopup)
{
    HWND seenPopup = nullptr;
    bool captured = false;
    FromInsideTheLoop(owner, [&] {
        seenPopup = GetOpenPopupMenuWindow();
        captured = GetCapture() == seenPopup;
        headless::Click(ItemCenter(menu, 3));
    });
    EXPECT_EQ(Track(), int(kQuit));
    ASSERT_NE(seenPopup, nullptr);
    EXPECT_TRUE(captured);
    EXPECT_FALSE(IsWindow(seenPopup));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Parent().initMenuPopups, (std::vector<WPARAM>{WPARAM(menu)}));
}

TEST_F(PopupMenuTest, EscapeAndClicksOutsideCancel)
{
    SetFocus(owner);
    FromInsideTheLoop(owner, [] { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(Track(), 0);
    FromInsideTheLoop(owner, [] { headless::Click(POINT{10, 10}); });
    EXPECT_EQ(Track(), 0);
}

TEST_F(PopupMenuTest, DisabledItemsAndSeparatorsCannotBeChosen)
{
    SetFocus(owner);
    FromInsideTheLoop(owner, [this] {
        headless::Click(ItemCenter(menu, 1));  // grayed
        headless::Click(ItemCenter(menu, 2));  // separator
        headless::PressKey('S');               // its mnemonic
        headless::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(Track(), 0);
    // Down skips the separator but not the grayed item; Enter takes what is highlighted.
    FromInsideTheLoop(owner, [] {
        for (int i = 0; i < 3; ++i) headless::PressKey(VK_DOWN);
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(Track(), int(kQuit));
    FromInsideTheLoop(owner, [] { headless::PressKey('O'); });
    EXPECT_EQ(Track(), int(kOpen));
}

TEST_F(PopupMenuTest, WithoutReturnCmdTheChoiceIsPostedToTheOwner)
{
    FromInsideTheLoop(owner, [this] { headless::Click(ItemCenter(menu, 0)); });
    EXPECT_NE(Track(TPM_LEFTALIGN), 0);
    headless::PumpMessages();
    ASSERT_EQ(CountNotifications(0, WORD(kOpen)), 1);
}

TEST_F(PopupMenuTest, SubmenusOpenOnHoverAndTheirItemsCanBeChosen)
{
    HMENU sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, kDeep, "Deep");
    AppendMenu(menu, MF_POPUP, std::uintptr_t(sub), "&More");
    FromInsideTheLoop(owner, [&] {
        headless::MoveMouse(ItemCenter(menu, 4));
        Parent().onApp = [&] { headless::Click(ItemCenter(sub, 0)); };
        PostMessage(owner, WM_APP, 0, 0);
    });
    EXPECT_EQ(Track(), int(kDeep));
    EXPECT_EQ(Parent().initMenuPopups, (std::vector<WPARAM>{WPARAM(menu), WPARAM(sub)}));
}

TEST_F(PopupMenuTest, StaysOnTheScreen)
{
    RECT shown{};
    FromInsideTheLoop(owner, [&] {
        GetWindowRect(GetOpenPopupMenuWindow(), &shown);
        headless::Click(POINT{1, 1});
    });
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    TrackPopupMenu(menu, TPM_RETURNCMD, w - 5, h - 5, 0, owner, nullptr);
    EXPECT_FALSE(shown.IsEmpty());
    EXPECT_LE(shown.right, w);
    EXPECT_LE(shown.bottom, h);
    EXPECT_GE(shown.left, 0);
}

}  // namespace
}  // namespace desktop::testing
