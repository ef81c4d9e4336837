// Popup menus: a registry of menus and their items, and TrackPopupMenu with its
// modal loop, its cascading popup windows ("#32768") and the classic menu look.
//
// Item geometry for a font of height h: command items are h + 4 pixels high,
// separators 9; a 3-pixel raised border surrounds them; a 17-pixel gutter on the
// left holds the check mark and one on the right the submenu arrow.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/System.h"

namespace desktop {

namespace {

using controls::FillBox;
using controls::kPopupMenuClass;

constexpr int kBorder = 3;
constexpr int kCheckGutter = 17;
constexpr int kArrowGutter = 17;
constexpr int kShortcutGap = 12;
constexpr int kSeparatorHeight = 9;
constexpr int kItemPadding = 4;
constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT;
constexpr WORD kMenuClosed = 0xFFFF;

struct MenuItem {
    UINT flags = 0;
    std::uintptr_t id = 0;
    std::string text;
    HMENU submenu = 0;
    bool IsSeparator() const { return flags & MF_SEPARATOR; }
    bool IsPopup() const { return submenu != 0; }
    bool IsEnabled() const { return !(flags & (MF_GRAYED | MF_DISABLED)); }
};

struct MenuData {
    std::vector<MenuItem> items;
};

struct MenuRegistry {
    std::recursive_mutex mutex;
    std::map<HMENU, std::unique_ptr<MenuData>> menus;
    HMENU next = 0x10000;
};

MenuRegistry& Registry()
{
    static auto* r = new MenuRegistry();
    return *r;
}

MenuData* Find(HMENU menu)
{
    auto& menus = Registry().menus;
    auto it = menus.find(menu);
    return it == menus.end() ? nullptr : it->second.get();
}

struct ItemRef {
    MenuData* menu = nullptr;
    std::size_t index = 0;
    MenuItem* operator->() const { return &menu->items[index]; }
    explicit operator bool() const { return menu != nullptr; }
};

// By position, or by command id searching submenus too.
ItemRef Locate(HMENU handle, UINT item, UINT flags, int depth = 0)
{
    MenuData* menu = Find(handle);
    if (!menu || depth > 16) return {};
    if (flags & MF_BYPOSITION) {
        if (item >= menu->items.size()) return {};
        return ItemRef{menu, item};
    }
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& it = menu->items[i];
        if (it.IsPopup()) {
            if (ItemRef found = Locate(it.submenu, item, flags, depth + 1)) return found;
        } else if (!it.IsSeparator() && it.id == item) {
            return ItemRef{menu, i};
        }
    }
    return {};
}

bool MakeItem(UINT flags, std::uintptr_t id, const std::string& text, MenuItem* out)
{
    out->flags = flags & (kStateFlags | MF_SEPARATOR | MF_POPUP);
    out->text = (flags & MF_SEPARATOR) ? std::string() : text;
    if (flags & MF_POPUP) {
        if (!Find(HMENU(id))) return false;
        out->submenu = HMENU(id);
        out->id = 0;
    } else {
        out->id = (flags & MF_SEPARATOR) ? 0 : id;
    }
    return true;
}

void DestroyRecursive(HMENU handle, int depth)
{
    MenuData* menu = Find(handle);
    if (!menu || depth > 16) return;
    std::vector<HMENU> subs;
    for (const MenuItem& it : menu->items)
        if (it.IsPopup()) subs.push_back(it.submenu);
    Registry().menus.erase(handle);
    for (HMENU s : subs) DestroyRecursive(s, depth + 1);
}

// ---- Tracking ----

struct Level {
    HMENU menu = 0;
    HWND window = nullptr;
    std::vector<RECT> itemRects;  // client coordinates of the popup window
    int hot = -1;
};

struct Tracking {
    HWND owner = nullptr;
    UINT flags = 0;
    HFONT font = nullptr;
    int fontHeight = 0;
    std::vector<Level> levels;
    bool done = false;
    std::uintptr_t chosen = 0;
    bool quit = false;
    int quitCode = 0;
};

Tracking* g_tracking = nullptr;

bool Notifies(const Tracking& t) { return !(t.flags & TPM_NONOTIFY); }

std::pair<std::string, std::string> SplitShortcut(const std::string& text)
{
    const std::size_t tab = text.find('\t');
    if (tab == std::string::npos) return {text, std::string()};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

SIZE LayOut(const Tracking& t, const MenuData& menu, std::vector<RECT>& rects)
{
    int captionWidth = 0, shortcutWidth = 0;
    for (const MenuItem& it : menu.items) {
        if (it.IsSeparator()) continue;
        const auto [caption, shortcut] = SplitShortcut(it.text);
        captionWidth = std::max<int>(captionWidth, controls::MeasureText(t.font, caption, 0).cx);
        if (!shortcut.empty())
            shortcutWidth = std::max<int>(shortcutWidth, controls::MeasureText(t.font, shortcut, 0).cx);
    }
    const int width =
        2 * kBorder + kCheckGutter + captionWidth + (shortcutWidth ? kShortcutGap + shortcutWidth : 0) + kArrowGutter;
    rects.clear();
    LONG y = kBorder;
    for (const MenuItem& it : menu.items) {
        const LONG h = it.IsSeparator() ? kSeparatorHeight : t.fontHeight + kItemPadding;
        rects.push_back(RECT{kBorder, y, width - kBorder, y + h});
        y += h;
    }
    return SIZE{width, y + kBorder};
}

POINT KeepOnScreen(POINT p, SIZE size, LONG flipX, LONG flipY)
{
    const LONG sw = GetSystemMetrics(SM_CXSCREEN);
    const LONG sh = GetSystemMetrics(SM_CYSCREEN);
    if (p.x + size.cx > sw) p.x = flipX - size.cx;
    if (p.y + size.cy > sh) p.y = flipY - size.cy;
    p.x = std::clamp<LONG>(p.x, 0, std::max<LONG>(0, sw - size.cx));
    p.y = std::clamp<LONG>(p.y, 0, std::max<LONG>(0, sh - size.cy));
    return p;
}

bool OpenLevel(Tracking& t, HMENU menu, POINT at, LONG flipX, LONG flipY, bool aligned)
{
    MenuData* data = Find(menu);
    if (!data || data->items.empty()) return false;
    Level level;
    level.menu = menu;
    const SIZE size = LayOut(t, *data, level.itemRects);
    if (aligned) {
        if (t.flags & TPM_RIGHTALIGN)
            at.x -= size.cx;
        else if (t.flags & TPM_CENTERALIGN)
            at.x -= size.cx / 2;
        if (t.flags & TPM_BOTTOMALIGN)
            at.y -= size.cy;
        else if (t.flags & TPM_VCENTERALIGN)
            at.y -= size.cy / 2;
    }
    const POINT p = KeepOnScreen(at, size, flipX, flipY);
    level.window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupMenuClass, "", WS_POPUP, p.x, p.y, size.cx,
                                  size.cy, t.owner, 0, nullptr);
    if (!level.window) return false;
    t.levels.push_back(std::move(level));
    ShowWindow(t.levels.back().window, SW_SHOWNA);
    return true;
}

void CloseLevelsAbove(Tracking& t, std::size_t keep)
{
    while (t.levels.size() > keep + 1) {
        HWND w = t.levels.back().window;
        t.levels.pop_back();
        DestroyWindow(w);
    }
}

void SetHot(Tracking& t, std::size_t levelIndex, int item)
{
    Level& level = t.levels[levelIndex];
    if (level.hot == item) return;
    level.hot = item;
    InvalidateRect(level.window, nullptr, false);
    if (!Notifies(t)) return;
    MenuData* data = Find(level.menu);
    if (item < 0 || !data || std::size_t(item) >= data->items.size()) return;
    const MenuItem& it = data->items[std::size_t(item)];
    const WORD idOrPosition = it.IsPopup() ? WORD(item) : WORD(it.id);
    const WORD flags = WORD((it.flags & kStateFlags) | MF_HILITE | (it.IsPopup() ? MF_POPUP : 0u));
    SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(idOrPosition, flags), LPARAM(level.menu));
}

