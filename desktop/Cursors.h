// Cursors loaded from the program's cursor resources (RT_CURSOR).
//
// A cursor resource holds, as on the original platform, the hot spot as two little-endian
// 16-bit words (x, then y) followed by a 1-bit DIB: a BITMAPINFOHEADER whose height is twice
// the cursor's, a two-entry colour table, then the XOR mask and the AND mask, each with
// bottom-up rows padded to 32 bits, the leftmost pixel in the high bit. A pixel shows
// (screen AND and-mask) XOR xor-mask: AND 1 / XOR 0 is transparent, AND 0 takes the colour
// the XOR bit selects, AND 1 / XOR 1 inverts the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

struct CursorImage {
    POINT hotSpot;
    int width = 0;
    int height = 0;
    // One entry per pixel, rows top to bottom: 0 or 1.
    std::vector<std::uint8_t> andMask;
    std::vector<std::uint8_t> xorMask;
};

// nullopt for anything that is not a well-formed monochrome cursor resource.
std::optional<CursorImage> ParseCursorResource(std::span<const std::uint8_t> data);

// The cursor resource `name` as a cursor handle, distinct from every IDC_* identifier; the same
// name gives the same handle again. 0 when the resource is missing or unreadable.
int LoadCursorFromResource(const std::string& name);

// False for handles LoadCursorFromResource did not return (the IDC_* cursors included).
bool GetCursorHotSpot(int cursor, POINT* hotSpot);
// Null for such handles; loaded cursors live as long as the program.
const CursorImage* GetCursorImage(int cursor);

}  // namespace desktop
