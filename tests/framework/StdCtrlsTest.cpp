#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TextMeasure.h"
#include "desktop/Controls.h"
#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/backends/Headless.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

using desktop::headless::Click;
using desktop::headless::PressKey;

// The 8-point window font: 13 pixels high.
constexpr int kFontHeight = 13;

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form_->SetBounds(100, 100, 420, 300);
    }
    void TearDown() override
    {
        app_.reset();
        desktop::headless::Uninstall();
    }

    template <class T>
    T* Add(fw::TWinControl* parent, int left, int top, int width, int height)
    {
        auto* control = new T(form_);
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        return control;
    }
    void ShowForm()
    {
        form_->Show();
        app_->ProcessMessages();
    }
    void Pump() { app_->ProcessMessages(); }
    static desktop::POINT Center(fw::TControl* c) { return c->ClientToScreen({c->Width() / 2, c->Height() / 2}); }

    desktop::SIZE Extent(const std::string& text) { return MeasureText(*form_->Font(), text); }

    std::unique_ptr<fw::TApplication> app_;
    fw::TForm* form_ = nullptr;
};

// ---- Label ----

TEST_F(StdCtrlsTest, LabelDefaultsAndAutoSizeFollowTheCaption)
{
    auto* label = new fw::TLabel(form_);
    EXPECT_EQ(label->Width(), 65);
    EXPECT_EQ(label->Height(), 17);
    EXPECT_TRUE(label->AutoSize());
    EXPECT_TRUE(label->ShowAccelChar());
    EXPECT_FALSE(label->Transparent());
    EXPECT_FALSE(label->WordWrap());
    EXPECT_FALSE(label->IsWindowed());

    label->SetParent(form_);
    label->SetBounds(10, 20, 30, 30);
    label->SetCaption("ab");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top(), 20);
    EXPECT_EQ(label->Width(), Extent("ab").cx);
    EXPECT_EQ(label->Height(), kFontHeight);

    // A longer caption grows the label to the right.
    label->SetCaption("Lanza el dado");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Width(), Extent("Lanza el dado").cx);
    EXPECT_GT(label->Width(), Extent("ab").cx);

    // An empty caption keeps one line's height.
    label->SetCaption("");
    EXPECT_EQ(label->Width(), Extent(" ").cx);
    EXPECT_EQ(label->Height(), kFontHeight);

    // "&" marks an accelerator and takes no room; "&&" is one "&".
    label->SetCaption("&Datos");
    EXPECT_EQ(label->Width(), Extent("Datos").cx);
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), Extent("&Datos").cx);
}

TEST_F(StdCtrlsTest, LabelWithoutAutoSizeKeepsItsSize)
{
    auto* label = new fw::TLabel(form_);
    label->SetParent(form_);
    label->SetAutoSize(false);
    label->SetBounds(194, 19, 23, 13);
    label->SetCaption("a much longer caption than fits");
    EXPECT_EQ(label->Width(), 23);
    EXPECT_EQ(label->Height(), 13);
    // Switching AutoSize on measures at once.
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), Extent("a much longer caption than fits").cx);
}

TEST_F(StdCtrlsTest, RightJustifiedLabelKeepsItsRightEdge)
{
    auto* label = new fw::TLabel(form_);
    label->SetParent(form_);
    label->SetAlignment(fw::TAlignment::taRightJustify);
    label->SetBounds(100, 10, 50, 13);
    label->SetCaption("f. absoluta");
    EXPECT_EQ(label->Left() + label->Width(), 150);
    EXPECT_EQ(label->Width(), Extent("f. absoluta").cx);
}

TEST_F(StdCtrlsTest, WordWrappedLabelWrapsAtItsWidth)
{
    auto* label = new fw::TLabel(form_);
    label->SetParent(form_);
    label->SetBounds(10, 10, 80, 13);
    label->SetWordWrap(true);
    label->SetCaption("la probabilidad de obtener un valor cualquiera");
    EXPECT_LE(label->Width(), 80);
    EXPECT_GE(label->Height(), 3 * kFontHeight);
    EXPECT_EQ(label->Height() % kFontHeight, 0);
}

