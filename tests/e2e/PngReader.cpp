#include "tests/e2e/PngReader.h"

#include <png.h>

#include <fstream>
#include <iterator>

namespace e2e {

std::optional<Image> DecodePng(const std::vector<std::uint8_t>& file)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, file.data(), file.size()) == 0) {
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGB;
    if (png.width == 0 || png.height == 0 || png.width > 16384 || png.height > 16384) {
        png_image_free(&png);
        return std::nullopt;
    }
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) {
        return std::nullopt;
    }
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.reserve(rgb.size() / 3);
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        image.pixels.push_back((std::uint32_t(rgb[i]) << 16) | (std::uint32_t(rgb[i + 1]) << 8) | rgb[i + 2]);
    }
    return image;
}

std::optional<Image> ReadPng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodePng(file);
}

}  // namespace e2e
