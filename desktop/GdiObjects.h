// The drawing objects behind the typed handles. Every handle is a pointer to
// one of these classes, so SelectObject/DeleteObject take any of them and
// static_cast turns an HGDIOBJ back into the typed handle.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "desktop/GdiTypes.h"
#include "desktop/Region.h"
#include "desktop/Surface.h"

namespace desktop {

class Font;

struct GdiObject {
    explicit GdiObject(UINT objectType) : type(objectType) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject() = default;

    const UINT type;  // OBJ_PEN, OBJ_BRUSH, ...
    bool stock = false;
    // Number of device-context states (current and saved) that hold the object.
    // DeleteObject on a held object defers the deletion until the last one lets go.
    int holders = 0;
    bool deletePending = false;
};

struct GdiPen : GdiObject {
    GdiPen() : GdiObject(OBJ_PEN) {}
    LOGPEN log;
};

struct GdiBitmap : GdiObject {
    GdiBitmap() : GdiObject(OBJ_BITMAP) {}
    ~GdiBitmap() override;

    Surface surface;  // what drawing reads and writes
    int bitsPixel = 32;
    bool monochrome = false;  // 1-bit device bitmap: the surface holds only black and white
    DeviceContext* selectedInto = nullptr;

    // A DIB section keeps its bits in the stored format. The bits and the surface
    // are reconciled lazily: the surface is rebuilt from the bits before each use
    // unless drawing made the surface newer, and the bits catch up at GdiFlush,
    // GetDIBits, deselection and deletion.
    bool isDibSection = false;
    BITMAPINFOHEADER dibHeader;
    DWORD dibMasks[3] = {};
    std::vector<RGBQUAD> dibColors;
    std::vector<std::uint8_t> dibBits;
    bool surfaceNewer = false;
};

struct GdiBrush : GdiObject {
    GdiBrush() : GdiObject(OBJ_BRUSH) {}
    LOGBRUSH log;
    // Pattern brushes keep their own copy of the pattern.
    Surface pattern;
    bool patternMonochrome = false;
};

struct GdiFont : GdiObject {
    GdiFont() : GdiObject(OBJ_FONT) {}
    LOGFONT log;
    std::shared_ptr<const Font> resolved;  // opened on first use
};

struct GdiRegion : GdiObject {
    GdiRegion() : GdiObject(OBJ_REGION) {}
    Region region;
};

struct GdiPalette : GdiObject {
    GdiPalette() : GdiObject(OBJ_PAL) {}
    std::vector<PALETTEENTRY> entries;
};

using HPEN = GdiPen*;
using HBRUSH = GdiBrush*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;
using HRGN = GdiRegion*;
using HPALETTE = GdiPalette*;

}  // namespace desktop
