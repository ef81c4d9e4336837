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
    out.rows_.reserve(std::size_t(r.Height()));
    for (LONG y = r.top; y < r.bottom; ++y) out.rows_.push_back(Row{y, {Span{r.left, r.right}}});
    return out;
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
        if (!spans.empty()) out.rows_.push_back(Row{y, std::move(spans)});
    }
    return out;
}

RECT Region::Bounds() const
{
    if (rows_.empty()) return RECT{};
    RECT r{rows_.front().spans.front().x0, rows_.front().y, rows_.front().spans.back().x1, rows_.back().y + 1};
    for (const Row& row : rows_) {
        r.left = std::min(r.left, row.spans.front().x0);
        r.right = std::max(r.right, row.spans.back().x1);
    }
    return r;
}

bool Region::Contains(LONG x, LONG y) const
{
    const auto row = std::lower_bound(rows_.begin(), rows_.end(), y, [](const Row& r, LONG v) { return r.y < v; });
    if (row == rows_.end() || row->y != y) return false;
    const auto span =
        std::upper_bound(row->spans.begin(), row->spans.end(), x, [](LONG v, const Span& s) { return v < s.x1; });
    return span != row->spans.end() && span->x0 <= x;
}

void Region::Offset(LONG dx, LONG dy)
{
    for (Row& row : rows_) {
        row.y += dy;
        for (Span& s : row.spans) {
            s.x0 += dx;
            s.x1 += dx;
        }
    }
}

int Region::Kind() const
{
    if (rows_.empty()) return NULLREGION;
    const Span first = rows_.front().spans.front();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (row.spans.size() != 1 || row.spans[0].x0 != first.x0 || row.spans[0].x1 != first.x1) return COMPLEXREGION;
        if (i > 0 && row.y != rows_[i - 1].y + 1) return COMPLEXREGION;
    }
    return SIMPLEREGION;
}

template <class Op>
Region Region::Combine(const Region& other, Op op) const
{
    Region out;
    const Spans none;
    std::size_t i = 0, j = 0;
    while (i < rows_.size() || j < other.rows_.size()) {
        const LONG ya = i < rows_.size() ? rows_[i].y : kNoBoundary;
        const LONG yb = j < other.rows_.size() ? other.rows_[j].y : kNoBoundary;
        const LONG y = std::min(ya, yb);
        const Spans& a = ya == y ? rows_[i++].spans : none;
        const Spans& b = yb == y ? other.rows_[j++].spans : none;
        Spans row = CombineRow(a, b, op);
        if (!row.empty()) out.rows_.push_back(Row{y, std::move(row)});
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
    if (a.rows_.size() != b.rows_.size()) return false;
    for (std::size_t i = 0; i < a.rows_.size(); ++i) {
        const auto& ra = a.rows_[i];
        const auto& rb = b.rows_[i];
        if (ra.y != rb.y || ra.spans.size() != rb.spans.size()) return false;
        for (std::size_t k = 0; k < ra.spans.size(); ++k)
            if (ra.spans[k].x0 != rb.spans[k].x0 || ra.spans[k].x1 != rb.spans[k].x1) return false;
    }
    return true;
}

}  // namespace desktop
