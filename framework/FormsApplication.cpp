#include "framework/FormsApplication.h"

#include <filesystem>
#include <system_error>

#include "desktop/Accessible.h"
#include "desktop/Codepage.h"
#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/Resources.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/ControlsCustom.h"
#include "framework/ControlsHooks.h"
#include "framework/FormsScreen.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"
#include "framework/SysUtilsLocale.h"

namespace fw {

namespace {

TApplication* currentApplication = nullptr;

constexpr const char* kApplicationClass = "TApplication";
constexpr std::size_t kMaxPathLength = 255;

std::string ExecutablePath()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

// The control under a screen point, disabled ones included: the window's control, then
// down through the children that contain the point.
TControl* ControlAtScreenPoint(desktop::POINT screenPoint)
{
    TWinControl* window = TWinControl::FindControlAbove(desktop::WindowFromPoint(screenPoint));
    TControl* found = window;
    while (window != nullptr) {
        TControl* child = window->ControlAtPos(window->ScreenToClient(screenPoint), true, true);
        if (child == nullptr) {
            break;
        }
        found = child;
        window = child->IsWindowed() ? static_cast<TWinControl*>(child) : nullptr;
    }
    return found;
}

// The long part of a hint: what follows the first '|', or all of it.
std::string LongHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

}  // namespace

TApplication* Application() { return currentApplication; }

desktop::LRESULT ApplicationWindowProc(desktop::HWND hwnd, desktop::UINT msg, desktop::WPARAM wParam,
                                       desktop::LPARAM lParam)
{
    TApplication* application = currentApplication;
    if (application == nullptr || (application->handle_ != nullptr && application->handle_ != hwnd)) {
        return desktop::DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (application->handle_ == nullptr) {
        application->handle_ = hwnd;  // the window's first messages arrive before CreateWindowEx returns
    }
    TMessage message{msg, wParam, lParam, 0};
    try {
        application->WndProc(message);
    } catch (...) {
        application->HandleException(application);
    }
    return message.Result;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    if (currentApplication != nullptr) {
        throw EInvalidOperation(SDuplicateApplication);
    }
    if (Screen() == nullptr) {
        ownScreen_ = std::make_unique<TScreen>(nullptr);
    }
    SetApplicationShuttingDown(false);
    title_ = TitleFromExeName(ExecutablePath());
    // The program's icon at the large icon size; without the resource the display's default.
    desktop::SetApplicationIcon(desktop::LoadIconImage("MAINICON", desktop::GetSystemMetrics(desktop::SM_CXICON)));
    CreateApplicationWindow();
    currentApplication = this;
    InstallShortCutHook([this](TWMKey message) { return IsShortCut(message); });
    InstallApplicationHooks({
        .handleException = [this](TObject* sender) { HandleException(sender); },
        .showException =
            [this](TObject* sender, const Exception& error) {
                if (OnException) {
                    OnException(sender, error);
                } else {
                    ShowException(error);
                }
            },
    });
}

TApplication::~TApplication()
{
    ExitProcedure();
    RemoveApplicationHooks();
    if (handle_ != nullptr) {
        desktop::DestroyWindow(handle_);
        handle_ = nullptr;
    }
    desktop::SetApplicationIcon(std::nullopt);
    currentApplication = nullptr;
    RemoveShortCutHook();
    ownScreen_.reset();
}

const TClassInfo& TApplication::Info()
{
    static const TClassInfo info = ClassBuilder<TApplication, TComponent>("TApplication").Build();
    return info;
}

std::string TApplication::TitleFromExeName(const std::string& path)
{
    const std::string full = path.substr(0, kMaxPathLength);
    const auto separator = full.find_last_of("\\/");
    std::string name = separator == std::string::npos ? full : full.substr(separator + 1);
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = desktop::LowerCp1252(name[i]);
    }
    return name;
}

void TApplication::CreateApplicationWindow()
{
    desktop::WNDCLASS existing;
    if (!desktop::GetClassInfo(kApplicationClass, &existing)) {
        desktop::WNDCLASS cls;
        cls.lpfnWndProc = ApplicationWindowProc;
        cls.hCursor = desktop::IDC_ARROW;
        cls.lpszClassName = kApplicationClass;
        if (!desktop::RegisterClass(cls)) {
            throw EOutOfResources(LoadResString(SWindowClass.id));
        }
    }
    const int x = desktop::GetSystemMetrics(desktop::SM_CXSCREEN) / 2;
    const int y = desktop::GetSystemMetrics(desktop::SM_CYSCREEN) / 2;
    // The window stays hidden: the desktop layer has no taskbar button for it to carry.
    currentApplication = this;
    handle_ = desktop::CreateWindowEx(0, kApplicationClass, title_,
                                      desktop::WS_POPUP | desktop::WS_CAPTION | desktop::WS_CLIPSIBLINGS |
                                          desktop::WS_SYSMENU | desktop::WS_MINIMIZEBOX,
                                      x, y, 0, 0, nullptr, 0, nullptr);
    currentApplication = nullptr;
    if (handle_ == nullptr) {
        throw EOutOfResources(LoadResString(SWindowClass.id));
    }
}

void TApplication::Initialize() {}

void TApplication::FormCreated(TComponent* component)
{
    auto* form = dynamic_cast<TCustomForm*>(component);
    if (mainForm_ == nullptr && form != nullptr) {
        form->HandleNeeded();
        mainForm_ = form;
    }
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == mainForm_) {
        mainForm_ = nullptr;
    }
}

