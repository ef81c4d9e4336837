// Pixel regions as sorted spans per scan line: enough for clipping by
// rectangles, window stacking and polygons, and cheap to combine.
#pragma once

#include <vector>

#include "desktop/Types.h"

namespace desktop {

enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

class Region {
public:
    struct Span {
        LONG x0;  // inclusive
        LONG x1;  // exclusive
    };

    Region() = default;
    static Region FromRect(const RECT& r);
    // A pixel belongs to the polygon when its centre lies inside (fill mode ALTERNATE or WINDING).
    static Region FromPolygon(const POINT* points, int count, int fillMode = ALTERNATE);

    bool IsEmpty() const { return bands_.empty(); }
    RECT Bounds() const;
    bool Contains(LONG x, LONG y) const;
    void Offset(LONG dx, LONG dy);
    // Kind as GetRgnBox reports it: NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;

    Region Intersected(const Region& other) const;
    Region United(const Region& other) const;
    Region Subtracted(const Region& other) const;
    Region Xored(const Region& other) const;
    Region Combined(const Region& other, int mode) const;

    // f(y, x0, x1) for every span, top to bottom, left to right.
    template <class F>
    void ForEachSpan(F&& f) const
    {
        for (const Band& band : bands_)
            for (LONG y = band.y0; y < band.y1; ++y)
                for (const Span& s : band.spans) f(y, s.x0, s.x1);
    }

    friend bool operator==(const Region& a, const Region& b);

private:
    // Consecutive scan lines with the same spans share one band, so a rectangle is one band
    // whatever its height.
    struct Band {
        LONG y0;                  // first scan line
        LONG y1;                  // past the last one
        std::vector<Span> spans;  // sorted, disjoint, non-adjacent, never empty
    };
    std::vector<Band> bands_;  // sorted by y, disjoint; touching bands have different spans

    // Adds scan lines y0..y1-1 below the last band, merging with it when they continue it.
    void Append(LONG y0, LONG y1, std::vector<Span>&& spans);
    template <class Op>
    Region Combine(const Region& other, Op op) const;
};

}  // namespace desktop
