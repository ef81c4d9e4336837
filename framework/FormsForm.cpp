#include "framework/FormsForm.h"

#include "desktop/Gdi.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/ClassesReader.h"
#include "framework/FormsApplication.h"
#include "framework/FormsScreen.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

// True when control is ancestor or lies inside it (pointer walk: works while either is
// being destroyed).
bool Inside(const TControl* ancestor, const TControl* control)
{
    for (; control != nullptr; control = control->Parent()) {
        if (control == ancestor) {
            return true;
        }
    }
    return false;
}

// Sends a focus notification; false when its handling moved the focus elsewhere.
bool SendFocusMessage(TWinControl* control, desktop::UINT msg)
{
    const desktop::HWND before = desktop::GetFocus();
    control->Perform(msg);
    return desktop::GetFocus() == before;
}

void ScaleChildren(TWinControl& parent, int m, int d)
{
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* child = parent.Controls(i);
        int width = desktop::MulDiv(child->Width(), m, d);
        int height = desktop::MulDiv(child->Height(), m, d);
        // A control sized by its content (an image by its picture) keeps that size.
        if (child->AutoSize()) {
            int ownWidth = child->Width();
            int ownHeight = child->Height();
            if (child->CanAutoSize(ownWidth, ownHeight)) {
                width = ownWidth;
                height = ownHeight;
            }
        }
        child->SetBounds(desktop::MulDiv(child->Left(), m, d), desktop::MulDiv(child->Top(), m, d), width, height);
        if (child->IsWindowed()) {
            ScaleChildren(*static_cast<TWinControl*>(child), m, d);
        }
    }
}

bool KeyHeld(int vk) { return desktop::GetKeyState(vk) < 0; }

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) { InitForm(); }

TCustomForm::TCustomForm(TComponent* owner, CreateNewTag) : TWinControl(owner)
{
    createdNew_ = true;
    InitForm();
}

void TCustomForm::InitForm()
{
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    visible_ = false;
    StoreBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    SetParentFont(false);
    pixelsPerInch_ = Screen() != nullptr ? Screen()->PixelsPerInch() : 96;
    canvas_.SetControl(this);
    if (Screen() != nullptr) {
        Screen()->AddForm(this);
    }
}

TCustomForm::~TCustomForm()
{
    SetState(csDestroying);
    if (TApplication* application = Application(); application != nullptr && application->mainForm_ == this) {
        application->mainForm_ = nullptr;
    }
    DestroyComponents();
    if (Screen() != nullptr) {
        Screen()->RemoveForm(this);
    }
    canvas_.FreeHandle();
    DestroyHandle();
}

const TClassInfo& TCustomForm::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomForm, TWinControl>("TCustomForm").Build();
    return info;
}

