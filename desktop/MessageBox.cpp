// The system message box: a modal dialog window with an icon, wrapped text and
// push buttons, laid out in dialog units of the message font.
//
// For the 8-point "MS Sans Serif" (average width 6, height 13) the margins are
// 12 px left and right and 13 px above and below, the icon stands 15 px left of
// the text, the buttons are 75 x 23, 6 px apart, 16 px below the text block,
// centred. Text wraps at 5/8 of the screen width.
#include <algorithm>
#include <vector>

#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/System.h"

namespace desktop {

namespace {

using controls::FillBox;
using controls::kMessageBoxClass;

ATOM StateProperty()
{
    static const ATOM atom = AddAtom("desktop.msgbox.state");
    return atom;
}
constexpr int kIconSize = 32;
constexpr int kMaxButtons = 3;

struct BoxState {
    std::string text;
    std::string caption;
    UINT flags = 0;
    HWND owner = nullptr;
    MessageBoxIcon icon = MessageBoxIcon::None;
    HFONT font = nullptr;
    std::vector<MessageBoxButton> buttons;
    int defaultId = 0;
    int escapeId = 0;  // 0: Escape and the close box do nothing
    int cancelId = 0;  // the answer when the box has to close without a choice
    RECT iconRect{};
    RECT textRect{};
    HWND lastFocus = nullptr;
    bool done = false;
    int result = 0;
};

std::vector<HWND>& OpenBoxes()
{
    static std::vector<HWND> boxes;
    return boxes;
}

BoxState* StateOf(HWND hwnd) { return controls::StateOf<BoxState>(hwnd, StateProperty()); }

void ChooseButtons(BoxState& s)
{
    struct Kind {
        int id;
        const char* caption;
    };
    std::vector<Kind> kinds;
    switch (s.flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
            kinds = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
            s.escapeId = s.cancelId = IDCANCEL;
            break;
        case MB_ABORTRETRYIGNORE:
            kinds = {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
            s.cancelId = IDABORT;
            break;
        case MB_YESNOCANCEL:
            kinds = {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
            s.escapeId = s.cancelId = IDCANCEL;
            break;
        case MB_YESNO:
            kinds = {{IDYES, "&Yes"}, {IDNO, "&No"}};
            s.cancelId = IDNO;
            break;
        case MB_RETRYCANCEL:
            kinds = {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
            s.escapeId = s.cancelId = IDCANCEL;
            break;
        default:
            kinds = {{IDOK, "OK"}};
            s.escapeId = s.cancelId = IDOK;
            break;
    }
    for (const Kind& k : kinds) s.buttons.push_back(MessageBoxButton{k.id, k.caption, nullptr});
    const std::size_t def = std::min<std::size_t>((s.flags & MB_DEFMASK) >> 8, kMaxButtons - 1);
    s.defaultId = s.buttons[def < s.buttons.size() ? def : 0].id;
}

MessageBoxIcon IconOf(UINT flags)
{
    switch (flags & MB_ICONMASK) {
        case MB_ICONHAND: return MessageBoxIcon::Error;
        case MB_ICONQUESTION: return MessageBoxIcon::Question;
        case MB_ICONEXCLAMATION: return MessageBoxIcon::Warning;
        case MB_ICONASTERISK: return MessageBoxIcon::Information;
        default: return MessageBoxIcon::None;
    }
}

HFONT CreateMessageFont()
{
    NonClientFonts fonts;
    GetNonClientFonts(fonts);
    return CreateFont(fonts.messageFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY,
                      DEFAULT_PITCH, fonts.messageFontFace.c_str());
}

// ---- Icons ----

struct GdiSelection {
    HDC dc;
    HGDIOBJ pen;
    HGDIOBJ brush;
    GdiSelection(HDC d, COLORREF penColor, int penWidth, COLORREF brushColor)
        : dc(d), pen(SelectObject(d, CreatePen(PS_SOLID, penWidth, penColor))),
          brush(SelectObject(d, CreateSolidBrush(brushColor)))
    {
    }
    ~GdiSelection()
    {
        DeleteObject(SelectObject(dc, pen));
        DeleteObject(SelectObject(dc, brush));
    }
    GdiSelection(const GdiSelection&) = delete;
    GdiSelection& operator=(const GdiSelection&) = delete;
};

void DrawIcon(HDC dc, MessageBoxIcon icon, RECT r)
{
    const LONG x = r.left, y = r.top;
    switch (icon) {
        case MessageBoxIcon::Error: {
            {
                GdiSelection g(dc, RGB(128, 0, 0), 1, RGB(255, 0, 0));
                Ellipse(dc, x + 1, y + 1, x + 31, y + 31);
            }
            GdiSelection g(dc, RGB(255, 255, 255), 3, RGB(255, 255, 255));
            MoveToEx(dc, x + 10, y + 10, nullptr);
            LineTo(dc, x + 21, y + 21);
            MoveToEx(dc, x + 21, y + 10, nullptr);
            LineTo(dc, x + 10, y + 21);
            return;
        }
        case MessageBoxIcon::Warning: {
            GdiSelection g(dc, RGB(0, 0, 0), 1, RGB(255, 255, 0));
            const POINT triangle[] = {{x + 16, y + 1}, {x + 31, y + 29}, {x + 1, y + 29}};
            Polygon(dc, triangle, 3);
            FillBox(dc, x + 15, y + 9, x + 18, y + 21, RGB(0, 0, 0));
            FillBox(dc, x + 15, y + 23, x + 18, y + 26, RGB(0, 0, 0));
            return;
        }
        case MessageBoxIcon::Information: {
            {
                GdiSelection g(dc, RGB(0, 0, 0), 1, RGB(255, 255, 255));
                Ellipse(dc, x + 1, y + 1, x + 31, y + 31);
            }
            FillBox(dc, x + 14, y + 7, x + 18, y + 11, RGB(0, 0, 255));
            FillBox(dc, x + 14, y + 13, x + 18, y + 25, RGB(0, 0, 255));
            FillBox(dc, x + 12, y + 23, x + 20, y + 25, RGB(0, 0, 255));
            return;
        }
        case MessageBoxIcon::Question: {
            {
                GdiSelection g(dc, RGB(0, 0, 0), 1, RGB(255, 255, 255));
                Ellipse(dc, x + 1, y + 1, x + 31, y + 31);
            }
            HFONT font = CreateFont(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, "Times New Roman");
            HGDIOBJ old = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 255));
            RECT box = r;
            DrawText(dc, "?", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            DeleteObject(SelectObject(dc, old));
            return;
        }
        case MessageBoxIcon::None: return;
    }
}

}  // namespace

bool DrawSystemIcon(HDC dc, int iconId, int x, int y)
{
    MessageBoxIcon icon = MessageBoxIcon::None;
    switch (iconId) {
        case IDI_HAND: icon = MessageBoxIcon::Error; break;
        case IDI_QUESTION: icon = MessageBoxIcon::Question; break;
        case IDI_EXCLAMATION: icon = MessageBoxIcon::Warning; break;
        case IDI_ASTERISK: icon = MessageBoxIcon::Information; break;
        default: return false;
    }
    DrawIcon(dc, icon, RECT{x, y, x + kIconSize, y + kIconSize});
    return true;
}

namespace {

// ---- The box window ----

UINT TextFormat(const BoxState& s)
{
    UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    if (s.flags & (MB_RTLREADING | MB_RIGHT)) format |= DT_RIGHT;
    if (s.flags & MB_RTLREADING) format |= DT_RTLREADING;
    return format;
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    BoxState* s = StateOf(hwnd);
    if (dc && s) {
        DrawIcon(dc, s->icon, s->iconRect);
        HGDIOBJ old = SelectObject(dc, s->font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        RECT text = s->textRect;
        DrawText(dc, s->text, -1, &text, TextFormat(*s));
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

void Finish(BoxState& s, int id)
{
    s.result = id;
    s.done = true;
}

HWND ButtonWindow(const BoxState& s, int id)
{
    for (const MessageBoxButton& b : s.buttons)
        if (b.id == id) return b.hwnd;
    return nullptr;
}

int FocusedButtonIndex(const BoxState& s)
{
    HWND focus = GetFocus();
    for (std::size_t i = 0; i < s.buttons.size(); ++i)
        if (s.buttons[i].hwnd == focus) return int(i);
    return -1;
}

void FocusButton(BoxState& s, int index)
{
    const int n = int(s.buttons.size());
    if (n == 0) return;
    index = ((index % n) + n) % n;
    SetFocus(s.buttons[std::size_t(index)].hwnd);
}

// Keyboard handling of a dialog for the box and its buttons; true when the message was used.
bool DialogKey(HWND box, BoxState& s, const MSG& m)
{
    if (m.hwnd != box && !IsChild(box, m.hwnd)) return false;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (m.message == WM_KEYDOWN) {
        const int focused = FocusedButtonIndex(s);
        switch (WORD(m.wParam)) {
            case VK_TAB:
                if (ctrl) return false;
                FocusButton(s, focused < 0 ? 0 : focused + (GetKeyState(VK_SHIFT) < 0 ? -1 : 1));
                return true;
            case VK_LEFT:
            case VK_UP: FocusButton(s, focused < 0 ? 0 : focused - 1); return true;
            case VK_RIGHT:
            case VK_DOWN: FocusButton(s, focused < 0 ? 0 : focused + 1); return true;
            case VK_RETURN: Finish(s, focused >= 0 ? s.buttons[std::size_t(focused)].id : s.defaultId); return true;
            case VK_ESCAPE:
                if (s.escapeId) Finish(s, s.escapeId);
                return true;
            default: return false;
        }
    }
    if ((m.message == WM_CHAR && !ctrl) || (m.message == WM_SYSCHAR && alt)) {
        const char key = LowerCp1252(char(m.wParam));
        for (const MessageBoxButton& b : s.buttons) {
            if (key && MnemonicOf(b.caption) == key) {
                SetFocus(b.hwnd);
                Finish(s, b.id);
                return true;
            }
        }
    }
    return false;
}

LRESULT BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETOBJECT) return controls::AnswerGetObject(hwnd, lParam, controls::AccessibleKind::MessageBox);
    BoxState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && ButtonWindow(*s, LOWORD(wParam))) Finish(*s, LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            if (s->escapeId) Finish(*s, s->escapeId);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) s->lastFocus = focus;
            } else {
                SetFocus(IsWindow(s->lastFocus) ? s->lastFocus : ButtonWindow(*s, s->defaultId));
            }
            return 0;
        case WM_SETFOCUS: SetFocus(IsWindow(s->lastFocus) ? s->lastFocus : ButtonWindow(*s, s->defaultId)); return 0;
        case WM_NCDESTROY: RemoveProp(hwnd, StateProperty()); return DefWindowProc(hwnd, msg, wParam, lParam);
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

// Sizes the box from its text, icon and buttons and creates it with its buttons.
HWND CreateBox(BoxState& s)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, s.font);
    SIZE alphabet{};
    GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &alphabet);
    const int ax = std::max(1, int(alphabet.cx / 52));
    const int ay = std::max(1, int(alphabet.cy));
    const int marginX = MulDiv(8, ax, 4), marginY = MulDiv(8, ay, 8);
    const int iconGap = MulDiv(10, ax, 4), buttonGapY = MulDiv(10, ay, 8);
    const int buttonHeight = MulDiv(14, ay, 8), buttonGap = MulDiv(4, ax, 4);
    int buttonWidth = MulDiv(50, ax, 4);
    for (const MessageBoxButton& b : s.buttons)
        buttonWidth = std::max<int>(buttonWidth, controls::MeasureText(s.font, b.caption, 0).cx + 2 * ax);

