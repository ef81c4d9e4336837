#include "framework/ControlsControl.h"

#include <algorithm>
#include <cstring>

#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ControlsAccessible.h"
#include "framework/ControlsWinControl.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

// A graphic control captures the mouse through its parent's window; this remembers which
// child of that window the messages are for.
TControl* graphicCapture = nullptr;
TControl* mouseControl = nullptr;

void SetCaptureControl(TControl* control)
{
    graphicCapture = nullptr;
    if (control == nullptr) {
        desktop::ReleaseCapture();
        return;
    }
    if (!control->IsWindowed()) {
        if (control->Parent() == nullptr) {
            return;
        }
        graphicCapture = control;
        control = control->Parent();
    }
    desktop::SetCapture(static_cast<TWinControl*>(control)->Handle());
}

}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    font_.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl()
{
    SetState(csDestroying);
    if (graphicCapture == this) {
        graphicCapture = nullptr;
        desktop::ReleaseCapture();
    }
    if (mouseControl == this) {
        mouseControl = nullptr;
    }
    font_.OnChange = nullptr;
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    for (const auto& [relation, other] : accessibleRelations_) {
        std::erase_if(other->accessibleRelations_, [this](const auto& r) { return r.second == this; });
    }
    accessible_.reset();
}

desktop::Accessible* TControl::AccessibleObject()
{
    // A control being destroyed makes no new object.
    if (!accessible_ && !HasState(csDestroying)) {
        accessible_ = CreateAccessible();
    }
    return accessible_.get();
}

void TControl::QueueAccessibleEvent(desktop::AccEvent event)
{
    desktop::QueueAccessibleEvent(event, AccessibleObject());
}

std::unique_ptr<desktop::Accessible> TControl::CreateAccessible() { return std::make_unique<TControlAccessible>(this); }

void TControl::AddAccessibleLabel(TControl* label)
{
    if (label == nullptr || label == this) {
        return;
    }
    accessibleRelations_.emplace_back(desktop::AccRelation::LabelledBy, label);
    label->accessibleRelations_.emplace_back(desktop::AccRelation::LabelFor, this);
}

const TClassInfo& TControl::Info()
{
    static const TClassInfo info =
        ClassBuilder<TControl, TComponent>("TControl")
            .Integer("Left", &TControl::Left, &TControl::SetLeft)
            .Integer("Top", &TControl::Top, &TControl::SetTop)
            .Integer("Width", &TControl::Width, &TControl::SetWidth)
            .Integer("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
                  &TControl::Align, &TControl::SetAlign)
            .String("Caption", &TControl::GetText, &TControl::SetText)
            .String("Text", &TControl::GetText, &TControl::SetText)
            .Integer("Color", &TControl::Color, &TControl::SetColor, IdentToColor)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Object("Font", &TControl::Font)
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .String("Hint", &TControl::Hint, &TControl::SetHint)
            .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, IdentToCursor)
            .Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext)
            .Event("OnClick", [](TControl* c, TNotifyEvent e) { c->OnClick = std::move(e); })
            .Event("OnDblClick", [](TControl* c, TNotifyEvent e) { c->OnDblClick = std::move(e); })
            .Event("OnResize", [](TControl* c, TNotifyEvent e) { c->OnResize = std::move(e); })
            .Event("OnMouseEnter", [](TControl* c, TNotifyEvent e) { c->OnMouseEnter = std::move(e); })
            .Event("OnMouseLeave", [](TControl* c, TNotifyEvent e) { c->OnMouseLeave = std::move(e); })
            .Build();
    return info;
}

// ---- Tree ----

void TControl::SetParent(TWinControl* parent)
{
    if (parent_ == parent) {
        return;
    }
    if (parent == this) {
        throw EInvalidOperation(SControlParentSetToSelf);
    }
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    if (parent != nullptr) {
        parent->InsertControl(this);
    }
}

void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* windowed = dynamic_cast<TWinControl*>(parent)) {
        SetParent(windowed);
    }
}

TWinControl* TControl::ParentFormControl() const
{
    const TControl* top = this;
    while (top->parent_ != nullptr) {
        top = top->parent_;
    }
    if (!top->IsWindowed()) {
        return nullptr;
    }
    auto* form = const_cast<TWinControl*>(static_cast<const TWinControl*>(top));
    return form->IsForm() ? form : nullptr;
}

