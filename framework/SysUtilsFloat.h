#pragma once

#include <string>
#include <string_view>

namespace fw {

// Codes of FloatToFormattedText's kinds.
enum class TFloatFormat : int {
    ffGeneral = 0,
    ffExponent = 1,
    ffFixed = 2,
    ffNumber = 3,
    ffCurrency = 4,
};

// A finite non-zero value equals 0.d1d2d3... x 10^exponent with d1 non-zero.
struct TDecimalForm {
    static constexpr int InfinityExponent = 32767;
    static constexpr int NaNExponent = 32768;
    static constexpr int MaxDigits = 18;

    int exponent = 0;
    bool negative = false;            // never set for zero or a not-a-number
    char digits[MaxDigits + 1] = {};  // digit characters without trailing zeros, then NUL

    std::string_view Digits() const { return digits; }
    bool IsZero() const { return digits[0] == 0 && exponent != InfinityExponent && exponent != NaNExponent; }
};

// Passed as decimals when only the number of significant digits limits the rounding.
inline constexpr int UnlimitedDecimals = 9999;

// The value's 18-digit decimal expansion rounded half up to at most precision significant
// digits and at most decimals digits after the decimal point.
TDecimalForm FloatToDecimal(long double value, int precision, int decimals);

// Text of value in the given kind with the current separators. precision is the number of
// significant digits (clamped to 2..18); digits the number of decimals of the fixed and
// number kinds, and the minimum number of exponent digits of the exponent kind.
std::string FloatToFormattedText(long double value, TFloatFormat kind, int precision, int digits);

// The experiment's one division. The processor's invalid-operation and zero-divide faults
// become exceptions here instead of through global traps: 0 / 0 and infinity / infinity
// raise EInvalidOp, a finite non-zero value divided by zero raises EZeroDivide; everything
// else is the plain extended quotient.
long double DivideExtended(long double dividend, long double divisor);

}  // namespace fw
