// Bitmaps: device bitmaps, DIB sections and the conversions between the
// stored DIB formats and 32-bit surfaces.
#include "desktop/GdiDib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace desktop {
namespace gdi {
namespace {

constexpr long kMaxSide = 1 << 16;
constexpr long long kMaxPixels = 1LL << 28;

std::vector<GdiBitmap*>& DirtyBitmaps()
{
    static std::vector<GdiBitmap*> dirty;
    return dirty;
}

void Forget(GdiBitmap* bm)
{
    auto& d = DirtyBitmaps();
    d.erase(std::remove(d.begin(), d.end(), bm), d.end());
}

std::size_t Stride(int width, int bitCount) { return ((std::size_t(width) * std::size_t(bitCount) + 31) / 32) * 4; }

std::uint32_t PixelOfQuad(const RGBQUAD& q)
{
    return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

RGBQUAD QuadOf(COLORREF c) { return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; }

// One channel of a bit-field format.
struct Channel {
    int shift = 0;
    int bits = 0;
    explicit Channel(DWORD mask)
    {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask >> shift);
    }
    std::uint32_t Decode(std::uint32_t v) const
    {
        if (bits == 0) return 0;
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        const std::uint32_t c = (v >> shift) & max;
        if (bits >= 8) return c >> (bits - 8);
        return (c * 255 + max / 2) / max;
    }
    std::uint32_t Encode(std::uint32_t c8) const
    {
        if (bits == 0) return 0;
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        const std::uint32_t c = bits >= 8 ? c8 << (bits - 8) : (c8 * max + 127) / 255;
        return c << shift;
    }
};

int ColorCount(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount > 8) return int(std::min<DWORD>(h.biClrUsed, 256));
    const int full = 1 << h.biBitCount;
    return h.biClrUsed == 0 ? full : int(std::min<DWORD>(h.biClrUsed, DWORD(full)));
}

std::size_t TableOffset(const BITMAPINFOHEADER& h)
{
    return h.biSize + (h.biCompression == BI_BITFIELDS && h.biSize == 40 ? 12 : 0);
}

void DefaultMasks(int bitCount, DWORD masks[3])
{
    if (bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
}

// The colour table a bitmap without its own is read back with.
std::vector<RGBQUAD> DefaultTable(int bitCount)
{
    static constexpr std::array<COLORREF, 16> kVga = {
        RGB(0, 0, 0),     RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128), RGB(128, 0, 128),
        RGB(0, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0), RGB(255, 255, 0),
        RGB(0, 0, 255),   RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
    };
    std::vector<RGBQUAD> t;
    if (bitCount == 1) {
        t = {QuadOf(RGB(0, 0, 0)), QuadOf(RGB(255, 255, 255))};
    } else if (bitCount == 4) {
        for (COLORREF c : kVga) t.push_back(QuadOf(c));
    } else if (bitCount == 8) {
        PALETTEENTRY sys[20];
        GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, sys);
        for (int i = 0; i < 10; ++i) t.push_back(RGBQUAD{sys[i].peBlue, sys[i].peGreen, sys[i].peRed, 0});
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) t.push_back(RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0});
        for (int i = 1; i <= 20; ++i) t.push_back(RGBQUAD{BYTE(i * 12), BYTE(i * 12), BYTE(i * 12), 0});
        for (int i = 10; i < 20; ++i) t.push_back(RGBQUAD{sys[i].peBlue, sys[i].peGreen, sys[i].peRed, 0});
    }
    return t;
}

// Nearest table entry, with exact colours found by lookup.
class PaletteMatcher {
public:
    explicit PaletteMatcher(const std::vector<RGBQUAD>& colors) : colors_(colors)
    {
        for (std::size_t i = colors.size(); i-- > 0;) exact_[PixelOfQuad(colors[i])] = std::uint8_t(i);
    }
    std::uint8_t Index(std::uint32_t pixel)
    {
        if (auto it = exact_.find(pixel); it != exact_.end()) return it->second;
        std::uint8_t best = 0;
        long bestDistance = -1;
        for (std::size_t i = 0; i < colors_.size(); ++i) {
            const long dr = long(colors_[i].rgbRed) - long((pixel >> 16) & 0xFF);
            const long dg = long(colors_[i].rgbGreen) - long((pixel >> 8) & 0xFF);
            const long db = long(colors_[i].rgbBlue) - long(pixel & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) best = std::uint8_t(i), bestDistance = d;
        }
        exact_[pixel] = best;
        return best;
    }

private:
    const std::vector<RGBQUAD>& colors_;
    std::unordered_map<std::uint32_t, std::uint8_t> exact_;
};

