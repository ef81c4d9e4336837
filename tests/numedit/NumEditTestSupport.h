// A headless application with one shown form, for the tests that need real windows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "desktop/Caret.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesHooks.h"
#include "framework/Forms.h"

namespace numedit::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        savedBlinkTime_ = desktop::GetCaretBlinkTime();
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form_->SetBounds(100, 100, 300, 200);
        form_->Show();
        app_->ProcessMessages();
    }
    void TearDown() override
    {
        app_.reset();
        fw::SetApplicationShuttingDown(false);
        desktop::SetCaretBlinkTime(savedBlinkTime_);
        desktop::headless::Uninstall();
    }

    // A plain self-painted control on the form, with its window.
    template <class T = fw::TCustomControl>
    T* NewChild(int left = 10, int top = 10, int width = 65, int height = 21)
    {
        auto* control = new T(form_);
        control->SetParent(form_);
        control->SetBounds(left, top, width, height);
        control->HandleNeeded();
        return control;
    }

    // Through the application's loop, which routes dialog keys such as Tab.
    void Pump() { app_->ProcessMessages(); }
    void Key(desktop::WORD vk, bool shift = false, bool ctrl = false, bool alt = false)
    {
        desktop::headless::PressKey(vk, shift, ctrl, alt);
        Pump();
    }
    void Type(const std::string& text)
    {
        desktop::headless::TypeText(text);
        Pump();
    }

    std::unique_ptr<fw::TApplication> app_;
    fw::TForm* form_ = nullptr;

private:
    desktop::UINT savedBlinkTime_ = 0;
};

}  // namespace numedit::testing
