#include "numedit/KelFont3D.h"

#include "framework/ClassesBuilder.h"

namespace numedit {

const fw::TClassInfo& TKel3DCaption::Info()
{
    using C = TKel3DCaption;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelObject>("TKel3DCaption")
            .Enum("Style",
                  {"tdNone", "tdRaised", "tdSunken", "tdShadow", "tdRaisedShadow", "tdSunkenShadow", "tdOutline",
                   "tdExtrude", "tdExtrudeEnh"},
                  &C::Style, &C::SetStyle)
            .Integer("LightDepth", &C::LightDepth, &C::SetLightDepth)
            .Integer("ShadowDepth", &C::ShadowDepth, &C::SetShadowDepth)
            .Integer("Tracing", &C::Tracing, &C::SetTracing)
            .Enum("DisabledStyle", {"dsAuto", "dsEmbossed", "dsNormal"}, &C::DisabledStyle, &C::SetDisabledStyle)
            .Enum("Orientation", {"toTopLeft", "toTopRight", "toBottomLeft", "toBottomRight"}, &C::Orientation,
                  &C::SetOrientation)
            .Build();
    return info;
}

void TKel3DCaption::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKel3DCaption*>(source);
    if (other == nullptr) {
        TKelObject::Assign(source);
        return;
    }
    style_ = other->style_;
    lightDepth_ = other->lightDepth_;
    shadowDepth_ = other->shadowDepth_;
    tracing_ = other->tracing_;
    disabledStyle_ = other->disabledStyle_;
    orientation_ = other->orientation_;
    Changed();
}

void TKel3DCaption::SetStyle(TKel3DStyle value)
{
    if (Store(style_, value)) {
        Changed();
    }
}

void TKel3DCaption::SetLightDepth(int value)
{
    if (Store(lightDepth_, value)) {
        Changed();
    }
}

void TKel3DCaption::SetShadowDepth(int value)
{
    if (Store(shadowDepth_, value)) {
        Changed();
    }
}

void TKel3DCaption::SetTracing(int value)
{
    if (Store(tracing_, value)) {
        Changed();
    }
}

void TKel3DCaption::SetDisabledStyle(TKelDisabledStyle value)
{
    if (Store(disabledStyle_, value)) {
        Changed();
    }
}

void TKel3DCaption::SetOrientation(TKelTextOrientation value)
{
    if (Store(orientation_, value)) {
        Changed();
    }
}

int TKel3DCaption::HeightExtra() const
{
    switch (style_) {
        case TKel3DStyle::tdShadow:
        case TKel3DStyle::tdRaisedShadow:
        case TKel3DStyle::tdSunkenShadow: return shadowDepth_;
        default: return 0;
    }
}

int TKel3DCaption::OriginDepth() const
{
    switch (style_) {
        case TKel3DStyle::tdSunken:
        case TKel3DStyle::tdSunkenShadow: return shadowDepth_;
        case TKel3DStyle::tdRaised:
        case TKel3DStyle::tdRaisedShadow: return lightDepth_;
        default: return 0;
    }
}

int TKel3DCaption::ExtrudeShift() const
{
    const bool extruded = style_ == TKel3DStyle::tdExtrude || style_ == TKel3DStyle::tdExtrudeEnh;
    const bool fromLeft =
        orientation_ == TKelTextOrientation::toTopLeft || orientation_ == TKelTextOrientation::toBottomLeft;
    return extruded && fromLeft ? shadowDepth_ : 0;
}

}  // namespace numedit
