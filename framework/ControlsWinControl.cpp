#include "framework/ControlsWinControl.h"

#include <algorithm>

#include "desktop/Gdi.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/ControlsCustom.h"
#include "framework/ControlsHooks.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

// Every message to a control's window looks the control up, so the property goes by atom.
// Atoms are never freed, so it is made once, before any window.
const desktop::ATOM controlAtom = desktop::AddAtom("fw.TWinControl");

// The control of a window the layer handed us (no check that the handle is one).
TWinControl* ControlOfWindow(desktop::HWND window)
{
    return reinterpret_cast<TWinControl*>(desktop::GetProp(window, controlAtom));
}

// The control whose window CreateWindowEx is making: its first message attaches it.
thread_local TWinControl* creationControl = nullptr;

bool IsMouseButtonOrMove(desktop::UINT msg) { return msg >= desktop::WM_MOUSEMOVE && msg <= desktop::WM_MBUTTONDBLCLK; }

bool IsFrameworkNotification(desktop::UINT msg) { return msg >= CM_BASE && msg < 0xC000; }

// A mouse message for a graphic child (or the graphic control holding the capture) goes to
// that child, in its own coordinates.
bool ForwardToGraphicChild(TWinControl& parent, TWMMouse message)
{
    TControl* target = nullptr;
    TControl* capture = TControl::CaptureControl();
    if (capture != nullptr && capture != &parent && capture->Parent() == &parent && !capture->IsWindowed()) {
        target = capture;
    } else if (capture == nullptr || capture == &parent) {
        target = parent.ControlAtPos(message.Pos(), false);
        if (target != nullptr && target->IsWindowed()) {
            target = nullptr;
        }
    }
    if (target == nullptr) {
        return false;
    }
    const desktop::POINT p{message.XPos() - target->Left(), message.YPos() - target->Top()};
    message.SetResult(target->Perform(message.Msg(), message.Keys(), PointToLParam(p)));
    return true;
}

// Hands a message to the control; whatever the handling raises is reported, so that the loop
// goes on.
desktop::LRESULT DeliverToControl(TWinControl* control, desktop::UINT msg, desktop::WPARAM wParam,
                                  desktop::LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    try {
        control->WindowProc(message);
    } catch (...) {
        ApplicationHandleException(control);
    }
    return message.Result;
}

}  // namespace

