#include "framework/StdCtrlsGroupBox.h"

#include "desktop/Messages.h"
#include "framework/ClassesBuilder.h"
#include "framework/FormsForm.h"
#include "framework/StdCtrlsText.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 185;
constexpr int kDefaultHeight = 105;
constexpr int kCaptionLeft = 8;

}  // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                    csReplicatable);
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
}

TCustomGroupBox::~TCustomGroupBox() = default;

const TClassInfo& TCustomGroupBox::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomGroupBox, TCustomControl>("TCustomGroupBox").Build();
    return info;
}

const TClassInfo& TGroupBox::Info()
{
    static const TClassInfo info = ClassBuilder<TGroupBox, TCustomGroupBox>("TGroupBox")
                                       .Boolean("Ctl3D", &TGroupBox::Ctl3D, &TGroupBox::SetCtl3D)
                                       .Build();
    return info;
}

void TCustomGroupBox::SetCtl3D(bool value)
{
    if (ctl3D_ != value) {
        ctl3D_ = value;
        Invalidate();
    }
}

void TCustomGroupBox::AdjustClientRect(desktop::RECT& rect)
{
    rect.top += stdctrls::FontZeroHeight(Font());
    const int inset = ctl3D_ ? 2 : 1;
    rect = {rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
}

desktop::RECT TCustomGroupBox::DisplayRect()
{
    desktop::RECT rect = ClientRect();
    AdjustClientRect(rect);
    return rect;
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const int textHeight = canvas->TextHeight("0");
    desktop::RECT frame{0, textHeight / 2, Width(), Height()};
    if (ctl3D_) {
        // Etched: the highlight one pixel right and down, the shadow over it in place.
        canvas->Brush()->SetColor(clBtnHighlight);
        canvas->FrameRect({frame.left + 1, frame.top + 1, frame.right, frame.bottom});
        canvas->Brush()->SetColor(clBtnShadow);
        canvas->FrameRect({frame.left, frame.top, frame.right - 1, frame.bottom - 1});
    } else {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(frame);
    }
    const std::string text = Caption();
    if (text.empty()) {
        return;
    }
    // The caption sits on the box's colour, so it interrupts the frame line.
    desktop::HDC dc = canvas->Handle();
    desktop::RECT r{kCaptionLeft, 0, kCaptionLeft, textHeight};
    desktop::DrawText(dc, text, -1, &r, desktop::DT_LEFT | desktop::DT_SINGLELINE | desktop::DT_CALCRECT);
    desktop::SetBkMode(dc, desktop::OPAQUE);
    desktop::SetBkColor(dc, ColorToRGB(Color()));
    desktop::SetTextColor(dc, ColorToRGB(Font()->GetColor()));
    desktop::DrawText(dc, text, -1, &r, desktop::DT_LEFT | desktop::DT_SINGLELINE);
}

void TCustomGroupBox::CMTextChanged(TWMNoParams message)
{
    TCustomControl::CMTextChanged(message);
    Invalidate();
}

void TCustomGroupBox::CMFontChanged(TWMNoParams message)
{
    TCustomControl::CMFontChanged(message);
    Invalidate();
}

void TCustomGroupBox::CMDialogChar(TCMDialogChar message)
{
    if (stdctrls::IsAccel(message.CharCode(), Caption()) && CanFocus()) {
        // The accelerator of a group box focuses its first control.
        TWinControl* first = FindNextControl(nullptr, true, true, false);
        if (first == nullptr) {
            first = FindNextControl(nullptr, true, false, false);
        }
        if (first != nullptr) {
            first->SetFocus();
        }
        message.SetResult(1);
        return;
    }
    TCustomControl::CMDialogChar(message);
}

void TCustomGroupBox::WMSize(TWMSize message)
{
    TCustomControl::WMSize(message);
    Invalidate();
}

}  // namespace fw
