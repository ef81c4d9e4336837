#pragma once

// A headless fixture with an application object, test controls that record what reaches
// them, a probe that runs actions from inside whatever message loop is running (also a
// modal one), and a writer for small binary layouts.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/Resources.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/Controls.h"
#include "framework/ControlsHooks.h"
#include "framework/Forms.h"

namespace forms_test {

using namespace fw;
using desktop::POINT;
using desktop::RECT;

// A windowed control that paints itself in its Color and records keys and notifications.
class TTestBox : public TCustomControl {
public:
    explicit TTestBox(TComponent* owner) : TCustomControl(owner)
    {
        SetBounds(0, 0, 20, 20);
        SetColor(clRed);
    }
    static const TClassInfo& Info()
    {
        static const TClassInfo info = ClassBuilder<TTestBox, TCustomControl>("TTestBox").Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }

    desktop::WORD claimKey = 0;       // claimed in the key pre-check
    bool takesReturn = false;         // handles a broadcast Return
    desktop::LRESULT dialogCode = 0;  // answer to WM_GETDLGCODE
    int claimed = 0;
    int returnsTaken = 0;
    int paints = 0;
    std::vector<desktop::WORD> keysDown;
    std::string typed;
    TWinControl* focusChangedTo = nullptr;
    std::vector<std::string>* showingLog = nullptr;  // "<name> shown" / "<name> hidden"

protected:
    void CMShowingChanged(TWMNoParams message) override
    {
        if (showingLog != nullptr) {
            showingLog->push_back(Name() + (Showing() ? " shown" : " hidden"));
        }
        TCustomControl::CMShowingChanged(message);
    }
    void Paint() override
    {
        ++paints;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void CNKeyDown(TWMKey message) override
    {
        if (claimKey != 0 && message.CharCode() == claimKey) {
            ++claimed;
            message.SetResult(1);
            return;
        }
        TCustomControl::CNKeyDown(message);
    }
    void CMDialogKey(TCMDialogKey message) override
    {
        if (takesReturn && message.CharCode() == desktop::VK_RETURN) {
            ++returnsTaken;
            message.SetResult(1);
            return;
        }
        TCustomControl::CMDialogKey(message);
    }
    void WMGetDlgCode(TWMNoParams message) override { message.SetResult(dialogCode); }
    void CMFocusChanged(TCMFocusChanged message) override
    {
        focusChangedTo = message.Sender();
        TCustomControl::CMFocusChanged(message);
    }
    void KeyDown(desktop::WORD& key, TShiftState shift) override
    {
        keysDown.push_back(key);
        TCustomControl::KeyDown(key, shift);
    }
    void KeyPress(char& key) override
    {
        typed += key;
        TCustomControl::KeyPress(key);
    }
};

// A windowed container.
class TTestPanel : public TWinControl {
public:
    explicit TTestPanel(TComponent* owner) : TWinControl(owner)
    {
        SetControlStyle(ControlStyle() | csAcceptsControls);
        SetBounds(0, 0, 100, 100);
    }
    static const TClassInfo& Info()
    {
        static const TClassInfo info = ClassBuilder<TTestPanel, TWinControl>("TTestPanel").Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }
};

// A window-less control painted on its parent in its Color.
class TTestMark : public TGraphicControl {
public:
    explicit TTestMark(TComponent* owner) : TGraphicControl(owner)
    {
        SetBounds(0, 0, 20, 20);
        SetColor(clBlue);
    }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

inline std::deque<std::function<void()>>& ProbeActions()
{
    static std::deque<std::function<void()>> actions;
    return actions;
}

inline desktop::LRESULT ProbeProc(desktop::HWND hwnd, desktop::UINT msg, desktop::WPARAM wParam, desktop::LPARAM lParam)
{
    if (msg == desktop::WM_APP && !ProbeActions().empty()) {
        auto action = std::move(ProbeActions().front());
        ProbeActions().pop_front();
        action();
        return 0;
    }
    return desktop::DefWindowProc(hwnd, msg, wParam, lParam);
}

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        desktop::WNDCLASS cls;
        cls.lpfnWndProc = ProbeProc;
        cls.lpszClassName = "FormsTestProbe";
        desktop::RegisterClass(cls);
        probe_ = desktop::CreateWindowEx(0, "FormsTestProbe", "", desktop::WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
        ProbeActions().clear();
        app = std::make_unique<TApplication>();
        app->SetTitle("Experiment");
    }
    void TearDown() override
    {
        app.reset();
        ProbeActions().clear();
        desktop::headless::Uninstall();
    }

    // A shown, active form without a layout.
    TForm* ShownForm(RECT bounds = {100, 100, 400, 300})
    {
        auto* form = NewForm<TForm>(app.get(), CreateNew);
        form->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
        form->Show();
        app->ProcessMessages();
        return form;
    }
    template <class T>
    static T* Add(TWinControl* parent, RECT bounds)
    {
        TComponent* owner = GetParentForm(parent);
        auto* control = new T(owner != nullptr ? owner : parent);
        control->SetParent(parent);
        control->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
        return control;
    }
    // Runs action when the message loop running then takes the probe's message.
    void FromInsideTheLoop(std::function<void()> action)
    {
        ProbeActions().push_back(std::move(action));
        desktop::PostMessage(probe_, desktop::WM_APP, 0, 0);
    }
    static POINT OnScreen(TControl* control, POINT client) { return control->ClientToScreen(client); }
    static POINT CentreOf(TControl* control)
    {
        return OnScreen(control, {control->Width() / 2, control->Height() / 2});
    }
    void Press(desktop::WORD key, bool shift = false)
    {
        desktop::headless::PressKey(key, shift);
        app->ProcessMessages();
    }

    std::unique_ptr<TApplication> app;

private:
    desktop::HWND probe_ = nullptr;
};

// Writes a binary layout: records with properties, children, and the closing zeros.
class LayoutWriter {
public:
    LayoutWriter() { bytes_ = {'T', 'P', 'F', '0'}; }
    LayoutWriter& Begin(const std::string& className, const std::string& name)
    {
        Short(className);
        Short(name);
        return *this;
    }
    LayoutWriter& Int(const std::string& property, std::int32_t value)
    {
        Short(property);
        if (value >= -128 && value <= 127) {
            bytes_.push_back(2);
            Raw(value, 1);
        } else if (value >= -32768 && value <= 32767) {
            bytes_.push_back(3);
            Raw(value, 2);
        } else {
            bytes_.push_back(4);
            Raw(value, 4);
        }
        return *this;
    }
    LayoutWriter& Ident(const std::string& property, const std::string& ident)
    {
        Short(property);
        bytes_.push_back(7);
        Short(ident);
        return *this;
    }
    LayoutWriter& Str(const std::string& property, const std::string& text)
    {
        Short(property);
        bytes_.push_back(6);
        Short(text);
        return *this;
    }
    LayoutWriter& EndList()
    {
        bytes_.push_back(0);
        return *this;
    }
    // Registers the layout as the raw-data resource of that name (kept for the program's life).
    void Register(const std::string& resourceName)
    {
        static std::deque<std::vector<std::uint8_t>> kept;
        kept.push_back(bytes_);
        desktop::RegisterResource(desktop::RT_RCDATA, resourceName, std::span<const std::uint8_t>(kept.back()));
    }

private:
    void Short(const std::string& s)
    {
        bytes_.push_back(static_cast<std::uint8_t>(s.size()));
        bytes_.insert(bytes_.end(), s.begin(), s.end());
    }
    void Raw(std::int32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
        }
    }
    std::vector<std::uint8_t> bytes_;
};

}  // namespace forms_test
