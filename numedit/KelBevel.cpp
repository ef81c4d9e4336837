#include "numedit/KelBevel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/ClassesBuilder.h"
#include "numedit/KelApplication.h"

namespace numedit {

namespace {

using desktop::RECT;
using desktop::UINT;

// Edge kinds of TKelEdgeStyle, in its order.
constexpr UINT kEdgeOfStyle[] = {desktop::BDR_RAISEDINNER, desktop::BDR_RAISEDOUTER, desktop::BDR_SUNKENINNER,
                                 desktop::BDR_SUNKENOUTER, desktop::EDGE_BUMP,       desktop::EDGE_ETCHED,
                                 desktop::EDGE_RAISED,     desktop::EDGE_SUNKEN};

bool IsFrameStyle(TKelBevelStyle style)
{
    return style == TKelBevelStyle::bvFrameLowered || style == TKelBevelStyle::bvFrameRaised;
}

void FillBand(desktop::HDC dc, const RECT& rect, fw::TColor color)
{
    if (rect.IsEmpty()) {
        return;
    }
    desktop::HBRUSH brush = desktop::CreateSolidBrush(fw::ColorToRGB(color));
    desktop::FillRect(dc, &rect, brush);
    desktop::DeleteObject(brush);
}

// One ring per step of width, each one pixel inside the last. The bottom-right colour is
// drawn last and so owns the top-right and bottom-left corners, as edges do.
void Frame3D(desktop::HDC dc, RECT& r, fw::TColor topLeft, fw::TColor bottomRight, int width)
{
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        FillBand(dc, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
        FillBand(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
        FillBand(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        FillBand(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        r = desktop::InflateRectBy(r, -1, -1);
    }
}

// The band between outer and inner, as four rectangles.
void FillFrameBand(desktop::HDC dc, const RECT& outer, const RECT& inner, fw::TColor color)
{
    FillBand(dc, RECT{outer.left, outer.top, outer.right, inner.top}, color);
    FillBand(dc, RECT{outer.left, inner.bottom, outer.right, outer.bottom}, color);
    FillBand(dc, RECT{outer.left, inner.top, inner.left, inner.bottom}, color);
    FillBand(dc, RECT{inner.right, inner.top, outer.right, inner.bottom}, color);
}

}  // namespace

int BorderStyleWidth(TKelBorderStyle style)
{
    switch (style) {
        case TKelBorderStyle::lsNone: return 0;
        case TKelBorderStyle::lsSingle:
        case TKelBorderStyle::lsSingleRaised:
        case TKelBorderStyle::lsSingleLowered: return 1;
        default: return 2;
    }
}

void DrawStandardFrame(desktop::HDC dc, RECT& rect, TKelBorderStyle style, UINT extra)
{
    using namespace desktop;
    const UINT adjust = BF_ADJUST | extra;
    switch (style) {
        case TKelBorderStyle::lsNone: break;
        case TKelBorderStyle::lsSingle:
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_SOFT | adjust);
            DrawEdge(dc, &rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
            break;
        case TKelBorderStyle::lsLowered: DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT | BF_SOFT | adjust); break;
        case TKelBorderStyle::lsRaised: DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_SOFT | adjust); break;
        case TKelBorderStyle::lsRaisedspb:
        case TKelBorderStyle::lsRaisedExt:
            DrawEdge(dc, &rect, BDR_RAISEDOUTER, BF_RECT | BF_SOFT | adjust);
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
            if (style == TKelBorderStyle::lsRaisedExt) {
                ++rect.left;
                ++rect.top;
            }
            break;
        case TKelBorderStyle::lsLoweredspb:
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust);
            DrawEdge(dc, &rect, BDR_SUNKENINNER, BF_LEFT | BF_TOP | adjust);
            break;
        case TKelBorderStyle::lsLoweredExt:
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust);
            DrawEdge(dc, &rect, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST);
            --rect.right;
            --rect.bottom;
            break;
        case TKelBorderStyle::lsFrameInset: DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT | adjust); break;
        case TKelBorderStyle::lsFrameOffset:
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | adjust);
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust);
            break;
        case TKelBorderStyle::lsWindowBorder:
            DrawEdge(dc, &rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | adjust);
            ++rect.left;
            ++rect.top;
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | adjust);
            break;
        case TKelBorderStyle::lsSingleRaised: DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | adjust); break;
        case TKelBorderStyle::lsSingleLowered: DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust); break;
        case TKelBorderStyle::lsDoubleRaised:
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | adjust);
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | adjust);
            break;
        case TKelBorderStyle::lsDoubleLowered:
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust);
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | adjust);
            break;
    }
}

