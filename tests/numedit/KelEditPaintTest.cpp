#include <gtest/gtest.h>

#include <map>

#include "KelEditTestSupport.h"
#include "desktop/Caret.h"
#include "desktop/Surface.h"
#include "desktop/SysColors.h"

namespace numedit::testing {
namespace {

// Counts the colours of the screen's pixels inside a client rectangle of a control.
std::map<desktop::COLORREF, int> ColoursIn(fw::TControl* control, const desktop::RECT& client)
{
    const desktop::Surface screen = desktop::headless::Screenshot();
    const desktop::POINT origin = control->ClientToScreen({0, 0});
    std::map<desktop::COLORREF, int> counts;
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            ++counts[desktop::ColorFromPixel(screen.At(origin.x + x, origin.y + y))];
        }
    }
    return counts;
}

int Count(const std::map<desktop::COLORREF, int>& counts, fw::TColor colour)
{
    auto it = counts.find(fw::ColorToRGB(colour));
    return it == counts.end() ? 0 : it->second;
}

// Notes the desktop's blink time while the text is painted.
class BlinkEdit : public TKelCustomEdit {
public:
    using TKelCustomEdit::TKelCustomEdit;
    std::vector<desktop::UINT> blinkWhilePainting;
    void PaintExtra(fw::TCanvas&, const desktop::RECT&) override
    {
        blinkWhilePainting.push_back(desktop::GetCaretBlinkTime());
    }
};

using KelEditLayout = EditTest;

TEST_F(KelEditLayout, AFocusedWindowsEditOfTheMainWindowsSize)
{
    EXPECT_EQ(edit_->Bevel()->Mode(), TKelBevelMode::bmWindows);
    EXPECT_EQ(edit_->Bevel()->Ext(), 0);
    const desktop::RECT client = edit_->ClientRect();
    EXPECT_EQ(client.Width(), 61);
    EXPECT_EQ(client.Height(), 17);
    EXPECT_EQ(edit_->EditRect(), (desktop::RECT{0, 0, 60, 17}));
    EXPECT_EQ(edit_->TextRect(), (desktop::RECT{1, 1, 59, 16}));
    desktop::RECT rect{};
    edit_->Perform(desktop::EM_GETRECT, 0, fw::PointerToLParam(&rect));
    EXPECT_EQ(rect, edit_->TextRect());
    const desktop::CaretState caret = desktop::GetCaretState();
    EXPECT_EQ(caret.owner, edit_->WindowHandle());
    EXPECT_EQ(caret.rect.Width(), 1);
    EXPECT_EQ(caret.rect.Height(), 13);
    EXPECT_EQ(caret.rect.left, 1);
    EXPECT_EQ(caret.rect.top, 1);
    // The off-screen bitmap exists only while focused.
    ASSERT_NE(edit_->Buffer(), nullptr);
    NewChild<fw::TCustomControl>(10, 40)->SetFocus();
    Pump();
    EXPECT_EQ(edit_->Buffer(), nullptr);
}

TEST_F(KelEditLayout, NarrowHeightAndCustomButtonsReshapeTheRectangles)
{
    edit_->SetOptions(eoNarrowHeight);
    EXPECT_EQ(edit_->TextRect(), (desktop::RECT{1, 0, 59, 17}));
    edit_->CustomButtons()->AddButton();
    edit_->CustomButtons()->AddButton();
    Pump();
    EXPECT_EQ(edit_->EditRect().right, 61 - (2 * 16 + 1));
    EXPECT_EQ(edit_->CustomButtons()->Buttons(1)->BoundsRect().left, edit_->EditRect().right + 1 + 16);
    EXPECT_EQ(edit_->CustomButtons()->Buttons(1)->BoundsRect().top, 0);
}

TEST_F(KelEditLayout, ADrawnBevelDeflatesTheFrameOnEverySide)
{
    edit_->Bevel()->SetMode(TKelBevelMode::bmStandard);
    edit_->Bevel()->SetStandardStyle(TKelBorderStyle::lsLowered);
    Pump();
    // No system edge now: the whole control is client area.
    EXPECT_EQ(edit_->ClientRect().Width(), 65);
    EXPECT_EQ(edit_->EditRect(), (desktop::RECT{2, 2, 62, 19}));
    EXPECT_EQ(edit_->TextRect(), (desktop::RECT{3, 3, 61, 18}));
}

