#pragma once

// The program's start-up, shared by dados (real window) and dados-driver (headless): the
// units' initialisation, the application object, the main window read from "TFORM1", the
// message loop, and the halt. The caller installs the display backend first.

#include <functional>
#include <memory>

#include "framework/FormsApplication.h"

namespace app {

// Everything the linked units do before the program's own code runs: classes known to the
// layout reader, resources registered, the number format read from the locale, the screen,
// application and edit-family objects created. Returns the application object, which the
// caller keeps until the halt.
std::unique_ptr<fw::TApplication> InitializeUnits();

struct StartHooks {
    // After the application object exists and before the main window is created.
    std::function<void(fw::TApplication&)> applicationCreated;
    // After the main window exists, just before the message loop.
    std::function<void(fw::TApplication&)> beforeRun;
};

// Creates the main window TForm1 (into Form1) and fits the pictures the build drew for several
// screen densities to the screen's: the layout's scaling on load grows the controls but not
// their bitmaps.
void CreateMainForm(fw::TApplication& application);

// Initialise, create TForm1, run the loop until the main window closes, then halt (the
// application frees its forms). Returns the exit code, 0.
int RunProgram(const StartHooks& hooks = {});

}  // namespace app
