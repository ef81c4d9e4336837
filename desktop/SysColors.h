// System colours with the classic "Windows Standard" values, and their stock brushes.
#pragma once

#include "desktop/Types.h"

namespace desktop {

struct GdiBrush;
using HBRUSH = GdiBrush*;

constexpr int kSysColorCount = 31;

COLORREF GetSysColor(int index);
// A stock brush per colour index (never deleted); null for an unknown index.
HBRUSH GetSysColorBrush(int index);
// Changes colours for the whole process; the brushes of GetSysColorBrush follow.
int SetSysColors(int count, const int* indices, const COLORREF* colors);

}  // namespace desktop