const MenuItem* ItemOf(const Level& level, int index)
{
    MenuData* data = Find(level.menu);
    if (!data || index < 0 || std::size_t(index) >= data->items.size()) return nullptr;
    return &data->items[std::size_t(index)];
}

int NextSelectable(const Level& level, int from, int step)
{
    MenuData* data = Find(level.menu);
    if (!data || data->items.empty()) return -1;
    const int n = int(data->items.size());
    int i = from < 0 ? (step > 0 ? -1 : n) : from;
    for (int k = 0; k < n; ++k) {
        i = ((i + step) % n + n) % n;
        if (!data->items[std::size_t(i)].IsSeparator()) return i;
    }
    return -1;
}

void OpenSubmenu(Tracking& t, std::size_t levelIndex, int item, bool selectFirst)
{
    CloseLevelsAbove(t, levelIndex);
    SetHot(t, levelIndex, item);
    const MenuItem* it = ItemOf(t.levels[levelIndex], item);
    if (!it || !it->IsPopup() || !it->IsEnabled()) return;
    const HMENU sub = it->submenu;
    if (Notifies(t)) SendMessage(t.owner, WM_INITMENUPOPUP, WPARAM(sub), MAKELPARAM(WORD(item), 0));
    if (t.done || levelIndex >= t.levels.size()) return;
    const Level& parent = t.levels[levelIndex];
    if (std::size_t(item) >= parent.itemRects.size()) return;
    RECT outer;
    GetWindowRect(parent.window, &outer);
    const RECT& r = parent.itemRects[std::size_t(item)];
    const POINT at{outer.right - kBorder, outer.top + r.top - kBorder};
    if (OpenLevel(t, sub, at, outer.left + kBorder, outer.top + r.bottom + kBorder, false) && selectFirst)
        SetHot(t, t.levels.size() - 1, NextSelectable(t.levels.back(), -1, 1));
}

