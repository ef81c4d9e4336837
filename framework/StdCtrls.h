#pragma once

// The standard controls: labels, edits, memos, buttons and group boxes.

#include "framework/StdCtrlsButton.h"
#include "framework/StdCtrlsEdit.h"
#include "framework/StdCtrlsGroupBox.h"
#include "framework/StdCtrlsLabel.h"
#include "framework/StdCtrlsMemo.h"
#include "framework/StdCtrlsTypes.h"
#include "framework/StdReg.h"
