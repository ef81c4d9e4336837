#pragma once

#include <cstdint>
#include <string>

namespace fw {

// Decimal digits, "-" first when negative; no grouping, no padding.
std::string IntegerToText(std::int32_t value);

// The whole text must be one integer: leading blanks, then an optional sign and decimal
// digits, or (unsigned) "$", "x", "X", "0x", "0X" and up to eight hexadecimal digits whose
// 32-bit pattern is the result. Anything else raises EConvertError naming the text.
std::int32_t TextToInteger(const std::string& text);

// The 64-bit sibling: the sign may also precede a "$", "0x" or "0X" hexadecimal form
// (up to sixteen digits, negated by "-"); decimal values must fit the signed range.
std::int64_t TextToInteger64(const std::string& text);

}  // namespace fw
