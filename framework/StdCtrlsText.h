#pragma once

// Text helpers of the standard controls: measuring with a font outside painting, and the
// accelerator rule of captions.

#include <string>

#include "desktop/Gdi.h"
#include "framework/GraphicsCanvas.h"

namespace fw::stdctrls {

// A memory DC with a font selected, for measuring while no window paints.
class MeasureDC {
public:
    explicit MeasureDC(TFont* font);
    ~MeasureDC();
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;

    desktop::HDC Handle() const { return dc_; }

private:
    desktop::HDC dc_ = nullptr;
    desktop::HGDIOBJ oldFont_ = nullptr;
};

// The font's character height (its text metrics' height).
int FontCharHeight(TFont* font);
// The height of "0" in the font.
int FontZeroHeight(TFont* font);

// Whether key is the accelerator of caption: the character after a single "&", compared
// without regard to case ("&&" is a literal "&").
bool IsAccel(unsigned key, const std::string& caption);

}  // namespace fw::stdctrls
