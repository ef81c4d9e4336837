// Three-dimensional edges in the system colours.
#include "desktop/GdiContext.h"

namespace desktop {
namespace {

struct Ring {
    int topLeft = -1;  // system colour indices
    int bottomRight = -1;
};

// Outer ring: raised is light over dark shadow, sunken is shadow over highlight; inner ring:
// raised is highlight over shadow, sunken is dark shadow over light. BF_SOFT swaps the
// top-left colours of each pair (light with highlight, shadow with dark shadow).
Ring OuterRing(UINT edge, UINT flags)
{
    const bool soft = flags & BF_SOFT;
    if (flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    if (flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    if (edge & BDR_RAISEDOUTER) return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
}

Ring InnerRing(UINT edge, UINT flags)
{
    const bool soft = flags & BF_SOFT;
    if (flags & BF_MONO) return {COLOR_WINDOW, COLOR_WINDOW};
    if (flags & BF_FLAT) return {COLOR_BTNFACE, COLOR_BTNFACE};
    if (edge & BDR_RAISEDINNER) return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

void Fill(DeviceContext& dc, const RECT& logical, int sysColor)
{
    gdi::FillSurfaceRect(dc, dc.ToSurface(logical), gdi::BrushSource(gdi::PixelOf(dc, GetSysColor(sysColor))),
                         R2_COPYPEN);
}

// Top and left first, then bottom and right over them: the bottom-right colour owns the
// top-right and bottom-left corner pixels.
void DrawRing(DeviceContext& dc, const RECT& r, const Ring& ring, UINT flags)
{
    if (flags & BF_TOP) Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, ring.topLeft);
    if (flags & BF_LEFT) Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, ring.topLeft);
    if (flags & BF_BOTTOM) Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, ring.bottomRight);
    if (flags & BF_RIGHT) Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, ring.bottomRight);
}

RECT Shrunk(RECT r, UINT flags, LONG by)
{
    if (flags & BF_LEFT) r.left += by;
    if (flags & BF_TOP) r.top += by;
    if (flags & BF_RIGHT) r.right -= by;
    if (flags & BF_BOTTOM) r.bottom -= by;
    return r;
}

}  // namespace

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rect) return 0;
    RECT r = *rect;
    // Diagonal edges are not drawn; the rectangle logic below still applies.
    if (!(flags & BF_DIAGONAL)) {
        if (edge & BDR_OUTER && !r.IsEmpty()) {
            DrawRing(*dc, r, OuterRing(edge, flags), flags);
            r = Shrunk(r, flags, 1);
        }
        if (edge & BDR_INNER && !r.IsEmpty()) {
            DrawRing(*dc, r, InnerRing(edge, flags), flags);
            r = Shrunk(r, flags, 1);
        }
    } else {
        r = Shrunk(r, flags, LONG((edge & BDR_OUTER) != 0) + LONG((edge & BDR_INNER) != 0));
    }
    if ((flags & BF_MIDDLE) && !r.IsEmpty()) Fill(*dc, r, (flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST) *rect = r;
    return 1;
}

}  // namespace desktop
