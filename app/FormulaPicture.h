#pragma once

// The formula picture for the screen's density. The layout carries the picture as drawn for
// 96 pixels per inch; the build draws the same formula at 1.5, 2 and 3 times that size
// (resources "FORMULA150", "FORMULA200", "FORMULA300"), because a bitmap is not scaled with
// the layout and a stretched one would blur its text.

#include "framework/ExtCtrls.h"

namespace app {

// The drawing nearest to pixelsPerInch / 96 among 1, 1.5, 2 and 3, as a percentage; a screen
// half-way between two takes the smaller.
int FormulaPercentFor(int pixelsPerInch);

// Gives the image the formula drawn for the screen's resolution; an auto-sized image takes its
// size. At 100 % the layout's picture is the right one and nothing is done.
void FitFormulaPicture(fw::TImage& image);

}  // namespace app