void Choose(Tracking& t, std::size_t levelIndex, int item)
{
    const MenuItem* it = ItemOf(t.levels[levelIndex], item);
    if (!it || it->IsSeparator()) return;
    if (it->IsPopup()) {
        OpenSubmenu(t, levelIndex, item, true);
        return;
    }
    if (!it->IsEnabled()) return;
    t.chosen = it->id;
    t.done = true;
}

// The deepest open level under the screen point and the item there.
std::pair<int, int> HitTest(const Tracking& t, POINT screen)
{
    for (int l = int(t.levels.size()) - 1; l >= 0; --l) {
        const Level& level = t.levels[std::size_t(l)];
        RECT outer;
        GetWindowRect(level.window, &outer);
        if (!outer.Contains(screen)) continue;
        const POINT local{screen.x - outer.left, screen.y - outer.top};
        const MenuData* data = Find(level.menu);
        const std::size_t n = data ? std::min(data->items.size(), level.itemRects.size()) : 0;
        for (std::size_t i = 0; i < n; ++i)
            if (level.itemRects[i].Contains(local)) return {l, int(i)};
        return {l, -1};
    }
    return {-1, -1};
}

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST; }
bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

void HandleMouse(Tracking& t, const MSG& m)
{
    const auto [levelIndex, item] = HitTest(t, m.pt);
    switch (m.message) {
        case WM_MOUSEMOVE: {
            if (levelIndex < 0) {
                Level& last = t.levels.back();
                const MenuItem* it = ItemOf(last, last.hot);
                if (!(it && it->IsPopup())) SetHot(t, t.levels.size() - 1, -1);
                return;
            }
            const std::size_t l = std::size_t(levelIndex);
            if (item < 0) return;
            if (t.levels.size() > l + 1 && t.levels[l].hot == item) {
                SetHot(t, t.levels.size() - 1, t.levels.back().hot);
                return;
            }
            const MenuItem* it = ItemOf(t.levels[l], item);
            if (!it || it->IsSeparator()) {
                CloseLevelsAbove(t, l);
                SetHot(t, l, -1);
                return;
            }
            if (it->IsPopup())
                OpenSubmenu(t, l, item, false);
            else {
                CloseLevelsAbove(t, l);
                SetHot(t, l, item);
            }
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (levelIndex < 0) {
                t.done = true;  // a click outside cancels
                t.chosen = 0;
                return;
            }
            if (item >= 0) {
                const MenuItem* it = ItemOf(t.levels[std::size_t(levelIndex)], item);
                if (it && it->IsPopup()) OpenSubmenu(t, std::size_t(levelIndex), item, false);
            }
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (m.message == WM_RBUTTONUP && !(t.flags & TPM_RIGHTBUTTON)) return;
            if (levelIndex >= 0 && item >= 0) {
                const MenuItem* it = ItemOf(t.levels[std::size_t(levelIndex)], item);
                if (it && !it->IsPopup()) Choose(t, std::size_t(levelIndex), item);
            }
            return;
        default: return;
    }
}

void HandleCharacter(Tracking& t, char c)
{
    const std::size_t l = t.levels.size() - 1;
    const Level& level = t.levels[l];
    MenuData* data = Find(level.menu);
    if (!data) return;
    const char key = LowerCp1252(c);
    std::vector<int> matches;
    for (std::size_t i = 0; i < data->items.size(); ++i)
        if (!data->items[i].IsSeparator() && MnemonicOf(data->items[i].text) == key) matches.push_back(int(i));
    if (matches.empty()) return;
    if (matches.size() == 1) {
        SetHot(t, l, matches[0]);
        Choose(t, l, matches[0]);
        return;
    }
    auto next = std::upper_bound(matches.begin(), matches.end(), level.hot);
    SetHot(t, l, next == matches.end() ? matches.front() : *next);
}

void HandleKey(Tracking& t, MSG& m)
{
    if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
        HandleCharacter(t, char(m.wParam));
        return;
    }
    if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return;
    const std::size_t l = t.levels.size() - 1;
    Level& level = t.levels[l];
    switch (WORD(m.wParam)) {
        case VK_ESCAPE:
            if (l > 0)
                CloseLevelsAbove(t, l - 1);
            else
                t.done = true;
            return;
        case VK_MENU:
        case VK_F10: t.done = true; return;
        case VK_UP: SetHot(t, l, NextSelectable(level, level.hot, -1)); return;
        case VK_DOWN: SetHot(t, l, NextSelectable(level, level.hot, 1)); return;
        case VK_RIGHT: {
            const MenuItem* it = ItemOf(level, level.hot);
            if (it && it->IsPopup()) OpenSubmenu(t, l, level.hot, true);
            return;
        }
        case VK_LEFT:
            if (l > 0) CloseLevelsAbove(t, l - 1);
            return;
        case VK_RETURN:
            if (level.hot >= 0) Choose(t, l, level.hot);
            return;
        default: TranslateMessage(&m); return;
    }
}

