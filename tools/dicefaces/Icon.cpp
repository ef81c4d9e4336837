#include "Icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <stdexcept>
#include <string>

namespace dicefaces {

namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

std::uint32_t Argb(const Rgb& c, std::uint8_t alpha)
{
    return std::uint32_t(alpha) << 24 | std::uint32_t(c.red) << 16 | std::uint32_t(c.green) << 8 | c.blue;
}

std::uint8_t Channel(std::uint32_t pixel, int shift) { return std::uint8_t(pixel >> shift); }

// How much of the source cell [cell, cell + 1) the span [from, to) covers.
double Overlap(int cell, double from, double to)
{
    return std::max(0.0, std::min(to, cell + 1.0) - std::max(from, double(cell)));
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// Fills out with the PNG of rows; false when libpng failed. No C++ object is made or
// destroyed between setjmp and a jump back to it.
bool EncodePng(const RgbaImage& image, const std::vector<png_bytep>& rows, std::vector<std::uint8_t>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Unfiltered rows at the best compression: the files are made once, at build time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

RgbaImage TransparentImage(const PaletteImage& image)
{
    RgbaImage out{image.width, image.height, {}};
    if (image.width <= 0 || image.height <= 0) return out;
    const std::uint8_t background = image.pixels[std::size_t(image.height - 1) * std::size_t(image.width)];
    out.pixels.reserve(image.pixels.size());
    for (const std::uint8_t index : image.pixels) {
        out.pixels.push_back(index == background ? 0 : Argb(image.palette.at(index), 0xFF));
    }
    return out;
}

RgbaImage ScaleToSquare(const RgbaImage& image, int side)
{
    RgbaImage out{side, side, std::vector<std::uint32_t>(std::size_t(side) * std::size_t(side), 0)};
    const double sx = double(image.width) / side;
    const double sy = double(image.height) / side;
    for (int y = 0; y < side; ++y) {
        const double top = y * sy;
        const double bottom = top + sy;
        for (int x = 0; x < side; ++x) {
            const double left = x * sx;
            const double right = left + sx;
            double alpha = 0;
            double red = 0;
            double green = 0;
            double blue = 0;
            for (int v = int(top); v < std::min(image.height, int(std::ceil(bottom))); ++v) {
                const double wy = Overlap(v, top, bottom);
                for (int u = int(left); u < std::min(image.width, int(std::ceil(right))); ++u) {
                    const std::uint32_t p = image.pixels[std::size_t(v) * std::size_t(image.width) + std::size_t(u)];
                    const double a = wy * Overlap(u, left, right) * Channel(p, 24) / 255.0;
                    alpha += a;
                    red += a * Channel(p, 16);
                    green += a * Channel(p, 8);
                    blue += a * Channel(p, 0);
                }
            }
            if (alpha <= 0) continue;
            const auto level = [](double v) { return std::uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
            out.pixels[std::size_t(y) * std::size_t(side) + std::size_t(x)] =
                std::uint32_t(level(alpha / (sx * sy) * 255)) << 24 | std::uint32_t(level(red / alpha)) << 16 |
                std::uint32_t(level(green / alpha)) << 8 | level(blue / alpha);
        }
    }
    return out;
}

std::vector<std::uint8_t> IconImageResource(const RgbaImage& image)
{
    const std::uint32_t maskStride = ((std::uint32_t(image.width) + 31) / 32) * 4;
    const std::uint32_t imageSize = (std::uint32_t(image.width) * 4 + maskStride) * std::uint32_t(image.height);
    std::vector<std::uint8_t> out;
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, std::uint32_t(image.width), 4);
    PutLittleEndian(out, std::uint32_t(image.height) * 2, 4);  // the colour image and the mask
    PutLittleEndian(out, 1, 2);                                // biPlanes
    PutLittleEndian(out, 32, 2);                               // biBitCount
    PutLittleEndian(out, 0, 4);                                // BI_RGB
    PutLittleEndian(out, imageSize, 4);
    for (int i = 0; i < 4; ++i) PutLittleEndian(out, 0, 4);  // resolution and colour counts
    for (int row = image.height - 1; row >= 0; --row) {
        for (int x = 0; x < image.width; ++x) {
            PutLittleEndian(out, image.pixels[std::size_t(row) * std::size_t(image.width) + std::size_t(x)], 4);
        }
    }
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(maskStride, 0);
        for (int x = 0; x < image.width; ++x) {
            if (Channel(image.pixels[std::size_t(row) * std::size_t(image.width) + std::size_t(x)], 24) == 0) {
                bits[std::size_t(x) / 8] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

std::vector<std::uint8_t> GroupIconResource(const std::vector<RgbaImage>& images, int firstId)
{
    std::vector<std::uint8_t> out;
    PutLittleEndian(out, 0, 2);  // reserved
    PutLittleEndian(out, 1, 2);  // icons, not cursors
    PutLittleEndian(out, std::uint32_t(images.size()), 2);
    int id = firstId;
    for (const RgbaImage& image : images) {
        out.push_back(std::uint8_t(image.width >= 256 ? 0 : image.width));  // 0 stands for 256
        out.push_back(std::uint8_t(image.height >= 256 ? 0 : image.height));
        out.push_back(0);             // no palette
        out.push_back(0);             // reserved
        PutLittleEndian(out, 1, 2);   // planes
        PutLittleEndian(out, 32, 2);  // bits per pixel
        PutLittleEndian(out, std::uint32_t(IconImageResource(image).size()), 4);
        PutLittleEndian(out, std::uint32_t(id++), 2);
    }
    return out;
}

std::vector<std::uint8_t> PngFile(const RgbaImage& image)
{
    const std::size_t stride = std::size_t(image.width) * 4;
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(image.height) * stride);
    for (const std::uint32_t p : image.pixels) {
        raw.insert(raw.end(), {Channel(p, 16), Channel(p, 8), Channel(p, 0), Channel(p, 24)});
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < image.height; ++y) rows.push_back(raw.data() + std::size_t(y) * stride);
    std::vector<std::uint8_t> out;
    if (!EncodePng(image, rows, out)) {
        throw std::runtime_error("libpng could not write the image");
    }
    return out;
}

}  // namespace dicefaces
