// The message dialog: its layout from the font's average character size, the kinds and
// button sets, the process-wide caption width cache, and the modal show driven by keys
// injected from a thread timer while the dialog's loop runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "desktop/Messages.h"
#include "desktop/Resources.h"
#include "desktop/System.h"
#include "desktop/backends/Headless.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ResStrings.h"
#include "framework/StdCtrls.h"

namespace {

using fw::TMsgDlgBtn;
using fw::TMsgDlgType;

constexpr char kAverageCharSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The layout of the window font (X = 6, Y = 13).
constexpr int kHorzMargin = 12;
constexpr int kVertMargin = 13;
constexpr int kHorzSpacing = 15;
constexpr int kVertSpacing = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonSpacing = 6;
constexpr int kIconSize = 32;

struct FreeForm {
    void operator()(fw::TCustomForm* form) const { form->Free(); }
};
using Dialog = std::unique_ptr<fw::TMessageForm, FreeForm>;

Dialog Build(const std::string& text, TMsgDlgType kind, fw::TMsgDlgButtons buttons)
{
    return Dialog(fw::CreateMessageDialog(text, kind, buttons));
}

template <class T>
T* Part(fw::TComponent* form, const std::string& name)
{
    return dynamic_cast<T*>(form->FindComponent(name));
}

fw::TMessageForm* OpenDialog()
{
    fw::TApplication* app = fw::Application();
    for (int i = 0; app != nullptr && i < app->ComponentCount(); ++i) {
        if (auto* dialog = dynamic_cast<fw::TMessageForm*>(app->Components(i))) {
            return dialog;
        }
    }
    return nullptr;
}

// What runs inside the dialog's modal loop: a thread timer fires it once.
std::function<void()>& TimerAction()
{
    static std::function<void()> action;
    return action;
}

void RunTimerAction(desktop::HWND, desktop::UINT, std::uintptr_t id, desktop::DWORD)
{
    desktop::KillTimer(nullptr, id);
    std::function<void()> action = std::move(TimerAction());
    TimerAction() = nullptr;
    if (action) {
        action();
    }
}

// A dialog that never closes would hang the suite; ending the application ends its loop.
void StopHangingDialog(desktop::HWND, desktop::UINT, std::uintptr_t id, desktop::DWORD)
{
    desktop::KillTimer(nullptr, id);
    if (fw::Application() != nullptr) {
        fw::Application()->Terminate();
    }
}

class MessageDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
    }

    void TearDown() override
    {
        desktop::KillTimer(nullptr, watchdog_);  // left running when show() threw
        TimerAction() = nullptr;
        app_.reset();
        desktop::headless::Uninstall();
    }

    // Runs action once the modal loop that show starts is running.
    fw::TModalResult WhileShown(std::function<void()> action, const std::function<fw::TModalResult()>& show)
    {
        TimerAction() = std::move(action);
        desktop::SetTimer(nullptr, 0, 20, RunTimerAction);
        watchdog_ = desktop::SetTimer(nullptr, 0, 5000, StopHangingDialog);
        const fw::TModalResult result = show();
        desktop::KillTimer(nullptr, watchdog_);
        return result;
    }

    fw::TModalResult ShowWithKey(desktop::WORD key, fw::TMsgDlgButtons buttons)
    {
        return WhileShown(
            [key] { desktop::headless::PressKey(key); },
            [&] { return fw::MessageDlgPosHelp("Pick", TMsgDlgType::mtConfirmation, buttons, 0, -1, -1, ""); });
    }

    std::unique_ptr<fw::TApplication> app_;
    std::uintptr_t watchdog_ = 0;
};

