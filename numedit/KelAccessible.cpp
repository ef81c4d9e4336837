#include "numedit/KelAccessible.h"

#include <cmath>

#include "numedit/KelBaseEdit.h"
#include "numedit/KelSpinEdit.h"

namespace numedit {

namespace {

TKelCustomSpinEdit* AsSpin(TKelBaseEdit* edit) { return dynamic_cast<TKelCustomSpinEdit*>(edit); }

}  // namespace

TKelEditAccessible::TKelEditAccessible(TKelBaseEdit* edit) : fw::TControlAccessible(edit), edit_(edit) {}

desktop::AccRole TKelEditAccessible::Role()
{
    return AsSpin(edit_) != nullptr ? desktop::AccRole::SpinButton : desktop::AccRole::Text;
}

desktop::AccStates TKelEditAccessible::States()
{
    desktop::AccStates states = ControlStates() | desktop::ACC_SINGLE_LINE;
    if (edit_->TabStop()) states |= desktop::ACC_FOCUSABLE;
    if (edit_->Focused()) states |= desktop::ACC_FOCUSED | desktop::ACC_FOCUSABLE;
    if (!edit_->ReadOnly()) states |= desktop::ACC_EDITABLE;
    return states;
}

std::optional<desktop::AccValue> TKelEditAccessible::Value()
{
    TKelCustomSpinEdit* spin = AsSpin(edit_);
    if (spin == nullptr) return std::nullopt;
    return desktop::AccValue{static_cast<double>(spin->Value()),
                             static_cast<double>(spin->GetIntegerProperty(TKelCustomExtSpinEdit::ipMinValue)),
                             static_cast<double>(spin->GetIntegerProperty(TKelCustomExtSpinEdit::ipMaxValue)),
                             spin->Step()};
}

bool TKelEditAccessible::SetValue(double value)
{
    TKelCustomSpinEdit* spin = AsSpin(edit_);
    const std::optional<desktop::AccValue> range = Value();
    // Only whole numbers inside the bounds: anything else is refused, not clamped.
    if (spin == nullptr || !edit_->Enabled() || edit_->ReadOnly() || value != std::floor(value) ||
        value < range->minimum || value > range->maximum) {
        return false;
    }
    spin->SetValue(static_cast<int>(value));
    return true;
}

std::string TKelEditAccessible::Text() { return edit_->GetText(); }

// The edit counts positions from 1; the model from 0.
int TKelEditAccessible::CaretOffset() { return edit_->CaretIndex() - 1; }

std::pair<int, int> TKelEditAccessible::Selection()
{
    if (edit_->SelLength() <= 0) return {0, 0};
    return {edit_->SelStart() - 1, edit_->SelStart() - 1 + edit_->SelLength()};
}

bool TKelEditAccessible::SetText(const std::string& text)
{
    if (!edit_->Enabled() || edit_->ReadOnly()) return false;
    edit_->SetText(text);
    return true;
}

}  // namespace numedit
