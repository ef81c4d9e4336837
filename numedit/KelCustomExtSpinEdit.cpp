#include "numedit/KelCustomExtSpinEdit.h"

#include <cmath>

#include "framework/ClassesBuilder.h"

namespace numedit {

namespace {

constexpr int kWheelNotch = 120;

// Half-way amounts go to the even neighbour.
std::int64_t RoundEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

}  // namespace

TKelCustomExtSpinEdit::TKelCustomExtSpinEdit(fw::TComponent* owner) : TKelCustomMaskEdit(owner)
{
    button_ = new TKelSpinButton(this);
    button_->SetCtlXP(CtlXP());
    button_->SetParent(this);
    button_->SetColor(fw::clBtnFace);
    button_->SetCursor(fw::crArrow);
    button_->SetHasDownHalf(true);
    button_->OnUpClick = [this](fw::TObject*) { SpinBtnUpClick(); };
    button_->OnDownClick = [this](fw::TObject*) { SpinBtnDownClick(); };
    SetMaskType(TKelMaskType::meInteger);
    SetIntegerProperty(ipMinValue, 0);
    SetIntegerProperty(ipMaxValue, 100);
    WriteNumber(0);
}

TKelCustomExtSpinEdit::~TKelCustomExtSpinEdit()
{
    button_->OnUpClick = nullptr;
    button_->OnDownClick = nullptr;
}

const fw::TClassInfo& TKelCustomExtSpinEdit::Info()
{
    using C = TKelCustomExtSpinEdit;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelCustomMaskEdit>("TKelCustomExtSpinEdit")
            .Integer(
                "Interval", [](C* c) { return static_cast<int>(c->Interval()); },
                [](C* c, int v) { c->SetInterval(static_cast<std::uint16_t>(v)); })
            .Integer("SpinBtnWidth", &C::SpinBtnWidth, &C::SetSpinBtnWidth)
            .Integer(
                "SpinBtnColor", [](C* c) { return c->SpinButton()->Color(); },
                [](C* c, int v) { c->SpinButton()->SetColor(v); })
            .Boolean(
                "SpinBtnDiag", [](C* c) { return c->SpinButton()->Diagonal(); },
                [](C* c, bool v) { c->SpinButton()->SetDiagonal(v); })
            .Integer(
                "SpinBtnHotColor", [](C* c) { return c->SpinButton()->HotColor(); },
                [](C* c, int v) { c->SpinButton()->SetHotColor(v); })
            .Float(
                "Step", [](C* c) { return static_cast<long double>(c->Step()); },
                [](C* c, long double v) { c->SetStep(static_cast<double>(v)); })
            .Boolean("EditorEnabled", &C::EditorEnabled, &C::SetEditorEnabled)
            .Integer(
                "LineSize", [](C* c) { return c->GetIntegerProperty(ipLineSize); },
                [](C* c, int v) { c->SetIntegerProperty(ipLineSize, v); })
            .Integer(
                "PageSize", [](C* c) { return c->GetIntegerProperty(ipPageSize); },
                [](C* c, int v) { c->SetIntegerProperty(ipPageSize, v); })
            .Integer(
                "MinValue", [](C* c) { return c->GetIntegerProperty(ipMinValue); },
                [](C* c, int v) { c->SetIntegerProperty(ipMinValue, v); })
            .Integer(
                "MaxValue", [](C* c) { return c->GetIntegerProperty(ipMaxValue); },
                [](C* c, int v) { c->SetIntegerProperty(ipMaxValue, v); })
            .String("Suffix", &C::Suffix, &C::SetSuffix)
            .Event("OnSpinBtnUpClick", [](C* c, fw::TNotifyEvent e) { c->OnSpinBtnUpClick = std::move(e); })
            .Event("OnSpinBtnDownClick", [](C* c, fw::TNotifyEvent e) { c->OnSpinBtnDownClick = std::move(e); })
            .Build();
    return info;
}

void TKelCustomExtSpinEdit::SetSpinBtnWidth(int value)
{
    if (value == spinBtnWidth_) {
        return;
    }
    spinBtnWidth_ = value;
    if (HandleAllocated()) {
        Perform(desktop::WM_SIZE, 0, 0);
        Invalidate();
    }
}

// ---- Value model ----

int TKelCustomExtSpinEdit::GetIntegerProperty(IntegerProperty index)
{
    switch (index) {
        case ipLineSize: return static_cast<int>(step_);
        case ipPageSize: return static_cast<int>(page_);
        case ipMinValue: return static_cast<int>(RangeMin());
        case ipMaxValue: return static_cast<int>(RangeMax());
        case ipValue: return AsInteger();
    }
    return 0;
}

void TKelCustomExtSpinEdit::SetIntegerProperty(IntegerProperty index, int value)
{
    const double v = value;
    switch (index) {
        case ipLineSize: step_ = v; break;
        case ipPageSize: page_ = v; break;
        case ipMinValue:
            if (v != RangeMin()) {
                SetRangeMin(v);
                if (RangeMin() > RangeMax()) {
                    SetRangeMax(v);
                }
            }
            break;
        case ipMaxValue:
            if (v != RangeMax()) {
                SetRangeMax(v);
                if (RangeMin() > RangeMax()) {
                    SetRangeMin(v);
                }
            }
            break;
        case ipValue:
            if (v == committed_) {
                return;
            }
            committed_ = v;
            if (committed_ > RangeMax()) {
                committed_ = RangeMax();
            }
            if (committed_ < RangeMin()) {
                committed_ = RangeMin();
            }
            WriteNumber(static_cast<std::int64_t>(committed_));
            break;
    }
}

void TKelCustomExtSpinEdit::WriteNumber(std::int64_t value) { AssignNumber(std::to_string(value)); }

void TKelCustomExtSpinEdit::RestoreCaret(int position)
{
    if (position <= static_cast<int>(RawText().size()) + 1) {
        SetCaretIndex(position);
    }
}

void TKelCustomExtSpinEdit::StepUp(double amount)
{
    if (ReadOnly()) {
        return;
    }
    const int position = SelStart();
    const std::int64_t n = static_cast<std::int64_t>(AsInteger()) + RoundEven(amount);
    const auto max = static_cast<std::int64_t>(RangeMax());
    WriteNumber(n >= max ? max : n);
    RestoreCaret(position);
}

void TKelCustomExtSpinEdit::StepDown(double amount)
{
    if (ReadOnly()) {
        return;
    }
    const int position = SelStart();
    const std::int64_t v = AsInteger();
    const auto min = static_cast<std::int64_t>(RangeMin());
    // The bound is tested before rounding.
    if (static_cast<double>(v) - amount <= static_cast<double>(min)) {
        WriteNumber(min);
    } else {
        WriteNumber(v - RoundEven(amount));
    }
    RestoreCaret(position);
}

void TKelCustomExtSpinEdit::SpinBtnUpClick()
{
    if (Showing() && CanFocus()) {
        SetFocus();
    }
    StepUp(step_);
    if (OnSpinBtnUpClick) {
        OnSpinBtnUpClick(this);
    }
}

void TKelCustomExtSpinEdit::SpinBtnDownClick()
{
    if (Showing() && CanFocus()) {
        SetFocus();
    }
    StepDown(step_);
    if (OnSpinBtnDownClick) {
        OnSpinBtnDownClick(this);
    }
}

// ---- Hooks ----

bool TKelCustomExtSpinEdit::CanChange(const std::string& s)
{
    return TKelCustomMaskEdit::CanChange(s) && editorEnabled_;
}

void TKelCustomExtSpinEdit::AdjustEditRect(desktop::RECT& rect)
{
    TKelCustomMaskEdit::AdjustEditRect(rect);
    const int w = spinBtnWidth_ == -1 ? rect.bottom - rect.top : spinBtnWidth_;
    rect.right -= w;
    button_->SetBounds(rect.right + 1, rect.top, w, rect.bottom - rect.top);
}

void TKelCustomExtSpinEdit::EditKey(desktop::WORD& key, fw::TShiftState shift)
{
    switch (key) {
        case desktop::VK_UP: StepUp(step_); break;
        case desktop::VK_DOWN: StepDown(step_); break;
        case desktop::VK_PRIOR: StepUp(page_); break;
        case desktop::VK_NEXT: StepDown(page_); break;
        default: TKelCustomMaskEdit::EditKey(key, shift); return;
    }
    key = 0;
}

void TKelCustomExtSpinEdit::WMKillFocus(fw::TWMKillFocus message)
{
    TKelCustomMaskEdit::WMKillFocus(message);
    SetIntegerProperty(ipValue, AsInteger());
}

void TKelCustomExtSpinEdit::WMMouseWheel(fw::TWMMouseWheel message)
{
    bool handled = false;
    if (OnMouseWheel) {
        OnMouseWheel(this, message.WheelDelta(), message.Pos(), handled);
    }
    if (handled) {
        message.SetResult(1);
        return;
    }
    // Wheels that report less than a notch per message step once the notch is complete.
    wheelAccumulator_ += message.WheelDelta();
    while (wheelAccumulator_ >= kWheelNotch) {
        wheelAccumulator_ -= kWheelNotch;
        if (OnMouseWheelUp) {
            OnMouseWheelUp(this);
        }
        StepUp(step_);
    }
    while (wheelAccumulator_ <= -kWheelNotch) {
        wheelAccumulator_ += kWheelNotch;
        if (OnMouseWheelDown) {
            OnMouseWheelDown(this);
        }
        StepDown(step_);
    }
    message.SetResult(1);
}

void TKelCustomExtSpinEdit::WMMouseMove(fw::TWMMouse message)
{
    TKelCustomMaskEdit::WMMouseMove(message);
    const int x = message.XPos();
    const int y = message.YPos();
    const bool overButton = x >= button_->Left() && x < button_->Left() + button_->Width() && y >= button_->Top() &&
                            y < button_->Top() + button_->Height();
    if (!overButton) {
        button_->PointerElsewhere();
    }
}

void TKelCustomExtSpinEdit::CMMouseLeave(fw::TCMMouseLeave message)
{
    TKelCustomMaskEdit::CMMouseLeave(message);
    button_->PointerElsewhere();
}

void TKelCustomExtSpinEdit::CMEnabledChanged(fw::TWMNoParams message)
{
    TKelCustomMaskEdit::CMEnabledChanged(message);
    button_->SetEnabled(Enabled());
}

void TKelCustomExtSpinEdit::CtlXPChanged()
{
    // The button follows the edit's look at once, not only at the next layout.
    button_->SetCtlXP(CtlXP());
    TKelCustomMaskEdit::CtlXPChanged();
}

void TKelCustomExtSpinEdit::Loaded()
{
    TKelCustomMaskEdit::Loaded();
    SetMaskType(TKelMaskType::meInteger);
    SetIntegerProperty(ipMinValue, static_cast<int>(RangeMin()));
}

void TKelCustomExtSpinEdit::TextChangedAt(int pos)
{
    TKelCustomMaskEdit::TextChangedAt(pos);
    RaiseAccessibleEvent(desktop::AccEvent::ValueChanged);
}

}  // namespace numedit
