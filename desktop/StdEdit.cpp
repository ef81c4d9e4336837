// The "EDIT" window class: single-line and multi-line edits over EditModel.
//
// Geometry: the formatting rectangle (EM_GETRECT) lies one pixel inside the
// client area, with a further margin of one pixel left and right, so text starts
// at x = 2 and y = 1. Lines are the font's height apart. Single-line edits scroll
// horizontally to keep the caret in view; multi-line edits without ES_AUTOHSCROLL
// wrap at the formatting width and scroll vertically.
#include <algorithm>
#include <cstring>

#include "desktop/Caret.h"
#include "desktop/Clipboard.h"
#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/StdEditModel.h"

namespace desktop {

namespace {

ATOM StateProperty()
{
    static const ATOM atom = AddAtom("desktop.edit.state");
    return atom;
}
constexpr int kInset = 1;
constexpr int kDefaultMargin = 1;
constexpr int kDefaultTabStopDialogUnits = 32;
constexpr int kWheelLines = 3;
constexpr std::size_t kMaxSingleLineLimit = 0x7FFFFFFE;
constexpr std::size_t kMaxMultiLineLimit = 0xFFFFFFFF;

struct EditState {
    EditModel model;
    HFONT font = nullptr;
    controls::FontMeasure measure;
    int marginLeft = kDefaultMargin;
    int marginRight = kDefaultMargin;
    int tabStopDialogUnits = kDefaultTabStopDialogUnits;
    char passwordChar = '*';
    int xOffset = 0;
    std::size_t firstLine = 0;
    bool focused = false;
    bool tracking = false;
    // What the model was last configured from (see Configure).
    bool configured = false;
    DWORD configuredStyle = 0;
    LONG configuredWrapWidth = 0;
    char configuredPasswordChar = 0;
};

using controls::NotifyParent;

EditState* StateOf(HWND hwnd) { return controls::StateOf<EditState>(hwnd, StateProperty()); }
DWORD StyleOf(HWND hwnd) { return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE)); }
bool IsMultiLine(HWND hwnd) { return (StyleOf(hwnd) & ES_MULTILINE) != 0; }
bool IsReadOnly(HWND hwnd) { return (StyleOf(hwnd) & ES_READONLY) != 0; }
int LineHeight(const EditState& s) { return std::max(1, s.measure.height); }

// The width of the formatting rectangle in a client area of that size.
LONG FormatWidth(const RECT& client, const EditState& s)
{
    return std::max<LONG>(0, client.Width() - 2 * kInset - s.marginLeft - s.marginRight);
}

