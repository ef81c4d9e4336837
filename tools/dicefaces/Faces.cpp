// Description syntax ('#' starts a comment outside pip and image blocks):
//   size W H
//   colour NAME RRGGBB              palette entries in table order, at most 16
//   background COLOUR
//   outline COLOUR WIDTH
//   face NAME COLOUR x,y x,y x,y …  a convex polygon
//   pip FACE                         then rows of '#' (pip colour: the outline's) and '.', then end
//   image NAME                       then lines "FACE x,y x,y …" of pip centres, then end
// Coordinates are pixel centres. Faces are filled where a pixel centre lies within half a
// pixel of the polygon; silhouette edges are drawn inside the cube, edges between two faces
// centred on the edge, both measured along the pixel column (or row, for steep edges).

#include "Faces.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "SourceText.h"

namespace dicefaces {

namespace {

constexpr int kMaxSide = 256;
constexpr int kMaxColours = 16;
constexpr double kEpsilon = 1e-9;

struct Face {
    std::string name;
    int colour = 0;
    std::vector<Point> corners;
};

struct PipShape {
    int width = 0;
    int height = 0;
    std::vector<bool> filled;  // rows top to bottom
};

struct PipPlacement {
    int face = 0;
    Point centre;
    int line = 0;
};

struct ImageEntry {
    std::string name;
    std::vector<PipPlacement> pips;
};

struct Description {
    int width = 0;
    int height = 0;
    std::vector<std::string> colourNames;
    std::vector<Rgb> palette;
    std::optional<int> background;
    std::optional<int> outlineColour;
    double outlineWidth = 0;
    std::vector<Face> faces;
    std::map<int, PipShape> pips;  // by face
    std::vector<ImageEntry> images;
};

// A polygon edge with the side of its face: distances are measured along the pixel column
// for flat edges and along the row for steep ones, positive towards the face.
struct Edge {
    Point from;
    Point to;
    bool flat = true;
    double inward = 1;
    bool shared = false;

