// The spin edit's value model, keys and wheel, and its spin button under injected mouse input.
#include <gtest/gtest.h>

#include <set>

#include "KelEditTestSupport.h"
#include "desktop/Gdi.h"
#include "framework/StdCtrls.h"
#include "numedit/KelSpinEdit.h"
#include "numedit/KelTimer.h"

namespace numedit::testing {
namespace {

class SpinEditTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        KelApplication().SetKeyState(ksInsert);
        // The number-of-rolls field.
        edit_ = NewChild<TKelSpinEdit>(10, 10, 80, 21);
        edit_->SetStep(10);
        edit_->SetIntegerProperty(TKelSpinEdit::ipLineSize, 10);
        edit_->SetIntegerProperty(TKelSpinEdit::ipMinValue, 1);
        edit_->SetIntegerProperty(TKelSpinEdit::ipMaxValue, 100000);
        edit_->SetValue(1);
        other_ = NewChild<fw::TCustomControl>(10, 100);
        edit_->SetFocus();
        Pump();
    }
    void TearDown() override
    {
        KelApplication().SetKeyState(ksInsert);
        WindowTest::TearDown();
    }
    void Show(const std::string& text)
    {
        edit_->SetText(text);
        edit_->SetCaretIndex(1);
    }
    void LeaveField()
    {
        other_->SetFocus();
        Pump();
    }
    void Wheel(int delta)
    {
        desktop::headless::MoveMouse(edit_->ClientToScreen({5, 5}));
        desktop::headless::Wheel(delta);
        Pump();
    }
    // The screen point of a point of the spin button.
    desktop::POINT OnButton(int x, int y)
    {
        TKelSpinButton* b = edit_->SpinButton();
        return edit_->ClientToScreen({b->Left() + x, b->Top() + y});
    }
    void Tick()
    {
        TKelTimer* timer = edit_->SpinButton()->RepeatTimer();
        ASSERT_NE(timer, nullptr);
        timer->OnTimer()(timer);
    }

    TKelSpinEdit* edit_ = nullptr;
    fw::TCustomControl* other_ = nullptr;
};

TEST_F(SpinEditTest, KeysStepAndClampOnTheirOwnSide)
{
    Show("99995");
    Key(desktop::VK_UP);
    EXPECT_EQ(edit_->Text(), "100000");
    Key(desktop::VK_UP, true);
    EXPECT_EQ(edit_->Text(), "100000");
    Show("5");
    Key(desktop::VK_DOWN, false, true);
    EXPECT_EQ(edit_->Text(), "1");
    Key(desktop::VK_PRIOR);
    EXPECT_EQ(edit_->Text(), "11");
    Key(desktop::VK_NEXT);
    EXPECT_EQ(edit_->Text(), "1");
    // Down from above the range stays above it until the commit.
    Show("250000");
    Key(desktop::VK_DOWN);
    EXPECT_EQ(edit_->Text(), "249990");
}

TEST_F(SpinEditTest, FaceFieldStaysWithinOneToSix)
{
    auto* face = NewChild<TKelSpinEdit>(10, 40, 44, 21);
    face->SetInterval(6);
    face->SetIntegerProperty(TKelSpinEdit::ipMinValue, 1);
    face->SetIntegerProperty(TKelSpinEdit::ipMaxValue, 6);
    face->SetValue(1);
    face->SetFocus();
    Pump();
    Key(desktop::VK_DOWN);
    EXPECT_EQ(face->Text(), "1");
    for (int i = 0; i < 7; ++i) {
        Key(desktop::VK_UP);
    }
    EXPECT_EQ(face->Text(), "6");
    Key(desktop::VK_PRIOR);
    EXPECT_EQ(face->Text(), "6");
}

TEST_F(SpinEditTest, ClickingAButtonCommitsBeforeItsHandlerReadsValue)
{
    auto* button = NewChild<fw::TButton>(120, 100, 80, 25);
    int read = 0;
    button->OnClick = [&](fw::TObject*) { read = edit_->Value(); };
    Key('A', false, true);
    Type("250000");
    desktop::headless::Click(button->ClientToScreen({10, 10}));
    Pump();
    EXPECT_EQ(read, 100000);
}

