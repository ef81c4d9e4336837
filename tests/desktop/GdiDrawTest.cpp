#include <gtest/gtest.h>

#include "desktop/Gdi.h"

namespace desktop {
namespace {

constexpr std::uint32_t kPaper = 0x010203;  // a colour no drawing here produces

std::uint32_t Sys(int index) { return PixelFromColor(GetSysColor(index)); }

// A surface with a DC over all of it (or a window-like part of it).
struct Canvas {
    Surface surface;
    HDC dc = nullptr;
    explicit Canvas(int w, int h, POINT origin = {}, RECT clip = {0, 0, 0, 0}) : surface(w, h, kPaper)
    {
        if (clip.IsEmpty()) clip = RECT{0, 0, w, h};
        dc = CreateSurfaceDC(&surface, origin, Region::FromRect(clip));
    }
    ~Canvas() { DeleteDC(dc); }
    std::uint32_t At(int x, int y) const { return surface.At(x, y); }
};

class DrawEdgeTest : public testing::Test {
protected:
    Canvas c{12, 10};
    RECT rect{1, 1, 11, 9};  // 10 x 8

    // Colour of every pixel on the ring at `inset` from rect, by side.
    void ExpectRing(int inset, std::uint32_t topLeft, std::uint32_t bottomRight)
    {
        const int l = rect.left + inset, t = rect.top + inset, r = rect.right - 1 - inset, b = rect.bottom - 1 - inset;
        for (int x = l; x < r; ++x) EXPECT_EQ(c.At(x, t), topLeft) << "top " << x;
        for (int y = t; y < b; ++y) EXPECT_EQ(c.At(l, y), topLeft) << "left " << y;
        for (int x = l; x <= r; ++x) EXPECT_EQ(c.At(x, b), bottomRight) << "bottom " << x;
        for (int y = t; y <= b; ++y) EXPECT_EQ(c.At(r, y), bottomRight) << "right " << y;
    }
    void ExpectUntouched(RECT r)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) EXPECT_EQ(c.At(x, y), kPaper) << x << "," << y;
    }
};

