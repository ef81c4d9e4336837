// Text output, extents and metrics.
#include <algorithm>
#include <cstring>

#include "desktop/GdiContext.h"

namespace desktop {
namespace gdi {
namespace {

std::uint32_t Blend(std::uint32_t bg, std::uint32_t fg, std::uint32_t coverage)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t b = (bg >> shift) & 0xFF, f = (fg >> shift) & 0xFF;
        out |= ((f * coverage + b * (255 - coverage) + 127) / 255) << shift;
    }
    return out;
}

void FillRows(DeviceContext& dc, RECT r, const RECT* clip, std::uint32_t pixel)
{
    if (clip) r = IntersectRects(r, *clip);
    FillSurfaceRect(dc, r, BrushSource(pixel), R2_COPYPEN);
}

}  // namespace

int CharAdvance(const Font& font, unsigned char c, int charExtra)
{
    return font.Advance(c) + (c >= 0x20 ? charExtra : 0);
}

void FillBackground(DeviceContext& dc, RECT r, const RECT* clip)
{
    FillRows(dc, r, clip, PixelOf(dc, dc.state.bkColor));
}

void DrawUnderline(DeviceContext& dc, const Font& font, LONG x0, LONG x1, LONG cellTop, const RECT* clip)
{
    const FontMetrics& m = font.Metrics();
    const LONG top = cellTop + m.ascent + m.underlineTop;
    FillRows(dc, RECT{x0, top, x1, top + m.underlineThickness}, clip, PixelOf(dc, dc.state.textColor));
}

void DrawTextLine(DeviceContext& dc, const Font& font, const TextLine& line, const RECT* clip, bool drawGlyphs)
{
    const FontMetrics& m = font.Metrics();
    const int extra = dc.state.charExtra;
    const std::uint32_t fg = PixelOf(dc, dc.state.textColor);
    const bool mono = dc.Monochrome();
    const LONG baseline = line.top + m.ascent;
    RECT limit = dc.Clip().Bounds();
    if (clip) limit = IntersectRects(limit, *clip);
    LONG x = line.x;
    if (drawGlyphs && !limit.IsEmpty()) {
        Surface& target = dc.Target();
        const ClipMask& mask = dc.Clip();
        for (std::size_t i = 0; i < line.text.size(); ++i) {
            const auto c = std::uint8_t(line.text[i]);
            const Glyph& g = font.GlyphOf(c);
            const LONG gx = x + g.left, gy = baseline - g.top;
            for (int row = 0; row < g.height; ++row) {
                const LONG y = gy + row;
                if (y < limit.top || y >= limit.bottom) continue;
                const std::uint8_t* cov = g.coverage.data() + std::size_t(row) * std::size_t(g.width);
                std::uint32_t* dst = target.pixels.data() + std::size_t(y) * std::size_t(target.width);
                mask.ForEach(y, std::max(gx, limit.left), std::min(gx + g.width, limit.right), [&](LONG a, LONG b) {
                    for (LONG px = a; px < b; ++px) {
                        const std::uint32_t alpha = cov[px - gx];
                        if (alpha == 0) continue;
                        const std::uint32_t v = alpha == 255 ? fg : Blend(dst[px], fg, alpha);
                        dst[px] = mono ? Quantize(v) : v;
                    }
                });
            }
            x += line.dx ? line.dx[i] : CharAdvance(font, c, extra);
        }
    } else {
        for (std::size_t i = 0; i < line.text.size(); ++i)
            x += line.dx ? line.dx[i] : CharAdvance(font, std::uint8_t(line.text[i]), extra);
    }
    if (line.underline) DrawUnderline(dc, font, line.x, x, line.top, clip);
    if (line.strikeOut) {
        const LONG top = baseline - m.strikeoutTop;
        FillRows(dc, RECT{line.x, top, x, top + m.strikeoutThickness}, clip, fg);
    }
}

}  // namespace gdi

namespace {

int Width(const Font& font, std::string_view text, int extra, const int* dx)
{
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        w += dx ? dx[i] : gdi::CharAdvance(font, std::uint8_t(text[i]), extra);
    return w;
}

}  // namespace