TEST_F(KelEditLayout, BlinkTimeIsTheEditsWhileShownAndTheOldOneOtherwise)
{
    auto* plain = NewChild<fw::TCustomControl>(100, 40);
    plain->SetFocus();
    Pump();
    desktop::SetCaretBlinkTime(400);
    auto* edit = NewChild<BlinkEdit>(10, 40);
    edit->Caret()->SetBlinkRate(530);
    edit->SetText("12");
    edit->SetFocus();
    Pump();
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 530u);
    edit->blinkWhilePainting.clear();
    edit->SelectAll();
    ASSERT_FALSE(edit->blinkWhilePainting.empty());
    EXPECT_EQ(edit->blinkWhilePainting.back(), 400u);
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 530u);
    plain->SetFocus();
    Pump();
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
    edit->SetFocus();
    Pump();
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 530u);
    delete edit;
    EXPECT_EQ(desktop::GetCaretBlinkTime(), 400u);
}

TEST_F(KelEditLayout, PrefixWidthsMatchMeasuringEachPrefix)
{
    fw::TBitmap bitmap;
    bitmap.SetSize(10, 10);
    fw::TCanvas* canvas = bitmap.Canvas();
    canvas->SetFont(edit_->Font());
    const std::string text = "Wil1 x,0Q";
    edit_->SetText(text);
    for (int tracing : {0, 2}) {
        edit_->Font3D()->SetTracing(tracing);
        desktop::SetTextCharacterExtra(canvas->Handle(), tracing);
        for (int i = 0; i <= static_cast<int>(text.size()); ++i) {
            EXPECT_EQ(edit_->PrefixWidth(i), canvas->TextWidth(text.substr(0, static_cast<std::size_t>(i))))
                << "tracing " << tracing << " prefix " << i;
        }
    }
    // The cache follows text changes.
    edit_->Font3D()->SetTracing(0);
    desktop::SetTextCharacterExtra(canvas->Handle(), 0);
    edit_->SetText("ii");
    EXPECT_EQ(edit_->PrefixWidth(5), canvas->TextWidth("ii"));
    // Positions are those of the masked text.
    edit_->SetText("1234");
    edit_->Perform(desktop::EM_SETPASSWORDCHAR, 'W', 0);
    EXPECT_EQ(edit_->PrefixWidth(4), canvas->TextWidth("WWWW"));
}

TEST_F(KelEditLayout, EmptyTextPutsTheCaretAtTheAlignedEdge)
{
    const desktop::RECT& tr = edit_->TextRect();
    desktop::POINT p{};
    edit_->SetAlignment(fw::TAlignment::taRightJustify);
    desktop::GetCaretPos(&p);
    EXPECT_EQ(p.x, tr.right);
    edit_->SetAlignment(fw::TAlignment::taCenter);
    desktop::GetCaretPos(&p);
    EXPECT_EQ(p.x, tr.left + (tr.right - tr.left) / 2);
    edit_->SetAlignment(fw::TAlignment::taLeftJustify);
    desktop::GetCaretPos(&p);
    EXPECT_EQ(p.x, tr.left);
}

TEST_F(KelEditLayout, TypingPastTheRightEdgeScrollsAndHomeScrollsBack)
{
    const desktop::RECT& tr = edit_->TextRect();
    Type(std::string(20, 'W'));
    EXPECT_GT(edit_->ScrollOffset(), 0);
    desktop::POINT p{};
    desktop::GetCaretPos(&p);
    EXPECT_EQ(p.x, tr.right - 2);
    Key(desktop::VK_HOME);
    EXPECT_EQ(edit_->ScrollOffset(), 0);
    desktop::GetCaretPos(&p);
    EXPECT_EQ(p.x, tr.left);
    // Backspacing to empty resets the scroll too.
    Key(desktop::VK_END);
    for (int i = 0; i < 20; ++i) {
        Key(desktop::VK_BACK);
    }
    EXPECT_EQ(edit_->RawText(), "");
    EXPECT_EQ(edit_->ScrollOffset(), 0);
}

TEST_F(KelEditLayout, AutoSizeFitsTheHeightToTheFont)
{
    edit_->SetBounds(10, 10, 20, 40);
    edit_->SetAutoSize(true);
    // 13 * 5 / 4 + 5 for the system border.
    EXPECT_EQ(edit_->Height(), 21);
    EXPECT_EQ(edit_->Width(), 30);
    EXPECT_EQ(edit_->Left(), 10);
    edit_->Font()->SetHeight(-24);
    EXPECT_EQ(edit_->Height(), edit_->TextHeightOf("Qp") * 5 / 4 + 5);
    EXPECT_GT(edit_->Height(), 21);
    // The caret follows the font.
    EXPECT_EQ(edit_->Caret()->FontHeight(), edit_->TextHeightOf("Qp"));
}

using KelEditPixels = EditTest;

