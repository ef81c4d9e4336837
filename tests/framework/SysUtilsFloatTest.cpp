#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

using fw::FloatToFormattedText;
using fw::TFloatFormat;

constexpr long double Inf = std::numeric_limits<long double>::infinity();
constexpr long double NaN = std::numeric_limits<long double>::quiet_NaN();

struct TextCase {
    long double value;
    int digits;  // decimals, or the precision for the general kind
    const char* text;
};

// Sets the separators for one test and restores the process-wide values afterwards.
class FloatText : public ::testing::Test {
protected:
    void SetUp() override { UseSeparators(',', '.'); }
    void TearDown() override { UseSeparators(savedDecimal_, savedThousand_); }
    static void UseSeparators(char decimal, char thousand)
    {
        fw::DecimalSeparator = decimal;
        fw::ThousandSeparator = thousand;
    }
    static void ExpectTexts(TFloatFormat kind, int precision, std::initializer_list<TextCase> cases)
    {
        for (const TextCase& c : cases) {
            SCOPED_TRACE(c.text);
            const bool general = kind == TFloatFormat::ffGeneral;
            EXPECT_EQ(FloatToFormattedText(c.value, kind, general ? c.digits : precision, c.digits), c.text);
        }
    }

private:
    char savedDecimal_ = fw::DecimalSeparator;
    char savedThousand_ = fw::ThousandSeparator;
};

TEST_F(FloatText, GeneralKind)
{
    ExpectTexts(TFloatFormat::ffGeneral, 0,
                {
                    {1.0L / 6, 4, "0,1667"},
                    {2.0L / 3, 4, "0,6667"},
                    {0.5L, 4, "0,5"},
                    {1.0L, 4, "1"},
                    {0.0L, 4, "0"},
                    {-0.0L, 4, "0"},
                    {0.00025L, 4, "0,00025"},
                    {0.00005L, 4, "5E-5"},
                    {1.0L / 20000, 4, "5E-5"},
                    {1.0L / 10001, 4, "9,999E-5"},
                    {0.0001L, 4, "0,0001"},
                    {123456.0L, 4, "1,235E5"},
                    {0.99996L, 4, "1"},
                    {9.9996L, 4, "10"},
                    {1234.0L, 4, "1234"},
                    {12345.0L, 4, "1,235E4"},
                    {-1.0L / 6, 4, "-0,1667"},
                    {1e100L, 4, "1E100"},
                    {-2.5e-7L, 4, "-2,5E-7"},
                    // precision is clamped to 2 .. 18
                    {1.0L / 6, 1, "0,17"},
                    {1.0L / 6, 18, "0,166666666666666667"},
                    {1.0L / 6, 40, "0,166666666666666667"},
                });
}

TEST_F(FloatText, SeparatorIsReadAtEachCall)
{
    UseSeparators('.', ',');
    EXPECT_EQ(FloatToFormattedText(1.0L / 6, TFloatFormat::ffGeneral, 4, 0), "0.1667");
    UseSeparators(',', '.');
    EXPECT_EQ(FloatToFormattedText(1.0L / 6, TFloatFormat::ffGeneral, 4, 0), "0,1667");
}

TEST_F(FloatText, FixedKindRoundsHalfUpAtTheDecimals)
{
    ExpectTexts(TFloatFormat::ffFixed, 4,
                {
                    {0.125L, 3, "0,125"},
                    {2.0L, 3, "2,000"},
                    {0.0005L, 3, "0,001"},
                    {0.125L, 2, "0,13"},
                    {0.0004L, 3, "0,000"},
                    {-0.0004L, 3, "0,000"},
                    {-1.5L, 1, "-1,5"},
                    {1234.5L, 0, "1235"},
                    {0.5L, 0, "1"},
                    {12.0L, -1, "10"},
                    {0.001234L, 5, "0,00123"},
                    {1.0L / 6, 6, "0,166700"},           // four significant digits, then zeros
                    {0.1L, 25, "0,100000000000000000"},  // at most 18 decimals
                    {123456.0L, 2, "1,235E5"},           // more integer digits than significant ones
                });
}

TEST_F(FloatText, NumberKindGroupsIntegerDigitsInThrees)
{
    ExpectTexts(TFloatFormat::ffNumber, 18,
                {
                    {1234567.891L, 2, "1.234.567,89"},
                    {-1234567.0L, 2, "-1.234.567,00"},
                    {123.0L, 2, "123,00"},
                    {1234.0L, 0, "1.234"},
                    {123456.0L, 1, "123.456,0"},
                    {0.5L, 2, "0,50"},
                });
    UseSeparators('.', ',');
    EXPECT_EQ(FloatToFormattedText(1234567.891L, TFloatFormat::ffNumber, 18, 2), "1,234,567.89");
}