// ---- Bounds ----

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    if (visible_) {
        InvalidateControl(true);
    }
    StoreBounds(left, top, width, height);
    if (visible_) {
        InvalidateControl(true);
    }
    if (!IsLoading()) {
        Resize();
    }
}

void TControl::StoreBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

desktop::RECT TControl::GetClientRect() { return {0, 0, width_, height_}; }

void TControl::SetClientWidth(int value) { SetWidth(width_ - ClientWidth() + value); }

void TControl::SetClientHeight(int value) { SetHeight(height_ - ClientHeight() + value); }

desktop::POINT TControl::ClientToScreen(desktop::POINT p)
{
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(this);
        if (self->HandleAllocated()) {
            desktop::ClientToScreen(self->Handle(), &p);
            return p;
        }
    }
    p.x += left_;
    p.y += top_;
    return parent_ != nullptr ? parent_->ClientToScreen(p) : p;
}

desktop::POINT TControl::ScreenToClient(desktop::POINT p)
{
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(this);
        if (self->HandleAllocated()) {
            desktop::ScreenToClient(self->Handle(), &p);
            return p;
        }
    }
    if (parent_ != nullptr) {
        p = parent_->ScreenToClient(p);
    }
    p.x -= left_;
    p.y -= top_;
    return p;
}

// ---- Auto-sizing ----

void TControl::SetAutoSize(bool value)
{
    if (autoSize_ != value) {
        autoSize_ = value;
        if (value) {
            AdjustSize();
        }
    }
}

void TControl::AdjustSize()
{
    if (IsLoading() || !autoSize_) {
        return;
    }
    int width = width_;
    int height = height_;
    if (CanAutoSize(width, height)) {
        SetBounds(left_, top_, width, height);
    }
}

bool TControl::CanAutoSize(int&, int&) { return false; }

// ---- State ----

void TControl::SetVisible(bool value)
{
    if (visible_ != value) {
        visible_ = value;
        Perform(CM_VISIBLECHANGED, value ? 1 : 0);
    }
}

bool TControl::Showing() const { return visible_ && parent_ != nullptr && parent_->Showing(); }

void TControl::SetEnabled(bool value)
{
    if (enabled_ != value) {
        enabled_ = value;
        Perform(CM_ENABLEDCHANGED);
    }
}

// ---- Text ----

std::string TControl::GetText()
{
    const auto length = Perform(desktop::WM_GETTEXTLENGTH);
    if (length <= 0) {
        return {};
    }
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied = Perform(desktop::WM_GETTEXT, buffer.size(), PointerToLParam(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<desktop::LRESULT>(copied, 0, length)));
    return buffer;
}

bool TControl::TextEquals(std::string_view value)
{
    // A short text (a count, a caption) is read in one message into a buffer on the stack;
    // only a text that fills it is measured first and read whole.
    char buffer[64];
    const auto copied = Perform(desktop::WM_GETTEXT, sizeof buffer, PointerToLParam(buffer));
    if (copied >= 0 && copied < desktop::LRESULT(sizeof buffer - 1)) {
        return std::string_view(buffer, static_cast<std::size_t>(copied)) == value;
    }
    return GetText() == value;
}

void TControl::SetText(const std::string& value)
{
    if (!TextEquals(value)) {
        Perform(desktop::WM_SETTEXT, 0, PointerToLParam(value.c_str()));
        Perform(CM_TEXTCHANGED);
    }
}

// ---- Appearance ----

