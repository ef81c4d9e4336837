#include <gtest/gtest.h>

#include "desktop/Resources.h"
#include "framework/ResStrings.h"
#include "framework/SysUtils.h"

namespace {

TEST(ResStrings, TextsComeFromTheStringTable)
{
    EXPECT_EQ(fw::SMsgDlgOK.Text(), "OK");
    EXPECT_EQ(fw::SMsgDlgNoToAll.Text(), "N&o to All");
    EXPECT_EQ(std::string(fw::SInvalidBitmap), "Bitmap image is not valid");
    EXPECT_EQ(fw::LoadResString(1), "");

    // Messages are looked up when raised, so a changed entry shows in the next failure.
    const std::string original = fw::SInvalidInteger;
    desktop::RegisterString(fw::SInvalidInteger.id, "no number: %s");
    std::string message;
    try {
        fw::TextToInteger("1x");
    } catch (const fw::EConvertError& e) {
        message = e.Message();
    }
    desktop::RegisterString(fw::SInvalidInteger.id, original);
    EXPECT_EQ(message, "no number: 1x");
}

}  // namespace