TEST_F(MessageDialogTest, OneLineOkDialogUsesTheWindowFontLayout)
{
    Dialog dialog = Build("Hi", TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK});
    fw::TCanvas* canvas = dialog->Canvas();
    const desktop::SIZE sample = canvas->TextExtent(kAverageCharSample);
    ASSERT_EQ(sample.cx / 52, 6);
    ASSERT_EQ(sample.cy, 13);

    EXPECT_EQ(dialog->BorderStyle(), fw::TFormBorderStyle::bsDialog);
    EXPECT_EQ(dialog->Caption(), fw::Application()->Title());
    EXPECT_EQ(Part<fw::TImage>(dialog.get(), "Image"), nullptr);

    auto* message = Part<fw::TLabel>(dialog.get(), "Message");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->WordWrap());
    EXPECT_EQ(message->Caption(), "Hi");
    // The terminating zero is measured with the text but has no width.
    EXPECT_EQ(message->BoundsRect(),
              (desktop::RECT{kHorzMargin, kVertMargin, kHorzMargin + canvas->TextWidth("Hi"), kVertMargin + 13}));

    auto* ok = Part<fw::TButton>(dialog.get(), "OK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->ModalResult(), fw::mrOk);
    EXPECT_TRUE(ok->Default() && ok->Cancel());
    const int buttonTop = 13 + kVertMargin + kVertSpacing;
    EXPECT_EQ(ok->BoundsRect(),
              (desktop::RECT{kHorzMargin, buttonTop, kHorzMargin + kButtonWidth, buttonTop + kButtonHeight}));

    // Narrower than the button: the button decides the width.
    EXPECT_EQ(dialog->ClientWidth(), kButtonWidth + 2 * kHorzMargin);
    EXPECT_EQ(dialog->ClientHeight(), 13 + kButtonHeight + kVertSpacing + 2 * kVertMargin);
    EXPECT_GT(dialog->Width(), dialog->ClientWidth());
    EXPECT_EQ(dialog->Left(), desktop::GetSystemMetrics(desktop::SM_CXSCREEN) / 2 - dialog->Width() / 2);
    EXPECT_EQ(dialog->Top(), desktop::GetSystemMetrics(desktop::SM_CYSCREEN) / 2 - dialog->Height() / 2);
}

TEST_F(MessageDialogTest, KindWithIconPlacesImageTextAndButtonRow)
{
    const std::string text = "Save the changes before closing the experiment?";
    Dialog dialog = Build(text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
    EXPECT_EQ(dialog->Caption(), "Warning");

    auto* image = Part<fw::TImage>(dialog.get(), "Image");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->BoundsRect(),
              (desktop::RECT{kHorzMargin, kVertMargin, kHorzMargin + kIconSize, kVertMargin + kIconSize}));
    // It shows the system's warning icon: yellow inside the triangle, the corners transparent.
    auto* icon = dynamic_cast<fw::TIcon*>(image->Picture()->Graphic());
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(icon->Handle(), nullptr);
    EXPECT_EQ(icon->Width(), kIconSize);
    EXPECT_EQ(icon->Handle()->Canvas()->GetPixel(10, 25) & 0xFFFFFF, 0x00FFFFu);
    EXPECT_EQ(icon->Handle()->TransparentColor(), fw::clFuchsia);

    auto* message = Part<fw::TLabel>(dialog.get(), "Message");
    ASSERT_NE(message, nullptr);
    const int textWidth = dialog->Canvas()->TextWidth(text);
    EXPECT_EQ(message->BoundsRect(),
              (desktop::RECT{kHorzMargin + kIconSize + kHorzSpacing, kVertMargin,
                             kHorzMargin + kIconSize + kHorzSpacing + textWidth, kVertMargin + 13}));

    // The icon is taller than one line of text, so it sets the block height.
    const int blockWidth = textWidth + kHorzSpacing + kIconSize;
    const int groupWidth = 3 * kButtonWidth + 2 * kButtonSpacing;
    ASSERT_GT(blockWidth, groupWidth);
    EXPECT_EQ(dialog->ClientWidth(), blockWidth + 2 * kHorzMargin);
    EXPECT_EQ(dialog->ClientHeight(), kIconSize + kButtonHeight + kVertSpacing + 2 * kVertMargin);

    const int y = kIconSize + kVertMargin + kVertSpacing;
    int x = (dialog->ClientWidth() - groupWidth) / 2;
    for (const char* name : {"Yes", "No", "Cancel"}) {
        auto* button = Part<fw::TButton>(dialog.get(), name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->BoundsRect(), (desktop::RECT{x, y, x + kButtonWidth, y + kButtonHeight})) << name;
        x += kButtonWidth + kButtonSpacing;
    }
    auto* yes = Part<fw::TButton>(dialog.get(), "Yes");
    auto* no = Part<fw::TButton>(dialog.get(), "No");
    auto* cancel = Part<fw::TButton>(dialog.get(), "Cancel");
    EXPECT_EQ(yes->Caption(), "&Yes");
    EXPECT_EQ(no->Caption(), "&No");
    EXPECT_EQ(cancel->Caption(), "Cancel");
    EXPECT_EQ(yes->ModalResult(), fw::mrYes);
    EXPECT_EQ(no->ModalResult(), fw::mrNo);
    EXPECT_EQ(cancel->ModalResult(), fw::mrCancel);
    EXPECT_TRUE(yes->Default() && cancel->Cancel());
    EXPECT_FALSE(no->Default() || no->Cancel() || yes->Cancel() || cancel->Default());
}

