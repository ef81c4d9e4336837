// The standard controls ("BUTTON", "EDIT", "SysTabControl32"), popup menus and
// the system message box, with the constants and structures they take beyond Types.h.
#pragma once

#include <string>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

// Registers the built-in classes (the controls, the popup menu and the message box) at once;
// calling it again does nothing. Optional: CreateWindowEx and GetClassInfo register each of
// them on first use.
void RegisterStandardControls();

constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(DWORD(lo) | (DWORD(hi) << 16)); }

inline constexpr const char* kButtonClass = "BUTTON";
inline constexpr const char* kEditClass = "EDIT";
inline constexpr const char* kTabControlClass = "SysTabControl32";

// ---- Buttons ----
enum : DWORD { BS_TYPEMASK = 0x0000000F };
enum : LRESULT { BST_UNCHECKED = 0x0000, BST_CHECKED = 0x0001, BST_PUSHED = 0x0004, BST_FOCUS = 0x0008 };

// ---- Edits ----
enum : UINT { EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602 };
enum : WPARAM { EC_LEFTMARGIN = 0x0001, EC_RIGHTMARGIN = 0x0002, EC_USEFONTINFO = 0xFFFF };

// ---- Tab control ----
enum : DWORD {
    TCS_TABS = 0x0000,
    TCS_SINGLELINE = 0x0000,
    TCS_MULTILINE = 0x0200,  // accepted; tabs are always laid out in one row
    TCS_FOCUSONBUTTONDOWN = 0x1000,
    TCS_FOCUSNEVER = 0x8000,
};
enum : UINT {
    TCM_GETITEM = TCM_FIRST + 5,
    TCM_SETITEMSIZE = TCM_FIRST + 41,
    TCM_GETROWCOUNT = TCM_FIRST + 44,
    TCM_GETCURFOCUS = TCM_FIRST + 47,
    TCM_SETCURFOCUS = TCM_FIRST + 48
};
enum : UINT { TCIF_TEXT = 0x0001, TCIF_IMAGE = 0x0002, TCIF_PARAM = 0x0008, TCIF_STATE = 0x0010 };
enum : UINT {
    TCHT_NOWHERE = 0x0001,
    TCHT_ONITEMICON = 0x0002,
    TCHT_ONITEMLABEL = 0x0004,
    TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL
};

// pszText is read by TCM_INSERTITEM and TCM_SETITEM; TCM_GETITEM writes the
// caption into textBuffer (cchTextMax bytes, zero-terminated) when it is given.
struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    const char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
    char* textBuffer = nullptr;
};

struct TCHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
};

// ---- Popup menus ----
// A menu handle is an HMENU (the integer type that also carries child ids): a
// number handed out by the menu registry, never a pointer, so a stale or made-up
// handle is recognised and refused.
enum : UINT {
    MF_STRING = 0x0000,
    MF_ENABLED = 0x0000,
    MF_UNCHECKED = 0x0000,
    MF_BYCOMMAND = 0x0000,
    MF_GRAYED = 0x0001,
    MF_DISABLED = 0x0002,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_BYPOSITION = 0x0400,
    MF_SEPARATOR = 0x0800,
    MF_DEFAULT = 0x1000,
    MF_HILITE = 0x0080,
};
constexpr UINT kMenuFailed = 0xFFFFFFFFu;  // GetMenuState / EnableMenuItem / CheckMenuItem: no such item

enum : UINT {
    TPM_LEFTBUTTON = 0x0000,
    TPM_RIGHTBUTTON = 0x0002,
    TPM_LEFTALIGN = 0x0000,
    TPM_CENTERALIGN = 0x0004,
    TPM_RIGHTALIGN = 0x0008,
    TPM_TOPALIGN = 0x0000,
    TPM_VCENTERALIGN = 0x0010,
    TPM_BOTTOMALIGN = 0x0020,
    TPM_NONOTIFY = 0x0080,
    TPM_RETURNCMD = 0x0100,
};
enum : UINT { WM_UNINITMENUPOPUP = 0x0125 };

