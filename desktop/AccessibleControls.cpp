// The objects windows get from their class: any window a plain one, the standard controls
// (button, edit, tab control) and the message box their own. Each is made on the first
// question and lives as long as its window.
#include <algorithm>
#include <memory>

#include "desktop/Accessible.h"
#include "desktop/ControlSupport.h"
#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace {

RECT ClientToScreenRect(HWND hwnd, RECT r)
{
    POINT p{0, 0};
    ClientToScreen(hwnd, &p);
    return RECT{r.left + p.x, r.top + p.y, r.right + p.x, r.bottom + p.y};
}

class WindowAccessible : public Accessible {
public:
    explicit WindowAccessible(HWND hwnd) : hwnd_(hwnd) {}

    AccRole Role() override { return hwnd_->IsTopLevel() ? AccRole::Frame : AccRole::Panel; }
    std::string Name() override { return WithoutAccelerators(GetWindowText(hwnd_)); }
    AccStates States() override { return WindowStates(hwnd_); }
    RECT ScreenRect() override
    {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return r;
    }
    Accessible* Parent() override { return hwnd_->IsTopLevel() ? nullptr : AccessibleFromWindow(GetParent(hwnd_)); }
    std::vector<Accessible*> Children() override
    {
        std::vector<Accessible*> children;
        for (Window* child : hwnd_->children)
            if (Accessible* a = AccessibleFromWindow(child)) children.push_back(a);
        return children;
    }

protected:
    HWND hwnd_;
};

class ButtonAccessible : public WindowAccessible {
public:
    using WindowAccessible::WindowAccessible;
    AccRole Role() override { return AccRole::PushButton; }
    AccStates States() override { return WindowStates(hwnd_) | ACC_FOCUSABLE; }
    std::vector<std::string> Actions() override { return {"click"}; }
    bool DoAction(int index) override
    {
        // Queued: the click may open a modal loop, which must not run inside whoever asked.
        return index == 0 && IsWindowEnabled(hwnd_) && PostMessage(hwnd_, BM_CLICK, 0, 0);
    }
};

class EditAccessible : public WindowAccessible {
public:
    using WindowAccessible::WindowAccessible;
    AccRole Role() override { return AccRole::Text; }
    std::string Name() override { return {}; }  // its window text is its content
    AccStates States() override
    {
        const DWORD style = DWORD(GetWindowLongPtr(hwnd_, GWL_STYLE));
        AccStates states = WindowStates(hwnd_) | ACC_FOCUSABLE;
        states |= (style & ES_MULTILINE) != 0 ? ACC_MULTI_LINE : ACC_SINGLE_LINE;
        if ((style & ES_READONLY) == 0) states |= ACC_EDITABLE;
        return states;
    }
    bool HasText() override { return true; }
    std::string Text() override { return GetWindowText(hwnd_); }
    int CaretOffset() override
    {
        DWORD start = 0, end = 0;
        SendMessage(hwnd_, EM_GETSEL, WPARAM(reinterpret_cast<std::uintptr_t>(&start)),
                    LPARAM(reinterpret_cast<std::intptr_t>(&end)));
        return int(end);
    }
    std::pair<int, int> Selection() override
    {
        DWORD start = 0, end = 0;
        SendMessage(hwnd_, EM_GETSEL, WPARAM(reinterpret_cast<std::uintptr_t>(&start)),
                    LPARAM(reinterpret_cast<std::intptr_t>(&end)));
        return {int(start), int(end)};
    }
    bool SetText(const std::string& text) override
    {
        if ((States() & ACC_EDITABLE) == 0 || !IsWindowEnabled(hwnd_)) return false;
        return SetWindowText(hwnd_, text);
    }
};

class TabItemAccessible : public Accessible {
public:
    TabItemAccessible(HWND tab, Accessible* list, int index) : tab_(tab), list_(list), index_(index) {}

    AccRole Role() override { return AccRole::PageTab; }
    std::string Name() override
    {
        char buffer[256] = {};
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.textBuffer = buffer;
        item.cchTextMax = int(sizeof buffer);
        SendMessage(tab_, TCM_GETITEM, WPARAM(index_), LPARAM(reinterpret_cast<std::intptr_t>(&item)));
        return WithoutAccelerators(buffer);
    }
    AccStates States() override
    {
        AccStates states =
            (WindowStates(tab_) & (ACC_VISIBLE | ACC_SHOWING | ACC_ENABLED | ACC_SENSITIVE)) | ACC_SELECTABLE;
        if (SendMessage(tab_, TCM_GETCURSEL, 0, 0) == index_) states |= ACC_SELECTED;
        return states;
    }
    RECT ScreenRect() override
    {
        RECT r{};
        SendMessage(tab_, TCM_GETITEMRECT, WPARAM(index_), LPARAM(reinterpret_cast<std::intptr_t>(&r)));
        return ClientToScreenRect(tab_, r);
    }
    std::vector<std::string> Actions() override { return {"click"}; }
    bool DoAction(int index) override
    {
        // As a click on the tab: the parent may refuse the change.
        if (index != 0 || !IsWindowEnabled(tab_)) return false;
        if (SendMessage(tab_, TCM_GETCURSEL, 0, 0) == index_) return true;
        if (controls::NotifyParentNmhdr(tab_, TCN_SELCHANGING) != 0 || !IsWindow(tab_)) return true;
        SendMessage(tab_, TCM_SETCURSEL, WPARAM(index_), 0);
        controls::NotifyParentNmhdr(tab_, TCN_SELCHANGE);
        return true;
    }
    Accessible* Parent() override { return list_; }

private:
    HWND tab_;
    Accessible* list_;
    int index_;
};

