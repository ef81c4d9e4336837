// Clip masks, raster operations and brush sampling used by every primitive.
#include <algorithm>

#include "desktop/GdiContext.h"

namespace desktop {
namespace gdi {

void ClipMask::Assign(const std::vector<RowSpan>& spans)
{
    spans_.clear();
    bounds_ = RECT{};
    kind_ = NULLREGION;
    rowStart_.assign(1, 0);
    if (spans.empty()) return;
    bounds_ = RECT{spans.front().x0, spans.front().y, spans.front().x1, spans.back().y + 1};
    for (const RowSpan& s : spans) {
        bounds_.left = std::min(bounds_.left, s.x0);
        bounds_.right = std::max(bounds_.right, s.x1);
    }
    rowStart_.assign(std::size_t(bounds_.Height()) + 1, 0);
    spans_.reserve(spans.size());
    bool simple = spans.size() == std::size_t(bounds_.Height());
    for (const RowSpan& s : spans) {
        spans_.push_back({s.x0, s.x1});
        ++rowStart_[std::size_t(s.y - bounds_.top) + 1];
        simple = simple && s.x0 == bounds_.left && s.x1 == bounds_.right;
    }
    for (std::size_t i = 1; i < rowStart_.size(); ++i) rowStart_[i] += rowStart_[i - 1];
    kind_ = simple ? SIMPLEREGION : COMPLEXREGION;
}

void ClipMask::Build(const Region& region, const RECT& limit)
{
    std::vector<RowSpan> spans;
    region.ForEachSpan([&](LONG y, LONG x0, LONG x1) {
        if (y < limit.top || y >= limit.bottom) return;
        x0 = std::max(x0, limit.left);
        x1 = std::min(x1, limit.right);
        if (x0 < x1) spans.push_back({y, x0, x1});
    });
    Assign(spans);
}

void ClipMask::Build(const RECT& rect)
{
    std::vector<RowSpan> spans;
    if (!rect.IsEmpty())
        for (LONG y = rect.top; y < rect.bottom; ++y) spans.push_back({y, rect.left, rect.right});
    Assign(spans);
}

void ClipMask::Intersect(const ClipMask& a, const ClipMask& b)
{
    std::vector<RowSpan> spans;
    const LONG top = std::max(a.bounds_.top, b.bounds_.top), bottom = std::min(a.bounds_.bottom, b.bounds_.bottom);
    for (LONG y = top; y < bottom; ++y) {
        const std::size_t ra = std::size_t(y - a.bounds_.top), rb = std::size_t(y - b.bounds_.top);
        std::uint32_t i = a.rowStart_[ra], j = b.rowStart_[rb];
        const std::uint32_t ie = a.rowStart_[ra + 1], je = b.rowStart_[rb + 1];
        while (i < ie && j < je) {
            const Region::Span& p = a.spans_[i];
            const Region::Span& q = b.spans_[j];
            const LONG x0 = std::max(p.x0, q.x0), x1 = std::min(p.x1, q.x1);
            if (x0 < x1) spans.push_back({y, x0, x1});
            if (p.x1 < q.x1)
                ++i;
            else
                ++j;
        }
    }
    Assign(spans);
}

bool ClipMask::Contains(LONG x, LONG y) const
{
    bool inside = false;
    ForEach(y, x, x + 1, [&](LONG, LONG) { inside = true; });
    return inside;
}

DeviceContext* Dc(HDC dc) { return dc; }

GdiBrush* BrushFromHandle(HBRUSH brush)
{
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= std::uintptr_t(kSysColorCount)) return GetSysColorBrush(int(value) - 1);
    return brush;
}

COLORREF ResolveColor(const DeviceContext& dc, COLORREF color)
{
    if ((color >> 24) == 0x01) {
        const GdiPalette* pal = dc.state.palette;
        const std::size_t index = color & 0xFFFF;
        if (!pal || pal->entries.empty()) return 0;
        const PALETTEENTRY& e = pal->entries[index < pal->entries.size() ? index : 0];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return color & 0xFFFFFF;
}

std::uint32_t Quantize(std::uint32_t pixel)
{
    const std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (r * 30 + g * 59 + b * 11) >= 128 * 100 ? 0xFFFFFF : 0;
}

std::uint32_t PixelOf(DeviceContext& dc, COLORREF color)
{
    const std::uint32_t p = PixelFromColor(ResolveColor(dc, color));
    return dc.Monochrome() ? Quantize(p) : p;
}

// The code's bits are the results for (pen, dst) = (0,0), (0,1), (1,0), (1,1).
std::uint32_t Rop2(int rop, std::uint32_t pen, std::uint32_t dst)
{
    if (rop == R2_COPYPEN) return pen;
    const unsigned t = unsigned(rop - 1) & 0xF;
    const auto m = [&](unsigned bit) { return (t >> bit) & 1 ? 0xFFFFFFu : 0u; };
    return ((~pen & ~dst & m(0)) | (~pen & dst & m(1)) | (pen & ~dst & m(2)) | (pen & dst & m(3))) & 0xFFFFFF;
}

// The code's bit (p*4 + s*2 + d) is the result for those inputs.
std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    switch (code) {
        case 0xCC: return s;
        case 0xF0: return p;
        case 0x00: return 0;
        case 0xFF: return 0xFFFFFF;
        case 0x55: return ~d & 0xFFFFFF;
        case 0x66: return s ^ d;
        case 0x88: return s & d;
        case 0xEE: return s | d;
        case 0x5A: return p ^ d;
        default: break;
    }
    std::uint32_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1)) continue;
        const std::uint32_t tp = (i & 4) ? p : ~p;
        const std::uint32_t ts = (i & 2) ? s : ~s;
        const std::uint32_t td = (i & 1) ? d : ~d;
        out |= tp & ts & td;
    }
    return out & 0xFFFFFF;
}

