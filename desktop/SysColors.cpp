#include "desktop/SysColors.h"

#include <array>
#include <memory>

#include "desktop/GdiObjects.h"

namespace desktop {
namespace {

constexpr std::array<COLORREF, kSysColorCount> kClassicColors = [] {
    std::array<COLORREF, kSysColorCount> c{};
    c[COLOR_SCROLLBAR] = RGB(192, 192, 192);
    c[COLOR_BACKGROUND] = RGB(0, 128, 128);
    c[COLOR_ACTIVECAPTION] = RGB(0, 0, 128);
    c[COLOR_INACTIVECAPTION] = RGB(128, 128, 128);
    c[COLOR_MENU] = RGB(192, 192, 192);
    c[COLOR_WINDOW] = RGB(255, 255, 255);
    c[COLOR_WINDOWFRAME] = RGB(0, 0, 0);
    c[COLOR_MENUTEXT] = RGB(0, 0, 0);
    c[COLOR_WINDOWTEXT] = RGB(0, 0, 0);
    c[COLOR_CAPTIONTEXT] = RGB(255, 255, 255);
    c[COLOR_ACTIVEBORDER] = RGB(192, 192, 192);
    c[COLOR_INACTIVEBORDER] = RGB(192, 192, 192);
    c[COLOR_APPWORKSPACE] = RGB(128, 128, 128);
    c[COLOR_HIGHLIGHT] = RGB(0, 0, 128);
    c[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
    c[COLOR_BTNFACE] = RGB(192, 192, 192);
    c[COLOR_BTNSHADOW] = RGB(128, 128, 128);
    c[COLOR_GRAYTEXT] = RGB(128, 128, 128);
    c[COLOR_BTNTEXT] = RGB(0, 0, 0);
    c[COLOR_INACTIVECAPTIONTEXT] = RGB(192, 192, 192);
    c[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
    c[COLOR_3DDKSHADOW] = RGB(0, 0, 0);
    c[COLOR_3DLIGHT] = RGB(192, 192, 192);
    c[COLOR_INFOTEXT] = RGB(0, 0, 0);
    c[COLOR_INFOBK] = RGB(255, 255, 225);
    c[25] = RGB(192, 192, 192);  // unused slot
    c[COLOR_HOTLIGHT] = RGB(0, 0, 255);
    c[COLOR_GRADIENTACTIVECAPTION] = RGB(16, 132, 208);
    c[COLOR_GRADIENTINACTIVECAPTION] = RGB(181, 181, 181);
    c[29] = RGB(0, 0, 128);      // menu highlight
    c[30] = RGB(192, 192, 192);  // menu bar
    return c;
}();

struct SysColorTable {
    std::array<COLORREF, kSysColorCount> colors = kClassicColors;
    std::array<std::unique_ptr<GdiBrush>, kSysColorCount> brushes;

    SysColorTable()
    {
        for (int i = 0; i < kSysColorCount; ++i) {
            brushes[i] = std::make_unique<GdiBrush>();
            brushes[i]->stock = true;
            brushes[i]->log.lbColor = colors[i];
        }
    }
};

SysColorTable& Table()
{
    static SysColorTable table;
    return table;
}

bool ValidIndex(int index) { return index >= 0 && index < kSysColorCount; }

}  // namespace

COLORREF GetSysColor(int index) { return ValidIndex(index) ? Table().colors[index] : 0; }

HBRUSH GetSysColorBrush(int index) { return ValidIndex(index) ? Table().brushes[index].get() : nullptr; }

int SetSysColors(int count, const int* indices, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!indices || !colors))) return 0;
    SysColorTable& t = Table();
    for (int i = 0; i < count; ++i) {
        if (!ValidIndex(indices[i])) continue;
        t.colors[indices[i]] = colors[i] & 0xFFFFFF;
        t.brushes[indices[i]]->log.lbColor = colors[i] & 0xFFFFFF;
    }
    return 1;
}

}  // namespace desktop
