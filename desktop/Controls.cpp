// The built-in window classes and the helpers the standard controls share.
#include "desktop/Controls.h"

#include <cstring>

#include "desktop/ControlSupport.h"
#include "desktop/Messages.h"

namespace desktop {

namespace {

struct BuiltInClass {
    const char* name;
    void (*registerClass)();
};

constexpr BuiltInClass kBuiltInClasses[] = {
    {kButtonClass, controls::RegisterButtonClass},
    {kEditClass, controls::RegisterEditClass},
    {kTabControlClass, controls::RegisterTabControlClass},
    {controls::kPopupMenuClass, controls::RegisterPopupMenuClass},
    {controls::kMessageBoxClass, controls::RegisterMessageBoxClass},
};

}  // namespace

void RegisterStandardControls()
{
    for (const BuiltInClass& c : kBuiltInClasses) c.registerClass();
}

namespace controls {

bool RegisterBuiltInClass(const std::string& name)
{
    const std::string key = UpperAscii(name);
    for (const BuiltInClass& c : kBuiltInClasses) {
        if (UpperAscii(c.name) == key) {
            c.registerClass();
            return true;
        }
    }
    return false;
}

HFONT DefaultFont()
{
    static HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    return font;
}

HFONT FontOrDefault(HFONT font) { return font ? font : DefaultFont(); }

void FillBox(HDC dc, LONG l, LONG t, LONG r, LONG b, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT box{l, t, r, b};
    FillRect(dc, &box, brush);
    DeleteObject(brush);
}

FontMeasure MeasureFont(HFONT font)
{
    FontMeasure m;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOrDefault(font));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    m.height = tm.tmHeight;
    m.aveCharWidth = tm.tmAveCharWidth;
    GetCharWidth32(dc, 0, 255, m.advances.data());
    SelectObject(dc, old);
    DeleteDC(dc);
    return m;
}

SIZE MeasureText(HFONT font, const std::string& text, UINT format)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOrDefault(font));
    RECT r{0, 0, 0, 0};
    DrawText(dc, text, -1, &r, format | DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{r.Width(), r.Height()};
}

HBRUSH AskParentForBrush(HWND control, HDC dc, UINT ctlColorMessage, int fallbackColor)
{
    SetTextColor(dc, GetSysColor(ctlColorMessage == WM_CTLCOLORBTN ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(fallbackColor));
    HWND parent = GetParent(control);
    if (parent) {
        const LRESULT answer = SendMessage(parent, ctlColorMessage, WPARAM(reinterpret_cast<std::uintptr_t>(dc)),
                                           LPARAM(reinterpret_cast<std::intptr_t>(control)));
        if (answer) return reinterpret_cast<HBRUSH>(answer);
    }
    return GetSysColorBrush(fallbackColor);
}

void NotifyParent(HWND control, WORD code)
{
    HWND parent = GetParent(control);
    if (!parent) return;
    const WORD id = WORD(GetWindowLongPtr(control, GWL_ID));
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(reinterpret_cast<std::intptr_t>(control)));
}

LRESULT NotifyParentNmhdr(HWND control, UINT code)
{
    HWND parent = GetParent(control);
    if (!parent) return 0;
    NMHDR header;
    header.hwndFrom = control;
    header.idFrom = std::uintptr_t(GetWindowLongPtr(control, GWL_ID));
    header.code = code;
    return SendMessage(parent, WM_NOTIFY, WPARAM(header.idFrom), LPARAM(reinterpret_cast<std::intptr_t>(&header)));
}

}  // namespace controls
}  // namespace desktop