// Every window of a framework control runs this procedure. Its first message attaches the
// control, its last two let the control go; everything between goes straight to the control.
desktop::LRESULT ControlWindowProc(desktop::HWND hwnd, desktop::UINT msg, desktop::WPARAM wParam,
                                   desktop::LPARAM lParam)
{
    TWinControl* control = ControlOfWindow(hwnd);
    if (control != nullptr && msg != desktop::WM_DESTROY && msg != desktop::WM_NCDESTROY) [[likely]] {
        return DeliverToControl(control, msg, wParam, lParam);
    }
    if (control == nullptr && creationControl != nullptr) {
        control = creationControl;
        creationControl = nullptr;
        control->WindowAttached(hwnd);
    }
    if (control == nullptr) {
        return desktop::DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (msg == desktop::WM_DESTROY) {
        TControlCanvas::FreeDeviceContexts();
    }
    const desktop::LRESULT result = DeliverToControl(control, msg, wParam, lParam);
    if (msg == desktop::WM_NCDESTROY) {
        control->WindowDetached();
    }
    return result;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_.SetColor(Color()); }

TWinControl::~TWinControl()
{
    SetState(csDestroying);
    DestroyComponents();
    DestroyHandle();
    // A parent frees the children it still has, last first.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
}

const TClassInfo& TWinControl::Info()
{
    static const TClassInfo info =
        ClassBuilder<TWinControl, TControl>("TWinControl")
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
            .Event("OnEnter", [](TWinControl* c, TNotifyEvent e) { c->OnEnter = std::move(e); })
            .Event("OnExit", [](TWinControl* c, TNotifyEvent e) { c->OnExit = std::move(e); })
            .Build();
    return info;
}

void TWinControl::DestroyComponents()
{
    // Owned components must not write back into fields of a class already destroyed.
    SetState(csDestroying);
    while (ComponentCount() > 0) {
        delete Components(ComponentCount() - 1);
    }
}

// ---- Window ----

desktop::HWND TWinControl::Handle()
{
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded()
{
    if (handle_ != nullptr) {
        return;
    }
    if (parent_ != nullptr) {
        parent_->HandleNeeded();
    }
    if (handle_ == nullptr) {
        CreateHandle();
    }
}

void TWinControl::CreateHandle()
{
    if (handle_ == nullptr) {
        CreateWnd();
    }
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        if (child->IsWindowed() && !child->IsLoading()) {
            auto* windowed = static_cast<TWinControl*>(child);
            if (windowed->handle_ == nullptr) {
                windowed->CreateHandle();
            }
        }
    }
}

void TWinControl::DestroyHandle()
{
    if (handle_ == nullptr) {
        return;
    }
    for (TControl* child : controls_) {
        if (child->IsWindowed()) {
            static_cast<TWinControl*>(child)->DestroyHandle();
        }
    }
    DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (handle_ == nullptr) {
        return;
    }
    // The focus goes with the old windows; the control that held it gets it back.
    TWinControl* focused = FindControl(desktop::GetFocus());
    if (focused != nullptr && !ContainsControl(focused)) {
        focused = nullptr;
    }
    DestroyHandle();
    CreateHandle();
    if (focused != nullptr && focused->HandleAllocated()) {
        desktop::SetFocus(focused->Handle());
    }
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = StoredText();
    params.Style = desktop::WS_CHILD | desktop::WS_CLIPSIBLINGS;
    if (HasStyle(csAcceptsControls)) {
        params.Style |= desktop::WS_CLIPCHILDREN;
        params.ExStyle |= desktop::WS_EX_CONTROLPARENT;
    }
    if (Visible()) params.Style |= desktop::WS_VISIBLE;
    if (!Enabled()) params.Style |= desktop::WS_DISABLED;
    if (tabStop_) params.Style |= desktop::WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = parent_ != nullptr ? parent_->handle_ : parentWindow_;
    params.WindowClass.style = desktop::CS_VREDRAW | desktop::CS_HREDRAW;
    if (HasStyle(csDoubleClicks)) {
        params.WindowClass.style |= desktop::CS_DBLCLKS;
    }
    params.WindowClass.lpfnWndProc = desktop::DefWindowProc;
    params.WindowClass.hCursor = desktop::IDC_ARROW;
    params.WindowClass.hbrBackground = 0;
    params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & desktop::WS_CHILD) != 0 && params.WndParent == nullptr) {
        throw EInvalidOperation(FormatMessage1(SParentRequired, Name()));
    }
    defWndProc_ = params.WindowClass.lpfnWndProc != nullptr ? params.WindowClass.lpfnWndProc : desktop::DefWindowProc;
    desktop::WNDCLASS registered;
    const bool known = desktop::GetClassInfo(params.WinClassName, &registered);
    if (!known || registered.lpfnWndProc != ControlWindowProc) {
        if (known) {
            desktop::UnregisterClass(params.WinClassName);
        }
        desktop::WNDCLASS cls = params.WindowClass;
        cls.lpfnWndProc = ControlWindowProc;
        cls.lpszClassName = params.WinClassName;
        if (!desktop::RegisterClass(cls)) {
            throw EOutOfResources(LoadResString(SWindowClass.id));
        }
    }
    creationControl = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        creationControl = nullptr;
        throw;
    }
    creationControl = nullptr;
    if (handle_ == nullptr) {
        throw EOutOfResources(SWindowCreate);
    }
    Perform(desktop::WM_SETFONT, PointerToWParam(Font()->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params)
{
    const desktop::HWND window =
        desktop::CreateWindowEx(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X, params.Y,
                                params.Width, params.Height, params.WndParent, 0, params.Param);
    if (window != nullptr && handle_ == nullptr) {
        WindowAttached(window);
    }
}

void TWinControl::DestroyWnd()
{
    SetStoredText(GetText());
    TControlCanvas::FreeDeviceContexts();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    controlState_ |= csDestroyingHandle;
    desktop::DestroyWindow(handle_);
    controlState_ &= ~csDestroyingHandle;
    if (handle_ != nullptr) {
        WindowDetached();
    }
}

void TWinControl::WindowAttached(desktop::HWND window)
{
    handle_ = window;
    desktop::SetProp(window, controlAtom, reinterpret_cast<std::intptr_t>(this));
}

void TWinControl::WindowDetached()
{
    if (handle_ != nullptr) {
        desktop::RemoveProp(handle_, controlAtom);
    }
    handle_ = nullptr;
}

TWinControl* TWinControl::FindControl(desktop::HWND window)
{
    if (window == nullptr || !desktop::IsWindow(window)) {
        return nullptr;
    }
    return ControlOfWindow(window);
}

TWinControl* TWinControl::FindControlAbove(desktop::HWND window)
{
    while (window != nullptr && desktop::IsWindow(window)) {
        if (TWinControl* control = FindControl(window)) {
            return control;
        }
        if ((desktop::GetWindowLongPtr(window, desktop::GWL_STYLE) & desktop::WS_CHILD) == 0) {
            return nullptr;
        }
        window = desktop::GetParent(window);
    }
    return nullptr;
}

void TWinControl::UpdateBounds()
{
    desktop::RECT r;
    if (handle_ == nullptr || !desktop::GetWindowRect(handle_, &r)) {
        return;
    }
    desktop::POINT origin{r.left, r.top};
    if ((desktop::GetWindowLongPtr(handle_, desktop::GWL_STYLE) & desktop::WS_CHILD) != 0) {
        desktop::ScreenToClient(desktop::GetParent(handle_), &origin);
    }
    StoreBounds(origin.x, origin.y, r.Width(), r.Height());
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    if (left == Left() && top == Top() && width == Width() && height == Height()) {
        return;
    }
    const bool resized = width != Width() || height != Height();
    StoreBounds(left, top, width, height);
    if (handle_ != nullptr && !desktop::IsIconic(handle_)) {
        // The window's WM_SIZE reports the resize.
        desktop::SetWindowPos(handle_, nullptr, left, top, std::max(width, 0), std::max(height, 0),
                              desktop::SWP_NOZORDER | desktop::SWP_NOACTIVATE);
    } else if (resized && !IsLoading()) {
        Resize();
    }
}

desktop::RECT TWinControl::GetClientRect()
{
    desktop::RECT r{0, 0, Width(), Height()};
    if (handle_ != nullptr) {
        desktop::GetClientRect(handle_, &r);
        return r;
    }
    TCreateParams params;
    CreateParams(params);
    const desktop::RECT insets =
        desktop::NonClientInsets(params.Style, params.ExStyle, (params.Style & desktop::WS_CHILD) == 0);
    return {0, 0, std::max(0, Width() - insets.left - insets.right),
            std::max(0, Height() - insets.top - insets.bottom)};
}

bool TWinControl::Showing() const
{
    if (!Visible()) {
        return false;
    }
    if (parent_ != nullptr) {
        return parent_->Showing();
    }
    return handle_ != nullptr && desktop::IsWindowVisible(handle_);
}

void TWinControl::Invalidate()
{
    if (handle_ != nullptr) {
        desktop::InvalidateRect(handle_, nullptr, !HasStyle(csOpaque));
    }
}

void TWinControl::Update()
{
    if (handle_ != nullptr) {
        desktop::UpdateWindow(handle_);
    }
}

// ---- Children ----

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount()) {
        throw EListError(FormatMessage1(SListIndexError, IntegerToText(index)));
    }
    return controls_[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    while (control != nullptr && control != this) {
        control = control->Parent();
    }
    return control != nullptr;
}

