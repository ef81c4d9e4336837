#include "framework/SysUtilsFloat.h"

#include "framework/SysUtilsExceptions.h"
#include "framework/SysUtilsLocale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fw {

namespace {

static_assert(std::numeric_limits<long double>::digits == 64, "long double must be the 80-bit extended format");

constexpr int ExponentBias = 16383;
constexpr int MaxBiasedExponent = 0x7FFF;

struct ExtendedBits {
    std::uint64_t mantissa = 0;  // with the explicit integer bit
    int biasedExponent = 0;
    bool negative = false;
};

ExtendedBits BitsOf(long double value)
{
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &value, sizeof value);
    ExtendedBits bits;
    std::memcpy(&bits.mantissa, bytes, sizeof bits.mantissa);
    const unsigned signExponent = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    bits.biasedExponent = static_cast<int>(signExponent & 0x7FFF);
    bits.negative = (signExponent & 0x8000) != 0;
    return bits;
}

// 10^0 .. 10^27 are exact in a 64-bit mantissa; the compiler rounds the rest correctly.
constexpr long double SmallPowersOfTen[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
    1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L,
};
// 10^(32 * 2^i), enough for every scale a normal extended value needs (|power| < 8192).
constexpr long double LargePowersOfTen[8] = {
    1e32L, 1e64L, 1e128L, 1e256L, 1e512L, 1e1024L, 1e2048L, 1e4096L,
};

// magnitude x 10^power. A power up to 27 is one correctly rounded operation; beyond that
// each further factor adds a rounding, which only values outside about 1e-10 .. 1e45 meet.
// Factors are applied from the smallest, so a partial product never leaves the range
// between the operand and the result.
long double ScaleByPowerOfTen(long double magnitude, int power)
{
    const bool divide = power < 0;
    const int steps = divide ? -power : power;
    const auto apply = [divide](long double x, long double factor) { return divide ? x / factor : x * factor; };
    long double result = apply(magnitude, SmallPowersOfTen[steps & 31]);
    for (int i = 0, large = steps >> 5; large != 0; ++i, large >>= 1) {
        if ((large & 1) != 0) {
            result = apply(result, LargePowersOfTen[i]);
        }
    }
    return result;
}

TDecimalForm ZeroForm() { return TDecimalForm{}; }

void SetDigits(TDecimalForm& form, const char* digits, std::size_t count)
{
    std::memcpy(form.digits, digits, count);
    form.digits[count] = 0;
}

}  // namespace

TDecimalForm FloatToDecimal(long double value, int precision, int decimals)
{
    const ExtendedBits bits = BitsOf(value);
    if (bits.biasedExponent == 0) {
        return ZeroForm();  // zero, or too small to be normal
    }
    TDecimalForm form;
    if (bits.biasedExponent == MaxBiasedExponent) {
        const bool infinity = (bits.mantissa << 1) == 0;
        form.exponent = infinity ? TDecimalForm::InfinityExponent : TDecimalForm::NaNExponent;
        form.negative = infinity && bits.negative;
        return form;
    }
    if ((bits.mantissa >> 63) == 0) {
        // An unnormal: the processor rejects it as an operand, so it reads as not-a-number.
        form.exponent = TDecimalForm::NaNExponent;
        return form;
    }

    // 19728 / 65536 approximates log10 2; the shift floors negative products as well.
    int exponent = (((bits.biasedExponent - ExponentBias) * 19728) >> 16) + 1;
    const long double magnitude = std::fabs(value);
    long double scaled = ScaleByPowerOfTen(magnitude, 18 - exponent);
    if (scaled < 1e17L) {
        // The estimate is one too high for some values below about 1e-205.
        --exponent;
        scaled = ScaleByPowerOfTen(magnitude, 18 - exponent);
    }
    long double rounded = std::nearbyint(scaled);
    while (rounded >= 1e18L) {
        rounded = std::nearbyint(rounded / 10);
        ++exponent;
    }
    char expansion[TDecimalForm::MaxDigits + 1] = {};
    std::to_chars(expansion, expansion + TDecimalForm::MaxDigits, static_cast<std::uint64_t>(rounded));

    const long long wanted = static_cast<long long>(exponent) + decimals;
    if (wanted < 0) {
        return ZeroForm();
    }
    // Clamped so that a caller's odd precision can never index outside the expansion.
    const int keep =
        static_cast<int>(std::clamp<long long>(std::min<long long>(wanted, precision), 0, TDecimalForm::MaxDigits));

    std::size_t length = TDecimalForm::MaxDigits;
    if (keep < TDecimalForm::MaxDigits) {
        length = static_cast<std::size_t>(keep);
        if (expansion[keep] >= '5') {
            // Round half up, dropping nines that overflow.
            while (length > 0 && expansion[length - 1] == '9') {
                --length;
            }
            if (length == 0) {
                expansion[0] = '1';
                length = 1;
                ++exponent;
            } else {
                ++expansion[length - 1];
            }
        }
    }
    while (length > 0 && expansion[length - 1] == '0') {
        --length;
    }
    if (length == 0) {
        return ZeroForm();
    }
    SetDigits(form, expansion, length);
    form.exponent = exponent;
    form.negative = bits.negative;
    return form;
}

