#pragma once

// TControl: the base of everything that sits on a form, windowed or not. It keeps bounds,
// text, colour, font, visibility and enabled state, and turns window messages into the
// virtual handlers and events below.
//
// Message path: WindowProc(msg) → WndProc (mouse capture and click bookkeeping) →
// Dispatch (one virtual handler per message number, given the message's typed record from
// ControlsMessages.h) → DefaultHandler. A subclass handles a message by overriding its
// handler (and calling the base handler for the default), or a message without one by
// overriding Dispatch.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "desktop/Accessible.h"
#include "desktop/Types.h"
#include "framework/ClassesComponent.h"
#include "framework/ClassesMessageParams.h"
#include "framework/ControlsMessages.h"
#include "framework/ControlsTypes.h"
#include "framework/GraphicsCanvas.h"

namespace fw {

class TWinControl;
class TPopupMenu;  // no menu class yet; controls only carry the reference

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // ---- Tree ----
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The layout reader nests a control in its enclosing component.
    void SetParentComponent(TComponent* parent) override;
    // The top-level windowed control this one sits in when that is a form, else nullptr.
    TWinControl* ParentFormControl() const;
    virtual bool IsWindowed() const { return false; }

    // ---- Bounds (parent client coordinates; screen coordinates for a top-level form) ----
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    desktop::RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const desktop::RECT& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
    // Client area in the control's own coordinates, (0, 0) at its top left.
    virtual desktop::RECT GetClientRect();
    desktop::RECT ClientRect() { return GetClientRect(); }
    int ClientWidth() { return GetClientRect().right; }
    int ClientHeight() { return GetClientRect().bottom; }
    virtual void SetClientWidth(int value);
    virtual void SetClientHeight(int value);
    desktop::POINT ClientToScreen(desktop::POINT p);
    desktop::POINT ScreenToClient(desktop::POINT p);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign value) { align_ = value; }

    // ---- Auto-sizing ----
    bool AutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool value);
    // Applies the control's size rule; the default asks CanAutoSize and does nothing while
    // the control is being loaded.
    virtual void AdjustSize();
    // The size the content wants; false leaves the size alone.
    virtual bool CanAutoSize(int& newWidth, int& newHeight);

    // ---- State ----
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent showing (a form: its window shown).
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }
    bool HasStyle(TControlStyleFlag flag) const { return (controlStyle_ & flag) != 0; }
    bool InState(TControlStateFlag flag) const { return (controlState_ & flag) != 0; }
    // Loading or reading from a layout (TComponent's state).
    bool IsLoading() const { return HasState(csLoading) || HasState(csReading); }

    // ---- Text ----
    std::string GetText();
    void SetText(const std::string& value);
    // Whether the control's text reads as value now.
    bool TextEquals(std::string_view value);
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }

    // ---- Appearance ----
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() { return &font_; }
    void SetFont(TFont* value) { font_.Assign(value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value) { popupMenu_ = value; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }

    // ---- Painting ----
    // Requests a repaint (with a background erase unless the control is csOpaque).
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    void Repaint();
    void BringToFront();
    void SendToBack();

    // ---- Messages ----
    desktop::LRESULT Perform(desktop::UINT msg, desktop::WPARAM wParam = 0, desktop::LPARAM lParam = 0)
    {
        TMessage message{msg, wParam, lParam, 0};
        WindowProc(message);
        return message.Result;
    }
    // Entry point of every message for this control.
    void WindowProc(TMessage& message) { WndProc(message); }
    virtual void DefaultHandler(TMessage& message);

    // Mouse capture for this control (a graphic control captures through its parent window).
    bool MouseCapture() const;
    void SetMouseCapture(bool value);

    // ---- Events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // ---- Accessibility ----
    // The control's object in the accessibility model: made on first use, kept while the
    // control lives (its window may come and go).
    desktop::Accessible* AccessibleObject();
    // The name a screen reader says; empty leaves the control's own (its caption).
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const std::string& value) { accessibleName_ = value; }
    // label labels this control, and this control is labelled by it (both directions kept).
    void AddAccessibleLabel(TControl* label);
    using TAccessibleRelations = std::vector<std::pair<desktop::AccRelation, TControl*>>;
    const TAccessibleRelations& AccessibleRelations() const { return accessibleRelations_; }

    // The control that holds the mouse capture, if any.
    static TControl* CaptureControl();
    // The control under the mouse as the application's idle tracking last saw it.
    static TControl* MouseControl();
    static void SetMouseControl(TControl* control);

