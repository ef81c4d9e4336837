#pragma once

// Message texts of the run-time library: entries of the string table.
#include "framework/ResStrings.h"
