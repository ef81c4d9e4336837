// Reading the line-oriented descriptions of the face pictures and cursors.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace dicefaces {

struct SourceError {
    int line = 0;
    std::string message;
};

struct SourceLine {
    int number = 0;
    std::string text;  // without the line break and surrounding blanks
};

// All lines of the source, trimmed; nothing is skipped, since picture rows may start with '#'.
std::vector<SourceLine> ReadLines(std::istream& in);

// The blank-separated words of a line, up to a '#' that starts a comment.
std::vector<std::string> Words(const std::string& text);
bool IsCommentOrBlank(const std::string& text);

struct Point {
    double x = 0;
    double y = 0;
};

// Whole decimal numbers; a SourceError for anything else.
int ParseInt(const std::string& word, int line);
// Decimal numbers such as 31.5 or 8.
double ParseNumber(const std::string& word, int line);
// "x,y"
Point ParsePoint(const std::string& word, int line);

}  // namespace dicefaces
