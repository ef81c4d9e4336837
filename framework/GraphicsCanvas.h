#pragma once

// Colours, fonts, pens, brushes and the canvas that draws with them on a device context.
// The drawing objects create their platform handle lazily and drop it on every change, so a
// control can hand the same TFont to many windows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "desktop/Gdi.h"
#include "framework/ClassesComponent.h"

namespace fw {

class TGraphic;

// 0x00BBGGRR, or a system colour: 0x80000000 | COLOR_ index.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

// System colours resolve through the current system colour table.
desktop::COLORREF ColorToRGB(TColor color);
// "clBtnFace" → value, for the layout reader's identifier properties; false when unknown.
bool IdentToColor(std::string_view ident, std::int32_t& color);

enum TFontStyle : std::uint8_t { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using TFontStyles = std::uint8_t;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

// A drawing object that tells its owner when it changed.
class TGraphicsObject : public TPersistent {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Assign(TPersistent* source) override;

    desktop::HFONT Handle();
    // Adopts the description of an existing font (a non-client font, say).
    void SetHandle(desktop::HFONT font);

    const std::string& GetName() const { return name_; }
    void SetName(const std::string& value);
    int GetHeight() const { return height_; }
    void SetHeight(int value);
    // Points at PixelsPerInch: Size = -Height * 72 / PixelsPerInch.
    int GetSize() const;
    void SetSize(int value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TFontStyles GetStyle() const { return style_; }
    void SetStyle(TFontStyles value);
    TFontCharset GetCharset() const { return charset_; }
    void SetCharset(TFontCharset value);
    TFontPitch GetPitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

private:
    void DropHandle();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    TFontCharset charset_ = desktop::DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int pixelsPerInch_ = 96;
    desktop::HFONT handle_ = nullptr;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Assign(TPersistent* source) override;
    desktop::HPEN Handle();

    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    TPenStyle GetStyle() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode GetMode() const { return mode_; }
    void SetMode(TPenMode value);

private:
    void DropHandle();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
    desktop::HPEN handle_ = nullptr;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Assign(TPersistent* source) override;
    desktop::HBRUSH Handle();

    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle GetStyle() const { return style_; }
    void SetStyle(TBrushStyle value);

private:
    void DropHandle();

    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    desktop::HBRUSH handle_ = nullptr;
};

enum TTextFormatFlag : std::uint32_t {
    tfSingleLine = desktop::DT_SINGLELINE,
    tfWordBreak = desktop::DT_WORDBREAK,
    tfCalcRect = desktop::DT_CALCRECT,
    tfExpandTabs = desktop::DT_EXPANDTABS,
    tfNoPrefix = desktop::DT_NOPREFIX,
};

// Draws on a device context with its Font, Pen and Brush. A plain TCanvas draws on a handle
// set from outside; subclasses (a control's canvas, a bitmap's canvas) create it on demand.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Selects the current font, pen and brush into the DC before handing it out.
    desktop::HDC Handle();
    void SetHandle(desktop::HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    void SetFont(TFont* value) { font_.Assign(value); }

    void FillRect(const desktop::RECT& rect);
    void FrameRect(const desktop::RECT& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(const std::vector<desktop::POINT>& points);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void DrawFocusRect(const desktop::RECT& rect);
    desktop::COLORREF GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void TextOut(int x, int y, const std::string& text);
    void TextRect(const desktop::RECT& rect, int x, int y, const std::string& text);
    desktop::SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const desktop::RECT& rect, TGraphic* graphic);
    void CopyRect(const desktop::RECT& dest, TCanvas* source, const desktop::RECT& sourceRect);

    // Nested Lock calls are counted; bitmaps drawn from other threads rely on it.
    void Lock();
    void Unlock();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Subclasses create the DC here when Handle() finds none.
    virtual void CreateHandle() {}
    void RequiredState();
    void DeselectObjects();

private:
    desktop::HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    int lockCount_ = 0;
    desktop::HGDIOBJ oldFont_ = nullptr;
    desktop::HGDIOBJ oldPen_ = nullptr;
    desktop::HGDIOBJ oldBrush_ = nullptr;
};

}  // namespace fw