protected:
    // The object AccessibleObject makes; families with their own answers override it.
    virtual std::unique_ptr<desktop::Accessible> CreateAccessible();
    // Raises a change of this control's object; a test of one pointer while nobody listens.
    void RaiseAccessibleEvent(desktop::AccEvent event)
    {
        if (desktop::AccessibilityListening()) [[unlikely]] {
            QueueAccessibleEvent(event);
        }
    }
    desktop::Accessible* ExistingAccessible() const { return accessible_.get(); }

    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);

    // Overridable actions behind the events.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    virtual void Changed() { Perform(CM_CHANGED, 0, PointerToLParam(this)); }
    void Loaded() override;

    // ---- Message handlers (default: DefaultHandler) ----
    virtual void WMLButtonDown(TWMMouse message);
    virtual void WMLButtonUp(TWMMouse message);
    virtual void WMLButtonDblClk(TWMMouse message);
    virtual void WMRButtonDown(TWMMouse message);
    virtual void WMRButtonUp(TWMMouse message);
    virtual void WMRButtonDblClk(TWMMouse message);
    virtual void WMMButtonDown(TWMMouse message);
    virtual void WMMButtonUp(TWMMouse message);
    virtual void WMMouseMove(TWMMouse message);
    virtual void WMMouseWheel(TWMMouseWheel message);
    virtual void WMCancelMode(TWMNoParams message);
    virtual void WMSize(TWMSize message);
    virtual void WMMove(TWMNoParams message);
    virtual void CMEnabledChanged(TWMNoParams message);
    virtual void CMVisibleChanged(TWMNoParams message);
    virtual void CMFontChanged(TWMNoParams message);
    virtual void CMColorChanged(TWMNoParams message);
    virtual void CMTextChanged(TWMNoParams message);
    virtual void CMParentFontChanged(TWMNoParams message);
    virtual void CMParentColorChanged(TWMNoParams message);
    virtual void CMParentShowHintChanged(TWMNoParams message);
    virtual void CMMouseEnter(TCMMouseEnter message);
    virtual void CMMouseLeave(TCMMouseLeave message);
    virtual void CMHitTest(TCMHitTest message);
    virtual void CMFocusChanged(TCMFocusChanged message);
    virtual void CMDialogKey(TCMDialogKey message);
    virtual void CMDialogChar(TCMDialogChar message);
    virtual void CMCursorChanged(TWMNoParams message);

    // Invalidates the rectangle of this control on its parent (graphic controls).
    void InvalidateControl(bool erase);
    // The text the control keeps while it has no window.
    const std::string& StoredText() const { return text_; }
    void SetStoredText(const std::string& value) { text_ = value; }
    // Sets bounds without moving a window (a window told the control where it is).
    void StoreBounds(int left, int top, int width, int height);

    TControlStyle controlStyle_ = DefaultControlStyle;
    TControlState controlState_ = 0;

private:
    friend class TWinControl;
    friend class TCustomForm;
    void FontChanged();
    void QueueAccessibleEvent(desktop::AccEvent event);
    void DoMouseDown(TWMMouse message, TMouseButton button, TShiftState extra);
    void DoMouseUp(TWMMouse message, TMouseButton button);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool autoSize_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    TFont font_;
    bool parentFont_ = true;
    bool takingParentFont_ = false;
    TCursor cursor_ = crDefault;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    int helpContext_ = 0;
    std::string accessibleName_;
    TAccessibleRelations accessibleRelations_;
    std::unique_ptr<desktop::Accessible> accessible_;
};

}  // namespace fw
