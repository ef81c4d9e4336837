// Internals shared by the drawing implementation: the device context, its
// clip mask in surface coordinates, raster operations and brush sampling.
// Not for use outside desktop/Gdi*.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "desktop/Font.h"
#include "desktop/Gdi.h"

namespace desktop {

struct DcState {
    GdiPen* pen = nullptr;
    GdiBrush* brush = nullptr;
    GdiFont* font = nullptr;
    GdiBitmap* bitmap = nullptr;  // memory DCs only
    GdiPalette* palette = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int charExtra = 0;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT windowOrg{};
    POINT viewportOrg{};
    POINT brushOrg{};
    POINT currentPos{};
    bool hasClip = false;
    Region clip;  // device coordinates
};

namespace gdi {

// Clip spans indexed by surface row, so that every primitive walks the spans
// of a row directly.
class ClipMask {
public:
    // The region's spans within `limit`.
    void Build(const Region& region, const RECT& limit);
    void Build(const RECT& rect);
    // This mask becomes a ∩ b.
    void Intersect(const ClipMask& a, const ClipMask& b);
    bool Empty() const { return spans_.empty(); }
    int Kind() const { return kind_; }  // NULLREGION, SIMPLEREGION or COMPLEXREGION
    const RECT& Bounds() const { return bounds_; }
    bool Contains(LONG x, LONG y) const;

    // f(x0, x1) for the visible parts of row y within [x0, x1).
    template <class F>
    void ForEach(LONG y, LONG x0, LONG x1, F&& f) const
    {
        if (y < bounds_.top || y >= bounds_.bottom || x0 >= x1) return;
        const std::size_t row = std::size_t(y - bounds_.top);
        for (std::uint32_t k = rowStart_[row]; k < rowStart_[row + 1]; ++k) {
            const Region::Span& s = spans_[k];
            if (s.x1 <= x0) continue;
            if (s.x0 >= x1) break;
            f(s.x0 > x0 ? s.x0 : x0, s.x1 < x1 ? s.x1 : x1);
        }
    }

private:
    struct RowSpan {
        LONG y;
        LONG x0;
        LONG x1;
    };
    void Assign(const std::vector<RowSpan>& spans);  // sorted by row, then x

    RECT bounds_{};
    int kind_ = NULLREGION;
    std::vector<std::uint32_t> rowStart_;
    std::vector<Region::Span> spans_;
};

}  // namespace gdi

struct DeviceContext {
    bool memory = false;
    Surface* surface = nullptr;  // surface DCs; memory DCs draw into state.bitmap
    POINT origin{};              // surface position of device (0,0)
    gdi::ClipMask outerClip;     // surface DCs: the window layer's clip, within the surface
    DcState state;
    std::vector<DcState> saved;

    bool clipValid = false;
    gdi::ClipMask clipMask;
    const gdi::ClipMask* activeClip = &clipMask;

