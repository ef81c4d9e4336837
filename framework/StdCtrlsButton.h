#pragma once

// TButton: the desktop layer's push button. A click first sets the parent form's ModalResult
// to the button's, then fires OnClick. Enter clicks the active button (the focused one, or
// the Default button while no other button has the focus), Escape clicks a Cancel button,
// both without Shift, Ctrl or Alt; the form hands these keys round as CM_DIALOGKEY.

#include "framework/ControlsWinControl.h"
#include "framework/FormsForm.h"

namespace fw {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    ~TButton() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // Whether Enter clicks this button now (drawn with the default-button frame).
    bool Active() const { return active_; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void CNCommand(TWMCommand message) override;
    void CMDialogKey(TCMDialogKey message) override;
    void CMDialogChar(TCMDialogChar message) override;
    void CMFocusChanged(TCMFocusChanged message) override;
    // Switches between the push-button and default-push-button styles.
    void SetButtonStyle(bool isDefault);

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

}  // namespace fw
