// DrawText: prefix marks, line breaks, word wrapping, tabs, alignment and measuring.
#include <algorithm>

#include "desktop/GdiContext.h"

namespace desktop {
namespace {

struct Cell {
    unsigned char c = 0;
    bool underline = false;  // marked with "&"
};
using Cells = std::vector<Cell>;

struct Line {
    Cells cells;
    int width = 0;
};

class Measure {
public:
    Measure(const Font& font, int extra, bool expandTabs, int tabChars)
        : font_(font), extra_(extra), tabWidth_(expandTabs ? tabChars * font.Metrics().aveCharWidth : 0)
    {
    }

    // Advance of a cell starting at offset x of its line (tabs run to the next stop).
    int Advance(const Cell& cell, int x) const
    {
        if (cell.c == '\t' && tabWidth_ > 0) return tabWidth_ - x % tabWidth_;
        return gdi::CharAdvance(font_, cell.c, extra_);
    }
    int Width(const Cells& cells, std::size_t from, std::size_t to) const
    {
        int x = 0;
        for (std::size_t i = from; i < to; ++i) x += Advance(cells[i], x);
        return x;
    }

private:
    const Font& font_;
    int extra_;
    int tabWidth_;
};

// "&x" marks x, "&&" is a plain "&", a final lone "&" disappears.
Cells ToCells(std::string_view text, UINT format)
{
    Cells cells;
    cells.reserve(text.size());
    const bool prefixes = !(format & DT_NOPREFIX);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = std::uint8_t(text[i]);
        if (prefixes && c == '&') {
            if (i + 1 >= text.size()) break;
            const auto next = std::uint8_t(text[++i]);
            cells.push_back({next, next != '&' && !(format & DT_HIDEPREFIX)});
            continue;
        }
        cells.push_back({c, false});
    }
    return cells;
}

std::vector<Cells> Paragraphs(const Cells& cells, bool singleLine)
{
    std::vector<Cells> out(1);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const unsigned char c = cells[i].c;
        if (!singleLine && (c == '\r' || c == '\n')) {
            if (c == '\r' && i + 1 < cells.size() && cells[i + 1].c == '\n') ++i;
            out.emplace_back();
            continue;
        }
        out.back().push_back(cells[i]);
    }
    return out;
}

bool IsBreak(const Cell& cell) { return cell.c == ' ' || cell.c == '\t'; }

// Greedy word wrap: a line ends before the word that would cross the width. A word wider
// than the width stays whole on its own line, except in edit-control mode where it is cut.
void Wrap(const Cells& p, int width, bool cutWords, const Measure& measure, std::vector<Line>& out)
{
    std::size_t i = 0;
    bool first = true;
    while (first || i < p.size()) {
        if (!first)
            while (i < p.size() && IsBreak(p[i])) ++i;
        if (!first && i >= p.size()) break;
        const std::size_t start = i;
        std::size_t end = start;  // end of the last word placed on the line
        int endWidth = 0, x = 0;
        std::size_t j = start;
        while (j < p.size()) {
            std::size_t k = j;
            int wx = x;
            while (k < p.size() && IsBreak(p[k])) wx += measure.Advance(p[k], wx), ++k;
            if (k >= p.size()) {
                j = k;
                break;
            }
            std::size_t e = k;
            while (e < p.size() && !IsBreak(p[e])) wx += measure.Advance(p[e], wx), ++e;
            if (wx > width && end > start) break;
            if (wx > width && cutWords) {
                std::size_t cut = k;
                int cx = x;
                for (std::size_t s = j; s < k; ++s) cx += measure.Advance(p[s], cx);
                while (cut < e) {
                    const int a = measure.Advance(p[cut], cx);
                    if (cx + a > width && cut > k) break;
                    cx += a;
                    ++cut;
                }
                end = cut;
                endWidth = cx;
                j = cut;
                break;
            }
            end = e;
            endWidth = wx;
            x = wx;
            j = e;
        }
        out.push_back(Line{Cells(p.begin() + std::ptrdiff_t(start), p.begin() + std::ptrdiff_t(end)), endWidth});
        i = std::max(j, end);
        if (i == start) break;  // nothing placed: avoid looping on an empty remainder
        first = false;
    }
}