    // The pixels to draw into; a DIB section is brought up to date and marked as drawn on.
    Surface& Target();
    // The pixels to read from, without marking anything.
    const Surface& Source();
    bool Monochrome() const { return memory && state.bitmap && state.bitmap->monochrome; }
    // Logical to surface coordinates.
    LONG Dx() const { return state.viewportOrg.x - state.windowOrg.x + origin.x; }
    LONG Dy() const { return state.viewportOrg.y - state.windowOrg.y + origin.y; }
    RECT ToSurface(const RECT& r) const { return OffsetRectBy(r, Dx(), Dy()); }
    // The whole surface in device coordinates.
    RECT DeviceBounds();
    const gdi::ClipMask& Clip();
    void InvalidateClip() { clipValid = false; }
};

namespace gdi {

DeviceContext* Dc(HDC dc);  // null for an invalid handle
// Brushes may also be given as a system colour index + 1.
GdiBrush* BrushFromHandle(HBRUSH brush);

// Objects held by device-context states.
void Retain(GdiObject* object);
void Release(GdiObject* object);
void RetainState(const DcState& state);
void ReleaseState(const DcState& state);
GdiBitmap* DefaultBitmap();

// DIB sections: bits -> surface unless the surface is newer; surface -> bits when it is.
void PullDib(GdiBitmap& bitmap);
void PushDib(GdiBitmap& bitmap);
void MarkDrawn(GdiBitmap& bitmap);

const Font& FontOf(DeviceContext& dc);
const Font& FontOf(GdiFont& font);

// Colours: palette references resolved, then as a surface pixel (black or white on monochrome targets).
COLORREF ResolveColor(const DeviceContext& dc, COLORREF color);
std::uint32_t Quantize(std::uint32_t pixel);
std::uint32_t PixelOf(DeviceContext& dc, COLORREF color);

std::uint32_t Rop2(int rop, std::uint32_t pen, std::uint32_t dst);
std::uint32_t Rop3(std::uint8_t code, std::uint32_t pattern, std::uint32_t source, std::uint32_t dst);
constexpr bool RopUsesSource(std::uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
constexpr bool RopUsesPattern(std::uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }

// A brush sampled at surface coordinates; hatch gaps in transparent mode are not painted.
class BrushSource {
public:
    BrushSource(DeviceContext& dc, const GdiBrush* brush);
    explicit BrushSource(std::uint32_t solidPixel) : null_(false), solid_(true), color_(solidPixel) {}
    bool IsNull() const { return null_; }
    bool IsSolid() const { return solid_; }
    std::uint32_t Solid() const { return color_; }
    bool At(LONG x, LONG y, std::uint32_t& pixel) const;

private:
    bool null_ = true;
    bool solid_ = false;
    std::uint32_t color_ = 0;
    const GdiBrush* brush_ = nullptr;
    std::uint32_t fore_ = 0;
    std::uint32_t back_ = 0;
    bool opaqueGaps_ = true;
    LONG orgX_ = 0;
    LONG orgY_ = 0;
    bool mono_ = false;
};

// Span painting through the DC's clip, in surface coordinates.
void FillSpan(DeviceContext& dc, Surface& target, LONG y, LONG x0, LONG x1, const BrushSource& brush, int rop2);
void FillSurfaceRect(DeviceContext& dc, const RECT& r, const BrushSource& brush, int rop2);
void FillSurfaceRegion(DeviceContext& dc, const Region& region, const BrushSource& brush, int rop2);
void ApplyRop3Rect(DeviceContext& dc, const RECT& r, const BrushSource& brush, std::uint8_t rop);
void PlotPixel(DeviceContext& dc, Surface& target, LONG x, LONG y, std::uint32_t pixel, int rop2);

// Blit of a source surface (already in surface coordinates) onto a DC rectangle in logical
// coordinates, nearest-neighbour when the sizes differ; negative sizes mirror.
struct BlitSource {
    const Surface* surface = nullptr;
    bool monochrome = false;
    std::uint32_t background = 0xFFFFFF;  // the source DC's background as a pixel
    RECT rect{};                          // source rectangle: left/top and signed width/height in right/bottom
};
bool Blit(DeviceContext& dest, int x, int y, int width, int height, const BlitSource& src, DWORD rop,
          std::optional<std::uint32_t> transparent = std::nullopt);

// Text drawing shared by TextOut and DrawText: one line at a surface position of its cell top-left.
struct TextLine {
    std::string_view text;
    LONG x = 0;  // surface coordinates of the cell's top-left corner
    LONG top = 0;
    const int* dx = nullptr;  // explicit advances, one per character
    bool underline = false;
    bool strikeOut = false;
};
int CharAdvance(const Font& font, unsigned char c, int charExtra);
void DrawTextLine(DeviceContext& dc, const Font& font, const TextLine& line, const RECT* clip, bool drawGlyphs);
void DrawUnderline(DeviceContext& dc, const Font& font, LONG x0, LONG x1, LONG cellTop, const RECT* clip);
// The background colour over a surface rectangle, within `clip` when given.
void FillBackground(DeviceContext& dc, RECT r, const RECT* clip);

}  // namespace gdi
}  // namespace desktop