// ---- Title ----

std::string TApplication::Title() const { return handle_ != nullptr ? desktop::GetWindowText(handle_) : title_; }

void TApplication::SetTitle(const std::string& value)
{
    title_ = value;
    if (handle_ != nullptr) {
        desktop::SetWindowText(handle_, value);
    }
}

// ---- The loop ----

void TApplication::Run()
{
    running_ = true;
    struct RunningReset {
        bool& flag;
        ~RunningReset() { flag = false; }
    } reset{running_};
    if (mainForm_ == nullptr) {
        return;
    }
    if (showMainForm_) {
        if (mainForm_->WindowState() == TWindowState::wsMinimized) {
            Minimize();
        } else {
            mainForm_->SetVisible(true);
        }
    }
    while (!terminated_) {
        HandleMessage();
    }
}

void TApplication::HandleMessage()
{
    desktop::MSG message;
    if (!ProcessMessage(message)) {
        Idle();
    }
}

void TApplication::ProcessMessages()
{
    desktop::MSG message;
    while (ProcessMessage(message)) {
    }
}

bool TApplication::ProcessMessage(desktop::MSG& message)
{
    if (!desktop::PeekMessage(&message, nullptr, 0, 0, desktop::PM_REMOVE)) {
        return false;
    }
    if (message.message == desktop::WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) {
        OnMessage(message, handled);
    }
    if (!handled && !IsKeyMsg(message)) {
        desktop::TranslateMessage(&message);
        desktop::DispatchMessage(&message);
    }
    return true;
}

bool TApplication::IsKeyMsg(desktop::MSG& message)
{
    if (message.message < desktop::WM_KEYFIRST || message.message > desktop::WM_KEYLAST) {
        return false;
    }
    desktop::HWND target = desktop::GetCapture();
    if (target == nullptr) {
        target = message.hwnd;
        if (TWinControl* control = TWinControl::FindControlAbove(target)) {
            target = control->WindowHandle();
        }
    }
    if (target == nullptr) {
        return false;
    }
    return desktop::SendMessage(target, message.message + CN_BASE, message.wParam, message.lParam) != 0;
}

void TApplication::Idle()
{
    try {
        DoMouseIdle();
    } catch (...) {
        HandleException(this);
    }
    // Changes are told to screen readers once the queue is empty, before anything idles.
    desktop::DeliverAccessibleEvents();
    bool done = true;
    try {
        if (OnIdle) {
            OnIdle(this, done);
        }
    } catch (...) {
        HandleException(this);
    }
    TControlCanvas::FreeDeviceContexts();
    if (done) {
        desktop::WaitMessage();
    }
}

void TApplication::DoMouseIdle()
{
    desktop::POINT p;
    desktop::GetCursorPos(&p);
    TControl* control = ControlAtScreenPoint(p);
    TControl* last = TControl::MouseControl();
    if (control != last) {
        TControl* capture = TControl::CaptureControl();
        TControl::SetMouseControl(control);
        if (last != nullptr && (capture == nullptr || capture == last)) {
            last->Perform(CM_MOUSELEAVE);
        }
        if (control != nullptr && (capture == nullptr || capture == control)) {
            control->Perform(CM_MOUSEENTER);
        }
    }
    UpdateHint(control);
}

void TApplication::UpdateHint(TControl* control)
{
    std::string hint;
    for (TControl* c = control; c != nullptr; c = c->Parent()) {
        if (!c->Hint().empty()) {
            hint = LongHint(c->Hint());
            break;
        }
    }
    SetHint(hint);
}

void TApplication::SetHint(const std::string& value)
{
    if (hint_ != value) {
        hint_ = value;
        if (OnHint) {
            OnHint(this);
        }
    }
}