namespace {

class FloatTextWriter {
public:
    explicit FloatTextWriter(const TDecimalForm& form) : form_(form), digits_(form.Digits()) {}

    std::string Take() { return std::move(text_); }

    void Sign()
    {
        if (form_.negative) {
            text_ += '-';
        }
    }

    // The digit at index (from 0), "0" once the digits run out.
    char DigitAt(int index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < digits_.size() ? digits_[static_cast<std::size_t>(index)]
                                                                              : '0';
    }

    void General(int precision)
    {
        Sign();
        const int exponent = form_.exponent;
        const int count = static_cast<int>(digits_.size());
        if (exponent > precision || exponent < -3) {
            text_ += digits_.front();
            if (count > 1) {
                text_ += DecimalSeparator;
                text_.append(digits_.substr(1));
            }
            text_ += 'E';
            text_ += std::to_string(exponent - 1);
        } else if (exponent >= 1) {
            for (int i = 0; i < exponent; ++i) {
                text_ += DigitAt(i);
            }
            if (count > exponent) {
                text_ += DecimalSeparator;
                text_.append(digits_.substr(static_cast<std::size_t>(exponent)));
            }
        } else {
            text_ += '0';
            if (count > 0) {
                text_ += DecimalSeparator;
                text_.append(static_cast<std::size_t>(-exponent), '0');
                text_.append(digits_);
            }
        }
    }

    void Exponent(int precision, int exponentDigits)
    {
        Sign();
        text_ += DigitAt(0);
        text_ += DecimalSeparator;
        for (int i = 1; i < precision; ++i) {
            text_ += DigitAt(i);
        }
        text_ += 'E';
        const int exponent = form_.IsZero() ? 0 : form_.exponent - 1;
        text_ += exponent < 0 ? '-' : '+';
        const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
        const int minimum = std::clamp(exponentDigits, 0, 4);
        if (static_cast<int>(magnitude.size()) < minimum) {
            text_.append(static_cast<std::size_t>(minimum) - magnitude.size(), '0');
        }
        text_ += magnitude;
    }

    void Fixed(int decimals, bool grouped)
    {
        Sign();
        const int exponent = form_.exponent;
        if (exponent <= 0) {
            text_ += '0';
        } else {
            for (int i = 0; i < exponent; ++i) {
                if (grouped && i > 0 && (exponent - i) % 3 == 0) {
                    text_ += ThousandSeparator;
                }
                text_ += DigitAt(i);
            }
        }
        const int count = std::min(decimals, TDecimalForm::MaxDigits);
        if (count <= 0) {
            return;
        }
        text_ += DecimalSeparator;
        const int leadingZeros = exponent < 0 ? std::min(-exponent, count) : 0;
        text_.append(static_cast<std::size_t>(leadingZeros), '0');
        int index = std::max(exponent, 0);
        for (int written = leadingZeros; written < count; ++written) {
            text_ += DigitAt(index++);
        }
    }

private:
    const TDecimalForm& form_;
    std::string_view digits_;
    std::string text_;
};

bool IsDecimalsKind(TFloatFormat kind)
{
    return kind == TFloatFormat::ffFixed || kind == TFloatFormat::ffNumber || kind == TFloatFormat::ffCurrency;
}

}  // namespace

std::string FloatToFormattedText(long double value, TFloatFormat kind, int precision, int digits)
{
    precision = std::clamp(precision, 2, TDecimalForm::MaxDigits);
    const bool decimalsKind = IsDecimalsKind(kind);
    // Clamped only so that the exponent plus decimals cannot overflow; the significant
    // digits limit the rounding long before.
    const int decimals = decimalsKind ? std::clamp(digits, -UnlimitedDecimals, UnlimitedDecimals) : UnlimitedDecimals;
    const TDecimalForm form = FloatToDecimal(value, precision, decimals);

    if (form.exponent == TDecimalForm::InfinityExponent) {
        return form.negative ? "-INF" : "INF";
    }
    if (form.exponent == TDecimalForm::NaNExponent) {
        return "NAN";
    }

    if (kind != TFloatFormat::ffExponent && (!decimalsKind || form.exponent > precision)) {
        kind = TFloatFormat::ffGeneral;
    }

    FloatTextWriter writer(form);
    switch (kind) {
        case TFloatFormat::ffExponent: writer.Exponent(precision, digits); break;
        case TFloatFormat::ffFixed:
        case TFloatFormat::ffCurrency:  // the program never asks for currency; its layout would
                                        // come from the currency settings, so it writes as fixed
            writer.Fixed(digits, false);
            break;
        case TFloatFormat::ffNumber: writer.Fixed(digits, true); break;
        default: writer.General(precision); break;
    }
    return writer.Take();
}

long double DivideExtended(long double dividend, long double divisor)
{
    if (divisor == 0) {
        if (dividend == 0) {
            throw EInvalidOp();
        }
        if (std::isfinite(dividend)) {
            throw EZeroDivide();
        }
    } else if (std::isinf(dividend) && std::isinf(divisor)) {
        throw EInvalidOp();
    }
    return dividend / divisor;
}

}  // namespace fw
