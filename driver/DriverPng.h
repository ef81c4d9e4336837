#pragma once

// Screenshots as PNG files: 8-bit RGB, written by libpng.

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// pixels: width * height values 0x00RRGGBB, row by row from the top. False when the file
// cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);

}  // namespace driver