TControl* TWinControl::ControlAtPos(desktop::POINT p, bool allowDisabled, bool allowWinControls)
{
    const auto hits = [&](TControl* c) {
        if (!c->Visible() || (!c->Enabled() && !allowDisabled) || !c->BoundsRect().Contains(p)) {
            return false;
        }
        return c->Perform(CM_HITTEST, 0, PointToLParam({p.x - c->Left(), p.y - c->Top()})) != 0;
    };
    if (allowWinControls) {
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
            if ((*it)->IsWindowed() && hits(*it)) {
                return *it;
            }
        }
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (!(*it)->IsWindowed() && hits(*it)) {
            return *it;
        }
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message)
{
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        child->WindowProc(message);
        if (message.Result != 0) {
            return;
        }
    }
}

void TWinControl::NotifyControls(desktop::UINT msg)
{
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        child->Perform(msg);
    }
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TControl* child : controls_) {
        if (child->Owner() == root) {
            proc(child);
        }
    }
}

void TWinControl::ReadState(TReader& reader)
{
    TControl::ReadState(reader);
    FixupTabList();
}

void TWinControl::InsertControl(TControl* control)
{
    controls_.push_back(control);
    control->parent_ = this;
    if (control->IsWindowed()) {
        tabList_.push_back(static_cast<TWinControl*>(control));
    }
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
    control->Perform(CM_PARENTSHOWHINTCHANGED);
    if (control->IsWindowed()) {
        auto* windowed = static_cast<TWinControl*>(control);
        if (handle_ != nullptr && !control->IsLoading()) {
            windowed->CreateHandle();
        }
        windowed->UpdateShowing();
    } else {
        control->Invalidate();
    }
}

