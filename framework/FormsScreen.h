#pragma once

// TScreen: the program's view of the display: its forms (most recently active first), the
// active form and control, the cursor table and the screen metrics.
//
// There is one screen object per program; Screen() returns it (nullptr when there is none).
// The application object creates it when none exists and destroys the one it created.

#include <map>
#include <vector>

#include "framework/ClassesComponent.h"
#include "framework/ControlsTypes.h"

namespace fw {

class TControl;
class TCustomForm;
class TWinControl;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* owner = nullptr);
    ~TScreen() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    int CustomFormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* CustomForms(int index) const;
    int FormCount() const { return CustomFormCount(); }
    TCustomForm* Forms(int index) const { return CustomForms(index); }

    TCustomForm* ActiveCustomForm() const { return activeForm_; }
    TCustomForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    TCustomForm* FocusedForm() const { return focusedForm_; }

    // A screen cursor other than crDefault overrides every control's cursor.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    // The handle for a cursor number; unknown numbers give the default cursor's handle.
    HCURSOR Cursors(int index) const;
    void RegisterCursor(int index, HCURSOR handle);

    int Width() const;
    int Height() const;
    // The display's resolution when the screen object was made; forms scale to it on load.
    int PixelsPerInch() const { return pixelsPerInch_; }

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void FormDestroying(TCustomForm* form);
    void ControlRemoving(const TControl* control);
    // The form whose control just received the focus moves to the front.
    void SetFocusState(TCustomForm* form, TWinControl* control);
    void SetFocusedForm(TCustomForm* form) { focusedForm_ = form; }

    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TCustomForm* focusedForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TCursor cursor_ = crDefault;
    std::map<int, HCURSOR> cursors_;
    int pixelsPerInch_ = 96;
};

TScreen* Screen();

}  // namespace fw
