// The "SysTabControl32" window class: one row of classic tabs on top of a
// display area framed with a raised edge.
//
// Geometry for a font of height h: unselected tabs occupy y = 2 .. 2 + (h + 5)
// (18 pixels for the 8-point "MS Sans Serif"), starting at x = 2, each as wide as
// its caption plus 6 pixels either side. The selected tab grows 2 pixels to the
// left, right and top and reaches one pixel into the frame below it. The display
// area (TCM_ADJUSTRECT) lies 4 pixels inside the frame: for that font a
// 289 x 193 control shows its pages at (4, 24) - (285, 189).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "desktop/Accessible.h"
#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"

namespace desktop {

namespace {

ATOM StateProperty()
{
    static const ATOM atom = AddAtom("desktop.tab.state");
    return atom;
}
constexpr int kRowTop = 2;
constexpr int kFirstTabLeft = 2;
constexpr int kTextPadding = 6;
constexpr int kVerticalPadding = 5;
constexpr int kSelectedGrowth = 2;
constexpr int kDisplayInset = 4;

struct TabItem {
    std::string text;
    int image = -1;
    LPARAM param = 0;
};

struct TabState {
    std::vector<TabItem> items;
    int selected = -1;
    HFONT font = nullptr;
    controls::FontMeasure measure;
    bool focused = false;
};

TabState* StateOf(HWND hwnd) { return controls::StateOf<TabState>(hwnd, StateProperty()); }

int ItemHeight(const TabState& s) { return s.measure.height + kVerticalPadding; }
int RowBottom(const TabState& s) { return kRowTop + ItemHeight(s); }

int CaptionWidth(const TabState& s, const std::string& text)
{
    // "&" marks an accelerator as in DrawText; "&&" is one "&".
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 >= text.size()) break;
            ++i;
        }
        w += s.measure.advances[static_cast<unsigned char>(text[i])];
    }
    return w;
}

RECT ItemRect(const TabState& s, int index)
{
    LONG x = kFirstTabLeft;
    for (int i = 0; i < index; ++i) x += CaptionWidth(s, s.items[std::size_t(i)].text) + 2 * kTextPadding;
    const LONG w = CaptionWidth(s, s.items[std::size_t(index)].text) + 2 * kTextPadding;
    return RECT{x, kRowTop, x + w, RowBottom(s)};
}

RECT SelectedItemRect(const TabState& s, int index)
{
    RECT r = ItemRect(s, index);
    return RECT{r.left - kSelectedGrowth, r.top - kSelectedGrowth, r.right + kSelectedGrowth, r.bottom + 1};
}

int HitTest(const TabState& s, POINT p)
{
    if (s.selected >= 0 && s.selected < int(s.items.size()) && SelectedItemRect(s, s.selected).Contains(p))
        return s.selected;
    for (int i = 0; i < int(s.items.size()); ++i)
        if (ItemRect(s, i).Contains(p)) return i;
    return -1;
}

void Select(HWND hwnd, int index)
{
    TabState* s = StateOf(hwnd);
    if (!s || index < 0 || index >= int(s->items.size()) || index == s->selected) return;
    if (controls::NotifyParentNmhdr(hwnd, TCN_SELCHANGING) != 0) return;
    if (!IsWindow(hwnd) || !(s = StateOf(hwnd)) || index >= int(s->items.size())) return;
    s->selected = index;
    InvalidateRect(hwnd, nullptr, true);
    controls::NotifyParentNmhdr(hwnd, TCN_SELCHANGE);
}