DibLayout LayoutOf(const GdiBitmap& bm)
{
    DibLayout l;
    l.width = bm.surface.width;
    l.height = bm.surface.height;
    l.bottomUp = bm.dibHeader.biHeight > 0;
    l.bitCount = bm.dibHeader.biBitCount;
    std::copy(std::begin(bm.dibMasks), std::end(bm.dibMasks), l.masks);
    l.colors = bm.dibColors;
    l.stride = Stride(l.width, l.bitCount);
    return l;
}

GdiBitmap* NewBitmap(int width, int height, int bitsPixel, bool monochrome)
{
    auto* bm = new GdiBitmap();
    bm->surface.Resize(width, height, 0);
    bm->bitsPixel = bitsPixel;
    bm->monochrome = monochrome;
    return bm;
}

bool ValidSize(long width, long height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           (long long)width * height <= kMaxPixels;
}

bool HeaderSupported(const BITMAPINFOHEADER& h)
{
    if (h.biSize < 40 || h.biSize > 1024 || h.biPlanes != 1) return false;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return false;
    const long height = h.biHeight < 0 ? -long(h.biHeight) : long(h.biHeight);
    return ValidSize(h.biWidth, height);
}

}  // namespace

bool ReadLayout(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibLayout& out)
{
    if (!info || !HeaderSupported(info->bmiHeader)) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    const long height = h.biHeight < 0 ? -long(h.biHeight) : long(h.biHeight);
    out = DibLayout{};
    out.width = h.biWidth;
    out.height = int(height);
    out.bottomUp = h.biHeight > 0;
    out.bitCount = bpp;
    out.stride = Stride(out.width, bpp);
    const auto* base = reinterpret_cast<const std::uint8_t*>(info);
    if (h.biCompression == BI_BITFIELDS)
        std::memcpy(out.masks, base + (h.biSize >= 52 ? 40 : h.biSize), sizeof out.masks);
    else
        DefaultMasks(bpp, out.masks);
    if (bpp <= 8) {
        const int n = ColorCount(h);
        const std::uint8_t* table = base + TableOffset(h);
        out.colors.resize(std::size_t(1) << bpp);
        if (usage == DIB_PAL_COLORS) {
            const GdiPalette* pal = dc ? dc->state.palette : nullptr;
            for (int i = 0; i < n; ++i) {
                WORD index = 0;
                std::memcpy(&index, table + 2 * i, 2);
                if (pal && index < pal->entries.size()) {
                    const PALETTEENTRY& e = pal->entries[index];
                    out.colors[std::size_t(i)] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
                }
            }
        } else {
            std::memcpy(out.colors.data(), table, std::size_t(n) * sizeof(RGBQUAD));
        }
    }
    return true;
}

std::size_t PackedBitsOffset(const BITMAPINFO* info)
{
    const BITMAPINFOHEADER& h = info->bmiHeader;
    return TableOffset(h) + std::size_t(ColorCount(h)) * sizeof(RGBQUAD);
}

void DecodeRows(const DibLayout& l, const std::uint8_t* bits, int first, int count, Surface& surface)
{
    const Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
    const int width = std::min(l.width, surface.width);
    // Palette formats look their pixels up in a table made once; the format is chosen once per
    // row rather than per pixel, which keeps decoding cheap enough to load images freely.
    std::uint32_t table[256] = {};
    if (l.bitCount <= 8) {
        for (std::size_t i = 0; i < l.colors.size() && i < 256; ++i) table[i] = PixelOfQuad(l.colors[i]);
    }
    for (int i = 0; i < count; ++i) {
        const int y = l.ImageRow(first + i);
        if (y < 0 || y >= surface.height) continue;
        const std::uint8_t* src = bits + std::size_t(i) * l.stride;
        std::uint32_t* dst = surface.pixels.data() + std::size_t(y) * std::size_t(surface.width);
        switch (l.bitCount) {
            case 1:
                for (int x = 0; x < width; ++x) dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4: {
                int x = 0;
                for (; x + 1 < width; x += 2) {
                    const std::uint8_t pair = src[x >> 1];
                    dst[x] = table[pair >> 4];
                    dst[x + 1] = table[pair & 0xF];
                }
                if (x < width) dst[x] = table[src[x >> 1] >> 4];
                break;
            }
            case 8:
                for (int x = 0; x < width; ++x) dst[x] = table[src[x]];
                break;
            case 16:
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t v = std::uint32_t(src[2 * x]) | (std::uint32_t(src[2 * x + 1]) << 8);
                    dst[x] = (r.Decode(v) << 16) | (g.Decode(v) << 8) | b.Decode(v);
                }
                break;
            case 24:
                for (int x = 0; x < width; ++x)
                    dst[x] = (std::uint32_t(src[3 * x + 2]) << 16) | (std::uint32_t(src[3 * x + 1]) << 8) | src[3 * x];
                break;
            case 32:
                for (int x = 0; x < width; ++x) {
                    std::uint32_t v = 0;
                    std::memcpy(&v, src + 4 * x, 4);
                    dst[x] = (r.Decode(v) << 16) | (g.Decode(v) << 8) | b.Decode(v);
                }
                break;
            default: break;
        }
    }
}

