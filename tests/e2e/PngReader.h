#pragma once

// Reads the PNG files dados-driver writes, through libpng, as 8-bit RGB. A damaged file reads as
// nullopt.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

std::optional<Image> DecodePng(const std::vector<std::uint8_t>& file);
std::optional<Image> ReadPng(const std::string& path);

}  // namespace e2e