    double Distance(double x, double y) const
    {
        if (flat) {
            const double lineY = from.y + (x - from.x) * (to.y - from.y) / (to.x - from.x);
            return (y - lineY) * inward;
        }
        const double lineX = from.x + (y - from.y) * (to.x - from.x) / (to.y - from.y);
        return (x - lineX) * inward;
    }
    bool Spans(double x, double y) const
    {
        const double along = flat ? x : y;
        const double a = flat ? from.x : from.y;
        const double b = flat ? to.x : to.y;
        return along >= std::min(a, b) - kEpsilon && along <= std::max(a, b) + kEpsilon;
    }
};

int ColourIndex(const Description& d, const std::string& name, int line)
{
    for (std::size_t i = 0; i < d.colourNames.size(); ++i) {
        if (d.colourNames[i] == name) return int(i);
    }
    throw SourceError{line, "unknown colour '" + name + "'"};
}

int FaceIndex(const Description& d, const std::string& name, int line)
{
    for (std::size_t i = 0; i < d.faces.size(); ++i) {
        if (d.faces[i].name == name) return int(i);
    }
    throw SourceError{line, "unknown face '" + name + "'"};
}

Rgb ParseRgb(const std::string& word, int line)
{
    if (word.size() != 6 || word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        throw SourceError{line, "expected a colour RRGGBB, not '" + word + "'"};
    }
    const unsigned long value = std::stoul(word, nullptr, 16);
    return {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

void Expect(bool condition, int line, const std::string& message)
{
    if (!condition) throw SourceError{line, message};
}

bool IsConvex(const std::vector<Point>& corners)
{
    int sign = 0;
    const std::size_t n = corners.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = corners[i];
        const Point& b = corners[(i + 1) % n];
        const Point& c = corners[(i + 2) % n];
        const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        if (std::abs(cross) < kEpsilon) return false;
        const int s = cross > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return true;
}

// Reads the rows of a pip or image block; `at` is left on the block's "end" line.
std::vector<SourceLine> BlockLines(const std::vector<SourceLine>& lines, std::size_t& at)
{
    const int opening = lines[at].number;
    std::vector<SourceLine> rows;
    for (++at; at < lines.size(); ++at) {
        if (lines[at].text == "end") return rows;
        if (!lines[at].text.empty()) rows.push_back(lines[at]);
    }
    throw SourceError{opening, "block without 'end'"};
}

PipShape ParsePip(const std::vector<SourceLine>& rows, int line)
{
    Expect(!rows.empty(), line, "empty pip");
    PipShape pip;
    pip.width = int(rows.front().text.size());
    pip.height = int(rows.size());
    Expect(pip.width <= kMaxSide && pip.height <= kMaxSide, line, "pip too large");
    for (const SourceLine& row : rows) {
        Expect(int(row.text.size()) == pip.width, row.number, "pip rows differ in length");
        for (char c : row.text) {
            Expect(c == '#' || c == '.', row.number, "pip rows hold only '#' and '.'");
            pip.filled.push_back(c == '#');
        }
    }
    return pip;
}

Description Parse(std::istream& in)
{
    const std::vector<SourceLine> lines = ReadLines(in);
    Description d;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        const int line = lines[at].number;
        const std::vector<std::string> w = Words(lines[at].text);
        if (w.empty()) continue;
        const std::string& key = w[0];
        if (key == "size") {
            Expect(w.size() == 3, line, "size W H");
            d.width = ParseInt(w[1], line);
            d.height = ParseInt(w[2], line);
            Expect(d.width > 0 && d.height > 0 && d.width <= kMaxSide && d.height <= kMaxSide, line,
                   "size out of range");
        } else if (key == "colour") {
            Expect(w.size() == 3, line, "colour NAME RRGGBB");
            Expect(int(d.palette.size()) < kMaxColours, line, "more than 16 colours");
            d.colourNames.push_back(w[1]);
            d.palette.push_back(ParseRgb(w[2], line));
        } else if (key == "background") {
            Expect(w.size() == 2, line, "background COLOUR");
            d.background = ColourIndex(d, w[1], line);
        } else if (key == "outline") {
            Expect(w.size() == 3, line, "outline COLOUR WIDTH");
            d.outlineColour = ColourIndex(d, w[1], line);
            d.outlineWidth = ParseNumber(w[2], line);
            Expect(d.outlineWidth > 0 && d.outlineWidth <= 16, line, "outline width out of range");
        } else if (key == "face") {
            Expect(w.size() >= 6, line, "face NAME COLOUR and at least three corners");
            Face face{w[1], ColourIndex(d, w[2], line), {}};
            for (std::size_t i = 3; i < w.size(); ++i) face.corners.push_back(ParsePoint(w[i], line));
            Expect(IsConvex(face.corners), line, "a face must be a convex polygon");
            d.faces.push_back(face);
        } else if (key == "pip") {
            Expect(w.size() == 2, line, "pip FACE");
            const int face = FaceIndex(d, w[1], line);
            Expect(!d.pips.count(face), line, "second pip shape for a face");
            d.pips[face] = ParsePip(BlockLines(lines, at), line);
        } else if (key == "image") {
            Expect(w.size() == 2, line, "image NAME");
            ImageEntry image{w[1], {}};
            for (const SourceLine& row : BlockLines(lines, at)) {
                const std::vector<std::string> rw = Words(row.text);
                if (rw.empty()) continue;
                const int face = FaceIndex(d, rw[0], row.number);
                Expect(d.pips.count(face) == 1, row.number, "no pip shape for face '" + rw[0] + "'");
                for (std::size_t i = 1; i < rw.size(); ++i) {
                    image.pips.push_back({face, ParsePoint(rw[i], row.number), row.number});
                }
            }
            d.images.push_back(image);
        } else {
            throw SourceError{line, "unknown keyword '" + key + "'"};
        }
    }
    const int last = lines.empty() ? 0 : lines.back().number;
    Expect(d.width > 0, last, "no size");
    Expect(d.background.has_value(), last, "no background");
    Expect(d.outlineColour.has_value(), last, "no outline");
    Expect(!d.faces.empty(), last, "no faces");
    Expect(!d.images.empty(), last, "no images");
    return d;
}

bool SamePoint(const Point& a, const Point& b)
{
    return std::abs(a.x - b.x) < kEpsilon && std::abs(a.y - b.y) < kEpsilon;
}

std::vector<std::vector<Edge>> FaceEdges(const Description& d)
{
    std::vector<std::vector<Edge>> edges(d.faces.size());
    for (std::size_t f = 0; f < d.faces.size(); ++f) {
        const std::vector<Point>& c = d.faces[f].corners;
        Point centroid;
        for (const Point& p : c) {
            centroid.x += p.x / double(c.size());
            centroid.y += p.y / double(c.size());
        }
        for (std::size_t i = 0; i < c.size(); ++i) {
            Edge e{c[i], c[(i + 1) % c.size()]};
            e.flat = std::abs(e.to.x - e.from.x) >= std::abs(e.to.y - e.from.y);
            e.inward = e.Distance(centroid.x, centroid.y) >= 0 ? 1 : -1;
            edges[f].push_back(e);
        }
    }
    for (std::size_t f = 0; f < edges.size(); ++f) {
        for (Edge& e : edges[f]) {
            for (std::size_t g = 0; g < edges.size(); ++g) {
                if (g == f) continue;
                for (const Edge& o : edges[g]) {
                    if ((SamePoint(e.from, o.from) && SamePoint(e.to, o.to)) ||
                        (SamePoint(e.from, o.to) && SamePoint(e.to, o.from))) {
                        e.shared = true;
                    }
                }
            }
        }
    }
    return edges;
}

constexpr int kBackground = -1;
constexpr int kOutline = -2;

// Which face (or the outline, or the background) each pixel of the bare cube belongs to.
std::vector<int> ClassifyPixels(const Description& d)
{
    const std::vector<std::vector<Edge>> edges = FaceEdges(d);
    const double halfPixel = 0.5;
    std::vector<int> owner(std::size_t(d.width) * std::size_t(d.height), kBackground);
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            int& o = owner[std::size_t(y) * std::size_t(d.width) + std::size_t(x)];
            for (std::size_t f = 0; f < edges.size() && o == kBackground; ++f) {
                const bool inside = std::all_of(edges[f].begin(), edges[f].end(), [&](const Edge& e) {
                    return e.Distance(x, y) >= -halfPixel - kEpsilon;
                });
                if (inside) o = int(f);
            }
            if (o == kBackground) continue;
            for (const auto& faceEdges : edges) {
                for (const Edge& e : faceEdges) {
                    if (!e.Spans(x, y)) continue;
                    const double dist = e.Distance(x, y);
                    const double low = e.shared ? -d.outlineWidth / 2 : -halfPixel;
                    if (dist >= low - kEpsilon && dist < low + d.outlineWidth - kEpsilon) o = kOutline;
                }
            }
        }
    }
    return owner;
}

bool IsWhole(double v) { return std::abs(v - std::round(v)) < kEpsilon; }

PaletteImage DrawImage(const Description& d, const std::vector<int>& owner, const ImageEntry& entry)
{
    PaletteImage image{entry.name, d.width, d.height, d.palette, {}};
    image.pixels.resize(owner.size());
    for (std::size_t i = 0; i < owner.size(); ++i) {
        const int o = owner[i];
        image.pixels[i] = std::uint8_t(o == kBackground ? *d.background
                                       : o == kOutline  ? *d.outlineColour
                                                        : d.faces[std::size_t(o)].colour);
    }
    for (const PipPlacement& pip : entry.pips) {
        const PipShape& shape = d.pips.at(pip.face);
        const double left = pip.centre.x - (shape.width - 1) / 2.0;
        const double top = pip.centre.y - (shape.height - 1) / 2.0;
        Expect(IsWhole(left) && IsWhole(top), pip.line, "a pip centre must put the pip on whole pixels");
        for (int row = 0; row < shape.height; ++row) {
            for (int col = 0; col < shape.width; ++col) {
                if (!shape.filled[std::size_t(row * shape.width + col)]) continue;
                const long x = std::lround(left) + col;
                const long y = std::lround(top) + row;
                const bool onFace = x >= 0 && y >= 0 && x < d.width && y < d.height &&
                                    owner[std::size_t(y) * std::size_t(d.width) + std::size_t(x)] == pip.face;
                Expect(onFace, pip.line,
                       "a pip leaves its face at (" + std::to_string(x) + "," + std::to_string(y) + ")");
                image.pixels[std::size_t(y) * std::size_t(d.width) + std::size_t(x)] = std::uint8_t(*d.outlineColour);
            }
        }
    }
    return image;
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

std::vector<PaletteImage> DrawFaces(std::istream& description)
{
    const Description d = Parse(description);
    const std::vector<int> owner = ClassifyPixels(d);
    std::vector<PaletteImage> images;
    for (const ImageEntry& entry : d.images) images.push_back(DrawImage(d, owner, entry));
    return images;
}

std::vector<std::uint8_t> PackedDib4(const PaletteImage& image)
{
    const std::uint32_t stride = ((std::uint32_t(image.width) * 4 + 31) / 32) * 4;
    const std::uint32_t imageSize = stride * std::uint32_t(image.height);
    std::vector<std::uint8_t> out;
    PutLittleEndian(out, 40, 4);  // biSize
    PutLittleEndian(out, std::uint32_t(image.width), 4);
    PutLittleEndian(out, std::uint32_t(image.height), 4);  // positive: bottom-up rows
    PutLittleEndian(out, 1, 2);                            // biPlanes
    PutLittleEndian(out, 4, 2);                            // biBitCount
    PutLittleEndian(out, 0, 4);                            // BI_RGB
    PutLittleEndian(out, imageSize, 4);
    PutLittleEndian(out, 0, 4);                                    // biXPelsPerMeter
    PutLittleEndian(out, 0, 4);                                    // biYPelsPerMeter
    PutLittleEndian(out, std::uint32_t(image.palette.size()), 4);  // biClrUsed
    PutLittleEndian(out, 0, 4);                                    // biClrImportant
    for (const Rgb& c : image.palette) {
        out.insert(out.end(), {c.blue, c.green, c.red, 0});
    }
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t index =
                image.pixels[std::size_t(row) * std::size_t(image.width) + std::size_t(x)] & 0x0F;
            bits[std::size_t(x) / 2] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

}  // namespace dicefaces