RECT FormatRect(HWND hwnd, const EditState& s)
{
    RECT c;
    GetClientRect(hwnd, &c);
    RECT r{c.left + kInset + s.marginLeft, c.top + kInset, 0, c.bottom - kInset};
    r.right = r.left + FormatWidth(c, s);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

void ApplyFont(EditState& s, HFONT font)
{
    s.font = font;
    s.measure = controls::MeasureFont(font);
    EditTextMetrics m;
    m.advances = s.measure.advances;
    m.tabWidth = std::max(1, s.tabStopDialogUnits * s.measure.aveCharWidth / 4);
    s.model.SetMetrics(m);
}

// Styles may change under the control (EM_SETREADONLY, the framework's own style
// changes), so the model follows them before each use; it is told only when one of them
// changed, since every message passes here.
void Configure(HWND hwnd, EditState& s)
{
    const DWORD style = StyleOf(hwnd);
    const bool multi = (style & ES_MULTILINE) != 0;
    const LONG wrapWidth = multi && !(style & ES_AUTOHSCROLL) ? std::max<LONG>(1, FormatRect(hwnd, s).Width()) : 0;
    if (s.configured && style == s.configuredStyle && wrapWidth == s.configuredWrapWidth &&
        s.passwordChar == s.configuredPasswordChar)
        return;
    s.model.SetMultiLine(multi);
    s.model.SetCase((style & ES_UPPERCASE)   ? EditCase::Upper
                    : (style & ES_LOWERCASE) ? EditCase::Lower
                                             : EditCase::Mixed);
    s.model.SetWrapWidth(wrapWidth);
    s.model.SetPasswordChar(!multi && (style & ES_PASSWORD) ? s.passwordChar : 0);
    s.configured = true;
    s.configuredStyle = style;
    s.configuredWrapWidth = wrapWidth;
    s.configuredPasswordChar = s.passwordChar;
}

std::size_t VisibleLines(HWND hwnd, const EditState& s)
{
    return std::size_t(std::max<LONG>(1, FormatRect(hwnd, s).Height() / LineHeight(s)));
}

bool ScrollsHorizontally(HWND hwnd)
{
    const DWORD style = StyleOf(hwnd);
    return !(style & ES_MULTILINE) || (style & ES_AUTOHSCROLL);
}

int AlignOffset(HWND hwnd, const EditState& s, std::size_t line)
{
    const DWORD align = StyleOf(hwnd) & (ES_CENTER | ES_RIGHT);
    if (align == ES_LEFT) return 0;
    const int room = FormatRect(hwnd, s).Width() - s.model.LineWidth(line);
    if (room <= 0) return 0;
    return align == ES_CENTER ? room / 2 : room;
}

POINT PositionOf(HWND hwnd, const EditState& s, std::size_t pos, std::size_t line)
{
    const RECT f = FormatRect(hwnd, s);
    const long row = long(line) - long(s.firstLine);
    return POINT{f.left + AlignOffset(hwnd, s, line) + s.model.XInLine(line, pos) - s.xOffset,
                 f.top + LONG(row * LineHeight(s))};
}

void ScrollToCaret(HWND hwnd, EditState& s)
{
    // A single line with the caret at the start of left-aligned text shows it from its first
    // character, whatever it measures: the usual case after a new text. Only the formatting
    // width must be positive, which needs the client area alone.
    const DWORD style = StyleOf(hwnd);
    if (!(style & ES_MULTILINE) && (style & (ES_CENTER | ES_RIGHT)) == ES_LEFT && s.model.Caret() == 0) {
        RECT c;
        GetClientRect(hwnd, &c);
        if (FormatWidth(c, s) > 0) {
            s.xOffset = 0;
            s.firstLine = 0;
            return;
        }
    }
    const RECT f = FormatRect(hwnd, s);
    const int width = f.Width();
    const std::size_t line = s.model.CaretLine();
    if (ScrollsHorizontally(hwnd)) {
        const int x = AlignOffset(hwnd, s, line) + s.model.XInLine(line, s.model.Caret());
        if (x < s.xOffset)
            s.xOffset = std::max(0, x - width / 4);
        else if (x >= s.xOffset + width)
            s.xOffset = x - width + 1 + width / 4;
        const int widest = IsMultiLine(hwnd) ? s.model.WidestLine() : s.model.LineWidth(0);
        s.xOffset = std::clamp(s.xOffset, 0, std::max(0, widest + 1 - width));
    } else {
        s.xOffset = 0;
    }
    if (IsMultiLine(hwnd)) {
        const std::size_t visible = VisibleLines(hwnd, s);
        if (line < s.firstLine)
            s.firstLine = line;
        else if (line >= s.firstLine + visible)
            s.firstLine = line - visible + 1;
        s.firstLine = std::min(s.firstLine, s.model.LineCount() - 1);
    } else {
        s.firstLine = 0;
    }
}

void UpdateCaret(HWND hwnd, const EditState& s)
{
    if (!s.focused) return;
    const POINT p = PositionOf(hwnd, s, s.model.Caret(), s.model.CaretLine());
    SetCaretPos(p.x, p.y);
}

void Refresh(HWND hwnd, EditState& s)
{
    ScrollToCaret(hwnd, s);
    InvalidateRect(hwnd, nullptr, false);
    UpdateCaret(hwnd, s);
}

void SyncWindowText(HWND hwnd, const EditState& s)
{
    DefWindowProc(hwnd, WM_SETTEXT, 0, LPARAM(reinterpret_cast<std::intptr_t>(s.model.Text().c_str())));
}

// After any change of the text: the window text follows, EN_UPDATE before the
// new text is shown, EN_CHANGE after. The parent may act on us in between.
void TextChanged(HWND hwnd, EditState& state, bool truncated)
{
    SyncWindowText(hwnd, state);
    ScrollToCaret(hwnd, state);
    // Our own handle is never reused, so its state alone tells whether the parent destroyed us.
    if (truncated) {
        NotifyParent(hwnd, WORD(EN_MAXTEXT));
        if (!StateOf(hwnd)) return;
    }
    NotifyParent(hwnd, WORD(EN_UPDATE));
    EditState* s = StateOf(hwnd);
    if (!s) return;
    InvalidateRect(hwnd, nullptr, false);
    UpdateCaret(hwnd, *s);
    NotifyParent(hwnd, WORD(EN_CHANGE));
}

bool Replace(HWND hwnd, EditState& s, std::string_view text, bool canUndo, EditModel::EditKind kind)
{
    bool truncated = false;
    const bool changed = s.model.ReplaceSelection(text, canUndo, kind, &truncated);
    if (changed)
        TextChanged(hwnd, s, truncated);
    else if (truncated)
        NotifyParent(hwnd, WORD(EN_MAXTEXT));
    return changed;
}

bool CopySelection(HWND hwnd, const EditState& s)
{
    if ((StyleOf(hwnd) & ES_PASSWORD) && !IsMultiLine(hwnd)) return false;
    if (!s.model.HasSelection()) return false;
    if (!OpenClipboard(hwnd)) return false;
    EmptyClipboard();
    SetClipboardText(s.model.SelectedText());
    CloseClipboard();
    return true;
}

struct HitPosition {
    std::size_t pos = 0;
    bool atLineEnd = false;
};

HitPosition PositionAt(HWND hwnd, const EditState& s, POINT p)
{
    const RECT f = FormatRect(hwnd, s);
    const long count = long(s.model.LineCount());
    long line = 0;
    if (IsMultiLine(hwnd)) {
        const int dy = p.y - f.top;
        const long row = dy >= 0 ? dy / LineHeight(s) : -((-dy + LineHeight(s) - 1) / LineHeight(s));
        line = std::clamp(long(s.firstLine) + row, 0L, count - 1);
    }
    const std::size_t l = std::size_t(line);
    const int x = p.x - f.left - AlignOffset(hwnd, s, l) + s.xOffset;
    HitPosition hit;
    hit.pos = s.model.PosAtX(l, x);
    const EditLine& el = s.model.Lines()[l];
    hit.atLineEnd = hit.pos == el.end && el.SoftWrapped() && line + 1 < count;
    return hit;
}

// ---- Painting ----

void DrawRun(HDC dc, const std::string& shown, const EditModel& model, std::size_t line, std::size_t from,
             std::size_t to, LONG xBase, LONG y)
{
    std::size_t i = from;
    while (i < to) {
        while (i < to && static_cast<unsigned char>(shown[i]) < 32) ++i;
        const std::size_t start = i;
        while (i < to && static_cast<unsigned char>(shown[i]) >= 32) ++i;
        if (i > start) TextOut(dc, xBase + model.XInLine(line, start), y, shown.substr(start, i - start));
    }
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EditState* s = StateOf(hwnd);
    if (!dc || !s) {
        EndPaint(hwnd, &ps);
        return;
    }
    Configure(hwnd, *s);
    const bool disabled = !IsWindowEnabled(hwnd);
    const bool staticLook = disabled || IsReadOnly(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, controls::FontOrDefault(s->font));
    HBRUSH brush = controls::AskParentForBrush(hwnd, dc, staticLook ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                               staticLook ? COLOR_BTNFACE : COLOR_WINDOW);
    if (!IsWindow(hwnd) || !(s = StateOf(hwnd))) {
        EndPaint(hwnd, &ps);
        return;
    }
    const COLORREF textColor = disabled ? GetSysColor(COLOR_GRAYTEXT) : GetTextColor(dc);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);

    const RECT f = FormatRect(hwnd, *s);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, f.left, f.top, f.right, f.bottom);
    SetBkMode(dc, TRANSPARENT);
    const EditModel& m = s->model;
    const bool showSelection = m.HasSelection() && (s->focused || (StyleOf(hwnd) & ES_NOHIDESEL));
    const std::string shown = m.DisplayText();
    const auto& lines = m.Lines();
    const int lh = LineHeight(*s);
    const std::size_t last = std::min(lines.size(), s->firstLine + VisibleLines(hwnd, *s) + 1);
    for (std::size_t k = s->firstLine; k < last; ++k) {
        const EditLine& l = lines[k];
        const LONG y = f.top + LONG(k - s->firstLine) * lh;
        const LONG xBase = f.left + AlignOffset(hwnd, *s, k) - s->xOffset;
        std::size_t a = l.end, b = l.end;
        if (showSelection) {
            a = std::clamp(m.SelStart(), l.start, l.end);
            b = std::clamp(m.SelEnd(), l.start, l.end);
        }
        SetTextColor(dc, textColor);
        DrawRun(dc, shown, m, k, l.start, a, xBase, y);
        if (b > a) {
            RECT band{xBase + m.XInLine(k, a), y, xBase + m.XInLine(k, b), y + lh};
            FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            DrawRun(dc, shown, m, k, a, b, xBase, y);
            SetTextColor(dc, textColor);
        }
        DrawRun(dc, shown, m, k, b, l.end, xBase, y);
    }
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