void DrawTab(HDC dc, RECT r, bool selected)
{
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH dark = GetSysColorBrush(COLOR_3DDKSHADOW);
    const auto fill = [&](LONG l, LONG t, LONG rr, LONG b, HBRUSH brush) {
        RECT x{l, t, rr, b};
        FillRect(dc, &x, brush);
    };
    RECT face{r.left + 1, r.top + 1, r.right - 2, r.bottom};
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    fill(r.left, r.top + 2, r.left + 1, r.bottom, light);         // left side
    fill(r.left + 1, r.top + 1, r.left + 2, r.top + 2, light);    // rounded corner
    fill(r.left + 2, r.top, r.right - 2, r.top + 1, light);       // top
    fill(r.right - 2, r.top + 1, r.right - 1, r.top + 2, dark);   // corner
    fill(r.right - 1, r.top + 2, r.right, r.bottom, dark);        // right side, outer
    fill(r.right - 2, r.top + 2, r.right - 1, r.bottom, shadow);  // right side, inner
    if (selected) fill(r.left + 1, r.bottom - 1, r.right - 2, r.bottom, GetSysColorBrush(COLOR_BTNFACE));
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    TabState* s = StateOf(hwnd);
    if (!dc || !s) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT frame{client.left, RowBottom(*s), client.right, client.bottom};
    DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT | BF_SOFT);

    HGDIOBJ oldFont = SelectObject(dc, controls::FontOrDefault(s->font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const auto drawCaption = [&](int i, RECT r, bool selected) {
        DrawTab(dc, r, selected);
        RECT text = ItemRect(*s, i);
        if (selected) text = OffsetRectBy(text, 0, -1);
        DrawText(dc, s->items[std::size_t(i)].text, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (selected && s->focused) {
            const int w = CaptionWidth(*s, s->items[std::size_t(i)].text);
            const LONG cx = (text.left + text.right) / 2;
            const LONG cy = (text.top + text.bottom) / 2;
            RECT focus{cx - w / 2 - 3, cy - s->measure.height / 2 - 1, cx - w / 2 + w + 3,
                       cy - s->measure.height / 2 + s->measure.height + 1};
            DrawFocusRect(dc, &focus);
        }
    };
    for (int i = 0; i < int(s->items.size()); ++i)
        if (i != s->selected) drawCaption(i, ItemRect(*s, i), false);
    if (s->selected >= 0 && s->selected < int(s->items.size()))
        drawCaption(s->selected, SelectedItemRect(*s, s->selected), true);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT InsertItem(HWND hwnd, TabState& s, WPARAM wParam, const TCITEM* item)
{
    if (!item) return -1;
    TabItem t;
    if ((item->mask & TCIF_TEXT) && item->pszText) t.text = item->pszText;
    if (item->mask & TCIF_IMAGE) t.image = item->iImage;
    if (item->mask & TCIF_PARAM) t.param = item->lParam;
    const int index = std::clamp(int(std::intptr_t(wParam)), 0, int(s.items.size()));
    s.items.insert(s.items.begin() + index, t);
    if (s.selected < 0)
        s.selected = 0;  // the first tab of an empty control becomes the selected one
    else if (index <= s.selected)
        ++s.selected;
    InvalidateRect(hwnd, nullptr, true);
    return index;
}

LRESULT GetItem(const TabState& s, WPARAM wParam, TCITEM* item)
{
    const int index = int(std::intptr_t(wParam));
    if (!item || index < 0 || index >= int(s.items.size())) return 0;
    const TabItem& t = s.items[std::size_t(index)];
    if ((item->mask & TCIF_TEXT) && item->textBuffer && item->cchTextMax > 0) {
        const std::size_t n = std::min(t.text.size(), std::size_t(item->cchTextMax - 1));
        std::memcpy(item->textBuffer, t.text.data(), n);
        item->textBuffer[n] = 0;
    }
    if (item->mask & TCIF_IMAGE) item->iImage = t.image;
    if (item->mask & TCIF_PARAM) item->lParam = t.param;
    return 1;
}

LRESULT TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETOBJECT) return controls::AnswerGetObject(hwnd, lParam, controls::AccessibleKind::Tab);
    if (msg == WM_NCCREATE) {
        TabState* s = controls::AttachState<TabState>(hwnd, StateProperty());
        s->measure = controls::MeasureFont(nullptr);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        controls::DetachState<TabState>(hwnd, StateProperty());
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    TabState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wParam);
            s->measure = controls::MeasureFont(s->font);
            if (LOWORD(std::uintptr_t(lParam))) InvalidateRect(hwnd, nullptr, true);
            return 0;
        case WM_GETFONT: return LRESULT(reinterpret_cast<std::intptr_t>(controls::FontOrDefault(s->font)));
        case WM_SIZE: InvalidateRect(hwnd, nullptr, true); return 0;
        case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            s->focused = msg == WM_SETFOCUS;
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case WM_LBUTTONDOWN: {
            const int hit = HitTest(*s, controls::PointFromLParam(lParam));
            if (hit < 0) return 0;
            if (!(GetWindowLongPtr(hwnd, GWL_STYLE) & TCS_FOCUSNEVER) && GetFocus() != hwnd) {
                SetFocus(hwnd);
                if (!IsWindow(hwnd)) return 0;
            }
            Select(hwnd, hit);
            return 0;
        }
        case WM_KEYDOWN: {
            const int count = int(s->items.size());
            if (count == 0) return 0;
            if (wParam == VK_LEFT && s->selected > 0) Select(hwnd, s->selected - 1);
            if (wParam == VK_RIGHT && s->selected + 1 < count) Select(hwnd, s->selected + 1);
            return 0;
        }
        case TCM_INSERTITEM: return InsertItem(hwnd, *s, wParam, reinterpret_cast<const TCITEM*>(lParam));
        case TCM_SETITEM: {
            const int index = int(std::intptr_t(wParam));
            const auto* item = reinterpret_cast<const TCITEM*>(lParam);
            if (!item || index < 0 || index >= int(s->items.size())) return 0;
            TabItem& t = s->items[std::size_t(index)];
            if (item->mask & TCIF_TEXT) t.text = item->pszText ? item->pszText : "";
            if (item->mask & TCIF_IMAGE) t.image = item->iImage;
            if (item->mask & TCIF_PARAM) t.param = item->lParam;
            InvalidateRect(hwnd, nullptr, true);
            return 1;
        }
        case TCM_GETITEM: return GetItem(*s, wParam, reinterpret_cast<TCITEM*>(lParam));
        case TCM_DELETEITEM: {
            const int index = int(std::intptr_t(wParam));
            if (index < 0 || index >= int(s->items.size())) return 0;
            s->items.erase(s->items.begin() + index);
            if (index == s->selected)
                s->selected = -1;
            else if (index < s->selected)
                --s->selected;
            InvalidateRect(hwnd, nullptr, true);
            return 1;
        }
        case TCM_DELETEALLITEMS:
            s->items.clear();
            s->selected = -1;
            InvalidateRect(hwnd, nullptr, true);
            return 1;
        case TCM_GETITEMCOUNT: return LRESULT(s->items.size());
        case TCM_GETROWCOUNT: return 1;
        case TCM_GETCURSEL:
        case TCM_GETCURFOCUS: return s->selected;
        case TCM_SETCURSEL:
        case TCM_SETCURFOCUS: {
            const int index = int(std::intptr_t(wParam));
            if (index < 0 || index >= int(s->items.size())) return -1;
            const int previous = s->selected;
            s->selected = index;
            if (previous != index) {
                InvalidateRect(hwnd, nullptr, true);
                RaiseWindowEvent(AccEvent::SelectionChanged, hwnd);
            }
            return previous;
        }
        case TCM_GETITEMRECT: {
            const int index = int(std::intptr_t(wParam));
            auto* out = reinterpret_cast<RECT*>(lParam);
            if (!out || index < 0 || index >= int(s->items.size())) return 0;
            *out = ItemRect(*s, index);
            return 1;
        }
        case TCM_HITTEST: {
            auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
            if (!info) return -1;
            const int hit = HitTest(*s, info->pt);
            info->flags = hit < 0 ? TCHT_NOWHERE : TCHT_ONITEMLABEL;
            return hit;
        }
        case TCM_ADJUSTRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            if (!r) return 0;
            const LONG top = RowBottom(*s) + kDisplayInset;
            if (wParam) {
                *r = RECT{r->left - kDisplayInset, r->top - top, r->right + kDisplayInset, r->bottom + kDisplayInset};
            } else {
                *r = RECT{r->left + kDisplayInset, r->top + top, r->right - kDisplayInset, r->bottom - kDisplayInset};
            }
            return 0;
        }
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

namespace controls {

void RegisterTabControlClass()
{
    WNDCLASS cls;
    cls.lpfnWndProc = TabProc;
    cls.hCursor = IDC_ARROW;
    cls.lpszClassName = kTabControlClass;
    RegisterClass(cls);
}

}  // namespace controls
}  // namespace desktop
