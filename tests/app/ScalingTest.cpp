// The main window on a screen of twice the usual resolution: the layout grows by the text
// height its font really measures there, each control keeps its own sizing rule, and no text
// that shows whole at 96 pixels per inch is cut off.
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "AppTestSupport.h"
#include "app/FormulaPicture.h"
#include "desktop/Gdi.h"
#include "desktop/System.h"

namespace app::testing {
namespace {

using desktop::RECT;
using desktop::SIZE;

SIZE Extent(fw::TFont* font, const std::string& text)
{
    desktop::HDC dc = desktop::CreateCompatibleDC(nullptr);
    const desktop::HGDIOBJ old = desktop::SelectObject(dc, font->Handle());
    SIZE size{};
    desktop::GetTextExtentPoint32(dc, text, &size);
    desktop::SelectObject(dc, old);
    desktop::DeleteDC(dc);
    return size;
}

// One past the rightmost pixel the text inks when drawn at x = 0.
int InkRight(fw::TFont* font, const std::string& text)
{
    const SIZE extent = Extent(font, text);
    const int width = extent.cx + extent.cy;  // room for glyphs that overhang their advance
    desktop::HDC dc = desktop::CreateCompatibleDC(nullptr);
    desktop::HBITMAP bitmap = desktop::CreateCompatibleBitmap(dc, width, extent.cy);
    const desktop::HGDIOBJ oldBitmap = desktop::SelectObject(dc, bitmap);
    const desktop::HGDIOBJ oldFont = desktop::SelectObject(dc, font->Handle());
    desktop::PatBlt(dc, 0, 0, width, extent.cy, desktop::WHITENESS);
    desktop::SetBkMode(dc, desktop::TRANSPARENT);
    desktop::TextOut(dc, 0, 0, text);
    int right = 0;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < extent.cy; ++y) {
            if (desktop::GetPixel(dc, x, y) != desktop::RGB(255, 255, 255)) {
                right = x + 1;
            }
        }
    }
    desktop::SelectObject(dc, oldFont);
    desktop::SelectObject(dc, oldBitmap);
    desktop::DeleteObject(bitmap);
    desktop::DeleteDC(dc);
    return right;
}

bool Fits(SIZE text, int width, int height) { return text.cx <= width && text.cy <= height; }

RECT FormattingRect(fw::TWinControl* edit)
{
    RECT r{};
    desktop::SendMessage(edit->Handle(), desktop::EM_GETRECT, 0, fw::PointerToLParam(&r));
    return r;
}

bool Disjoint(const RECT& a, const RECT& b)
{
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

// What of the window's texts shows whole: "<control> <text>" for a text that fits where its
// control draws it, "<label> clear of <control>" for a label no sibling window covers.
std::set<std::string> TextsShownWhole(TForm1* form)
{
    // The texts the fields show during the experiment, not only the ones they open with.
    static const std::string kFieldSamples[] = {"0", "100000", "0,00", "0,167", "1,00"};
    std::set<std::string> whole;
    const auto record = [&](fw::TControl* c, const std::string& text, bool fits) {
        if (fits) whole.insert(c->Name() + " " + text);
    };
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* c = dynamic_cast<fw::TControl*>(form->Components(i));
        if (auto* label = dynamic_cast<fw::TLabel*>(c)) {
            record(c, label->Caption(), Fits(Extent(c->Font(), label->Caption()), c->Width(), c->Height()));
            RECT ink = c->BoundsRect();
            ink.right = ink.left + InkRight(c->Font(), label->Caption());
            for (int k = 0; k < c->Parent()->ControlCount(); ++k) {
                fw::TControl* sibling = c->Parent()->Controls(k);
                if (sibling->IsWindowed() && Disjoint(ink, sibling->BoundsRect())) {
                    whole.insert(c->Name() + " clear of " + sibling->Name());
                }
            }
        } else if (auto* memo = dynamic_cast<fw::TMemo*>(c)) {
            const RECT r = FormattingRect(memo);
            const int lines = memo->Lines()->Count();
            for (int k = 0; k < lines; ++k) {
                const std::string& line = memo->Lines()->Strings(k);
                record(c, line, Fits(Extent(c->Font(), line), r.Width(), r.Height() / lines));
            }
        } else if (dynamic_cast<fw::TCustomEdit*>(c) != nullptr || dynamic_cast<numedit::TKelBaseEdit*>(c) != nullptr) {
            const RECT r = FormattingRect(static_cast<fw::TWinControl*>(c));
            for (const std::string& text : kFieldSamples) {
                record(c, text, Fits(Extent(c->Font(), text), r.Width(), r.Height()));
            }
        } else if (dynamic_cast<fw::TButton*>(c) != nullptr) {
            const int edge = desktop::GetSystemMetrics(desktop::SM_CXEDGE);
            record(c, c->Caption(),
                   Fits(Extent(c->Font(), c->Caption()), c->Width() - 2 * edge, c->Height() - 2 * edge));
        } else if (dynamic_cast<fw::TGroupBox*>(c) != nullptr) {
            record(c, c->Caption(), Fits(Extent(c->Font(), c->Caption()), c->Width() - 8, c->Height()));
        }
    }
    return whole;
}