TEST_F(StdCtrlsTest, LabelPaintsItsCaptionOnItsColour)
{
    auto* label = new fw::TLabel(form_);
    label->SetParent(form_);
    label->SetBounds(10, 10, 0, 0);
    label->SetColor(fw::clYellow);
    label->Font()->SetColor(fw::clBlue);
    label->SetCaption("MMMM");
    ShowForm();
    int yellow = 0;
    int blue = 0;
    for (int y = 0; y < label->Height(); ++y) {
        for (int x = 0; x < label->Width(); ++x) {
            const auto c = desktop::headless::ScreenColorAt(label->ClientToScreen({x, y}));
            yellow += c == desktop::RGB(255, 255, 0);
            blue += c == desktop::RGB(0, 0, 255);
        }
    }
    EXPECT_GT(yellow, 0);
    EXPECT_GT(blue, 0);

    // Disabled: embossed in the highlight and shadow colours, no font colour left.
    label->SetEnabled(false);
    Pump();
    int shadow = 0;
    blue = 0;
    for (int y = 0; y < label->Height(); ++y) {
        for (int x = 0; x < label->Width(); ++x) {
            const auto c = desktop::headless::ScreenColorAt(label->ClientToScreen({x, y}));
            shadow += c == fw::ColorToRGB(fw::clBtnShadow);
            blue += c == desktop::RGB(0, 0, 255);
        }
    }
    EXPECT_GT(shadow, 0);
    EXPECT_EQ(blue, 0);
}

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsFocusControl)
{
    auto* first = Add<fw::TEdit>(form_, 10, 40, 100, 21);
    auto* edit = Add<fw::TEdit>(form_, 10, 80, 100, 21);
    auto* label = Add<fw::TLabel>(form_, 10, 10, 0, 0);
    label->SetCaption("&Valor");
    label->SetFocusControl(edit);
    ShowForm();
    first->SetFocus();
    Pump();
    PressKey('V', false, false, true);
    Pump();
    EXPECT_TRUE(edit->Focused());

    // Freeing the focus control leaves no dangling reference: the accelerator then does nothing.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
    first->SetFocus();
    PressKey('V', false, false, true);
    Pump();
    EXPECT_TRUE(first->Focused());
}

// ---- Edit ----

TEST_F(StdCtrlsTest, EditIsTwentyOnePixelsHighWhateverHeightWasSet)
{
    auto* edit = new fw::TEdit(form_);
    EXPECT_EQ(edit->Width(), 121);
    EXPECT_TRUE(edit->TabStop());
    EXPECT_TRUE(edit->AutoSelect());
    EXPECT_TRUE(edit->HideSelection());
    EXPECT_EQ(edit->Color(), fw::clWindow);
    edit->SetParent(form_);
    edit->SetBounds(10, 10, 43, 40);
    auto* flat = Add<fw::TEdit>(form_, 10, 60, 43, 40);
    flat->SetCtl3D(false);
    auto* free = Add<fw::TEdit>(form_, 10, 110, 43, 40);
    free->SetAutoSize(false);
    ShowForm();
    EXPECT_EQ(edit->Height(), 21);
    EXPECT_EQ(edit->Width(), 43);
    EXPECT_EQ(flat->Height(), kFontHeight + 6);
    EXPECT_EQ(free->Height(), 40);
    EXPECT_EQ(desktop::GetWindowLongPtr(edit->Handle(), desktop::GWL_EXSTYLE) & desktop::WS_EX_CLIENTEDGE,
              desktop::WS_EX_CLIENTEDGE);
    EXPECT_EQ(desktop::GetWindowLongPtr(flat->Handle(), desktop::GWL_STYLE) & desktop::WS_BORDER, desktop::WS_BORDER);
    // A bigger font makes a taller edit.
    edit->Font()->SetHeight(-20);
    EXPECT_GT(edit->Height(), 21);
}

TEST_F(StdCtrlsTest, TabbingIntoAnEditSelectsItsTextClickingDoesNot)
{
    auto* first = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    auto* second = Add<fw::TEdit>(form_, 10, 40, 100, 21);
    first->SetText("uno");
    second->SetText("segundo");
    ShowForm();
    first->SetFocus();
    Pump();
    PressKey(desktop::VK_TAB);
    Pump();
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelStart(), 0);
    EXPECT_EQ(second->SelLength(), 7);
    EXPECT_EQ(second->SelText(), "segundo");

    Click(first->ClientToScreen({80, 10}));
    Pump();
    ASSERT_TRUE(first->Focused());
    EXPECT_EQ(first->SelLength(), 0);

    // Without AutoSelect tabbing leaves the selection alone.
    second->SetAutoSelect(false);
    second->SetSelStart(2);
    PressKey(desktop::VK_TAB);
    Pump();
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelLength(), 0);
}

