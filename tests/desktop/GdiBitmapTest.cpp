#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "desktop/Gdi.h"

namespace desktop {
namespace {

constexpr std::uint32_t kPaper = 0x010203;

// The 16-colour palette of the die faces, in their order.
constexpr COLORREF kFaceColors[16] = {
    RGB(0, 0, 0),     RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128), RGB(128, 0, 128),
    RGB(0, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0), RGB(255, 255, 0),
    RGB(0, 0, 255),   RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
};

// BITMAPINFO with room for a 256-entry colour table or bit-field masks.
struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info MakeInfo(int w, int h, int bpp, DWORD compression = BI_RGB)
{
    Info info{};
    info.header.biWidth = w;
    info.header.biHeight = h;
    info.header.biBitCount = WORD(bpp);
    info.header.biCompression = compression;
    return info;
}

std::size_t Stride(int w, int bpp) { return std::size_t((w * bpp + 31) / 32 * 4); }

struct MemoryDC {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = nullptr;
    explicit MemoryDC(HBITMAP bm) { old = SelectObject(dc, bm); }
    ~MemoryDC()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
};

TEST(GdiStretch, NearestNeighbourMapsEachTargetPixelToOneSourcePixel)
{
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP src = CreateBitmap(64, 64, 1, 32, nullptr);
    Surface* s = BitmapSurface(src);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) s->Set(x, y, std::uint32_t(x | (y << 8) | 0x800000));
    MemoryDC source(src);

    Surface target(146, 146, kPaper);
    HDC dest = CreateSurfaceDC(&target, POINT{}, Region::FromRect(RECT{0, 0, 146, 146}));
    SetStretchBltMode(dest, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dest, 1, 1, 144, 144, source.dc, 0, 0, 64, 64, SRCCOPY));
    int used[64] = {};
    for (int y = 0; y < 144; ++y)
        for (int x = 0; x < 144; ++x) {
            const int sx = int(std::floor((x + 0.5) * 64 / 144)), sy = int(std::floor((y + 0.5) * 64 / 144));
            ASSERT_EQ(target.At(x + 1, y + 1), std::uint32_t(sx | (sy << 8) | 0x800000)) << x << "," << y;
            if (y == 0) ++used[sx];
        }
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(used[i] == 2 || used[i] == 3) << i;  // 144 / 64 = 2.25
    for (int i = 0; i < 146; ++i) {
        EXPECT_EQ(target.At(i, 0), kPaper);
        EXPECT_EQ(target.At(0, i), kPaper);
        EXPECT_EQ(target.At(i, 145), kPaper);
        EXPECT_EQ(target.At(145, i), kPaper);
    }
    // Shrinking picks every other pixel, mirroring reverses.
    Surface small(32, 1, 0);
    HDC smallDc = CreateSurfaceDC(&small, POINT{}, Region::FromRect(RECT{0, 0, 32, 1}));
    StretchBlt(smallDc, 0, 0, 32, 1, source.dc, 0, 0, 64, 1, SRCCOPY);
    EXPECT_EQ(small.At(0, 0), 0x800001u);
    EXPECT_EQ(small.At(31, 0), 0x800000u | 63);
    StretchBlt(smallDc, 31, 0, -32, 1, source.dc, 0, 0, 64, 1, SRCCOPY);
    EXPECT_EQ(small.At(31, 0), 0x800001u);
    DeleteDC(smallDc);
    DeleteDC(dest);
    DeleteObject(src);
    DeleteDC(screen);
}