// ---- Keyboard ----

void MoveTo(HWND hwnd, EditState& s, std::size_t pos, bool extend, bool atLineEnd = false)
{
    s.model.MoveCaret(pos, extend, atLineEnd);
    Refresh(hwnd, s);
}

void MoveVertically(HWND hwnd, EditState& s, long lines, bool extend)
{
    const EditModel& m = s.model;
    const long count = long(m.LineCount());
    const std::size_t from = m.CaretLine();
    const long target = std::clamp(long(from) + lines, 0L, count - 1);
    if (std::size_t(target) == from) return;
    const int x = AlignOffset(hwnd, s, from) + m.XInLine(from, m.Caret());
    const std::size_t t = std::size_t(target);
    const std::size_t pos = m.PosAtX(t, x - AlignOffset(hwnd, s, t));
    const EditLine& l = m.Lines()[t];
    const bool atEnd = pos == l.end && l.SoftWrapped() && target + 1 < count;
    if (lines > 1 || lines < -1) {
        const long first = std::clamp(long(s.firstLine) + lines, 0L, count - 1);
        s.firstLine = std::size_t(first);
    }
    MoveTo(hwnd, s, pos, extend, atEnd);
}

void KeyDown(HWND hwnd, EditState& s, WORD vk)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool multi = IsMultiLine(hwnd);
    EditModel& m = s.model;
    switch (vk) {
        case VK_LEFT:
        case VK_UP:
            if (vk == VK_UP && multi) return MoveVertically(hwnd, s, -1, shift);
            if (m.HasSelection() && !shift && !ctrl) return MoveTo(hwnd, s, m.SelStart(), false);
            return MoveTo(hwnd, s, ctrl ? m.WordLeft(m.Caret()) : m.PrevPosition(m.Caret()), shift);
        case VK_RIGHT:
        case VK_DOWN:
            if (vk == VK_DOWN && multi) return MoveVertically(hwnd, s, 1, shift);
            if (m.HasSelection() && !shift && !ctrl) return MoveTo(hwnd, s, m.SelEnd(), false);
            return MoveTo(hwnd, s, ctrl ? m.WordRight(m.Caret()) : m.NextPosition(m.Caret()), shift);
        case VK_HOME:
            if (!multi || ctrl) return MoveTo(hwnd, s, 0, shift);
            return MoveTo(hwnd, s, m.Lines()[m.CaretLine()].start, shift);
        case VK_END: {
            if (!multi || ctrl) return MoveTo(hwnd, s, m.Text().size(), shift);
            const std::size_t line = m.CaretLine();
            const EditLine& l = m.Lines()[line];
            return MoveTo(hwnd, s, l.end, shift, l.SoftWrapped() && line + 1 < m.LineCount());
        }
        case VK_PRIOR:
            if (multi) MoveVertically(hwnd, s, -long(VisibleLines(hwnd, s)), shift);
            return;
        case VK_NEXT:
            if (multi) MoveVertically(hwnd, s, long(VisibleLines(hwnd, s)), shift);
            return;
        case VK_DELETE:
            if (shift) {
                SendMessage(hwnd, WM_CUT, 0, 0);
                return;
            }
            if (!IsReadOnly(hwnd) && m.DeleteForward()) TextChanged(hwnd, s, false);
            return;
        case VK_INSERT:
            if (ctrl)
                SendMessage(hwnd, WM_COPY, 0, 0);
            else if (shift)
                SendMessage(hwnd, WM_PASTE, 0, 0);
            return;
        default: return;
    }
}

