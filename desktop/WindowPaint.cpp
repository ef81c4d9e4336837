// Device contexts of windows, paint and erase, and the classic window frame.
// Every window is clipped to what shows of it: its ancestors' client areas,
// minus the siblings stacked above it and minus its own children.
#include <unordered_map>

#include "desktop/Backend.h"
#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

std::unordered_map<HDC, Window*>& DcOwners()
{
    static auto* m = new std::unordered_map<HDC, Window*>();
    return *m;
}

Region VisibleRegion(Window* w, bool clientOnly)
{
    if (!IsVisibleChain(w)) return Region();
    Region visible = Region::FromRect(clientOnly ? ClientRectInTopLevel(w) : RectInTopLevel(w));
    for (Window* a = w; a->parent; a = a->parent) {
        visible = visible.Intersected(Region::FromRect(ClientRectInTopLevel(a->parent)));
        const auto& sib = a->parent->children;
        bool above = false;
        for (Window* s : sib) {
            if (s == a) {
                above = true;
                continue;
            }
            if (above && (s->style & WS_VISIBLE) && s->alive.load())
                visible = visible.Subtracted(Region::FromRect(RectInTopLevel(s)));
        }
    }
    for (Window* c : w->children)
        if ((c->style & WS_VISIBLE) && c->alive.load())
            visible = visible.Subtracted(Region::FromRect(RectInTopLevel(c)));
    return visible;
}

HDC MakeDC(Window* w, bool clientOnly, const Region* extraClip)
{
    Window* top = TopLevelOf(w);
    if (!top || !top->surface) return nullptr;
    Region clip = VisibleRegion(w, clientOnly);
    if (extraClip) clip = clip.Intersected(*extraClip);
    const RECT frame = clientOnly ? ClientRectInTopLevel(w) : RectInTopLevel(w);
    HDC dc = CreateSurfaceDC(top->surface.get(), POINT{frame.left, frame.top}, clip);
    if (dc) DcOwners()[dc] = top;
    return dc;
}

void DrawCaption(Window* w, HDC dc, RECT r)
{
    const bool active = GetActiveWindow() == w;
    FillRect(dc, &r, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    LOGFONT lf{};
    NonClientFonts fonts;
    GetNonClientFonts(fonts);
    lf.lfHeight = fonts.captionFontHeight;
    lf.lfWeight = fonts.captionFontWeight;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", fonts.captionFontFace.c_str());
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT text = r;
    text.left += 4;
    DrawText(dc, w->text, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(font);
}

}  // namespace

HDC BeginPaintImpl(Window* w, PAINTSTRUCT* ps)
{
    const RECT update = w->update;
    const bool erase = w->erase;
    w->update = RECT{};
    w->erase = false;
    const RECT client = ClientRectInTopLevel(w);
    const Region clip = Region::FromRect(OffsetRectBy(update, client.left, client.top));
    HDC dc = MakeDC(w, true, &clip);
    ps->hdc = dc;
    ps->rcPaint = update;
    ps->fErase = false;
    if (dc && erase) ps->fErase = SendMessage(w, WM_ERASEBKGND, WPARAM(reinterpret_cast<std::uintptr_t>(dc)), 0) == 0;
    return dc;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps || !ps->hdc) return false;
    ReleaseDC(hwnd, ps->hdc);
    return true;
}

HDC GetDC(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    return MakeDC(hwnd, true, nullptr);
}

HDC GetWindowDC(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    return MakeDC(hwnd, false, nullptr);
}

HDC GetDCEx(HWND hwnd, const Region* clip, DWORD /*flags*/)
{
    if (!IsWindow(hwnd)) return nullptr;
    if (!clip) return MakeDC(hwnd, true, nullptr);
    const RECT c = ClientRectInTopLevel(hwnd);
    Region shifted = *clip;
    shifted.Offset(c.left, c.top);
    return MakeDC(hwnd, true, &shifted);
}

int ReleaseDC(HWND /*hwnd*/, HDC dc)
{
    auto& owners = DcOwners();
    auto it = owners.find(dc);
    if (it == owners.end()) return 0;
    Window* top = it->second;
    owners.erase(it);
    DeleteDC(dc);
    if (top && top->alive.load()) NotifyBackendSurface(top);
    return 1;
}

bool EraseWithClassBrush(Window* w, HDC dc)
{
    const std::intptr_t brush = w->cls->info.hbrBackground;
    if (!brush || !dc) return false;
    RECT r;
    GetClientRect(w, &r);
    FillRect(dc, &r, GetSysColorBrush(int(brush - 1)));
    return true;
}

void PaintNonClientFrame(Window* w)
{
    const bool topLevel = w->IsTopLevel();
    const RECT insets = NonClientInsets(w->style, w->exStyle, topLevel);
    if (insets == RECT{}) return;
    Region frame = Region::FromRect(RectInTopLevel(w)).Subtracted(Region::FromRect(ClientRectInTopLevel(w)));
    HDC dc = MakeDC(w, false, &frame);
    if (!dc) return;
    RECT r{0, 0, w->rect.Width(), w->rect.Height()};
    if (w->style & WS_THICKFRAME) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        const LONG extra = GetSystemMetrics(SM_CXFRAME) - 2;
        for (LONG i = 0; i < extra; ++i) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            r = InflateRectBy(r, -1, -1);
        }
    } else if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        const LONG extra = GetSystemMetrics(SM_CXDLGFRAME) - 2;
        for (LONG i = 0; i < extra; ++i) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            r = InflateRectBy(r, -1, -1);
        }
    } else if (w->style & WS_BORDER) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = InflateRectBy(r, -1, -1);
    }
    if ((w->style & WS_CAPTION) == WS_CAPTION && topLevel) {
        RECT cap{r.left, r.top, r.right, r.top + GetSystemMetrics(SM_CYCAPTION) - 1};
        DrawCaption(w, dc, cap);
        RECT line{r.left, cap.bottom, r.right, cap.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        r.top = line.bottom;
    }
    if (w->exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    ReleaseDC(w, dc);
}

}  // namespace desktop
