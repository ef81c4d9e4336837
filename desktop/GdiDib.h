// Internals of device-independent bitmaps: reading a BITMAPINFO and
// converting rows between the stored formats and 32-bit surfaces.
// Not for use outside desktop/Gdi*.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "desktop/GdiContext.h"

namespace desktop::gdi {

struct DibLayout {
    int width = 0;
    int height = 0;  // rows, always positive
    bool bottomUp = true;
    int bitCount = 0;
    DWORD masks[3] = {};  // 16 and 32 bits per pixel
    std::vector<RGBQUAD> colors;
    std::size_t stride = 0;
    std::size_t ImageSize() const { return stride * std::size_t(height); }
    // Surface row of a stored row.
    int ImageRow(int storedRow) const { return bottomUp ? height - 1 - storedRow : storedRow; }
};

// Checks the header and reads its masks and colour table; false for formats we do not draw.
// DIB_PAL_COLORS tables are resolved through the palette selected into `dc` (may be null).
bool ReadLayout(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibLayout& out);
// Bytes from the start of a packed DIB (header, table, bits) to its bits.
std::size_t PackedBitsOffset(const BITMAPINFO* info);

// Stored rows [first, first + count) of `bits` (which starts at stored row `first`) into the surface.
void DecodeRows(const DibLayout& layout, const std::uint8_t* bits, int first, int count, Surface& surface);
void EncodeRows(const Surface& surface, const DibLayout& layout, int first, int count, std::uint8_t* bits);

// A packed DIB (as pattern brushes take it) decoded into a surface; false when unreadable.
bool DecodePackedDib(const void* packed, Surface& out);

}  // namespace desktop::gdi