TEST(GdiDib, FourBitSectionRoundTripsItsPalette)
{
    Info info = MakeInfo(64, 64, 4);
    for (int i = 0; i < 16; ++i)
        info.colors[i] = RGBQUAD{GetBValue(kFaceColors[i]), GetGValue(kFaceColors[i]), GetRValue(kFaceColors[i]), 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits);
    ASSERT_TRUE(dib && bits);
    const std::size_t stride = Stride(64, 4);
    auto* bytes = static_cast<std::uint8_t*>(bits);
    const auto index = [](int x, int y) { return (x + 3 * y) % 16; };
    // Stored rows are bottom-up: stored row r is image row 63 - r.
    for (int r = 0; r < 64; ++r)
        for (int x = 0; x < 64; x += 2)
            bytes[std::size_t(r) * stride + std::size_t(x / 2)] =
                std::uint8_t((index(x, 63 - r) << 4) | index(x + 1, 63 - r));

    Surface screen(64, 64, kPaper);
    HDC dc = CreateSurfaceDC(&screen, POINT{}, Region::FromRect(RECT{0, 0, 64, 64}));
    {
        MemoryDC mem(dib);
        BitBlt(dc, 0, 0, 64, 64, mem.dc, 0, 0, SRCCOPY);
    }
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(screen.At(x, y), PixelFromColor(kFaceColors[index(x, y)])) << x << "," << y;

    // Reading back as 4 bits gives the stored bytes and the section's own table.
    Info back = MakeInfo(64, 64, 4);
    std::vector<std::uint8_t> out(stride * 64);
    EXPECT_EQ(GetDIBits(dc, dib, 0, 64, out.data(), back.get(), DIB_RGB_COLORS), 64);
    EXPECT_EQ(std::memcmp(out.data(), bits, out.size()), 0);
    EXPECT_EQ(std::memcmp(back.colors, info.colors, 16 * sizeof(RGBQUAD)), 0);

    // Drawing into the section reaches its bits after GdiFlush.
    {
        MemoryDC mem(dib);
        HBRUSH fuchsia = CreateSolidBrush(RGB(255, 0, 255));
        const RECT r{0, 0, 2, 1};
        FillRect(mem.dc, &r, fuchsia);
        DeleteObject(fuchsia);
        GdiFlush();
        EXPECT_EQ(bytes[63 * stride], 0xDD);  // the top image row is the last stored row
    }
    DeleteDC(dc);
    DeleteObject(dib);
}

// Writes known colours through each stored format and reads them back.
TEST(GdiDib, FormatsAndRowOrders)
{
    const COLORREF colors[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    const auto expectedAt = [&](int x, int y) { return PixelFromColor(colors[(x + 2 * y) % 4]); };
    for (const int bpp : {1, 4, 8, 16, 24, 32}) {
        for (const int sign : {1, -1}) {
            SCOPED_TRACE(testing::Message() << bpp << " bits, " << (sign > 0 ? "bottom-up" : "top-down"));
            const int w = 5, h = 3;
            Info info = MakeInfo(w, sign * h, bpp);
            const int ncolors = bpp == 1 ? 2 : 4;
            for (int i = 0; i < ncolors && bpp <= 8; ++i)
                info.colors[i] = RGBQUAD{GetBValue(colors[i]), GetGValue(colors[i]), GetRValue(colors[i]), 0};
            if (bpp <= 8) info.header.biClrUsed = DWORD(ncolors);
            HBITMAP bm = CreateBitmap(w, h, 1, 32, nullptr);
            Surface* s = BitmapSurface(bm);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = expectedAt(x, y);
                    s->Set(x, y, bpp == 1 && p != 0xFFFFFF ? 0 : p);
                }
            if (bpp == 1) info.colors[0] = RGBQUAD{0, 0, 0, 0}, info.colors[1] = RGBQUAD{255, 255, 255, 0};
            std::vector<std::uint8_t> data(Stride(w, bpp) * h);
            ASSERT_EQ(GetDIBits(nullptr, bm, 0, UINT(h), data.data(), info.get(), DIB_RGB_COLORS), h);
            HBITMAP copy = CreateBitmap(w, h, 1, 32, nullptr);
            ASSERT_EQ(SetDIBits(nullptr, copy, 0, UINT(h), data.data(), info.get(), DIB_RGB_COLORS), h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) EXPECT_EQ(BitmapSurface(copy)->At(x, y), s->At(x, y)) << x << "," << y;
            // The first stored row is the bottom row for positive heights.
            if (bpp == 24) {
                const int firstRowImage = sign > 0 ? h - 1 : 0;
                const std::uint32_t p = s->At(0, firstRowImage);
                EXPECT_EQ(data[0], p & 0xFF);
                EXPECT_EQ(data[2], (p >> 16) & 0xFF);
            }
            DeleteObject(copy);
            DeleteObject(bm);
        }
    }
}