// ---- TKelBevel ----

TKelBevel::TKelBevel(fw::TPersistent* owner) : TKelObject(owner) { UpdateExt(); }

const fw::TClassInfo& TKelBevel::Info()
{
    using B = TKelBevel;
    static const std::vector<std::string> bevelStyles = {"bvNone",        "bvLowered", "bvRaised", "bvFrameLowered",
                                                         "bvFrameRaised", "bvNormal",  "bvShadow"};
    static const fw::TClassInfo info =
        fw::ClassBuilder<B, TKelObject>("TKelBevel")
            .Enum("Mode", {"bmCustom", "bmStandard", "bmEdge", "bmWindows"}, &B::Mode, &B::SetMode)
            .Enum("StyleOuter", bevelStyles, &B::StyleOuter, &B::SetStyleOuter)
            .Enum("StyleInner", bevelStyles, &B::StyleInner, &B::SetStyleInner)
            .Integer("WidthOuter", &B::WidthOuter, &B::SetWidthOuter)
            .Integer("WidthInner", &B::WidthInner, &B::SetWidthInner)
            .Integer("BorderWidth", &B::BorderWidth, &B::SetBorderWidth)
            .Integer("BorderInnerWidth", &B::BorderInnerWidth, &B::SetBorderInnerWidth)
            .Integer("BorderColor", &B::BorderColor, &B::SetBorderColor, fw::IdentToColor)
            .Integer("LightColor", &B::LightColor, &B::SetLightColor, fw::IdentToColor)
            .Integer("ShadowColor", &B::ShadowColor, &B::SetShadowColor, fw::IdentToColor)
            .Enum("StandardStyle",
                  {"lsNone", "lsSingle", "lsLowered", "lsRaised", "lsRaisedspb", "lsLoweredspb", "lsRaisedExt",
                   "lsLoweredExt", "lsFrameInset", "lsFrameOffset", "lsWindowBorder", "lsSingleRaised",
                   "lsSingleLowered", "lsDoubleRaised", "lsDoubleLowered"},
                  &B::StandardStyle, &B::SetStandardStyle)
            .Enum("EdgeStyle",
                  {"etRaisedInner", "etRaisedOuter", "etSunkenInner", "etSunkenOuter", "etBump", "etEtched", "etRaised",
                   "etSunken"},
                  &B::EdgeStyle, &B::SetEdgeStyle)
            .Set("BorderSides", {"fsBottom", "fsLeft", "fsRight", "fsTop"}, &B::BorderSides, &B::SetBorderSides)
            .Build();
    return info;
}

void TKelBevel::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKelBevel*>(source);
    if (other == nullptr) {
        TKelObject::Assign(source);
        return;
    }
    mode_ = other->mode_;
    styleOuter_ = other->styleOuter_;
    styleInner_ = other->styleInner_;
    widthOuter_ = other->widthOuter_;
    widthInner_ = other->widthInner_;
    borderWidth_ = other->borderWidth_;
    borderInnerWidth_ = other->borderInnerWidth_;
    borderColor_ = other->borderColor_;
    lightColor_ = other->lightColor_;
    shadowColor_ = other->shadowColor_;
    standardStyle_ = other->standardStyle_;
    edgeStyle_ = other->edgeStyle_;
    borderSides_ = other->borderSides_;
    systemBorder_ = other->systemBorder_;
    Changed();
}

void TKelBevel::Changed()
{
    UpdateExt();
    TKelObject::Changed();
}

void TKelBevel::SetMode(TKelBevelMode value)
{
    if (Store(mode_, value)) {
        Changed();
    }
}

void TKelBevel::SetStyleOuter(TKelBevelStyle value)
{
    if (value == styleOuter_) {
        return;
    }
    if (value == TKelBevelStyle::bvShadow) {
        styleInner_ = TKelBevelStyle::bvShadow;
    } else if (styleOuter_ == TKelBevelStyle::bvShadow) {
        styleInner_ = TKelBevelStyle::bvNone;
    }
    styleOuter_ = value;
    Changed();
}

