// The program's icon: one face picture made transparent and scaled to the usual icon sizes,
// written as icon resources (a group directory and one 32-bit image per size) and as PNG files.
#pragma once

#include <cstdint>
#include <vector>

#include "Faces.h"

namespace dicefaces {

// Straight (not premultiplied) alpha, 0xAARRGGBB, rows top to bottom.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture with its background, the bottom-left pixel's colour, made transparent.
RgbaImage TransparentImage(const PaletteImage& image);

// The image scaled to side x side: every target pixel averages the source area it covers,
// weighted by alpha so that transparent pixels lend no colour to the edges.
RgbaImage ScaleToSquare(const RgbaImage& image, int side);

// An icon image resource: BITMAPINFOHEADER with twice the height, 32-bit BGRA rows
// bottom-up, then the 1-bit AND mask (set where fully transparent) for readers without alpha.
std::vector<std::uint8_t> IconImageResource(const RgbaImage& image);

// The group icon resource listing the images, whose image resources are numbered from firstId.
std::vector<std::uint8_t> GroupIconResource(const std::vector<RgbaImage>& images, int firstId);

// A PNG file: 8-bit RGBA, no interlace, unfiltered rows, written by libpng.
std::vector<std::uint8_t> PngFile(const RgbaImage& image);

}  // namespace dicefaces