    const bool hasIcon = s.icon != MessageBoxIcon::None;
    const int iconBlock = hasIcon ? kIconSize + iconGap : 0;
    RECT text{0, 0, std::max(1, GetSystemMetrics(SM_CXSCREEN) * 5 / 8 - iconBlock), 0};
    DrawText(dc, s.text, -1, &text, TextFormat(s) | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int textWidth = text.Width();
    const int textHeight = std::max<int>(text.Height(), ay);

    const int blockWidth = iconBlock + textWidth;
    const int blockHeight = std::max(textHeight, hasIcon ? kIconSize : 0);
    const int k = int(s.buttons.size());
    const int groupWidth = k * buttonWidth + (k - 1) * buttonGap;
    const int captionWidth = controls::MeasureText(nullptr, s.caption, DT_NOPREFIX).cx + 2 * marginX;
    const int clientWidth = std::max({blockWidth + 2 * marginX, groupWidth + 2 * marginX, captionWidth});
    const int clientHeight = marginY + blockHeight + buttonGapY + buttonHeight + marginY;

    s.iconRect = hasIcon ? RECT{marginX, marginY, marginX + kIconSize, marginY + kIconSize} : RECT{};
    const LONG textTop = marginY + (hasIcon && textHeight < kIconSize ? (kIconSize - textHeight) / 2 : 0);
    const LONG textLeft =
        (s.flags & MB_RTLREADING) ? clientWidth - marginX - iconBlock - textWidth : marginX + iconBlock;
    s.textRect = RECT{textLeft, textTop, textLeft + textWidth, textTop + textHeight};
    if ((s.flags & MB_RTLREADING) && hasIcon)
        s.iconRect = OffsetRectBy(s.iconRect, clientWidth - 2 * marginX - kIconSize, 0);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | ((s.flags & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0u);
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, false, exStyle);
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (s.owner && IsWindowVisible(s.owner) && !IsIconic(s.owner)) GetWindowRect(s.owner, &around);
    const RECT work = GetWorkArea();
    LONG x = around.left + (around.Width() - outer.Width()) / 2;
    LONG y = around.top + (around.Height() - outer.Height()) / 2;
    x = std::clamp<LONG>(x, work.left, std::max<LONG>(work.left, work.right - outer.Width()));
    y = std::clamp<LONG>(y, work.top, std::max<LONG>(work.top, work.bottom - outer.Height()));

    HWND box = CreateWindowEx(exStyle, kMessageBoxClass, s.caption, style, x, y, outer.Width(), outer.Height(), s.owner,
                              0, nullptr);
    if (!box) return nullptr;
    SetProp(box, StateProperty(), reinterpret_cast<std::intptr_t>(&s));
    LONG bx = (clientWidth - groupWidth) / 2;
    const LONG by = marginY + blockHeight + buttonGapY;
    for (MessageBoxButton& b : s.buttons) {
        const DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == s.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        b.hwnd = CreateWindowEx(0, kButtonClass, b.caption, bs, bx, by, buttonWidth, buttonHeight, box, HMENU(b.id),
                                nullptr);
        SendMessage(b.hwnd, WM_SETFONT, WPARAM(reinterpret_cast<std::uintptr_t>(s.font)), 0);
        bx += buttonWidth + buttonGap;
    }
    return box;
}

}  // namespace

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags)
{
    BoxState s;
    s.text = text;
    s.caption = caption;
    s.flags = flags;
    s.owner = owner && IsWindow(owner) ? GetAncestorTopLevel(owner) : nullptr;
    s.icon = IconOf(flags);
    ChooseButtons(s);
    s.font = CreateMessageFont();

    HWND previousActive = GetActiveWindow();
    HWND previousFocus = GetFocus();
    if (GetCapture()) ReleaseCapture();

    // Only what this box disabled is enabled again afterwards.
    std::vector<HWND> disabled;
    const auto disable = [&](HWND w) {
        if (w && IsWindow(w) && IsWindowEnabled(w)) {
            EnableWindow(w, false);
            disabled.push_back(w);
        }
    };
    disable(s.owner);
    if (!s.owner || (flags & MB_TASKMODAL)) {
        std::vector<HWND> tops(std::size_t(std::max(0, EnumThreadTopLevels(nullptr, 0))));
        tops.resize(std::size_t(std::max(0, EnumThreadTopLevels(tops.data(), int(tops.size())))));
        for (HWND w : tops) disable(w);
    }

    HWND box = CreateBox(s);
    int result = 0;
    bool quit = false;
    int quitCode = 0;
    if (box) {
        OpenBoxes().push_back(box);
        ShowWindow(box, SW_SHOW);
        SetFocus(ButtonWindow(s, s.defaultId));
        MSG m;
        while (!s.done && IsWindow(box)) {
            if (!GetMessage(&m, nullptr, 0, 0)) {
                quit = true;
                quitCode = int(m.wParam);
                break;
            }
            if (DialogKey(box, s, m)) continue;
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        result = s.done ? s.result : s.cancelId;
        std::erase(OpenBoxes(), box);
    }
    for (auto it = disabled.rbegin(); it != disabled.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, true);
    if (box && IsWindow(box)) DestroyWindow(box);
    // Closing the box activates its owner; without one, the window that was active before.
    if (!s.owner && previousActive && IsWindow(previousActive) && IsWindowEnabled(previousActive) &&
        IsWindowVisible(previousActive))
        SetActiveWindow(previousActive);
    if (previousFocus && IsWindow(previousFocus) && IsWindowVisible(previousFocus) &&
        GetAncestorTopLevel(previousFocus) == GetActiveWindow())
        SetFocus(previousFocus);
    DeleteObject(s.font);
    if (quit) PostQuitMessage(quitCode);
    return result;
}

HWND GetOpenMessageBox() { return OpenBoxes().empty() ? nullptr : OpenBoxes().back(); }

bool GetMessageBoxInfo(HWND box, MessageBoxInfo* out)
{
    if (!out || !IsWindow(box) || std::find(OpenBoxes().begin(), OpenBoxes().end(), box) == OpenBoxes().end())
        return false;
    const BoxState* s = StateOf(box);
    if (!s) return false;
    out->box = box;
    out->owner = s->owner;
    out->text = s->text;
    out->caption = s->caption;
    out->icon = s->icon;
    out->buttons = s->buttons;
    out->defaultButton = s->defaultId;
    out->iconRect = s->iconRect;
    out->textRect = s->textRect;
    return true;
}

namespace controls {

void RegisterMessageBoxClass()
{
    WNDCLASS cls;
    cls.lpfnWndProc = BoxProc;
    cls.hCursor = IDC_ARROW;
    cls.hbrBackground = COLOR_BTNFACE + 1;
    cls.lpszClassName = kMessageBoxClass;
    RegisterClass(cls);
}

}  // namespace controls
}  // namespace desktop
