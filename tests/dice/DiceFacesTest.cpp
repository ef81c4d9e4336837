// The face pictures and cursors as the program embeds them, read back through the resource
// table: format, palette, the drawing of the cube and its pips, and the cursors' hot spots.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/Cursors.h"
#include "desktop/Resources.h"
#include "resources/DiceResources.h"

namespace {

constexpr int kSide = 64;

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kSilver{0xC0, 0xC0, 0xC0};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr Rgb kFuchsia{0xFF, 0x00, 0xFF};

const std::array<Rgb, 16> kStandardPalette = {{{0, 0, 0},
                                               {0x80, 0, 0},
                                               {0, 0x80, 0},
                                               {0x80, 0x80, 0},
                                               {0, 0, 0x80},
                                               {0x80, 0, 0x80},
                                               {0, 0x80, 0x80},
                                               {0xC0, 0xC0, 0xC0},
                                               {0x80, 0x80, 0x80},
                                               {0xFF, 0, 0},
                                               {0, 0xFF, 0},
                                               {0xFF, 0xFF, 0},
                                               {0, 0, 0xFF},
                                               {0xFF, 0, 0xFF},
                                               {0, 0xFF, 0xFF},
                                               {0xFF, 0xFF, 0xFF}}};

struct Point {
    double x, y;
};

using Polygon = std::vector<Point>;

const Polygon kTopFace = {{31.5, 1}, {0, 15.5}, {31.5, 30}, {63, 15.5}};
const Polygon kLeftFace = {{0, 15.5}, {31.5, 30}, {31.5, 62}, {0, 47.5}};
const Polygon kRightFace = {{31.5, 30}, {63, 15.5}, {63, 47.5}, {31.5, 62}};

struct FacePips {
    std::vector<Point> top, left, right;
};

// The pip centres of each picture, by value.
const std::array<FacePips, 6> kPips = {{
    {{{31.5, 15.5}}, {{8, 43.5}, {16, 38.5}, {24, 33.5}}, {{39, 33.5}, {39, 51.5}, {47, 38.5}, {55, 25.5}, {55, 43.5}}},
    {{{31.5, 7.5}, {31.5, 23.5}}, {{16, 38.5}}, {{39, 33.5}, {39, 51.5}, {55, 25.5}, {55, 43.5}}},
    {{{31.5, 7.5}, {31.5, 15.5}, {31.5, 23.5}},
     {{8, 43.5}, {24, 33.5}},
     {{39, 33.5}, {39, 42.5}, {39, 51.5}, {55, 25.5}, {55, 34.5}, {55, 43.5}}},
    {{{15.5, 15.5}, {31.5, 7.5}, {31.5, 23.5}, {47.5, 15.5}},
     {{8, 25.5}, {8, 34.5}, {8, 43.5}, {24, 33.5}, {24, 42.5}, {24, 51.5}},
     {{39, 51.5}, {55, 25.5}}},
    {{{15.5, 15.5}, {31.5, 7.5}, {31.5, 23.5}, {47.5, 15.5}, {31.5, 15.5}},
     {{8, 25.5}, {8, 43.5}, {24, 33.5}, {24, 51.5}},
     {{47, 38.5}}},
    {{{15.5, 15.5}, {23.5, 19.5}, {31.5, 23.5}, {31.5, 7.5}, {39.5, 11.5}, {47.5, 15.5}},
     {{8, 25.5}, {8, 43.5}, {16, 38.5}, {24, 33.5}, {24, 51.5}},
     {{39, 51.5}, {47, 38.5}, {55, 25.5}}},
}};

std::uint32_t ReadLE(const std::vector<std::uint8_t>& d, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d.at(at + std::size_t(i));
    return v;
}

// A face picture decoded by hand from its packed DIB, so that the check does not lean on the
// bitmap code it is meant to feed.
struct Face {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;  // rows top to bottom

