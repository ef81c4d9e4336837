#pragma once

namespace fw {

// Makes the standard controls (TLabel, TEdit, TMemo, TButton, TGroupBox, TPageControl,
// TTabSheet, TImage) known to the layout reader by class name. Calling it again does nothing.
void RegisterStandardComponents();

}  // namespace fw
