#include "numedit/KelControls.h"

#include "desktop/Messages.h"
#include "framework/ClassesBuilder.h"

namespace numedit {

// ---- TKelCustomControl ----

TKelCustomControl::TKelCustomControl(fw::TComponent* owner) : fw::TCustomControl(owner) {}

const fw::TClassInfo& TKelCustomControl::Info()
{
    using C = TKelCustomControl;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, fw::TCustomControl>("TKelCustomControl")
            .Boolean("CtlXP", &C::CtlXP, &C::SetCtlXP)
            .Boolean("Flat", &C::Flat, &C::SetFlat)
            .Boolean("Transparent", &C::Transparent, &C::SetTransparent)
            .Boolean("Ctl3D", &C::Ctl3D, &C::SetCtl3D)
            .Event("OnAfterEnter", [](C* c, fw::TNotifyEvent e) { c->OnAfterEnter = std::move(e); })
            .Event("OnAfterExit", [](C* c, fw::TNotifyEvent e) { c->OnAfterExit = std::move(e); })
            .Build();
    return info;
}

void TKelCustomControl::EndUpdate(bool notify)
{
    if (updateCount_ > 0) {
        --updateCount_;
    }
    if (updateCount_ == 0 && notify) {
        Changed();
    }
}

void TKelCustomControl::SetCtlXP(bool value)
{
    if (ctlXP_ != value) {
        ctlXP_ = value;
        CtlXPChanged();
    }
}

void TKelCustomControl::CtlXPChanged() { Invalidate(); }

void TKelCustomControl::SetFlat(bool value)
{
    if (flat_ != value) {
        flat_ = value;
        Invalidate();
    }
}

void TKelCustomControl::SetTransparent(bool value)
{
    if (transparent_ != value) {
        transparent_ = value;
        Invalidate();
    }
}

void TKelCustomControl::SetCtl3D(bool value) { ctl3D_ = value; }

bool TKelCustomControl::Settling() const
{
    return HasState(fw::csLoading) || HasState(fw::csReading) || HasState(fw::csDestroying);
}

void TKelCustomControl::Dispatch(fw::TMessage& message)
{
    switch (message.Msg) {
        case KM_AFTERENTER: AfterEnter(); return;
        case KM_AFTEREXIT: AfterExit(); return;
        default: fw::TCustomControl::Dispatch(message); return;
    }
}

void TKelCustomControl::WMSetFocus(fw::TWMSetFocus message)
{
    fw::TCustomControl::WMSetFocus(message);
    if (HandleAllocated()) {
        desktop::PostMessage(WindowHandle(), KM_AFTERENTER, 0, 0);
    }
}

void TKelCustomControl::WMKillFocus(fw::TWMKillFocus message)
{
    fw::TCustomControl::WMKillFocus(message);
    if (HandleAllocated()) {
        desktop::PostMessage(WindowHandle(), KM_AFTEREXIT, 0, 0);
    }
}

void TKelCustomControl::AfterEnter()
{
    if (OnAfterEnter) {
        OnAfterEnter(this);
    }
}

void TKelCustomControl::AfterExit()
{
    if (OnAfterExit) {
        OnAfterExit(this);
    }
}

// ---- TKelCustomPanel ----

const fw::TClassInfo& TKelCustomPanel::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TKelCustomPanel, TKelCustomControl>("TKelCustomPanel").Build();
    return info;
}

// ---- TKelCustomBevelPanel ----

TKelCustomBevelPanel::TKelCustomBevelPanel(fw::TComponent* owner) : TKelCustomPanel(owner), bevel_(this)
{
    // The window frame draws the bmWindows border, outside the client area.
    bevel_.SetSystemBorder(true);
    bevel_.OnChange = [this](fw::TObject*) { BevelChanged(); };
}

const fw::TClassInfo& TKelCustomBevelPanel::Info()
{
    using C = TKelCustomBevelPanel;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelCustomPanel>("TKelCustomBevelPanel").Object("Bevel", &C::Bevel).Build();
    return info;
}

void TKelCustomBevelPanel::SetCtl3D(bool value)
{
    if (value == Ctl3D()) {
        return;
    }
    TKelCustomPanel::SetCtl3D(value);
    if (Ctl3DChangeNeedsNewWindow(bevel_, Themed()) && HandleAllocated() && !Settling()) {
        RecreateWnd();
    }
}

void TKelCustomBevelPanel::CreateParams(fw::TCreateParams& params)
{
    TKelCustomPanel::CreateParams(params);
    ApplyBevelWindowStyles(bevel_, Ctl3D(), Themed(), params);
}

void TKelCustomBevelPanel::BevelChanged()
{
    if (!Settling() && HandleAllocated()) {
        RecreateWnd();
    }
}

// ---- TKelGraphicControl ----

const fw::TClassInfo& TKelGraphicControl::Info()
{
    static const fw::TClassInfo info =
        fw::ClassBuilder<TKelGraphicControl, fw::TGraphicControl>("TKelGraphicControl").Build();
    return info;
}

void TKelGraphicControl::EndUpdate(bool notify)
{
    if (updateCount_ > 0) {
        --updateCount_;
    }
    if (updateCount_ == 0 && notify) {
        Changed();
    }
}

}  // namespace numedit
