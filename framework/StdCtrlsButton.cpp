#include "framework/StdCtrlsButton.h"

#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "framework/ClassesBuilder.h"
#include "framework/StdCtrlsText.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 75;
constexpr int kDefaultHeight = 25;

}  // namespace

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // The desktop button tracks the mouse itself and reports clicks as BN_CLICKED.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
    SetTabStop(true);
}

TButton::~TButton() = default;

const TClassInfo& TButton::Info()
{
    static const TClassInfo info = ClassBuilder<TButton, TWinControl>("TButton")
                                       .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel)
                                       .Boolean("Default", &TButton::Default, &TButton::SetDefault)
                                       .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                                       .Build();
    return info;
}

void TButton::SetDefault(bool value)
{
    if (default_ == value) {
        return;
    }
    default_ = value;
    // Whether the button is active now depends on which control has the focus.
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form != nullptr ? form->ActiveControl() : nullptr;
    active_ = dynamic_cast<TButton*>(focused) != nullptr ? focused == this : default_;
    SetButtonStyle(active_);
}

void TButton::Click()
{
    if (TCustomForm* form = GetParentForm(this)) {
        form->SetModalResult(modalResult_);
    }
    TWinControl::Click();
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    CreateSubClass(params, desktop::kButtonClass);
    params.Style |= active_ ? desktop::BS_DEFPUSHBUTTON : desktop::BS_PUSHBUTTON;
}

void TButton::CreateWnd()
{
    TWinControl::CreateWnd();
    SetButtonStyle(active_);
}

void TButton::CNCommand(TWMCommand message)
{
    if (message.NotifyCode() == desktop::BN_CLICKED) {
        Click();
        return;
    }
    TWinControl::CNCommand(message);
}

void TButton::CMDialogKey(TCMDialogKey message)
{
    const desktop::WORD key = message.CharCode();
    const bool wanted = (key == desktop::VK_RETURN && active_) || (key == desktop::VK_ESCAPE && cancel_);
    if (wanted && message.ShiftState() == 0 && CanFocus()) {
        Click();
        message.SetResult(1);
        return;
    }
    TWinControl::CMDialogKey(message);
}

void TButton::CMDialogChar(TCMDialogChar message)
{
    if (stdctrls::IsAccel(message.CharCode(), Caption()) && CanFocus()) {
        Click();
        message.SetResult(1);
        return;
    }
    TWinControl::CMDialogChar(message);
}

void TButton::CMFocusChanged(TCMFocusChanged message)
{
    TWinControl* focused = message.Sender();
    // A focused button takes Enter itself; otherwise the default button does.
    active_ = dynamic_cast<TButton*>(focused) != nullptr ? focused == this : default_;
    SetButtonStyle(active_);
    TWinControl::CMFocusChanged(message);
}

void TButton::SetButtonStyle(bool isDefault)
{
    if (!HandleAllocated()) {
        return;
    }
    const desktop::DWORD style = isDefault ? desktop::BS_DEFPUSHBUTTON : desktop::BS_PUSHBUTTON;
    const auto current = static_cast<desktop::DWORD>(desktop::GetWindowLongPtr(Handle(), desktop::GWL_STYLE));
    if ((current & desktop::BS_TYPEMASK) != style) {
        Perform(desktop::BM_SETSTYLE, style, 1);
    }
}

}  // namespace fw