BOOL TextOut(HDC hdc, int x, int y, const std::string& text) { return ExtTextOut(hdc, x, y, 0, nullptr, text); }

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const std::string& text, const int* dx)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    const Font& font = gdi::FontOf(*dc);
    const FontMetrics& m = font.Metrics();
    const int width = Width(font, text, dc->state.charExtra, dx);
    const UINT align = dc->state.textAlign;
    if (align & TA_UPDATECP) x = dc->state.currentPos.x, y = dc->state.currentPos.y;
    LONG left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if ((align & TA_CENTER) == TA_RIGHT)
        left -= width;
    LONG top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top -= m.ascent;
    else if ((align & TA_BASELINE) == TA_BOTTOM)
        top -= m.height;
    if (align & TA_UPDATECP) {
        if ((align & TA_CENTER) == TA_LEFT) dc->state.currentPos.x = x + width;
        if ((align & TA_CENTER) == TA_RIGHT) dc->state.currentPos.x = x - width;
    }
    std::optional<RECT> clip;
    if (rect && (options & ETO_CLIPPED)) clip = dc->ToSurface(*rect);
    if (rect && (options & ETO_OPAQUE)) gdi::FillBackground(*dc, dc->ToSurface(*rect), nullptr);
    const LONG sx = left + dc->Dx(), sy = top + dc->Dy();
    if (dc->state.bkMode == OPAQUE)
        gdi::FillBackground(*dc, RECT{sx, sy, sx + width, sy + m.height}, clip ? &*clip : nullptr);
    const GdiFont* f = dc->state.font;
    gdi::TextLine line{text, sx, sy, dx, f && f->log.lfUnderline != 0, f && f->log.lfStrikeOut != 0};
    gdi::DrawTextLine(*dc, font, line, clip ? &*clip : nullptr, true);
    return 1;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !size || count < 0 || (!text && count > 0)) return 0;
    const Font& font = gdi::FontOf(*dc);
    size->cx = Width(font, std::string_view(text ? text : "", std::size_t(count)), dc->state.charExtra, nullptr);
    size->cy = font.Metrics().height;
    return 1;
}

BOOL GetTextExtentPoint32(HDC hdc, const std::string& text, SIZE* size)
{
    return GetTextExtentPoint32(hdc, text.data(), int(text.size()), size);
}

BOOL GetTextExtentExPoint(HDC hdc, const std::string& text, int maxExtent, int* fit, int* partialWidths, SIZE* size)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    const Font& font = gdi::FontOf(*dc);
    int w = 0, fitted = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        w += gdi::CharAdvance(font, std::uint8_t(text[i]), dc->state.charExtra);
        if (partialWidths) partialWidths[i] = w;
        if (w <= maxExtent && fitted == int(i)) fitted = int(i) + 1;
    }
    if (fit) *fit = fitted;
    if (size) *size = SIZE{w, font.Metrics().height};
    return 1;
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, int* widths)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !widths || last < first) return 0;
    const Font& font = gdi::FontOf(*dc);
    for (UINT c = first; c <= last; ++c) widths[c - first] = c < 256 ? font.Advance(std::uint8_t(c)) : 0;
    return 1;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !tm) return 0;
    const Font& font = gdi::FontOf(*dc);
    const FontMetrics& m = font.Metrics();
    const LOGFONT& log = dc->state.font->log;
    *tm = TEXTMETRIC{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = log.lfWeight == 0 ? FW_NORMAL : log.lfWeight;
    tm->tmItalic = log.lfItalic ? 1 : 0;
    tm->tmUnderlined = log.lfUnderline ? 1 : 0;
    tm->tmStruckOut = log.lfStrikeOut ? 1 : 0;
    // The "fixed pitch" bit is set for variable-pitch fonts, as on the original platform.
    tm->tmPitchAndFamily =
        BYTE((log.lfPitchAndFamily & 0xF0) | TMPF_VECTOR | TMPF_TRUETYPE | (m.fixedPitch ? 0 : TMPF_FIXED_PITCH));
    tm->tmCharSet = ANSI_CHARSET;
    return 1;
}

std::string GetTextFace(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !dc->state.font) return {};
    const LOGFONT& log = dc->state.font->log;
    const std::string requested(log.lfFaceName, std::find(log.lfFaceName, log.lfFaceName + LF_FACESIZE, '\0'));
    return requested.empty() ? gdi::FontOf(*dc).Family() : requested;
}

int GetTextFace(HDC hdc, int count, char* name)
{
    const std::string face = GetTextFace(hdc);
    if (!gdi::Dc(hdc)) return 0;
    if (!name) return int(face.size()) + 1;
    if (count <= 0) return 0;
    const std::size_t n = std::min(face.size(), std::size_t(count - 1));
    std::memcpy(name, face.data(), n);
    name[n] = '\0';
    return int(n);
}

}  // namespace desktop