void TKelBevel::SetStyleInner(TKelBevelStyle value)
{
    if (value == styleInner_) {
        return;
    }
    if (value == TKelBevelStyle::bvShadow) {
        styleOuter_ = TKelBevelStyle::bvShadow;
    } else if (styleInner_ == TKelBevelStyle::bvShadow) {
        styleOuter_ = TKelBevelStyle::bvNone;
    }
    styleInner_ = value;
    Changed();
}

void TKelBevel::SetWidthOuter(int value)
{
    if (Store(widthOuter_, std::max(value, 1))) {
        Changed();
    }
}

void TKelBevel::SetWidthInner(int value)
{
    if (Store(widthInner_, std::max(value, 1))) {
        Changed();
    }
}

void TKelBevel::SetBorderWidth(int value)
{
    if (Store(borderWidth_, std::max(value, 0))) {
        Changed();
    }
}

void TKelBevel::SetBorderInnerWidth(int value)
{
    if (Store(borderInnerWidth_, std::max(value, 0))) {
        Changed();
    }
}

void TKelBevel::SetBorderColor(fw::TColor value)
{
    if (Store(borderColor_, value)) {
        Changed();
    }
}

void TKelBevel::SetLightColor(fw::TColor value)
{
    if (Store(lightColor_, value)) {
        Changed();
    }
}

void TKelBevel::SetShadowColor(fw::TColor value)
{
    if (Store(shadowColor_, value)) {
        Changed();
    }
}

void TKelBevel::SetStandardStyle(TKelBorderStyle value)
{
    if (Store(standardStyle_, value)) {
        if (mode_ == TKelBevelMode::bmStandard) {
            Changed();
        } else {
            UpdateExt();
        }
    }
}

void TKelBevel::SetEdgeStyle(TKelEdgeStyle value)
{
    if (Store(edgeStyle_, value)) {
        Changed();
    }
}

void TKelBevel::SetBorderSides(TKelFrameSides value)
{
    if (Store(borderSides_, static_cast<TKelFrameSides>(value & kAllFrameSides))) {
        Changed();
    }
}

void TKelBevel::SetSystemBorder(bool value)
{
    if (Store(systemBorder_, value)) {
        Changed();
    }
}

void TKelBevel::UpdateExt()
{
    using S = TKelBevelStyle;
    switch (mode_) {
        case TKelBevelMode::bmCustom:
            if (styleInner_ == S::bvShadow) {
                ext_ = widthInner_ + borderInnerWidth_;
            } else {
                ext_ = borderWidth_ + borderInnerWidth_;
                if (styleOuter_ != S::bvNone) {
                    ext_ += widthOuter_ + (IsFrameStyle(styleOuter_) ? 1 : 0);
                }
                if (styleInner_ != S::bvNone) {
                    ext_ += widthInner_ + (IsFrameStyle(styleInner_) ? 1 : 0);
                }
            }
            break;
        case TKelBevelMode::bmStandard: ext_ = BorderStyleWidth(standardStyle_) + borderInnerWidth_; break;
        case TKelBevelMode::bmEdge: ext_ = (borderSides_ != 0 ? 2 : 0) + borderInnerWidth_; break;
        case TKelBevelMode::bmWindows: ext_ = systemBorder_ ? 0 : borderInnerWidth_ + 2; break;
    }
    extr_ = mode_ == TKelBevelMode::bmCustom && styleOuter_ == S::bvShadow
                ? widthInner_ + widthOuter_ + borderInnerWidth_
                : ext_;
}

RECT TKelBevel::Draw(fw::TCanvas& canvas, RECT rect, bool transparent) const
{
    if (ext_ == 0) {
        return rect;
    }
    switch (mode_) {
        case TKelBevelMode::bmCustom: DrawCustom(canvas.Handle(), rect, transparent); break;
        case TKelBevelMode::bmStandard: DrawStandardFrame(canvas.Handle(), rect, standardStyle_); break;
        case TKelBevelMode::bmEdge: DrawEdged(canvas, rect, transparent); break;
        case TKelBevelMode::bmWindows: DrawStandardFrame(canvas.Handle(), rect, TKelBorderStyle::lsLoweredExt); break;
    }
    return desktop::InflateRectBy(rect, -borderInnerWidth_, -borderInnerWidth_);
}

