// The face pictures: a description of the cube, its pips and the pip centres of each picture,
// drawn into palette images and written as packed DIBs.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace dicefaces {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct PaletteImage {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> pixels;  // colour indices, rows top to bottom
};

// Draws every picture of the description; a SourceError when it is malformed or a pip
// does not lie wholly inside its face.
std::vector<PaletteImage> DrawFaces(std::istream& description);

// A packed DIB as bitmap resources hold it: BITMAPINFOHEADER, colour table, bottom-up rows,
// 4 bits per pixel (the palette has at most 16 colours).
std::vector<std::uint8_t> PackedDib4(const PaletteImage& image);

}  // namespace dicefaces