std::map<std::string, RECT> BoundsOfEveryControl(TForm1* form)
{
    std::map<std::string, RECT> bounds;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        if (auto* c = dynamic_cast<fw::TControl*>(form->Components(i))) {
            bounds[c->Name()] = c->BoundsRect();
        }
    }
    return bounds;
}

// The width of the black ink in the up arrow's quarter of a spin button, as the screen shows it;
// the frame's dark edges lie outside the quarter's inner part.
int UpArrowInkWidth(numedit::TKelSpinEdit* spin)
{
    fw::TControl* button = spin->SpinButton();
    const desktop::POINT origin = button->ClientToScreen({0, 0});
    int left = button->Width();
    int right = -1;
    for (int y = 2; y < button->Height() / 2; ++y) {
        for (int x = 2; x < button->Width() / 2; ++x) {
            if (desktop::headless::ScreenColorAt({origin.x + x, origin.y + y}) == desktop::RGB(0, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right - left + 1;
}

class ScalingTest : public ProgramTest {
protected:
    // Records the window as it opens at 96 pixels per inch, then starts the program again on
    // a screen of twice that.
    void RestartAtTwiceTheResolution()
    {
        stored_ = BoundsOfEveryControl(form_);
        storedClient_ = SIZE{form_->ClientWidth(), form_->ClientHeight()};
        wholeAt96_ = TextsShownWhole(form_);
        StopProgram();
        StartProgram(192);
    }

    std::map<std::string, RECT> stored_;
    SIZE storedClient_{};
    std::set<std::string> wholeAt96_;
};

TEST_F(ScalingTest, AtTheUsualResolutionTheLayoutIsUsedAsStored)
{
    EXPECT_EQ(fw::Screen()->PixelsPerInch(), 96);
    EXPECT_EQ(form_->PixelsPerInch(), 96);
    EXPECT_EQ(form_->Font()->GetHeight(), -11);
    EXPECT_EQ(form_->MeasureTextHeight(), 13);
    EXPECT_EQ(form_->Width(), 552);
    EXPECT_EQ(form_->Height(), 503);
    // A sample of each kind of control, as the layout stores them.
    EXPECT_EQ(form_->Label15->BoundsRect(), (RECT{8, 56, 8 + 53, 56 + 13}));
    EXPECT_EQ(form_->VoDice1->BoundsRect(), (RECT{16, 40, 16 + 146, 40 + 146}));
    EXPECT_EQ(form_->KelSpinEdit3->BoundsRect(), (RECT{6, 20, 6 + 44, 20 + 21}));
    EXPECT_EQ(form_->KelMaskEdit1->BoundsRect(), (RECT{264, 16, 264 + 65, 16 + 21}));
    EXPECT_EQ(form_->Edit10->BoundsRect(), (RECT{62, 54, 62 + 35, 54 + 21}));
    EXPECT_EQ(form_->GroupBox2->BoundsRect(), (RECT{360, 136, 360 + 129, 136 + 113}));
    EXPECT_EQ(form_->Button1->BoundsRect(), (RECT{8, 224, 8 + 161, 224 + 25}));
    EXPECT_EQ(form_->Image1->BoundsRect(), (RECT{16, 264, 16 + 441, 264 + 126}));
}

TEST_F(ScalingTest, AtTwiceTheResolutionEveryControlGrowsByTheMeasuredTextHeightOrItsOwnRule)
{
    RestartAtTwiceTheResolution();
    EXPECT_EQ(fw::Screen()->PixelsPerInch(), 192);
    EXPECT_EQ(form_->PixelsPerInch(), 192);
    EXPECT_EQ(form_->Font()->GetHeight(), -22);
    const int measured = Extent(form_->Font(), "0").cy;
    ASSERT_GT(measured, 13);
    const auto scaled = [measured](int stored) { return desktop::MulDiv(stored, measured, 13); };
    EXPECT_EQ(form_->ClientWidth(), scaled(storedClient_.cx));
    EXPECT_EQ(form_->ClientHeight(), scaled(storedClient_.cy));
    EXPECT_EQ(form_->Left(), 631);  // the window's own place is not scaled
    EXPECT_EQ(form_->Top(), 120);

    for (const auto& [name, was] : stored_) {
        auto* c = dynamic_cast<fw::TControl*>(form_->FindComponent(name));
        ASSERT_NE(c, nullptr) << name;
        if (dynamic_cast<fw::TTabSheet*>(c) != nullptr) {
            continue;  // the page control places its sheets
        }
        EXPECT_EQ(c->Left(), scaled(was.left)) << name;
        EXPECT_EQ(c->Top(), scaled(was.top)) << name;
        SIZE size{scaled(was.Width()), scaled(was.Height())};
        // Controls that size themselves by their content do so at the new size.
        if (auto* label = dynamic_cast<fw::TLabel*>(c); label != nullptr && label->AutoSize()) {
            size = Extent(c->Font(), label->Caption());
        } else if (dynamic_cast<fw::TEdit*>(c) != nullptr) {
            desktop::TEXTMETRIC metrics{};
            desktop::HDC dc = desktop::CreateCompatibleDC(nullptr);
            const desktop::HGDIOBJ old = desktop::SelectObject(dc, c->Font()->Handle());
            desktop::GetTextMetrics(dc, &metrics);
            desktop::SelectObject(dc, old);
            desktop::DeleteDC(dc);
            size.cy = metrics.tmHeight + 8 * desktop::GetSystemMetrics(desktop::SM_CYBORDER);
        } else if (auto* spin = dynamic_cast<numedit::TKelSpinEdit*>(c)) {
            size.cy = Extent(c->Font(), "Qp").cy * 5 / 4 + 5;
            // Its arrows fill the strip right of the text, square and as high as the field inside its edge.
            const fw::TControl* button = spin->SpinButton();
            EXPECT_EQ(button->Height(), spin->ClientHeight()) << name;
            EXPECT_EQ(button->Width(), button->Height()) << name;
            EXPECT_GE(button->Left(), FormattingRect(spin).right) << name;
        } else if (c == form_->Image1) {
            size = SIZE{2 * 441, 2 * 126};  // the formula as drawn for twice the resolution
        }
        EXPECT_EQ(c->Width(), size.cx) << name;
        EXPECT_EQ(c->Height(), size.cy) << name;
    }
}

TEST_F(ScalingTest, AtTwiceTheResolutionNoTextIsCutOffThatShowedWhole)
{
    RestartAtTwiceTheResolution();
    ASSERT_TRUE(wholeAt96_.contains("Label15 f. absoluta:"));  // the check sees the labels ...
    ASSERT_TRUE(wholeAt96_.contains("Label15 clear of Edit10"));
    ASSERT_TRUE(wholeAt96_.contains("KelMaskEdit1 0,167"));      // ... the fields ...
    ASSERT_TRUE(wholeAt96_.contains("Button2 lanzar n veces"));  // ... and the buttons
    const std::set<std::string> whole = TextsShownWhole(form_);
    for (const std::string& text : wholeAt96_) {
        EXPECT_TRUE(whole.contains(text)) << text;
    }
}

TEST_F(ScalingTest, TheFormulaPictureIsTheOneDrawnNearestToTheScreensScale)
{
    EXPECT_EQ(FormulaPercentFor(96), 100);
    EXPECT_EQ(FormulaPercentFor(120), 100);  // half-way: the smaller
    EXPECT_EQ(FormulaPercentFor(144), 150);
    EXPECT_EQ(FormulaPercentFor(230), 200);
    EXPECT_EQ(FormulaPercentFor(480), 300);

    RestartAtTwiceTheResolution();  // the image's size is checked with the others above
    auto* bitmap = form_->Image1->Picture()->Bitmap();
    ASSERT_EQ(bitmap->Width(), 882);
    ASSERT_EQ(bitmap->Height(), 252);
    // A picture stretched from the 96 pixels-per-inch one is made of 2 x 2 blocks of one colour;
    // the text drawn at this size has edges that split them.
    const desktop::Surface* pixels = desktop::BitmapSurface(bitmap->Handle());
    int splitBlocks = 0;
    for (int y = 0; y < 252; y += 2) {
        for (int x = 0; x < 882; x += 2) {
            const std::uint32_t p = pixels->At(x, y);
            if (pixels->At(x + 1, y) != p || pixels->At(x, y + 1) != p || pixels->At(x + 1, y + 1) != p) ++splitBlocks;
        }
    }
    EXPECT_GT(splitBlocks, 100);
}

TEST_F(ScalingTest, TheSpinArrowsGrowWithTheResolution)
{
    const int at96 = UpArrowInkWidth(form_->KelSpinEdit3);
    EXPECT_EQ(at96, 5);  // the arrow as the family draws it
    RestartAtTwiceTheResolution();
    form_->SetLeft(0);  // all of the window on the screen
    desktop::headless::PumpMessages();
    EXPECT_NEAR(UpArrowInkWidth(form_->KelSpinEdit3), 2 * at96, 1);
}

}  // namespace
}  // namespace app::testing