TEST_F(SpinEditTest, StepAmountsRoundHalvesToEven)
{
    edit_->SetIntegerProperty(TKelSpinEdit::ipMaxValue, 1000);
    Show("10");
    edit_->StepUp(2.5);
    EXPECT_EQ(edit_->Text(), "12");
    edit_->StepUp(3.5);
    EXPECT_EQ(edit_->Text(), "16");
    edit_->StepDown(0.5);
    EXPECT_EQ(edit_->Text(), "16");
    edit_->StepDown(1.5);
    EXPECT_EQ(edit_->Text(), "14");
}

TEST_F(SpinEditTest, FocusLossCommitsClampedValue)
{
    const std::pair<const char*, const char*> cases[] = {{"0", "1"}, {"250000", "100000"}, {"", "1"}, {"-", "1"}};
    for (const auto& [typed, shown] : cases) {
        edit_->SetFocus();
        Pump();
        Key('A', false, true);
        if (*typed == '\0') {
            Key(desktop::VK_DELETE);
        } else {
            Type(typed);
        }
        LeaveField();
        EXPECT_EQ(edit_->Text(), shown) << typed;
        EXPECT_EQ(edit_->Value(), std::stoi(shown));
    }
}

TEST_F(SpinEditTest, ValueReadsTheTypedNumberBeforeTheCommit)
{
    Key('A', false, true);
    Type("250000");
    EXPECT_EQ(edit_->Value(), 250000);
    EXPECT_EQ(edit_->CommittedValue(), 1);
}

TEST_F(SpinEditTest, ValueWriteEqualToTheCommittedOneChangesNothing)
{
    Key(desktop::VK_UP);
    EXPECT_EQ(edit_->Text(), "11");
    edit_->SetValue(1);
    EXPECT_EQ(edit_->Text(), "11");
    edit_->SetValue(200000);
    EXPECT_EQ(edit_->Text(), "100000");
}

TEST_F(SpinEditTest, BoundsFollowEachOtherWithoutTouchingTheText)
{
    Show("50");
    edit_->SetIntegerProperty(TKelSpinEdit::ipMaxValue, 20);
    EXPECT_EQ(edit_->Text(), "50");
    edit_->SetIntegerProperty(TKelSpinEdit::ipMinValue, 30);
    EXPECT_EQ(edit_->GetIntegerProperty(TKelSpinEdit::ipMaxValue), 30);
    edit_->SetIntegerProperty(TKelSpinEdit::ipMaxValue, 5);
    EXPECT_EQ(edit_->GetIntegerProperty(TKelSpinEdit::ipMinValue), 5);
    LeaveField();
    EXPECT_EQ(edit_->Text(), "5");
}

TEST_F(SpinEditTest, WheelStepsPerFullNotch)
{
    Wheel(120);
    EXPECT_EQ(edit_->Text(), "11");
    Wheel(40);
    Wheel(40);
    EXPECT_EQ(edit_->Text(), "11");
    Wheel(40);
    EXPECT_EQ(edit_->Text(), "21");
    Wheel(-240);
    EXPECT_EQ(edit_->Text(), "1");
}

TEST_F(SpinEditTest, WheelHandlerCanClaimTheMessage)
{
    int ups = 0;
    int downs = 0;
    bool claim = true;
    edit_->OnMouseWheel = [&](fw::TObject*, int, desktop::POINT, bool& handled) { handled = claim; };
    edit_->OnMouseWheelUp = [&](fw::TObject*) { ++ups; };
    edit_->OnMouseWheelDown = [&](fw::TObject*) { ++downs; };
    Wheel(120);
    EXPECT_EQ(edit_->Text(), "1");
    EXPECT_EQ(ups, 0);
    claim = false;
    Wheel(240);
    EXPECT_EQ(edit_->Text(), "21");
    EXPECT_EQ(ups, 2);
    Wheel(-120);
    EXPECT_EQ(downs, 1);
}

TEST_F(SpinEditTest, ReadOnlyBlocksEverythingEditorDisabledOnlyTyping)
{
    Pump();
    edit_->SetReadOnly(true);
    Key(desktop::VK_UP);
    Wheel(120);
    desktop::headless::Click(OnButton(2, 2));
    Pump();
    Type("7");
    EXPECT_EQ(edit_->Text(), "1");

    edit_->SetReadOnly(false);
    edit_->SetEditorEnabled(false);
    Type("7");
    EXPECT_EQ(edit_->Text(), "1");
    Key(desktop::VK_UP);
    EXPECT_EQ(edit_->Text(), "11");
    Wheel(120);
    EXPECT_EQ(edit_->Text(), "21");
    desktop::headless::Click(OnButton(2, 2));
    Pump();
    EXPECT_EQ(edit_->Text(), "31");
}

