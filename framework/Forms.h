#pragma once

// The forms layer: forms, the screen and the application object with its message loop.

#include "framework/FormsApplication.h"
#include "framework/FormsForm.h"
#include "framework/FormsScreen.h"
