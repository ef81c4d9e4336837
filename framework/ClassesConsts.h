#pragma once

// Message texts of the component model, streams and layout reader: entries of the string table.
#include "framework/ResStrings.h"