void TWinControl::RemoveControl(TControl* control)
{
    for (TWinControl* ancestor = this; ancestor != nullptr; ancestor = ancestor->parent_) {
        ancestor->ControlRemoving(control);
    }
    if (control->IsWindowed()) {
        static_cast<TWinControl*>(control)->DestroyHandle();
    } else if (control->Visible()) {
        control->InvalidateControl(true);
    }
    std::erase(controls_, control);
    std::erase(tabList_, control);
    control->parent_ = nullptr;
    if (control->IsWindowed() && !control->HasState(csDestroying)) {
        static_cast<TWinControl*>(control)->UpdateShowing();
    }
}

void TWinControl::UpdateShowing()
{
    const bool showing = Showing();
    if (showing != showing_) {
        showing_ = showing;
        Perform(CM_SHOWINGCHANGED);
    }
    UpdateChildrenShowing();
}

void TWinControl::UpdateChildrenShowing()
{
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        if (child->IsWindowed()) {
            static_cast<TWinControl*>(child)->UpdateShowing();
        }
    }
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    if (parent_ != nullptr && parent_->HandleAllocated() && handle_ == nullptr) {
        CreateHandle();
        UpdateShowing();
    }
}

void TWinControl::ControlRemoving(TControl*) {}

// ---- Focus and tab order ----

