#pragma once

// TWinControl: a control with a desktop window of its own. The window is created lazily
// (HandleNeeded), children's windows right after their parent's, and every message of the
// window runs through the control's WindowProc. A control that wraps a standard window class
// ("BUTTON", "EDIT", "SysTabControl32") calls CreateSubClass in its CreateParams; the class's
// own procedure is then the default handling.

#include <functional>
#include <vector>

#include "framework/ControlsControl.h"

namespace fw {

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    bool IsWindowed() const override { return true; }

    // ---- Window ----
    desktop::HWND Handle();  // creates the window when there is none yet
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The window if there is one; never creates it.
    desktop::HWND WindowHandle() const { return handle_; }
    void HandleNeeded();
    // Creates the window and then those of the windowed children, in their order.
    virtual void CreateHandle();
    // Destroys the windows of the children and then this one; text and bounds are kept.
    virtual void DestroyHandle();
    // Destroys and creates the window again (after a change of window style); the control
    // that had the focus inside it keeps the focus.
    void RecreateWnd();
    // Outside owner window of a parentless control (the application window for forms).
    desktop::HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(desktop::HWND value) { parentWindow_ = value; }
    // The control whose window this is; nullptr for windows the framework did not make.
    static TWinControl* FindControl(desktop::HWND window);
    // The nearest framework control at or above this window.
    static TWinControl* FindControlAbove(desktop::HWND window);

    // ---- Children ----
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;  // creation order: later ones stack above earlier ones
    bool ContainsControl(const TControl* control) const;
    // The visible child at a client point, topmost first: windowed children (when allowed)
    // lie above graphic ones, later siblings above earlier ones.
    TControl* ControlAtPos(desktop::POINT p, bool allowDisabled, bool allowWinControls = false);
    // Sends the message to every child until one sets a non-zero result.
    void Broadcast(TMessage& message);
    // Sends the message to every child, whatever they answer.
    void NotifyControls(desktop::UINT msg);
    // The layout writer's view of the children; proc is called for each owned by root.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
    void ReadState(TReader& reader) override;

    // ---- Focus and tab order ----
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // Windowed descendants depth-first, each container's children in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    // Visible and enabled, and so is every parent up to the form.
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // Moves the focus to the next (previous) control of this one's tab order after current.
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    // The next (previous) control after current that can take the focus; with checkParent
    // only direct children count.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);

    // Hooks a form implements; a plain windowed control only focuses its window.
    virtual void FocusControl(TWinControl* control);
    // Called when the window of control receives the focus; false stops the focus change.
    virtual bool SetFocusedControl(TWinControl* control);
    virtual bool IsShortCut(TWMKey message);
    virtual bool IsForm() const { return false; }

    TBrush* Brush() { return &brush_; }

    // ---- Events ----
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void DefaultHandler(TMessage& message) override;
    void Invalidate() override;
    void Update() override;
    void SetBounds(int left, int top, int width, int height) override;
    desktop::RECT GetClientRect() override;
    bool Showing() const override;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWindowHandle();
    // The window told us it moved or changed size.
    void UpdateBounds();
    // Paints the graphic children over the DC (this control's client coordinates);
    // first: start at that child, nullptr for all.
    void PaintControls(desktop::HDC dc, TControl* first);
    // Standard handling of WM_PAINT for a control with graphic children (or csCustomPaint):
    // BeginPaint, PaintWindow, PaintControls.
    void PaintHandler(TWMPaint message);
    virtual void PaintWindow(desktop::HDC dc);
    // Reflects a message from a child window to that child as CN_*; true when it was one.
    bool DoControlMsg(desktop::HWND child, TMessage& message);
    // The default handling of the key pre-check; true when the key is claimed.
    bool DoKeyDown(TWMKey message);
    bool DoKeyUp(TWMKey message);
    bool DoKeyPress(TWMChar message);

    virtual void KeyDown(desktop::WORD& key, TShiftState shift);
    virtual void KeyUp(desktop::WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    // A control is being removed from this one or from one of its descendants, or hidden.
    virtual void ControlRemoving(TControl* control);
    // Frees the components this control owns (from a destructor, while the control is whole).
    void DestroyComponents();
    // Sends CM_SHOWINGCHANGED to each windowed descendant whose Showing() changed, parents first.
    void UpdateChildrenShowing();
    // A control read from a layout into a parent that already has its window gets its own now.
    void Loaded() override;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    // WndProc's part for mouse messages, out of its way.
    [[gnu::noinline]] void MouseWndProc(TMessage& message);

    // ---- Message handlers ----
    virtual void WMPaint(TWMPaint message);
    virtual void WMEraseBkgnd(TWMEraseBkgnd message);
    virtual void WMSetFocus(TWMSetFocus message);
    virtual void WMKillFocus(TWMKillFocus message);
    virtual void WMGetDlgCode(TWMNoParams message);
    virtual void WMKeyDown(TWMKey message);
    virtual void WMKeyUp(TWMKey message);
    virtual void WMChar(TWMChar message);
    virtual void WMSysKeyDown(TWMKey message);
    virtual void WMSysKeyUp(TWMKey message);
    virtual void WMSysChar(TWMChar message);
    virtual void WMCommand(TWMCommand message);
    virtual void WMNotify(TWMNotify message);
    virtual void WMCtlColor(TWMCtlColor message);
    virtual void WMSetCursor(TWMSetCursor message);
    virtual void WMWindowPosChanged(TWMWindowPosChanged message);
    virtual void WMContextMenu(TWMContextMenu message);
    virtual void WMCaptureChanged(TWMNoParams message);
    virtual void CNKeyDown(TWMKey message);
    virtual void CNKeyUp(TWMKey message);
    virtual void CNChar(TWMChar message);
    virtual void CNSysKeyDown(TWMKey message);
    virtual void CNSysChar(TWMChar message);
    virtual void CNCommand(TWMCommand message);
    virtual void CNNotify(TWMNotify message);
    virtual void CNCtlColor(TWMCtlColor message);
    virtual void CMChildKey(TCMChildKey message);
    virtual void CMWantSpecialKey(TCMWantSpecialKey message);
    virtual void CMEnter(TWMNoParams message);
    virtual void CMExit(TWMNoParams message);
    virtual void CMShowingChanged(TWMNoParams message);
    virtual void CMTabStopChanged(TWMNoParams message);
    void CMEnabledChanged(TWMNoParams message) override;
    void CMVisibleChanged(TWMNoParams message) override;
    void CMFontChanged(TWMNoParams message) override;
    void CMColorChanged(TWMNoParams message) override;
    void CMFocusChanged(TCMFocusChanged message) override;
    void CMDialogKey(TCMDialogKey message) override;
    void CMDialogChar(TCMDialogChar message) override;
    void WMCancelMode(TWMNoParams message) override;
    void WMSize(TWMSize message) override;

private:
    friend class TControl;
    friend desktop::LRESULT ControlWindowProc(desktop::HWND, desktop::UINT, desktop::WPARAM, desktop::LPARAM);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void UpdateTabOrder(int value);
    void FixupTabList();
    void WindowAttached(desktop::HWND window);
    void WindowDetached();
    void ShowOrHideWindow();
    void UpdateShowing();

    desktop::HWND handle_ = nullptr;
    desktop::HWND parentWindow_ = nullptr;
    desktop::WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    int storedTabOrder_ = -1;  // as read from a layout, applied when the parent has all its children
    bool tabStop_ = false;
    TBrush brush_;
    bool showing_ = false;  // Showing() as last reported with CM_SHOWINGCHANGED
};

}  // namespace fw
