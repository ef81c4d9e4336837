// The program's icon as the build draws it: the PNG files for the desktop's icon theme, read
// back with a decoder of their own, against the face picture they come from, and the icon
// resource MAINICON against the PNG files.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "desktop/Resources.h"
#include "resources/AppResources.h"
#include "resources/DiceResources.h"

namespace {

constexpr int kPngSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
    std::uint32_t At(int x, int y) const { return pixels.at(std::size_t(y * width + x)); }
};

std::uint32_t ReadBE(const std::vector<std::uint8_t>& d, std::size_t at)
{
    return std::uint32_t(d.at(at)) << 24 | std::uint32_t(d.at(at + 1)) << 16 | std::uint32_t(d.at(at + 2)) << 8 |
           d.at(at + 3);
}

std::uint32_t ReadLE(const std::uint8_t* d, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d[i];
    return v;
}

// An 8-bit RGBA PNG without interlace whose rows are all unfiltered, as the tool writes them;
// a test failure for anything else, including a bad chunk checksum.
std::optional<Image> ReadPng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> d{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (d.size() < 8 || !std::equal(signature.begin(), signature.end(), d.begin())) {
        ADD_FAILURE() << path << ": no PNG signature";
        return std::nullopt;
    }
    Image image;
    std::vector<std::uint8_t> packed;
    bool ended = false;
    for (std::size_t at = 8; at < d.size() && !ended;) {
        const std::uint32_t length = ReadBE(d, at);
        const std::string type(d.begin() + std::ptrdiff_t(at + 4), d.begin() + std::ptrdiff_t(at + 8));
        if (at + 12 + length > d.size()) {
            ADD_FAILURE() << path << ": chunk " << type << " runs past the end";
            return std::nullopt;
        }
        const std::uint8_t* data = &d[at + 8];
        if (crc32(0, &d[at + 4], uInt(length + 4)) != ReadBE(d, at + 8 + length)) {
            ADD_FAILURE() << path << ": bad checksum of " << type;
            return std::nullopt;
        }
        if (type == "IHDR") {
            image.width = int(ReadBE(d, at + 8));
            image.height = int(ReadBE(d, at + 12));
            const std::vector<std::uint8_t> rest(data + 8, data + 13);
            EXPECT_EQ(rest, (std::vector<std::uint8_t>{8, 6, 0, 0, 0})) << path << ": 8-bit RGBA, no interlace";
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    EXPECT_TRUE(ended) << path << ": no IEND";
    const std::size_t stride = std::size_t(image.width) * 4 + 1;
    std::vector<std::uint8_t> raw(stride * std::size_t(image.height));
    uLongf rawSize = uLongf(raw.size());
    if (image.width <= 0 || uncompress(raw.data(), &rawSize, packed.data(), uLong(packed.size())) != Z_OK ||
        rawSize != raw.size()) {
        ADD_FAILURE() << path << ": the pixel data does not inflate to " << image.width << " x " << image.height;
        return std::nullopt;
    }
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = &raw[std::size_t(y) * stride];
        EXPECT_EQ(row[0], 0) << path << ": row " << y << " is filtered";
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = row + 1 + 4 * x;
            image.pixels.push_back(std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 |
                                   p[2]);
        }
    }
    return image;
}

std::string PngPath(int size) { return std::string(DICE_ICON_DIR) + "/" + std::to_string(size) + ".png"; }

// The face picture DICE5 (a 4-bit packed DIB) with its background, the bottom-left colour,
// transparent.
Image FacePicture()
{
    resources::RegisterDiceResources();
    const auto found = desktop::FindResource(desktop::RT_BITMAP, "DICE5");
    EXPECT_TRUE(found.has_value());
    if (!found) return {};
    const std::uint8_t* d = found->data();
    const int width = int(ReadLE(d + 4, 4));
    const int height = int(ReadLE(d + 8, 4));
    const std::uint32_t colours = ReadLE(d + 32, 4);
    const std::uint8_t* bits = d + 40 + 4 * colours;
    const std::size_t stride = std::size_t((width * 4 + 31) / 32 * 4);
    auto index = [&](int x, int y) {
        const std::uint8_t byte = bits[std::size_t(height - 1 - y) * stride + std::size_t(x / 2)];
        return x % 2 == 0 ? byte >> 4 : byte & 15;
    };
    Image image{width, height, {}};
    const int background = index(0, height - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = index(x, y);
            image.pixels.push_back(i == background ? 0 : 0xFF000000u | (ReadLE(d + 40 + 4 * i, 4) & 0xFFFFFF));
        }
    }
    return image;
}

