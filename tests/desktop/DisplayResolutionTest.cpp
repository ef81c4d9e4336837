// The display resolution: where a backend takes it from, and what device contexts report.
#include <gtest/gtest.h>

#include <array>

#include "desktop/Gdi.h"
#include "desktop/System.h"
#include "desktop/Window.h"
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

TEST(DisplayResolution, CaptionsFramesAndTheirFontsGrowWithItButLinesAndIconsDoNot)
{
    const auto measure = [] {
        NonClientFonts fonts;
        GetNonClientFonts(fonts);
        return std::array<int, 7>{GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CXFRAME),
                                  GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CXBORDER),
                                  GetSystemMetrics(SM_CXICON),    int(fonts.captionFontHeight),
                                  int(fonts.messageFontHeight)};
    };
    headless::Install();
    const std::array<int, 7> classic = measure();
    EXPECT_EQ(classic, (std::array<int, 7>{19, 4, 16, 1, 32, -11, -11}));
    headless::Uninstall();

    headless::Install(SIZE{800, 600}, 192);
    EXPECT_EQ(measure(), (std::array<int, 7>{38, 8, 32, 1, 32, -22, -22}));
    EXPECT_EQ(NonClientInsets(WS_OVERLAPPEDWINDOW, 0, true), (RECT{8, 8 + 38, 8, 8}));
    headless::Uninstall();

    headless::Install(SIZE{800, 600}, 144);
    EXPECT_EQ(measure(), (std::array<int, 7>{29, 6, 24, 1, 32, -17, -17}));  // halves round away from 0
    headless::Uninstall();
}

}  // namespace
}  // namespace desktop