void TControl::SetColor(TColor value)
{
    if (color_ != value) {
        color_ = value;
        parentColor_ = false;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentColor(bool value)
{
    if (parentColor_ != value) {
        parentColor_ = value;
        if (value && parent_ != nullptr) {
            Perform(CM_PARENTCOLORCHANGED);
        }
    }
}

void TControl::SetParentFont(bool value)
{
    if (parentFont_ != value) {
        parentFont_ = value;
        if (value && parent_ != nullptr) {
            Perform(CM_PARENTFONTCHANGED);
        }
    }
}

void TControl::FontChanged()
{
    if (!takingParentFont_) {
        parentFont_ = false;
    }
    Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor value)
{
    if (cursor_ != value) {
        cursor_ = value;
        Perform(CM_CURSORCHANGED);
    }
}

void TControl::SetShowHint(bool value)
{
    parentShowHint_ = false;
    if (showHint_ != value) {
        showHint_ = value;
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::SetParentShowHint(bool value)
{
    if (parentShowHint_ != value) {
        parentShowHint_ = value;
        if (value && parent_ != nullptr) {
            Perform(CM_PARENTSHOWHINTCHANGED);
        }
    }
}

// ---- Painting ----

void TControl::InvalidateControl(bool erase)
{
    if (parent_ == nullptr || !parent_->HandleAllocated()) {
        return;
    }
    const desktop::RECT bounds = BoundsRect();
    desktop::InvalidateRect(parent_->Handle(), &bounds, erase);
}

void TControl::Invalidate()
{
    if (visible_) {
        InvalidateControl(!HasStyle(csOpaque));
    }
}

void TControl::Update()
{
    if (parent_ != nullptr) {
        parent_->Update();
    }
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (parent_ == nullptr) {
        return;
    }
    auto& siblings = parent_->controls_;
    std::erase(siblings, this);
    siblings.push_back(this);
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(this);
        if (self->HandleAllocated()) {
            desktop::SetWindowPos(self->Handle(), desktop::HWND_TOP, 0, 0, 0, 0,
                                  desktop::SWP_NOMOVE | desktop::SWP_NOSIZE | desktop::SWP_NOACTIVATE);
        }
    } else {
        Invalidate();
    }
}

void TControl::SendToBack()
{
    if (parent_ == nullptr) {
        return;
    }
    auto& siblings = parent_->controls_;
    std::erase(siblings, this);
    siblings.insert(siblings.begin(), this);
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(this);
        if (self->HandleAllocated()) {
            desktop::SetWindowPos(self->Handle(), desktop::HWND_BOTTOM, 0, 0, 0, 0,
                                  desktop::SWP_NOMOVE | desktop::SWP_NOSIZE | desktop::SWP_NOACTIVATE);
        }
    } else {
        Invalidate();
    }
}

// ---- Messages ----

void TControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
        case desktop::WM_LBUTTONDBLCLK:
            if (!HasStyle(csDoubleClicks)) {
                message.Msg = desktop::WM_LBUTTONDOWN;
            }
            controlState_ |= csLButtonDown;
            break;
        case desktop::WM_LBUTTONDOWN: controlState_ |= csLButtonDown; break;
        case desktop::WM_LBUTTONUP: controlState_ &= ~csLButtonDown; break;
        default: break;
    }
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
        case desktop::WM_LBUTTONDOWN: WMLButtonDown(TWMMouse(message)); return;
        case desktop::WM_LBUTTONUP: WMLButtonUp(TWMMouse(message)); return;
        case desktop::WM_LBUTTONDBLCLK: WMLButtonDblClk(TWMMouse(message)); return;
        case desktop::WM_RBUTTONDOWN: WMRButtonDown(TWMMouse(message)); return;
        case desktop::WM_RBUTTONUP: WMRButtonUp(TWMMouse(message)); return;
        case desktop::WM_RBUTTONDBLCLK: WMRButtonDblClk(TWMMouse(message)); return;
        case desktop::WM_MBUTTONDOWN: WMMButtonDown(TWMMouse(message)); return;
        case desktop::WM_MBUTTONUP: WMMButtonUp(TWMMouse(message)); return;
        case desktop::WM_MOUSEMOVE: WMMouseMove(TWMMouse(message)); return;
        case desktop::WM_MOUSEWHEEL: WMMouseWheel(TWMMouseWheel(message)); return;
        case desktop::WM_CANCELMODE: WMCancelMode(TWMNoParams(message)); return;
        case desktop::WM_SIZE: WMSize(TWMSize(message)); return;
        case desktop::WM_MOVE: WMMove(TWMNoParams(message)); return;
        case CM_ENABLEDCHANGED: CMEnabledChanged(TWMNoParams(message)); return;
        case CM_VISIBLECHANGED: CMVisibleChanged(TWMNoParams(message)); return;
        case CM_FONTCHANGED: CMFontChanged(TWMNoParams(message)); return;
        case CM_COLORCHANGED: CMColorChanged(TWMNoParams(message)); return;
        case CM_TEXTCHANGED: CMTextChanged(TWMNoParams(message)); return;
        case CM_PARENTFONTCHANGED: CMParentFontChanged(TWMNoParams(message)); return;
        case CM_PARENTCOLORCHANGED: CMParentColorChanged(TWMNoParams(message)); return;
        case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(TWMNoParams(message)); return;
        case CM_MOUSEENTER: CMMouseEnter(TCMMouseEnter(message)); return;
        case CM_MOUSELEAVE: CMMouseLeave(TCMMouseLeave(message)); return;
        case CM_HITTEST: CMHitTest(TCMHitTest(message)); return;
        case CM_FOCUSCHANGED: CMFocusChanged(TCMFocusChanged(message)); return;
        case CM_DIALOGKEY: CMDialogKey(TCMDialogKey(message)); return;
        case CM_DIALOGCHAR: CMDialogChar(TCMDialogChar(message)); return;
        case CM_CURSORCHANGED: CMCursorChanged(TWMNoParams(message)); return;
        default: DefaultHandler(message); return;
    }
}

