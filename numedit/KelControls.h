#pragma once

// The family's control bases. TKelCustomControl adds an update counter and the after-enter
// and after-exit notifications, which arrive once the focus change has completed.
// TKelCustomBevelPanel owns the Bevel and turns it into window styles. TKelGraphicControl is
// the windowless base (the spin button derives from it).

#include <cstdint>

#include "framework/Controls.h"
#include "numedit/KelApplication.h"
#include "numedit/KelBevel.h"

namespace numedit {

// Posted by a family control to itself after WM_SETFOCUS and WM_KILLFOCUS.
inline constexpr desktop::UINT KM_AFTERENTER = desktop::WM_APP + 0x3A0;
inline constexpr desktop::UINT KM_AFTEREXIT = desktop::WM_APP + 0x3A1;

class TKelCustomControl : public fw::TCustomControl {
public:
    explicit TKelCustomControl(fw::TComponent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    void BeginUpdate() { ++updateCount_; }
    // Never below 0; at 0 with notify set the change notification runs.
    virtual void EndUpdate(bool notify);
    bool Updating() const { return updateCount_ > 0; }
    int UpdateCount() const { return updateCount_; }

    // Themed drawing needs the platform's visual styles as well as this switch.
    bool CtlXP() const { return ctlXP_; }
    void SetCtlXP(bool value);
    bool Themed() const { return ThemesActive() && ctlXP_; }
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Ctl3D() const { return ctl3D_; }
    virtual void SetCtl3D(bool value);

    // Loading, reading or being destroyed: no layout, no painting, no window re-creation.
    bool Settling() const;

    fw::TNotifyEvent OnAfterEnter;
    fw::TNotifyEvent OnAfterExit;

protected:
    void Dispatch(fw::TMessage& message) override;
    void WMSetFocus(fw::TWMSetFocus message) override;
    void WMKillFocus(fw::TWMKillFocus message) override;
    virtual void AfterEnter();
    virtual void AfterExit();
    // Runs after every real change of CtlXP; repaints in the new look.
    virtual void CtlXPChanged();

private:
    int updateCount_ = 0;
    bool ctlXP_ = true;
    bool flat_ = false;
    bool transparent_ = false;
    bool ctl3D_ = true;
};

class TKelCustomPanel : public TKelCustomControl {
public:
    explicit TKelCustomPanel(fw::TComponent* owner) : TKelCustomControl(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }
};

class TKelCustomBevelPanel : public TKelCustomPanel {
public:
    explicit TKelCustomBevelPanel(fw::TComponent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelBevel* Bevel() { return &bevel_; }
    void SetCtl3D(bool value) override;

protected:
    void CreateParams(fw::TCreateParams& params) override;
    // The window is made again so that styles, layout and painting follow the border.
    virtual void BevelChanged();

private:
    TKelBevel bevel_;
};

// The windowless base, with the same update counter.
class TKelGraphicControl : public fw::TGraphicControl {
public:
    explicit TKelGraphicControl(fw::TComponent* owner) : fw::TGraphicControl(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    void BeginUpdate() { ++updateCount_; }
    virtual void EndUpdate(bool notify);
    bool Updating() const { return updateCount_ > 0; }

private:
    int updateCount_ = 0;
};

}  // namespace numedit
