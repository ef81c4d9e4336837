// Device contexts: creation, saved states, coordinates, attributes, selection and clipping.
#include <algorithm>
#include <atomic>
#include <limits>
#include <utility>

#include "desktop/GdiContext.h"

namespace desktop {
namespace {

SIZE g_displaySize{1024, 768};
// Other threads read it (system metrics) while a backend is installed or removed.
std::atomic<int> g_displayPixelsPerInch{kDefaultPixelsPerInch};

void InitState(DcState& s)
{
    s.pen = static_cast<GdiPen*>(GetStockObject(BLACK_PEN));
    s.brush = static_cast<GdiBrush*>(GetStockObject(WHITE_BRUSH));
    s.font = static_cast<GdiFont*>(GetStockObject(SYSTEM_FONT));
    s.palette = static_cast<GdiPalette*>(GetStockObject(DEFAULT_PALETTE));
}

template <class T>
T* Swap(T*& slot, T* object)
{
    T* old = slot;
    gdi::Retain(object);
    slot = object;
    gdi::Release(old);
    return old;
}

// The DC's own clip, or everything the device has when it has none.
Region CurrentClip(DeviceContext& dc) { return dc.state.hasClip ? dc.state.clip : Region::FromRect(dc.DeviceBounds()); }

int SetClip(DeviceContext& dc, Region clip)
{
    dc.state.hasClip = true;
    dc.state.clip = std::move(clip);
    dc.InvalidateClip();
    return dc.Clip().Kind();
}

RECT LogicalToDevice(DeviceContext& dc, RECT r)
{
    return OffsetRectBy(r, dc.state.viewportOrg.x - dc.state.windowOrg.x,
                        dc.state.viewportOrg.y - dc.state.windowOrg.y);
}

RECT Normalized(int left, int top, int right, int bottom)
{
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    std::int64_t num = std::int64_t(a) * b;
    std::int64_t den = c;
    if (den < 0) num = -num, den = -den;
    const std::int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}

HDC CreateSurfaceDC(Surface* surface, POINT origin, const Region& clip)
{
    if (!surface) return nullptr;
    auto* dc = new DeviceContext();
    dc->surface = surface;
    dc->origin = origin;
    dc->outerClip.Build(clip, RECT{0, 0, surface->width, surface->height});
    InitState(dc->state);
    return dc;
}

HDC CreateCompatibleDC(HDC)
{
    auto* dc = new DeviceContext();
    dc->memory = true;
    InitState(dc->state);
    dc->state.bitmap = gdi::DefaultBitmap();
    return dc;
}

BOOL DeleteDC(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    for (const DcState& s : dc->saved) gdi::ReleaseState(s);
    gdi::ReleaseState(dc->state);
    delete dc;
    return 1;
}

int SaveDC(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    gdi::RetainState(dc->state);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || savedDC == 0) return 0;
    const long index = savedDC < 0 ? long(dc->saved.size()) + savedDC : long(savedDC) - 1;
    if (index < 0 || index >= long(dc->saved.size())) return 0;
    gdi::ReleaseState(dc->state);
    dc->state = std::move(dc->saved[std::size_t(index)]);  // its holds pass to the current state
    for (std::size_t i = std::size_t(index) + 1; i < dc->saved.size(); ++i) gdi::ReleaseState(dc->saved[i]);
    dc->saved.resize(std::size_t(index));
    dc->InvalidateClip();
    return 1;
}

void SetDisplaySize(int width, int height) { g_displaySize = SIZE{width, height}; }

void SetDisplayPixelsPerInch(int pixelsPerInch)
{
    g_displayPixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : kDefaultPixelsPerInch;
}

int GetDisplayPixelsPerInch() { return g_displayPixelsPerInch.load(std::memory_order_relaxed); }

int GetDeviceCaps(HDC hdc, int index)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    switch (index) {
        case HORZRES: return g_displaySize.cx;
        case VERTRES: return g_displaySize.cy;
        case BITSPIXEL: return dc->Monochrome() ? 1 : 32;
        case PLANES: return 1;
        case NUMCOLORS: return dc->Monochrome() ? 2 : -1;
        case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        case LOGPIXELSX:
        case LOGPIXELSY: return GetDisplayPixelsPerInch();
        case SIZEPALETTE: return 0;
        default: return 0;
    }
}

// ---- Coordinates ----

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* previous)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    if (previous) *previous = dc->state.windowOrg;
    dc->state.windowOrg = POINT{x, y};
    return 1;
}

BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* previous)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    return SetWindowOrgEx(hdc, dc->state.windowOrg.x + dx, dc->state.windowOrg.y + dy, previous);
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    if (previous) *previous = dc->state.viewportOrg;
    dc->state.viewportOrg = POINT{x, y};
    return 1;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* origin)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !origin) return 0;
    *origin = dc->state.viewportOrg;
    return 1;
}

// ---- Attributes ----

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->state.textColor, color);
}
COLORREF GetTextColor(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.textColor : CLR_INVALID;
}
COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->state.bkColor, color);
}
COLORREF GetBkColor(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.bkColor : CLR_INVALID;
}
int SetBkMode(HDC hdc, int mode)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->state.bkMode, mode);
}
int GetBkMode(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.bkMode : 0;
}
int SetROP2(HDC hdc, int rop2)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    return std::exchange(dc->state.rop2, rop2);
}
int SetPolyFillMode(HDC hdc, int mode)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    return std::exchange(dc->state.polyFillMode, mode);
}
int GetPolyFillMode(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.polyFillMode : 0;
}
int SetStretchBltMode(HDC hdc, int mode)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(dc->state.stretchMode, mode);
}
int GetStretchBltMode(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.stretchMode : 0;
}
int SetTextCharacterExtra(HDC hdc, int extra)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return int(0x80000000u);
    return std::exchange(dc->state.charExtra, extra);
}
int GetTextCharacterExtra(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.charExtra : int(0x80000000u);
}
UINT SetTextAlign(HDC hdc, UINT align)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->state.textAlign, align);
}
UINT GetTextAlign(HDC hdc)
{
    DeviceContext* dc = gdi::Dc(hdc);
    return dc ? dc->state.textAlign : 0xFFFFFFFF;
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* previous)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return 0;
    if (previous) *previous = dc->state.brushOrg;
    dc->state.brushOrg = POINT{x, y};
    return 1;
}

// ---- Selection ----

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !object) return nullptr;
    switch (object->type) {
        case OBJ_PEN: return Swap(dc->state.pen, static_cast<GdiPen*>(object));
        case OBJ_BRUSH: return Swap(dc->state.brush, static_cast<GdiBrush*>(object));
        case OBJ_FONT: return Swap(dc->state.font, static_cast<GdiFont*>(object));
        case OBJ_BITMAP: {
            auto* bm = static_cast<GdiBitmap*>(object);
            if (!dc->memory) return nullptr;
            if (!bm->stock && bm->selectedInto && bm->selectedInto != dc) return nullptr;
            if (!bm->stock) bm->selectedInto = dc;
            GdiBitmap* old = Swap(dc->state.bitmap, bm);
            dc->InvalidateClip();
            return old;
        }
        case OBJ_REGION:
            return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(hdc, static_cast<GdiRegion*>(object))));
        default: return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT objectType)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return nullptr;
    switch (objectType) {
        case OBJ_PEN: return dc->state.pen;
        case OBJ_BRUSH: return dc->state.brush;
        case OBJ_FONT: return dc->state.font;
        case OBJ_PAL: return dc->state.palette;
        case OBJ_BITMAP: return dc->memory ? dc->state.bitmap : nullptr;
        default: return nullptr;
    }
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !palette) return nullptr;
    return Swap(dc->state.palette, palette);
}

// A 32-bit display has no hardware palette to realize.
UINT RealizePalette(HDC hdc) { return gdi::Dc(hdc) ? 0 : 0xFFFFFFFF; }

// ---- Clipping ----

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (mode == RGN_COPY) {
        if (rgn) return SetClip(*dc, rgn->region);
        dc->state.hasClip = false;
        dc->state.clip = Region();
        dc->InvalidateClip();
        return dc->Clip().Kind();
    }
    if (!rgn) return RGN_ERROR;
    return SetClip(*dc, CurrentClip(*dc).Combined(rgn->region, mode));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return RGN_ERROR;
    const Region r = Region::FromRect(LogicalToDevice(*dc, Normalized(left, top, right, bottom)));
    return SetClip(*dc, CurrentClip(*dc).Intersected(r));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return RGN_ERROR;
    const Region r = Region::FromRect(LogicalToDevice(*dc, Normalized(left, top, right, bottom)));
    return SetClip(*dc, CurrentClip(*dc).Subtracted(r));
}

int GetClipBox(HDC hdc, RECT* box)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !box) return RGN_ERROR;
    const gdi::ClipMask& clip = dc->Clip();
    *box = clip.Empty() ? RECT{} : OffsetRectBy(clip.Bounds(), -dc->Dx(), -dc->Dy());
    return clip.Kind();
}

int GetClipRgn(HDC hdc, HRGN rgn)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rgn) return -1;
    if (!dc->state.hasClip) return 0;
    rgn->region = dc->state.clip;
    return 1;
}

}  // namespace desktop