TEST_F(MessageDialogTest, KindsCaptionAndIconAndButtonFallbacks)
{
    const std::pair<TMsgDlgType, const char*> kinds[] = {{TMsgDlgType::mtWarning, "Warning"},
                                                         {TMsgDlgType::mtError, "Error"},
                                                         {TMsgDlgType::mtInformation, "Information"},
                                                         {TMsgDlgType::mtConfirmation, "Confirm"}};
    for (const auto& [kind, caption] : kinds) {
        Dialog dialog = Build("x", kind, {TMsgDlgBtn::mbOK});
        EXPECT_EQ(dialog->Caption(), caption);
        EXPECT_NE(Part<fw::TImage>(dialog.get(), "Image"), nullptr) << caption;
    }

    // Without OK the default falls back to Yes and the cancel button to No.
    Dialog yesNo = Build("x", TMsgDlgType::mtCustom, {TMsgDlgBtn::mbNo, TMsgDlgBtn::mbYes});
    EXPECT_TRUE(Part<fw::TButton>(yesNo.get(), "Yes")->Default());
    EXPECT_TRUE(Part<fw::TButton>(yesNo.get(), "No")->Cancel());
    EXPECT_FALSE(Part<fw::TButton>(yesNo.get(), "Yes")->Cancel());

    // Then to Retry; with neither Cancel, No nor OK there is no cancel button.
    Dialog retry = Build("x", TMsgDlgType::mtError, {TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbIgnore});
    EXPECT_TRUE(Part<fw::TButton>(retry.get(), "Retry")->Default());
    for (const char* name : {"Abort", "Retry", "Ignore"}) {
        EXPECT_FALSE(Part<fw::TButton>(retry.get(), name)->Cancel()) << name;
    }

    // No buttons: the text alone sets the width.
    const std::string text = "Nothing to press here";
    Dialog none = Build(text, TMsgDlgType::mtCustom, {});
    EXPECT_EQ(none->ClientWidth(), none->Canvas()->TextWidth(text) + 2 * kHorzMargin);
    EXPECT_EQ(none->ControlCount(), 1);
}

TEST_F(MessageDialogTest, LongMessageWrapsAtHalfTheScreenWidth)
{
    const int half = desktop::GetSystemMetrics(desktop::SM_CXSCREEN) / 2;
    Dialog probe = Build("x", TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK});
    fw::TCanvas* canvas = probe->Canvas();
    // Between one and a half and two lines' worth of short words: exactly two wrapped lines.
    std::string text = "chance";
    while (canvas->TextWidth(text) < half * 3 / 2) {
        text += " chance";
    }
    const int lineHeight = canvas->TextHeight("A");

    Dialog dialog = Build(text, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK});
    auto* message = Part<fw::TLabel>(dialog.get(), "Message");
    ASSERT_NE(message, nullptr);
    EXPECT_LE(message->Width(), half);
    EXPECT_GT(message->Width(), half - canvas->TextWidth(" chance"));
    EXPECT_EQ(message->Height(), 2 * lineHeight);
    EXPECT_EQ(dialog->ClientWidth(), message->Width() + 2 * kHorzMargin);
    EXPECT_EQ(dialog->ClientHeight(), message->Height() + kButtonHeight + kVertSpacing + 2 * kVertMargin);
    EXPECT_EQ(Part<fw::TButton>(dialog.get(), "OK")->Top(), message->Height() + kVertMargin + kVertSpacing);
}

TEST_F(MessageDialogTest, ButtonCaptionWidthIsMeasuredOncePerProcess)
{
    Dialog first = Build("x", TMsgDlgType::mtCustom, {TMsgDlgBtn::mbYesToAll});
    const int cached = fw::MessageDialogButtonWidth(TMsgDlgBtn::mbYesToAll);
    // "Yes to &All" draws without its accelerator mark.
    EXPECT_EQ(cached, first->Canvas()->TextWidth("Yes to All") + 8);
    EXPECT_EQ(fw::MessageDialogButtonWidth(TMsgDlgBtn::mbYesToAll), cached);

    // A caption that would now measure far wider than the button leaves the cache alone.
    const std::string original = fw::SMsgDlgYesToAll.Text();
    const std::string wide = "Yes to every single one of them, always";
    ASSERT_GT(first->Canvas()->TextWidth(wide) + 8, std::max(kButtonWidth, cached));
    desktop::RegisterString(static_cast<desktop::UINT>(fw::SMsgDlgYesToAll.id), wide);
    Dialog second = Build("x", TMsgDlgType::mtCustom, {TMsgDlgBtn::mbYesToAll});
    desktop::RegisterString(static_cast<desktop::UINT>(fw::SMsgDlgYesToAll.id), original);

    EXPECT_EQ(fw::MessageDialogButtonWidth(TMsgDlgBtn::mbYesToAll), cached);
    auto* button = Part<fw::TButton>(second.get(), "YesToAll");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Caption(), wide);
    EXPECT_EQ(button->Width(), std::max(kButtonWidth, cached));
}