    Rgb At(int x, int y) const { return palette.at(indices.at(std::size_t(y * kSide + x))); }
    bool Black(int x, int y) const { return At(x, y) == kBlack; }
};

std::optional<Face> LoadFace(int value)
{
    resources::RegisterDiceResources();
    const auto found = desktop::FindResource(desktop::RT_BITMAP, "DICE" + std::to_string(value));
    if (!found) return std::nullopt;
    const std::vector<std::uint8_t> d(found->begin(), found->end());
    Face f;
    f.headerSize = ReadLE(d, 0, 4);
    f.width = std::int32_t(ReadLE(d, 4, 4));
    f.height = std::int32_t(ReadLE(d, 8, 4));
    f.planes = ReadLE(d, 12, 2);
    f.bitCount = ReadLE(d, 14, 2);
    f.compression = ReadLE(d, 16, 4);
    const std::uint32_t used = ReadLE(d, 32, 4);
    const std::size_t colours = used == 0 ? 16 : used;
    for (std::size_t i = 0; i < colours; ++i) {
        const std::size_t at = f.headerSize + 4 * i;
        f.palette.push_back({d.at(at + 2), d.at(at + 1), d.at(at)});
    }
    if (f.width != kSide || f.height != kSide || f.bitCount != 4) return f;
    const std::size_t bits = f.headerSize + 4 * colours;
    EXPECT_EQ(d.size(), bits + 32 * kSide) << "a 64-pixel row of 4-bit pixels takes 32 bytes";
    f.indices.resize(kSide * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::uint8_t byte = d.at(bits + std::size_t(kSide - 1 - y) * 32 + std::size_t(x / 2));
            f.indices[std::size_t(y * kSide + x)] = x % 2 == 0 ? byte >> 4 : byte & 15;
        }
    }
    return f;
}

// Whether a pixel centre lies at least `margin` pixels inside a convex polygon.
bool InsideBy(const Polygon& poly, double x, double y, double margin)
{
    Point centre{0, 0};
    for (const Point& p : poly) {
        centre.x += p.x / double(poly.size());
        centre.y += p.y / double(poly.size());
    }
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point& a = poly[i];
        const Point& b = poly[(i + 1) % poly.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        auto side = [&](double px, double py) {
            return ((b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x)) / length;
        };
        const double inward = side(centre.x, centre.y) > 0 ? 1 : -1;
        if (side(x, y) * inward < margin) return false;
    }
    return true;
}

struct Blob {
    std::vector<std::pair<int, int>> members;
    int pixels = 0;
    int left = kSide, top = kSide, right = -1, bottom = -1;
    double leftColumnY = 0, rightColumnY = 0;  // mean row of the outermost columns
};

// The 4-connected black area around (x, y), optionally restricted to a region.
Blob FloodBlack(const Face& f, int x0, int y0, std::vector<bool>& seen, const Polygon* region = nullptr,
                double margin = 0)
{
    Blob blob;
    std::vector<std::pair<int, int>> stack{{x0, y0}}, members;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (x < 0 || y < 0 || x >= kSide || y >= kSide || seen[std::size_t(y * kSide + x)] || !f.Black(x, y)) continue;
        if (region && !InsideBy(*region, x, y, margin)) continue;
        seen[std::size_t(y * kSide + x)] = true;
        members.push_back({x, y});
        stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    for (auto [x, y] : members) {
        ++blob.pixels;
        blob.left = std::min(blob.left, x);
        blob.right = std::max(blob.right, x);
        blob.top = std::min(blob.top, y);
        blob.bottom = std::max(blob.bottom, y);
    }
    int nl = 0, nr = 0;
    for (auto [x, y] : members) {
        if (x == blob.left) blob.leftColumnY += y, ++nl;
        if (x == blob.right) blob.rightColumnY += y, ++nr;
    }
    if (nl) blob.leftColumnY /= nl;
    if (nr) blob.rightColumnY /= nr;
    blob.members = std::move(members);
    return blob;
}

class DiceFaces : public ::testing::TestWithParam<int> {};

TEST_P(DiceFaces, IsA64By64FourBitPictureWithTheStandardPalette)
{
    const auto face = LoadFace(GetParam());
    ASSERT_TRUE(face.has_value()) << "bitmap resource missing";
    EXPECT_EQ(face->headerSize, 40u);
    EXPECT_EQ(face->width, 64);
    EXPECT_EQ(face->height, 64);
    EXPECT_EQ(face->planes, 1u);
    EXPECT_EQ(face->bitCount, 4u);
    EXPECT_EQ(face->compression, 0u);
    ASSERT_EQ(face->palette.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_TRUE(face->palette[i] == kStandardPalette[i]) << "palette entry " << i;
    }
}

TEST_P(DiceFaces, UsesOnlyFourColoursWithAFuchsiaBackground)
{
    const auto face = LoadFace(GetParam());
    ASSERT_TRUE(face && !face->indices.empty());
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb c = face->At(x, y);
            ASSERT_TRUE(c == kBlack || c == kSilver || c == kWhite || c == kFuchsia) << x << "," << y;
        }
    }
    // The bottom-left pixel is what drawing takes as the transparent colour.
    EXPECT_TRUE(face->At(0, 63) == kFuchsia);
    EXPECT_TRUE(face->At(0, 0) == kFuchsia);
    EXPECT_TRUE(face->At(63, 0) == kFuchsia);
    EXPECT_TRUE(face->At(63, 63) == kFuchsia);
    // The silhouette's corners are outlined, the image reaches the left and right edges.
    EXPECT_TRUE(face->Black(0, 30));
    EXPECT_TRUE(face->Black(63, 30));
    EXPECT_TRUE(face->Black(31, 1));
    EXPECT_TRUE(face->Black(32, 62));
    EXPECT_TRUE(face->At(31, 0) == kFuchsia);
    EXPECT_TRUE(face->At(32, 63) == kFuchsia);
}

