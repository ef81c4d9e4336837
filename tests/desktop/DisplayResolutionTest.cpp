// The display resolution: where a backend takes it from, and what device contexts report.
#include <gtest/gtest.h>

#include "desktop/Gdi.h"
#include "desktop/System.h"
#include "desktop/backends/Headless.h"

namespace desktop {
namespace {

TEST(DisplayResolution, ScaleSettingsOverrideTheDisplayAndTheProgramsOwnWins)
{
    EXPECT_EQ(PixelsPerInchFor(nullptr, nullptr, 109.6), 110);  // the display's own figure, rounded
    EXPECT_EQ(PixelsPerInchFor(nullptr, nullptr, 0), 96);       // unknown
    EXPECT_EQ(PixelsPerInchFor(nullptr, "2", 109.6), 192);
    EXPECT_EQ(PixelsPerInchFor("1.5", "2", 109.6), 144);
    EXPECT_EQ(PixelsPerInchFor("1.25", nullptr, 0), 120);
    EXPECT_EQ(PixelsPerInchFor("3", nullptr, 0), 288);
}

TEST(DisplayResolution, InvalidScalesAreIgnored)
{
    for (const char* bad : {"", "abc", "2x", "1,5", "-1", "0", "0.0", "1e1", "99", ".", " 2"}) {
        EXPECT_EQ(PixelsPerInchFor(bad, nullptr, 120), 120) << '"' << bad << '"';
        EXPECT_EQ(PixelsPerInchFor(bad, "2", 120), 192) << '"' << bad << '"';  // falls through to the next
    }
    EXPECT_EQ(PixelsPerInchFor(nullptr, nullptr, -5), 96);
    EXPECT_EQ(PixelsPerInchFor(nullptr, nullptr, 1e9), 96);
}

TEST(DisplayResolution, DeviceContextsReportTheHeadlessScreensResolution)
{
    const auto logPixels = [] {
        HDC dc = CreateCompatibleDC(nullptr);
        const SIZE result{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
        DeleteDC(dc);
        return result;
    };
    headless::Install();
    EXPECT_EQ(logPixels(), (SIZE{96, 96}));
    headless::Uninstall();

    headless::Install(SIZE{800, 600}, 192);
    EXPECT_EQ(logPixels(), (SIZE{192, 192}));
    headless::Uninstall();
    EXPECT_EQ(logPixels(), (SIZE{96, 96}));  // nothing carries over to the next screen
}

}  // namespace
}  // namespace desktop