// Shortens a line to fit the width with "..." at its end.
void AddEllipsis(Line& line, int width, const Measure& measure)
{
    if (line.width <= width) return;
    const Cells dots(3, Cell{'.', false});
    while (!line.cells.empty()) {
        line.cells.pop_back();
        Cells trial = line.cells;
        trial.insert(trial.end(), dots.begin(), dots.end());
        if (measure.Width(trial, 0, trial.size()) <= width) break;
    }
    line.cells.insert(line.cells.end(), dots.begin(), dots.end());
    line.width = measure.Width(line.cells, 0, line.cells.size());
}

}  // namespace

int DrawText(HDC hdc, const std::string& text, int count, RECT* rect, UINT format)
{
    DeviceContext* dc = gdi::Dc(hdc);
    if (!dc || !rect) return 0;
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        tabChars = int((format >> 8) & 0xFF);
        if (tabChars == 0) tabChars = 8;
        format &= ~UINT(DT_CALCRECT | DT_EXTERNALLEADING | DT_INTERNAL | DT_NOCLIP | DT_NOPREFIX | 0xFF00);
    }
    std::string source = count < 0 ? text : text.substr(0, std::size_t(count));
    // One past the end: the terminating zero, measured as a zero-width character.
    if (count > int(text.size())) source.push_back('\0');
    if (source.empty()) {
        if (format & DT_CALCRECT) rect->right = rect->left, rect->bottom = rect->top;
        return 0;
    }

    const Font& font = gdi::FontOf(*dc);
    const FontMetrics& m = font.Metrics();
    const Measure measure(font, dc->state.charExtra, format & DT_EXPANDTABS, tabChars);
    const bool singleLine = format & DT_SINGLELINE;
    const int width = rect->right - rect->left;

    std::vector<Line> lines;
    for (const Cells& p : Paragraphs(ToCells(source, format), singleLine)) {
        if ((format & DT_WORDBREAK) && !singleLine)
            Wrap(p, width, format & DT_EDITCONTROL, measure, lines);
        else
            lines.push_back(Line{p, measure.Width(p, 0, p.size())});
    }
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        for (Line& line : lines) AddEllipsis(line, width, measure);

    const int lineHeight = m.height + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    const int total = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines) widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    LONG top = rect->top;
    if (singleLine && (format & DT_VCENTER))
        top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        top = rect->bottom - lineHeight;
    const RECT clip = dc->ToSurface(*rect);
    const RECT* clipPtr = (format & DT_NOCLIP) ? nullptr : &clip;
    const GdiFont* f = dc->state.font;
    const bool drawGlyphs = !(format & DT_PREFIXONLY);
    std::string chars;
    std::vector<int> advances;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Line& line = lines[n];
        const LONG y = top + LONG(n) * lineHeight;
        if ((format & DT_EDITCONTROL) && n > 0 && y + lineHeight > rect->bottom) break;
        LONG x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - line.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line.width;
        chars.clear();
        advances.clear();
        int offset = 0;
        for (const Cell& cell : line.cells) {
            chars.push_back(char(cell.c));
            advances.push_back(measure.Advance(cell, offset));
            offset += advances.back();
        }
        const LONG sx = x + dc->Dx(), sy = y + dc->Dy();
        if (dc->state.bkMode == OPAQUE && drawGlyphs)
            gdi::FillBackground(*dc, RECT{sx, sy, sx + line.width, sy + lineHeight}, clipPtr);
        gdi::TextLine out{chars, sx, sy, advances.data(), f && f->log.lfUnderline != 0, f && f->log.lfStrikeOut != 0};
        gdi::DrawTextLine(*dc, font, out, clipPtr, drawGlyphs);
        if (format & DT_HIDEPREFIX) continue;
        LONG cx = sx;
        for (std::size_t i = 0; i < line.cells.size(); ++i) {
            const int glyphWidth = font.Advance(line.cells[i].c);
            if (line.cells[i].underline) gdi::DrawUnderline(*dc, font, cx, cx + glyphWidth, sy, clipPtr);
            cx += advances[i];
        }
    }
    if (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) return int(top - rect->top) + lineHeight;
    return total;
}

}  // namespace desktop