void EncodeRows(const Surface& surface, const DibLayout& l, int first, int count, std::uint8_t* bits)
{
    const Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
    PaletteMatcher match(l.colors);
    const int width = std::min(l.width, surface.width);
    for (int i = 0; i < count; ++i) {
        const int y = l.ImageRow(first + i);
        std::uint8_t* dst = bits + std::size_t(i) * l.stride;
        std::memset(dst, 0, l.stride);
        if (y < 0 || y >= surface.height) continue;
        const std::uint32_t* src = surface.pixels.data() + std::size_t(y) * std::size_t(surface.width);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = src[x];
            switch (l.bitCount) {
                case 1: dst[x >> 3] |= std::uint8_t((match.Index(p) & 1) << (7 - (x & 7))); break;
                case 4: dst[x >> 1] |= std::uint8_t((match.Index(p) & 0xF) << ((x & 1) ? 0 : 4)); break;
                case 8: dst[x] = match.Index(p); break;
                case 16: {
                    const std::uint32_t v = r.Encode((p >> 16) & 0xFF) | g.Encode((p >> 8) & 0xFF) | b.Encode(p & 0xFF);
                    dst[2 * x] = std::uint8_t(v);
                    dst[2 * x + 1] = std::uint8_t(v >> 8);
                    break;
                }
                case 24:
                    dst[3 * x] = std::uint8_t(p);
                    dst[3 * x + 1] = std::uint8_t(p >> 8);
                    dst[3 * x + 2] = std::uint8_t(p >> 16);
                    break;
                case 32: {
                    const std::uint32_t v = r.Encode((p >> 16) & 0xFF) | g.Encode((p >> 8) & 0xFF) | b.Encode(p & 0xFF);
                    std::memcpy(dst + 4 * x, &v, 4);
                    break;
                }
                default: break;
            }
        }
    }
}

bool DecodePackedDib(const void* packed, Surface& out)
{
    DibLayout l;
    const auto* info = static_cast<const BITMAPINFO*>(packed);
    if (!ReadLayout(info, DIB_RGB_COLORS, nullptr, l)) return false;
    out.Resize(l.width, l.height);
    DecodeRows(l, static_cast<const std::uint8_t*>(packed) + PackedBitsOffset(info), 0, l.height, out);
    return true;
}

void PullDib(GdiBitmap& bm)
{
    if (!bm.isDibSection || bm.surfaceNewer) return;
    DecodeRows(LayoutOf(bm), bm.dibBits.data(), 0, bm.surface.height, bm.surface);
}

void PushDib(GdiBitmap& bm)
{
    if (!bm.isDibSection || !bm.surfaceNewer) return;
    EncodeRows(bm.surface, LayoutOf(bm), 0, bm.surface.height, bm.dibBits.data());
    bm.surfaceNewer = false;
    Forget(&bm);
}

void MarkDrawn(GdiBitmap& bm)
{
    if (!bm.isDibSection || bm.surfaceNewer) return;
    PullDib(bm);
    bm.surfaceNewer = true;
    DirtyBitmaps().push_back(&bm);
}

}  // namespace gdi