void Character(HWND hwnd, EditState& s, unsigned char c)
{
    const bool multi = IsMultiLine(hwnd);
    const bool readOnly = IsReadOnly(hwnd);
    switch (c) {
        case 3: SendMessage(hwnd, WM_COPY, 0, 0); return;
        case 22: SendMessage(hwnd, WM_PASTE, 0, 0); return;
        case 24: SendMessage(hwnd, WM_CUT, 0, 0); return;
        case 26: SendMessage(hwnd, WM_UNDO, 0, 0); return;
        case 8:
            if (!readOnly && s.model.Backspace()) TextChanged(hwnd, s, false);
            return;
        case 13:
            if (multi && (StyleOf(hwnd) & ES_WANTRETURN) && !readOnly)
                Replace(hwnd, s, "\r\n", true, EditModel::EditKind::Typing);
            return;
        case 10:  // Ctrl+Enter breaks the line even without ES_WANTRETURN
            if (multi && !readOnly) Replace(hwnd, s, "\r\n", true, EditModel::EditKind::Typing);
            return;
        case 9:
            if (multi && !readOnly) Replace(hwnd, s, "\t", true, EditModel::EditKind::Typing);
            return;
        default:
            if (c < 32 || c == 127 || readOnly) return;
            Replace(hwnd, s, std::string(1, char(c)), true, EditModel::EditKind::Typing);
            return;
    }
}

