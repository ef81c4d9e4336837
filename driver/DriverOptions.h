#pragma once

// The command line of dados-driver: the locale separators, the generator seed, the size and
// scale of the virtual screen, all optional; or a request for the help or the version.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace driver {

struct Options {
    enum class Request { Run, Help, Version };
    Request request = Request::Run;
    std::optional<char> decimalSeparator;
    std::optional<char> thousandSeparator;
    std::optional<std::uint32_t> seed;
    // Large enough for the whole window, which the layout places at (631, 120) with 552 x 503.
    int screenWidth = 1280;
    int screenHeight = 1024;
    // 96 is scale 1, at which the layout loads as stored.
    int pixelsPerInch = 96;
};

// Returns nullopt and fills error when an option is unknown, lacks its value or has a bad one.
// The first --help or --version ends the parse: what follows it is not looked at.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string* error);

// The usage line and the options, for a bad command line.
std::string UsageText();
// --help: the usage, the options and the commands.
std::string HelpText();

// A decimal integer filling the whole string (a leading "-" allowed, no blanks).
std::optional<long long> ParseInteger(const std::string& text);

}  // namespace driver
