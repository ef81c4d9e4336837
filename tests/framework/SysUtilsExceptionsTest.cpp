#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(Exceptions, MessagesAndFamilies)
{
    fw::EConvertError error("first");
    error.SetMessage("second");
    EXPECT_STREQ(static_cast<const std::exception&>(error).what(), "second");
    EXPECT_EQ(fw::EInvalidOp().Message(), "Invalid floating point operation");
    EXPECT_EQ(fw::EZeroDivide().Message(), "Floating point division by zero");
    EXPECT_THROW(throw fw::EZeroDivide(), fw::EMathError);
    try {
        fw::Abort();
    } catch (const fw::Exception& aborted) {
        EXPECT_NE(dynamic_cast<const fw::EAbort*>(&aborted), nullptr);
        EXPECT_EQ(aborted.Message(), "Operation aborted");
    }
}

TEST(FormatMessage1, ReplacesOnlyTheFirstPlaceholder)
{
    EXPECT_EQ(fw::FormatMessage1(fw::SInvalidInteger, ""), "'' is not a valid integer value");
    EXPECT_EQ(fw::FormatMessage1("%s and %s", "a"), "a and %s");
    EXPECT_EQ(fw::FormatMessage1("%s", "%s"), "%s");  // the argument is not expanded again
    EXPECT_EQ(fw::FormatMessage1("100%", "a"), "100%");
}

}  // namespace
