// Which video drivers the SDL backend tries when the user names none.
#include <gtest/gtest.h>

#include "desktop/backends/Sdl.h"

namespace desktop::sdl {
namespace {

TEST(SdlVideoDrivers, OnlyTheDisplaysTheEnvironmentAnnounces)
{
    EXPECT_EQ(DesktopVideoDrivers(nullptr, nullptr), "");
    EXPECT_EQ(DesktopVideoDrivers("", ""), "");
    EXPECT_EQ(DesktopVideoDrivers(":0", nullptr), "x11");
    EXPECT_EQ(DesktopVideoDrivers(nullptr, "wayland-0"), "wayland");
    EXPECT_EQ(DesktopVideoDrivers(":0", "wayland-0"), "x11,wayland");
}

}  // namespace
}  // namespace desktop::sdl
