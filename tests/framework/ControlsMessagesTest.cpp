// The typed message records read what the desktop layer and the framework's senders pack,
// signs included, and what a handler sets through a record reaches the sender.

#include <gtest/gtest.h>

#include <cstdint>

#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "framework/ControlsMessages.h"

namespace {

using namespace fw;

TEST(ControlsMessagesTest, PointsKeepTheirSignAcrossThePacking)
{
    for (const desktop::POINT p :
         {desktop::POINT{12, 34}, desktop::POINT{-5, 7}, desktop::POINT{3, -1}, desktop::POINT{-32768, 32767}}) {
        TMessage message{desktop::WM_MOUSEMOVE, desktop::MK_LBUTTON, PointToLParam(p), 0};
        const TWMMouse mouse(message);
        EXPECT_EQ(mouse.Pos(), p);
        EXPECT_EQ(mouse.XPos(), p.x);
        EXPECT_EQ(mouse.YPos(), p.y);
        EXPECT_EQ(TCMHitTest(message).Pos(), p);
    }
}

TEST(ControlsMessagesTest, SignedHalvesOfTheDesktopsPackingComeOutSigned)
{
    // The wheel's delta and a set-cursor hit code are signed 16-bit values in a word.
    TMessage wheel{desktop::WM_MOUSEWHEEL,
                   desktop::MAKEWPARAM(desktop::MK_CONTROL, desktop::WORD(std::int16_t(-2 * desktop::WHEEL_DELTA))),
                   PointToLParam({-20, 600}), 0};
    EXPECT_EQ(TWMMouseWheel(wheel).WheelDelta(), -2 * desktop::WHEEL_DELTA);
    EXPECT_EQ(TWMMouseWheel(wheel).Keys(), desktop::MK_CONTROL);
    EXPECT_EQ(TWMMouseWheel(wheel).Pos(), (desktop::POINT{-20, 600}));

    TMessage cursor{desktop::WM_SETCURSOR, 0,
                    desktop::MAKELPARAM(desktop::WORD(std::int16_t(desktop::HTERROR)), desktop::WM_LBUTTONDOWN), 0};
    EXPECT_EQ(TWMSetCursor(cursor).HitTest(), desktop::HTERROR);
    EXPECT_EQ(TWMSetCursor(cursor).MouseMsg(), desktop::WM_LBUTTONDOWN);

    TMessage command{desktop::WM_COMMAND, desktop::MAKEWPARAM(0xFFFE, desktop::EN_CHANGE), 0, 0};
    EXPECT_EQ(TWMCommand(command).ItemID(), 0xFFFE);
    EXPECT_EQ(TWMCommand(command).NotifyCode(), desktop::EN_CHANGE);
    EXPECT_EQ(TWMCommand(command).Ctl(), nullptr);

    TMessage size{desktop::WM_SIZE, desktop::SIZE_MAXIMIZED, desktop::MAKELPARAM(40000, 300), 0};
    EXPECT_EQ(TWMSize(size).Width(), 40000);  // sizes are unsigned
    EXPECT_EQ(TWMSize(size).Height(), 300);
    EXPECT_EQ(TWMSize(size).SizeType(), desktop::SIZE_MAXIMIZED);
}

TEST(ControlsMessagesTest, PointersComeBackAsTheSenderPackedThem)
{
    int control = 0;  // any object: the records never look through the pointers
    auto* sender = reinterpret_cast<TWinControl*>(&control);
    TMessage focus{CM_FOCUSCHANGED, 0, PointerToLParam(sender), 0};
    EXPECT_EQ(TCMFocusChanged(focus).Sender(), sender);
    TMessage childKey{CM_CHILDKEY, desktop::VK_TAB, PointerToLParam(sender), 0};
    EXPECT_EQ(TCMChildKey(childKey).Sender(), sender);
    EXPECT_EQ(TCMChildKey(childKey).CharCode(), desktop::VK_TAB);

    char buffer[8] = {};
    TMessage get{desktop::WM_GETTEXT, sizeof buffer, PointerToLParam(buffer), 0};
    EXPECT_EQ(TWMGetText(get).Text(), buffer);
    EXPECT_EQ(TWMGetText(get).TextMax(), sizeof buffer);

    const desktop::NMHDR header{nullptr, 7, desktop::TCN_SELCHANGE};
    TMessage notify{desktop::WM_NOTIFY, 7, PointerToLParam(&header), 0};
    EXPECT_EQ(TWMNotify(notify).NMHdr(), &header);
    EXPECT_EQ(TWMNotify(notify).IdCtrl(), 7u);

    TMessage enter{CM_MOUSEENTER, 0, 0, 0};
    EXPECT_EQ(TCMMouseEnter(enter).Control(), nullptr);  // the control itself
}

TEST(ControlsMessagesTest, WhatAHandlerSetsReachesTheMessage)
{
    TMessage key{desktop::WM_KEYDOWN, 'A', 1, 0};
    TWMKey record(key);
    record.SetCharCode(desktop::VK_RETURN);
    record.SetResult(1);
    EXPECT_EQ(key.WParam, desktop::VK_RETURN);
    EXPECT_EQ(key.Result, 1);
    EXPECT_EQ(key.LParam, 1);  // untouched
    EXPECT_EQ(&static_cast<TMessage&>(record), &key);

    // A copy is a second view of the same message, as a handler taking its record by value gets.
    TMessage character{desktop::WM_CHAR, 0xE9, 0, 0};
    const auto handler = [](TWMChar message) {
        message.SetCharCode(static_cast<desktop::WORD>(message.CharCode() + 1));
    };
    handler(TWMChar(character));
    EXPECT_EQ(character.WParam, 0xEAu);

    TMessage color{desktop::WM_CTLCOLOREDIT, 0, 0, 0};
    int brush = 0;
    TWMCtlColor(color).SetBrush(reinterpret_cast<desktop::HBRUSH>(&brush));
    EXPECT_EQ(color.Result, PointerToResult(&brush));
}

}  // namespace
