// The die control: construction, rolls, values, the size rule, painting, focus and mouse,
// class registration and the family's cursors.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "VoDiceTestSupport.h"
#include "desktop/Cursors.h"
#include "desktop/Gdi.h"
#include "framework/ClassesTypeInfo.h"

namespace {

using dice::GeneratorSeed;
using dice::TVoDice;
using dice::testing::DieTest;
using dice::testing::SeedDrawing;

using VoDice = DieTest;

TEST_F(VoDice, NewDieShowsOneAtSixtySixPixelsAndReseedsTheGenerator)
{
    dice::SetUtcClock([] { return dice::UtcTimeOfDay{12, 34, 56, 789}; });
    GeneratorSeed = 7;
    TVoDice* die = NewDie();
    EXPECT_EQ(GeneratorSeed, 45296789u) << "construction seeds from the time of day";
    EXPECT_EQ(die->Width(), 66);
    EXPECT_EQ(die->Height(), 66);
    EXPECT_EQ(die->Left(), 10);
    EXPECT_EQ(die->Value(), 1);
    EXPECT_EQ(die->Interval(), 60u);
    EXPECT_EQ(die->AutoStopInterval(), 0u);
    EXPECT_TRUE(die->AutoSize());
    EXPECT_FALSE(die->Rotate());
    EXPECT_FALSE(die->ShowFocus());
    EXPECT_FALSE(die->TabStop());
    EXPECT_EQ(die->AnimationTimer(), nullptr);
    EXPECT_TRUE(die->HasStyle(fw::csOpaque));
    EXPECT_TRUE(die->HasStyle(fw::csCaptureMouse));
    EXPECT_TRUE(die->HasStyle(fw::csClickEvents));
    EXPECT_TRUE(die->HasStyle(fw::csDoubleClicks));
    EXPECT_FALSE(die->HasStyle(fw::csAcceptsControls));
    ASSERT_NE(die->Face(), nullptr);
    EXPECT_EQ(die->Face()->Width(), 64);
    EXPECT_EQ(die->Face()->Height(), 64);
}

TEST_F(VoDice, RollMapsADrawnRepeatToTheFaceBelow)
{
    TVoDice* die = NewDie();
    for (int current = 1; current <= 6; ++current) {
        for (int k = 0; k < 6; ++k) {
            die->SetValue(static_cast<dice::TVoDiceValue>(current));
            GeneratorSeed = SeedDrawing(k);
            die->Roll();
            const int drawn = k + 1;
            const int expected = drawn != current ? drawn : current == 1 ? 2 : current - 1;
            EXPECT_EQ(die->Value(), expected) << "from " << current << " drawing " << drawn;
        }
    }
}

TEST_F(VoDice, RollNeverRepeatsAndAlwaysFiresOnChange)
{
    TVoDice* die = NewDie();
    int changes = 0;
    die->OnChange = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, die);
        ++changes;
    };
    GeneratorSeed = 2024;
    int previous = die->Value();
    for (int i = 0; i < 3000; ++i) {
        die->Roll();
        ASSERT_NE(die->Value(), previous) << "roll " << i;
        ASSERT_GE(die->Value(), 1);
        ASSERT_LE(die->Value(), 6);
        previous = die->Value();
    }
    EXPECT_EQ(changes, 3000);
}

TEST_F(VoDice, LongRunFrequenciesFollowTheRollRule)
{
    // Without a parent, so the run measures the rule rather than a million invalidations.
    auto* die = new TVoDice(form_);
    GeneratorSeed = 12345;
    constexpr int kRolls = 1000000;
    std::array<int, 7> counts{};
    for (int i = 0; i < kRolls; ++i) {
        die->Roll();
        ++counts[die->Value()];
    }
    // The stationary distribution of "never the same face, a repeat becomes the face below".
    const double expected[7] = {0, 817.0 / 4802, 131.0 / 686, 400.0 / 2401, 57.0 / 343, 8.0 / 49, 1.0 / 7};
    for (int face = 1; face <= 6; ++face) {
        EXPECT_NEAR(double(counts[std::size_t(face)]) / kRolls, expected[face], 0.002) << "face " << face;
    }
}

