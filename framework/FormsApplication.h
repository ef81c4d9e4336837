#pragma once

// TApplication: the one application object. It owns the forms created through it, knows
// the main form, runs the message loop (with the key pre-check and idle work) and reports
// exceptions that escape message handling.
//
// There is one application object per program; Application() returns it (nullptr when
// there is none). Construct it after the display backend is installed; it creates the
// screen object when none exists. Its destructor runs the exit procedure: it frees every
// form it owns, then destroys its window.

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "desktop/Types.h"
#include "framework/ClassesComponent.h"
#include "framework/ControlsMessages.h"
#include "framework/ControlsTypes.h"
#include "framework/FormsForm.h"

namespace fw {

class TScreen;

using TExceptionEvent = std::function<void(TObject* sender, const Exception& error)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TMessageEvent = std::function<void(desktop::MSG& message, bool& handled)>;
using TShortCutEvent = std::function<void(TWMKey message, bool& handled)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // The title rule: the file name after the last '\' or '/', cut at its first '.', every
    // character after the first lower-cased.
    static std::string TitleFromExeName(const std::string& path);

    void Initialize();
    // Stores the new form in reference before constructing it (its own construction can
    // reach it there); clears it and passes the exception on when construction fails. The
    // first form created becomes the main form, with its window.
    template <class T>
    void CreateForm(T*& reference);
    // Shows the main form and handles messages until terminated.
    void Run();
    // One message, or the idle work when there is none.
    void HandleMessage();
    // Every waiting message, without idling.
    void ProcessMessages();
    // Asks the terminate procedures, then posts the quit message.
    void Terminate();
    void AddTerminateProc(std::function<bool()> proc);
    bool Terminated() const { return terminated_; }
    bool Running() const { return running_; }

    // Reports the exception being handled; call inside a catch block.
    void HandleException(TObject* sender);
    // The message box for one exception: the message with a full stop added unless it
    // ends in a character at or below '.', captioned with the title, OK and the error icon.
    void ShowException(const Exception& error);
    // A modal system message box owned by the application window; the program's other
    // windows are disabled while it is shown.
    int MessageBox(const std::string& text, const std::string& caption, desktop::UINT flags);
    void Minimize();
    void Restore();

    std::string Title() const;
    void SetTitle(const std::string& value);
    desktop::HWND Handle() const { return handle_; }
    TCustomForm* MainForm() const { return mainForm_; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool value) { showMainForm_ = value; }
    bool Active() const { return active_; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    int HintPause() const { return hintPause_; }
    int HintShortPause() const { return hintShortPause_; }
    int HintHidePause() const { return hintHidePause_; }
    bool HintShortCuts() const { return hintShortCuts_; }
    // On: a settings change sent to the application window re-reads the number format.
    bool UpdateFormatSettings() const { return updateFormatSettings_; }
    void SetUpdateFormatSettings(bool value) { updateFormatSettings_ = value; }
    bool UpdateMetricSettings() const { return updateMetricSettings_; }
    // The application's shortcut check: OnShortCut, else the main form's while enabled.
    bool IsShortCut(TWMKey message);
    // Forms run modally right now.
    int ModalLevel() const { return modalLevel_; }

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TCustomForm;
    friend desktop::LRESULT ApplicationWindowProc(desktop::HWND, desktop::UINT, desktop::WPARAM, desktop::LPARAM);
    void CreateApplicationWindow();
    void FormCreated(TComponent* component);
    bool ProcessMessage(desktop::MSG& message);
    bool IsKeyMsg(desktop::MSG& message);
    void Idle();
    void DoMouseIdle();
    void UpdateHint(TControl* control);
    void ExitProcedure();
    void WndProc(TMessage& message);

    desktop::HWND handle_ = nullptr;
    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool showMainForm_ = true;
    bool active_ = true;
    bool showHint_ = false;
    std::string hint_;
    int hintPause_ = 500;
    int hintShortPause_ = 0;
    int hintHidePause_ = 2500;
    bool hintShortCuts_ = true;
    bool updateFormatSettings_ = true;
    bool updateMetricSettings_ = true;
    int modalLevel_ = 0;
    bool exitDone_ = false;
    std::vector<std::function<bool()>> terminateProcs_;
    std::unique_ptr<TScreen> ownScreen_;
};

TApplication* Application();

template <class T>
void TApplication::CreateForm(T*& reference)
{
    // The caller's variable points at the object before its constructor runs.
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    T* instance = nullptr;
    try {
        instance = new (memory) T(this);
    } catch (...) {
        ::operator delete(memory);
        reference = nullptr;
        throw;
    }
    try {
        if constexpr (std::is_base_of_v<TCustomForm, T>) {
            instance->AfterConstruction();
        }
    } catch (...) {
        delete instance;
        reference = nullptr;
        throw;
    }
    FormCreated(instance);
}

}  // namespace fw
