#include "desktop/Region.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace desktop {
namespace {

using Spans = std::vector<Region::Span>;

constexpr LONG kNoBoundary = std::numeric_limits<LONG>::max();

// Boundary k of a span list: x0 of span k/2 for even k, x1 for odd k.
LONG Boundary(const Spans& s, std::size_t k)
{
    if (k >= 2 * s.size()) return kNoBoundary;
    return k % 2 == 0 ? s[k / 2].x0 : s[k / 2].x1;
}

// Sweeps both span lists once; `op(inA, inB)` decides membership of each stretch.
template <class Op>
Spans CombineRow(const Spans& a, const Spans& b, Op op)
{
    Spans out;
    std::size_t ka = 0, kb = 0;
    bool open = false;
    LONG start = 0;
    for (;;) {
        const LONG p = std::min(Boundary(a, ka), Boundary(b, kb));
        if (p == kNoBoundary) break;
        while (Boundary(a, ka) == p) ++ka;
        while (Boundary(b, kb) == p) ++kb;
        const bool in = op(ka % 2 == 1, kb % 2 == 1);
        if (in && !open) {
            open = true;
            start = p;
        } else if (!in && open) {
            open = false;
            out.push_back({start, p});
        }
    }
    return out;
}

// Smallest integer >= num / den for den > 0.
std::int64_t CeilDiv(std::int64_t num, std::int64_t den)
{
    const std::int64_t q = num / den;
    return (num % den != 0 && num > 0) ? q + 1 : q;
}

struct Crossing {
    LONG x;       // first pixel whose centre lies at or right of the edge
    int winding;  // +1 for an edge going down, -1 going up
};

}  // namespace

Region Region::FromRect(const RECT& r)
{
    Region out;
    if (r.IsEmpty()) return out;
    out.bands_.push_back(Band{r.top, r.bottom, {Span{r.left, r.right}}});
    return out;
}

void Region::Append(LONG y0, LONG y1, std::vector<Span>&& spans)
{
    if (spans.empty() || y0 >= y1) return;
    if (!bands_.empty()) {
        Band& last = bands_.back();
        const bool same = last.spans.size() == spans.size() &&
                          std::equal(spans.begin(), spans.end(), last.spans.begin(),
                                     [](const Span& a, const Span& b) { return a.x0 == b.x0 && a.x1 == b.x1; });
        if (last.y1 == y0 && same) {
            last.y1 = y1;
            return;
        }
    }
    bands_.push_back(Band{y0, y1, std::move(spans)});
}

Region Region::FromPolygon(const POINT* points, int count, int fillMode)
{
    Region out;
    if (!points || count < 3) return out;
    LONG minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    std::vector<Crossing> crossings;
    for (LONG y = minY; y < maxY; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            POINT p = points[i], q = points[(i + 1) % count];
            if (p.y == q.y) continue;
            int winding = 1;
            if (p.y > q.y) {
                std::swap(p, q);
                winding = -1;
            }
            // The scan line runs through the pixel centres at y + 0.5.
            if (y < p.y || y >= q.y) continue;
            // Edge x at y + 0.5 is N / D; the first pixel centre at or right of it is ceil(N/D - 1/2).
            const std::int64_t dy = std::int64_t(q.y) - p.y;
            const std::int64_t dx = std::int64_t(q.x) - p.x;
            const std::int64_t n = std::int64_t(p.x) * 2 * dy + (2 * (std::int64_t(y) - p.y) + 1) * dx;
            const std::int64_t d = 2 * dy;
            crossings.push_back({LONG(CeilDiv(2 * n - d, 2 * d)), winding});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        Spans spans;
        const auto add = [&](LONG x0, LONG x1) {
            if (x0 >= x1) return;
            if (!spans.empty() && spans.back().x1 >= x0)
                spans.back().x1 = std::max(spans.back().x1, x1);
            else
                spans.push_back({x0, x1});
        };
        if (fillMode == WINDING) {
            int w = 0;
            for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
                w += crossings[k].winding;
                if (w != 0) add(crossings[k].x, crossings[k + 1].x);
            }
        } else {
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) add(crossings[k].x, crossings[k + 1].x);
        }
        out.Append(y, y + 1, std::move(spans));
    }
    return out;
}

