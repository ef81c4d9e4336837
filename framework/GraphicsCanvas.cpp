#include "framework/GraphicsCanvas.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <string_view>

#include "framework/ClassesBuilder.h"
#include "framework/GraphicsGraphic.h"
#include "framework/ResStrings.h"

namespace fw {

namespace {

struct ColorName {
    std::string_view name;
    TColor value;
};

constexpr std::array kColorNames{
    ColorName{"clBlack", clBlack},
    ColorName{"clMaroon", clMaroon},
    ColorName{"clGreen", clGreen},
    ColorName{"clOlive", clOlive},
    ColorName{"clNavy", clNavy},
    ColorName{"clPurple", clPurple},
    ColorName{"clTeal", clTeal},
    ColorName{"clGray", clGray},
    ColorName{"clSilver", clSilver},
    ColorName{"clRed", clRed},
    ColorName{"clLime", clLime},
    ColorName{"clYellow", clYellow},
    ColorName{"clBlue", clBlue},
    ColorName{"clFuchsia", clFuchsia},
    ColorName{"clAqua", clAqua},
    ColorName{"clWhite", clWhite},
    ColorName{"clNone", clNone},
    ColorName{"clDefault", clDefault},
    ColorName{"clScrollBar", clScrollBar},
    ColorName{"clBackground", clBackground},
    ColorName{"clActiveCaption", clActiveCaption},
    ColorName{"clInactiveCaption", clInactiveCaption},
    ColorName{"clMenu", clMenu},
    ColorName{"clWindow", clWindow},
    ColorName{"clWindowFrame", clWindowFrame},
    ColorName{"clMenuText", clMenuText},
    ColorName{"clWindowText", clWindowText},
    ColorName{"clCaptionText", clCaptionText},
    ColorName{"clActiveBorder", clActiveBorder},
    ColorName{"clInactiveBorder", clInactiveBorder},
    ColorName{"clAppWorkSpace", clAppWorkSpace},
    ColorName{"clHighlight", clHighlight},
    ColorName{"clHighlightText", clHighlightText},
    ColorName{"clBtnFace", clBtnFace},
    ColorName{"clBtnShadow", clBtnShadow},
    ColorName{"clGrayText", clGrayText},
    ColorName{"clBtnText", clBtnText},
    ColorName{"clInactiveCaptionText", clInactiveCaptionText},
    ColorName{"clBtnHighlight", clBtnHighlight},
    ColorName{"cl3DDkShadow", cl3DDkShadow},
    ColorName{"cl3DLight", cl3DLight},
    ColorName{"clInfoText", clInfoText},
    ColorName{"clInfoBk", clInfoBk},
};

struct CharsetName {
    std::string_view name;
    int value;
};

constexpr std::array kCharsetNames{
    CharsetName{"ANSI_CHARSET", 0},      CharsetName{"DEFAULT_CHARSET", 1},    CharsetName{"SYMBOL_CHARSET", 2},
    CharsetName{"MAC_CHARSET", 77},      CharsetName{"SHIFTJIS_CHARSET", 128}, CharsetName{"HANGEUL_CHARSET", 129},
    CharsetName{"JOHAB_CHARSET", 130},   CharsetName{"GB2312_CHARSET", 134},   CharsetName{"CHINESEBIG5_CHARSET", 136},
    CharsetName{"GREEK_CHARSET", 161},   CharsetName{"TURKISH_CHARSET", 162},  CharsetName{"VIETNAMESE_CHARSET", 163},
    CharsetName{"HEBREW_CHARSET", 177},  CharsetName{"ARABIC_CHARSET", 178},   CharsetName{"BALTIC_CHARSET", 186},
    CharsetName{"RUSSIAN_CHARSET", 204}, CharsetName{"THAI_CHARSET", 222},     CharsetName{"EASTEUROPE_CHARSET", 238},
    CharsetName{"OEM_CHARSET", 255},
};

bool IdentToCharset(std::string_view ident, std::int32_t& charset)
{
    for (const auto& entry : kCharsetNames) {
        if (SameText(entry.name, ident)) {
            charset = entry.value;
            return true;
        }
    }
    return false;
}

int PenStyleToWin(TPenStyle style)
{
    switch (style) {
        case TPenStyle::psSolid: return desktop::PS_SOLID;
        case TPenStyle::psDash: return desktop::PS_DASH;
        case TPenStyle::psDot: return desktop::PS_DOT;
        case TPenStyle::psDashDot: return desktop::PS_DASHDOT;
        case TPenStyle::psDashDotDot: return desktop::PS_DASHDOTDOT;
        case TPenStyle::psClear: return desktop::PS_NULL;
        case TPenStyle::psInsideFrame: return desktop::PS_INSIDEFRAME;
    }
    return desktop::PS_SOLID;
}

int PenModeToRop2(TPenMode mode)
{
    constexpr std::array<int, 16> rop2{
        desktop::R2_BLACK,       desktop::R2_WHITE,      desktop::R2_NOP,         desktop::R2_NOT,
        desktop::R2_COPYPEN,     desktop::R2_NOTCOPYPEN, desktop::R2_MERGEPENNOT, desktop::R2_MASKPENNOT,
        desktop::R2_MERGENOTPEN, desktop::R2_MASKNOTPEN, desktop::R2_MERGEPEN,    desktop::R2_NOTMERGEPEN,
        desktop::R2_MASKPEN,     desktop::R2_NOTMASKPEN, desktop::R2_XORPEN,      desktop::R2_NOTXORPEN,
    };
    const auto index = static_cast<std::size_t>(mode);
    return index < rop2.size() ? rop2[index] : desktop::R2_COPYPEN;
}

// One lock for all canvases: painting is single-threaded in practice, and a shared recursive
// mutex keeps the fixed canvas layout free of a per-instance lock object.
std::recursive_mutex& CanvasMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

void NotifyChanging(TCanvas& canvas)
{
    if (canvas.OnChanging) canvas.OnChanging(&canvas);
}

void NotifyChanged(TCanvas& canvas)
{
    if (canvas.OnChange) canvas.OnChange(&canvas);
}

// Brackets one drawing operation with the canvas's change notifications.
class DrawScope {
public:
    explicit DrawScope(TCanvas& canvas) : canvas_(canvas) { NotifyChanging(canvas_); }
    ~DrawScope() { NotifyChanged(canvas_); }
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

private:
    TCanvas& canvas_;
};

}  // namespace

desktop::COLORREF ColorToRGB(TColor color)
{
    if (color < 0) return desktop::GetSysColor(color & 0xFF);
    return static_cast<desktop::COLORREF>(color);
}

bool IdentToColor(std::string_view ident, std::int32_t& color)
{
    for (const auto& entry : kColorNames) {
        if (SameText(entry.name, ident)) {
            color = entry.value;
            return true;
        }
    }
    return false;
}

// ---- TGraphicsObject ----

const TClassInfo& TGraphicsObject::Info()
{
    static const TClassInfo info = ClassBuilder<TGraphicsObject, TPersistent>("TGraphicsObject").Build();
    return info;
}

void TGraphicsObject::Changed()
{
    if (OnChange) OnChange(this);
}

// ---- TFont ----

TFont::TFont() = default;

TFont::~TFont() { DropHandle(); }

const TClassInfo& TFont::Info()
{
    static const TClassInfo info =
        ClassBuilder<TFont, TGraphicsObject>("TFont")
            .Integer("Charset", &TFont::GetCharset, &TFont::SetCharset, IdentToCharset)
            .Integer("Color", &TFont::GetColor, &TFont::SetColor, IdentToColor)
            .Integer("Height", &TFont::GetHeight, &TFont::SetHeight)
            .String("Name", &TFont::GetName, &TFont::SetName)
            .Enum("Pitch", {"fpDefault", "fpVariable", "fpFixed"}, &TFont::GetPitch, &TFont::SetPitch)
            .Integer("Size", &TFont::GetSize, &TFont::SetSize)
            .Set("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &TFont::GetStyle, &TFont::SetStyle)
            .Build();
    return info;
}

void TFont::Assign(TPersistent* source)
{
    if (auto* font = dynamic_cast<TFont*>(source)) {
        if (font == this) return;
        name_ = font->name_;
        // A font measured at another resolution keeps its point size here.
        height_ = font->pixelsPerInch_ == pixelsPerInch_ ? font->height_
                                                         : -desktop::MulDiv(font->GetSize(), pixelsPerInch_, 72);
        color_ = font->color_;
        style_ = font->style_;
        charset_ = font->charset_;
        pitch_ = font->pitch_;
        DropHandle();
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

desktop::HFONT TFont::Handle()
{
    if (handle_ == nullptr) {
        desktop::LOGFONT log;
        log.lfHeight = height_;
        log.lfWeight = (style_ & fsBold) != 0 ? desktop::FW_BOLD : desktop::FW_NORMAL;
        log.lfItalic = (style_ & fsItalic) != 0 ? 1 : 0;
        log.lfUnderline = (style_ & fsUnderline) != 0 ? 1 : 0;
        log.lfStrikeOut = (style_ & fsStrikeOut) != 0 ? 1 : 0;
        log.lfCharSet = charset_;
        log.lfQuality = desktop::DEFAULT_QUALITY;
        switch (pitch_) {
            case TFontPitch::fpFixed: log.lfPitchAndFamily = desktop::FIXED_PITCH; break;
            case TFontPitch::fpVariable: log.lfPitchAndFamily = desktop::VARIABLE_PITCH; break;
            case TFontPitch::fpDefault: log.lfPitchAndFamily = desktop::DEFAULT_PITCH; break;
        }
        const std::size_t length = std::min(name_.size(), std::size_t(desktop::LF_FACESIZE - 1));
        std::memcpy(log.lfFaceName, name_.data(), length);
        log.lfFaceName[length] = '\0';
        handle_ = desktop::CreateFontIndirect(log);
    }
    return handle_;
}

void TFont::SetHandle(desktop::HFONT font)
{
    desktop::LOGFONT log;
    if (font == nullptr || desktop::GetObject(font, sizeof(log), &log) == 0) return;
    // The description is copied; the caller keeps owning its handle.
    log.lfFaceName[desktop::LF_FACESIZE - 1] = '\0';
    name_ = log.lfFaceName;
    height_ = log.lfHeight;
    style_ = 0;
    if (log.lfWeight >= desktop::FW_BOLD) style_ |= fsBold;
    if (log.lfItalic != 0) style_ |= fsItalic;
    if (log.lfUnderline != 0) style_ |= fsUnderline;
    if (log.lfStrikeOut != 0) style_ |= fsStrikeOut;
    charset_ = log.lfCharSet;
    switch (log.lfPitchAndFamily & 0x0F) {
        case desktop::FIXED_PITCH: pitch_ = TFontPitch::fpFixed; break;
        case desktop::VARIABLE_PITCH: pitch_ = TFontPitch::fpVariable; break;
        default: pitch_ = TFontPitch::fpDefault; break;
    }
    DropHandle();
    Changed();
}

void TFont::SetName(const std::string& value)
{
    if (value.empty() || value == name_) return;
    name_ = value;
    DropHandle();
    Changed();
}

void TFont::SetHeight(int value)
{
    if (value == height_) return;
    height_ = value;
    DropHandle();
    Changed();
}

int TFont::GetSize() const { return -desktop::MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-desktop::MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor value)
{
    if (value == color_) return;
    // The colour is not part of the font handle.
    color_ = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == style_) return;
    style_ = value;
    DropHandle();
    Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == charset_) return;
    charset_ = value;
    DropHandle();
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == pitch_) return;
    pitch_ = value;
    DropHandle();
    Changed();
}

void TFont::DropHandle()
{
    if (handle_ != nullptr) {
        desktop::DeleteObject(handle_);
        handle_ = nullptr;
    }
}

// ---- TPen ----

TPen::~TPen() { DropHandle(); }

const TClassInfo& TPen::Info()
{
    static const TClassInfo info =
        ClassBuilder<TPen, TGraphicsObject>("TPen")
            .Integer("Color", &TPen::GetColor, &TPen::SetColor, IdentToColor)
            .Enum(
                "Mode",
                {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
                 "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"},
                &TPen::GetMode, &TPen::SetMode)
            .Enum("Style", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                  &TPen::GetStyle, &TPen::SetStyle)
            .Integer("Width", &TPen::GetWidth, &TPen::SetWidth)
            .Build();
    return info;
}

void TPen::Assign(TPersistent* source)
{
    if (auto* pen = dynamic_cast<TPen*>(source)) {
        if (pen == this) return;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        DropHandle();
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

desktop::HPEN TPen::Handle()
{
    if (handle_ == nullptr) handle_ = desktop::CreatePen(PenStyleToWin(style_), width_, ColorToRGB(color_));
    return handle_;
}

void TPen::SetColor(TColor value)
{
    if (value == color_) return;
    color_ = value;
    DropHandle();
    Changed();
}

void TPen::SetWidth(int value)
{
    if (value < 0 || value == width_) return;
    width_ = value;
    DropHandle();
    Changed();
}

void TPen::SetStyle(TPenStyle value)
{
    if (value == style_) return;
    style_ = value;
    DropHandle();
    Changed();
}

void TPen::SetMode(TPenMode value)
{
    if (value == mode_) return;
    // The mode is a DC attribute, not part of the pen handle.
    mode_ = value;
    Changed();
}

void TPen::DropHandle()
{
    if (handle_ != nullptr) {
        desktop::DeleteObject(handle_);
        handle_ = nullptr;
    }
}

// ---- TBrush ----

TBrush::~TBrush() { DropHandle(); }

const TClassInfo& TBrush::Info()
{
    static const TClassInfo info = ClassBuilder<TBrush, TGraphicsObject>("TBrush")
                                       .Integer("Color", &TBrush::GetColor, &TBrush::SetColor, IdentToColor)
                                       .Enum("Style",
                                             {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                              "bsBDiagonal", "bsCross", "bsDiagCross"},
                                             &TBrush::GetStyle, &TBrush::SetStyle)
                                       .Build();
    return info;
}

void TBrush::Assign(TPersistent* source)
{
    if (auto* brush = dynamic_cast<TBrush*>(source)) {
        if (brush == this) return;
        color_ = brush->color_;
        style_ = brush->style_;
        DropHandle();
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

desktop::HBRUSH TBrush::Handle()
{
    if (handle_ == nullptr) {
        switch (style_) {
            case TBrushStyle::bsSolid: handle_ = desktop::CreateSolidBrush(ColorToRGB(color_)); break;
            case TBrushStyle::bsClear:
                handle_ = static_cast<desktop::HBRUSH>(desktop::GetStockObject(desktop::NULL_BRUSH));
                break;
            default: {
                const int hatch =
                    static_cast<int>(style_) - static_cast<int>(TBrushStyle::bsHorizontal) + desktop::HS_HORIZONTAL;
                handle_ = desktop::CreateHatchBrush(hatch, ColorToRGB(color_));
                break;
            }
        }
    }
    return handle_;
}

void TBrush::SetColor(TColor value)
{
    if (value == color_ && style_ != TBrushStyle::bsClear) return;
    color_ = value;
    // Giving a clear brush a colour makes it solid again.
    if (style_ == TBrushStyle::bsClear) style_ = TBrushStyle::bsSolid;
    DropHandle();
    Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (value == style_) return;
    style_ = value;
    DropHandle();
    Changed();
}

void TBrush::DropHandle()
{
    // Deleting the stock null brush is a no-op.
    if (handle_ != nullptr) {
        desktop::DeleteObject(handle_);
        handle_ = nullptr;
    }
}

// ---- TCanvas ----

TCanvas::TCanvas() = default;

TCanvas::~TCanvas()
{
    if (dc_ != nullptr) DeselectObjects();
}

const TClassInfo& TCanvas::Info()
{
    static const TClassInfo info = ClassBuilder<TCanvas, TPersistent>("TCanvas").Build();
    return info;
}

desktop::HDC TCanvas::Handle()
{
    RequiredState();
    return dc_;
}

void TCanvas::SetHandle(desktop::HDC dc)
{
    if (dc == dc_) return;
    if (dc_ != nullptr) DeselectObjects();
    dc_ = dc;
}

void TCanvas::RequiredState()
{
    if (dc_ == nullptr) CreateHandle();
    if (dc_ == nullptr) throw EInvalidOperation(SNoCanvasHandle);
    // The objects drop their handles on every change, so select what is current each time.
    desktop::HGDIOBJ previous = desktop::SelectObject(dc_, font_.Handle());
    if (oldFont_ == nullptr) oldFont_ = previous;
    previous = desktop::SelectObject(dc_, pen_.Handle());
    if (oldPen_ == nullptr) oldPen_ = previous;
    previous = desktop::SelectObject(dc_, brush_.Handle());
    if (oldBrush_ == nullptr) oldBrush_ = previous;
    desktop::SetTextColor(dc_, ColorToRGB(font_.GetColor()));
    desktop::SetROP2(dc_, PenModeToRop2(pen_.GetMode()));
    if (brush_.GetStyle() == TBrushStyle::bsClear) {
        desktop::SetBkMode(dc_, desktop::TRANSPARENT);
    } else {
        desktop::SetBkColor(dc_, ColorToRGB(brush_.GetColor()));
        desktop::SetBkMode(dc_, desktop::OPAQUE);
    }
}

void TCanvas::DeselectObjects()
{
    if (dc_ == nullptr) return;
    if (oldFont_ != nullptr) desktop::SelectObject(dc_, oldFont_);
    if (oldPen_ != nullptr) desktop::SelectObject(dc_, oldPen_);
    if (oldBrush_ != nullptr) desktop::SelectObject(dc_, oldBrush_);
    oldFont_ = nullptr;
    oldPen_ = nullptr;
    oldBrush_ = nullptr;
}

void TCanvas::FillRect(const desktop::RECT& rect)
{
    DrawScope scope(*this);
    desktop::HDC dc = Handle();
    desktop::FillRect(dc, &rect, brush_.Handle());
}

void TCanvas::FrameRect(const desktop::RECT& rect)
{
    DrawScope scope(*this);
    desktop::HDC dc = Handle();
    desktop::FrameRect(dc, &rect, brush_.Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    DrawScope scope(*this);
    desktop::Rectangle(Handle(), left, top, right, bottom);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    DrawScope scope(*this);
    desktop::Ellipse(Handle(), left, top, right, bottom);
}

void TCanvas::Polygon(const std::vector<desktop::POINT>& points)
{
    if (points.empty()) return;
    DrawScope scope(*this);
    desktop::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::MoveTo(int x, int y) { desktop::MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y)
{
    DrawScope scope(*this);
    desktop::LineTo(Handle(), x, y);
}

void TCanvas::DrawFocusRect(const desktop::RECT& rect)
{
    DrawScope scope(*this);
    desktop::DrawFocusRect(Handle(), &rect);
}

desktop::COLORREF TCanvas::GetPixel(int x, int y) { return desktop::GetPixel(Handle(), x, y); }

void TCanvas::SetPixel(int x, int y, TColor color)
{
    DrawScope scope(*this);
    desktop::SetPixel(Handle(), x, y, ColorToRGB(color));
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    DrawScope scope(*this);
    desktop::HDC dc = Handle();
    desktop::TextOut(dc, x, y, text);
    desktop::SIZE extent;
    desktop::GetTextExtentPoint32(dc, text, &extent);
    desktop::MoveToEx(dc, x + extent.cx, y, nullptr);
}

void TCanvas::TextRect(const desktop::RECT& rect, int x, int y, const std::string& text)
{
    DrawScope scope(*this);
    desktop::UINT options = desktop::ETO_CLIPPED;
    if (brush_.GetStyle() != TBrushStyle::bsClear) options |= desktop::ETO_OPAQUE;
    desktop::ExtTextOut(Handle(), x, y, options, &rect, text);
}

desktop::SIZE TCanvas::TextExtent(const std::string& text)
{
    desktop::SIZE size;
    desktop::GetTextExtentPoint32(Handle(), text, &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (graphic == nullptr || graphic->Empty()) return;
    StretchDraw(desktop::RECT{x, y, x + graphic->Width(), y + graphic->Height()}, graphic);
}

void TCanvas::StretchDraw(const desktop::RECT& rect, TGraphic* graphic)
{
    if (graphic == nullptr || graphic->Empty()) return;
    DrawScope scope(*this);
    RequiredState();
    graphic->Draw(*this, rect);
}

void TCanvas::CopyRect(const desktop::RECT& dest, TCanvas* source, const desktop::RECT& sourceRect)
{
    if (source == nullptr) return;
    DrawScope scope(*this);
    desktop::HDC sourceDC = source->Handle();
    desktop::StretchBlt(Handle(), dest.left, dest.top, dest.Width(), dest.Height(), sourceDC, sourceRect.left,
                        sourceRect.top, sourceRect.Width(), sourceRect.Height(), desktop::SRCCOPY);
}

void TCanvas::Lock()
{
    CanvasMutex().lock();
    ++lockCount_;
}

void TCanvas::Unlock()
{
    if (lockCount_ == 0) return;
    --lockCount_;
    CanvasMutex().unlock();
}

}  // namespace fw
