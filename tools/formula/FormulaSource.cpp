// Description syntax: one setting per line, "KEYWORD VALUE…"; lines starting with '#' and
// blank lines are skipped. Texts run to the end of the line, inner blanks included.
//   size W H          the picture in pixels
//   paper RRGGBB      background colour
//   ink RRGGBB        colour of the frame, the texts and the fraction bar
//   frame N           a frame N pixels wide along the picture's edges (0: none)
//   face NAME         font face as the program names it, e.g. Times New Roman
//   height N          character cell height in pixels (ascent + descent)
//   style WORD…       any of italic, bold, smooth (grey-level edges)
//   lead TEXT         what stands left of the fraction
//   numerator TEXT
//   denominator TEXT
//   gap N             blank columns between the lead's ink and the fraction bar
//   bar N             thickness of the fraction bar
//   overhang N        how far the bar reaches past the wider line's ink on either side
//   rise N            blank rows between the numerator's ink and the bar
//   drop N            blank rows between the bar and the denominator's ink
// Every keyword but paper, ink, frame, style and the spacings is required, each at most once.

#include "tools/formula/FormulaSource.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <sstream>
#include <vector>

#include "tools/SourceBlanks.h"

namespace formula {

namespace {

constexpr int kMaxSide = 4096;
constexpr int kMaxCell = 400;
constexpr std::size_t kMaxText = 200;

using tools::IsBlank;
using tools::Trim;

void Expect(bool condition, int line, const std::string& message)
{
    if (!condition) throw FormulaError{line, message};
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

int ParseInt(const std::string& word, int line, int low, int high)
{
    int value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    Expect(!word.empty() && ec == std::errc() && ptr == end, line, "expected a whole number, not '" + word + "'");
    Expect(value >= low && value <= high, line,
           word + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
    return value;
}

Rgb ParseRgb(const std::string& word, int line)
{
    Expect(word.size() == 6 && word.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos, line,
           "expected a colour RRGGBB, not '" + word + "'");
    const unsigned long value = std::stoul(word, nullptr, 16);
    return {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

std::string ParseText(const std::string& rest, int line)
{
    Expect(!rest.empty(), line, "empty text");
    Expect(rest.size() <= kMaxText, line, "text longer than " + std::to_string(kMaxText) + " characters");
    for (unsigned char c : rest) Expect(c >= 0x20 && c != 0x7F, line, "control character in text");
    return rest;
}

}  // namespace

FormulaDescription ReadFormula(std::istream& in)
{
    FormulaDescription d;
    std::set<std::string> seen;
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string text = Trim(raw);
        if (text.empty() || text[0] == '#') continue;
        const std::size_t blank = text.find_first_of(" \t");
        const std::string key = text.substr(0, blank);
        const std::string rest = blank == std::string::npos ? std::string() : Trim(text.substr(blank));
        const std::vector<std::string> w = Words(rest);
        Expect(seen.insert(key).second, line, "second '" + key + "'");
        if (key == "size") {
            Expect(w.size() == 2, line, "size W H");
            d.width = ParseInt(w[0], line, 1, kMaxSide);
            d.height = ParseInt(w[1], line, 1, kMaxSide);
        } else if (key == "paper" || key == "ink") {
            Expect(w.size() == 1, line, key + " RRGGBB");
            (key == "paper" ? d.paper : d.ink) = ParseRgb(w[0], line);
        } else if (key == "frame") {
            Expect(w.size() == 1, line, "frame N");
            d.frame = ParseInt(w[0], line, 0, kMaxSide);
        } else if (key == "face") {
            d.face = ParseText(rest, line);
            d.faceLine = line;
        } else if (key == "height") {
            Expect(w.size() == 1, line, "height N");
            d.cellHeight = ParseInt(w[0], line, 4, kMaxCell);
        } else if (key == "style") {
            for (const std::string& s : w) {
                if (s == "italic") {
                    d.italic = true;
                } else if (s == "bold") {
                    d.bold = true;
                } else if (s == "smooth") {
                    d.smooth = true;
                } else {
                    throw FormulaError{line, "unknown style '" + s + "' (italic, bold, smooth)"};
                }
            }
        } else if (key == "lead") {
            d.lead = ParseText(rest, line);
        } else if (key == "numerator") {
            d.numerator = ParseText(rest, line);
        } else if (key == "denominator") {
            d.denominator = ParseText(rest, line);
        } else if (key == "gap" || key == "bar" || key == "overhang" || key == "rise" || key == "drop") {
            Expect(w.size() == 1, line, key + " N");
            const int value = ParseInt(w[0], line, key == "bar" ? 1 : 0, kMaxSide);
            if (key == "gap") d.gap = value;
            if (key == "bar") d.bar = value;
            if (key == "overhang") d.overhang = value;
            if (key == "rise") d.rise = value;
            if (key == "drop") d.drop = value;
        } else {
            throw FormulaError{line, "unknown keyword '" + key + "'"};
        }
    }
    for (const char* required : {"size", "face", "height", "lead", "numerator", "denominator"}) {
        Expect(seen.count(required) == 1, line, std::string("no '") + required + "'");
    }
    Expect(2 * d.frame < d.width && 2 * d.frame < d.height, line, "the frame leaves no room inside");
    return d;
}

FormulaDescription ScaleFormula(const FormulaDescription& description, double scale)
{
    FormulaDescription d = description;
    const auto length = [scale](int value) { return int(std::lround(value * scale)); };
    // A line that is drawn stays drawn, however small the scale.
    const auto line = [&](int value) { return value > 0 ? std::max(1, length(value)) : 0; };
    d.width = length(d.width);
    d.height = length(d.height);
    d.frame = line(d.frame);
    d.cellHeight = length(d.cellHeight);
    d.bar = line(d.bar);
    d.gap = length(d.gap);
    d.overhang = length(d.overhang);
    d.rise = length(d.rise);
    d.drop = length(d.drop);
    return d;
}

}  // namespace formula
