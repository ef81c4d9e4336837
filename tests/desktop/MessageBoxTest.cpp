#include <atomic>
#include <thread>

#include "ControlsTestSupport.h"
#include "desktop/System.h"

namespace desktop::testing {
namespace {

class MessageBoxTest : public ControlsTest {
protected:
    HWND owner = nullptr;
    HWND bystander = nullptr;
    void SetUp() override
    {
        ControlsTest::SetUp();
        owner = MakeParent(RECT{100, 100, 600, 500});
        bystander = TopLevel(RECT{650, 100, 800, 200}, RGB(0, 128, 0));
        SetActiveWindow(owner);
        headless::PumpMessages();
    }
    static MessageBoxInfo OpenBox()
    {
        MessageBoxInfo info;
        EXPECT_TRUE(GetMessageBoxInfo(GetOpenMessageBox(), &info));
        return info;
    }
    static POINT OnScreen(const MessageBoxInfo& info, POINT client) { return ClientPointOnScreen(info.box, client); }
};

TEST_F(MessageBoxTest, ErrorBoxShowsTextCaptionOneOkAndTheRedIcon)
{
    MessageBoxInfo info;
    COLORREF iconCentre = 0, iconRim = 0;
    bool ownerEnabled = true;
    RECT buttonRect{};
    std::string windowText;
    FromInsideTheLoop(owner, [&] {
        headless::PumpMessages();  // let the box paint
        info = OpenBox();
        windowText = GetWindowText(info.box);
        ownerEnabled = IsWindowEnabled(owner);
        const POINT c = Center(info.iconRect);
        iconCentre = headless::ScreenColorAt(OnScreen(info, c));
        iconRim = headless::ScreenColorAt(OnScreen(info, POINT{c.x, info.iconRect.top + 4}));
        if (!info.buttons.empty()) GetWindowRect(info.buttons[0].hwnd, &buttonRect);
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(owner, "Something failed.", "Experiment", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(info.text, "Something failed.");
    EXPECT_EQ(info.caption, "Experiment");
    EXPECT_EQ(windowText, "Experiment");
    EXPECT_EQ(info.icon, MessageBoxIcon::Error);
    ASSERT_EQ(info.buttons.size(), 1u);
    EXPECT_EQ(info.buttons[0].caption, "OK");
    EXPECT_EQ(info.buttons[0].id, IDOK);
    EXPECT_EQ(buttonRect.Width(), 75);
    EXPECT_EQ(buttonRect.Height(), 23);
    EXPECT_EQ(iconCentre, RGB(255, 255, 255));  // the middle of the white cross
    EXPECT_EQ(iconRim, RGB(255, 0, 0));
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetOpenMessageBox(), nullptr);
    EXPECT_FALSE(IsWindow(info.box));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(MessageBoxTest, WithoutAnOwnerEveryTopLevelIsDisabledAndOnlyThoseAreEnabledAgain)
{
    HWND alreadyDisabled = TopLevel(RECT{10, 600, 60, 650}, RGB(1, 2, 3));
    EnableWindow(alreadyDisabled, false);
    bool ownerEnabled = true, bystanderEnabled = true;
    FromInsideTheLoop(owner, [&] {
        ownerEnabled = IsWindowEnabled(owner);
        bystanderEnabled = IsWindowEnabled(bystander);
        headless::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(MessageBox(nullptr, "note", "", MB_OK), IDOK);  // Escape closes an OK box as OK
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(bystanderEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(bystander));
    EXPECT_FALSE(IsWindowEnabled(alreadyDisabled));

    // With an owner only the owner is disabled, unless the box is task-modal.
    FromInsideTheLoop(owner, [&] {
        bystanderEnabled = IsWindowEnabled(bystander);
        headless::PressKey(VK_ESCAPE);
    });
    MessageBox(owner, "note", "", MB_OK);
    EXPECT_TRUE(bystanderEnabled);
    FromInsideTheLoop(owner, [&] {
        bystanderEnabled = IsWindowEnabled(bystander);
        headless::PressKey(VK_ESCAPE);
    });
    MessageBox(owner, "note", "", MB_OK | MB_TASKMODAL);
    EXPECT_FALSE(bystanderEnabled);
}

TEST_F(MessageBoxTest, KeyboardFollowsTheDialogRules)
{
    // Escape means Cancel where there is one; Yes/No ignores it.
    FromInsideTheLoop(owner, [] { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_OKCANCEL), IDCANCEL);
    FromInsideTheLoop(owner, [] {
        headless::PressKey(VK_ESCAPE);
        headless::PressKey('N');  // the mnemonic of "&No"
    });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
    // Tab moves the focus; Enter presses the focused button.
    FromInsideTheLoop(owner, [] {
        headless::PressKey(VK_TAB);
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_YESNOCANCEL), IDNO);
    int defaultId = 0;
    FromInsideTheLoop(owner, [&] {
        defaultId = OpenBox().defaultButton;
        headless::PressKey(VK_TAB, true);
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_RETRYCANCEL | MB_DEFBUTTON2), IDRETRY);
    EXPECT_EQ(defaultId, IDCANCEL);
    // The close box is Cancel.
    FromInsideTheLoop(owner, [] { InjectClose(GetOpenMessageBox()); });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_OKCANCEL), IDCANCEL);
}

TEST_F(MessageBoxTest, ClickingAButtonAnswersWithIt)
{
    FromInsideTheLoop(owner, [this] {
        headless::PumpMessages();
        const MessageBoxInfo info = OpenBox();
        RECT r;
        GetWindowRect(info.buttons[1].hwnd, &r);
        headless::Click(Center(r));
        headless::Click(POINT{700, 150});  // the disabled bystander does not react
    });
    EXPECT_EQ(MessageBox(nullptr, "Retry?", "c", MB_ABORTRETRYIGNORE | MB_ICONWARNING), IDRETRY);
}

std::atomic<int> g_ticks{0};
std::atomic<LRESULT> g_answered{-1};

TEST_F(MessageBoxTest, TheLoopKeepsTimersAndSentMessagesRunning)
{
    g_ticks = 0;
    g_answered = -1;
    // The box is closed from a timer once a worker's send has been answered by the GUI thread.
    SetTimer(bystander, 1, 10, [](HWND, UINT, std::uintptr_t, DWORD) {
        if (++g_ticks == 3) {
            headless::PumpUntil([] { return g_answered.load() >= 0; }, 5000);
            headless::PressKey(VK_RETURN);
        }
    });
    std::thread worker;
    FromInsideTheLoop(
        owner, [&] { worker = std::thread([this] { g_answered = SendMessage(bystander, WM_GETTEXTLENGTH, 0, 0); }); });
    EXPECT_EQ(MessageBox(owner, "wait", "c", MB_OK), IDOK);
    worker.join();
    KillTimer(bystander, 1);
    EXPECT_GE(g_ticks.load(), 3);
    EXPECT_EQ(g_answered.load(), 3);  // "top"
}

TEST_F(MessageBoxTest, QuitDuringTheLoopClosesWithTheCancelAnswerAndIsPostedAgain)
{
    FromInsideTheLoop(owner, [] { PostQuitMessage(4); });
    EXPECT_EQ(MessageBox(owner, "q", "c", MB_YESNO), IDNO);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 4u);
}

TEST_F(MessageBoxTest, LongTextWrapsAndTheBoxIsCentredOnItsOwner)
{
    std::string text;
    for (int i = 0; i < 60; ++i) text += "palabra ";
    RECT box{}, textRect{};
    FromInsideTheLoop(owner, [&] {
        const MessageBoxInfo info = OpenBox();
        GetWindowRect(info.box, &box);
        textRect = info.textRect;
        headless::PressKey(VK_RETURN);
    });
    MessageBox(owner, text, "c", MB_OK | MB_ICONINFORMATION);
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_LE(textRect.Width(), screen * 5 / 8);
    EXPECT_GE(textRect.Height(), 3 * 13);
    RECT o;
    GetWindowRect(owner, &o);
    EXPECT_NEAR((box.left + box.right) / 2, (o.left + o.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (o.top + o.bottom) / 2, 1);
}

}  // namespace
}  // namespace desktop::testing