TEST_F(StdCtrlsTest, EditReportsChangesAndKeepsItsSettings)
{
    auto* edit = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    int changes = 0;
    edit->OnChange = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->SetMaxLength(4);
    ShowForm();
    EXPECT_EQ(changes, 0);
    edit->SetText("0");
    EXPECT_EQ(changes, 1);
    edit->SetFocus();
    edit->SelectAll();
    desktop::headless::TypeText("123456");
    Pump();
    EXPECT_EQ(edit->GetText(), "1234");
    EXPECT_GE(changes, 2);
    EXPECT_TRUE(edit->Modified());

    edit->SetReadOnly(true);
    desktop::headless::TypeText("9");
    Pump();
    EXPECT_EQ(edit->GetText(), "1234");

    // Recreating the window keeps text, limit and case rules.
    edit->SetReadOnly(false);
    edit->SetCharCase(fw::TEditCharCase::ecUpperCase);
    edit->SetText("");
    edit->SetFocus();
    desktop::headless::TypeText("abcdef");
    Pump();
    EXPECT_EQ(edit->GetText(), "ABCD");

    edit->SetSelStart(1);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->SelText(), "BC");
    edit->SetSelText("x");
    EXPECT_EQ(edit->GetText(), "AXD");  // replacing follows the case rule too
}

// Setting the text it already has changes nothing, however long the text; a text that differs
// only after its first sixty characters is a new text.
TEST_F(StdCtrlsTest, EditSetTextComparesTheWholeText)
{
    auto* edit = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    ShowForm();
    int changes = 0;
    edit->OnChange = [&](fw::TObject*) { ++changes; };
    auto* label = Add<fw::TLabel>(form_, 10, 40, 100, 17);
    for (const std::size_t length : {0u, 1u, 62u, 63u, 64u, 200u}) {
        const std::string text(length, 'x');
        edit->SetText(text + "y");
        const int before = changes;
        edit->SetText(text + "y");
        EXPECT_EQ(changes, before) << length;
        edit->SetText(text + "z");
        EXPECT_EQ(changes, before + 1) << length;
        EXPECT_EQ(edit->GetText(), text + "z");

        // A control without a window of its own compares the same way.
        label->SetCaption(text);
        label->SetCaption(text + "a");
        EXPECT_EQ(label->Caption(), text + "a") << length;
    }
}

// A style change rebuilds windows; the control that had the focus keeps it, also when the
// rebuilt window is its form's.
TEST_F(StdCtrlsTest, RebuildingWindowsKeepsTheFocusWhereItWas)
{
    Add<fw::TEdit>(form_, 10, 10, 100, 21);
    auto* edit = Add<fw::TEdit>(form_, 10, 40, 100, 21);
    ShowForm();
    edit->SetFocus();
    Pump();
    ASSERT_TRUE(edit->Focused());

    edit->SetCharCase(fw::TEditCharCase::ecUpperCase);
    EXPECT_TRUE(edit->Focused());
    form_->SetBorderStyle(fw::TFormBorderStyle::bsDialog);
    Pump();
    EXPECT_TRUE(edit->Focused());
}

// ---- Memo ----

TEST_F(StdCtrlsTest, MemoLinesAreItsText)
{
    auto* memo = new fw::TMemo(form_);
    EXPECT_EQ(memo->Width(), 185);
    EXPECT_EQ(memo->Height(), 89);
    EXPECT_FALSE(memo->AutoSize());
    EXPECT_TRUE(memo->WordWrap());
    EXPECT_TRUE(memo->WantReturns());
    EXPECT_FALSE(memo->WantTabs());
    memo->SetParent(form_);
    memo->SetBounds(10, 10, 161, 49);

    memo->Lines()->Add("la probabilidad de obtener un ");
    memo->Lines()->Add("valor cualquiera es 1/6 o ");
    memo->Lines()->Add("0,166666");
    EXPECT_EQ(memo->GetText(), "la probabilidad de obtener un \r\nvalor cualquiera es 1/6 o \r\n0,166666");
    ShowForm();
    EXPECT_EQ(memo->Height(), 49);
    ASSERT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "valor cualquiera es 1/6 o ");
    memo->Lines()->Delete(0);
    memo->Lines()->Insert(1, "x");
    EXPECT_EQ(memo->GetText(), "valor cualquiera es 1/6 o \r\nx\r\n0,166666");
    memo->SetText("a\r\n\r\nb\r\n");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "");
    EXPECT_THROW(memo->Lines()->Strings(3), fw::EListError);
    memo->Lines()->Clear();
    EXPECT_EQ(memo->Lines()->Count(), 0);
}

