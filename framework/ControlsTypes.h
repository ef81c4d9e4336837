#pragma once

// Vocabulary shared by the control classes: messages as the control framework passes them
// around, shift states and mouse buttons, control style and state flags, the framework's own
// notification messages, cursors and the window creation parameters.

#include <cstdint>
#include <functional>
#include <string>

#include "desktop/Types.h"
#include "desktop/Window.h"

namespace fw {

class TObject;

// One window message on its way through a control: WndProc, Dispatch, the handlers and
// DefaultHandler all read and write the same record; Result goes back to the sender.
struct TMessage {
    desktop::UINT Msg = 0;
    desktop::WPARAM WParam = 0;
    desktop::LPARAM LParam = 0;
    desktop::LRESULT Result = 0;
};

enum TShiftStateFlag : std::uint8_t {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = std::uint8_t;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// What a control class is (set by its constructor).
enum TControlStyleFlag : std::uint32_t {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csDesignInteractive = 1u << 2,
    csClickEvents = 1u << 3,
    csFramed = 1u << 4,
    csSetCaption = 1u << 5,
    csOpaque = 1u << 6,
    csDoubleClicks = 1u << 7,
    csFixedWidth = 1u << 8,
    csFixedHeight = 1u << 9,
    csNoDesignVisible = 1u << 10,
    csReplicatable = 1u << 11,
    csNoStdEvents = 1u << 12,
    csDisplayDragImage = 1u << 13,
    csReflector = 1u << 14,
    csActionClient = 1u << 15,
    csMenuEvents = 1u << 16,
};
using TControlStyle = std::uint32_t;
// What TControl starts with.
inline constexpr TControlStyle DefaultControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

// What a control is doing right now.
enum TControlStateFlag : std::uint32_t {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csPalette = 1u << 2,
    csReadingState = 1u << 3,
    csAlignmentNeeded = 1u << 4,
    csFocusing = 1u << 5,
    csCreating = 1u << 6,
    csPaintCopy = 1u << 7,
    csCustomPaint = 1u << 8,
    csDestroyingHandle = 1u << 9,
    csDocking = 1u << 10,
};
using TControlState = std::uint32_t;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Cursor numbers: the predefined ones are negative, programs register positive ones with
// the screen. A cursor handle is the desktop layer's cursor identifier.
using TCursor = std::int16_t;
using HCURSOR = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
// "crIBeam" → -4 for the layout reader; false for an unknown name.
bool IdentToCursor(std::string_view ident, std::int32_t& cursor);

// The framework's notification messages; the records of ControlsMessages.h read their
// parameters.
inline constexpr desktop::UINT CM_BASE = 0xB000;
inline constexpr desktop::UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr desktop::UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr desktop::UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr desktop::UINT CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr desktop::UINT CM_CANCELMODE = CM_BASE + 4;
// TCMDialogKey, TCMDialogChar. Result non-zero: handled.
inline constexpr desktop::UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr desktop::UINT CM_DIALOGCHAR = CM_BASE + 6;
// TCMFocusChanged: the control that now has the focus.
inline constexpr desktop::UINT CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr desktop::UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr desktop::UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
// TCMHitTest. Result non-zero: the point hits the control.
inline constexpr desktop::UINT CM_HITTEST = CM_BASE + 10;
inline constexpr desktop::UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr desktop::UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr desktop::UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr desktop::UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr desktop::UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr desktop::UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr desktop::UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr desktop::UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr desktop::UINT CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr desktop::UINT CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr desktop::UINT CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr desktop::UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr desktop::UINT CM_ENTER = CM_BASE + 26;
inline constexpr desktop::UINT CM_EXIT = CM_BASE + 27;
inline constexpr desktop::UINT CM_ICONCHANGED = CM_BASE + 29;
// TCMWantSpecialKey. Result non-zero: the control wants the key itself.
inline constexpr desktop::UINT CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr desktop::UINT CM_RELEASE = CM_BASE + 33;
inline constexpr desktop::UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr desktop::UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr desktop::UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr desktop::UINT CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr desktop::UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
// TCMChildKey. Result non-zero: claimed.
inline constexpr desktop::UINT CM_CHILDKEY = CM_BASE + 46;
inline constexpr desktop::UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr desktop::UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr desktop::UINT CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr desktop::UINT CM_CHANGED = CM_BASE + 55;
inline constexpr desktop::UINT CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr desktop::UINT CM_MOUSEWHEEL = CM_BASE + 67;
// First number free for component families' own notifications.
inline constexpr desktop::UINT CM_USER = CM_BASE + 0x400;

// Copies of window messages handed to the control they concern: key messages before
// translation (the key pre-check), and WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* reflected
// from the parent to the child that sent them.
inline constexpr desktop::UINT CN_BASE = 0xBC00;
inline constexpr desktop::UINT CN_COMMAND = CN_BASE + desktop::WM_COMMAND;
inline constexpr desktop::UINT CN_NOTIFY = CN_BASE + desktop::WM_NOTIFY;
inline constexpr desktop::UINT CN_KEYDOWN = CN_BASE + desktop::WM_KEYDOWN;
inline constexpr desktop::UINT CN_KEYUP = CN_BASE + desktop::WM_KEYUP;
inline constexpr desktop::UINT CN_CHAR = CN_BASE + desktop::WM_CHAR;
inline constexpr desktop::UINT CN_SYSKEYDOWN = CN_BASE + desktop::WM_SYSKEYDOWN;
inline constexpr desktop::UINT CN_SYSCHAR = CN_BASE + desktop::WM_SYSCHAR;
inline constexpr desktop::UINT CN_CTLCOLOREDIT = CN_BASE + desktop::WM_CTLCOLOREDIT;
inline constexpr desktop::UINT CN_CTLCOLORBTN = CN_BASE + desktop::WM_CTLCOLORBTN;
inline constexpr desktop::UINT CN_CTLCOLORSTATIC = CN_BASE + desktop::WM_CTLCOLORSTATIC;

// Event signatures besides TNotifyEvent.
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, desktop::WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// Shift state of a mouse message's key flags (Alt from the key state).
TShiftState KeysToShiftState(desktop::WPARAM keys);
// Shift state of a key message's key data (Shift and Ctrl from the key state).
TShiftState KeyDataToShiftState(desktop::LPARAM keyData);

// What CreateWnd creates. A control wrapping a standard window class calls
// CreateSubClass(params, "BUTTON") from its CreateParams: the standard class procedure then
// handles everything the control does not.
struct TCreateParams {
    std::string Caption;
    desktop::DWORD Style = 0;
    desktop::DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    desktop::HWND WndParent = nullptr;
    void* Param = nullptr;
    // lpfnWndProc is the default handling for the control's messages.
    desktop::WNDCLASS WindowClass;
    // Registered for the control class (the class name unless changed).
    std::string WinClassName;
};

// Takes over class style, cursor, background and window procedure of a registered window
// class; fails with EOutOfResources when there is no such class.
void CreateSubClass(TCreateParams& params, const std::string& standardClassName);

}  // namespace fw