GdiBitmap::~GdiBitmap()
{
    if (isDibSection && surfaceNewer) gdi::Forget(this);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width == 0 || height == 0) return gdi::DefaultBitmap();
    const UINT bpp = planes * bitsPerPixel;
    if (!gdi::ValidSize(width, height) || planes != 1 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return nullptr;
    GdiBitmap* bm = gdi::NewBitmap(width, height, int(bpp), bpp == 1);
    if (!bits) return bm;
    // Device bitmap rows are top-down and padded to 16 bits.
    const auto* src = static_cast<const std::uint8_t*>(bits);
    const std::size_t rowBytes = ((std::size_t(width) * bpp + 15) / 16) * 2;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = src + std::size_t(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = 0;
            switch (bpp) {
                case 1: p = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFF : 0; break;
                case 16: {
                    const std::uint32_t v = std::uint32_t(row[2 * x]) | (std::uint32_t(row[2 * x + 1]) << 8);
                    p = (gdi::Channel(0x7C00).Decode(v) << 16) | (gdi::Channel(0x3E0).Decode(v) << 8) |
                        gdi::Channel(0x1F).Decode(v);
                    break;
                }
                case 24:
                    p = (std::uint32_t(row[3 * x + 2]) << 16) | (std::uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
                    break;
                case 32:
                    p = (std::uint32_t(row[4 * x + 2]) << 16) | (std::uint32_t(row[4 * x + 1]) << 8) | row[4 * x];
                    break;
                default: break;  // 4 and 8 bits without a palette: left black
            }
            bm->surface.pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = p;
        }
    }
    return bm;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc) return nullptr;
    if (width == 0 || height == 0) return gdi::DefaultBitmap();
    if (!gdi::ValidSize(width, height)) return nullptr;
    // As on the original platform, a memory DC still holding its default bitmap makes monochrome ones.
    return dc->Monochrome() ? gdi::NewBitmap(width, height, 1, true) : gdi::NewBitmap(width, height, 32, false);
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, void*, DWORD)
{
    gdi::DibLayout l;
    if (bits) *bits = nullptr;
    if (!gdi::ReadLayout(info, usage, gdi::Dc(hdc), l)) return nullptr;
    GdiBitmap* bm = gdi::NewBitmap(l.width, l.height, l.bitCount, false);
    bm->isDibSection = true;
    bm->dibHeader = info->bmiHeader;
    bm->dibHeader.biSize = 40;
    bm->dibHeader.biSizeImage = DWORD(l.ImageSize());
    bm->dibHeader.biClrUsed = DWORD(l.colors.size());
    std::copy(std::begin(l.masks), std::end(l.masks), bm->dibMasks);
    bm->dibColors = l.colors;
    bm->dibBits.assign(l.ImageSize(), 0);
    gdi::PullDib(*bm);
    if (bits) *bits = bm->dibBits.data();
    return bm;
}

int SetDIBits(HDC hdc, HBITMAP bm, UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    gdi::DibLayout l;
    if (!bm || bm->stock || !bits || !gdi::ReadLayout(info, usage, gdi::Dc(hdc), l)) return 0;
    if (startScan >= UINT(l.height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(l.height) - startScan));
    gdi::MarkDrawn(*bm);
    gdi::DecodeRows(l, static_cast<const std::uint8_t*>(bits), int(startScan), count, bm->surface);
    if (bm->monochrome)
        for (std::uint32_t& p : bm->surface.pixels) p = gdi::Quantize(p);
    return count;
}

int GetDIBits(HDC, HBITMAP bm, UINT startScan, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
    if (!bm || !info || info->bmiHeader.biSize < 40) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (bm->isDibSection) gdi::PullDib(*bm);
    if (h.biBitCount == 0) {
        h.biWidth = bm->surface.width;
        h.biHeight = bm->isDibSection ? bm->dibHeader.biHeight : bm->surface.height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bm->bitsPixel);
        h.biCompression = bm->isDibSection ? bm->dibHeader.biCompression : BI_RGB;
        h.biSizeImage = DWORD(gdi::Stride(bm->surface.width, bm->bitsPixel) * std::size_t(bm->surface.height));
        h.biClrUsed = 0;
        return 1;
    }
    if (h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)) {
        DWORD masks[3];
        if (h.biBitCount == 16)
            masks[0] = 0xF800, masks[1] = 0x07E0, masks[2] = 0x001F;
        else
            gdi::DefaultMasks(32, masks);
        std::memcpy(reinterpret_cast<std::uint8_t*>(info) + h.biSize, masks, sizeof masks);
    } else if (h.biBitCount <= 8 && usage == DIB_RGB_COLORS) {
        const bool own = bm->isDibSection && bm->dibHeader.biBitCount == h.biBitCount;
        const std::vector<RGBQUAD> table = own ? bm->dibColors : gdi::DefaultTable(h.biBitCount);
        std::copy(table.begin(), table.end(), info->bmiColors);
        h.biClrUsed = 0;
    }
    gdi::DibLayout l;
    if (!gdi::ReadLayout(info, usage, nullptr, l)) return 0;
    h.biSizeImage = DWORD(l.ImageSize());
    if (!bits) return 1;
    if (startScan >= UINT(l.height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(l.height) - startScan));
    gdi::EncodeRows(bm->surface, l, int(startScan), count, static_cast<std::uint8_t*>(bits));
    return count;
}