RECT Region::Bounds() const
{
    if (bands_.empty()) return RECT{};
    RECT r{bands_.front().spans.front().x0, bands_.front().y0, bands_.front().spans.back().x1, bands_.back().y1};
    for (const Band& band : bands_) {
        r.left = std::min(r.left, band.spans.front().x0);
        r.right = std::max(r.right, band.spans.back().x1);
    }
    return r;
}

bool Region::Contains(LONG x, LONG y) const
{
    const auto band = std::upper_bound(bands_.begin(), bands_.end(), y, [](LONG v, const Band& b) { return v < b.y1; });
    if (band == bands_.end() || band->y0 > y) return false;
    const auto span =
        std::upper_bound(band->spans.begin(), band->spans.end(), x, [](LONG v, const Span& s) { return v < s.x1; });
    return span != band->spans.end() && span->x0 <= x;
}

void Region::Offset(LONG dx, LONG dy)
{
    for (Band& band : bands_) {
        band.y0 += dy;
        band.y1 += dy;
        for (Span& s : band.spans) {
            s.x0 += dx;
            s.x1 += dx;
        }
    }
}

int Region::Kind() const
{
    if (bands_.empty()) return NULLREGION;
    // Touching bands always differ, so a rectangle is exactly one band of one span.
    return bands_.size() == 1 && bands_.front().spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

template <class Op>
Region Region::Combine(const Region& other, Op op) const
{
    Region out;
    const Spans none;
    const std::vector<Band>& a = bands_;
    const std::vector<Band>& b = other.bands_;
    std::size_t i = 0, j = 0;
    LONG y = std::min(a.empty() ? kNoBoundary : a.front().y0, b.empty() ? kNoBoundary : b.front().y0);
    for (;;) {
        while (i < a.size() && a[i].y1 <= y) ++i;
        while (j < b.size() && b[j].y1 <= y) ++j;
        if (i == a.size() && j == b.size()) break;
        const bool inA = i < a.size() && a[i].y0 <= y;
        const bool inB = j < b.size() && b[j].y0 <= y;
        // The stretch of scan lines from y on where neither side changes.
        LONG next = kNoBoundary;
        if (i < a.size()) next = std::min(next, inA ? a[i].y1 : a[i].y0);
        if (j < b.size()) next = std::min(next, inB ? b[j].y1 : b[j].y0);
        if (inA || inB) out.Append(y, next, CombineRow(inA ? a[i].spans : none, inB ? b[j].spans : none, op));
        y = next;
    }
    return out;
}

Region Region::Intersected(const Region& other) const
{
    return Combine(other, [](bool a, bool b) { return a && b; });
}
Region Region::United(const Region& other) const
{
    return Combine(other, [](bool a, bool b) { return a || b; });
}
Region Region::Subtracted(const Region& other) const
{
    return Combine(other, [](bool a, bool b) { return a && !b; });
}
Region Region::Xored(const Region& other) const
{
    return Combine(other, [](bool a, bool b) { return a != b; });
}

Region Region::Combined(const Region& other, int mode) const
{
    switch (mode) {
        case RGN_AND: return Intersected(other);
        case RGN_OR: return United(other);
        case RGN_XOR: return Xored(other);
        case RGN_DIFF: return Subtracted(other);
        default: return *this;
    }
}

bool operator==(const Region& a, const Region& b)
{
    if (a.bands_.size() != b.bands_.size()) return false;
    for (std::size_t i = 0; i < a.bands_.size(); ++i) {
        const auto& ba = a.bands_[i];
        const auto& bb = b.bands_[i];
        if (ba.y0 != bb.y0 || ba.y1 != bb.y1 || ba.spans.size() != bb.spans.size()) return false;
        for (std::size_t k = 0; k < ba.spans.size(); ++k)
            if (ba.spans[k].x0 != bb.spans[k].x0 || ba.spans[k].x1 != bb.spans[k].x1) return false;
    }
    return true;
}

}  // namespace desktop