TEST_F(StdCtrlsTest, MemoTakesReturnsButTabLeavesIt)
{
    auto* memo = Add<fw::TMemo>(form_, 10, 10, 160, 60);
    auto* edit = Add<fw::TEdit>(form_, 10, 80, 100, 21);
    auto* button = Add<fw::TButton>(form_, 10, 110, 75, 25);
    button->SetDefault(true);
    int clicks = 0;
    button->OnClick = [&](fw::TObject*) { ++clicks; };
    ShowForm();
    memo->SetFocus();
    Pump();
    desktop::headless::TypeText("a");
    PressKey(desktop::VK_RETURN);
    desktop::headless::TypeText("b");
    Pump();
    EXPECT_EQ(memo->GetText(), "a\r\nb");
    EXPECT_EQ(clicks, 0);

    PressKey(desktop::VK_TAB);
    Pump();
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(memo->GetText(), "a\r\nb");

    // With WantTabs the memo keeps Tab and types it.
    memo->SetWantTabs(true);
    memo->SetFocus();
    Pump();
    PressKey(desktop::VK_TAB);
    Pump();
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->GetText(), "a\r\nb\t");
    memo->SetWantTabs(false);
    memo->SetText("a\r\nb");

    // Read-only: Enter inserts nothing.
    memo->SetReadOnly(true);
    memo->SetFocus();
    PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(memo->GetText(), "a\r\nb");

    // Without WantReturns Enter goes to the default button.
    memo->SetReadOnly(false);
    memo->SetWantReturns(false);
    memo->SetFocus();
    Pump();
    PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(memo->GetText(), "a\r\nb");
    EXPECT_EQ(clicks, 1);
}

// ---- Button ----

TEST_F(StdCtrlsTest, EnterClicksTheFocusedButtonOrElseTheDefaultOne)
{
    auto* edit = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    auto* plain = Add<fw::TButton>(form_, 10, 40, 75, 25);
    auto* byDefault = Add<fw::TButton>(form_, 100, 40, 75, 25);
    EXPECT_EQ(plain->Width(), 75);
    EXPECT_TRUE(plain->TabStop());
    EXPECT_FALSE(plain->Default());
    EXPECT_EQ(plain->ModalResult(), fw::mrNone);
    byDefault->SetDefault(true);
    int plainClicks = 0;
    int defaultClicks = 0;
    plain->OnClick = [&](fw::TObject*) { ++plainClicks; };
    byDefault->OnClick = [&](fw::TObject*) { ++defaultClicks; };
    ShowForm();

    plain->SetFocus();
    Pump();
    EXPECT_TRUE(plain->Active());
    EXPECT_FALSE(byDefault->Active());
    EXPECT_EQ(desktop::GetWindowLongPtr(byDefault->Handle(), desktop::GWL_STYLE) & desktop::BS_TYPEMASK,
              desktop::BS_PUSHBUTTON);
    PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(plainClicks, 1);
    EXPECT_EQ(defaultClicks, 0);

    // No button focused: the default button takes Enter, and is drawn as the default.
    edit->SetFocus();
    Pump();
    EXPECT_TRUE(byDefault->Active());
    EXPECT_EQ(desktop::GetWindowLongPtr(byDefault->Handle(), desktop::GWL_STYLE) & desktop::BS_TYPEMASK,
              desktop::BS_DEFPUSHBUTTON);
    PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(plainClicks, 1);
    EXPECT_EQ(defaultClicks, 1);

    // Not with a modifier held.
    PressKey(desktop::VK_RETURN, true);
    PressKey(desktop::VK_RETURN, false, true);
    Pump();
    EXPECT_EQ(defaultClicks, 1);

    // Space and the mouse click the focused button.
    plain->SetFocus();
    Pump();
    PressKey(desktop::VK_SPACE);
    Pump();
    EXPECT_EQ(plainClicks, 2);
    Click(Center(byDefault));
    Pump();
    EXPECT_EQ(defaultClicks, 2);
}

