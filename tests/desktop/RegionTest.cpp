#include "desktop/Region.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace desktop {
namespace {

int PixelCount(const Region& r)
{
    int n = 0;
    r.ForEachSpan([&](LONG, LONG x0, LONG x1) { n += x1 - x0; });
    return n;
}

TEST(Region, RectangleBasics)
{
    const Region r = Region::FromRect(RECT{2, 3, 7, 5});
    EXPECT_EQ(r.Bounds(), (RECT{2, 3, 7, 5}));
    EXPECT_EQ(r.Kind(), SIMPLEREGION);
    EXPECT_EQ(PixelCount(r), 10);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(6, 4));
    EXPECT_FALSE(r.Contains(7, 4));  // right and bottom are exclusive
    EXPECT_FALSE(r.Contains(6, 5));
    EXPECT_FALSE(r.Contains(1, 3));

    EXPECT_TRUE(Region::FromRect(RECT{5, 5, 5, 9}).IsEmpty());
    EXPECT_TRUE(Region::FromRect(RECT{5, 5, 2, 9}).IsEmpty());
    EXPECT_EQ(Region().Kind(), NULLREGION);
    EXPECT_EQ(Region().Bounds(), RECT{});
}

TEST(Region, SetOperationsOnOverlappingRectangles)
{
    const Region a = Region::FromRect(RECT{0, 0, 10, 10});
    const Region b = Region::FromRect(RECT{5, 5, 15, 15});

    const Region both = a.Intersected(b);
    EXPECT_EQ(both, Region::FromRect(RECT{5, 5, 10, 10}));
    EXPECT_EQ(both.Kind(), SIMPLEREGION);

    const Region either = a.United(b);
    EXPECT_EQ(PixelCount(either), 100 + 100 - 25);
    EXPECT_EQ(either.Kind(), COMPLEXREGION);
    EXPECT_EQ(either.Bounds(), (RECT{0, 0, 15, 15}));
    EXPECT_TRUE(either.Contains(12, 12));
    EXPECT_FALSE(either.Contains(12, 2));

    const Region onlyA = a.Subtracted(b);
    EXPECT_EQ(PixelCount(onlyA), 75);
    EXPECT_FALSE(onlyA.Contains(7, 7));
    EXPECT_TRUE(onlyA.Contains(7, 2));
    EXPECT_TRUE(onlyA.Contains(2, 7));

    const Region odd = a.Xored(b);
    EXPECT_EQ(PixelCount(odd), 150);
    EXPECT_EQ(odd, onlyA.United(b.Subtracted(a)));

    EXPECT_EQ(a.Combined(b, RGN_AND), both);
    EXPECT_EQ(a.Combined(b, RGN_OR), either);
    EXPECT_EQ(a.Combined(b, RGN_DIFF), onlyA);
    EXPECT_EQ(a.Combined(b, RGN_XOR), odd);
    EXPECT_EQ(a.Combined(b, RGN_COPY), a);
}

TEST(Region, AdjacentRectanglesMergeIntoOne)
{
    const Region left = Region::FromRect(RECT{0, 0, 5, 4});
    const Region right = Region::FromRect(RECT{5, 0, 9, 4});
    const Region below = Region::FromRect(RECT{0, 4, 9, 6});
    const Region all = left.United(right).United(below);
    EXPECT_EQ(all, Region::FromRect(RECT{0, 0, 9, 6}));
    EXPECT_EQ(all.Kind(), SIMPLEREGION);
}

// Random rectangles combined every way, checked pixel by pixel against plain sets, and the same
// set reached by another route compares equal (one representation per set).
TEST(Region, CombinationsMatchPixelSetsAndHaveOneForm)
{
    constexpr int kSize = 24;
    using Pixels = std::array<std::array<bool, kSize>, kSize>;
    std::mt19937 random(20261208);
    const auto randomRect = [&] {
        std::uniform_int_distribution<int> coordinate(0, kSize);
        int l = coordinate(random), r = coordinate(random), t = coordinate(random), b = coordinate(random);
        return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
    };
    const auto pixelsOf = [](const RECT& rect) {
        Pixels p{};
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) p[y][x] = true;
        return p;
    };
    const auto combine = [](const Pixels& a, const Pixels& b, int mode) {
        Pixels out{};
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool u = a[y][x], v = b[y][x];
                out[y][x] = mode == RGN_AND ? u && v : mode == RGN_OR ? u || v : mode == RGN_XOR ? u != v : u && !v;
            }
        return out;
    };
    const auto expectSame = [](const Region& r, const Pixels& p) {
        int expected = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                ASSERT_EQ(r.Contains(x, y), p[y][x]) << x << "," << y;
                expected += p[y][x] ? 1 : 0;
            }
        EXPECT_EQ(PixelCount(r), expected);
        EXPECT_EQ(r.IsEmpty(), expected == 0);
    };
    for (int round = 0; round < 200; ++round) {
        Region region;
        Pixels pixels{};
        for (int step = 0; step < 5; ++step) {
            const RECT rect = randomRect();
            const int mode = std::array{RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}[random() % 4];
            region = region.Combined(Region::FromRect(rect), mode);
            pixels = combine(pixels, pixelsOf(rect), mode);
            expectSame(region, pixels);
        }
        // Rebuilt one pixel row at a time, the set must give an equal region and the same kind.
        Region rows;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (pixels[y][x]) rows = rows.United(Region::FromRect(RECT{x, y, x + 1, y + 1}));
        EXPECT_EQ(rows, region);
        EXPECT_EQ(rows.Kind(), region.Kind());
        if (!region.IsEmpty()) {
            const RECT box = region.Bounds();
            EXPECT_EQ(region.Kind() == SIMPLEREGION, region == Region::FromRect(box));
        }
    }
}