void TKelBevel::DrawCustom(desktop::HDC dc, RECT& rect, bool transparent) const
{
    using S = TKelBevelStyle;
    if (styleInner_ == S::bvShadow) {
        // A frame with a drop shadow towards the bottom right; the two corners the shadow
        // leaves free show the light colour.
        const int shadow = widthOuter_;
        RECT frame{rect.left, rect.top, rect.right - shadow, rect.bottom - shadow};
        FillBand(dc, RECT{rect.left + shadow, frame.bottom, rect.right, rect.bottom}, shadowColor_);
        FillBand(dc, RECT{frame.right, rect.top + shadow, rect.right, frame.bottom}, shadowColor_);
        if (!transparent) {
            FillBand(dc, RECT{rect.left, frame.bottom, rect.left + shadow, rect.bottom}, lightColor_);
            FillBand(dc, RECT{frame.right, rect.top, rect.right, rect.top + shadow}, lightColor_);
        }
        Frame3D(dc, frame, borderColor_, borderColor_, widthInner_);
        rect = frame;
        return;
    }
    const auto drawStyle = [&](S style, int width) {
        switch (style) {
            case S::bvNone:
            case S::bvShadow: break;
            case S::bvLowered: Frame3D(dc, rect, shadowColor_, lightColor_, width); break;
            case S::bvRaised: Frame3D(dc, rect, lightColor_, shadowColor_, width); break;
            case S::bvFrameLowered:
                Frame3D(dc, rect, shadowColor_, lightColor_, width);
                Frame3D(dc, rect, lightColor_, shadowColor_, 1);
                break;
            case S::bvFrameRaised:
                Frame3D(dc, rect, lightColor_, shadowColor_, width);
                Frame3D(dc, rect, shadowColor_, lightColor_, 1);
                break;
            case S::bvNormal: Frame3D(dc, rect, shadowColor_, shadowColor_, width); break;
        }
    };
    drawStyle(styleOuter_, widthOuter_);
    const RECT gapOuter = rect;
    rect = desktop::InflateRectBy(rect, -borderWidth_, -borderWidth_);
    if (!transparent && borderWidth_ > 0) {
        FillFrameBand(dc, gapOuter, rect, borderColor_);
    }
    drawStyle(styleInner_, widthInner_);
}

void TKelBevel::DrawEdged(fw::TCanvas& canvas, RECT& rect, bool transparent) const
{
    if (borderSides_ == 0) {
        return;
    }
    const RECT inner = desktop::InflateRectBy(rect, -2, -2);
    desktop::HDC dc = canvas.Handle();
    if (!transparent) {
        // Edges then cover the sides they draw; the rest of the band keeps the brush.
        FillFrameBand(dc, rect, inner, canvas.Brush()->GetColor());
    }
    UINT flags = 0;
    flags |= (borderSides_ & fsBottom) ? desktop::BF_BOTTOM : 0u;
    flags |= (borderSides_ & fsTop) ? desktop::BF_TOP : 0u;
    flags |= (borderSides_ & fsRight) ? desktop::BF_RIGHT : 0u;
    flags |= (borderSides_ & fsLeft) ? desktop::BF_LEFT : 0u;
    RECT edge = rect;
    desktop::DrawEdge(dc, &edge, kEdgeOfStyle[static_cast<int>(edgeStyle_)], flags);
    rect = inner;
}

std::string TKelBevel::DisplayText() const
{
    static constexpr const char* kNames[] = {"Custom style", "Standard style", "Edged style", "Windows style"};
    return std::string("{") + kNames[static_cast<int>(mode_)] + "}";
}

// ---- Window styles ----

void ApplyBevelWindowStyles(const TKelBevel& bevel, bool ctl3D, bool themed, fw::TCreateParams& params)
{
    if (bevel.Mode() == TKelBevelMode::bmWindows) {
        if (NewStyleControls() && ctl3D) {
            params.ExStyle |= desktop::WS_EX_CLIENTEDGE;
        } else {
            params.Style |= desktop::WS_BORDER;
        }
    }
    if (themed) {
        params.ExStyle &= ~static_cast<desktop::DWORD>(desktop::WS_EX_CLIENTEDGE);
        params.Style &= ~static_cast<desktop::DWORD>(desktop::WS_BORDER);
    }
}

bool Ctl3DChangeNeedsNewWindow(const TKelBevel& bevel, bool themed)
{
    return NewStyleControls() && bevel.Mode() == TKelBevelMode::bmWindows && !themed;
}

}  // namespace numedit