TEST_F(KelEditPixels, TextInTheFontColourOnTheWindowColour)
{
    edit_->SetText("WWWW");
    NewChild<fw::TCustomControl>(10, 40)->SetFocus();
    Pump();
    const auto colours = ColoursIn(edit_, edit_->EditRect());
    EXPECT_GT(Count(colours, edit_->Font()->GetColor()), 10);
    EXPECT_GT(Count(colours, fw::clWindow), 300);
    EXPECT_EQ(Count(colours, fw::clHighlight), 0);
}

TEST_F(KelEditPixels, SelectionInTheHighlightColours)
{
    edit_->SetText("WWWW");
    Select(2, 2);
    Pump();
    const auto colours = ColoursIn(edit_, edit_->EditRect());
    EXPECT_GT(Count(colours, fw::clHighlight), 50);
    EXPECT_GT(Count(colours, fw::clHighlightText), 10);
    EXPECT_GT(Count(colours, edit_->Font()->GetColor()), 10);  // the unselected part
    // The highlight covers exactly the selected characters.
    const int left = edit_->TextRect().left + edit_->PrefixWidth(1);
    const int right = edit_->TextRect().left + edit_->PrefixWidth(3);
    const auto outside = ColoursIn(edit_, {0, 0, left, 17});
    EXPECT_EQ(Count(outside, fw::clHighlight), 0);
    const auto inside = ColoursIn(edit_, {left, 1, right, 14});
    EXPECT_EQ(Count(inside, edit_->Font()->GetColor()), 0);
}

TEST_F(KelEditPixels, DisabledTextIsGray)
{
    edit_->SetText("WWWW");
    edit_->SetEnabled(false);
    Pump();
    const auto colours = ColoursIn(edit_, edit_->EditRect());
    EXPECT_GT(Count(colours, fw::clGrayText), 10);
    EXPECT_EQ(Count(colours, edit_->Font()->GetColor()), 0);
    EXPECT_GT(Count(colours, fw::clWindow), 300);
}

TEST_F(KelEditPixels, UnfocusedSelectionIsPaintedOnlyWithoutHideSelection)
{
    auto* other = NewChild<TKelCustomEdit>(10, 40);
    edit_->SetText("WWWW");
    edit_->SelectAll();
    other->SetFocus();
    Pump();
    EXPECT_TRUE(edit_->SelectionHidden());
    EXPECT_EQ(edit_->SelLength(), 4);  // kept, only not shown
    EXPECT_EQ(Count(ColoursIn(edit_, edit_->EditRect()), fw::clHighlight), 0);

    other->SetHideSelection(false);
    other->SetText("WWWW");
    other->SelectAll();
    edit_->SetFocus();
    Pump();
    EXPECT_FALSE(other->SelectionHidden());
    EXPECT_GT(Count(ColoursIn(other, other->EditRect()), fw::clHighlight), 50);
}

TEST_F(KelEditPixels, AScrolledTextLooksAsIfDrawnWhole)
{
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += static_cast<char>('A' + i % 26);
        text += 'j';
    }
    Type(text);
    Key(desktop::VK_LEFT);
    Key(desktop::VK_LEFT);
    ASSERT_GT(edit_->ScrollOffset(), 0);
    const desktop::RECT tr = edit_->TextRect();

    // The whole text drawn once, shifted by the scroll offset and clipped to the text rectangle.
    fw::TBitmap reference;
    reference.SetSize(edit_->ClientRect().Width(), edit_->ClientRect().Height());
    fw::TCanvas* canvas = reference.Canvas();
    canvas->Brush()->SetColor(fw::clWindow);
    canvas->FillRect({0, 0, reference.Width(), reference.Height()});
    canvas->SetFont(edit_->Font());
    desktop::HDC dc = canvas->Handle();
    desktop::IntersectClipRect(dc, tr.left, tr.top, tr.right, tr.bottom);
    desktop::SetBkMode(dc, desktop::TRANSPARENT);
    desktop::RECT r{tr.left - edit_->ScrollOffset(), tr.top, tr.right, tr.bottom};
    desktop::DrawText(dc, text, -1, &r, desktop::DT_SINGLELINE | desktop::DT_NOPREFIX);

    const desktop::Surface screen = desktop::headless::Screenshot();
    const desktop::POINT origin = edit_->ClientToScreen({0, 0});
    int differing = 0;
    for (int y = tr.top; y < tr.bottom; ++y) {
        for (int x = tr.left; x < tr.right; ++x) {
            differing += desktop::ColorFromPixel(screen.At(origin.x + x, origin.y + y)) != canvas->GetPixel(x, y);
        }
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace numedit::testing