const TClassInfo& TForm::Info()
{
    static const TClassInfo info =
        ClassBuilder<TForm, TCustomForm>("TForm")
            .Object("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
            .Enum("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                  &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
            .Integer("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
            .Integer("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
            .Enum("FormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, &TCustomForm::FormStyle,
                  &TCustomForm::SetFormStyle)
            .Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
            .Boolean("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder)
            .Integer("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
            .Enum("Position",
                  {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                   "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                  &TCustomForm::Position, &TCustomForm::SetPosition)
            .Enum("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TCustomForm::WindowState,
                  &TCustomForm::SetWindowState)
            .Event("OnActivate", [](TForm* f, TNotifyEvent e) { f->OnActivate = std::move(e); })
            .Event("OnCreate", [](TForm* f, TNotifyEvent e) { f->OnCreate = std::move(e); })
            .Event("OnDeactivate", [](TForm* f, TNotifyEvent e) { f->OnDeactivate = std::move(e); })
            .Event("OnDestroy", [](TForm* f, TNotifyEvent e) { f->OnDestroy = std::move(e); })
            .Event("OnHide", [](TForm* f, TNotifyEvent e) { f->OnHide = std::move(e); })
            .Event("OnShow", [](TForm* f, TNotifyEvent e) { f->OnShow = std::move(e); })
            .Build();
    return info;
}

TCustomForm* GetParentForm(const TControl* control)
{
    return control != nullptr ? dynamic_cast<TCustomForm*>(control->ParentFormControl()) : nullptr;
}

std::vector<desktop::HWND> DisableTaskWindows(desktop::HWND except)
{
    std::vector<desktop::HWND> windows(static_cast<std::size_t>(std::max(0, desktop::EnumThreadTopLevels(nullptr, 0))));
    windows.resize(static_cast<std::size_t>(
        std::max(0, desktop::EnumThreadTopLevels(windows.data(), static_cast<int>(windows.size())))));
    std::vector<desktop::HWND> disabled;
    for (desktop::HWND window : windows) {
        if (window != except && desktop::IsWindowVisible(window) && desktop::IsWindowEnabled(window)) {
            desktop::EnableWindow(window, false);
            disabled.push_back(window);
        }
    }
    return disabled;
}

void EnableTaskWindows(const std::vector<desktop::HWND>& windows)
{
    for (desktop::HWND window : windows) {
        if (desktop::IsWindow(window)) {
            desktop::EnableWindow(window, true);
        }
    }
}

// ---- Life cycle ----

void TCustomForm::AfterConstruction()
{
    if (!createdNew_ && ClassInfo().InheritsFrom(TForm::Info()) && &ClassInfo() != &TForm::Info()) {
        ReadLayout();
    }
    DoCreate();
}

void TCustomForm::ReadLayout()
{
    formState_ |= fsCreating;
    try {
        InitInheritedComponent(this, TForm::Info(), [this](TReader& reader) {
            reader.OnReadRootStart = [this](TComponent*) { StartReading(); };
            reader.OnReadRootEnd = [this](TComponent*) { FinishReading(); };
        });
    } catch (...) {
        formState_ &= ~fsCreating;
        throw;
    }
    formState_ &= ~fsCreating;
}

void TCustomForm::StartReading()
{
    textHeight_ = 0;
    pixelsPerInch_ = 0;
}

void TCustomForm::FinishReading()
{
    const int screenPixelsPerInch = Screen() != nullptr ? Screen()->PixelsPerInch() : 96;
    const int storedPixelsPerInch = pixelsPerInch_;
    bool scaled = false;
    if (storedPixelsPerInch > 0 && textHeight_ > 0) {
        if (screenPixelsPerInch != storedPixelsPerInch) {
            Font()->SetHeight(desktop::MulDiv(Font()->GetHeight(), screenPixelsPerInch, storedPixelsPerInch));
        }
        pixelsPerInch_ = screenPixelsPerInch;
        const int measured = MeasureTextHeight();
        if (measured != textHeight_) {
            ScaleControls(measured, textHeight_);
            // A layout that stores only the outer size has its client area scaled all the same:
            // the client area it was made with lay inside the frame of the layout's screen.
            const auto madeWith = [&](int outer, int client) {
                return outer - desktop::MulDiv(outer - client, storedPixelsPerInch, screenPixelsPerInch);
            };
            if (pendingClientWidth_ < 0) pendingClientWidth_ = madeWith(Width(), ClientWidth());
            if (pendingClientHeight_ < 0) pendingClientHeight_ = madeWith(Height(), ClientHeight());
            if (pendingClientWidth_ >= 0)
                pendingClientWidth_ = desktop::MulDiv(pendingClientWidth_, measured, textHeight_);
            if (pendingClientHeight_ >= 0)
                pendingClientHeight_ = desktop::MulDiv(pendingClientHeight_, measured, textHeight_);
            scaled = true;
        }
    }
    if (pixelsPerInch_ <= 0) {
        pixelsPerInch_ = screenPixelsPerInch;
    }
    if (!scaled) {
        ScaleControls(1, 1);
    }
    if (activeControl_ != nullptr && !activeControl_->CanFocus()) {
        activeControl_ = nullptr;
    }
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    if (pendingClientWidth_ >= 0) {
        const int width = pendingClientWidth_;
        pendingClientWidth_ = -1;
        SetClientWidth(width);
    }
    if (pendingClientHeight_ >= 0) {
        const int height = pendingClientHeight_;
        pendingClientHeight_ = -1;
        SetClientHeight(height);
    }
}

void TCustomForm::ScaleControls(int m, int d)
{
    if (m != d && d != 0) {
        ScaleChildren(*this, m, d);
    }
}

int TCustomForm::MeasureTextHeight()
{
    desktop::HDC dc = desktop::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return 0;
    }
    const desktop::HGDIOBJ old = desktop::SelectObject(dc, Font()->Handle());
    desktop::SIZE size{};
    desktop::GetTextExtentPoint32(dc, "0", &size);
    desktop::SelectObject(dc, old);
    desktop::DeleteDC(dc);
    return size.cy;
}

void TCustomForm::DefineProperties(TFiler& filer)
{
    TWinControl::DefineProperties(filer);
    filer.DefineProperty(
        "TextHeight", [this](TReader& reader) { textHeight_ = reader.ReadInteger(); }, textHeight_ > 0);
}

void TCustomForm::SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

void TCustomForm::BeforeDestruction()
{
    if (!destroyFired_) {
        destroyFired_ = true;
        DoDestroy();
    }
}

void TCustomForm::Free()
{
    BeforeDestruction();
    delete this;
}

void TCustomForm::Release()
{
    if (HandleAllocated()) {
        desktop::PostMessage(Handle(), CM_RELEASE, 0, 0);
    } else {
        Free();
    }
}

void TCustomForm::DoCreate()
{
    try {
        if (OnCreate) OnCreate(this);
    } catch (...) {
        ApplicationHandleException(this);
    }
}

void TCustomForm::DoDestroy()
{
    try {
        if (OnDestroy) OnDestroy(this);
    } catch (...) {
        ApplicationHandleException(this);
    }
}

void TCustomForm::DoShow()
{
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action)
{
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Activate()
{
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate) OnDeactivate(this);
}

// ---- Window ----

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    using namespace desktop;
    params.Style &= ~DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED);
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle &= ~DWORD(WS_EX_CONTROLPARENT);
    if (!Enabled()) params.Style |= WS_DISABLED;
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: params.Style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow:
            params.Style |= WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
            break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin:
            params.Style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
            break;
        case TFormBorderStyle::bsDialog:
            params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
            params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
    }
    if (position_ == TPosition::poDefault || position_ == TPosition::poDefaultPosOnly) {
        params.X = CW_USEDEFAULT;
        params.Y = CW_USEDEFAULT;
    }
    if (params.WndParent == nullptr && Application() != nullptr) {
        params.WndParent = Application()->Handle();
    }
    params.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::SetClientWidth(int value)
{
    if (HasState(csReading)) {
        pendingClientWidth_ = value;
    } else {
        TWinControl::SetClientWidth(value);
    }
}

void TCustomForm::SetClientHeight(int value)
{
    if (HasState(csReading)) {
        pendingClientHeight_ = value;
    } else {
        TWinControl::SetClientHeight(value);
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (borderStyle_ != value) {
        borderStyle_ = value;
        RecreateWnd();
    }
}

void TCustomForm::SetWindowState(TWindowState value)
{
    if (windowState_ == value) {
        return;
    }
    windowState_ = value;
    if (HandleAllocated() && Showing()) {
        const int command = value == TWindowState::wsMinimized   ? desktop::SW_MINIMIZE
                            : value == TWindowState::wsMaximized ? desktop::SW_SHOWMAXIMIZED
                                                                 : desktop::SW_RESTORE;
        desktop::ShowWindow(Handle(), command);
    }
}

bool TCustomForm::Showing() const { return Visible() && HandleAllocated() && desktop::IsWindowVisible(WindowHandle()); }

void TCustomForm::CMVisibleChanged(TWMNoParams)
{
    if (!IsLoading()) {
        Perform(CM_SHOWINGCHANGED);
    }
}

void TCustomForm::CMShowingChanged(TWMNoParams)
{
    if (Visible()) {
        HandleNeeded();
        formState_ |= fsShowing;
        try {
            DoShow();
        } catch (...) {
            ApplicationHandleException(this);
        }
        formState_ &= ~fsShowing;
        if (!Visible()) {
            return;  // OnShow hid the form again
        }
        ApplyPosition();
        const int command = windowState_ == TWindowState::wsMaximized   ? desktop::SW_SHOWMAXIMIZED
                            : windowState_ == TWindowState::wsMinimized ? desktop::SW_SHOWMINIMIZED
                                                                        : desktop::SW_SHOWNORMAL;
        desktop::ShowWindow(Handle(), command);
    } else {
        try {
            DoHide();
        } catch (...) {
            ApplicationHandleException(this);
        }
        if (HandleAllocated()) {
            desktop::ShowWindow(Handle(), desktop::SW_HIDE);
        }
    }
    UpdateChildrenShowing();
}

void TCustomForm::ApplyPosition()
{
    const int screenWidth = desktop::GetSystemMetrics(desktop::SM_CXSCREEN);
    const int screenHeight = desktop::GetSystemMetrics(desktop::SM_CYSCREEN);
    const auto centreOnScreen = [&] {
        SetBounds(screenWidth / 2 - Width() / 2, screenHeight / 2 - Height() / 2, Width(), Height());
    };
    switch (position_) {
        case TPosition::poScreenCenter:
        case TPosition::poDesktopCenter: centreOnScreen(); break;
        case TPosition::poMainFormCenter:
        case TPosition::poOwnerFormCenter: {
            TCustomForm* reference =
                position_ == TPosition::poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
            if (reference == nullptr && Application() != nullptr) {
                reference = Application()->MainForm();
            }
            if (reference != nullptr && reference != this && reference->HandleAllocated()) {
                SetBounds(reference->Left() + (reference->Width() - Width()) / 2,
                          reference->Top() + (reference->Height() - Height()) / 2, Width(), Height());
            } else {
                centreOnScreen();
            }
            break;
        }
        default: break;
    }
}

// ---- Closing and modal runs ----

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if ((formState_ & fsModal) != 0) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) {
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) {
        return;
    }
    TApplication* application = Application();
    if (application != nullptr && application->MainForm() == this) {
        application->Terminate();
    } else if (action == TCloseAction::caHide) {
        Hide();
    } else if (action == TCloseAction::caMinimize) {
        SetWindowState(TWindowState::wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::CloseModal()
{
    try {
        TCloseAction action = TCloseAction::caNone;
        if (CloseQuery()) {
            action = TCloseAction::caHide;
            DoClose(action);
        }
        if (action == TCloseAction::caNone) {
            modalResult_ = mrNone;
        } else if (action == TCloseAction::caFree) {
            Release();
        }
    } catch (...) {
        modalResult_ = mrNone;
        ApplicationHandleException(this);
    }
}

TModalResult TCustomForm::ShowModal()
{
    TApplication* application = Application();
    if (Visible() || !Enabled() || (formState_ & fsModal) != 0 || application == nullptr) {
        throw EInvalidOperation(SVisibleChanged);
    }
    if (desktop::HWND capture = desktop::GetCapture()) {
        desktop::SendMessage(capture, desktop::WM_CANCELMODE, 0, 0);
    }
    desktop::ReleaseCapture();
    HandleNeeded();
    formState_ |= fsModal;
    ++application->modalLevel_;
    desktop::HWND previouslyActive = desktop::GetActiveWindow();
    const std::vector<desktop::HWND> disabled = DisableTaskWindows(Handle());
    const auto restore = [&] {
        EnableTaskWindows(disabled);
        if (previouslyActive != nullptr && desktop::IsWindow(previouslyActive)) {
            desktop::SetActiveWindow(previouslyActive);
        }
        formState_ &= ~fsModal;
        --application->modalLevel_;
    };
    TModalResult result = mrNone;
    try {
        Show();
        try {
            modalResult_ = mrNone;
            do {
                application->HandleMessage();
                if (application->Terminated()) {
                    modalResult_ = mrCancel;
                } else if (modalResult_ != mrNone) {
                    CloseModal();
                }
            } while (modalResult_ == mrNone);
            result = modalResult_;
        } catch (...) {
            Hide();
            throw;
        }
        Hide();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

// ---- Focus ----

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (activeControl_ == control) {
        return;
    }
    if (control != nullptr &&
        (control == this || GetParentForm(control) != this || (!IsLoading() && !control->CanFocus()))) {
        throw EInvalidOperation(SCannotFocus);
    }
    activeControl_ = control;
    if (!IsLoading() && active_) {
        SetWindowFocus();
    }
}

void TCustomForm::FocusControl(TWinControl* control)
{
    const bool wasActive = active_;
    SetActiveControl(control);
    if (!wasActive) {
        SetFocus();
    }
}

void TCustomForm::SetFocus()
{
    if (!active_ && Visible() && Enabled()) {
        SetWindowFocus();
    }
}

bool TCustomForm::CanFocus() const { return Visible() && Enabled(); }

void TCustomForm::SetWindowFocus()
{
    TWinControl* target = activeControl_ != nullptr && activeControl_->CanFocus() ? activeControl_ : this;
    desktop::SetFocus(target->Handle());
}

void TCustomForm::SetActive(bool value)
{
    active_ = value;
    if (value) {
        if (activeControl_ == nullptr) {
            activeControl_ = FindNextControl(nullptr, true, true, false);
        }
        SetWindowFocus();
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* control)
{
    activeControl_ = control != this ? control : nullptr;
    TScreen* screen = Screen();
    if (screen != nullptr) {
        screen->SetFocusState(this, control);
    }
    if (control->InState(csFocusing)) {
        return true;
    }
    control->controlState_ |= csFocusing;
    const auto done = [control] { control->controlState_ &= ~csFocusing; };
    try {
        if (screen != nullptr && screen->FocusedForm() != this) {
            if (TCustomForm* previous = screen->FocusedForm()) {
                screen->SetFocusedForm(nullptr);
                if (!SendFocusMessage(previous, CM_DEACTIVATE)) {
                    done();
                    return false;
                }
            }
            screen->SetFocusedForm(this);
            if (!SendFocusMessage(this, CM_ACTIVATE)) {
                done();
                return false;
            }
        }
        if (focusedControl_ == nullptr) {
            focusedControl_ = this;
        }
        if (focusedControl_ != control) {
            // Leave the containers the focus moves out of, innermost first ...
            while (focusedControl_ != nullptr && !focusedControl_->ContainsControl(control)) {
                TWinControl* leaving = focusedControl_;
                focusedControl_ = leaving->Parent();
                if (!SendFocusMessage(leaving, CM_EXIT)) {
                    done();
                    return false;
                }
            }
            // ... then enter the ones it moves into, outermost first.
            while (focusedControl_ != control) {
                TWinControl* entering = control;
                while (entering->Parent() != focusedControl_) {
                    entering = entering->Parent();
                }
                focusedControl_ = entering;
                if (!SendFocusMessage(entering, CM_ENTER)) {
                    done();
                    return false;
                }
            }
            Perform(CM_FOCUSCHANGED, 0, PointerToLParam(control));
        }
    } catch (...) {
        done();
        throw;
    }
    done();
    return true;
}

void TCustomForm::ControlRemoving(TControl* control)
{
    if (Inside(control, focusedControl_)) {
        focusedControl_ = control->Parent();
    }
    if (Inside(control, activeControl_)) {
        activeControl_ = nullptr;
        // The form keeps the keyboard, so that Tab still finds the next control.
        if (active_ && HandleAllocated() && !HasState(csDestroying)) {
            desktop::SetFocus(WindowHandle());
        }
    }
    if (Screen() != nullptr) {
        Screen()->ControlRemoving(control);
    }
}

bool TCustomForm::IsShortCut(TWMKey) { return false; }

// ---- Messages ----

void TCustomForm::Dispatch(TMessage& message)
{
    switch (message.Msg) {
        case desktop::WM_CLOSE: WMClose(TWMNoParams(message)); return;
        case desktop::WM_ACTIVATE: WMActivate(TWMActivate(message)); return;
        case desktop::WM_NEXTDLGCTL: WMNextDlgCtl(TWMNextDlgCtl(message)); return;
        case desktop::WM_ACTIVATEAPP: WMActivateApp(TWMActivateApp(message)); return;
        case CM_ACTIVATE: CMActivate(TWMNoParams(message)); return;
        case CM_DEACTIVATE: CMDeactivate(TWMNoParams(message)); return;
        case CM_RELEASE: Free(); return;
        default: TWinControl::Dispatch(message); return;
    }
}

void TCustomForm::WMClose(TWMNoParams) { Close(); }

void TCustomForm::WMActivateApp(TWMActivateApp message)
{
    if (TApplication* application = Application()) {
        const bool active = message.Active();
        application->active_ = active;
        const TNotifyEvent& event = active ? application->OnActivate : application->OnDeactivate;
        if (event) event(application);
    }
    DefaultHandler(message);
}

void TCustomForm::WMActivate(TWMActivate message)
{
    const bool activating = message.Active() != desktop::WA_INACTIVE;
    if (activating && desktop::IsIconic(Handle())) {
        active_ = true;
        return;
    }
    SetActive(activating);
}

void TCustomForm::WMNextDlgCtl(TWMNextDlgCtl message)
{
    if (message.TargetGiven()) {
        if (TWinControl* control = FindControl(message.Target())) {
            control->SetFocus();
        }
    } else {
        SelectNext(activeControl_, !message.Backward(), true);
    }
}

void TCustomForm::CMActivate(TWMNoParams) { Activate(); }

void TCustomForm::CMDeactivate(TWMNoParams) { Deactivate(); }

void TCustomForm::CMDialogKey(TCMDialogKey message)
{
    if (!KeyHeld(desktop::VK_MENU)) {
        switch (message.CharCode()) {
            case desktop::VK_TAB:
                if (!KeyHeld(desktop::VK_CONTROL)) {
                    SelectNext(activeControl_, !KeyHeld(desktop::VK_SHIFT), true);
                    message.SetResult(1);
                    return;
                }
                break;
            case desktop::VK_LEFT:
            case desktop::VK_RIGHT:
            case desktop::VK_UP:
            case desktop::VK_DOWN:
                if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
                    const bool forward =
                        message.CharCode() == desktop::VK_RIGHT || message.CharCode() == desktop::VK_DOWN;
                    activeControl_->Parent()->SelectNext(activeControl_, forward, false);
                    message.SetResult(1);
                }
                return;
            default: break;
        }
    }
    TWinControl::CMDialogKey(message);
}

}  // namespace fw
