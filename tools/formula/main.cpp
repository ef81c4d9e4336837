// formula: draws the formula picture of the main window from its readable description.
//
//   formula [--scale S] formula.txt OUT.bmp
//
// --scale draws the picture for a screen S times as dense as the usual 96 pixels per inch
// (1 when not given). The description syntax is documented in FormulaSource.cpp. Errors are
// reported as "file:line: message" (or "file: message" when no line is to blame) with exit
// code 1.

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/formula/FormulaDrawing.h"
#include "tools/formula/FormulaSource.h"

namespace {

constexpr double kMaxScale = 8;

int Usage()
{
    std::cerr << "usage: formula [--scale S] formula.txt OUT.bmp\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    double scale = 1;
    if (args.size() == 4 && args[0] == "--scale") {
        const std::string& text = args[1];
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, scale);
        if (text.empty() || ec != std::errc() || ptr != end || !(scale > 0 && scale <= kMaxScale)) {
            std::cerr << "formula: --scale must be a number above 0 and at most " << kMaxScale << ", not '" << text
                      << "'\n";
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2) return Usage();
    const std::string& source = args[0];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << source << ": cannot open\n";
        return 1;
    }
    std::vector<std::uint8_t> bmp;
    try {
        bmp = formula::DrawFormula(formula::ScaleFormula(formula::ReadFormula(in), scale));
    } catch (const formula::FormulaError& error) {
        std::cerr << source << (error.line > 0 ? ":" + std::to_string(error.line) : std::string()) << ": "
                  << error.message << "\n";
        return 1;
    }
    std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    if (!out) {
        std::cerr << args[1] << ": cannot write\n";
        return 1;
    }
    return 0;
}
