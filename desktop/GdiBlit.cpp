// Pattern and bit-block transfers, stretched without smoothing.
#include <algorithm>

#include "desktop/GdiContext.h"

namespace desktop {
namespace gdi {

bool Blit(DeviceContext& dest, int x, int y, int width, int height, const BlitSource& src, DWORD rop,
          std::optional<std::uint32_t> transparent)
{
    const std::uint8_t code = std::uint8_t((rop >> 16) & 0xFF);
    const bool useSource = RopUsesSource(code);
    const bool usePattern = RopUsesPattern(code);
    bool flipX = false, flipY = false;
    std::int64_t dx0 = std::int64_t(x) + dest.Dx(), dy0 = std::int64_t(y) + dest.Dy();
    std::int64_t dw = width, dh = height;
    // A negative extent runs from the given pixel backwards: x, x - 1, ..., x + width + 1.
    if (dw < 0) dx0 += dw + 1, dw = -dw, flipX = !flipX;
    if (dh < 0) dy0 += dh + 1, dh = -dh, flipY = !flipY;
    std::int64_t sx0 = src.rect.left, sy0 = src.rect.top, sw = src.rect.right, sh = src.rect.bottom;
    if (useSource) {
        if (!src.surface) return false;
        if (sw < 0) sx0 += sw + 1, sw = -sw, flipX = !flipX;
        if (sh < 0) sy0 += sh + 1, sh = -sh, flipY = !flipY;
        if (sw == 0 || sh == 0) return false;
    }
    if (dw == 0 || dh == 0) return true;

    const gdi::ClipMask& clip = dest.Clip();
    const RECT& bounds = clip.Bounds();
    const RECT area{LONG(std::max<std::int64_t>(dx0, bounds.left)), LONG(std::max<std::int64_t>(dy0, bounds.top)),
                    LONG(std::min<std::int64_t>(dx0 + dw, bounds.right)),
                    LONG(std::min<std::int64_t>(dy0 + dh, bounds.bottom))};
    if (area.IsEmpty()) return true;
    Surface& target = dest.Target();
    Surface copy;
    const Surface* source = src.surface;
    if (useSource && source == &target) {  // overlapping copy within one surface
        copy = *source;
        source = &copy;
    }
    const BrushSource brush(dest, usePattern ? dest.state.brush : nullptr);
    if (usePattern && brush.IsNull()) return true;
    const bool destMono = dest.Monochrome();
    const std::uint32_t fore = PixelOf(dest, dest.state.textColor);
    const std::uint32_t back = PixelOf(dest, dest.state.bkColor);

    const bool plainCopy = code == 0xCC && !transparent && src.monochrome == destMono;
    // Target pixel t of a span of n takes source pixel floor((t + 0.5) * sn / n).
    std::vector<std::int64_t> columns;
    if (useSource) {
        columns.resize(std::size_t(area.right - area.left));
        for (LONG X = area.left; X < area.right; ++X) {
            const std::int64_t t = flipX ? dx0 + dw - 1 - X : X - dx0;  // mirror in target space
            const std::int64_t i = ((2 * t + 1) * sw) / (2 * dw);
            columns[std::size_t(X - area.left)] = sx0 + i;
        }
    }
    for (LONG Y = area.top; Y < area.bottom; ++Y) {
        const std::uint32_t* srow = nullptr;
        if (useSource) {
            const std::int64_t t = flipY ? dy0 + dh - 1 - Y : Y - dy0;
            const std::int64_t i = ((2 * t + 1) * sh) / (2 * dh);
            const std::int64_t sy = sy0 + i;
            if (sy < 0 || sy >= source->height) continue;
            srow = source->pixels.data() + std::size_t(sy) * std::size_t(source->width);
        }
        std::uint32_t* drow = target.pixels.data() + std::size_t(Y) * std::size_t(target.width);
        clip.ForEach(Y, area.left, area.right, [&](LONG a, LONG b) {
            if (plainCopy) {
                for (LONG X = a; X < b; ++X) {
                    const std::int64_t sx = columns[std::size_t(X - area.left)];
                    if (sx >= 0 && sx < source->width) drow[X] = srow[sx];
                }
                return;
            }
            for (LONG X = a; X < b; ++X) {
                std::uint32_t s = 0;
                if (useSource) {
                    const std::int64_t sx = columns[std::size_t(X - area.left)];
                    if (sx < 0 || sx >= source->width) continue;
                    s = srow[sx];
                    if (transparent && s == *transparent) continue;
                    // Monochrome to colour: black takes the text colour, white the background colour;
                    // colour to monochrome: the source background becomes white, all else black.
                    if (src.monochrome) {
                        if (!destMono) s = s ? back : fore;
                    } else if (destMono) {
                        s = s == src.background ? 0xFFFFFF : 0;
                    }
                }
                std::uint32_t p = 0;
                if (usePattern && !brush.At(X, Y, p)) continue;
                const std::uint32_t v = code == 0xCC ? s : Rop3(code, p, s, drow[X]);
                drow[X] = destMono ? Quantize(v) : v;
            }
        });
    }
    return true;
}

}  // namespace gdi

namespace {

gdi::BlitSource SourceOf(DeviceContext& src, int x, int y, int width, int height)
{
    return gdi::BlitSource{&src.Source(), src.Monochrome(), PixelFromColor(gdi::ResolveColor(src, src.state.bkColor)),
                           RECT{x + src.Dx(), y + src.Dy(), width, height}};
}

}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    DeviceContext* dc = gdi::Dc(hdc);
    const std::uint8_t code = std::uint8_t((rop >> 16) & 0xFF);
    if (!dc || gdi::RopUsesSource(code)) return 0;
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    const RECT r = dc->ToSurface(RECT{x, y, x + width, y + height});
    switch (code) {
        case 0xF0: gdi::FillSurfaceRect(*dc, r, gdi::BrushSource(*dc, dc->state.brush), R2_COPYPEN); break;
        case 0x00: gdi::FillSurfaceRect(*dc, r, gdi::BrushSource(0u), R2_COPYPEN); break;
        case 0xFF: gdi::FillSurfaceRect(*dc, r, gdi::BrushSource(0xFFFFFFu), R2_COPYPEN); break;
        default: gdi::ApplyRop3Rect(*dc, r, gdi::BrushSource(*dc, dc->state.brush), code); break;
    }
    return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    DeviceContext* d = gdi::Dc(dest);
    if (!d) return 0;
    if (!gdi::RopUsesSource(std::uint8_t((rop >> 16) & 0xFF))) return PatBlt(dest, x, y, width, height, rop);
    DeviceContext* s = gdi::Dc(src);
    if (!s) return 0;
    return gdi::Blit(*d, x, y, width, height, SourceOf(*s, srcX, srcY, width, height), rop) ? 1 : 0;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth, int srcHeight,
                DWORD rop)
{
    DeviceContext* d = gdi::Dc(dest);
    if (!d) return 0;
    if (!gdi::RopUsesSource(std::uint8_t((rop >> 16) & 0xFF))) return PatBlt(dest, x, y, width, height, rop);
    DeviceContext* s = gdi::Dc(src);
    if (!s) return 0;
    return gdi::Blit(*d, x, y, width, height, SourceOf(*s, srcX, srcY, srcWidth, srcHeight), rop) ? 1 : 0;
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                    int srcHeight, UINT transparent)
{
    DeviceContext* d = gdi::Dc(dest);
    DeviceContext* s = gdi::Dc(src);
    if (!d || !s || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) return 0;
    const std::uint32_t key = PixelFromColor(gdi::ResolveColor(*s, transparent));
    return gdi::Blit(*d, x, y, width, height, SourceOf(*s, srcX, srcY, srcWidth, srcHeight), SRCCOPY, key) ? 1 : 0;
}

}  // namespace desktop
