#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t Max64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min64 = std::numeric_limits<std::int64_t>::min();

// Expects parse(text) to raise EConvertError naming the whole text.
template <typename Parse>
void ExpectRejected(Parse parse, std::initializer_list<std::string> texts)
{
    for (const std::string& text : texts) {
        SCOPED_TRACE("text \"" + text + "\"");
        try {
            parse(text);
            ADD_FAILURE() << "accepted";
        } catch (const fw::EConvertError& error) {
            EXPECT_EQ(error.Message(), "'" + text + "' is not a valid integer value");
        }
    }
}

TEST(IntegerToText, PlainDecimalDigits)
{
    EXPECT_EQ(fw::IntegerToText(0), "0");
    EXPECT_EQ(fw::IntegerToText(-7), "-7");
    EXPECT_EQ(fw::IntegerToText(2147483647), "2147483647");
    EXPECT_EQ(fw::IntegerToText(Min32), "-2147483648");
}

TEST(TextToInteger, AcceptsDecimalAndHexadecimalForms)
{
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {" 42", 42},
        {"   -12", -12},
        {"+5", 5},
        {"-0", 0},
        {"000000000000042", 42},
        {"2147483647", 2147483647},
        {"-2147483648", Min32},
        {"$7fffffff", 2147483647},
        {"$FFFFFFFF", -1},
        {"$80000000", Min32},
        {"x1F", 31},
        {"X1f", 31},
        {"0x10", 16},
        {"0X10", 16},
        {" $a", 10},
        {"$000000001", 1},  // leading zeros do not count against the eight digits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::TextToInteger(c.text), c.value) << c.text;
    }
}

TEST(TextToInteger, RejectsEverythingElseNamingTheWholeText)
{
    ExpectRejected([](const std::string& t) { return fw::TextToInteger(t); }, {"",
                                                                               " ",
                                                                               "42 ",
                                                                               "\t42",
                                                                               "4 2",
                                                                               "2147483648",
                                                                               "-2147483649",
                                                                               "21474836470",
                                                                               "99999999999999999999",
                                                                               "-$1",
                                                                               "+$1",
                                                                               "-x1",
                                                                               "$",
                                                                               "x",
                                                                               "0x",
                                                                               "$100000000",
                                                                               "$1G",
                                                                               "0x-1",
                                                                               "-",
                                                                               "- 1",
                                                                               "--1",
                                                                               "1-",
                                                                               "1.0",
                                                                               std::string("4\0"
                                                                                           "2",
                                                                                           3)});
}

TEST(TextToInteger, ReadsBackWhatIntegerToTextWrote)
{
    for (const std::int32_t value : {0, 1, -1, 214748364, 214748365, -214748365, 2147483647, Min32}) {
        EXPECT_EQ(fw::TextToInteger(fw::IntegerToText(value)), value);
    }
}

TEST(TextToInteger64, AcceptsTheWholeSignedRange)
{
    const struct {
        const char* text;
        std::int64_t value;
    } cases[] = {
        {"9223372036854775807", Max64},
        {"-9223372036854775807", -Max64},
        {"-9223372036854775808", Min64},
        {" +12", 12},
        {"-0", 0},
        {"$7FFFFFFFFFFFFFFF", Max64},
        {"0x7fffffffffffffff", Max64},
        {"$FFFFFFFFFFFFFFFF", -1},
        {"-$8000000000000000", Min64},
        {"-$1", -1},
        {"+0X1f", 31},
        {"$00000000000000001", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::TextToInteger64(c.text), c.value) << c.text;
    }
}

TEST(TextToInteger64, RejectsOverflowAndOtherSyntax)
{
    ExpectRejected(
        [](const std::string& t) { return fw::TextToInteger64(t); },
        {"", "   ", "9223372036854775808", "9223372036854775809", "-9223372036854775809", "92233720368547758070",
         "18446744073709551616", "x1", "X1", "$10000000000000000", "$", "0x", "-", "12 ", "$1g", "--1"});
}

}  // namespace
