// What the standard controls share: the default font, measuring, colour
// requests to the parent, notifications and per-window state.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "desktop/Codepage.h"
#include "desktop/Gdi.h"
#include "desktop/Types.h"
#include "desktop/Window.h"

namespace desktop::controls {

// The "MS Sans Serif" -11 font every control starts with (created once, never deleted).
HFONT DefaultFont();
HFONT FontOrDefault(HFONT font);

struct FontMeasure {
    int height = 0;
    int aveCharWidth = 0;
    std::array<int, 256> advances{};
};
FontMeasure MeasureFont(HFONT font);
SIZE MeasureText(HFONT font, const std::string& text, UINT drawTextFormat);

// Sends WM_CTLCOLOR* to the parent with the DC prepared with the classic colours;
// the parent's non-zero answer is the brush, else the system colour's brush.
HBRUSH AskParentForBrush(HWND control, HDC dc, UINT ctlColorMessage, int fallbackColor);

// WM_COMMAND(MAKEWPARAM(id, code), control) to the parent.
void NotifyParent(HWND control, WORD code);
// WM_NOTIFY with an NMHDR to the parent; returns its answer.
LRESULT NotifyParentNmhdr(HWND control, UINT code);

// Fills the rectangle (l, t)-(r, b) with a solid colour.
void FillBox(HDC dc, LONG l, LONG t, LONG r, LONG b, COLORREF color);

// Replaces a kept text with a new one of any length. A text rewritten thousands of times (a
// count in an edit) takes the short path of a plain copy into the buffer it already has; a
// value that lies inside the text itself is copied the safe way.
inline void SetTextReusingBuffer(std::string& text, std::string_view value)
{
    const char* data = text.data();
    if (std::less_equal<>{}(data, value.data()) && std::less_equal<>{}(value.data(), data + text.size())) {
        text.assign(value);
        return;
    }
    text.clear();
    text.append(value);
}

inline LPARAM PointToLParam(POINT p) { return MAKELPARAM(WORD(std::int16_t(p.x)), WORD(std::int16_t(p.y))); }
inline POINT PointFromLParam(LPARAM l) { return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }

// Per-window state kept in a window property; the class procedure creates it at
// WM_NCCREATE and frees it at WM_NCDESTROY, whoever subclasses the window. Every message
// reads it, so the property goes by atom, registered once per class.
template <class State>
State* StateOf(HWND hwnd, ATOM property)
{
    return reinterpret_cast<State*>(GetProp(hwnd, property));
}
template <class State>
State* AttachState(HWND hwnd, ATOM property)
{
    auto* s = new State();
    SetProp(hwnd, property, reinterpret_cast<std::intptr_t>(s));
    return s;
}
template <class State>
void DetachState(HWND hwnd, ATOM property)
{
    delete reinterpret_cast<State*>(RemoveProp(hwnd, property));
}

// WM_GETOBJECT of a class procedure: the window's object of that kind, made on the first question
// and kept with the window (AccessibleControls.cpp).
enum class AccessibleKind { Window, Button, Edit, Tab, MessageBox };
LRESULT AnswerGetObject(HWND hwnd, LPARAM objectId, AccessibleKind kind);

// The layer's own windows beside the controls of Controls.h.
inline constexpr const char* kPopupMenuClass = "#32768";
inline constexpr const char* kMessageBoxClass = "DesktopMessageBox";

// Class registration, one per control file.
void RegisterButtonClass();
void RegisterEditClass();
void RegisterTabControlClass();
void RegisterPopupMenuClass();
void RegisterMessageBoxClass();

// Registers the built-in class of that name (any case) when it is one: a standard control,
// the popup menu or the message box. The window class lookup calls it when a name is not
// registered, so these classes are there on first use, whoever asks and whatever backend is
// installed. False for any other name.
bool RegisterBuiltInClass(const std::string& name);

}  // namespace desktop::controls
