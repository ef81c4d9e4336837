#pragma once

// Typed message records: a message's parameters read (and, where a handler answers through
// them, written) by name. A record is a view of the raw TMessage that a window procedure or
// Perform built and only holds a pointer to it: handlers take records by value, like a span,
// at no cost beyond the raw accesses, and what a handler sets goes straight into the message.
// A record converts to TMessage& so that a handler can pass the message on unchanged
// (DefaultHandler, Broadcast, a parent's WindowProc).
//
// Dispatch builds the record each handler takes. Senders pack pointers and points with the
// helpers of ClassesMessageParams.h, which is what the records here unpack.

#include <cstddef>
#include <cstdint>

#include "desktop/GdiObjects.h"
#include "desktop/Types.h"
#include "framework/ClassesMessageParams.h"
#include "framework/ControlsTypes.h"

namespace fw {

class TControl;
class TWinControl;

// What every record has: the message number, the result and the raw message.
class TMessageRecord {
public:
    explicit TMessageRecord(TMessage& message) : message_(&message) {}

    desktop::UINT Msg() const { return message_->Msg; }
    desktop::LRESULT Result() const { return message_->Result; }
    void SetResult(desktop::LRESULT value) { message_->Result = value; }
    operator TMessage&() const { return *message_; }

protected:
    desktop::WPARAM WParam() const { return message_->WParam; }
    desktop::LPARAM LParam() const { return message_->LParam; }
    void SetWParam(desktop::WPARAM value) { message_->WParam = value; }

private:
    TMessage* message_;
};

// A message whose parameters no handler reads (most framework notifications, WM_CANCELMODE,
// WM_GETDLGCODE, WM_CLOSE …); a handler answers through the result, if at all. A message gets
// a record of its own once a handler needs one of its parameters.
class TWMNoParams : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;
};

// ---- Keyboard ----

// WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP and their CN_ copies; CM_DIALOGKEY and
// CM_WANTSPECIALKEY carry the same parameters.
class TWMKey : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The virtual key. Setting it changes the key the rest of the handling sees.
    desktop::WORD CharCode() const { return static_cast<desktop::WORD>(WParam()); }
    void SetCharCode(desktop::WORD key) { SetWParam(key); }
    // Repeat count, scan code and flags; passed on with the key.
    desktop::LPARAM KeyData() const { return LParam(); }
    // Shift and Ctrl as held now, Alt as the key data says.
    TShiftState ShiftState() const { return KeyDataToShiftState(LParam()); }
};
using TCMDialogKey = TWMKey;
using TCMWantSpecialKey = TWMKey;

// WM_CHAR, WM_SYSCHAR and their CN_ copies; CM_DIALOGCHAR carries the same parameters.
class TWMChar : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The character: one byte of the code page. Setting it changes the character the rest of
    // the handling sees.
    desktop::WORD CharCode() const { return static_cast<desktop::WORD>(WParam()); }
    void SetCharCode(desktop::WORD code) { SetWParam(code); }
    desktop::LPARAM KeyData() const { return LParam(); }
};
using TCMDialogChar = TWMChar;

// CM_CHILDKEY: a key on its way to a control, offered to the control's parents first.
class TCMChildKey : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    desktop::WORD CharCode() const { return static_cast<desktop::WORD>(WParam()); }
    // The control the key is for.
    TWinControl* Sender() const { return LParamToPointer<TWinControl*>(LParam()); }
};

// ---- Mouse ----

// The button and move messages, WM_MOUSEMOVE to WM_MBUTTONDBLCLK.
class TWMMouse : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // In the receiving control's client coordinates.
    desktop::POINT Pos() const { return LParamToPoint(LParam()); }
    int XPos() const { return Pos().x; }
    int YPos() const { return Pos().y; }
    // The MK_ flags of the buttons and keys held.
    desktop::WPARAM Keys() const { return WParam(); }
    TShiftState ShiftState() const { return KeysToShiftState(WParam()); }
};

// WM_MOUSEWHEEL.
class TWMMouseWheel : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // In multiples of WHEEL_DELTA; positive when the wheel turns away from the user.
    int WheelDelta() const { return std::int16_t(desktop::HIWORD(WParam())); }
    // The MK_ flags of the buttons and keys held.
    desktop::WORD Keys() const { return desktop::LOWORD(WParam()); }
    // In screen coordinates.
    desktop::POINT Pos() const { return LParamToPoint(LParam()); }
};

// CM_HITTEST: Result non-zero when the point hits the control.
class TCMHitTest : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // In the control's client coordinates.
    desktop::POINT Pos() const { return LParamToPoint(LParam()); }
};

// CM_MOUSEENTER and CM_MOUSELEAVE.
class TCMMouseEnter : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The control the mouse entered or left; null when it is the receiving control itself.
    TControl* Control() const { return LParamToPointer<TControl*>(LParam()); }
};
using TCMMouseLeave = TCMMouseEnter;

// WM_SETCURSOR: Result non-zero once the cursor is set.
class TWMSetCursor : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The window under the mouse.
    desktop::HWND CursorWnd() const { return WParamToPointer<desktop::HWND>(WParam()); }
    // Where in that window the mouse is (HTCLIENT …; negative for the error codes).
    std::int16_t HitTest() const { return std::int16_t(desktop::LOWORD(static_cast<std::uintptr_t>(LParam()))); }
    // The mouse message that asks.
    desktop::WORD MouseMsg() const { return desktop::HIWORD(static_cast<std::uintptr_t>(LParam())); }
};

