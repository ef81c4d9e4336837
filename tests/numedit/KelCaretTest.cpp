#include "numedit/KelCaret.h"

#include <gtest/gtest.h>

#include "NumEditTestSupport.h"

namespace {

using numedit::TKelCaret;
using numedit::TKelCaretStyles;

class KelCaret : public numedit::testing::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // Not the caret's own rate, so that a missing restore shows.
        desktop::SetCaretBlinkTime(400);
        edit_ = NewChild();
    }

    static desktop::CaretState Caret() { return desktop::GetCaretState(); }
    static int CaretWidth() { return Caret().rect.right - Caret().rect.left; }
    static int CaretHeight() { return Caret().rect.bottom - Caret().rect.top; }

    fw::TCustomControl* edit_ = nullptr;
};

TEST_F(KelCaret, ShowingSetsTheBlinkRateAndHidingOrDestroyingRestoresTheOldOne)
{
    TKelCaret caret(edit_);
    EXPECT_EQ(caret.BlinkRate(), 400);
    EXPECT_EQ(caret.OldBlinkRate(), 400u);
    caret.SetBlinkRate(530);
    caret.SetFontHeight(13);
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);  // a stored value until shown

    caret.ShowSystemCaret();
    EXPECT_TRUE(caret.Shown());
    EXPECT_TRUE(caret.Created());
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 530u);
    EXPECT_EQ(Caret().owner, edit_->Handle());
    EXPECT_TRUE(Caret().visible);
    EXPECT_EQ(CaretWidth(), 1);
    EXPECT_EQ(CaretHeight(), 13);

    caret.HideSystemCaret();
    EXPECT_FALSE(caret.Shown());
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
    EXPECT_FALSE(Caret().visible);
    caret.HideSystemCaret();  // an extra hide must not need an extra show
    caret.ShowSystemCaret();
    EXPECT_TRUE(Caret().visible);
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 530u);

    caret.DestroySystemCaret();
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
    EXPECT_EQ(Caret().owner, nullptr);
    EXPECT_FALSE(caret.Shown());
}

TEST_F(KelCaret, DestructionRestoresTheBlinkTimeAndFreesItsCaret)
{
    {
        TKelCaret caret(edit_);
        caret.SetBlinkRate(250);
        caret.CreateSystemCaret();
        caret.ShowSystemCaret();
        EXPECT_EQ(desktop::GetCaretBlinkTime(), 250u);
    }
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
    EXPECT_EQ(Caret().owner, nullptr);
}

TEST_F(KelCaret, AnotherWindowsCaretSurvivesThisOneGoingAway)
{
    auto* other = NewChild(10, 40);
    TKelCaret mine(edit_);
    TKelCaret theirs(other);
    mine.ShowSystemCaret();
    theirs.CreateSystemCaret();
    theirs.ShowSystemCaret();
    mine.PlaceCaret(30, 30, 13);  // not its caret any more: stays where theirs is
    EXPECT_EQ(Caret().rect.left, 0);
    mine.DestroySystemCaret();
    EXPECT_EQ(Caret().owner, other->Handle());
    EXPECT_TRUE(Caret().visible);
}

TEST_F(KelCaret, ShapesTakeEffectAtCreationAndPlacementFollowsTheStyle)
{
    TKelCaret caret(edit_);
    caret.SetFontHeight(13);
    caret.ShowSystemCaret();
    int changes = 0;
    caret.OnChange = [&](fw::TObject*) { ++changes; };
    caret.SetStyle(TKelCaretStyles::csBlock);
    caret.SetWidth(5);
    caret.SetHeight(7);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(CaretWidth(), 1);  // still the old shape
    caret.CreateSystemCaret();
    caret.ShowSystemCaret();
    EXPECT_EQ(CaretWidth(), 5);
    EXPECT_EQ(CaretHeight(), 7);

    caret.SetStyle(TKelCaretStyles::csUnder);
    caret.CreateSystemCaret();
    caret.ShowSystemCaret();
    EXPECT_EQ(CaretHeight(), 1);
    caret.PlaceCaret(4, 2, 13);
    EXPECT_EQ(Caret().rect.left, 4);
    EXPECT_EQ(Caret().rect.top, 2 + 13 - 3);

    caret.SetStyle(TKelCaretStyles::csUnderBlock);
    caret.CreateSystemCaret();
    caret.ShowSystemCaret();
    caret.PlaceCaret(4, 2, 13);
    EXPECT_EQ(Caret().rect.top, 2 + 13 - 7 - 2);
    EXPECT_EQ(CaretHeight(), 7);

    caret.SetStyle(TKelCaretStyles::csBitmap);
    caret.Bitmap()->SetSize(3, 9);
    caret.CreateSystemCaret();
    EXPECT_EQ(CaretWidth(), 3);
    EXPECT_EQ(CaretHeight(), 9);
    caret.SetCaretBmpMode(numedit::TKelCaretBitmap::cbTile);
    caret.CreateSystemCaret();
    EXPECT_EQ(CaretWidth(), 5);
    EXPECT_EQ(CaretHeight(), 7);
}

TEST_F(KelCaret, NoCaretWhileDesigningOrWithoutAWindow)
{
    TKelCaret designed(edit_);
    edit_->SetState(fw::csDesigning);
    designed.ShowSystemCaret();
    EXPECT_FALSE(designed.Shown());
    EXPECT_EQ(Caret().owner, nullptr);
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
    edit_->ClearState(fw::csDesigning);

    fw::TCustomControl windowless(nullptr);
    TKelCaret orphan(&windowless);
    orphan.SetBlinkRate(100);
    orphan.ShowSystemCaret();
    EXPECT_FALSE(orphan.Shown());
    EXPECT_FALSE(windowless.HandleAllocated());
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
}

}  // namespace