HMENU CreatePopupMenu();
bool DestroyMenu(HMENU menu);  // with its submenus
bool IsMenu(HMENU menu);
// With MF_POPUP, id is the HMENU of the submenu, which then belongs to this menu.
bool AppendMenu(HMENU menu, UINT flags, std::uintptr_t id, const std::string& text);
bool InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t id, const std::string& text);
bool DeleteMenu(HMENU menu, UINT position, UINT flags);  // destroys a submenu at that place
bool RemoveMenu(HMENU menu, UINT position, UINT flags);  // leaves a submenu alive
// Return the previous MF_GRAYED|MF_DISABLED (or MF_CHECKED) bits, kMenuFailed when there is no such item.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);  // -1 for an invalid menu
// -1 for a submenu item or an invalid position; 0 for a separator.
UINT GetMenuItemID(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
HMENU GetSubMenu(HMENU menu, int position);
std::string GetMenuString(HMENU menu, UINT item, UINT flags);

// Shows the menu at the screen point and runs its modal loop. With TPM_RETURNCMD
// it returns the chosen id (0 when cancelled); otherwise the choice is posted to
// the owner as WM_COMMAND and the result is non-zero unless the menu could not be shown.
int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* excludeRect);
// Screen rectangle of an item while its menu is shown by TrackPopupMenu (hwnd may be null).
bool GetMenuItemRect(HWND hwnd, HMENU menu, UINT position, RECT* out);
// The innermost popup window shown by TrackPopupMenu, or null.
HWND GetOpenPopupMenuWindow();

// ---- Message box ----
enum : UINT {
    MB_OK = 0x00000000,
    MB_OKCANCEL = 0x00000001,
    MB_ABORTRETRYIGNORE = 0x00000002,
    MB_YESNOCANCEL = 0x00000003,
    MB_YESNO = 0x00000004,
    MB_RETRYCANCEL = 0x00000005,
    MB_TYPEMASK = 0x0000000F,
    MB_ICONHAND = 0x00000010,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONSTOP = MB_ICONHAND,
    MB_ICONQUESTION = 0x00000020,
    MB_ICONEXCLAMATION = 0x00000030,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONASTERISK = 0x00000040,
    MB_ICONINFORMATION = MB_ICONASTERISK,
    MB_ICONMASK = 0x000000F0,
    MB_DEFBUTTON1 = 0x00000000,
    MB_DEFBUTTON2 = 0x00000100,
    MB_DEFBUTTON3 = 0x00000200,
    MB_DEFMASK = 0x00000F00,
    MB_APPLMODAL = 0x00000000,
    MB_SYSTEMMODAL = 0x00001000,
    MB_TASKMODAL = 0x00002000,
    MB_SETFOREGROUND = 0x00010000,
    MB_TOPMOST = 0x00040000,
    MB_RIGHT = 0x00080000,
    MB_RTLREADING = 0x00100000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Shows a modal box and returns the id of the button that closed it; 0 when it could not be shown.
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

enum class MessageBoxIcon { None, Error, Question, Warning, Information };

// The system's message icons by their usual identifiers.
enum : int { IDI_HAND = 32513, IDI_QUESTION = 32514, IDI_EXCLAMATION = 32515, IDI_ASTERISK = 32516 };
// Draws a system message icon 32 x 32 with its top-left at (x, y), leaving the pixels outside
// its shape (the corners among them) untouched; false for an unknown identifier.
bool DrawSystemIcon(HDC dc, int iconId, int x, int y);

struct MessageBoxButton {
    int id = 0;
    std::string caption;
    HWND hwnd = nullptr;
};

struct MessageBoxInfo {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    MessageBoxIcon icon = MessageBoxIcon::None;
    std::vector<MessageBoxButton> buttons;  // left to right
    int defaultButton = 0;                  // id
    RECT iconRect{};                        // client coordinates; empty without an icon
    RECT textRect{};                        // client coordinates
};

// The innermost message box now shown, or null.
HWND GetOpenMessageBox();
bool GetMessageBoxInfo(HWND box, MessageBoxInfo* out);

}  // namespace desktop