class TabAccessible : public WindowAccessible {
public:
    using WindowAccessible::WindowAccessible;
    AccRole Role() override { return AccRole::PageTabList; }
    std::string Name() override { return {}; }
    AccStates States() override { return WindowStates(hwnd_) | ACC_FOCUSABLE; }
    std::vector<Accessible*> Children() override
    {
        // One object per tab while the count stays; the tabs' children are their pages' windows.
        const std::size_t count = std::size_t(std::max<LRESULT>(0, SendMessage(hwnd_, TCM_GETITEMCOUNT, 0, 0)));
        while (items_.size() > count) items_.pop_back();
        while (items_.size() < count)
            items_.push_back(std::make_unique<TabItemAccessible>(hwnd_, this, int(items_.size())));
        std::vector<Accessible*> children;
        for (const auto& item : items_) children.push_back(item.get());
        return children;
    }

private:
    std::vector<std::unique_ptr<TabItemAccessible>> items_;
};

class BoxTextAccessible : public Accessible {
public:
    BoxTextAccessible(HWND box, Accessible* alert) : box_(box), alert_(alert) {}
    AccRole Role() override { return AccRole::Label; }
    std::string Name() override
    {
        MessageBoxInfo info;
        return GetMessageBoxInfo(box_, &info) ? info.text : std::string();
    }
    AccStates States() override
    {
        return WindowStates(box_) & (ACC_VISIBLE | ACC_SHOWING | ACC_ENABLED | ACC_SENSITIVE);
    }
    RECT ScreenRect() override
    {
        MessageBoxInfo info;
        return GetMessageBoxInfo(box_, &info) ? ClientToScreenRect(box_, info.textRect) : RECT{};
    }
    Accessible* Parent() override { return alert_; }

private:
    HWND box_;
    Accessible* alert_;
};

class MessageBoxAccessible : public WindowAccessible {
public:
    explicit MessageBoxAccessible(HWND hwnd) : WindowAccessible(hwnd), text_(hwnd, this) {}
    AccRole Role() override { return AccRole::Alert; }
    AccStates States() override { return WindowStates(hwnd_) | ACC_MODAL; }
    std::vector<Accessible*> Children() override
    {
        std::vector<Accessible*> children{&text_};
        MessageBoxInfo info;
        if (GetMessageBoxInfo(hwnd_, &info))
            for (const MessageBoxButton& button : info.buttons)
                if (Accessible* a = AccessibleFromWindow(button.hwnd)) children.push_back(a);
        return children;
    }

private:
    BoxTextAccessible text_;
};

std::unique_ptr<Accessible> CreateClassAccessible(HWND hwnd, controls::AccessibleKind kind)
{
    switch (kind) {
        case controls::AccessibleKind::Button: return std::make_unique<ButtonAccessible>(hwnd);
        case controls::AccessibleKind::Edit: return std::make_unique<EditAccessible>(hwnd);
        case controls::AccessibleKind::Tab: return std::make_unique<TabAccessible>(hwnd);
        case controls::AccessibleKind::MessageBox: return std::make_unique<MessageBoxAccessible>(hwnd);
        case controls::AccessibleKind::Window: break;
    }
    return std::make_unique<WindowAccessible>(hwnd);
}

}  // namespace

Accessible* ClassAccessible(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<Accessible*>(SendMessage(hwnd, WM_GETOBJECT, 0, OBJID_CLASS));
}

namespace controls {

LRESULT AnswerGetObject(HWND hwnd, LPARAM objectId, AccessibleKind kind)
{
    if ((objectId != OBJID_CLIENT && objectId != OBJID_CLASS) || !IsWindow(hwnd)) return 0;
    if (!hwnd->accessible) hwnd->accessible = CreateClassAccessible(hwnd, kind);
    return LRESULT(reinterpret_cast<std::intptr_t>(hwnd->accessible.get()));
}

}  // namespace controls

}  // namespace desktop