TEST(Region, EmptyOperands)
{
    const Region a = Region::FromRect(RECT{0, 0, 4, 4});
    const Region none;
    EXPECT_TRUE(a.Intersected(none).IsEmpty());
    EXPECT_EQ(a.United(none), a);
    EXPECT_EQ(none.United(a), a);
    EXPECT_EQ(a.Subtracted(none), a);
    EXPECT_TRUE(none.Subtracted(a).IsEmpty());
    EXPECT_EQ(a.Xored(none), a);
    EXPECT_TRUE(a.Subtracted(a).IsEmpty());
    EXPECT_TRUE(a.Xored(a).IsEmpty());
    EXPECT_TRUE(a.Intersected(Region::FromRect(RECT{4, 0, 8, 4})).IsEmpty());  // touching only
}

TEST(Region, OffsetMovesEveryPixel)
{
    Region r = Region::FromRect(RECT{0, 0, 3, 3}).Subtracted(Region::FromRect(RECT{1, 1, 2, 2}));
    r.Offset(10, -5);
    EXPECT_EQ(r.Bounds(), (RECT{10, -5, 13, -2}));
    EXPECT_TRUE(r.Contains(10, -5));
    EXPECT_FALSE(r.Contains(11, -4));  // the hole moved too
    EXPECT_EQ(PixelCount(r), 8);
    EXPECT_EQ(r.Kind(), COMPLEXREGION);
}

// The two triangles of a diagonally split square: a pixel belongs to a triangle when its
// centre lies inside, so together they cover the square exactly once.
TEST(Region, DiagonalHalvesPartitionTheSquare)
{
    for (const auto& [w, h] : {std::pair{20, 20}, std::pair{17, 21}, std::pair{16, 9}, std::pair{1, 1}}) {
        const POINT upperLeft[] = {{0, h}, {w, 0}, {0, 0}};
        const POINT lowerRight[] = {{0, h}, {w, h}, {w, 0}};
        const Region up = Region::FromPolygon(upperLeft, 3);
        const Region down = Region::FromPolygon(lowerRight, 3);
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        EXPECT_TRUE(up.Intersected(down).IsEmpty());
        EXPECT_EQ(up.United(down), Region::FromRect(RECT{0, 0, w, h}));
        if (w > 1 && h > 1) {
            EXPECT_TRUE(up.Contains(0, 0));
            EXPECT_TRUE(down.Contains(w - 1, h - 1));
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Strictly inside the upper-left half: x/w + y/h < 1 at the pixel centre.
                const long side = long(2 * x + 1) * h + long(2 * y + 1) * w - 2L * w * h;
                if (side < 0) {
                    EXPECT_TRUE(up.Contains(x, y)) << x << "," << y;
                }
                if (side > 0) {
                    EXPECT_TRUE(down.Contains(x, y)) << x << "," << y;
                }
            }
    }
}

TEST(Region, PolygonFillModes)
{
    // A pentagram: the centre is inside with WINDING, outside with ALTERNATE.
    const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
    const Region alternate = Region::FromPolygon(star, 5, ALTERNATE);
    const Region winding = Region::FromPolygon(star, 5, WINDING);
    EXPECT_FALSE(alternate.Contains(50, 50));
    EXPECT_TRUE(winding.Contains(50, 50));
    EXPECT_TRUE(alternate.Contains(50, 10));  // a point of the star
    EXPECT_TRUE(winding.Contains(50, 10));
    EXPECT_TRUE(alternate.Subtracted(winding).IsEmpty());

    // The vertex order does not matter.
    const POINT square[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
    const POINT reversed[] = {{2, 6}, {8, 6}, {8, 2}, {2, 2}};
    EXPECT_EQ(Region::FromPolygon(square, 4), Region::FromRect(RECT{2, 2, 8, 6}));
    EXPECT_EQ(Region::FromPolygon(reversed, 4, WINDING), Region::FromRect(RECT{2, 2, 8, 6}));

    EXPECT_TRUE(Region::FromPolygon(square, 2).IsEmpty());
    EXPECT_TRUE(Region::FromPolygon(nullptr, 3).IsEmpty());
    const POINT flat[] = {{0, 3}, {9, 3}, {4, 3}};
    EXPECT_TRUE(Region::FromPolygon(flat, 3).IsEmpty());
}

}  // namespace
}  // namespace desktop