TEST_F(SpinEditTest, ButtonSitsAtTheRightOfTheTextRectangle)
{
    TKelSpinButton* b = edit_->SpinButton();
    const desktop::RECT text = edit_->TextRect();
    EXPECT_EQ(b->Width(), b->Height());
    EXPECT_GT(b->Width(), 0);
    EXPECT_LE(text.right, b->Left());
    edit_->SetSpinBtnWidth(9);
    Pump();
    EXPECT_EQ(b->Width(), 9);
}

TEST_F(SpinEditTest, ButtonTakesTheEditsLookAtOnce)
{
    TKelSpinButton* b = edit_->SpinButton();
    EXPECT_TRUE(b->CtlXP());
    // No layout runs in between: the switch itself reaches the button.
    edit_->SetCtlXP(false);
    EXPECT_FALSE(b->CtlXP());
    edit_->SetCtlXP(true);
    EXPECT_TRUE(b->CtlXP());
}

// ---- The spin button ----

TEST_F(SpinEditTest, DiagonalHalvesDecideTheDirection)
{
    TKelSpinButton* b = edit_->SpinButton();
    const int w = b->Width();
    int ups = 0;
    int downs = 0;
    edit_->OnSpinBtnUpClick = [&](fw::TObject*) { ++ups; };
    edit_->OnSpinBtnDownClick = [&](fw::TObject*) { ++downs; };
    desktop::headless::Click(OnButton(1, 1));
    Pump();
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(edit_->Text(), "11");
    // Close to the top edge but just below the diagonal.
    desktop::headless::Click(OnButton(w - 2, 2));
    Pump();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(edit_->Text(), "1");
    desktop::headless::Click(OnButton(w - 2, b->Height() - 2));
    Pump();
    EXPECT_EQ(downs, 2);
}

TEST_F(SpinEditTest, HoverLightsAHalfUntilThePointerReachesTheText)
{
    TKelSpinButton* b = edit_->SpinButton();
    desktop::headless::MoveMouse(OnButton(1, 1));
    Pump();
    desktop::headless::MoveMouse(OnButton(2, 1));
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssHot);
    EXPECT_EQ(b->State(TKelSpinHalf::shDown), ssNormal);
    desktop::headless::MoveMouse(edit_->ClientToScreen({4, 8}));
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssNormal);
}

TEST_F(SpinEditTest, WithoutTheDiagonalTheHalvesAreUpperAndLower)
{
    TKelSpinButton* b = edit_->SpinButton();
    b->SetDiagonal(false);
    Pump();
    // Both points lie on the other side of the diagonal.
    desktop::headless::Click(OnButton(b->Width() - 2, 1));
    Pump();
    EXPECT_EQ(edit_->Text(), "11");
    desktop::headless::Click(OnButton(1, b->Height() - 2));
    Pump();
    EXPECT_EQ(edit_->Text(), "1");
}

TEST_F(SpinEditTest, HoldingRepeatsOnTicksAndSlidingSwitchesHalves)
{
    TKelSpinButton* b = edit_->SpinButton();
    b->SetInterval(100);
    int ups = 0;
    int downs = 0;
    edit_->OnSpinBtnUpClick = [&](fw::TObject*) { ++ups; };
    edit_->OnSpinBtnDownClick = [&](fw::TObject*) { ++downs; };
    desktop::headless::MoveMouse(OnButton(1, 1));
    desktop::headless::MouseDown();
    Pump();
    EXPECT_EQ(ups, 1);
    ASSERT_NE(b->RepeatTimer(), nullptr);
    EXPECT_EQ(b->RepeatTimer()->Interval(), 300u);
    Tick();
    EXPECT_EQ(b->RepeatTimer()->Interval(), 100u);
    Tick();
    EXPECT_EQ(ups, 3);
    EXPECT_EQ(edit_->Text(), "31");

    desktop::headless::MoveMouse(OnButton(b->Width() - 2, b->Height() - 2));
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shDown), ssPressed);
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssNormal);
    EXPECT_EQ(downs, 0) << "a slide presses without stepping";
    Tick();
    EXPECT_EQ(ups, 3);
    EXPECT_EQ(downs, 1);

    desktop::headless::MouseUp();
    Pump();
    Tick();
    EXPECT_EQ(downs, 1) << "ticks after the release do nothing";
}