// ---- Context menu ----

void ShowContextMenu(HWND hwnd, LPARAM where)
{
    if (GetFocus() != hwnd) SetFocus(hwnd);
    EditState* s = StateOf(hwnd);
    if (!s) return;
    POINT at = controls::PointFromLParam(where);
    if (where == -1) {
        at = PositionOf(hwnd, *s, s->model.Caret(), s->model.CaretLine());
        ClientToScreen(hwnd, &at);
    }
    const EditModel& m = s->model;
    const bool readOnly = IsReadOnly(hwnd);
    const bool password = (StyleOf(hwnd) & ES_PASSWORD) && !IsMultiLine(hwnd);
    const bool selection = m.HasSelection();
    const auto state = [](bool enabled) { return enabled ? UINT(MF_ENABLED) : UINT(MF_GRAYED); };
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING | state(m.CanUndo() && !readOnly), WM_UNDO, "&Undo");
    AppendMenu(menu, MF_SEPARATOR, 0, "");
    AppendMenu(menu, MF_STRING | state(selection && !readOnly && !password), WM_CUT, "Cu&t");
    AppendMenu(menu, MF_STRING | state(selection && !password), WM_COPY, "&Copy");
    AppendMenu(menu, MF_STRING | state(IsClipboardFormatAvailable(CF_TEXT) && !readOnly), WM_PASTE, "&Paste");
    AppendMenu(menu, MF_STRING | state(selection && !readOnly), WM_CLEAR, "&Delete");
    AppendMenu(menu, MF_SEPARATOR, 0, "");
    const bool everything = m.SelStart() == 0 && m.SelEnd() == m.Text().size();
    AppendMenu(menu, MF_STRING | state(!m.Text().empty() && !everything), EM_SETSEL, "Select &All");
    const int command = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
                                       0, hwnd, nullptr);
    DestroyMenu(menu);
    if (!IsWindow(hwnd) || command <= 0) return;
    if (UINT(command) == EM_SETSEL)
        SendMessage(hwnd, EM_SETSEL, 0, -1);
    else
        SendMessage(hwnd, UINT(command), 0, 0);
}

// ---- Line queries ----

LRESULT LineIndex(const EditModel& m, WPARAM wParam)
{
    const long line = long(std::intptr_t(wParam));
    const std::size_t l = line < 0 ? m.CaretLine() : std::size_t(line);
    if (l >= m.LineCount()) return -1;
    return LRESULT(m.Lines()[l].start);
}

