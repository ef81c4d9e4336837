#include "app/Startup.h"

#include "app/FormulaPicture.h"
#include "app/Unit1.h"
#include "dice/VoDice.h"
#include "framework/StdReg.h"
#include "framework/SysUtilsLocale.h"
#include "numedit/KelApplication.h"
#include "numedit/KelMaskEdit.h"
#include "numedit/KelSpinEdit.h"
#include "resources/AppResources.h"

namespace app {

std::unique_ptr<fw::TApplication> InitializeUnits()
{
    fw::GetFormatSettings();
    fw::RegisterStandardComponents();
    numedit::KelApplication();
    numedit::RegisterKelMaskEdits();
    numedit::RegisterKelSpinEdits();
    resources::RegisterAppResources();
    auto application = std::make_unique<fw::TApplication>();
    dice::VoDiceInit();
    return application;
}

void CreateMainForm(fw::TApplication& application)
{
    application.CreateForm(Form1);
    FitFormulaPicture(*Form1->Image1);
}

int RunProgram(const StartHooks& hooks)
{
    std::unique_ptr<fw::TApplication> application = InitializeUnits();
    if (hooks.applicationCreated) {
        hooks.applicationCreated(*application);
    }
    application->Initialize();
    CreateMainForm(*application);
    if (hooks.beforeRun) {
        hooks.beforeRun(*application);
    }
    application->Run();
    // The halt: the application frees the window and everything it owns.
    application.reset();
    Form1 = nullptr;
    return 0;
}

}  // namespace app
