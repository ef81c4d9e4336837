#pragma once

// The program's own resources, in the library app_resources: the main window's layout
// "TFORM1" (compiled from layouts/Form1.layout, with the formula picture drawn at build time).
void RegisterLayout_TFORM1();

namespace resources {

// Registers all of the above; later calls do nothing.
void RegisterAppResources();

}  // namespace resources