std::uint32_t Channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

TEST(ProgramIcon, ThePngFilesHaveTheirSizesAndShowTheDieWithATransparentBackground)
{
    for (const int size : kPngSizes) {
        const auto png = ReadPng(PngPath(size));
        ASSERT_TRUE(png.has_value()) << size;
        EXPECT_EQ(png->width, size);
        EXPECT_EQ(png->height, size);
        EXPECT_EQ(png->At(0, 0), 0u) << size << ": the corners are background";
        EXPECT_EQ(png->At(size - 1, size - 1), 0u) << size;
        EXPECT_EQ(Channel(png->At(size / 2, size / 2), 24), 255u) << size << ": the die is opaque";
        for (std::uint32_t p : png->pixels) {
            if (Channel(p, 24) == 0) {
                EXPECT_EQ(p, 0u) << size << ": transparent pixels carry no colour";
            }
        }
    }
}

TEST(ProgramIcon, TheNaturalSizeIsTheFacePictureAndTheOthersAreItsAreaMeansOrBlocks)
{
    const Image face = FacePicture();
    ASSERT_EQ(face.width, 64);
    const auto png64 = ReadPng(PngPath(64));
    ASSERT_TRUE(png64.has_value());
    EXPECT_EQ(png64->pixels, face.pixels);

    for (const int size : {128, 256}) {
        const auto big = ReadPng(PngPath(size));
        ASSERT_TRUE(big.has_value());
        const int k = size / 64;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(big->At(x, y), face.At(x / k, y / k)) << size << " at " << x << "," << y;
        }
    }

    // Halved: each pixel's coverage is the mean of its four; where all four are opaque, so is
    // the colour, and where some are, only those lend colour.
    const auto png32 = ReadPng(PngPath(32));
    ASSERT_TRUE(png32.has_value());
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int opaque = 0;
            int sums[3] = {0, 0, 0};
            for (int v = 2 * y; v < 2 * y + 2; ++v) {
                for (int u = 2 * x; u < 2 * x + 2; ++u) {
                    const std::uint32_t p = face.At(u, v);
                    if (Channel(p, 24) == 0) continue;
                    ++opaque;
                    for (int c = 0; c < 3; ++c) sums[c] += int(Channel(p, 16 - 8 * c));
                }
            }
            const std::uint32_t got = png32->At(x, y);
            EXPECT_NEAR(double(Channel(got, 24)), 255.0 * opaque / 4, 0.5) << "at " << x << "," << y;
            if (opaque == 0) continue;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(double(Channel(got, 16 - 8 * c)), double(sums[c]) / opaque, 0.5) << "at " << x << "," << y;
            }
        }
    }
}

TEST(ProgramIcon, MainIconHoldsTheSameImagesAsThePngFiles)
{
    resources::RegisterAppResources();
    for (const int size : {16, 32, 48, 64}) {
        const auto image = desktop::LoadIconImage("MAINICON", size);
        ASSERT_TRUE(image.has_value()) << size;
        const auto png = ReadPng(PngPath(size));
        ASSERT_TRUE(png.has_value());
        EXPECT_EQ(image->width, size);
        EXPECT_EQ(image->height, size);
        EXPECT_EQ(image->pixels, png->pixels) << size;
    }
    EXPECT_EQ(desktop::LoadIconImage("MAINICON", 24)->width, 32) << "no 24-pixel image: the next wider";
}

}  // namespace
