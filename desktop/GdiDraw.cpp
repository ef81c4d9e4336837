// Lines, shapes, rectangles, pixels and the focus rectangle.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "desktop/GdiContext.h"

namespace desktop {
namespace {

struct PenInfo {
    bool null = true;
    int width = 1;
    UINT style = PS_SOLID;
    std::uint32_t pixel = 0;
};

PenInfo PenOf(DeviceContext& dc)
{
    PenInfo p;
    const GdiPen* pen = dc.state.pen;
    if (!pen) return p;
    p.style = pen->log.lopnStyle & PS_STYLE_MASK;
    p.null = p.style == PS_NULL;
    p.width = std::max(1, int(pen->log.lopnWidth.x));
    p.pixel = gdi::PixelOf(dc, pen->log.lopnColor);
    return p;
}

bool IsStyled(const PenInfo& pen) { return pen.width == 1 && pen.style >= PS_DASH && pen.style <= PS_DASHDOTDOT; }

struct Dashes {
    const int* lengths;
    int count;
};

Dashes DashesOf(UINT style)
{
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
        case PS_DASH: return {kDash, 2};
        case PS_DOT: return {kDot, 2};
        case PS_DASHDOT: return {kDashDot, 4};
        default: return {kDashDotDot, 6};
    }
}

// Per-row spans of a shape in surface coordinates; x0 >= x1 marks an empty row.
struct Shape {
    LONG top = 0;
    std::vector<std::pair<LONG, LONG>> rows;
};

// A line in surface coordinates; a one-pixel line leaves out its last point.
void StrokeLine(DeviceContext& dc, POINT a, POINT b)
{
    const PenInfo pen = PenOf(dc);
    if (pen.null) return;
    Surface& target = dc.Target();
    const int rop = dc.state.rop2;
    const LONG dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const LONG sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    LONG err = dx + dy;
    LONG x = a.x, y = a.y;
    const auto step = [&] {
        const LONG e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    };
    if (pen.width == 1) {
        const bool styled = IsStyled(pen);
        const Dashes dashes = DashesOf(pen.style);
        const bool opaqueGaps = dc.state.bkMode == OPAQUE;
        const std::uint32_t gap = gdi::PixelOf(dc, dc.state.bkColor);
        int segment = 0, run = 0;
        while (x != b.x || y != b.y) {
            bool on = true;
            if (styled) {
                on = segment % 2 == 0;
                if (++run >= dashes.lengths[segment]) run = 0, segment = (segment + 1) % dashes.count;
            }
            if (on)
                gdi::PlotPixel(dc, target, x, y, pen.pixel, rop);
            else if (opaqueGaps)
                gdi::PlotPixel(dc, target, x, y, gap, rop);
            step();
        }
        return;
    }
    // Wide pens: a square of the pen's width at every point, both ends included.
    const LONG half = pen.width / 2;
    Shape stroke;
    stroke.top = std::min(a.y, b.y) - half;
    stroke.rows.assign(std::size_t(std::abs(b.y - a.y) + pen.width), {0, 0});
    std::vector<bool> used(stroke.rows.size(), false);
    for (;;) {
        for (LONG r = y - half; r < y - half + pen.width; ++r) {
            auto& span = stroke.rows[std::size_t(r - stroke.top)];
            const LONG x0 = x - half, x1 = x - half + pen.width;
            if (!used[std::size_t(r - stroke.top)])
                span = {x0, x1}, used[std::size_t(r - stroke.top)] = true;
            else
                span = {std::min(span.first, x0), std::max(span.second, x1)};
        }
        if (x == b.x && y == b.y) break;
        step();
    }
    const gdi::BrushSource solid(pen.pixel);
    for (std::size_t i = 0; i < stroke.rows.size(); ++i)
        gdi::FillSpan(dc, target, stroke.top + LONG(i), stroke.rows[i].first, stroke.rows[i].second, solid, rop);
}

RECT Normalized(int left, int top, int right, int bottom)
{
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

Shape RectShape(const RECT& r)
{
    Shape s;
    s.top = r.top;
    if (!r.IsEmpty()) s.rows.assign(std::size_t(r.Height()), {r.left, r.right});
    return s;
}

// Pixels whose centres lie inside the ellipse inscribed in r.
Shape EllipseShape(const RECT& r)
{
    Shape s;
    s.top = r.top;
    if (r.IsEmpty()) return s;
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double ax = r.Width() / 2.0, ay = r.Height() / 2.0;
    for (LONG y = r.top; y < r.bottom; ++y) {
        const double t = (y + 0.5 - cy) / ay;
        const double half = ax * std::sqrt(std::max(0.0, 1.0 - t * t)) + 1e-9;
        LONG x0 = LONG(std::ceil(cx - half - 0.5)), x1 = LONG(std::floor(cx + half - 0.5)) + 1;
        x0 = std::max(x0, r.left);
        x1 = std::min(x1, r.right);
        s.rows.push_back({x0, x1});
    }
    return s;
}

bool RowEmpty(const std::pair<LONG, LONG>& row) { return row.first >= row.second; }

// One step of erosion: a pixel stays when its four neighbours are inside.
Shape Eroded(const Shape& s)
{
    Shape out;
    out.top = s.top;
    out.rows.assign(s.rows.size(), {0, 0});
    for (std::size_t i = 1; i + 1 < s.rows.size(); ++i) {
        const auto& up = s.rows[i - 1];
        const auto& mid = s.rows[i];
        const auto& down = s.rows[i + 1];
        if (RowEmpty(up) || RowEmpty(mid) || RowEmpty(down)) continue;
        out.rows[i] = {std::max({mid.first + 1, up.first, down.first}),
                       std::min({mid.second - 1, up.second, down.second})};
    }
    return out;
}

// The interior in the brush, the band of the pen's width along the outline in the pen.
void PaintShape(DeviceContext& dc, const Shape& outer, const PenInfo& pen, int penWidth)
{
    Surface& target = dc.Target();
    const int rop = dc.state.rop2;
    Shape inner = outer;
    for (int i = 0; i < penWidth; ++i) inner = Eroded(inner);
    const gdi::BrushSource brush(dc, dc.state.brush);
    const gdi::BrushSource penFill(pen.pixel);
    for (std::size_t i = 0; i < outer.rows.size(); ++i) {
        const LONG y = outer.top + LONG(i);
        const auto [o0, o1] = outer.rows[i];
        const auto [i0, i1] = inner.rows[i];
        if (RowEmpty(outer.rows[i])) continue;
        if (RowEmpty(inner.rows[i])) {
            if (penWidth > 0) gdi::FillSpan(dc, target, y, o0, o1, penFill, rop);
            continue;
        }
        gdi::FillSpan(dc, target, y, i0, i1, brush, rop);
        if (penWidth > 0) {
            gdi::FillSpan(dc, target, y, o0, i0, penFill, rop);
            gdi::FillSpan(dc, target, y, i1, o1, penFill, rop);
        }
    }
}

// Wide pens other than PS_INSIDEFRAME straddle the outline.
RECT PenBox(RECT r, const PenInfo& pen)
{
    if (pen.null || pen.width <= 1 || pen.style == PS_INSIDEFRAME) return r;
    const LONG before = (pen.width - 1) / 2, after = pen.width / 2;
    return RECT{r.left - before, r.top - before, r.right + after, r.bottom + after};
}

template <class MakeShape>
BOOL DrawShape(HDC hdc, RECT logical, MakeShape make)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    const PenInfo pen = PenOf(*dc);
    RECT box = PenBox(dc->ToSurface(logical), pen);
    if (box.IsEmpty()) return 1;
    if (IsStyled(pen)) {
        const Shape shape = make(box);
        PaintShape(*dc, Eroded(shape), pen, 0);
        const POINT c[] = {{box.left, box.top},
                           {box.right - 1, box.top},
                           {box.right - 1, box.bottom - 1},
                           {box.left, box.bottom - 1},
                           {box.left, box.top}};
        for (int i = 0; i < 4; ++i) StrokeLine(*dc, c[i], c[i + 1]);
        return 1;
    }
    PaintShape(*dc, make(box), pen, pen.null ? 0 : pen.width);
    return 1;
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    RECT r = Normalized(left, top, right, bottom);
    // Without a pen the filled area is one pixel narrower and lower.
    if (PenOf(*dc).null) r.right -= 1, r.bottom -= 1;
    return DrawShape(hdc, r, [](const RECT& box) { return RectShape(box); });
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    return DrawShape(hdc, Normalized(left, top, right, bottom), [](const RECT& box) { return EllipseShape(box); });
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !points || count < 2) return 0;
    std::vector<POINT> p(points, points + count);
    for (POINT& q : p) q.x += dc->Dx(), q.y += dc->Dy();
    const Region fill = Region::FromPolygon(p.data(), count, dc->state.polyFillMode);
    gdi::FillSurfaceRegion(*dc, fill, gdi::BrushSource(*dc, dc->state.brush), dc->state.rop2);
    for (int i = 0; i < count; ++i) StrokeLine(*dc, p[std::size_t(i)], p[std::size_t((i + 1) % count)]);
    return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    if (previous) *previous = dc->state.currentPos;
    dc->state.currentPos = POINT{x, y};
    return 1;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    const POINT from = dc->state.currentPos;
    StrokeLine(*dc, POINT{from.x + dc->Dx(), from.y + dc->Dy()}, POINT{x + dc->Dx(), y + dc->Dy()});
    dc->state.currentPos = POINT{x, y};
    return 1;
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* position)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !position) return 0;
    *position = dc->state.currentPos;
    return 1;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* dc = gdi::Dc(hdc);
    GdiBrush* b = gdi::BrushFromHandle(brush);
    if (!dc || !rect || !b) return 0;
    gdi::FillSurfaceRect(*dc, dc->ToSurface(*rect), gdi::BrushSource(*dc, b), R2_COPYPEN);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* dc = gdi::Dc(hdc);
    GdiBrush* b = gdi::BrushFromHandle(brush);
    if (!dc || !rect || !b) return 0;
    const RECT r = dc->ToSurface(*rect);
    if (r.IsEmpty()) return 1;
    const gdi::BrushSource source(*dc, b);
    gdi::FillSurfaceRect(*dc, RECT{r.left, r.top, r.right, r.top + 1}, source, R2_COPYPEN);
    gdi::FillSurfaceRect(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, source, R2_COPYPEN);
    gdi::FillSurfaceRect(*dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, source, R2_COPYPEN);
    gdi::FillSurfaceRect(*dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, source, R2_COPYPEN);
    return 1;
}