int StretchDIBits(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    DeviceContext* dc = gdi::Dc(hdc);
    gdi::DibLayout l;
    if (!dc || !bits || !gdi::ReadLayout(info, usage, dc, l)) return 0;
    Surface image(l.width, l.height);
    gdi::DecodeRows(l, static_cast<const std::uint8_t*>(bits), 0, l.height, image);
    // The source origin of a bottom-up DIB is its lower-left corner.
    const int top = l.bottomUp ? l.height - srcY - srcHeight : srcY;
    gdi::BlitSource src{&image, false, 0xFFFFFF, RECT{srcX, top, srcWidth, srcHeight}};
    return gdi::Blit(*dc, x, y, width, height, src, rop) ? std::abs(srcHeight) : 0;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage)
{
    DeviceContext* dc = gdi::Dc(hdc);
    gdi::DibLayout l;
    if (!dc || !bits || !gdi::ReadLayout(info, usage, dc, l) || startScan >= UINT(l.height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(l.height) - startScan));
    Surface image(l.width, l.height);
    gdi::DecodeRows(l, static_cast<const std::uint8_t*>(bits), int(startScan), count, image);
    // Only the rows of the band that were passed are drawn.
    const int bandTop = l.bottomUp ? l.height - int(startScan) - count : int(startScan);
    const int w = int(std::min<DWORD>(width, DWORD(gdi::kMaxSide))),
              h = int(std::min<DWORD>(height, DWORD(gdi::kMaxSide)));
    int top = l.bottomUp ? l.height - srcY - h : srcY;
    int destY = y;
    int rows = h;
    if (top < bandTop) {
        destY += bandTop - top;
        rows -= bandTop - top;
        top = bandTop;
    }
    rows = std::min(rows, bandTop + count - top);
    if (rows <= 0 || w <= 0) return count;
    gdi::BlitSource src{&image, false, 0xFFFFFF, RECT{srcX, top, w, rows}};
    gdi::Blit(*dc, x, destY, w, rows, src, SRCCOPY);
    return count;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !dc->memory || !colors) return 0;
    GdiBitmap* bm = dc->state.bitmap;
    if (!bm->isDibSection || start >= bm->dibColors.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(bm->dibColors.size()) - start);
    std::copy_n(bm->dibColors.begin() + start, n, colors);
    return n;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !dc->memory || !colors) return 0;
    GdiBitmap* bm = dc->state.bitmap;
    if (!bm->isDibSection || start >= bm->dibColors.size()) return 0;
    gdi::PushDib(*bm);
    const UINT n = std::min<UINT>(count, UINT(bm->dibColors.size()) - start);
    std::copy_n(colors, n, bm->dibColors.begin() + start);
    gdi::PullDib(*bm);
    return n;
}

std::size_t DibInfoSize(const BITMAPINFOHEADER& header, UINT usage)
{
    if (!gdi::HeaderSupported(header)) return 0;
    const std::size_t entry = usage == DIB_PAL_COLORS ? sizeof(WORD) : sizeof(RGBQUAD);
    return gdi::TableOffset(header) + std::size_t(gdi::ColorCount(header)) * entry;
}

std::size_t DibImageSize(const BITMAPINFOHEADER& header)
{
    if (!gdi::HeaderSupported(header)) return 0;
    const long height = header.biHeight < 0 ? -long(header.biHeight) : long(header.biHeight);
    return gdi::Stride(header.biWidth, header.biBitCount) * std::size_t(height);
}

BOOL GdiFlush()
{
    const std::vector<GdiBitmap*> dirty = gdi::DirtyBitmaps();
    for (GdiBitmap* bm : dirty) gdi::PushDib(*bm);
    return 1;
}

Surface* BitmapSurface(HBITMAP bm)
{
    if (!bm) return nullptr;
    gdi::MarkDrawn(*bm);
    return &bm->surface;
}

}  // namespace desktop