// WM_CONTEXTMENU.
class TWMContextMenu : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The window clicked.
    desktop::HWND Wnd() const { return WParamToPointer<desktop::HWND>(WParam()); }
    // In screen coordinates; (-1, -1) when the menu was asked for from the keyboard.
    desktop::POINT Pos() const { return LParamToPoint(LParam()); }
};

// ---- Focus and activation ----

// WM_SETFOCUS and WM_KILLFOCUS.
class TWMSetFocus : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The window on the other side of the change: the one that lost the focus (WM_SETFOCUS)
    // or the one that gets it (WM_KILLFOCUS); may be null.
    desktop::HWND FocusedWnd() const { return WParamToPointer<desktop::HWND>(WParam()); }
};
using TWMKillFocus = TWMSetFocus;

// CM_FOCUSCHANGED, broadcast through a form when the focus has moved.
class TCMFocusChanged : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The control that now has the focus.
    TWinControl* Sender() const { return LParamToPointer<TWinControl*>(LParam()); }
};

// WM_ACTIVATE.
class TWMActivate : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE.
    desktop::WORD Active() const { return desktop::LOWORD(WParam()); }
};

// WM_ACTIVATEAPP.
class TWMActivateApp : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // True when the program becomes the active one, false when it stops being it.
    bool Active() const { return WParam() != 0; }
};

// WM_NEXTDLGCTL: either a window to focus or a step through the tab order.
class TWMNextDlgCtl : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // True when the message names the window to focus (Target), else it asks for a step.
    bool TargetGiven() const { return LParam() != 0; }
    desktop::HWND Target() const { return WParamToPointer<desktop::HWND>(WParam()); }
    // The step goes to the previous control rather than the next.
    bool Backward() const { return WParam() != 0; }
};

// ---- Commands and notifications from child windows ----

// WM_COMMAND and CN_COMMAND.
class TWMCommand : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    desktop::WORD ItemID() const { return desktop::LOWORD(WParam()); }
    // BN_CLICKED, EN_CHANGE …
    desktop::WORD NotifyCode() const { return desktop::HIWORD(WParam()); }
    // The child window that sent it; null for menus and accelerators.
    desktop::HWND Ctl() const { return LParamToPointer<desktop::HWND>(LParam()); }
};

// WM_NOTIFY and CN_NOTIFY.
class TWMNotify : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    std::uintptr_t IdCtrl() const { return WParam(); }
    // Sender and notification code; may be null in a malformed message.
    const desktop::NMHDR* NMHdr() const { return LParamToPointer<const desktop::NMHDR*>(LParam()); }
};

// WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC and their CN_ copies.
class TWMCtlColor : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The DC the child paints with; set its colours there.
    desktop::HDC ChildDC() const { return WParamToPointer<desktop::HDC>(WParam()); }
    desktop::HWND ChildWnd() const { return LParamToPointer<desktop::HWND>(LParam()); }
    // The answer: the brush the child fills its background with.
    void SetBrush(desktop::HBRUSH brush) { SetResult(PointerToResult(brush)); }
};

// WM_SYSCOMMAND.
class TWMSysCommand : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // SC_MINIMIZE, SC_RESTORE …; the low four bits belong to the system.
    desktop::WPARAM CmdType() const { return WParam() & 0xFFF0; }
};

// ---- Window geometry ----

// WM_SIZE.
class TWMSize : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED.
    desktop::WPARAM SizeType() const { return WParam(); }
    // The new client size.
    int Width() const { return desktop::LOWORD(static_cast<std::uintptr_t>(LParam())); }
    int Height() const { return desktop::HIWORD(static_cast<std::uintptr_t>(LParam())); }
};

// WM_WINDOWPOSCHANGED.
class TWMWindowPosChanged : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    const desktop::WINDOWPOS* WindowPos() const { return LParamToPointer<const desktop::WINDOWPOS*>(LParam()); }
};

// ---- Painting ----

// WM_PAINT and WM_ERASEBKGND.
class TWMPaint : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The DC to paint on. For WM_PAINT null means the window's own paint cycle; a graphic
    // control gets its parent's DC, offset and clipped to its bounds.
    desktop::HDC DC() const { return WParamToPointer<desktop::HDC>(WParam()); }
};
using TWMEraseBkgnd = TWMPaint;

// ---- Text ----

// WM_GETTEXT: Result is the number of characters copied, without the terminating zero.
class TWMGetText : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // The buffer's size in characters, room for the terminating zero included.
    std::size_t TextMax() const { return WParam(); }
    char* Text() const { return LParamToPointer<char*>(LParam()); }
};

// WM_SETTEXT.
class TWMSetText : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    // Zero-terminated; null stands for the empty text.
    const char* Text() const { return LParamToPointer<const char*>(LParam()); }
};

// ---- Timers and changes ----

// WM_TIMER.
class TWMTimer : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    std::uintptr_t TimerID() const { return WParam(); }
};

// CM_CHANGED, which a control sends itself when its value changed.
class TCMChanged : public TMessageRecord {
public:
    using TMessageRecord::TMessageRecord;

    TControl* Control() const { return LParamToPointer<TControl*>(LParam()); }
};

}  // namespace fw
