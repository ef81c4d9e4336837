// What the SDL backend tells the window manager about a window, from its styles,
// and which video drivers it tries when the user names none.
#include <gtest/gtest.h>

#include "desktop/backends/Sdl.h"

namespace desktop::sdl {
namespace {

TEST(SdlWindowHints, DialogFramesBecomeFixedDialogsWithOnlyAClose)
{
    // The system message box, and a form with a dialog border style.
    const WindowManagerHints box =
        HintsForStyles(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, WS_EX_DLGMODALFRAME, true);
    const WindowManagerHints form = HintsForStyles(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                                   WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, true);
    for (const WindowManagerHints& h : {box, form}) {
        EXPECT_TRUE(h.framed);
        EXPECT_TRUE(h.dialog);
        EXPECT_FALSE(h.resizable);
        EXPECT_FALSE(h.minimizeButton);
        EXPECT_FALSE(h.maximizeButton);
        EXPECT_TRUE(h.closeButton);
        EXPECT_FALSE(h.popupMenu);
    }
}

TEST(SdlWindowHints, MainWindowFramesKeepTheirButtons)
{
    // A caption alone carries WS_DLGFRAME: that must not make a dialog.
    const DWORD buttons = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const WindowManagerHints sizeable = HintsForStyles(buttons | WS_THICKFRAME, 0, true);
    EXPECT_FALSE(sizeable.dialog);
    EXPECT_TRUE(sizeable.resizable);
    EXPECT_TRUE(sizeable.minimizeButton && sizeable.maximizeButton && sizeable.closeButton);

    const WindowManagerHints single = HintsForStyles(buttons | WS_BORDER, 0, true);
    EXPECT_FALSE(single.dialog);
    EXPECT_FALSE(single.resizable);
    EXPECT_TRUE(single.minimizeButton && single.maximizeButton);

    // Without the system menu the caption has no buttons at all.
    const WindowManagerHints bare = HintsForStyles(WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, false);
    EXPECT_FALSE(bare.minimizeButton || bare.maximizeButton || bare.closeButton);
}

TEST(SdlWindowHints, FramelessWindowsAreMenusOnlyWhenOwned)
{
    const WindowManagerHints dropDown = HintsForStyles(WS_POPUP | WS_BORDER, 0, true);
    EXPECT_FALSE(dropDown.framed);
    EXPECT_TRUE(dropDown.popupMenu);
    EXPECT_FALSE(dropDown.dialog);
    EXPECT_FALSE(HintsForStyles(WS_POPUP, 0, false).popupMenu);
    // A dialog frame without a caption is drawn by the window itself.
    EXPECT_FALSE(HintsForStyles(WS_POPUP | WS_DLGFRAME, WS_EX_DLGMODALFRAME, true).dialog);
}

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