LRESULT LineLength(HWND hwnd, const EditModel& m, WPARAM wParam)
{
    if (!IsMultiLine(hwnd)) return LRESULT(m.Text().size());
    const long index = long(std::intptr_t(wParam));
    const auto& lines = m.Lines();
    if (index < 0) {
        // The unselected characters on the lines the selection touches.
        const EditLine& first = lines[m.LineOf(m.SelStart())];
        const EditLine& last = lines[m.LineOf(m.SelEnd())];
        return LRESULT((m.SelStart() - first.start) + (last.end > m.SelEnd() ? last.end - m.SelEnd() : 0));
    }
    if (std::size_t(index) > m.Text().size()) return 0;
    const EditLine& l = lines[m.LineOf(std::size_t(index))];
    return LRESULT(l.end - l.start);
}

LRESULT GetLine(HWND hwnd, const EditModel& m, WPARAM wParam, LPARAM lParam)
{
    if (!lParam) return 0;
    char* buffer = reinterpret_cast<char*>(lParam);
    WORD capacity = 0;
    std::memcpy(&capacity, buffer, sizeof capacity);
    std::size_t line = IsMultiLine(hwnd) ? std::size_t(wParam) : 0;
    if (line >= m.LineCount()) return 0;
    const EditLine& l = m.Lines()[line];
    const std::size_t n = std::min<std::size_t>(l.end - l.start, capacity);
    std::memcpy(buffer, m.Text().data() + l.start, n);
    return LRESULT(n);
}

// A new text, the step an experiment repeats for every roll: kept apart from the long switch.
LRESULT SetTextMessage(HWND hwnd, LPARAM lParam)
{
    EditState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, WM_SETTEXT, 0, lParam);
    Configure(hwnd, *s);
    s->model.SetText(lParam ? reinterpret_cast<const char*>(lParam) : "");
    s->xOffset = 0;
    s->firstLine = 0;
    TextChanged(hwnd, *s, false);
    return 1;
}

