#pragma once

// TKelCustomExtSpinEdit: an integer mask edit with bounds, steps and an up/down button at its
// right end. Typing and steps change only the text; the committed value follows on a Value
// write and when the field loses the focus, clamped to the bounds.

#include "numedit/KelCustomMaskEdit.h"
#include "numedit/KelSpinButton.h"

namespace numedit {

class TKelCustomExtSpinEdit : public TKelCustomMaskEdit {
public:
    explicit TKelCustomExtSpinEdit(fw::TComponent* owner);
    ~TKelCustomExtSpinEdit() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelSpinButton* SpinButton() const { return button_; }
    int SpinBtnWidth() const { return spinBtnWidth_; }
    void SetSpinBtnWidth(int value);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    double Step() const { return step_; }
    void SetStep(double value) { step_ = value; }
    double PageAmount() const { return page_; }
    void SetPageAmount(double value) { page_ = value; }
    double CommittedValue() const { return committed_; }
    std::uint16_t Interval() const { return button_->Interval(); }
    void SetInterval(std::uint16_t value) { button_->SetInterval(value); }

    // The integer faces of the state: LineSize, PageSize, MinValue, MaxValue, Value.
    enum IntegerProperty { ipLineSize, ipPageSize, ipMinValue, ipMaxValue, ipValue };
    int GetIntegerProperty(IntegerProperty index);
    void SetIntegerProperty(IntegerProperty index, int value);

    void StepUp(double amount);
    void StepDown(double amount);
    virtual void SpinBtnUpClick();
    virtual void SpinBtnDownClick();

    // Offered every wheel message first; setting handled keeps the edit from stepping.
    std::function<void(fw::TObject* sender, int wheelDelta, desktop::POINT screen, bool& handled)> OnMouseWheel;
    // Fired once per full notch, before the step.
    fw::TNotifyEvent OnMouseWheelUp;
    fw::TNotifyEvent OnMouseWheelDown;
    fw::TNotifyEvent OnSpinBtnUpClick;
    fw::TNotifyEvent OnSpinBtnDownClick;

    // ---- Hooks ----
    bool CanChange(const std::string& s) override;
    void AdjustEditRect(desktop::RECT& rect) override;
    void EditKey(desktop::WORD& key, fw::TShiftState shift) override;
    // A spin edit's text is its value as the user reads it: a change of one is a change of both.
    void TextChangedAt(int pos) override;

protected:
    void WMKillFocus(fw::TWMKillFocus message) override;
    void WMMouseWheel(fw::TWMMouseWheel message) override;
    void WMMouseMove(fw::TWMMouse message) override;
    void CMMouseLeave(fw::TCMMouseLeave message) override;
    void CMEnabledChanged(fw::TWMNoParams message) override;
    void CtlXPChanged() override;
    void Loaded() override;

private:
    void WriteNumber(std::int64_t value);
    void RestoreCaret(int position);

    TKelSpinButton* button_ = nullptr;  // owned as a component of the edit
    int spinBtnWidth_ = -1;
    bool editorEnabled_ = true;
    double committed_ = 0;
    double page_ = 10;
    double step_ = 1;
    int wheelAccumulator_ = 0;
};

}  // namespace numedit