void TControl::DefaultHandler(TMessage& message)
{
    switch (message.Msg) {
        case desktop::WM_GETTEXTLENGTH: message.Result = static_cast<desktop::LRESULT>(text_.size()); return;
        case desktop::WM_GETTEXT: {
            TWMGetText get(message);
            char* buffer = get.Text();
            if (get.TextMax() == 0 || buffer == nullptr) {
                get.SetResult(0);
                return;
            }
            const std::size_t count = std::min<std::size_t>(text_.size(), get.TextMax() - 1);
            std::memcpy(buffer, text_.data(), count);
            buffer[count] = '\0';
            get.SetResult(static_cast<desktop::LRESULT>(count));
            return;
        }
        case desktop::WM_SETTEXT: {
            TWMSetText set(message);
            text_ = set.Text() != nullptr ? std::string(set.Text()) : std::string();
            set.SetResult(1);
            return;
        }
        default: message.Result = 0; return;
    }
}

bool TControl::MouseCapture() const { return CaptureControl() == this; }

void TControl::SetMouseCapture(bool value)
{
    if (value) {
        if (!MouseCapture()) {
            SetCaptureControl(this);
        }
    } else if (MouseCapture()) {
        SetCaptureControl(nullptr);
    }
}

TControl* TControl::CaptureControl()
{
    TWinControl* window = TWinControl::FindControl(desktop::GetCapture());
    if (window == nullptr) {
        return nullptr;
    }
    if (graphicCapture != nullptr && graphicCapture->Parent() == window) {
        return graphicCapture;
    }
    return window;
}

TControl* TControl::MouseControl() { return mouseControl; }

void TControl::SetMouseControl(TControl* control) { mouseControl = control; }

// ---- Actions ----

void TControl::Click()
{
    if (OnClick) {
        OnClick(this);
    }
}

