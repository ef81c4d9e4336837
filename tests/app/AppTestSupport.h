// The program's start-up on the headless screen, its window shown, and a way to run a handler
// whose message box is read and closed from inside its modal loop.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Startup.h"
#include "app/Unit1.h"
#include "desktop/Messages.h"
#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "framework/ClassesHooks.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/SysUtilsLocale.h"

namespace app::testing {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { StartProgram(); }
    void TearDown() override { StopProgram(); }

    // The start-up on a headless screen of the given resolution, the main window shown.
    void StartProgram(int pixelsPerInch = 96)
    {
        desktop::headless::Install(desktop::SIZE{1280, 1024}, pixelsPerInch);
        savedDecimal_ = fw::DecimalSeparator;
        savedThousand_ = fw::ThousandSeparator;
        application_ = InitializeUnits();
        application_->SetTitle("dados");  // the program's executable name
        fw::DecimalSeparator = ',';
        fw::ThousandSeparator = '.';
        application_->Initialize();
        CreateMainForm(*application_);
        form_ = Form1;
        form_->Show();
        application_->ProcessMessages();
        dice::GeneratorSeed = 12345;
    }
    void StopProgram()
    {
        application_.reset();
        Form1 = nullptr;
        fw::SetApplicationShuttingDown(false);
        fw::DecimalSeparator = savedDecimal_;
        fw::ThousandSeparator = savedThousand_;
        desktop::headless::Uninstall();
    }

    // Runs the action; the first message box it opens is read, then closed with Enter.
    // Returns "caption|text", or "" when none opened.
    std::string WithMessage(const std::function<void()>& action)
    {
        std::string seen;
        application_->OnIdle = [&](fw::TObject*, bool& done) {
            done = true;
            if (!seen.empty()) return;
            for (int i = 0; i < application_->ComponentCount(); ++i) {
                auto* dialog = dynamic_cast<fw::TMessageForm*>(application_->Components(i));
                if (dialog != nullptr && dialog->Showing()) {
                    auto* label = dynamic_cast<fw::TLabel*>(dialog->FindComponent("Message"));
                    seen = dialog->Caption() + "|" + (label != nullptr ? label->Caption() : std::string("?"));
                    desktop::headless::PressKey(desktop::VK_RETURN);
                }
            }
        };
        action();
        application_->OnIdle = nullptr;
        return seen;
    }

    std::unique_ptr<fw::TApplication> application_;
    TForm1* form_ = nullptr;

private:
    char savedDecimal_ = '.';
    char savedThousand_ = ',';
};

}  // namespace app::testing