TEST_P(DiceFaces, OutlineIsAboutTwoPixelsThick)
{
    const auto face = LoadFace(GetParam());
    ASSERT_TRUE(face && !face->indices.empty());
    auto blackRun = [&](int x, int y, int dx, int dy) {
        int n = 0;
        while (x >= 0 && y >= 0 && x < kSide && y < kSide && face->Black(x, y)) ++n, x += dx, y += dy;
        return n;
    };
    EXPECT_EQ(blackRun(0, 30, 1, 0), 2) << "left silhouette edge";
    EXPECT_EQ(blackRun(63, 30, -1, 0), 2) << "right silhouette edge";
    EXPECT_EQ(blackRun(31, 45, 1, 0), 2) << "vertical edge between the side faces";
    EXPECT_FALSE(face->Black(30, 45));
    // Sloped edges, column by column: the top silhouette and the edge between top and left.
    int firstBlack = 0;
    while (!face->Black(10, firstBlack)) ++firstBlack;
    EXPECT_EQ(blackRun(10, firstBlack, 0, 1), 2);
    int y = 22;
    while (y < 30 && !face->Black(20, y)) ++y;
    EXPECT_TRUE(y >= 23 && y <= 25) << y;
    EXPECT_EQ(blackRun(20, y, 0, 1), 2);
}

struct FaceRegion {
    const char* name;
    const Polygon* polygon;
    Rgb colour;
    const std::vector<Point>* pips;
    int width, height;  // of one pip
};

TEST_P(DiceFaces, EachFaceShowsItsPips)
{
    const int value = GetParam();
    const auto face = LoadFace(value);
    ASSERT_TRUE(face && !face->indices.empty());
    const FacePips& pips = kPips[std::size_t(value - 1)];
    ASSERT_EQ(int(pips.top.size()), value);
    const FaceRegion regions[] = {{"top", &kTopFace, kWhite, &pips.top, 10, 6},
                                  {"left", &kLeftFace, kSilver, &pips.left, 7, 8},
                                  {"right", &kRightFace, kWhite, &pips.right, 7, 8}};
    for (const FaceRegion& region : regions) {
        SCOPED_TRACE(region.name);
        // Away from the outline a face holds only its own colour and its pips.
        constexpr double kMargin = 3;
        int faceColoured = 0;
        std::vector<bool> seen(kSide * kSide, false);
        int blobs = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                if (!InsideBy(*region.polygon, x, y, kMargin)) continue;
                const Rgb c = face->At(x, y);
                ASSERT_TRUE(c == kBlack || c == region.colour) << x << "," << y;
                faceColoured += c == region.colour;
                if (c == kBlack && !seen[std::size_t(y * kSide + x)]) {
                    FloodBlack(*face, x, y, seen, region.polygon, kMargin);
                    ++blobs;
                }
            }
        }
        EXPECT_GT(faceColoured, 200);
        EXPECT_EQ(blobs, int(region.pips->size()));

        for (const Point& p : *region.pips) {
            SCOPED_TRACE(::testing::Message() << "pip at " << p.x << "," << p.y);
            const int x0 = int(std::floor(p.x)), x1 = int(std::ceil(p.x));
            const int y0 = int(std::floor(p.y)), y1 = int(std::ceil(p.y));
            EXPECT_TRUE(face->Black(x0, y0) && face->Black(x1, y0) && face->Black(x0, y1) && face->Black(x1, y1));
            std::vector<bool> own(kSide * kSide, false);
            const Blob blob = FloodBlack(*face, x0, y0, own);
            // A pip of the expected size, centred on its centre: it touches neither the outline
            // nor another pip along a side.
            EXPECT_EQ(blob.right - blob.left + 1, region.width);
            EXPECT_EQ(blob.bottom - blob.top + 1, region.height);
            EXPECT_DOUBLE_EQ((blob.left + blob.right) / 2.0, p.x);
            EXPECT_DOUBLE_EQ((blob.top + blob.bottom) / 2.0, p.y);
            // Side pips lean with the face: the left face falls to the right, the right face rises.
            if (region.polygon == &kLeftFace) {
                EXPECT_LT(blob.leftColumnY, blob.rightColumnY);
            } else if (region.polygon == &kRightFace) {
                EXPECT_GT(blob.leftColumnY, blob.rightColumnY);
            }
        }
    }
}

