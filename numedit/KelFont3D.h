#pragma once

// TKel3DCaption: the text effect of the family's edits (raised, sunken, shadowed, outlined or
// extruded lettering). The defaults give plain text. The queries at the end are the offsets
// that measuring and caret placement need for the chosen effect.

#include <cstdint>

#include "numedit/KelObject.h"

namespace numedit {

enum class TKel3DStyle : std::uint8_t {
    tdNone,
    tdRaised,
    tdSunken,
    tdShadow,
    tdRaisedShadow,
    tdSunkenShadow,
    tdOutline,
    tdExtrude,
    tdExtrudeEnh,
};

// How disabled text is drawn: dsAuto in the system grey-text colour.
enum class TKelDisabledStyle : std::uint8_t { dsAuto, dsEmbossed, dsNormal };

// The direction the light comes from, which decides where shadows and extrusions fall.
enum class TKelTextOrientation : std::uint8_t { toTopLeft, toTopRight, toBottomLeft, toBottomRight };

class TKel3DCaption : public TKelObject {
public:
    explicit TKel3DCaption(fw::TPersistent* owner) : TKelObject(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    void Assign(fw::TPersistent* source) override;

    TKel3DStyle Style() const { return style_; }
    void SetStyle(TKel3DStyle value);
    int LightDepth() const { return lightDepth_; }
    void SetLightDepth(int value);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int value);
    // Extra pixels between characters.
    int Tracing() const { return tracing_; }
    void SetTracing(int value);
    TKelDisabledStyle DisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TKelDisabledStyle value);
    TKelTextOrientation Orientation() const { return orientation_; }
    void SetOrientation(TKelTextOrientation value);

    bool IsPlain() const { return style_ == TKel3DStyle::tdNone; }
    // Added to a measured text height: the shadow below the letters.
    int HeightExtra() const;
    // How far the letters stand right of the text origin: the depth of a raised or sunken face.
    int OriginDepth() const;
    // The extra shift of the caret for extrusions that grow towards the left.
    int ExtrudeShift() const;

private:
    TKel3DStyle style_ = TKel3DStyle::tdNone;
    int lightDepth_ = 1;
    int shadowDepth_ = 1;
    int tracing_ = 0;
    TKelDisabledStyle disabledStyle_ = TKelDisabledStyle::dsAuto;
    TKelTextOrientation orientation_ = TKelTextOrientation::toTopLeft;
};

}  // namespace numedit
