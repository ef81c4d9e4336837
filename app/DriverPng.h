#pragma once

// A PNG writer for screenshots: 8-bit RGB, no filtering, the image data in stored (uncompressed)
// deflate blocks. Such files are larger than compressed ones but need no compression library.

#include <cstdint>
#include <string>
#include <vector>

namespace app::driver {

// pixels: width * height values 0x00RRGGBB, row by row from the top.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint32_t>& pixels);

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace app::driver
