#pragma once

// TKelBevel: the border of the family's edits. It says how many pixels the border takes from
// each side (Ext), draws the border into a rectangle, or, in bmWindows mode, leaves it to the
// window frame through the window styles it asks for. Every change notifies the owner, which
// re-creates its window so that styles, layout and painting follow.
//
// DrawStandardFrame draws the family's standard border styles on a DC; the spin button uses
// it too.

#include <cstdint>
#include <string>

#include "desktop/Gdi.h"
#include "framework/ControlsTypes.h"
#include "framework/GraphicsCanvas.h"
#include "numedit/KelObject.h"

namespace numedit {

enum class TKelBevelMode : std::uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };

enum class TKelBevelStyle : std::uint8_t {
    bvNone,
    bvLowered,
    bvRaised,
    bvFrameLowered,
    bvFrameRaised,
    bvNormal,
    bvShadow
};

enum class TKelBorderStyle : std::uint8_t {
    lsNone,
    lsSingle,
    lsLowered,
    lsRaised,
    lsRaisedspb,
    lsLoweredspb,
    lsRaisedExt,
    lsLoweredExt,
    lsFrameInset,
    lsFrameOffset,
    lsWindowBorder,
    lsSingleRaised,
    lsSingleLowered,
    lsDoubleRaised,
    lsDoubleLowered,
};

enum class TKelEdgeStyle : std::uint8_t {
    etRaisedInner,
    etRaisedOuter,
    etSunkenInner,
    etSunkenOuter,
    etBump,
    etEtched,
    etRaised,
    etSunken
};

// A set of sides: bit n for member n, in the order the layout names them.
enum TKelFrameSide : std::uint8_t { fsBottom = 1u << 0, fsLeft = 1u << 1, fsRight = 1u << 2, fsTop = 1u << 3 };
using TKelFrameSides = std::uint8_t;
inline constexpr TKelFrameSides kAllFrameSides = fsBottom | fsLeft | fsRight | fsTop;

// Pixels a standard border style takes from a side (the widest side for the uneven ones).
int BorderStyleWidth(TKelBorderStyle style);

// Draws style with DrawEdge on rect, shrinking rect past what was drawn. extra is or-ed into
// the flags of every edge except the few a style fixes (BF_SOFT, BF_MONO … for other looks).
void DrawStandardFrame(desktop::HDC dc, desktop::RECT& rect, TKelBorderStyle style, desktop::UINT extra = 0);

class TKelBevel : public TKelObject {
public:
    explicit TKelBevel(fw::TPersistent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    // Copies every property and SystemBorder, then notifies once.
    void Assign(fw::TPersistent* source) override;

    TKelBevelMode Mode() const { return mode_; }
    void SetMode(TKelBevelMode value);
    // Leaving bvShadow on one side of the pair resets the other to bvNone; choosing it sets
    // both.
    TKelBevelStyle StyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TKelBevelStyle value);
    TKelBevelStyle StyleInner() const { return styleInner_; }
    void SetStyleInner(TKelBevelStyle value);
    // At least 1.
    int WidthOuter() const { return widthOuter_; }
    void SetWidthOuter(int value);
    int WidthInner() const { return widthInner_; }
    void SetWidthInner(int value);
    // At least 0.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    int BorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderInnerWidth(int value);
    fw::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(fw::TColor value);
    fw::TColor LightColor() const { return lightColor_; }
    void SetLightColor(fw::TColor value);
    fw::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(fw::TColor value);
    // Notifies only in bmStandard, the one mode that draws it.
    TKelBorderStyle StandardStyle() const { return standardStyle_; }
    void SetStandardStyle(TKelBorderStyle value);
    TKelEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TKelEdgeStyle value);
    TKelFrameSides BorderSides() const { return borderSides_; }
    void SetBorderSides(TKelFrameSides value);

    // Set by the owner that lets the window frame draw the bmWindows border.
    bool SystemBorder() const { return systemBorder_; }
    void SetSystemBorder(bool value);

    // The border width on each side; Extr is the right and bottom one (wider only for the
    // drop shadow of bmCustom).
    int Ext() const { return ext_; }
    int Extr() const { return extr_; }

    // Paints the border into rect and returns what lies inside it. Nothing is drawn when Ext
    // is 0. transparent leaves the parts of the band that no edge covers unpainted.
    desktop::RECT Draw(fw::TCanvas& canvas, desktop::RECT rect, bool transparent) const;

    // "{Windows style}" and the like, for property editors.
    std::string DisplayText() const;

protected:
    void Changed() override;

private:
    void UpdateExt();
    void DrawCustom(desktop::HDC dc, desktop::RECT& rect, bool transparent) const;
    void DrawEdged(fw::TCanvas& canvas, desktop::RECT& rect, bool transparent) const;

    TKelBevelMode mode_ = TKelBevelMode::bmCustom;
    TKelBevelStyle styleOuter_ = TKelBevelStyle::bvNone;
    TKelBevelStyle styleInner_ = TKelBevelStyle::bvNone;
    int widthOuter_ = 1;
    int widthInner_ = 1;
    int borderWidth_ = 0;
    int borderInnerWidth_ = 0;
    fw::TColor borderColor_ = fw::clBtnFace;
    fw::TColor lightColor_ = fw::clBtnHighlight;
    fw::TColor shadowColor_ = fw::clBtnShadow;
    TKelBorderStyle standardStyle_ = TKelBorderStyle::lsSingleLowered;
    TKelEdgeStyle edgeStyle_ = TKelEdgeStyle::etEtched;
    TKelFrameSides borderSides_ = kAllFrameSides;
    bool systemBorder_ = false;
    int ext_ = 0;
    int extr_ = 0;
};

// The window styles of a control bordered by bevel, for its CreateParams: bmWindows asks the
// window frame for the border (a client edge with 3D controls, else a plain border); a themed
// control draws its frame itself and gets neither.
void ApplyBevelWindowStyles(const TKelBevel& bevel, bool ctl3D, bool themed, fw::TCreateParams& params);
// Whether switching Ctl3D changes those styles, so that the window must be made again.
bool Ctl3DChangeNeedsNewWindow(const TKelBevel& bevel, bool themed);

}  // namespace numedit