// Every other pixel of the one-pixel frame is inverted, so drawing it twice removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rect) return 0;
    const RECT r = dc->ToSurface(*rect);
    if (r.IsEmpty()) return 1;
    Surface& target = dc->Target();
    const gdi::ClipMask& clip = dc->Clip();
    const auto invert = [&](LONG x, LONG y) {
        if (((x - dc->origin.x + y - dc->origin.y) & 1) != 0 || !clip.Contains(x, y)) return;
        target.pixels[std::size_t(y) * std::size_t(target.width) + std::size_t(x)] ^= 0xFFFFFF;
    };
    for (LONG x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 != r.top) invert(x, r.bottom - 1);
    }
    for (LONG y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 != r.left) invert(r.right - 1, y);
    }
    return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return CLR_INVALID;
    const LONG sx = x + dc->Dx(), sy = y + dc->Dy();
    if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
    const std::uint32_t p = gdi::PixelOf(*dc, color);
    Surface& target = dc->Target();
    target.pixels[std::size_t(sy) * std::size_t(target.width) + std::size_t(sx)] = p;
    return ColorFromPixel(p);
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return CLR_INVALID;
    const LONG sx = x + dc->Dx(), sy = y + dc->Dy();
    if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
    return ColorFromPixel(dc->Source().At(sx, sy));
}

}  // namespace desktop
