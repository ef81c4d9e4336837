// Cursors: an ASCII-art description turned into a cursor resource.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace dicefaces {

struct CursorImage {
    std::string name;
    int hotX = 0;
    int hotY = 0;
    int size = 0;              // width = height
    std::vector<char> pixels;  // '.', '#', 'o' or '~', rows top to bottom
};

// Syntax ('#' starts a comment outside the image block):
//   name NAME
//   hotspot X Y
//   image      then 32 rows of 32 characters, then end:
//              '.' transparent, '#' black, 'o' white, '~' the screen inverted
CursorImage ReadCursor(std::istream& description);

// The cursor resource layout of desktop/Cursors.h: the hot spot as two 16-bit words, then a
// 1-bit DIB of double height holding the XOR mask followed by the AND mask.
std::vector<std::uint8_t> CursorResource(const CursorImage& cursor);

}  // namespace dicefaces
