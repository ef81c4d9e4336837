#pragma once

// The command line of dados-driver: the locale separators, the generator seed and the size of
// the virtual screen, all optional.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app::driver {

struct Options {
    std::optional<char> decimalSeparator;
    std::optional<char> thousandSeparator;
    std::optional<std::uint32_t> seed;
    // Large enough for the whole window, which the layout places at (631, 120) with 552 x 503.
    int screenWidth = 1280;
    int screenHeight = 1024;
};

// Returns nullopt and fills error when an option is unknown, lacks its value or has a bad one.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string* error);

// The options as the usage message lists them.
const char* UsageText();

// A decimal integer filling the whole string (a leading "-" allowed, no blanks).
std::optional<long long> ParseInteger(const std::string& text);

}  // namespace app::driver
