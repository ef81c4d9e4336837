#pragma once

// The graphics unit: colours, fonts, pens, brushes and canvases; graphics, bitmaps and
// pictures with their class registry; the PNG picture class.

#include "framework/GraphicsBitmap.h"
#include "framework/GraphicsCanvas.h"
#include "framework/GraphicsGraphic.h"
#include "framework/GraphicsPicture.h"
#include "framework/GraphicsPng.h"
