#include "app/FormulaPicture.h"

#include <array>
#include <cstdlib>
#include <string>

#include "framework/Forms.h"

namespace app {

int FormulaPercentFor(int pixelsPerInch)
{
    constexpr std::array kPercents{100, 150, 200, 300};
    // Compared as pixels per inch times 100, so no rounding decides between two.
    const auto distance = [pixelsPerInch](int percent) { return std::abs(percent * 96 - pixelsPerInch * 100); };
    int best = kPercents[0];
    for (int percent : kPercents) {
        if (distance(percent) < distance(best)) best = percent;
    }
    return best;
}

void FitFormulaPicture(fw::TImage& image)
{
    const int percent = FormulaPercentFor(fw::Screen() != nullptr ? fw::Screen()->PixelsPerInch() : 96);
    if (percent == 100) return;
    image.Picture()->Bitmap()->LoadFromResourceName("FORMULA" + std::to_string(percent));
}

}  // namespace app