TEST_F(FloatText, OtherKinds)
{
    for (const int code : {0, 1, 2, 3, 4}) {
        const auto kind = static_cast<TFloatFormat>(code);
        EXPECT_EQ(FloatToFormattedText(Inf, kind, 4, 2), "INF");
        EXPECT_EQ(FloatToFormattedText(-Inf, kind, 4, 2), "-INF");
        EXPECT_EQ(FloatToFormattedText(-NaN, kind, 4, 2), "NAN");
    }
    EXPECT_EQ(FloatToFormattedText(0.125L, static_cast<TFloatFormat>(7), 4, 1), "0,125");
    EXPECT_EQ(FloatToFormattedText(0.125L, TFloatFormat::ffCurrency, 4, 2), "0,13");
    EXPECT_EQ(FloatToFormattedText(1234.5L, TFloatFormat::ffExponent, 4, 2), "1,235E+03");
    EXPECT_EQ(FloatToFormattedText(-0.00012L, TFloatFormat::ffExponent, 3, 0), "-1,20E-4");
    EXPECT_EQ(FloatToFormattedText(0.0L, TFloatFormat::ffExponent, 3, 2), "0,00E+00");
}

TEST(FloatToDecimal, DigitsExponentAndSign)
{
    const fw::TDecimalForm sixth = fw::FloatToDecimal(1.0L / 6, 18, fw::UnlimitedDecimals);
    EXPECT_EQ(sixth.Digits(), "166666666666666667");
    EXPECT_EQ(sixth.exponent, 0);
    const fw::TDecimalForm ten = fw::FloatToDecimal(-10.0L, 18, fw::UnlimitedDecimals);
    EXPECT_EQ(ten.Digits(), "1");
    EXPECT_EQ(ten.exponent, 2);  // the estimate was one low
    EXPECT_TRUE(ten.negative);
    EXPECT_EQ(fw::FloatToDecimal(0.25L, -3, fw::UnlimitedDecimals).Digits(), "");  // no digit kept
    // Zero, subnormals and values rounded away have no digits and no sign.
    for (const long double value : {-0.0L, std::numeric_limits<long double>::denorm_min(), -0.0004L}) {
        const fw::TDecimalForm zero = fw::FloatToDecimal(value, 18, 3);
        EXPECT_TRUE(zero.IsZero());
        EXPECT_EQ(zero.exponent, 0);
        EXPECT_FALSE(zero.negative);
    }
}

// Over the whole exponent range the digits must be a well-formed, accurate expansion: that
// catches a wrong decimal exponent estimate and overflow in the scaling.
TEST(FloatToDecimal, ExpansionIsAccurateOverTheWholeRange)
{
    for (int binaryExponent = -16382; binaryExponent <= 16383; binaryExponent += 3) {
        for (const long double mantissa : {1.0L, 1.2345678901234567890L, 1.9999999999999999999L}) {
            const long double value = std::ldexp(mantissa, binaryExponent);
            const fw::TDecimalForm form = fw::FloatToDecimal(value, 18, fw::UnlimitedDecimals);
            const std::string digits(form.Digits());
            ASSERT_TRUE(!digits.empty() && digits.size() <= 18 && digits.front() != '0' && digits.back() != '0')
                << binaryExponent << " " << digits;
            const std::string text = "0." + digits + "e" + std::to_string(form.exponent);
            ASSERT_LE(std::fabs(std::strtold(text.c_str(), nullptr) - value) / value, 1e-16L) << text;
        }
    }
}

TEST(DivideExtended, FaultsBecomeExceptions)
{
    try {
        fw::DivideExtended(0.0L, 0.0L);
        FAIL() << "no exception";
    } catch (const fw::EInvalidOp& error) {
        EXPECT_EQ(error.Message(), "Invalid floating point operation");
    }
    EXPECT_THROW(fw::DivideExtended(Inf, -Inf), fw::EInvalidOp);
    try {
        fw::DivideExtended(-1.0L, 0.0L);
        FAIL() << "no exception";
    } catch (const fw::EMathError& error) {
        EXPECT_NE(dynamic_cast<const fw::EZeroDivide*>(&error), nullptr);
        EXPECT_EQ(error.Message(), "Floating point division by zero");
    }
}

TEST(DivideExtended, OtherwiseTheExtendedQuotient)
{
    volatile long double one = 1.0L;  // keeps the reference quotient at run time
    EXPECT_EQ(fw::DivideExtended(1.0L, 6.0L), one / 6);
    EXPECT_EQ(fw::DivideExtended(Inf, 0.0L), Inf);
    EXPECT_EQ(fw::DivideExtended(1.0L, Inf), 0.0L);
    EXPECT_TRUE(std::isnan(fw::DivideExtended(NaN, 0.0L)));
}

}  // namespace
