#include "framework/StdCtrlsLabel.h"

#include "framework/ClassesBuilder.h"
#include "framework/StdCtrlsText.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 65;
constexpr int kDefaultHeight = 17;

desktop::UINT AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
        case TAlignment::taRightJustify: return desktop::DT_RIGHT;
        case TAlignment::taCenter: return desktop::DT_CENTER;
        case TAlignment::taLeftJustify: break;
    }
    return desktop::DT_LEFT;
}

}  // namespace

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    TControl::SetAutoSize(true);
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
}

TCustomLabel::~TCustomLabel() = default;

const TClassInfo& TCustomLabel::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomLabel, TGraphicControl>("TCustomLabel").Build();
    return info;
}

const TClassInfo& TLabel::Info()
{
    static const TClassInfo info =
        ClassBuilder<TLabel, TCustomLabel>("TLabel")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TLabel::Alignment,
                  &TLabel::SetAlignment)
            .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Object("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
            .Enum("Layout", {"tlTop", "tlCenter", "tlBottom"}, &TLabel::Layout, &TLabel::SetLayout)
            .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
            .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
            .Build();
    return info;
}

void TCustomLabel::SetAlignment(TAlignment value)
{
    if (alignment_ != value) {
        alignment_ = value;
        Invalidate();
    }
}

void TCustomLabel::SetLayout(TTextLayout value)
{
    if (layout_ != value) {
        layout_ = value;
        Invalidate();
    }
}

void TCustomLabel::SetWordWrap(bool value)
{
    if (wordWrap_ != value) {
        wordWrap_ = value;
        AdjustSize();
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool value)
{
    if (transparent_ == value) {
        return;
    }
    transparent_ = value;
    // A transparent label lets its parent's background show, so its parent must erase.
    if (value) {
        SetControlStyle(ControlStyle() & ~csOpaque);
    } else {
        SetControlStyle(ControlStyle() | csOpaque);
    }
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value)
{
    if (showAccelChar_ != value) {
        showAccelChar_ = value;
        AdjustSize();
        Invalidate();
    }
}

void TCustomLabel::SetFocusControl(TWinControl* value) { focusControl_ = value; }

std::string TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(desktop::HDC dc, desktop::RECT& rect, desktop::UINT flags)
{
    std::string text = GetLabelText();
    const bool measuring = (flags & desktop::DT_CALCRECT) != 0;
    // An empty caption (or a lone accelerator mark) still measures one line high.
    if (measuring && (text.empty() || (showAccelChar_ && text == "&"))) {
        text += ' ';
    }
    if (!showAccelChar_) {
        flags |= desktop::DT_NOPREFIX;
    }
    if (measuring) {
        desktop::DrawText(dc, text, -1, &rect, flags);
        return;
    }
    desktop::SetBkMode(dc, desktop::TRANSPARENT);
    if (!Enabled()) {
        // Embossed: the highlight one pixel down and right, the shadow on top in place.
        desktop::RECT shifted{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
        desktop::SetTextColor(dc, ColorToRGB(clBtnHighlight));
        desktop::DrawText(dc, text, -1, &shifted, flags);
        desktop::SetTextColor(dc, ColorToRGB(clBtnShadow));
        desktop::DrawText(dc, text, -1, &rect, flags);
        return;
    }
    desktop::SetTextColor(dc, ColorToRGB(Font()->GetColor()));
    desktop::DrawText(dc, text, -1, &rect, flags);
}

void TCustomLabel::Paint()
{
    TCanvas* canvas = Canvas();
    const desktop::RECT client = ClientRect();
    if (!transparent_) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->FillRect(client);
    }
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    canvas->SetFont(Font());
    desktop::HDC dc = canvas->Handle();
    const desktop::UINT flags =
        desktop::DT_EXPANDTABS | (wordWrap_ ? desktop::DT_WORDBREAK : 0u) | AlignmentFlag(alignment_);
    desktop::RECT rect = client;
    if (layout_ != TTextLayout::tlTop) {
        desktop::RECT extent = client;
        DoDrawText(dc, extent, flags | desktop::DT_CALCRECT);
        const int room = Height() - extent.bottom;
        const int dy = layout_ == TTextLayout::tlBottom ? room : room / 2;
        rect.top += dy;
        rect.bottom += dy;
    }
    DoDrawText(dc, rect, flags);
}

void TCustomLabel::AdjustSize()
{
    if (IsLoading() || !AutoSize()) {
        return;
    }
    stdctrls::MeasureDC dc(Font());
    if (dc.Handle() == nullptr) {
        return;
    }
    desktop::RECT rect = ClientRect();
    DoDrawText(dc.Handle(), rect,
               desktop::DT_EXPANDTABS | desktop::DT_CALCRECT | (wordWrap_ ? desktop::DT_WORDBREAK : 0u));
    int left = Left();
    if (alignment_ == TAlignment::taRightJustify) {
        left += Width() - rect.right;
    }
    SetBounds(left, Top(), rect.right, rect.bottom);
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustSize();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) {
        focusControl_ = nullptr;
    }
}

void TCustomLabel::CMTextChanged(TWMNoParams message)
{
    TGraphicControl::CMTextChanged(message);
    Invalidate();
    AdjustSize();
}

void TCustomLabel::CMFontChanged(TWMNoParams message)
{
    TGraphicControl::CMFontChanged(message);
    AdjustSize();
}

void TCustomLabel::CMDialogChar(TCMDialogChar message)
{
    if (focusControl_ != nullptr && Enabled() && showAccelChar_ && stdctrls::IsAccel(message.CharCode(), Caption()) &&
        focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        message.SetResult(1);
        return;
    }
    TGraphicControl::CMDialogChar(message);
}

}  // namespace fw
