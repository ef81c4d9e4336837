#pragma once

// TCustomGroupBox / TGroupBox: a frame with a caption that holds other controls, drawn by
// the program itself. Its client area lies below the caption line and inside the frame.

#include "framework/ControlsCustom.h"

namespace fw {

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* owner);
    ~TCustomGroupBox() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Two frames, highlight and shadow, instead of one in the window-frame colour.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);

    // The area the content uses: rect lowered at the top by the height of "0" in the box's
    // font and inset by 1 pixel on every side (2 with the 3D look).
    void AdjustClientRect(desktop::RECT& rect);
    desktop::RECT DisplayRect();

protected:
    void Paint() override;
    void CMTextChanged(TWMNoParams message) override;
    void CMFontChanged(TWMNoParams message) override;
    void CMDialogChar(TCMDialogChar message) override;
    void WMSize(TWMSize message) override;

private:
    bool ctl3D_ = true;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
};

}  // namespace fw