BrushSource::BrushSource(DeviceContext& dc, const GdiBrush* brush)
{
    brush_ = brush;
    if (!brush) return;
    orgX_ = dc.origin.x + dc.state.brushOrg.x;
    orgY_ = dc.origin.y + dc.state.brushOrg.y;
    mono_ = dc.Monochrome();
    switch (brush->log.lbStyle) {
        case BS_SOLID:
            null_ = false;
            solid_ = true;
            color_ = PixelOf(dc, brush->log.lbColor);
            break;
        case BS_HATCHED:
            null_ = false;
            fore_ = PixelOf(dc, brush->log.lbColor);
            back_ = PixelOf(dc, dc.state.bkColor);
            opaqueGaps_ = dc.state.bkMode == OPAQUE;
            break;
        case BS_PATTERN:
        case BS_DIBPATTERNPT:
            if (brush->pattern.width <= 0 || brush->pattern.height <= 0) break;
            null_ = false;
            fore_ = PixelOf(dc, dc.state.textColor);
            back_ = PixelOf(dc, dc.state.bkColor);
            break;
        default: break;
    }
}

namespace {
LONG Mod(LONG v, LONG m)
{
    const LONG r = v % m;
    return r < 0 ? r + m : r;
}

bool HatchBit(int style, LONG x, LONG y)
{
    switch (style) {
        case HS_HORIZONTAL: return y == 0;
        case HS_VERTICAL: return x == 0;
        case HS_FDIAGONAL: return x == y;
        case HS_BDIAGONAL: return x == 7 - y;
        case HS_CROSS: return x == 0 || y == 0;
        case HS_DIAGCROSS: return x == y || x == 7 - y;
        default: return false;
    }
}
}  // namespace

bool BrushSource::At(LONG x, LONG y, std::uint32_t& pixel) const
{
    if (null_) return false;
    if (solid_) {
        pixel = color_;
        return true;
    }
    if (brush_->log.lbStyle == BS_HATCHED) {
        if (HatchBit(int(brush_->log.lbHatch), Mod(x - orgX_, 8), Mod(y - orgY_, 8))) {
            pixel = fore_;
            return true;
        }
        pixel = back_;
        return opaqueGaps_;
    }
    const Surface& p = brush_->pattern;
    const std::uint32_t v =
        p.pixels[std::size_t(Mod(y - orgY_, p.height)) * std::size_t(p.width) + std::size_t(Mod(x - orgX_, p.width))];
    // A monochrome pattern takes the DC's text colour for its black and background colour for its white.
    if (brush_->patternMonochrome)
        pixel = v == 0 ? fore_ : back_;
    else
        pixel = mono_ ? Quantize(v) : v;
    return true;
}

