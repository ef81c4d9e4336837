#pragma once

// Bytes as a C++ string literal, for the generators that write registration sources.

#include <cstdio>
#include <string>

namespace tools {

// Printable ASCII stays as it is; every other byte becomes a three-digit octal escape, which,
// unlike \x, can never swallow a digit that follows it.
inline std::string CppStringLiteral(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%03o", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace tools
