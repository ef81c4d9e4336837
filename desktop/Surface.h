// A 32-bit pixel buffer: what every window, bitmap and the virtual screen draw into.
#pragma once

#include <cstdint>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

// Pixels are 0x00RRGGBB (the byte order SDL calls ARGB8888), row-major, top row first.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Surface() = default;
    Surface(int w, int h, std::uint32_t fill = 0)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0), pixels(std::size_t(width) * std::size_t(height), fill)
    {
    }

    void Resize(int w, int h, std::uint32_t fill = 0)
    {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(std::size_t(width) * std::size_t(height), fill);
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint32_t At(int x, int y) const
    {
        return Contains(x, y) ? pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] : 0;
    }
    void Set(int x, int y, std::uint32_t v)
    {
        if (Contains(x, y)) pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = v;
    }
};

// COLORREF (0x00BBGGRR) <-> surface pixel (0x00RRGGBB).
constexpr std::uint32_t PixelFromColor(COLORREF c)
{
    return (c & 0x00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p)
{
    return (p & 0x00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
}

}  // namespace desktop
