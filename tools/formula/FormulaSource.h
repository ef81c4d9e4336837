// The readable description of the formula picture (syntax at the top of FormulaSource.cpp).
#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace formula {

// A fault in the description, or a drawing that cannot be made from it; line 0 when no
// single line is to blame.
struct FormulaError {
    int line = 0;
    std::string message;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct FormulaDescription {
    int width = 0;
    int height = 0;
    Rgb paper{255, 255, 255};
    Rgb ink{0, 0, 0};
    int frame = 0;

    std::string face;
    int faceLine = 0;  // blamed when the face cannot be opened
    int cellHeight = 0;
    bool italic = false;
    bool bold = false;
    bool smooth = false;

    std::string lead;
    std::string numerator;
    std::string denominator;

    int gap = 0;
    int bar = 1;
    int overhang = 0;
    int rise = 0;
    int drop = 0;
};

// Throws FormulaError for anything it cannot take.
FormulaDescription ReadFormula(std::istream& in);

// The description for a screen `scale` times as dense: the picture, the font, the frame, the
// bar and every spacing grow by the scale (rounded, a line at least one pixel), so the drawing
// is made at that size rather than stretched. Scale 1 gives the description back as it is.
FormulaDescription ScaleFormula(const FormulaDescription& description, double scale);

}  // namespace formula
