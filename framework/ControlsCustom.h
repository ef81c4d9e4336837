#pragma once

// Self-painting controls: TGraphicControl (no window; paints on its parent's window at its
// bounds) and TCustomControl (a window of its own), both through a TControlCanvas and a
// virtual Paint().

#include "framework/ControlsWinControl.h"
#include "framework/GraphicsCanvas.h"

namespace fw {

// A canvas on a control's window. Outside painting it takes a DC of the window on demand
// (the parent's, clipped and offset to the bounds, for a graphic control); the application
// gives such DCs back when it goes idle. While a control paints, the canvas draws on the
// paint DC instead.
class TControlCanvas : public TCanvas {
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TControl* Control() const { return control_; }
    void SetControl(TControl* control);
    // Gives back a DC the canvas took itself.
    void FreeHandle();
    // Gives back every DC that control canvases took (idle time, window destruction).
    static void FreeDeviceContexts();

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    desktop::HWND dcWindow_ = nullptr;
    desktop::HDC ownDc_ = nullptr;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TCanvas* Canvas() { return &canvas_; }

protected:
    // Draws the control on Canvas() in its own client coordinates.
    virtual void Paint() {}
    void Dispatch(TMessage& message) override;
    // Paints on the parent's DC, already offset and clipped to this control.
    virtual void WMPaint(TWMPaint message);

private:
    TControlCanvas canvas_;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TCanvas* Canvas() { return &canvas_; }

protected:
    virtual void Paint() {}
    void PaintWindow(desktop::HDC dc) override;
    void WMPaint(TWMPaint message) override;
    void DestroyWnd() override;

private:
    TControlCanvas canvas_;
};

}  // namespace fw
