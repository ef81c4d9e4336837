#include "framework/ControlsCustom.h"

#include <algorithm>
#include <vector>

#include "desktop/Gdi.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"

namespace fw {

namespace {

// Canvases holding a DC they took themselves, to be given back at idle time.
std::vector<TControlCanvas*>& CanvasesWithOwnDc()
{
    static std::vector<TControlCanvas*> canvases;
    return canvases;
}

// Draws on canvas with dc for the duration of paint.
template <class Paint>
void PaintOn(TControlCanvas& canvas, desktop::HDC dc, Paint&& paint)
{
    canvas.FreeHandle();
    canvas.Lock();
    canvas.SetHandle(dc);
    try {
        paint();
    } catch (...) {
        canvas.SetHandle(nullptr);
        canvas.Unlock();
        throw;
    }
    canvas.SetHandle(nullptr);
    canvas.Unlock();
}

}  // namespace

// ---- TControlCanvas ----

TControlCanvas::~TControlCanvas() { FreeHandle(); }

const TClassInfo& TControlCanvas::Info()
{
    static const TClassInfo info = ClassBuilder<TControlCanvas, TCanvas>("TControlCanvas").Build();
    return info;
}

void TControlCanvas::SetControl(TControl* control)
{
    if (control_ != control) {
        FreeHandle();
        control_ = control;
    }
}

void TControlCanvas::CreateHandle()
{
    if (control_ == nullptr) {
        return;
    }
    TWinControl* window = control_->IsWindowed() ? static_cast<TWinControl*>(control_) : control_->Parent();
    if (window == nullptr) {
        return;
    }
    dcWindow_ = window->Handle();
    ownDc_ = desktop::GetDC(dcWindow_);
    if (ownDc_ == nullptr) {
        return;
    }
    if (!control_->IsWindowed()) {
        desktop::SetWindowOrgEx(ownDc_, -control_->Left(), -control_->Top(), nullptr);
        desktop::IntersectClipRect(ownDc_, 0, 0, control_->Width(), control_->Height());
    }
    CanvasesWithOwnDc().push_back(this);
    SetHandle(ownDc_);
}

void TControlCanvas::FreeHandle()
{
    if (ownDc_ == nullptr) {
        return;
    }
    SetHandle(nullptr);
    desktop::ReleaseDC(dcWindow_, ownDc_);
    ownDc_ = nullptr;
    dcWindow_ = nullptr;
    std::erase(CanvasesWithOwnDc(), this);
}

void TControlCanvas::FreeDeviceContexts()
{
    const std::vector<TControlCanvas*> canvases = CanvasesWithOwnDc();
    for (TControlCanvas* canvas : canvases) {
        canvas->FreeHandle();
    }
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) { canvas_.SetControl(this); }

TGraphicControl::~TGraphicControl() { canvas_.FreeHandle(); }

const TClassInfo& TGraphicControl::Info()
{
    static const TClassInfo info = ClassBuilder<TGraphicControl, TControl>("TGraphicControl").Build();
    return info;
}

void TGraphicControl::Dispatch(TMessage& message)
{
    if (message.Msg == desktop::WM_PAINT) {
        WMPaint(TWMPaint(message));
        return;
    }
    TControl::Dispatch(message);
}

void TGraphicControl::WMPaint(TWMPaint message)
{
    if (desktop::HDC dc = message.DC()) {
        PaintOn(canvas_, dc, [this] { Paint(); });
    }
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { canvas_.SetControl(this); }

TCustomControl::~TCustomControl() { canvas_.FreeHandle(); }

const TClassInfo& TCustomControl::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomControl, TWinControl>("TCustomControl").Build();
    return info;
}

void TCustomControl::WMPaint(TWMPaint message)
{
    controlState_ |= csCustomPaint;
    try {
        TWinControl::WMPaint(message);
    } catch (...) {
        controlState_ &= ~csCustomPaint;
        throw;
    }
    controlState_ &= ~csCustomPaint;
}

void TCustomControl::PaintWindow(desktop::HDC dc)
{
    PaintOn(canvas_, dc, [this] { Paint(); });
}

void TCustomControl::DestroyWnd()
{
    canvas_.FreeHandle();
    TWinControl::DestroyWnd();
}

}  // namespace fw