void FillSpan(DeviceContext& dc, Surface& target, LONG y, LONG x0, LONG x1, const BrushSource& brush, int rop2)
{
    if (brush.IsNull() || rop2 == R2_NOP) return;
    dc.Clip().ForEach(y, x0, x1, [&](LONG a, LONG b) {
        std::uint32_t* row = target.pixels.data() + std::size_t(y) * std::size_t(target.width);
        if (brush.IsSolid() && rop2 == R2_COPYPEN) {
            std::fill(row + a, row + b, brush.Solid());
            return;
        }
        for (LONG x = a; x < b; ++x) {
            std::uint32_t p = 0;
            if (brush.At(x, y, p)) row[x] = Rop2(rop2, p, row[x]);
        }
    });
}

void FillSurfaceRect(DeviceContext& dc, const RECT& r, const BrushSource& brush, int rop2)
{
    if (brush.IsNull()) return;
    const RECT clipped = IntersectRects(r, dc.Clip().Bounds());
    if (clipped.IsEmpty()) return;
    Surface& target = dc.Target();
    for (LONG y = clipped.top; y < clipped.bottom; ++y)
        FillSpan(dc, target, y, clipped.left, clipped.right, brush, rop2);
}

void FillSurfaceRegion(DeviceContext& dc, const Region& region, const BrushSource& brush, int rop2)
{
    if (brush.IsNull() || region.IsEmpty()) return;
    Surface& target = dc.Target();
    const RECT bounds = dc.Clip().Bounds();
    region.ForEachSpan([&](LONG y, LONG x0, LONG x1) {
        if (y >= bounds.top && y < bounds.bottom) FillSpan(dc, target, y, x0, x1, brush, rop2);
    });
}

void ApplyRop3Rect(DeviceContext& dc, const RECT& r, const BrushSource& brush, std::uint8_t rop)
{
    const RECT clipped = IntersectRects(r, dc.Clip().Bounds());
    if (clipped.IsEmpty()) return;
    if (RopUsesPattern(rop) && brush.IsNull()) return;
    Surface& target = dc.Target();
    const bool mono = dc.Monochrome();
    for (LONG y = clipped.top; y < clipped.bottom; ++y) {
        std::uint32_t* row = target.pixels.data() + std::size_t(y) * std::size_t(target.width);
        dc.Clip().ForEach(y, clipped.left, clipped.right, [&](LONG a, LONG b) {
            for (LONG x = a; x < b; ++x) {
                std::uint32_t p = 0;
                if (RopUsesPattern(rop) && !brush.At(x, y, p)) continue;
                const std::uint32_t v = Rop3(rop, p, 0, row[x]);
                row[x] = mono ? Quantize(v) : v;
            }
        });
    }
}

void PlotPixel(DeviceContext& dc, Surface& target, LONG x, LONG y, std::uint32_t pixel, int rop2)
{
    if (!dc.Clip().Contains(x, y)) return;
    std::uint32_t& d = target.pixels[std::size_t(y) * std::size_t(target.width) + std::size_t(x)];
    d = Rop2(rop2, pixel, d);
}

}  // namespace gdi

Surface& DeviceContext::Target()
{
    if (!memory) return *surface;
    GdiBitmap& bm = *state.bitmap;
    if (bm.isDibSection) gdi::MarkDrawn(bm);
    return bm.surface;
}

const Surface& DeviceContext::Source()
{
    if (!memory) return *surface;
    GdiBitmap& bm = *state.bitmap;
    if (bm.isDibSection) gdi::PullDib(bm);
    return bm.surface;
}

RECT DeviceContext::DeviceBounds()
{
    const Surface& s = memory ? state.bitmap->surface : *surface;
    return RECT{-origin.x, -origin.y, s.width - origin.x, s.height - origin.y};
}

const gdi::ClipMask& DeviceContext::Clip()
{
    if (clipValid) return *activeClip;
    const Surface& s = memory ? state.bitmap->surface : *surface;
    const RECT limit{0, 0, s.width, s.height};
    activeClip = &clipMask;
    if (!state.hasClip) {
        if (memory)
            clipMask.Build(limit);
        else
            activeClip = &outerClip;
    } else {
        Region own = state.clip;
        own.Offset(origin.x, origin.y);
        if (memory) {
            clipMask.Build(own, limit);
        } else {
            gdi::ClipMask ownMask;
            ownMask.Build(own, limit);
            clipMask.Intersect(outerClip, ownMask);
        }
    }
    clipValid = true;
    return *activeClip;
}

}  // namespace desktop