void TApplication::AddTerminateProc(std::function<bool()> proc) { terminateProcs_.push_back(std::move(proc)); }

void TApplication::Terminate()
{
    for (const auto& proc : terminateProcs_) {
        if (!proc()) {
            return;
        }
    }
    desktop::PostQuitMessage(0);
}

bool TApplication::IsShortCut(TWMKey message)
{
    bool handled = false;
    if (OnShortCut) {
        OnShortCut(message, handled);
    } else if (mainForm_ != nullptr && mainForm_->HandleAllocated() &&
               desktop::IsWindowEnabled(mainForm_->WindowHandle())) {
        handled = mainForm_->IsShortCut(message);
    }
    return handled;
}

// ---- Reporting ----

void TApplication::HandleException(TObject* sender)
{
    if (desktop::HWND capture = desktop::GetCapture()) {
        desktop::SendMessage(capture, desktop::WM_CANCELMODE, 0, 0);
    }
    try {
        throw;
    } catch (const EAbort&) {
        // Silent by design.
    } catch (const Exception& error) {
        if (OnException) {
            OnException(sender, error);
        } else {
            ShowException(error);
        }
    } catch (const std::exception& error) {
        desktop::MessageBox(nullptr, error.what(), SApplicationError.Text(), desktop::MB_OK | desktop::MB_ICONERROR);
    } catch (...) {
        desktop::MessageBox(nullptr, SUnknownException.Text(), SApplicationError.Text(),
                            desktop::MB_OK | desktop::MB_ICONERROR);
    }
}

void TApplication::ShowException(const Exception& error)
{
    std::string text = error.Message();
    // A text that ends in punctuation at or below '.' keeps it; anything else gets a full stop.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    MessageBox(text, Title(), desktop::MB_OK | desktop::MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, desktop::UINT flags)
{
    const desktop::HWND previouslyActive = desktop::GetActiveWindow();
    const std::vector<desktop::HWND> disabled = DisableTaskWindows(nullptr);
    const auto restore = [&] {
        EnableTaskWindows(disabled);
        if (previouslyActive != nullptr && desktop::IsWindow(previouslyActive)) {
            desktop::SetActiveWindow(previouslyActive);
        }
    };
    int result = 0;
    try {
        result = desktop::MessageBox(handle_, text, caption, flags);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

void TApplication::Minimize()
{
    if (mainForm_ != nullptr && mainForm_->HandleAllocated() && !desktop::IsIconic(mainForm_->WindowHandle())) {
        desktop::ShowWindow(mainForm_->WindowHandle(), desktop::SW_MINIMIZE);
        if (OnMinimize) OnMinimize(this);
    }
}

void TApplication::Restore()
{
    if (mainForm_ != nullptr && mainForm_->HandleAllocated() && desktop::IsIconic(mainForm_->WindowHandle())) {
        desktop::ShowWindow(mainForm_->WindowHandle(), desktop::SW_RESTORE);
        if (Screen() != nullptr && Screen()->ActiveControl() != nullptr) {
            Screen()->ActiveControl()->SetFocus();
        }
        if (OnRestore) OnRestore(this);
    }
}

// ---- The application window ----

void TApplication::WndProc(TMessage& message)
{
    switch (message.Msg) {
        case desktop::WM_CLOSE:
            if (mainForm_ != nullptr) {
                mainForm_->Close();
            }
            return;
        case desktop::WM_SYSCOMMAND:
            switch (TWMSysCommand(message).CmdType()) {
                case desktop::SC_MINIMIZE: Minimize(); return;
                case desktop::SC_RESTORE: Restore(); return;
                default: break;
            }
            break;
        case desktop::WM_SETTINGCHANGE:
            // The screen metrics are read afresh on every use and there is no hint window
            // or mouse object to renew, so only the number format is left to re-read.
            if (updateFormatSettings_) {
                GetFormatSettings();
            }
            break;
        default: break;
    }
    message.Result = desktop::DefWindowProc(handle_, message.Msg, message.WParam, message.LParam);
}

void TApplication::ExitProcedure()
{
    if (exitDone_) {
        return;
    }
    exitDone_ = true;
    SetApplicationShuttingDown(true);
    showHint_ = false;
    // Forms first, last created first, each with its destruction event.
    while (ComponentCount() > 0) {
        TComponent* component = Components(ComponentCount() - 1);
        if (auto* form = dynamic_cast<TCustomForm*>(component)) {
            form->Free();
        } else {
            delete component;
        }
    }
}

}  // namespace fw