int TWinControl::TabOrder() const
{
    if (parent_ == nullptr) {
        return -1;
    }
    const auto& list = parent_->tabList_;
    const auto found = std::find(list.begin(), list.end(), this);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

void TWinControl::SetTabOrder(int value)
{
    if (HasState(csReading)) {
        storedTabOrder_ = value;
    } else {
        UpdateTabOrder(value);
    }
}

void TWinControl::UpdateTabOrder(int value)
{
    if (parent_ == nullptr) {
        return;
    }
    auto& list = parent_->tabList_;
    const int current = TabOrder();
    if (current < 0) {
        return;
    }
    const int last = static_cast<int>(list.size()) - 1;
    value = std::clamp(value, 0, last);
    if (value != current) {
        list.erase(list.begin() + current);
        list.insert(list.begin() + value, this);
    }
}

void TWinControl::FixupTabList()
{
    const std::size_t count = tabList_.size();
    std::vector<TWinControl*> byStoredOrder(count, nullptr);
    for (TWinControl* child : tabList_) {
        if (child->storedTabOrder_ >= 0 && static_cast<std::size_t>(child->storedTabOrder_) < count) {
            byStoredOrder[static_cast<std::size_t>(child->storedTabOrder_)] = child;
        }
        child->storedTabOrder_ = -1;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (byStoredOrder[i] != nullptr) {
            byStoredOrder[i]->UpdateTabOrder(static_cast<int>(i));
        }
    }
}

void TWinControl::SetTabStop(bool value)
{
    if (tabStop_ == value) {
        return;
    }
    tabStop_ = value;
    if (handle_ != nullptr) {
        auto style = static_cast<desktop::DWORD>(desktop::GetWindowLongPtr(handle_, desktop::GWL_STYLE));
        style = value ? (style | desktop::WS_TABSTOP) : (style & ~desktop::DWORD(desktop::WS_TABSTOP));
        desktop::SetWindowLongPtr(handle_, desktop::GWL_STYLE, static_cast<std::intptr_t>(style));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list)
{
    for (TWinControl* child : tabList_) {
        list.push_back(child);
        child->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() const
{
    const TWinControl* form = ParentFormControl();
    if (form == nullptr) {
        return false;
    }
    for (const TControl* control = this; control != form; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled()) {
            return false;
        }
    }
    return true;
}

void TWinControl::SetFocus()
{
    if (TWinControl* form = ParentFormControl()) {
        form->FocusControl(this);
    } else if (handle_ != nullptr || parentWindow_ != nullptr) {
        desktop::SetFocus(Handle());
    }
}

bool TWinControl::Focused() const { return handle_ != nullptr && desktop::GetFocus() == handle_; }

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int count = static_cast<int>(list.size());
    if (count == 0) {
        return nullptr;
    }
    const auto found = std::find(list.begin(), list.end(), current);
    int start = found == list.end() ? -1 : static_cast<int>(found - list.begin());
    if (start < 0) {
        // No current control: forward from the first one, backward from the last one.
        start = goForward ? count - 1 : 0;
    }
    int i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* candidate = list[static_cast<std::size_t>(i)];
        if (candidate != current && candidate->CanFocus() && (!checkTabStop || candidate->TabStop()) &&
            (!checkParent || candidate->Parent() == this)) {
            return candidate;
        }
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) {
        next->SetFocus();
    }
}

void TWinControl::FocusControl(TWinControl* control)
{
    if (control != nullptr) {
        desktop::SetFocus(control->Handle());
    }
}

bool TWinControl::SetFocusedControl(TWinControl*) { return true; }

bool TWinControl::IsShortCut(TWMKey) { return false; }

// ---- Actions ----

void TWinControl::KeyDown(desktop::WORD& key, TShiftState shift)
{
    if (OnKeyDown) {
        OnKeyDown(this, key, shift);
    }
}

void TWinControl::KeyUp(desktop::WORD& key, TShiftState shift)
{
    if (OnKeyUp) {
        OnKeyUp(this, key, shift);
    }
}

void TWinControl::KeyPress(char& key)
{
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
}

void TWinControl::DoEnter()
{
    if (OnEnter) {
        OnEnter(this);
    }
}

void TWinControl::DoExit()
{
    if (OnExit) {
        OnExit(this);
    }
}

bool TWinControl::DoKeyDown(TWMKey message)
{
    if (HasStyle(csNoStdEvents)) {
        return false;
    }
    desktop::WORD key = message.CharCode();
    KeyDown(key, message.ShiftState());
    if (key == 0) {
        return true;
    }
    message.SetCharCode(key);
    return false;
}

bool TWinControl::DoKeyUp(TWMKey message)
{
    if (HasStyle(csNoStdEvents)) {
        return false;
    }
    desktop::WORD key = message.CharCode();
    KeyUp(key, message.ShiftState());
    if (key == 0) {
        return true;
    }
    message.SetCharCode(key);
    return false;
}

bool TWinControl::DoKeyPress(TWMChar message)
{
    if (HasStyle(csNoStdEvents)) {
        return false;
    }
    auto key = static_cast<char>(message.CharCode());
    KeyPress(key);
    if (key == 0) {
        return true;
    }
    message.SetCharCode(static_cast<unsigned char>(key));
    return false;
}

// ---- Message routing ----

void TWinControl::WndProc(TMessage& message)
{
    // The control's own bookkeeping concerns mouse messages only; anything else goes straight to
    // Dispatch, one call less on the path every message takes.
    if (IsMouseButtonOrMove(message.Msg)) [[unlikely]] {
        MouseWndProc(message);
        return;
    }
    Dispatch(message);
}

void TWinControl::MouseWndProc(TMessage& message)
{
    if (ForwardToGraphicChild(*this, TWMMouse(message))) {
        return;
    }
    TControl::WndProc(message);
}

void TWinControl::Dispatch(TMessage& message)
{
    using namespace desktop;
    switch (message.Msg) {
        case WM_PAINT: WMPaint(TWMPaint(message)); return;
        case WM_GETOBJECT:
            // Every window of ours answers with its control's object; one going away makes no new one.
            if (message.LParam == OBJID_CLIENT) {
                if (desktop::Accessible* object = HasState(csDestroying) ? ExistingAccessible() : AccessibleObject()) {
                    message.Result = reinterpret_cast<desktop::LRESULT>(object);
                    return;
                }
            }
            TControl::Dispatch(message);
            return;
        case WM_ERASEBKGND: WMEraseBkgnd(TWMEraseBkgnd(message)); return;
        case WM_SETFOCUS: WMSetFocus(TWMSetFocus(message)); return;
        case WM_KILLFOCUS: WMKillFocus(TWMKillFocus(message)); return;
        case WM_GETDLGCODE: WMGetDlgCode(TWMNoParams(message)); return;
        case WM_KEYDOWN: WMKeyDown(TWMKey(message)); return;
        case WM_KEYUP: WMKeyUp(TWMKey(message)); return;
        case WM_CHAR: WMChar(TWMChar(message)); return;
        case WM_SYSKEYDOWN: WMSysKeyDown(TWMKey(message)); return;
        case WM_SYSKEYUP: WMSysKeyUp(TWMKey(message)); return;
        case WM_SYSCHAR: WMSysChar(TWMChar(message)); return;
        case WM_COMMAND: WMCommand(TWMCommand(message)); return;
        case WM_NOTIFY: WMNotify(TWMNotify(message)); return;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: WMCtlColor(TWMCtlColor(message)); return;
        case WM_SETCURSOR: WMSetCursor(TWMSetCursor(message)); return;
        case WM_WINDOWPOSCHANGED: WMWindowPosChanged(TWMWindowPosChanged(message)); return;
        case WM_CONTEXTMENU: WMContextMenu(TWMContextMenu(message)); return;
        case WM_CAPTURECHANGED: WMCaptureChanged(TWMNoParams(message)); return;
        case CN_KEYDOWN: CNKeyDown(TWMKey(message)); return;
        case CN_KEYUP: CNKeyUp(TWMKey(message)); return;
        case CN_CHAR: CNChar(TWMChar(message)); return;
        case CN_SYSKEYDOWN: CNSysKeyDown(TWMKey(message)); return;
        case CN_SYSCHAR: CNSysChar(TWMChar(message)); return;
        case CN_COMMAND: CNCommand(TWMCommand(message)); return;
        case CN_NOTIFY: CNNotify(TWMNotify(message)); return;
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORSTATIC: CNCtlColor(TWMCtlColor(message)); return;
        case CM_CHILDKEY: CMChildKey(TCMChildKey(message)); return;
        case CM_WANTSPECIALKEY: CMWantSpecialKey(TCMWantSpecialKey(message)); return;
        case CM_ENTER: CMEnter(TWMNoParams(message)); return;
        case CM_EXIT: CMExit(TWMNoParams(message)); return;
        case CM_SHOWINGCHANGED: CMShowingChanged(TWMNoParams(message)); return;
        case CM_TABSTOPCHANGED: CMTabStopChanged(TWMNoParams(message)); return;
        case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
        default: TControl::Dispatch(message); return;
    }
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (handle_ == nullptr) {
        TControl::DefaultHandler(message);
        return;
    }
    // The window class knows nothing of the framework's own notifications.
    if (IsFrameworkNotification(message.Msg)) {
        message.Result = 0;
        return;
    }
    message.Result = desktop::CallWindowProc(defWndProc_, handle_, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::DoControlMsg(desktop::HWND child, TMessage& message)
{
    TWinControl* control = FindControl(child);
    if (control == nullptr || control == this) {
        return false;
    }
    message.Result = control->Perform(message.Msg + CN_BASE, message.WParam, message.LParam);
    return true;
}

// ---- Painting ----

void TWinControl::WMPaint(TWMPaint message)
{
    const bool hasGraphicChildren =
        std::any_of(controls_.begin(), controls_.end(), [](const TControl* c) { return !c->IsWindowed(); });
    if (message.DC() != nullptr || InState(csCustomPaint) || hasGraphicChildren) {
        PaintHandler(message);
    } else {
        DefaultHandler(message);
    }
}

void TWinControl::PaintHandler(TWMPaint message)
{
    desktop::PAINTSTRUCT ps;
    desktop::HDC dc = message.DC();
    const bool ownPaint = dc == nullptr;
    if (ownPaint) {
        dc = desktop::BeginPaint(handle_, &ps);
    }
    try {
        if (dc != nullptr) {
            PaintWindow(dc);
            PaintControls(dc, nullptr);
        }
    } catch (...) {
        if (ownPaint) {
            desktop::EndPaint(handle_, &ps);
        }
        throw;
    }
    if (ownPaint) {
        desktop::EndPaint(handle_, &ps);
    }
}

void TWinControl::PaintWindow(desktop::HDC dc)
{
    // Standard window classes paint themselves; the plain procedure has nothing to draw.
    if (defWndProc_ == desktop::DefWindowProc) {
        return;
    }
    TMessage message{desktop::WM_PAINT, PointerToWParam(dc), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintControls(desktop::HDC dc, TControl* first)
{
    desktop::RECT clip{};
    desktop::GetClipBox(dc, &clip);
    bool started = first == nullptr;
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        if (!started) {
            if (child != first) {
                continue;
            }
            started = true;
        }
        if (child->IsWindowed() || !child->Visible()) {
            continue;
        }
        if (desktop::IntersectRects(child->BoundsRect(), clip).IsEmpty()) {
            continue;
        }
        const int saved = desktop::SaveDC(dc);
        desktop::OffsetWindowOrgEx(dc, -child->Left(), -child->Top(), nullptr);
        desktop::IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        try {
            child->Perform(desktop::WM_PAINT, PointerToWParam(dc), 0);
        } catch (...) {
            desktop::RestoreDC(dc, saved);
            throw;
        }
        desktop::RestoreDC(dc, saved);
    }
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd message)
{
    if (desktop::HDC dc = message.DC()) {
        const desktop::RECT client = GetClientRect();
        desktop::FillRect(dc, &client, brush_.Handle());
    }
    message.SetResult(1);
}

// ---- Focus messages ----

void TWinControl::WMSetFocus(TWMSetFocus message)
{
    TWinControl* form = ParentFormControl();
    if (form != nullptr && !form->SetFocusedControl(this)) {
        return;
    }
    DefaultHandler(message);
}

void TWinControl::WMKillFocus(TWMKillFocus message) { DefaultHandler(message); }

void TWinControl::WMGetDlgCode(TWMNoParams message) { DefaultHandler(message); }

void TWinControl::CMEnter(TWMNoParams) { DoEnter(); }

void TWinControl::CMExit(TWMNoParams) { DoExit(); }

void TWinControl::CMFocusChanged(TCMFocusChanged message) { Broadcast(message); }

// ---- Keys ----

void TWinControl::WMKeyDown(TWMKey message)
{
    if (!DoKeyDown(message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMKeyUp(TWMKey message)
{
    if (!DoKeyUp(message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMChar(TWMChar message)
{
    if (!DoKeyPress(message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMSysKeyDown(TWMKey message)
{
    if (!DoKeyDown(message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMSysKeyUp(TWMKey message)
{
    if (!DoKeyUp(message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMSysChar(TWMChar message) { DefaultHandler(message); }

namespace {

bool IsShortCutAnywhere(TWinControl& control, TWMKey message)
{
    TWinControl* form = control.ParentFormControl();
    if (form != nullptr && form->IsShortCut(message)) {
        return true;
    }
    return ApplicationIsShortCut(message);
}

desktop::LRESULT DialogCodeMaskFor(desktop::WORD key)
{
    switch (key) {
        case desktop::VK_TAB: return desktop::DLGC_WANTTAB;
        case desktop::VK_LEFT:
        case desktop::VK_RIGHT:
        case desktop::VK_UP:
        case desktop::VK_DOWN: return desktop::DLGC_WANTARROWS;
        case desktop::VK_RETURN:
        case desktop::VK_EXECUTE:
        case desktop::VK_ESCAPE:
        case desktop::VK_CANCEL: return desktop::DLGC_WANTALLKEYS;
        default: return 0;
    }
}

}  // namespace

void TWinControl::CNKeyDown(TWMKey message)
{
    message.SetResult(1);
    if (IsShortCutAnywhere(*this, message)) {
        return;
    }
    const desktop::WORD key = message.CharCode();
    if (Perform(CM_CHILDKEY, key, PointerToLParam(this)) != 0) {
        return;
    }
    const desktop::LRESULT mask = DialogCodeMaskFor(key);
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, message.KeyData()) == 0 &&
        (Perform(desktop::WM_GETDLGCODE) & mask) == 0) {
        TWinControl* form = ParentFormControl();
        if (form != nullptr && form->Perform(CM_DIALOGKEY, key, message.KeyData()) != 0) {
            return;
        }
    }
    message.SetResult(0);
}

void TWinControl::CNKeyUp(TWMKey message) { message.SetResult(0); }

void TWinControl::CNChar(TWMChar message)
{
    message.SetResult(0);
    if ((Perform(desktop::WM_GETDLGCODE) & desktop::DLGC_WANTCHARS) != 0) {
        return;
    }
    TWinControl* form = ParentFormControl();
    if (form != nullptr && form->Perform(CM_DIALOGCHAR, message.CharCode(), message.KeyData()) != 0) {
        message.SetResult(1);
    }
}

void TWinControl::CNSysKeyDown(TWMKey message) { message.SetResult(IsShortCutAnywhere(*this, message) ? 1 : 0); }

void TWinControl::CNSysChar(TWMChar message)
{
    message.SetResult(0);
    TWinControl* form = ParentFormControl();
    if (form != nullptr && message.CharCode() != desktop::VK_SPACE) {
        message.SetResult(form->Perform(CM_DIALOGCHAR, message.CharCode(), message.KeyData()));
    }
}

void TWinControl::CMChildKey(TCMChildKey message)
{
    if (parent_ != nullptr) {
        parent_->WindowProc(message);
    } else {
        message.SetResult(0);
    }
}

void TWinControl::CMWantSpecialKey(TCMWantSpecialKey message) { message.SetResult(0); }

void TWinControl::CMDialogKey(TCMDialogKey message) { Broadcast(message); }

void TWinControl::CMDialogChar(TCMDialogChar message) { Broadcast(message); }

// ---- Commands reflected from child windows ----

void TWinControl::WMCommand(TWMCommand message)
{
    if (!DoControlMsg(message.Ctl(), message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMNotify(TWMNotify message)
{
    const desktop::NMHDR* header = message.NMHdr();
    if (header == nullptr || !DoControlMsg(header->hwndFrom, message)) {
        DefaultHandler(message);
    }
}

void TWinControl::WMCtlColor(TWMCtlColor message)
{
    if (!DoControlMsg(message.ChildWnd(), message)) {
        DefaultHandler(message);
    }
}

void TWinControl::CNCommand(TWMCommand message) { message.SetResult(0); }

void TWinControl::CNNotify(TWMNotify message) { message.SetResult(0); }

void TWinControl::CNCtlColor(TWMCtlColor message)
{
    desktop::HDC dc = message.ChildDC();
    desktop::SetTextColor(dc, ColorToRGB(Font()->GetColor()));
    desktop::SetBkColor(dc, ColorToRGB(Color()));
    message.SetBrush(brush_.Handle());
}

// ---- Other window messages ----

void TWinControl::WMSetCursor(TWMSetCursor message)
{
    if (message.CursorWnd() == handle_ && message.HitTest() == desktop::HTCLIENT && ScreenCursorsAvailable()) {
        TCursor cursor = ScreenCursor();
        if (cursor == crDefault) {
            desktop::POINT p;
            desktop::GetCursorPos(&p);
            if (TControl* child = ControlAtPos(ScreenToClient(p), false)) {
                cursor = child->Cursor();
            }
            if (cursor == crDefault) {
                cursor = Cursor();
            }
        }
        if (cursor != crDefault) {
            desktop::SetCursor(ScreenCursorHandle(cursor));
            message.SetResult(1);
            return;
        }
    }
    DefaultHandler(message);
}

void TWinControl::WMWindowPosChanged(TWMWindowPosChanged message)
{
    DefaultHandler(message);
    UpdateBounds();
}

void TWinControl::WMSize(TWMSize message)
{
    UpdateBounds();
    DefaultHandler(message);
    if (!IsLoading()) {
        Resize();
    }
}

void TWinControl::WMContextMenu(TWMContextMenu message) { DefaultHandler(message); }

void TWinControl::WMCaptureChanged(TWMNoParams message) { DefaultHandler(message); }

void TWinControl::WMCancelMode(TWMNoParams message)
{
    TControl* capture = CaptureControl();
    if (capture != nullptr && capture != this && capture->Parent() == this) {
        capture->Perform(desktop::WM_CANCELMODE);
    }
    TControl::WMCancelMode(message);
}

// ---- Framework notifications ----

void TWinControl::CMShowingChanged(TWMNoParams message) { DefaultHandler(message); }

void TWinControl::CMTabStopChanged(TWMNoParams message) { DefaultHandler(message); }

void TWinControl::CMEnabledChanged(TWMNoParams message)
{
    if (!Enabled() && parent_ != nullptr) {
        if (TWinControl* form = ParentFormControl()) {
            form->ControlRemoving(this);
        }
    }
    if (handle_ != nullptr) {
        desktop::EnableWindow(handle_, Enabled());
    }
    TControl::CMEnabledChanged(message);
}

void TWinControl::CMVisibleChanged(TWMNoParams)
{
    if (!Visible() && parent_ != nullptr) {
        if (TWinControl* form = ParentFormControl()) {
            form->ControlRemoving(this);
        }
    }
    ShowOrHideWindow();
    UpdateShowing();
}

void TWinControl::ShowOrHideWindow()
{
    if (parent_ == nullptr && parentWindow_ == nullptr) {
        return;
    }
    if (handle_ == nullptr) {
        const bool parentReady = parent_ != nullptr ? parent_->HandleAllocated() : true;
        if (Visible() && parentReady && !IsLoading()) {
            CreateHandle();
        }
        return;
    }
    desktop::SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                          desktop::SWP_NOMOVE | desktop::SWP_NOSIZE | desktop::SWP_NOZORDER | desktop::SWP_NOACTIVATE |
                              (Visible() ? desktop::SWP_SHOWWINDOW : desktop::SWP_HIDEWINDOW));
}

void TWinControl::CMFontChanged(TWMNoParams message)
{
    TControl::CMFontChanged(message);
    if (handle_ != nullptr) {
        Perform(desktop::WM_SETFONT, PointerToWParam(Font()->Handle()), 0);
    }
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TWMNoParams message)
{
    brush_.SetColor(Color());
    TControl::CMColorChanged(message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

}  // namespace fw
