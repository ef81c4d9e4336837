// Draws the formula picture through the desktop layer's GDI and stores it as a BMP file.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/formula/FormulaSource.h"

namespace formula {

// A complete 24-bit uncompressed BMP file: file header, 40-byte info header, bottom-up rows
// padded to four bytes. Throws FormulaError when the font is missing or the formula does not
// fit inside the frame.
std::vector<std::uint8_t> DrawFormula(const FormulaDescription& description);

}  // namespace formula