TEST_F(StdCtrlsTest, EscapeClicksTheCancelButton)
{
    auto* edit = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    auto* ok = Add<fw::TButton>(form_, 10, 40, 75, 25);
    auto* cancel = Add<fw::TButton>(form_, 100, 40, 75, 25);
    int okClicks = 0;
    int cancelClicks = 0;
    ok->OnClick = [&](fw::TObject*) { ++okClicks; };
    cancel->OnClick = [&](fw::TObject*) { ++cancelClicks; };
    ShowForm();
    edit->SetFocus();
    Pump();
    PressKey(desktop::VK_ESCAPE);
    Pump();
    EXPECT_EQ(cancelClicks, 0);
    cancel->SetCancel(true);
    PressKey(desktop::VK_ESCAPE);
    Pump();
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 0);
    // Escape works from another button too; Enter there clicks that button, not the cancel one.
    ok->SetFocus();
    Pump();
    PressKey(desktop::VK_ESCAPE);
    PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(cancelClicks, 2);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(StdCtrlsTest, ClickSetsTheFormsModalResultBeforeOnClick)
{
    auto* button = Add<fw::TButton>(form_, 10, 40, 75, 25);
    button->SetModalResult(fw::mrOk);
    fw::TModalResult seen = -1;
    button->OnClick = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, button);
        seen = form_->ModalResult();
    };
    ShowForm();
    Click(Center(button));
    Pump();
    EXPECT_EQ(seen, fw::mrOk);
    EXPECT_EQ(form_->ModalResult(), fw::mrOk);

    // Modal result 0 sets 0: nothing closes.
    button->SetModalResult(fw::mrNone);
    Click(Center(button));
    Pump();
    EXPECT_EQ(seen, fw::mrNone);
}

TEST_F(StdCtrlsTest, ButtonAcceleratorClicksIt)
{
    auto* edit = Add<fw::TEdit>(form_, 10, 10, 100, 21);
    auto* button = Add<fw::TButton>(form_, 10, 40, 75, 25);
    button->SetCaption("&Limpiar");
    int clicks = 0;
    button->OnClick = [&](fw::TObject*) { ++clicks; };
    ShowForm();
    edit->SetFocus();
    Pump();
    PressKey('L', false, false, true);
    Pump();
    EXPECT_EQ(clicks, 1);
}

// ---- Group box ----

TEST_F(StdCtrlsTest, GroupBoxClientAreaLiesBelowTheCaptionInsideTheFrame)
{
    auto* box = new fw::TGroupBox(form_);
    EXPECT_EQ(box->Width(), 185);
    EXPECT_EQ(box->Height(), 105);
    EXPECT_TRUE(box->HasStyle(fw::csAcceptsControls));
    box->SetParent(form_);
    box->SetBounds(20, 10, 145, 121);
    EXPECT_EQ(box->DisplayRect(), (desktop::RECT{2, kFontHeight + 2, 143, 119}));
    box->SetCtl3D(false);
    EXPECT_EQ(box->DisplayRect(), (desktop::RECT{1, kFontHeight + 1, 144, 120}));
    desktop::RECT r{0, 0, 100, 50};
    box->AdjustClientRect(r);
    EXPECT_EQ(r, (desktop::RECT{1, kFontHeight + 1, 99, 49}));
}

TEST_F(StdCtrlsTest, GroupBoxDrawsFrameAndCaptionAndHoldsControls)
{
    auto* box = Add<fw::TGroupBox>(form_, 20, 10, 145, 121);
    box->SetColor(fw::clYellow);
    box->SetCaption("Resultados");
    auto* edit = Add<fw::TEdit>(box, 46, 40, 43, 21);
    ShowForm();
    EXPECT_EQ(edit->Parent(), box);
    EXPECT_EQ(edit->ClientToScreen({0, 0}).x, box->ClientToScreen({0, 0}).x + 46 + 2);
    const int frameY = kFontHeight / 2;
    const auto at = [&](int x, int y) { return desktop::headless::ScreenColorAt(box->ClientToScreen({x, y})); };
    // The frame: shadow at half a text height, highlight one pixel below; the box colour inside.
    EXPECT_EQ(at(box->Width() - 20, frameY), fw::ColorToRGB(fw::clBtnShadow));
    EXPECT_EQ(at(box->Width() - 20, frameY + 1), fw::ColorToRGB(fw::clBtnHighlight));
    EXPECT_EQ(at(0, box->Height() / 2), fw::ColorToRGB(fw::clBtnShadow));
    EXPECT_EQ(at(20, box->Height() - 10), desktop::RGB(255, 255, 0));
    // The caption interrupts the frame line from x = 8 on.
    EXPECT_EQ(at(4, frameY), fw::ColorToRGB(fw::clBtnShadow));
    EXPECT_NE(at(9, frameY), fw::ColorToRGB(fw::clBtnShadow));
}

}  // namespace
