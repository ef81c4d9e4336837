#pragma once

// The control framework: shared types, TControl, TWinControl, and the self-painting bases.

#include "framework/ControlsControl.h"
#include "framework/ControlsCustom.h"
#include "framework/ControlsTypes.h"
#include "framework/ControlsWinControl.h"