[[gnu::noinline]] LRESULT HandleEditMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETOBJECT) return controls::AnswerGetObject(hwnd, lParam, controls::AccessibleKind::Edit);
    if (msg == WM_NCCREATE) {
        EditState* s = controls::AttachState<EditState>(hwnd, StateProperty());
        ApplyFont(*s, nullptr);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        controls::DetachState<EditState>(hwnd, StateProperty());
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    EditState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    Configure(hwnd, *s);
    EditModel& m = s->model;

    switch (msg) {
        case WM_CREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            if (cs) m.SetText(cs->lpszName);
            SyncWindowText(hwnd, *s);
            return 0;
        }
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE:
            Configure(hwnd, *s);
            Refresh(hwnd, *s);
            return 0;
        case WM_SETFONT:
            ApplyFont(*s, reinterpret_cast<HFONT>(wParam));
            Configure(hwnd, *s);
            if (s->focused) {
                CreateCaret(hwnd, 0, 1, LineHeight(*s));
                ShowCaret(hwnd);
            }
            ScrollToCaret(hwnd, *s);
            UpdateCaret(hwnd, *s);
            if (LOWORD(std::uintptr_t(lParam))) InvalidateRect(hwnd, nullptr, true);
            return 0;
        case WM_GETFONT: return LRESULT(reinterpret_cast<std::intptr_t>(controls::FontOrDefault(s->font)));
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if (IsMultiLine(hwnd)) code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_SETFOCUS:
            s->focused = true;
            CreateCaret(hwnd, 0, 1, LineHeight(*s));
            UpdateCaret(hwnd, *s);
            ShowCaret(hwnd);
            if (m.HasSelection()) InvalidateRect(hwnd, nullptr, false);
            NotifyParent(hwnd, WORD(EN_SETFOCUS));
            return 0;
        case WM_KILLFOCUS:
            s->focused = false;
            if (s->tracking) {
                s->tracking = false;
                ReleaseCapture();
            }
            if (GetCaretState().owner == hwnd) DestroyCaret();
            if (m.HasSelection()) InvalidateRect(hwnd, nullptr, false);
            NotifyParent(hwnd, WORD(EN_KILLFOCUS));
            return 0;
        case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
        case WM_KEYDOWN: KeyDown(hwnd, *s, WORD(wParam)); return 0;
        case WM_CHAR: Character(hwnd, *s, static_cast<unsigned char>(wParam)); return 0;
        case WM_LBUTTONDOWN: {
            if (GetFocus() != hwnd) {
                SetFocus(hwnd);
                if (!IsWindow(hwnd) || !(s = StateOf(hwnd))) return 0;
            }
            const HitPosition hit = PositionAt(hwnd, *s, controls::PointFromLParam(lParam));
            s->model.MoveCaret(hit.pos, (wParam & MK_SHIFT) != 0, hit.atLineEnd);
            s->tracking = true;
            SetCapture(hwnd);
            Refresh(hwnd, *s);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (s->tracking) {
                const HitPosition hit = PositionAt(hwnd, *s, controls::PointFromLParam(lParam));
                if (hit.pos != m.Caret()) MoveTo(hwnd, *s, hit.pos, true, hit.atLineEnd);
            }
            return 0;
        case WM_LBUTTONUP:
            if (s->tracking) {
                s->tracking = false;
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED: s->tracking = false; return 0;
        case WM_LBUTTONDBLCLK: {
            const HitPosition hit = PositionAt(hwnd, *s, controls::PointFromLParam(lParam));
            const auto [from, to] = m.WordAt(hit.pos);
            m.SetSel(long(from), long(to));
            Refresh(hwnd, *s);
            return 0;
        }
        case WM_RBUTTONUP: {
            POINT screen = controls::PointFromLParam(lParam);
            ClientToScreen(hwnd, &screen);
            SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)),
                        controls::PointToLParam(screen));
            return 0;
        }
        case WM_CONTEXTMENU: ShowContextMenu(hwnd, lParam); return 0;
        case WM_MOUSEWHEEL:
            if (IsMultiLine(hwnd)) {
                const int notches = std::int16_t(HIWORD(wParam)) / WHEEL_DELTA;
                SendMessage(hwnd, EM_LINESCROLL, 0, -notches * kWheelLines);
            }
            return 0;

        case WM_COPY: CopySelection(hwnd, *s); return 0;
        case WM_CUT:
            if (!CopySelection(hwnd, *s) || IsReadOnly(hwnd)) return 0;
            Replace(hwnd, *s, {}, true, EditModel::EditKind::Other);
            return 0;
        case WM_PASTE: {
            if (IsReadOnly(hwnd)) return 0;
            const auto text = GetClipboardText();
            if (text) Replace(hwnd, *s, *text, true, EditModel::EditKind::Other);
            return 0;
        }
        case WM_CLEAR:
            if (!IsReadOnly(hwnd) && m.HasSelection()) Replace(hwnd, *s, {}, true, EditModel::EditKind::Other);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            if (IsReadOnly(hwnd) || !m.Undo()) return 0;
            TextChanged(hwnd, *s, false);
            return 1;
        case EM_CANUNDO: return m.CanUndo() ? 1 : 0;
        case EM_EMPTYUNDOBUFFER: m.EmptyUndo(); return 0;

        case EM_GETSEL: {
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(m.SelStart());
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(m.SelEnd());
            if (m.SelEnd() > 0xFFFF) return -1;
            return MAKELONG(WORD(m.SelStart()), WORD(m.SelEnd()));
        }
        case EM_SETSEL:
            m.SetSel(long(std::intptr_t(wParam)), long(lParam));
            Refresh(hwnd, *s);
            return 0;
        case EM_REPLACESEL:
            Replace(hwnd, *s, lParam ? reinterpret_cast<const char*>(lParam) : "", wParam != 0,
                    EditModel::EditKind::Other);
            return 0;
        case EM_LIMITTEXT: {
            std::size_t limit = std::size_t(wParam);
            if (limit == 0) limit = IsMultiLine(hwnd) ? kMaxMultiLineLimit : kMaxSingleLineLimit;
            m.SetLimit(limit);
            return 0;
        }
        case EM_GETLIMITTEXT: return LRESULT(m.Limit());
        case EM_SETREADONLY: {
            const DWORD style = StyleOf(hwnd);
            SetWindowLongPtr(hwnd, GWL_STYLE,
                             std::intptr_t(wParam ? (style | ES_READONLY) : (style & ~DWORD(ES_READONLY))));
            InvalidateRect(hwnd, nullptr, true);
            return 1;
        }
        case EM_GETMODIFY: return m.Modified() ? 1 : 0;
        case EM_SETMODIFY: m.SetModified(wParam != 0); return 0;
        case EM_SETPASSWORDCHAR: {
            if (IsMultiLine(hwnd)) return 0;
            const DWORD style = StyleOf(hwnd);
            s->passwordChar = char(wParam);
            SetWindowLongPtr(hwnd, GWL_STYLE,
                             std::intptr_t(wParam ? (style | ES_PASSWORD) : (style & ~DWORD(ES_PASSWORD))));
            Configure(hwnd, *s);
            Refresh(hwnd, *s);
            return 1;
        }
        case EM_GETPASSWORDCHAR:
            return (StyleOf(hwnd) & ES_PASSWORD) ? LRESULT(static_cast<unsigned char>(s->passwordChar)) : 0;
        case EM_GETLINECOUNT: return LRESULT(m.LineCount());
        case EM_LINEINDEX: return LineIndex(m, wParam);
        case EM_LINELENGTH: return LineLength(hwnd, m, wParam);
        case EM_LINEFROMCHAR: {
            const long index = long(std::intptr_t(wParam));
            if (index < 0) return LRESULT(m.HasSelection() ? m.LineOf(m.SelStart()) : m.CaretLine());
            return LRESULT(m.LineOf(std::size_t(index)));
        }
        case EM_GETLINE: return GetLine(hwnd, m, wParam, lParam);
        case EM_SCROLLCARET: Refresh(hwnd, *s); return 1;
        case EM_GETRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, *s);
            return 0;
        case EM_GETFIRSTVISIBLELINE:
            if (IsMultiLine(hwnd)) return LRESULT(s->firstLine);
            return LRESULT(m.PosAtX(0, s->xOffset));
        case EM_LINESCROLL: {
            if (!IsMultiLine(hwnd)) return 0;
            const long count = long(m.LineCount());
            s->firstLine = std::size_t(std::clamp(long(s->firstLine) + long(lParam), 0L, count - 1));
            if (ScrollsHorizontally(hwnd))
                s->xOffset = std::max(0, s->xOffset + int(std::intptr_t(wParam)) * s->measure.aveCharWidth);
            InvalidateRect(hwnd, nullptr, false);
            UpdateCaret(hwnd, *s);
            return 1;
        }
        case EM_POSFROMCHAR: {
            const std::size_t index = std::size_t(wParam);
            if (index > m.Text().size()) return -1;
            const POINT p = PositionOf(hwnd, *s, index, m.LineOf(index));
            return MAKELONG(WORD(std::int16_t(p.x)), WORD(std::int16_t(p.y)));
        }
        case EM_CHARFROMPOS: {
            const HitPosition hit = PositionAt(hwnd, *s, controls::PointFromLParam(lParam));
            return MAKELONG(WORD(hit.pos), WORD(m.LineOf(hit.pos)));
        }
        case EM_SETMARGINS:
            if (wParam & EC_LEFTMARGIN)
                s->marginLeft =
                    LOWORD(std::uintptr_t(lParam)) == EC_USEFONTINFO ? kDefaultMargin : LOWORD(std::uintptr_t(lParam));
            if (wParam & EC_RIGHTMARGIN)
                s->marginRight =
                    HIWORD(std::uintptr_t(lParam)) == EC_USEFONTINFO ? kDefaultMargin : HIWORD(std::uintptr_t(lParam));
            Configure(hwnd, *s);
            Refresh(hwnd, *s);
            return 0;
        case EM_GETMARGINS: return MAKELONG(WORD(s->marginLeft), WORD(s->marginRight));
        case EM_SETTABSTOPS: {
            if (!IsMultiLine(hwnd)) return 0;
            s->tabStopDialogUnits = kDefaultTabStopDialogUnits;
            if (wParam >= 1 && lParam) s->tabStopDialogUnits = std::max(1, *reinterpret_cast<const int*>(lParam));
            ApplyFont(*s, s->font);
            Refresh(hwnd, *s);
            return 1;
        }
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

// The window text always follows the model, so reading it needs neither the state nor the styles.
LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETTEXTLENGTH || msg == WM_GETTEXT) return DefWindowProc(hwnd, msg, wParam, lParam);
    if (msg == WM_SETTEXT) return SetTextMessage(hwnd, lParam);
    return HandleEditMessage(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace controls {

void RegisterEditClass()
{
    WNDCLASS cls;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = EditProc;
    cls.hCursor = IDC_IBEAM;
    cls.lpszClassName = kEditClass;
    RegisterClass(cls);
}

}  // namespace controls
}  // namespace desktop