TEST_F(VoDice, SettingValueFiresOnChangeOnlyForANewValueAndReloadsTheFace)
{
    TVoDice* die = NewDie();
    int changes = 0;
    die->OnChange = [&](fw::TObject*) { ++changes; };
    die->SetValue(1);
    EXPECT_EQ(changes, 0);
    // (15, 15) lies on a top pip of the fours, on the bare top face of the one.
    EXPECT_EQ(die->Face()->Canvas()->GetPixel(15, 15) & 0xFFFFFF, 0xFFFFFFu);
    die->SetValue(4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(die->Value(), 4);
    EXPECT_EQ(die->Face()->Canvas()->GetPixel(15, 15) & 0xFFFFFF, 0u);
    EXPECT_EQ(die->Face()->BitCount(), 4);
    die->SetValue(4);
    EXPECT_EQ(changes, 1);
    die->SetValue(0);
    die->SetValue(7);
    EXPECT_EQ(die->Value(), 4) << "no face for values outside 1..6";
    EXPECT_EQ(changes, 1);
}

TEST_F(VoDice, SizeRuleRunsWhenAutoSizeChanges)
{
    TVoDice* die = NewDie(20, 30);
    die->SetBounds(20, 30, 100, 80);
    EXPECT_EQ(die->Width(), 100) << "a resize alone does not apply the rule";
    die->SetAutoSize(false);
    EXPECT_EQ(die->Width(), 80);
    EXPECT_EQ(die->Height(), 80);
    EXPECT_EQ(die->Left(), 20);
    EXPECT_EQ(die->Top(), 30);
    die->SetBounds(20, 30, 50, 90);
    die->SetAutoSize(true);
    EXPECT_EQ(die->Width(), 66);
    EXPECT_EQ(die->Height(), 66);
    EXPECT_EQ(die->Left(), 20);
    EXPECT_EQ(die->Top(), 30);
    die->SetBounds(20, 30, 146, 146);
    die->SetAutoSize(true);
    EXPECT_EQ(die->Width(), 146) << "no change, no rule";
}

TEST_F(VoDice, SizeRuleWaitsWhileTheLayoutIsRead)
{
    TVoDice* die = NewDie();
    die->SetState(fw::csLoading);
    die->SetBounds(10, 10, 146, 120);
    die->SetAutoSize(false);
    EXPECT_EQ(die->Width(), 146);
    EXPECT_EQ(die->Height(), 120);
    die->ClearState(fw::csLoading);
    die->AdjustSize();
    EXPECT_EQ(die->Width(), 120);
}

// Screen colour of a die's client point.
desktop::COLORREF At(TVoDice* die, int x, int y)
{
    return desktop::headless::ScreenColorAt(die->ClientToScreen({x, y})) & 0xFFFFFF;
}

constexpr desktop::COLORREF kFormColour = desktop::RGB(0x20, 0x60, 0xA0);

TEST_F(VoDice, PaintsTheFaceStretchedInsideAOnePixelFrame)
{
    form_->SetColor(static_cast<fw::TColor>(kFormColour));
    TVoDice* die = NewDie(10, 10);
    die->SetAutoSize(false);
    die->SetBounds(10, 10, 146, 146);
    ShowForm();
    EXPECT_EQ(die->Color(), static_cast<fw::TColor>(kFormColour)) << "the colour follows the parent";
    // Fuchsia corners of the face take the die's colour; so does the frame the erase left.
    for (auto [x, y] : {std::pair{1, 1}, {144, 1}, {1, 144}, {144, 144}, {0, 0}, {145, 145}}) {
        EXPECT_EQ(At(die, x, y), kFormColour) << x << "," << y;
    }
    // Each drawn pixel takes one face pixel: face (x, y) lands near 1 + 2.25 * (x, y).
    EXPECT_EQ(At(die, 72, 36), 0u) << "the top pip of the one";
    EXPECT_EQ(At(die, 24, 69), 0xC0C0C0u) << "the bare left face";
    EXPECT_EQ(At(die, 113, 36), 0xFFFFFFu) << "the bare top face";
    EXPECT_EQ(At(die, 1, 70), 0u) << "the left outline, at the face's first column";
    EXPECT_EQ(At(die, 144, 70), 0u) << "the right outline, at its last";
    EXPECT_EQ(At(die, 0, 70), kFormColour) << "the frame, not the face, beside the outline";
    EXPECT_EQ(At(die, 145, 70), kFormColour);
}

TEST_F(VoDice, RepaintsWithTheNewFaceAfterAValueChange)
{
    TVoDice* die = NewDie(10, 10);
    ShowForm();
    // On a 66-pixel die the face is drawn 1:1 at (1, 1).
    EXPECT_EQ(At(die, 1 + 15, 1 + 15), 0xFFFFFFu);
    die->SetValue(4);
    app_->ProcessMessages();
    EXPECT_EQ(At(die, 1 + 15, 1 + 15), 0u);
    EXPECT_EQ(At(die, 1 + 31, 1 + 15), 0xFFFFFFu) << "no pip in the middle of the four";
}

TEST_F(VoDice, FocusRectangleNeedsFocusShowFocusAndTabStop)
{
    TVoDice* die = NewDie(10, 10);
    auto* other = NewDie(100, 10);
    other->SetTabStop(true);
    die->SetTabStop(true);
    ShowForm();
    const desktop::Surface plain = desktop::headless::Screenshot();
    auto frameChanged = [&] {
        const desktop::Surface now = desktop::headless::Screenshot();
        const desktop::POINT origin = die->ClientToScreen({0, 0});
        int changed = 0;
        for (int i = 1; i < 65; ++i) {
            for (auto [x, y] : {std::pair{i, 1}, {i, 64}, {1, i}, {64, i}}) {
                changed += now.At(origin.x + x, origin.y + y) != plain.At(origin.x + x, origin.y + y);
            }
        }
        return changed;
    };
    die->SetFocus();
    app_->ProcessMessages();
    EXPECT_TRUE(die->Focused());
    EXPECT_EQ(frameChanged(), 0) << "ShowFocus is off";
    die->SetShowFocus(true);
    app_->ProcessMessages();
    EXPECT_GT(frameChanged(), 40) << "a dotted rectangle along the face's square";
    other->SetFocus();
    app_->ProcessMessages();
    EXPECT_EQ(frameChanged(), 0) << "losing the focus repaints without it";
    die->SetFocus();
    app_->ProcessMessages();
    EXPECT_GT(frameChanged(), 40);
    die->SetTabStop(false);
    die->Invalidate();
    app_->ProcessMessages();
    EXPECT_EQ(frameChanged(), 0) << "no focus rectangle without TabStop";
}

TEST_F(VoDice, LeftPressFocusesOnlyWithTabStopAndNeverRolls)
{
    TVoDice* die = NewDie(10, 10);
    auto* other = NewDie(100, 10);
    other->SetTabStop(true);
    ShowForm();
    other->SetFocus();
    int clicks = 0, doubleClicks = 0, downs = 0;
    desktop::POINT lastDown;
    die->OnClick = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, die);
        ++clicks;
    };
    die->OnDblClick = [&](fw::TObject*) { ++doubleClicks; };
    die->OnMouseDown = [&](fw::TObject*, fw::TMouseButton, fw::TShiftState, int x, int y) {
        lastDown = {x, y};
        ++downs;
    };
    desktop::headless::Click(die->ClientToScreen({20, 30}));
    app_->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(lastDown, (desktop::POINT{20, 30}));
    EXPECT_TRUE(other->Focused()) << "without TabStop the die does not take the focus";
    die->SetTabStop(true);
    // Far from the first click, so that it is not taken as a double click.
    desktop::headless::Click(die->ClientToScreen({50, 55}));
    app_->ProcessMessages();
    EXPECT_TRUE(die->Focused());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(lastDown, (desktop::POINT{50, 55}));
    desktop::headless::Click(die->ClientToScreen({50, 55}));
    app_->ProcessMessages();
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(die->Value(), 1) << "clicks do not roll";
    EXPECT_FALSE(die->Rotate());
}

