#pragma once

// Forms: top-level windows that hold controls, track their focused control, handle the
// dialog keys (Tab, arrows) and can run modally.
//
// Construction has two steps, because a base class cannot see its derived class while it is
// being built: the constructor, then AfterConstruction, which reads the layout named after
// the class (each ancestor's first, none for TForm itself) and fires OnCreate. Create forms
// with NewForm<T>(owner) or TApplication::CreateForm, which do both. A form built with the
// CreateNew tag reads no layout (the message dialog's form). Free() fires OnDestroy and
// deletes the form; the application frees the forms it owns the same way.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "framework/ControlsCustom.h"
#include "framework/ControlsWinControl.h"

namespace fw {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

enum TFormStateFlag : std::uint32_t {
    fsCreating = 1u << 0,
    fsVisible = 1u << 1,
    fsShowing = 1u << 2,
    fsModal = 1u << 3,
    fsActivated = 1u << 4,
};
using TFormState = std::uint32_t;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

struct CreateNewTag {};
inline constexpr CreateNewTag CreateNew{};

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    TCustomForm(TComponent* owner, CreateNewTag);
    ~TCustomForm() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Reads the layout (unless created new) and fires OnCreate.
    virtual void AfterConstruction();
    // Fires OnDestroy (once).
    virtual void BeforeDestruction();
    // BeforeDestruction, then delete.
    void Free();
    // Frees the form once the messages now waiting have been handled.
    void Release();

    // ---- Showing and closing ----
    void Close();
    virtual bool CloseQuery();
    // Runs until ModalResult is set (closing sets mrCancel, so does the application
    // terminating); other windows of the program are disabled meanwhile.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    TFormState FormState() const { return formState_; }
    bool Active() const { return active_; }
    bool Showing() const override;

    // ---- Focus ----
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control) override;
    bool SetFocusedControl(TWinControl* control) override;
    bool IsForm() const override { return true; }
    bool IsShortCut(TWMKey message) override;
    void SetFocus() override;
    bool CanFocus() const override;

    // ---- Appearance ----
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState value);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value) { formStyle_ = value; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TCanvas* Canvas() { return &canvas_; }

    // ---- Scaling on load ----
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value);
    // The window font's text height when the layout was made (a defined property).
    int StoredTextHeight() const { return textHeight_; }
    bool OldCreateOrder() const { return oldCreateOrder_; }
    void SetOldCreateOrder(bool value) { oldCreateOrder_ = value; }
    // Height of "0" in the form's font.
    int MeasureTextHeight();

    void SetClientWidth(int value) override;
    void SetClientHeight(int value) override;
    void DefineProperties(TFiler& filer) override;

    // ---- Events ----
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void Loaded() override;

    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();
    // Scales every descendant's position and size by m/d.
    void ScaleControls(int m, int d);

    void Dispatch(TMessage& message) override;
    void ControlRemoving(TControl* control) override;
    void CMDialogKey(TCMDialogKey message) override;
    void CMVisibleChanged(TWMNoParams message) override;
    void CMShowingChanged(TWMNoParams message) override;
    virtual void WMClose(TWMNoParams message);
    virtual void WMActivate(TWMActivate message);
    virtual void WMActivateApp(TWMActivateApp message);
    virtual void WMNextDlgCtl(TWMNextDlgCtl message);
    virtual void CMActivate(TWMNoParams message);
    virtual void CMDeactivate(TWMNoParams message);

private:
    friend class TApplication;
    void InitForm();
    void ReadLayout();
    void StartReading();
    void FinishReading();
    void SetActive(bool value);
    void SetWindowFocus();
    void ApplyPosition();
    void CloseModal();

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition position_ = TPosition::poDesigned;
    TWindowState windowState_ = TWindowState::wsNormal;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TFormState formState_ = 0;
    TModalResult modalResult_ = mrNone;
    bool active_ = false;
    bool keyPreview_ = false;
    bool createdNew_ = false;
    bool destroyFired_ = false;
    bool oldCreateOrder_ = false;
    int pixelsPerInch_ = 0;
    int textHeight_ = 0;
    int pendingClientWidth_ = -1;
    int pendingClientHeight_ = -1;
    TControlCanvas canvas_;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
    TForm(TComponent* owner, CreateNewTag tag) : TCustomForm(owner, tag) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
};

// The parent form of a control (the form itself for a form), or nullptr.
TCustomForm* GetParentForm(const TControl* control);

// Disables every visible, enabled top-level window of the calling thread but except;
// returns those it disabled, for EnableTaskWindows.
std::vector<desktop::HWND> DisableTaskWindows(desktop::HWND except);
void EnableTaskWindows(const std::vector<desktop::HWND>& windows);

// Constructs a form and reads its layout: new T(args...), then AfterConstruction.
template <class T, class... Args>
T* NewForm(Args&&... args)
{
    T* form = new T(std::forward<Args>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        delete form;
        throw;
    }
    return form;
}

}  // namespace fw
