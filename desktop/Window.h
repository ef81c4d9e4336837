// Windows, window classes and the window tree of the desktop layer.
#pragma once

#include <string>
#include <string_view>

#include "desktop/Types.h"

namespace desktop {

class Region;

enum : UINT { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_SAVEBITS = 0x0800 };

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    int hCursor = 0;                  // cursor identifier (IDC_*), 0 for none
    std::intptr_t hbrBackground = 0;  // COLOR_* + 1, or 0 for none
    std::string lpszClassName;
};

// Cursor identifiers as the original numbers them.
enum : int {
    IDC_ARROW = 32512,
    IDC_IBEAM = 32513,
    IDC_WAIT = 32514,
    IDC_CROSS = 32515,
    IDC_UPARROW = 32516,
    IDC_SIZEALL = 32646,
    IDC_NO = 32648,
    IDC_HAND = 32649
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HMENU hMenu = 0;
    HWND hwndParent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    DWORD style = 0;
    std::string lpszName;
    std::string lpszClass;
    DWORD dwExStyle = 0;
};

constexpr int CW_USEDEFAULT = int(0x80000000);

// Returns false when a class of that name exists (names compare case-insensitively).
bool RegisterClass(const WNDCLASS& cls);
bool UnregisterClass(const std::string& name);
// GetClassInfo and CreateWindowEx also know the built-in classes of Controls.h, which register
// themselves on first use.
bool GetClassInfo(const std::string& name, WNDCLASS* out);
std::string GetClassName(HWND hwnd);

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId, void* param);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Every message passes here, often more than once: kept inline.
inline LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProc(hwnd, msg, wParam, lParam);
}

std::intptr_t GetWindowLongPtr(HWND hwnd, int index);
std::intptr_t SetWindowLongPtr(HWND hwnd, int index, std::intptr_t value);
// Properties are keyed by atom: a name registered once (names equal apart from ASCII case share
// one atom, 0 for an empty name). Code that reads a property per message keeps its atom; the
// forms taking a name look the atom up first.
ATOM AddAtom(std::string_view name);
bool SetProp(HWND hwnd, ATOM atom, std::intptr_t value);
std::intptr_t GetProp(HWND hwnd, ATOM atom);
std::intptr_t RemoveProp(HWND hwnd, ATOM atom);
bool SetProp(HWND hwnd, const std::string& name, std::intptr_t value);
std::intptr_t GetProp(HWND hwnd, const std::string& name);
std::intptr_t RemoveProp(HWND hwnd, const std::string& name);
DWORD GetWindowThreadId(HWND hwnd);

// Tree
HWND GetParent(HWND hwnd);  // the parent of a child, the owner of a top-level window
HWND SetParent(HWND child, HWND newParent);
HWND GetAncestorTopLevel(HWND hwnd);
bool IsChild(HWND parent, HWND hwnd);
// Top-level windows of the calling thread, topmost first.
int EnumThreadTopLevels(HWND* out, int capacity);

// Text
bool SetWindowText(HWND hwnd, const std::string& text);
std::string GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);

// State
bool ShowWindow(HWND hwnd, int command);
bool IsWindowVisible(HWND hwnd);  // this window and all its ancestors visible
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
bool IsIconic(HWND hwnd);

// Geometry: outer rectangles are in screen coordinates, client rectangles start at (0, 0).
bool GetWindowRect(HWND hwnd, RECT* out);
bool GetClientRect(HWND hwnd, RECT* out);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool ClientToScreen(HWND hwnd, POINT* p);
bool ScreenToClient(HWND hwnd, POINT* p);
bool AdjustWindowRectEx(RECT* rect, DWORD style, bool menu, DWORD exStyle);
// Hit testing: visible, enabled windows only; children above their parent, later siblings above earlier ones.
HWND WindowFromPoint(POINT screenPoint);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);  // includes disabled children

// Focus, capture, activation
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();

// Painting
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const RECT* rect, const Region* region, UINT flags);

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    bool fErase = false;
    RECT rcPaint{};
};
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);        // client area, clipped to what is visible
HDC GetWindowDC(HWND hwnd);  // whole window including the frame
HDC GetDCEx(HWND hwnd, const Region* clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC dc);

// Non-client frame widths of a window from its styles.
RECT NonClientInsets(DWORD style, DWORD exStyle, bool topLevel);

// Cursor
int SetCursor(int cursorId);
int GetCursor();
bool GetCursorPos(POINT* p);
int ShowCursor(bool show);

// Sends a message to a window and each of its descendants (used for colour and setting changes).
void SendMessageToDescendants(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace desktop