void TControl::DblClick()
{
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) {
        OnMouseDown(this, button, shift, x, y);
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) {
        OnMouseMove(this, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
}

void TControl::Resize()
{
    if (OnResize) {
        OnResize(this);
    }
}

void TControl::Loaded() { TComponent::Loaded(); }

void TControl::DoMouseDown(TWMMouse message, TMouseButton button, TShiftState extra)
{
    if (!HasStyle(csNoStdEvents)) {
        MouseDown(button, message.ShiftState() | extra, message.XPos(), message.YPos());
    }
}

void TControl::DoMouseUp(TWMMouse message, TMouseButton button)
{
    if (!HasStyle(csNoStdEvents)) {
        MouseUp(button, message.ShiftState(), message.XPos(), message.YPos());
    }
}

// ---- Handlers ----

void TControl::WMLButtonDown(TWMMouse message)
{
    DefaultHandler(message);
    if (HasStyle(csCaptureMouse)) {
        SetMouseCapture(true);
    }
    if (HasStyle(csClickEvents)) {
        controlState_ |= csClicked;
    }
    DoMouseDown(message, TMouseButton::mbLeft, 0);
}

void TControl::WMLButtonUp(TWMMouse message)
{
    DefaultHandler(message);
    if (HasStyle(csCaptureMouse)) {
        SetMouseCapture(false);
    }
    if (InState(csClicked)) {
        controlState_ &= ~csClicked;
        const desktop::RECT client = GetClientRect();
        if (client.Contains(message.Pos())) {
            Click();
        }
    }
    DoMouseUp(message, TMouseButton::mbLeft);
}

void TControl::WMLButtonDblClk(TWMMouse message)
{
    DefaultHandler(message);
    if (HasStyle(csCaptureMouse)) {
        SetMouseCapture(true);
    }
    if (HasStyle(csClickEvents)) {
        DblClick();
    }
    DoMouseDown(message, TMouseButton::mbLeft, ssDouble);
}

void TControl::WMRButtonDown(TWMMouse message)
{
    DefaultHandler(message);
    DoMouseDown(message, TMouseButton::mbRight, 0);
}

void TControl::WMRButtonUp(TWMMouse message)
{
    DefaultHandler(message);
    DoMouseUp(message, TMouseButton::mbRight);
}

void TControl::WMRButtonDblClk(TWMMouse message)
{
    DefaultHandler(message);
    DoMouseDown(message, TMouseButton::mbRight, ssDouble);
}

void TControl::WMMButtonDown(TWMMouse message)
{
    DefaultHandler(message);
    DoMouseDown(message, TMouseButton::mbMiddle, 0);
}

void TControl::WMMButtonUp(TWMMouse message)
{
    DefaultHandler(message);
    DoMouseUp(message, TMouseButton::mbMiddle);
}

void TControl::WMMouseMove(TWMMouse message)
{
    DefaultHandler(message);
    if (!HasStyle(csNoStdEvents)) {
        MouseMove(message.ShiftState(), message.XPos(), message.YPos());
    }
}

void TControl::WMMouseWheel(TWMMouseWheel message) { DefaultHandler(message); }

void TControl::WMCancelMode(TWMNoParams message)
{
    DefaultHandler(message);
    if (MouseCapture()) {
        SetMouseCapture(false);
    }
    controlState_ &= ~(csLButtonDown | csClicked);
}

void TControl::WMSize(TWMSize message) { DefaultHandler(message); }

void TControl::WMMove(TWMNoParams message) { DefaultHandler(message); }

void TControl::CMEnabledChanged(TWMNoParams) { Invalidate(); }

void TControl::CMVisibleChanged(TWMNoParams) { InvalidateControl(true); }

void TControl::CMFontChanged(TWMNoParams) { Invalidate(); }

void TControl::CMColorChanged(TWMNoParams) { Invalidate(); }

void TControl::CMTextChanged(TWMNoParams) {}

void TControl::CMParentFontChanged(TWMNoParams)
{
    if (parentFont_ && parent_ != nullptr) {
        takingParentFont_ = true;
        try {
            font_.Assign(parent_->Font());
        } catch (...) {
            takingParentFont_ = false;
            throw;
        }
        takingParentFont_ = false;
    }
}

void TControl::CMParentColorChanged(TWMNoParams)
{
    if (parentColor_ && parent_ != nullptr && color_ != parent_->color_) {
        color_ = parent_->color_;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::CMParentShowHintChanged(TWMNoParams)
{
    if (parentShowHint_ && parent_ != nullptr && showHint_ != parent_->showHint_) {
        showHint_ = parent_->showHint_;
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::CMMouseEnter(TCMMouseEnter message)
{
    if (message.Control() == nullptr && OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TControl::CMMouseLeave(TCMMouseLeave message)
{
    if (message.Control() == nullptr && OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TControl::CMHitTest(TCMHitTest message) { message.SetResult(desktop::HTCLIENT); }

void TControl::CMFocusChanged(TCMFocusChanged message) { DefaultHandler(message); }

void TControl::CMDialogKey(TCMDialogKey message) { DefaultHandler(message); }

void TControl::CMDialogChar(TCMDialogChar message) { DefaultHandler(message); }

void TControl::CMCursorChanged(TWMNoParams message) { DefaultHandler(message); }

}  // namespace fw
