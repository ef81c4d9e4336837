// formula: draws the formula picture of the main window from its readable description.
//
//   formula formula.txt OUT.bmp
//
// The description syntax is documented in FormulaSource.cpp. Errors are reported as
// "file:line: message" (or "file: message" when no line is to blame) with exit code 1.

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/formula/FormulaDrawing.h"
#include "tools/formula/FormulaSource.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: formula formula.txt OUT.bmp\n";
        return 2;
    }
    const std::string source = argv[1];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << source << ": cannot open\n";
        return 1;
    }
    std::vector<std::uint8_t> bmp;
    try {
        bmp = formula::DrawFormula(formula::ReadFormula(in));
    } catch (const formula::FormulaError& error) {
        std::cerr << source << (error.line > 0 ? ":" + std::to_string(error.line) : std::string()) << ": "
                  << error.message << "\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    if (!out) {
        std::cerr << argv[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