TEST_F(MessageDialogTest, EnterAndEscapeCloseTheOkDialogWithOk)
{
    EXPECT_EQ(ShowWithKey(desktop::VK_RETURN, {TMsgDlgBtn::mbOK}), fw::mrOk);
    EXPECT_EQ(ShowWithKey(desktop::VK_ESCAPE, {TMsgDlgBtn::mbOK}), fw::mrOk);
    // With Yes and No, Escape presses No.
    EXPECT_EQ(ShowWithKey(desktop::VK_ESCAPE, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}), fw::mrNo);
    EXPECT_EQ(OpenDialog(), nullptr);
}

TEST_F(MessageDialogTest, ShowMessageDialogIsACentredTitledOkBox)
{
    const int before = app_->ComponentCount();
    std::string caption, text;
    desktop::RECT bounds{};
    int controls = 0;
    WhileShown(
        [&] {
            if (fw::TMessageForm* dialog = OpenDialog(); dialog != nullptr && dialog->Showing()) {
                caption = dialog->Caption();
                text = Part<fw::TLabel>(dialog, "Message")->Caption();
                bounds = dialog->BoundsRect();
                controls = dialog->ControlCount();
            }
            desktop::headless::PressKey(desktop::VK_ESCAPE);
        },
        [] {
            fw::ShowMessageDialog("se ha lanzado el dado 10");
            return fw::mrNone;
        });

    EXPECT_EQ(caption, app_->Title());
    EXPECT_EQ(text, "se ha lanzado el dado 10");
    EXPECT_EQ(controls, 2);  // the text and OK
    EXPECT_EQ(bounds.left, desktop::GetSystemMetrics(desktop::SM_CXSCREEN) / 2 - bounds.Width() / 2);
    EXPECT_EQ(bounds.top, desktop::GetSystemMetrics(desktop::SM_CYSCREEN) / 2 - bounds.Height() / 2);
    EXPECT_EQ(app_->ComponentCount(), before);
}

TEST_F(MessageDialogTest, PositionedShowPlacesTheDialogAndHelpAsksForItsContext)
{
    int helpContext = -1;
    std::string helpFile;
    fw::SetDialogHelpHandler([&](int context, const std::string& file) {
        helpContext = context;
        helpFile = file;
    });
    desktop::POINT at{-1, -1};
    fw::TModalResult helpResult = -1;
    const fw::TModalResult result = WhileShown(
        [&] {
            if (fw::TMessageForm* dialog = OpenDialog()) {
                at = {dialog->Left(), dialog->Top()};
                Part<fw::TButton>(dialog, "Help")->Click();
                helpResult = dialog->ModalResult();
            }
            desktop::headless::PressKey(desktop::VK_RETURN);
        },
        [] {
            return fw::MessageDlgPosHelp("Need help?", TMsgDlgType::mtInformation,
                                         {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbHelp}, 42, 30, 40, "dice.hlp");
        });
    fw::SetDialogHelpHandler(nullptr);

    EXPECT_EQ(at, (desktop::POINT{30, 40}));
    EXPECT_EQ(helpContext, 42);
    EXPECT_EQ(helpFile, "dice.hlp");
    // Help does not close the dialog; Enter then presses OK.
    EXPECT_EQ(helpResult, fw::mrNone);
    EXPECT_EQ(result, fw::mrOk);
}

TEST_F(MessageDialogTest, DialogIsFreedWhenTheModalShowFails)
{
    const int before = app_->ComponentCount();
    bool raised = false;
    app_->OnMessage = [&](desktop::MSG&, bool&) {
        if (OpenDialog() != nullptr && !raised) {
            raised = true;
            throw std::runtime_error("broken loop");
        }
    };
    WhileShown([] { desktop::PostMessage(nullptr, desktop::WM_NULL, 0, 0); },
               [] {
                   EXPECT_THROW(fw::ShowMessageDialog("x"), std::runtime_error);
                   return fw::mrNone;
               });
    app_->OnMessage = nullptr;
    EXPECT_TRUE(raised);
    EXPECT_EQ(OpenDialog(), nullptr);
    EXPECT_EQ(app_->ComponentCount(), before);
}

}  // namespace
