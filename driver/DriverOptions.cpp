#include "driver/DriverOptions.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "driver/DriverCommand.h"

namespace driver {

std::optional<long long> ParseInteger(const std::string& text)
{
    long long value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

namespace {

// A separator is one character; the locale's separators are single bytes.
std::optional<char> ParseSeparator(const std::string& text)
{
    if (text.size() != 1) {
        return std::nullopt;
    }
    return text[0];
}

bool ParseScreen(const std::string& text, Options& options)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const std::optional<long long> width = ParseInteger(text.substr(0, x));
    const std::optional<long long> height = ParseInteger(text.substr(x + 1));
    // The screen is a pixel buffer held in memory: keep it to sizes a display could have.
    constexpr long long largest = 16384;
    if (!width || !height || *width < 1 || *height < 1 || *width > largest || *height > largest) {
        return false;
    }
    options.screenWidth = static_cast<int>(*width);
    options.screenHeight = static_cast<int>(*height);
    return true;
}

// A decimal such as 1, 1.5 or 2 within the scales a screen could have.
bool ParseScale(const std::string& text, Options& options)
{
    double scale = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, scale, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || end != last || !(scale >= 0.5 && scale <= 4)) {
        return false;
    }
    options.pixelsPerInch = static_cast<int>(std::lround(96 * scale));
    return true;
}

constexpr char kUsageLine[] = "usage: dados-driver [OPTION]...\n";
constexpr char kOptions[] =
    "  --decimal C    decimal separator (one character)\n"
    "  --thousands C  thousands separator (one character)\n"
    "  --seed N       random generator seed after start-up (0 to 4294967295)\n"
    "  --screen WxH   size of the virtual screen (default 1280x1024)\n"
    "  --scale S      scale of the virtual screen, 0.5 to 4 (default 1, 96 pixels per inch)\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n";

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string* error)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.request = Options::Request::Help;
            return options;
        }
        if (name == "--version" || name == "-V") {
            options.request = Options::Request::Version;
            return options;
        }
        if (name != "--decimal" && name != "--thousands" && name != "--seed" && name != "--screen" &&
            name != "--scale") {
            *error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            *error = "option " + name + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        bool good = true;
        if (name == "--decimal") {
            options.decimalSeparator = ParseSeparator(value);
            good = options.decimalSeparator.has_value();
        } else if (name == "--thousands") {
            options.thousandSeparator = ParseSeparator(value);
            good = options.thousandSeparator.has_value();
        } else if (name == "--seed") {
            const std::optional<long long> seed = ParseInteger(value);
            good = seed && *seed >= 0 && *seed <= std::numeric_limits<std::uint32_t>::max();
            if (good) {
                options.seed = static_cast<std::uint32_t>(*seed);
            }
        } else if (name == "--screen") {
            good = ParseScreen(value, options);
        } else {
            good = ParseScale(value, options);
        }
        if (!good) {
            *error = "bad value '" + value + "' for " + name;
            return std::nullopt;
        }
    }
    return options;
}

std::string UsageText() { return std::string(kUsageLine) + kOptions; }

std::string HelpText()
{
    return std::string(kUsageLine) +
           "The dice experiment on an in-memory screen, driven by commands on standard input, one a\n"
           "line. Each command is answered by one line on standard output: \"ok\", \"ok VALUE\" or\n"
           "\"error MESSAGE\". Controls are named by their component names (Form1, Edit1, Button2 ...).\n"
           "\n"
           "Options:\n" +
           kOptions +
           "\n"
           "Commands:\n" +
           CommandHelp() +
           "\n"
           "The manual page dados-driver(1) describes the protocol in full.\n";
}

}  // namespace driver