// ---- Painting ----

void DrawCheck(HDC dc, RECT r, COLORREF color)
{
    const LONG x = r.left + 4;
    const LONG cy = (r.top + r.bottom) / 2;
    // A tick of two-pixel strokes: down to the right, then up.
    for (int k = 0; k < 7; ++k) {
        const LONG dy = k < 3 ? k : 4 - k;
        FillBox(dc, x + k, cy - 1 + dy, x + k + 1, cy + 2 + dy, color);
    }
}

void DrawArrow(HDC dc, RECT r, COLORREF color)
{
    const LONG cy = (r.top + r.bottom) / 2;
    for (int k = 0; k < 4; ++k) FillBox(dc, r.right - 10 + k, cy - (3 - k), r.right - 9 + k, cy + (4 - k), color);
}

void PaintLevel(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    const Level* level = nullptr;
    if (g_tracking)
        for (const Level& l : g_tracking->levels)
            if (l.window == hwnd) level = &l;
    MenuData* data = level ? Find(level->menu) : nullptr;
    if (!data) {
        EndPaint(hwnd, &ps);
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, controls::FontOrDefault(g_tracking->font));
    SetBkMode(dc, TRANSPARENT);
    const std::size_t n = std::min(data->items.size(), level->itemRects.size());
    for (std::size_t i = 0; i < n; ++i) {
        const MenuItem& it = data->items[i];
        const RECT r = level->itemRects[i];
        if (it.IsSeparator()) {
            const LONG mid = (r.top + r.bottom) / 2 - 1;
            FillBox(dc, r.left + 1, mid, r.right - 1, mid + 1, GetSysColor(COLOR_BTNSHADOW));
            FillBox(dc, r.left + 1, mid + 1, r.right - 1, mid + 2, GetSysColor(COLOR_BTNHIGHLIGHT));
            continue;
        }
        const bool hot = int(i) == level->hot;
        const bool enabled = it.IsEnabled();
        if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        const COLORREF color = hot ? GetSysColor(enabled ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT)
                                   : GetSysColor(enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT);
        const auto [caption, shortcut] = SplitShortcut(it.text);
        const RECT textRect{r.left + kCheckGutter, r.top, r.right - kArrowGutter, r.bottom};
        const auto drawTexts = [&](RECT at, COLORREF c) {
            SetTextColor(dc, c);
            DrawText(dc, caption, -1, &at, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            if (!shortcut.empty()) DrawText(dc, shortcut, -1, &at, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        };
        if (!enabled && !hot) drawTexts(OffsetRectBy(textRect, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
        drawTexts(textRect, color);
        if (it.flags & MF_CHECKED) DrawCheck(dc, r, color);
        if (it.IsPopup()) DrawArrow(dc, r, color);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case WM_PAINT: PaintLevel(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_CANCELMODE:
            if (g_tracking) g_tracking->done = true;
            return 0;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

HMENU CreatePopupMenu()
{
    MenuRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    const HMENU h = r.next++;
    r.menus[h] = std::make_unique<MenuData>();
    return h;
}

bool DestroyMenu(HMENU menu)
{
    std::lock_guard lock(Registry().mutex);
    if (!Find(menu)) return false;
    DestroyRecursive(menu, 0);
    return true;
}

bool IsMenu(HMENU menu)
{
    std::lock_guard lock(Registry().mutex);
    return Find(menu) != nullptr;
}

bool AppendMenu(HMENU menu, UINT flags, std::uintptr_t id, const std::string& text)
{
    std::lock_guard lock(Registry().mutex);
    MenuData* data = Find(menu);
    MenuItem item;
    if (!data || !MakeItem(flags, id, text, &item) || item.submenu == menu) return false;
    data->items.push_back(std::move(item));
    return true;
}

bool InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t id, const std::string& text)
{
    std::lock_guard lock(Registry().mutex);
    MenuData* data = Find(menu);
    MenuItem item;
    if (!data || !MakeItem(flags, id, text, &item) || item.submenu == menu) return false;
    if (flags & MF_BYPOSITION) {
        const std::size_t at = std::min<std::size_t>(position, data->items.size());
        data->items.insert(data->items.begin() + std::ptrdiff_t(at), std::move(item));
        return true;
    }
    ItemRef before = Locate(menu, position, MF_BYCOMMAND);
    if (!before) {
        if (position != kMenuFailed) return false;
        data->items.push_back(std::move(item));  // position -1 appends
        return true;
    }
    before.menu->items.insert(before.menu->items.begin() + std::ptrdiff_t(before.index), std::move(item));
    return true;
}

bool RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, position, flags);
    if (!ref) return false;
    ref.menu->items.erase(ref.menu->items.begin() + std::ptrdiff_t(ref.index));
    return true;
}

bool DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, position, flags);
    if (!ref) return false;
    const HMENU sub = ref->submenu;
    ref.menu->items.erase(ref.menu->items.begin() + std::ptrdiff_t(ref.index));
    if (sub) DestroyRecursive(sub, 0);
    return true;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, item, flags);
    if (!ref) return kMenuFailed;
    const UINT previous = ref->flags & (MF_GRAYED | MF_DISABLED);
    ref->flags = (ref->flags & ~UINT(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return previous;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, item, flags);
    if (!ref) return kMenuFailed;
    const UINT previous = ref->flags & MF_CHECKED;
    ref->flags = (ref->flags & ~UINT(MF_CHECKED)) | (flags & MF_CHECKED);
    return previous;
}

int GetMenuItemCount(HMENU menu)
{
    std::lock_guard lock(Registry().mutex);
    MenuData* data = Find(menu);
    return data ? int(data->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    std::lock_guard lock(Registry().mutex);
    MenuData* data = Find(menu);
    if (!data || position < 0 || std::size_t(position) >= data->items.size()) return kMenuFailed;
    const MenuItem& it = data->items[std::size_t(position)];
    return it.IsPopup() ? kMenuFailed : UINT(it.id);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, item, flags);
    if (!ref) return kMenuFailed;
    UINT state = ref->flags & (kStateFlags | MF_SEPARATOR);
    if (ref->IsPopup()) {
        MenuData* sub = Find(ref->submenu);
        state |= MF_POPUP | (UINT(sub ? sub->items.size() : 0) << 8);
    }
    return state;
}

HMENU GetSubMenu(HMENU menu, int position)
{
    std::lock_guard lock(Registry().mutex);
    MenuData* data = Find(menu);
    if (!data || position < 0 || std::size_t(position) >= data->items.size()) return 0;
    return data->items[std::size_t(position)].submenu;
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags)
{
    std::lock_guard lock(Registry().mutex);
    ItemRef ref = Locate(menu, item, flags);
    return ref ? ref->text : std::string();
}

int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const RECT* /*excludeRect*/)
{
    if (g_tracking || !IsMenu(menu) || !IsWindow(owner)) return 0;
    Tracking t;
    t.owner = owner;
    t.flags = flags;
    t.font = controls::DefaultFont();
    t.fontHeight = controls::MeasureFont(t.font).height;
    if (Notifies(t)) {
        SendMessage(owner, WM_ENTERMENULOOP, 1, 0);
        SendMessage(owner, WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(0, 0));
    }
    const auto finish = [&](bool shown) {
        for (auto it = t.levels.rbegin(); it != t.levels.rend(); ++it) DestroyWindow(it->window);
        t.levels.clear();
        if (Notifies(t) && IsWindow(owner)) {
            SendMessage(owner, WM_MENUSELECT, MAKEWPARAM(0, kMenuClosed), 0);
            SendMessage(owner, WM_EXITMENULOOP, 1, 0);
        }
        if (t.quit) PostQuitMessage(t.quitCode);
        if (!shown) return 0;
        if (flags & TPM_RETURNCMD) return int(t.chosen);
        if (t.chosen && IsWindow(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(WORD(t.chosen), 0), 0);
        return 1;
    };
    if (!IsWindow(owner) || !OpenLevel(t, menu, POINT{x, y}, x, y, true)) return finish(false);

    g_tracking = &t;
    HWND captureWindow = t.levels.front().window;
    SetCapture(captureWindow);
    MSG m;
    while (!t.done) {
        if (!GetMessage(&m, nullptr, 0, 0)) {
            t.quit = true;
            t.quitCode = int(m.wParam);
            break;
        }
        if (IsMouseMessage(m.message))
            HandleMouse(t, m);
        else if (IsKeyMessage(m.message))
            HandleKey(t, m);
        else
            DispatchMessage(&m);
        // Losing the capture (someone else took it, or the owner went away) ends the menu.
        if (!t.done && (!IsWindow(owner) || GetCapture() != captureWindow || !IsMenu(menu))) t.done = true;
    }
    g_tracking = nullptr;
    if (GetCapture() == captureWindow) ReleaseCapture();
    return finish(true);
}

bool GetMenuItemRect(HWND /*hwnd*/, HMENU menu, UINT position, RECT* out)
{
    if (!g_tracking || !out) return false;
    for (const Level& level : g_tracking->levels) {
        if (level.menu != menu || position >= level.itemRects.size()) continue;
        RECT outer;
        GetWindowRect(level.window, &outer);
        *out = OffsetRectBy(level.itemRects[position], outer.left, outer.top);
        return true;
    }
    return false;
}

HWND GetOpenPopupMenuWindow()
{
    return g_tracking && !g_tracking->levels.empty() ? g_tracking->levels.back().window : nullptr;
}

namespace controls {

void RegisterPopupMenuClass()
{
    WNDCLASS cls;
    cls.style = CS_SAVEBITS;
    cls.lpfnWndProc = PopupProc;
    cls.hCursor = IDC_ARROW;
    cls.lpszClassName = kPopupMenuClass;
    RegisterClass(cls);
}

}  // namespace controls
}  // namespace desktop
