// Region objects and painting regions.
#include <algorithm>

#include "desktop/GdiContext.h"

namespace desktop {
namespace {

HRGN NewRegion(Region region)
{
    auto* rgn = new GdiRegion();
    rgn->region = std::move(region);
    return rgn;
}

RECT Normalized(int left, int top, int right, int bottom)
{
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// Region in logical coordinates moved to the DC's surface.
Region OnSurface(DeviceContext& dc, const Region& region)
{
    Region r = region;
    r.Offset(dc.Dx(), dc.Dy());
    return r;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    return NewRegion(Region::FromRect(Normalized(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 0) return nullptr;
    return NewRegion(Region::FromPolygon(points, count, fillMode));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
    if (!rgn) return 0;
    rgn->region = Region::FromRect(Normalized(left, top, right, bottom));
    return 1;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    if (!dest || !src1 || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (mode == RGN_COPY) {
        dest->region = src1->region;
    } else {
        if (!src2) return RGN_ERROR;
        dest->region = src1->region.Combined(src2->region, mode);
    }
    return dest->region.Kind();
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    if (!rgn) return RGN_ERROR;
    rgn->region.Offset(dx, dy);
    return rgn->region.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) { return rgn && rgn->region.Contains(x, y) ? 1 : 0; }

int GetRgnBox(HRGN rgn, RECT* box)
{
    if (!rgn || !box) return RGN_ERROR;
    *box = rgn->region.Bounds();
    return rgn->region.Kind();
}

Region* RegionOf(HRGN rgn) { return rgn ? &rgn->region : nullptr; }

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush)
{
    DeviceContext* dc = gdi::Dc(hdc);
    GdiBrush* b = gdi::BrushFromHandle(brush);
    if (!dc || !rgn || !b) return 0;
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, rgn->region), gdi::BrushSource(*dc, b), R2_COPYPEN);
    return 1;
}

BOOL PaintRgn(HDC hdc, HRGN rgn)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rgn) return 0;
    gdi::FillSurfaceRegion(*dc, OnSurface(*dc, rgn->region), gdi::BrushSource(*dc, dc->state.brush), dc->state.rop2);
    return 1;
}

}  // namespace desktop