TEST_F(SpinEditTest, RealTimerTicksRepeatWhileHeld)
{
    TKelSpinButton* b = edit_->SpinButton();
    b->SetInterval(6);
    int ups = 0;
    edit_->OnSpinBtnUpClick = [&](fw::TObject*) { ++ups; };
    desktop::headless::MoveMouse(OnButton(1, 1));
    desktop::headless::MouseDown();
    ASSERT_TRUE(desktop::headless::PumpUntil([&] { return ups >= 3; }, 60000));
    desktop::headless::MouseUp();
    Pump();
}

TEST_F(SpinEditTest, PressedUpHalfDrawsTheInnerDiagonalInGrey)
{
    TKelSpinButton* b = edit_->SpinButton();
    ASSERT_EQ(b->Width(), b->Height());
    LeaveField();
    // A pixel one step inside the diagonal, in the middle of the up half's long edge.
    const int w = b->Width();
    const desktop::POINT inner = OnButton(w / 2 - 1, w - 2 - (w / 2 - 1));
    const desktop::COLORREF grey = fw::ColorToRGB(fw::clGray);
    EXPECT_NE(desktop::headless::ScreenColorAt(inner), grey);
    desktop::headless::MoveMouse(OnButton(1, 1));
    desktop::headless::MouseDown();
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssPressed);
    EXPECT_EQ(desktop::headless::ScreenColorAt(inner), grey);
    desktop::headless::MouseUp();
    Pump();
}

TEST_F(SpinEditTest, DisabledEditGreysBothArrowsAndIgnoresPresses)
{
    TKelSpinButton* b = edit_->SpinButton();
    LeaveField();
    Pump();
    auto arrowColours = [&] {
        std::set<desktop::COLORREF> colours;
        for (int y = 0; y < b->Height(); ++y) {
            for (int x = 0; x < b->Width(); ++x) {
                colours.insert(desktop::headless::ScreenColorAt(OnButton(x, y)));
            }
        }
        return colours;
    };
    const desktop::COLORREF black = fw::ColorToRGB(fw::clBlack);
    const desktop::COLORREF grey = fw::ColorToRGB(fw::clGrayText);
    EXPECT_TRUE(arrowColours().contains(black));
    edit_->SetEnabled(false);
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssDisabled);
    EXPECT_EQ(b->State(TKelSpinHalf::shDown), ssDisabled);
    const auto disabled = arrowColours();
    EXPECT_FALSE(disabled.contains(black));
    EXPECT_TRUE(disabled.contains(grey));
    desktop::headless::Click(OnButton(1, 1));
    Pump();
    EXPECT_EQ(edit_->Text(), "1");
    edit_->SetEnabled(true);
    Pump();
    EXPECT_EQ(b->State(TKelSpinHalf::shUp), ssNormal);
}

TEST(KelArrow, RowsNarrowTowardsTheApex)
{
    fw::TBitmap bitmap;
    bitmap.SetSize(8, 8);
    bitmap.Canvas()->Brush()->SetColor(fw::clWhite);
    bitmap.Canvas()->FillRect({0, 0, 8, 8});
    DrawKelArrow(*bitmap.Canvas(), 1, 1, 3, false, fw::clBlack);
    auto rowWidth = [&](int y) {
        int n = 0;
        for (int x = 0; x < 8; ++x) {
            n += desktop::GetPixel(bitmap.Canvas()->Handle(), x, y) == 0 ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(rowWidth(1), 5);
    EXPECT_EQ(rowWidth(2), 3);
    EXPECT_EQ(rowWidth(3), 1);
    EXPECT_EQ(desktop::GetPixel(bitmap.Canvas()->Handle(), 3, 3), 0u);
    DrawKelArrow(*bitmap.Canvas(), 1, 5, 2, true, fw::clBlack);
    EXPECT_EQ(rowWidth(5), 1);
    EXPECT_EQ(rowWidth(6), 3);
}

}  // namespace
}  // namespace numedit::testing
