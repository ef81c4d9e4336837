// Region objects and painting regions.
#include <algorithm>
#include <cmath>

#include "desktop/GdiContext.h"

namespace desktop {
namespace {

HRGN NewRegion(Region region) {
    auto* rgn = new GdiRegion();
    rgn->region = std::move(region);
    return rgn;
}

RECT Normalized(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// Union of row rectangles, merged pairwise so that long lists stay cheap.
Region UnionOf(std::vector<Region> parts) {
    if (parts.empty()) return Region();
    while (parts.size() > 1) {
        std::vector<Region> next;
        for (std::size_t i = 0; i + 1 < parts.size(); i += 2) next.push_back(parts[i].United(parts[i + 1]));
        if (parts.size() % 2) next.push_back(std::move(parts.back()));
        parts = std::move(next);
    }
    return std::move(parts.front());
}

// Region in logical coordinates moved to the DC's surface.
Region OnSurface(DeviceContext& dc, const Region& region) {
    Region r = region;
    r.Offset(dc.Dx(), dc.Dy());
    return r;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return NewRegion(Region::FromRect(Normalized(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    if (!points || count < 0) return nullptr;
    return NewRegion(Region::FromPolygon(points, count, fillMode));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    const RECT r = Normalized(left, top, right, bottom);
    std::vector<Region> rows;
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double ax = r.Width() / 2.0, ay = r.Height() / 2.0;
    for (LONG y = r.top; y < r.bottom; ++y) {
        const double t = (y + 0.5 - cy) / ay;
        const double half = ax * std::sqrt(std::max(0.0, 1.0 - t * t)) + 1e-9;
        const LONG x0 = std::max(r.left, LONG(std::ceil(cx - half - 0.5)));
        const LONG x1 = std::min(r.right, LONG(std::floor(cx + half - 0.5)) + 1);
        if (x0 < x1) rows.push_back(Region::FromRect(RECT{x0, y, x1, y + 1}));
    }
    return NewRegion(UnionOf(std::move(rows)));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    if (!rgn) return 0;
    rgn->region = Region::FromRect(Normalized(left, top, right, bottom));
    return 1;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    if (!dest || !src1 || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (mode == RGN_COPY) {
        dest->region = src1->region;
    } else {
        if (!src2) return RGN_ERROR;
        dest->region = src1->region.Combined(src2->region, mode);
    }
    return dest->region.Kind();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    if (!rgn) return RGN_ERROR;
    rgn->region.Offset(dx, dy);
    return rgn->region.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) { return rgn && rgn->region.Contains(x, y) ? 1 : 0; }

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
    if (!rgn || !rect) return 0;
    return rgn->region.Intersected(Region::FromRect(*rect)).IsEmpty() ? 0 : 1;
}

int GetRgnBox(HRGN rgn, RECT* box) {
    if (!rgn || !box) return RGN_ERROR;
    *box = rgn->region.Bounds();
    return rgn->region.Kind();
}

BOOL EqualRgn(HRGN a, HRGN b) { return a && b && a->region == b->region ? 1 : 0; }

Region* RegionOf(HRGN rgn) { return rgn ? &rgn->region : nullptr; }

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
    DeviceContext* dc = gdi::Dc(hdc);
    GdiBrush* b = gdi::BrushFromHandle(brush);
    if (!dc || !rgn || !b) return 0;
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, rgn->region), gdi::BrushSource(*dc, b), R2_COPYPEN);
    return 1;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rgn) return 0;
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, rgn->region), gdi::BrushSource(*dc, dc->state.brush), dc->state.rop2);
    return 1;
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rgn) return 0;
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, rgn->region), gdi::BrushSource(0xFFFFFFu), R2_XORPEN);
    return 1;
}

// The frame is what the region loses when shrunk by width horizontally and height vertically.
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
    DeviceContext* dc = gdi::Dc(hdc);
    GdiBrush* b = gdi::BrushFromHandle(brush);
    if (!dc || !rgn || !b || width < 0 || height < 0) return 0;
    const Region& r = rgn->region;
    Region inner = r;
    const auto shiftedBy = [&](LONG dx, LONG dy) {
        Region s = r;
        s.Offset(dx, dy);
        return s;
    };
    for (int k = 1; k <= width; ++k) inner = inner.Intersected(shiftedBy(k, 0)).Intersected(shiftedBy(-k, 0));
    for (int k = 1; k <= height; ++k) inner = inner.Intersected(shiftedBy(0, k)).Intersected(shiftedBy(0, -k));
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, r.Subtracted(inner)), gdi::BrushSource(*dc, b), R2_COPYPEN);
    return 1;
}

}  // namespace desktop