TEST_F(VoDice, IsRegisteredWithItsPublishedProperties)
{
    const fw::TClassInfo* info = fw::FindClass("TVoDice");
    ASSERT_NE(info, nullptr);
    for (const char* name : {"AutoSize",
                             "AutoStopInterval",
                             "Interval",
                             "Rotate",
                             "ShowFocus",
                             "Value",
                             "OnChange",
                             "OnStart",
                             "OnStop",
                             "Color",
                             "ParentColor",
                             "Cursor",
                             "Enabled",
                             "Visible",
                             "Align",
                             "ShowHint",
                             "ParentShowHint",
                             "TabOrder",
                             "TabStop",
                             "OnClick",
                             "OnDblClick",
                             "Name",
                             "Tag",
                             "Left",
                             "Top",
                             "Width",
                             "Height",
                             "Hint",
                             "HelpContext"}) {
        EXPECT_NE(info->FindProperty(name), nullptr) << name;
    }
    // The layout reader's path: create through the class, set by name.
    auto* die = static_cast<TVoDice*>(info->create(form_));
    die->SetParent(form_);
    int changes = 0;
    info->FindProperty("OnChange")->setMethod(die, [&](fw::TObject*) { ++changes; });
    info->FindProperty("Value")->setOrdinal(die, 5);
    EXPECT_EQ(die->Value(), 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(info->FindProperty("Interval")->getOrdinal(die), 60);
    info->FindProperty("AutoSize")->setOrdinal(die, 0);
    EXPECT_FALSE(die->AutoSize());
}

TEST_F(VoDice, StartUpRegistersTheTwoCursors)
{
    const int hand = desktop::LoadCursorFromResource("VO_HANDCUR");
    const int drag = desktop::LoadCursorFromResource("VO_DRAGCUR");
    ASSERT_NE(hand, 0);
    ASSERT_NE(drag, 0);
    EXPECT_EQ(fw::Screen()->Cursors(dice::crVoHand), hand);
    EXPECT_EQ(fw::Screen()->Cursors(dice::crVoDrag), drag);
    TVoDice* die = NewDie();
    EXPECT_EQ(die->Cursor(), fw::crDefault) << "the die itself uses neither";
}

}  // namespace