TEST_F(DrawEdgeTest, SunkenOuterIsShadowOverHighlight)
{
    RECT r = rect;
    EXPECT_TRUE(DrawEdge(c.dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST));
    ExpectRing(0, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    // The bottom-right colour owns the top-right and bottom-left corners.
    EXPECT_EQ(c.At(10, 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(1, 8), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(1, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(r, (RECT{2, 2, 10, 8}));
    ExpectUntouched(r);
    ExpectUntouched(RECT{0, 0, 12, 1});
}

TEST_F(DrawEdgeTest, RaisedInnerAloneTakesTheOuterPixel)
{
    RECT r = rect;
    DrawEdge(c.dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    ExpectRing(0, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(r, (RECT{2, 2, 10, 8}));
    ExpectUntouched(r);
}

TEST_F(DrawEdgeTest, SunkenEdgeHasTwoRings)
{
    RECT r = rect;
    DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    ExpectRing(0, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    ExpectRing(1, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(r, (RECT{3, 3, 9, 7}));
    ExpectUntouched(r);
}

TEST_F(DrawEdgeTest, AdjustShrinksOnlyTheDrawnSides)
{
    RECT r = rect;
    DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_LEFT | BF_TOP | BF_ADJUST);
    EXPECT_EQ(r, (RECT{3, 3, 11, 9}));
    EXPECT_EQ(c.At(1, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(c.At(10, 1), Sys(COLOR_BTNSHADOW));  // no right side: the top runs to the end
    EXPECT_EQ(c.At(2, 2), Sys(COLOR_3DDKSHADOW));
    ExpectUntouched(RECT{3, 3, 11, 9});

    RECT s = rect;
    DrawEdge(c.dc, &s, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    EXPECT_EQ(s, (RECT{1, 1, 10, 8}));
    RECT unchanged = rect;
    DrawEdge(c.dc, &unchanged, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(unchanged, rect);
}

TEST_F(DrawEdgeTest, SoftSwapsTopLeftColoursAndMiddleFillsWithFace)
{
    RECT r = rect;
    DrawEdge(c.dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
    ExpectRing(0, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW));
    ExpectRing(1, Sys(COLOR_3DLIGHT), Sys(COLOR_BTNSHADOW));
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) EXPECT_EQ(c.At(x, y), Sys(COLOR_BTNFACE));

    Canvas plain(12, 10);
    RECT p = rect;
    DrawEdge(plain.dc, &p, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(plain.At(1, 1), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(plain.At(2, 2), Sys(COLOR_BTNHIGHLIGHT));
}

TEST(GdiClip, TriangleClipLimitsFillRect)
{
    constexpr int W = 40, H = 30;
    // The DC sits at (5, 7) on the surface; clip regions are in its device coordinates.
    Canvas c(60, 50, POINT{5, 7});
    const POINT tri[] = {{0, H}, {W, 0}, {0, 0}};
    HRGN rgn = CreatePolygonRgn(tri, 3, ALTERNATE);
    EXPECT_EQ(SelectClipRgn(c.dc, rgn), COMPLEXREGION);
    DeleteObject(rgn);  // the DC keeps its own copy
    const RECT all{-10, -10, 100, 100};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    int filled = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            const int lx = x - 5, ly = y - 7;
            // Centre test x/W + y/H < 1; it never ties for these sizes.
            const bool inside = lx >= 0 && ly >= 0 && (2 * lx + 1) * H + (2 * ly + 1) * W < 2 * W * H;
            EXPECT_EQ(c.At(x, y), inside ? 0u : kPaper) << x << "," << y;
            filled += inside;
        }
    EXPECT_GT(filled, W * H / 2 - W);

    // The other half fills exactly the rest of the square.
    const POINT other[] = {{0, H}, {W, H}, {W, 0}};
    HRGN rgn2 = CreatePolygonRgn(other, 3, ALTERNATE);
    SelectClipRgn(c.dc, rgn2);
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool square = x >= 5 && x < 5 + W && y >= 7 && y < 7 + H;
            if (square) {
                EXPECT_NE(c.At(x, y), kPaper) << x << "," << y;
            }
            if (!square) {
                EXPECT_EQ(c.At(x, y), kPaper) << x << "," << y;
            }
        }
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{1, 0, W, H}));  // the bottom row's centre at x = 0.5 is above the diagonal
    DeleteObject(rgn2);
}

TEST(GdiClip, OuterClipAndDcClipCombine)
{
    // The window layer's clip is (10,10)-(30,30) on the surface; the DC is at (10, 10).
    Canvas c(40, 40, POINT{10, 10}, RECT{10, 10, 30, 30});
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
    ExcludeClipRect(c.dc, 5, 5, 10, 10);
    SetWindowOrgEx(c.dc, -3, 0, nullptr);  // logical x = device x - 3
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{-3, 0, 17, 20}));
    const RECT all{-50, -50, 50, 50};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.At(10, 10), 0u);
    EXPECT_EQ(c.At(29, 29), 0u);
    EXPECT_EQ(c.At(9, 10), kPaper);
    EXPECT_EQ(c.At(30, 29), kPaper);
    EXPECT_EQ(c.At(15, 15), kPaper);  // excluded
    EXPECT_EQ(c.At(19, 19), kPaper);
    EXPECT_EQ(c.At(20, 19), 0u);

    // SaveDC / RestoreDC bring back the clip and the origin.
    Canvas d(20, 20);
    const int level = SaveDC(d.dc);
    IntersectClipRect(d.dc, 0, 0, 5, 5);
    SetViewportOrgEx(d.dc, 2, 2, nullptr);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(d.dc, copy), 1);
    RECT copyBox;
    GetRgnBox(copy, &copyBox);
    EXPECT_EQ(copyBox, (RECT{0, 0, 5, 5}));  // device coordinates
    DeleteObject(copy);
    EXPECT_TRUE(RestoreDC(d.dc, level));
    EXPECT_EQ(GetClipRgn(d.dc, copy = CreateRectRgn(0, 0, 0, 0)), 0);
    DeleteObject(copy);
    EXPECT_EQ(GetClipBox(d.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
    POINT org;
    GetViewportOrgEx(d.dc, &org);
    EXPECT_EQ(org, (POINT{0, 0}));
    EXPECT_FALSE(RestoreDC(d.dc, -1));
}

TEST(GdiLines, LineToLeavesOutTheLastPixel)
{
    Canvas c(20, 20);
    MoveToEx(c.dc, 2, 3, nullptr);
    LineTo(c.dc, 8, 3);
    for (int x = 2; x < 8; ++x) EXPECT_EQ(c.At(x, 3), 0u);
    EXPECT_EQ(c.At(8, 3), kPaper);
    EXPECT_EQ(c.At(1, 3), kPaper);
    // Diagonal: one pixel per step, end excluded; the current position moves along.
    LineTo(c.dc, 13, 8);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.At(8 + i, 3 + i), 0u);
    EXPECT_EQ(c.At(13, 8), kPaper);
    POINT pos;
    GetCurrentPositionEx(c.dc, &pos);
    EXPECT_EQ(pos, (POINT{13, 8}));

    // A steep line has exactly one pixel per row.
    Canvas steep(5, 13);
    MoveToEx(steep.dc, 0, 0, nullptr);
    LineTo(steep.dc, 3, 12);
    for (int y = 0; y < 13; ++y) {
        int n = 0;
        for (int x = 0; x < 5; ++x) n += steep.At(x, y) == 0;
        if (y == 12) n = 1 - n;  // the end point stays out
        EXPECT_EQ(n, 1) << y;
    }
}

TEST(GdiLines, XorPenTwiceRestores)
{
    Canvas c(10, 10);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(c.dc, pen);
    SetROP2(c.dc, R2_XORPEN);
    MoveToEx(c.dc, 0, 5, nullptr);
    LineTo(c.dc, 10, 5);
    EXPECT_EQ(c.At(4, 5), kPaper ^ 0xFF0000);
    MoveToEx(c.dc, 0, 5, nullptr);
    LineTo(c.dc, 10, 5);
    EXPECT_EQ(c.At(4, 5), kPaper);
    SetROP2(c.dc, R2_NOT);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 10, 1);
    EXPECT_EQ(c.At(4, 1), ~kPaper & 0xFFFFFF);
    // Deleting a selected pen is deferred until it is deselected.
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(c.dc, old), pen);
}

TEST(GdiShapes, BoundingBoxesExcludeRightAndBottom)
{
    Canvas c(40, 30);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(c.dc, red);
    Ellipse(c.dc, 5, 4, 25, 18);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (c.At(x, y) != kPaper)
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    EXPECT_EQ(minX, 5);
    EXPECT_EQ(maxX, 24);
    EXPECT_EQ(minY, 4);
    EXPECT_EQ(maxY, 17);
    EXPECT_EQ(c.At(15, 11), 0xFF0000u);  // filled with the brush
    EXPECT_EQ(c.At(5, 11), 0u);          // outlined with the pen
    EXPECT_EQ(c.At(5, 4), kPaper);       // corners stay free

    Canvas r(20, 20);
    SelectObject(r.dc, red);
    Rectangle(r.dc, 2, 3, 8, 9);
    EXPECT_EQ(r.At(2, 3), 0u);
    EXPECT_EQ(r.At(7, 8), 0u);
    EXPECT_EQ(r.At(8, 8), kPaper);
    EXPECT_EQ(r.At(7, 9), kPaper);
    EXPECT_EQ(r.At(4, 5), 0xFF0000u);
    // Without a pen the filled rectangle loses its last column and row.
    SelectObject(r.dc, GetStockObject(NULL_PEN));
    Rectangle(r.dc, 10, 10, 15, 15);
    EXPECT_EQ(r.At(10, 10), 0xFF0000u);
    EXPECT_EQ(r.At(13, 13), 0xFF0000u);
    EXPECT_EQ(r.At(14, 13), kPaper);
    SelectObject(r.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiShapes, PolygonFillsAndOutlines)
{
    Canvas c(20, 20);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    const POINT pts[] = {{2, 2}, {12, 2}, {12, 10}, {2, 10}};
    Polygon(c.dc, pts, 4);
    EXPECT_EQ(c.At(6, 6), 0xFFFFFFu);
    EXPECT_EQ(c.At(2, 2), 0u);
    EXPECT_EQ(c.At(12, 10), 0u);  // the outline includes the last vertex
    EXPECT_EQ(c.At(13, 6), kPaper);
}

TEST(GdiPixels, FocusRectIsDottedAndUndoesItself)
{
    Canvas c(12, 12);
    const RECT r{1, 1, 11, 11};
    const Surface before = c.surface;
    DrawFocusRect(c.dc, &r);
    int inverted = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool frame = (x == 1 || x == 10 || y == 1 || y == 10) && x >= 1 && x <= 10 && y >= 1 && y <= 10;
            const bool changed = c.At(x, y) != kPaper;
            if (!frame) {
                EXPECT_FALSE(changed) << x << "," << y;
            }
            if (changed) {
                EXPECT_EQ(c.At(x, y), kPaper ^ 0xFFFFFF);
            }
            inverted += changed;
        }
    EXPECT_EQ(inverted, 18);  // every other pixel of the 36 on the frame
    EXPECT_NE(c.At(1, 1) != kPaper, c.At(2, 1) != kPaper);
    DrawFocusRect(c.dc, &r);
    EXPECT_EQ(c.surface.pixels, before.pixels);
}

TEST(GdiPixels, SetAndGetPixelHonourClipAndOrigin)
{
    Canvas c(10, 10, POINT{2, 2}, RECT{2, 2, 8, 8});
    EXPECT_EQ(SetPixel(c.dc, 1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(c.At(3, 3), PixelFromColor(RGB(10, 20, 30)));
    EXPECT_EQ(GetPixel(c.dc, 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(SetPixel(c.dc, 7, 7, RGB(1, 1, 1)), CLR_INVALID);  // outside the window's clip
    EXPECT_EQ(GetPixel(c.dc, -1, 0), CLR_INVALID);
    EXPECT_EQ(c.At(9, 9), kPaper);
}

TEST(GdiBrushes, PatternBrushTilesFromTheBrushOrigin)
{
    // 8 x 8 checkerboard as a monochrome bitmap: 0 bits take the text colour, 1 bits the background.
    WORD rows[8];
    for (int y = 0; y < 8; ++y) rows[y] = (y % 2) ? 0x55 : 0xAA;
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);  // the brush keeps its pattern
    Canvas c(16, 16);
    SetTextColor(c.dc, RGB(255, 0, 0));
    SetBkColor(c.dc, RGB(0, 0, 255));
    const RECT r{0, 0, 16, 16};
    FillRect(c.dc, &r, brush);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(c.At(x, y), (x + y) % 2 ? 0xFF0000u : 0x0000FFu) << x << "," << y;
    SetBrushOrgEx(c.dc, 1, 0, nullptr);
    FillRect(c.dc, &r, brush);
    EXPECT_EQ(c.At(0, 0), 0xFF0000u);
    DeleteObject(brush);

    // A system colour index + 1 works as a brush.
    FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(c.At(5, 5), Sys(COLOR_BTNFACE));
}

TEST(GdiMisc, MulDivRoundsAndRejectsZero)
{
    EXPECT_EQ(MulDiv(8, 6, 4), 12);
    EXPECT_EQ(MulDiv(10, 13, 8), 16);  // 16.25
    EXPECT_EQ(MulDiv(14, 13, 8), 23);  // 22.75
    EXPECT_EQ(MulDiv(5, 1, 2), 3);     // halves round away from zero
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(1 << 30, 8, 4), -1);  // overflow
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
}

TEST(GdiMisc, SystemColoursAreTheClassicScheme)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(0, 128, 128));
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_TRUE(DeleteObject(face));  // stock: stays usable
    LOGBRUSH lb;
    EXPECT_EQ(GetObject(face, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
}

}  // namespace
}  // namespace desktop
