// The "BUTTON" window class: classic push buttons (BS_PUSHBUTTON, BS_DEFPUSHBUTTON).
#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Messages.h"

namespace desktop {

namespace {

ATOM StateProperty()
{
    static const ATOM atom = AddAtom("desktop.button.state");
    return atom;
}
constexpr int kFocusInset = 4;

struct ButtonState {
    HFONT font = nullptr;
    bool pushed = false;
    bool focused = false;
    bool mouseTracking = false;
    bool spaceDown = false;
};

ButtonState* StateOf(HWND hwnd) { return controls::StateOf<ButtonState>(hwnd, StateProperty()); }
DWORD ButtonType(HWND hwnd) { return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool IsDefault(HWND hwnd) { return ButtonType(hwnd) == BS_DEFPUSHBUTTON; }

void SetPushed(HWND hwnd, ButtonState& s, bool pushed)
{
    if (s.pushed == pushed) return;
    s.pushed = pushed;
    InvalidateRect(hwnd, nullptr, false);
}

bool PointInClient(HWND hwnd, LPARAM lParam)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return r.Contains(controls::PointFromLParam(lParam));
}

void Clicked(HWND hwnd) { controls::NotifyParent(hwnd, WORD(BN_CLICKED)); }

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ButtonState* s = StateOf(hwnd);
    if (!dc || !s) {
        EndPaint(hwnd, &ps);
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, controls::FontOrDefault(s->font));
    HBRUSH brush = controls::AskParentForBrush(hwnd, dc, WM_CTLCOLORBTN, COLOR_BTNFACE);
    if (!IsWindow(hwnd) || !(s = StateOf(hwnd))) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, brush);
    RECT face = r;
    if (IsDefault(hwnd)) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        face = InflateRectBy(face, -1, -1);
    }
    DrawEdge(dc, &face, s->pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);

    RECT text = face;
    if (s->pushed) text = OffsetRectBy(text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    const std::string caption = GetWindowText(hwnd);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (IsWindowEnabled(hwnd)) {
        DrawText(dc, caption, -1, &text, format);
    } else {
        RECT emboss = OffsetRectBy(text, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(dc, caption, -1, &emboss, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawText(dc, caption, -1, &text, format);
    }
    if (s->focused) {
        RECT focus = InflateRectBy(r, -kFocusInset, -kFocusInset);
        if (!focus.IsEmpty()) DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETOBJECT) return controls::AnswerGetObject(hwnd, lParam, controls::AccessibleKind::Button);
    if (msg == WM_NCCREATE) {
        controls::AttachState<ButtonState>(hwnd, StateProperty());
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        controls::DetachState<ButtonState>(hwnd, StateProperty());
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    ButtonState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(std::uintptr_t(lParam))) InvalidateRect(hwnd, nullptr, true);
            return 0;
        case WM_GETFONT: return LRESULT(reinterpret_cast<std::intptr_t>(controls::FontOrDefault(s->font)));
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, true);
            return r;
        }
        case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
        case WM_GETDLGCODE: return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_SETFOCUS:
            s->focused = true;
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case WM_KILLFOCUS:
            s->focused = false;
            s->spaceDown = false;
            if (s->mouseTracking && GetCapture() == hwnd) ReleaseCapture();
            SetPushed(hwnd, *s, false);
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!IsWindowEnabled(hwnd)) return 0;
            if (GetFocus() != hwnd) {
                SetFocus(hwnd);
                if (!IsWindow(hwnd) || !(s = StateOf(hwnd))) return 0;
            }
            s->mouseTracking = true;
            SetCapture(hwnd);
            SetPushed(hwnd, *s, true);
            return 0;
        case WM_MOUSEMOVE:
            if (s->mouseTracking) SetPushed(hwnd, *s, PointInClient(hwnd, lParam));
            return 0;
        case WM_LBUTTONUP: {
            if (!s->mouseTracking) return 0;
            const bool click = s->pushed && PointInClient(hwnd, lParam);
            s->mouseTracking = false;
            SetPushed(hwnd, *s, false);
            ReleaseCapture();
            if (click) Clicked(hwnd);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (s->mouseTracking) {
                s->mouseTracking = false;
                SetPushed(hwnd, *s, false);
            }
            return 0;
        case WM_CANCELMODE:
            if (s->mouseTracking && GetCapture() == hwnd) ReleaseCapture();
            s->spaceDown = false;
            SetPushed(hwnd, *s, false);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !(lParam & (LPARAM(1) << 30)) && IsWindowEnabled(hwnd) && !s->mouseTracking) {
                s->spaceDown = true;
                SetPushed(hwnd, *s, true);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && s->spaceDown) {
                s->spaceDown = false;
                SetPushed(hwnd, *s, false);
                Clicked(hwnd);
            }
            return 0;
        case BM_GETSTATE: return (s->pushed ? LRESULT(BST_PUSHED) : 0) | (s->focused ? LRESULT(BST_FOCUS) : 0);
        case BM_SETSTATE: SetPushed(hwnd, *s, wParam != 0); return 0;
        case BM_GETCHECK: return BST_UNCHECKED;
        case BM_SETCHECK: return 0;
        case BM_SETSTYLE: {
            const DWORD style = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
            SetWindowLongPtr(hwnd, GWL_STYLE, std::intptr_t((style & ~BS_TYPEMASK) | (DWORD(wParam) & BS_TYPEMASK)));
            if (lParam) InvalidateRect(hwnd, nullptr, true);
            return 0;
        }
        case BM_CLICK: {
            // As a mouse click on the button: focus, press, release, notify.
            if (!IsWindowEnabled(hwnd)) return 0;
            SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            if (IsWindow(hwnd)) SendMessage(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        }
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

namespace controls {

void RegisterButtonClass()
{
    WNDCLASS cls;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = ButtonProc;
    cls.hCursor = IDC_ARROW;
    cls.lpszClassName = kButtonClass;
    RegisterClass(cls);
}

}  // namespace controls
}  // namespace desktop