TEST(GdiDib, SixteenBitFormats)
{
    // 5-5-5 by default; bit fields give 5-6-5.
    Info info = MakeInfo(2, -1, 16);
    const std::uint16_t px555[2] = {0x7C00, 0x03E0};
    Surface screen(2, 1, 0);
    HDC dc = CreateSurfaceDC(&screen, POINT{}, Region::FromRect(RECT{0, 0, 2, 1}));
    SetDIBitsToDevice(dc, 0, 0, 2, 1, 0, 0, 0, 1, px555, info.get(), DIB_RGB_COLORS);
    EXPECT_EQ(screen.At(0, 0), 0xFF0000u);
    EXPECT_EQ(screen.At(1, 0), 0x00FF00u);

    Info fields = MakeInfo(2, -1, 16, BI_BITFIELDS);
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(fields.colors, masks, sizeof masks);
    const std::uint16_t px565[2] = {0x07E0, 0x001F};
    StretchDIBits(dc, 0, 0, 2, 1, 0, 0, 2, 1, px565, fields.get(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(screen.At(0, 0), 0x00FF00u);
    EXPECT_EQ(screen.At(1, 0), 0x0000FFu);
    DeleteDC(dc);
}

TEST(GdiDib, StretchDIBitsCountsSourceRowsFromTheBottom)
{
    // A bottom-up 1 x 4 DIB with rows (top to bottom) red, green, blue, white.
    Info info = MakeInfo(1, 4, 32);
    const std::uint32_t stored[4] = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000};  // bottom row first
    Surface screen(1, 2, 0);
    HDC dc = CreateSurfaceDC(&screen, POINT{}, Region::FromRect(RECT{0, 0, 1, 2}));
    // Source y 0 with height 2 is the bottom two rows: blue over white.
    StretchDIBits(dc, 0, 0, 1, 2, 0, 0, 1, 2, stored, info.get(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(screen.At(0, 0), 0x0000FFu);
    EXPECT_EQ(screen.At(0, 1), 0xFFFFFFu);
    DeleteDC(dc);
}

TEST(GdiDib, RejectsMalformedHeaders)
{
    void* bits = reinterpret_cast<void*>(1);
    Info bad = MakeInfo(0, 10, 8);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    bad = MakeInfo(10, 10, 7);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits), nullptr);
    bad = MakeInfo(100000, 100000, 32);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits), nullptr);
    bad = MakeInfo(10, 10, 8, BI_RLE8);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits), nullptr);
    bad = MakeInfo(10, 10, 24);
    bad.header.biPlanes = 2;
    EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits), nullptr);
    EXPECT_EQ(DibImageSize(bad.header), 0u);
    EXPECT_EQ(DibInfoSize(bad.header, DIB_RGB_COLORS), 0u);
}

TEST(GdiDib, SizesForCheckingOutsideBytes)
{
    // The stored picture: 441 x 126, 24 bits, rows of 1324 bytes, no table.
    Info picture = MakeInfo(441, 126, 24);
    EXPECT_EQ(DibInfoSize(picture.header, DIB_RGB_COLORS), 40u);
    EXPECT_EQ(DibImageSize(picture.header), 1324u * 126u);
    Info faces = MakeInfo(64, -64, 4);
    EXPECT_EQ(DibInfoSize(faces.header, DIB_RGB_COLORS), 40u + 16 * 4);
    EXPECT_EQ(DibImageSize(faces.header), 32u * 64u);
    faces.header.biClrUsed = 300;  // more than 4 bits can index: the table stays 16 entries
    EXPECT_EQ(DibInfoSize(faces.header, DIB_RGB_COLORS), 40u + 16 * 4);
    Info fields = MakeInfo(3, 2, 16, BI_BITFIELDS);
    EXPECT_EQ(DibInfoSize(fields.header, DIB_RGB_COLORS), 52u);
    EXPECT_EQ(DibImageSize(fields.header), 8u * 2u);
}

