#include "SourceText.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "tools/SourceBlanks.h"

namespace dicefaces {

using tools::IsBlank;
using tools::Trim;

std::vector<SourceLine> ReadLines(std::istream& in)
{
    std::vector<SourceLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        lines.push_back({++number, Trim(text)});
    }
    return lines;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text.substr(0, text.find('#')));
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

bool IsCommentOrBlank(const std::string& text) { return Words(text).empty(); }

int ParseInt(const std::string& word, int line)
{
    int value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (word.empty() || ec != std::errc() || ptr != end) {
        throw SourceError{line, "expected a whole number, not '" + word + "'"};
    }
    return value;
}

double ParseNumber(const std::string& word, int line)
{
    double value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value, std::chars_format::fixed);
    if (word.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        throw SourceError{line, "expected a number, not '" + word + "'"};
    }
    return value;
}

Point ParsePoint(const std::string& word, int line)
{
    const std::size_t comma = word.find(',');
    if (comma == std::string::npos) {
        throw SourceError{line, "expected a point x,y, not '" + word + "'"};
    }
    return {ParseNumber(word.substr(0, comma), line), ParseNumber(word.substr(comma + 1), line)};
}

}  // namespace dicefaces
