#include "framework/SysUtilsConvert.h"

#include "framework/SysUtilsConsts.h"
#include "framework/SysUtilsExceptions.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace fw {

namespace {

// Value of a hexadecimal digit character, or -1.
int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void RaiseInvalidInteger(const std::string& text)
{
    throw EConvertError(FormatMessage1(SInvalidInteger, text));
}

// Number of prefix characters that open a hexadecimal form at the start of rest, or 0.
std::size_t HexPrefixLength(std::string_view rest, bool acceptBareX)
{
    if (rest.empty()) {
        return 0;
    }
    if (rest[0] == '$') {
        return 1;
    }
    if (acceptBareX && (rest[0] == 'x' || rest[0] == 'X')) {
        return 1;
    }
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        return 2;
    }
    return 0;
}

// Hexadecimal digits up to the end of digits (at least one); before each further digit the
// value may not exceed limit, which caps the number of significant digits.
std::optional<std::uint64_t> ParseHexDigits(std::string_view digits, std::uint64_t limit)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || value > limit) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return value;
}

struct SignedRest {
    bool negative = false;
    bool signWritten = false;
    std::string_view rest;
};

SignedRest SkipBlanksAndSign(const std::string& text)
{
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    SignedRest result;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        result.negative = rest.front() == '-';
        result.signWritten = true;
        rest.remove_prefix(1);
    }
    result.rest = rest;
    return result;
}

}  // namespace

std::string IntegerToText(std::int32_t value)
{
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;  // eleven characters always fit
    return std::string(buffer, end);
}

std::int32_t TextToInteger(const std::string& text)
{
    const SignedRest parsed = SkipBlanksAndSign(text);
    std::string_view rest = parsed.rest;

    if (!parsed.signWritten) {
        if (const std::size_t prefix = HexPrefixLength(rest, true); prefix > 0) {
            const auto value = ParseHexDigits(rest.substr(prefix), 0x0FFFFFFFu);
            if (!value) {
                RaiseInvalidInteger(text);
            }
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
        }
    }

    if (rest.empty()) {
        RaiseInvalidInteger(text);
    }
    std::int64_t magnitude = 0;
    for (const char c : rest) {
        if (!IsDecimalDigit(c) || magnitude > 214748364) {
            RaiseInvalidInteger(text);
        }
        magnitude = magnitude * 10 + (c - '0');
    }
    const std::int64_t value = parsed.negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        RaiseInvalidInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

std::int64_t TextToInteger64(const std::string& text)
{
    const SignedRest parsed = SkipBlanksAndSign(text);
    std::string_view rest = parsed.rest;

    if (const std::size_t prefix = HexPrefixLength(rest, false); prefix > 0) {
        const auto value = ParseHexDigits(rest.substr(prefix), 0x0FFFFFFFFFFFFFFFull);
        if (!value) {
            RaiseInvalidInteger(text);
        }
        // Two's-complement negation of the 64-bit pattern, so "-$8000000000000000" is the minimum.
        const std::uint64_t pattern = parsed.negative ? 0 - *value : *value;
        return static_cast<std::int64_t>(pattern);
    }

    if (rest.empty()) {
        RaiseInvalidInteger(text);
    }
    // The accumulator wraps like a signed 64-bit register: the most negative value is only
    // reachable by wrapping, and the sign check afterwards rejects every other overflow.
    // Read unsigned, the limit also rejects a wrapped (negative) value before a further digit.
    std::uint64_t accumulator = 0;
    for (const char c : rest) {
        if (!IsDecimalDigit(c) || accumulator > 922337203685477580ull) {
            RaiseInvalidInteger(text);
        }
        accumulator = accumulator * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (parsed.negative) {
        accumulator = 0 - accumulator;
    }
    const auto value = static_cast<std::int64_t>(accumulator);
    if (value != 0 && (value < 0) != parsed.negative) {
        RaiseInvalidInteger(text);
    }
    return value;
}

}  // namespace fw