TEST(GdiMono, ConversionsUseTextAndBackgroundColours)
{
    // A fresh memory DC holds a 1 x 1 monochrome bitmap, so its compatible bitmaps are monochrome.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(mem, 4, 1);
    BITMAP info;
    GetObject(mono, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    HGDIOBJ old = SelectObject(mem, mono);

    // Colour to monochrome: the source's background colour becomes white, the rest black.
    Surface colour(4, 1, 0);
    colour.Set(0, 0, 0x00FF00);
    colour.Set(2, 0, 0x00FF00);
    colour.Set(3, 0, 0xFFFFFF);
    HDC src = CreateSurfaceDC(&colour, POINT{}, Region::FromRect(RECT{0, 0, 4, 1}));
    SetBkColor(src, RGB(0, 255, 0));
    BitBlt(mem, 0, 0, 4, 1, src, 0, 0, SRCCOPY);
    const Surface* m = BitmapSurface(mono);
    EXPECT_EQ(m->At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(m->At(1, 0), 0u);
    EXPECT_EQ(m->At(2, 0), 0xFFFFFFu);
    EXPECT_EQ(m->At(3, 0), 0u);

    // Monochrome to colour: black takes the destination's text colour, white its background colour.
    Surface out(4, 1, kPaper);
    HDC dest = CreateSurfaceDC(&out, POINT{}, Region::FromRect(RECT{0, 0, 4, 1}));
    SetTextColor(dest, RGB(255, 0, 0));
    SetBkColor(dest, RGB(0, 0, 255));
    BitBlt(dest, 0, 0, 4, 1, mem, 0, 0, SRCCOPY);
    EXPECT_EQ(out.At(0, 0), 0x0000FFu);
    EXPECT_EQ(out.At(1, 0), 0xFF0000u);

    // The classic mask blit: SRCAND with the mask, then SRCPAINT keeps the background where the mask is white.
    out = Surface(4, 1, 0x123456);
    SetTextColor(dest, RGB(0, 0, 0));
    SetBkColor(dest, RGB(255, 255, 255));
    BitBlt(dest, 0, 0, 4, 1, mem, 0, 0, SRCAND);
    EXPECT_EQ(out.At(0, 0), 0x123456u);
    EXPECT_EQ(out.At(1, 0), 0u);

    SelectObject(mem, old);
    DeleteObject(mono);
    DeleteDC(src);
    DeleteDC(dest);
    DeleteDC(mem);
}

TEST(GdiBlit, RasterOperationsAndTransparency)
{
    Surface a(3, 1, 0);
    a.Set(0, 0, 0xF0F0F0);
    a.Set(1, 0, 0x0F0F0F);
    a.Set(2, 0, 0xFF00FF);
    HDC src = CreateSurfaceDC(&a, POINT{}, Region::FromRect(RECT{0, 0, 3, 1}));
    Surface b(3, 1, 0x3C3C3C);
    HDC dest = CreateSurfaceDC(&b, POINT{}, Region::FromRect(RECT{0, 0, 3, 1}));
    BitBlt(dest, 0, 0, 3, 1, src, 0, 0, SRCINVERT);
    EXPECT_EQ(b.At(0, 0), 0xF0F0F0u ^ 0x3C3C3C);
    BitBlt(dest, 0, 0, 3, 1, src, 0, 0, SRCINVERT);
    EXPECT_EQ(b.At(0, 0), 0x3C3C3Cu);
    BitBlt(dest, 0, 0, 3, 1, src, 0, 0, SRCPAINT);
    EXPECT_EQ(b.At(1, 0), 0x3F3F3Fu);
    BitBlt(dest, 0, 0, 3, 1, src, 0, 0, NOTSRCCOPY);
    EXPECT_EQ(b.At(1, 0), 0xF0F0F0u);
    PatBlt(dest, 0, 0, 3, 1, DSTINVERT);
    EXPECT_EQ(b.At(1, 0), 0x0F0F0Fu);
    PatBlt(dest, 0, 0, 3, 1, WHITENESS);
    EXPECT_EQ(b.At(2, 0), 0xFFFFFFu);
    SelectObject(dest, GetStockObject(BLACK_BRUSH));
    PatBlt(dest, 0, 0, 2, 1, PATCOPY);
    EXPECT_EQ(b.At(0, 0), 0u);
    EXPECT_EQ(b.At(2, 0), 0xFFFFFFu);

    // Fuchsia pixels are skipped.
    b = Surface(3, 1, 0x777777);
    TransparentBlt(dest, 0, 0, 3, 1, src, 0, 0, 3, 1, RGB(255, 0, 255));
    EXPECT_EQ(b.At(0, 0), 0xF0F0F0u);
    EXPECT_EQ(b.At(2, 0), 0x777777u);
    DeleteDC(src);
    DeleteDC(dest);
}

TEST(GdiObjects, DescriptionsAndPalettes)
{
    HBITMAP bm = CreateBitmap(10, 3, 1, 1, nullptr);
    BITMAP info;
    EXPECT_EQ(GetObject(bm, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 10);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    DeleteObject(bm);

    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } log{};
    log.head.palVersion = 0x300;
    log.head.palNumEntries = 3;
    log.head.palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};
    log.more[0] = PALETTEENTRY{0, 255, 0, 0};
    log.more[1] = PALETTEENTRY{0, 0, 255, 0};
    HPALETTE pal = CreatePalette(&log.head);
    PALETTEENTRY got[3];
    EXPECT_EQ(GetPaletteEntries(pal, 0, 3, got), 3u);
    EXPECT_EQ(got[2].peBlue, 255);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(10, 200, 10)), 1u);
    Surface s(1, 1, 0);
    HDC dc = CreateSurfaceDC(&s, POINT{}, Region::FromRect(RECT{0, 0, 1, 1}));
    SelectPalette(dc, pal, 0);
    EXPECT_EQ(RealizePalette(dc), 0u);
    SetPixel(dc, 0, 0, PALETTEINDEX(1));
    EXPECT_EQ(s.At(0, 0), 0x00FF00u);
    SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0);
    DeleteDC(dc);
    DeleteObject(pal);
}

}  // namespace
}  // namespace desktop