TEST_P(DiceFaces, TopPipHasTheEllipseRows)
{
    const auto face = LoadFace(GetParam());
    ASSERT_TRUE(face && !face->indices.empty());
    // Every top pip: rows of 4, 8, 10, 10, 8 and 4 pixels, each row centred.
    for (const Point& p : kPips[std::size_t(GetParam() - 1)].top) {
        std::vector<bool> seen(kSide * kSide, false);
        const Blob blob = FloodBlack(*face, int(p.x), int(p.y), seen);
        ASSERT_EQ(blob.bottom - blob.top + 1, 6);
        const int expected[] = {4, 8, 10, 10, 8, 4};
        for (int row = 0; row < 6; ++row) {
            int n = 0;
            double sum = 0;
            for (auto [x, y] : blob.members) {
                if (y == blob.top + row) ++n, sum += x;
            }
            EXPECT_EQ(n, expected[row]) << p.x << "," << p.y << " row " << row;
            EXPECT_DOUBLE_EQ(sum / n, p.x) << p.x << "," << p.y << " row " << row;
        }
    }
}

TEST(DiceFaceSet, VisibleFacesAreAdjacentFacesOfOneDie)
{
    for (int value = 1; value <= 6; ++value) {
        const FacePips& pips = kPips[std::size_t(value - 1)];
        const int shown[] = {value, int(pips.left.size()), int(pips.right.size())};
        for (int i = 0; i < 3; ++i) {
            for (int j = i + 1; j < 3; ++j) {
                EXPECT_NE(shown[i], shown[j]) << "DICE" << value;
                EXPECT_NE(shown[i] + shown[j], 7) << "DICE" << value << ": opposite faces side by side";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllValues, DiceFaces, ::testing::Range(1, 7));

struct CursorCase {
    const char* name;
    desktop::POINT hotSpot;
};

TEST(DiceCursors, LoadWithTheirHotSpots)
{
    resources::RegisterDiceResources();
    const CursorCase cases[] = {{"VO_HANDCUR", {6, 16}}, {"VO_DRAGCUR", {15, 16}}};
    int handles[2] = {};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(cases[i].name);
        handles[i] = desktop::LoadCursorFromResource(cases[i].name);
        ASSERT_NE(handles[i], 0);
        EXPECT_EQ(desktop::LoadCursorFromResource(cases[i].name), handles[i]);
        EXPECT_EQ(
            desktop::LoadCursorFromResource(std::string(cases[i].name) == "VO_HANDCUR" ? "vo_handcur" : "vo_dragcur"),
            handles[i]);
        desktop::POINT hot;
        ASSERT_TRUE(desktop::GetCursorHotSpot(handles[i], &hot));
        EXPECT_EQ(hot, cases[i].hotSpot);
        const desktop::CursorImage* image = desktop::GetCursorImage(handles[i]);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 32);
        EXPECT_EQ(image->height, 32);
        // The hot spot is on the drawn hand, not on a transparent pixel.
        EXPECT_EQ(image->andMask[std::size_t(hot.y * 32 + hot.x)], 0);
        int opaque = 0;
        for (std::uint8_t bit : image->andMask) opaque += bit == 0;
        EXPECT_GT(opaque, 150);
        EXPECT_LT(opaque, 32 * 32 / 2);
    }
    EXPECT_NE(handles[0], handles[1]);
    for (int idc : {32512, 32513, 32514, 32515, 32516, 32646, 32648, 32649}) {
        EXPECT_NE(handles[0], idc);
        EXPECT_NE(handles[1], idc);
        desktop::POINT hot;
        EXPECT_FALSE(desktop::GetCursorHotSpot(idc, &hot));
    }
    EXPECT_EQ(desktop::LoadCursorFromResource("NO_SUCH_CURSOR"), 0);
}

TEST(DiceCursors, MalformedResourcesAreRejected)
{
    resources::RegisterDiceResources();
    const auto found = desktop::FindResource(desktop::RT_CURSOR, "VO_HANDCUR");
    ASSERT_TRUE(found.has_value());
    const std::vector<std::uint8_t> good(found->begin(), found->end());
    ASSERT_TRUE(desktop::ParseCursorResource(good).has_value());
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(desktop::ParseCursorResource(cut).has_value()) << n << " bytes";
    }
    auto patched = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bad = good;
        bad[at] = value;
        return desktop::ParseCursorResource(bad).has_value();
    };
    EXPECT_FALSE(patched(4, 0xFF)) << "header size beyond the data";
    EXPECT_FALSE(patched(4 + 8, 63)) << "odd double height";
    EXPECT_FALSE(patched(4 + 14, 8)) << "not monochrome";
    EXPECT_FALSE(patched(0, 40)) << "hot spot outside the cursor";
    EXPECT_FALSE(patched(4 + 7, 0x80)) << "negative width";
}

}  // namespace
