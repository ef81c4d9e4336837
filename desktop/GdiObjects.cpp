// Creation, stock objects, deletion and description of drawing objects.
#include <algorithm>
#include <array>
#include <cstring>

#include "desktop/GdiContext.h"
#include "desktop/GdiDib.h"

namespace desktop {
namespace {

template <class T>
T* MakeStock(T* object)
{
    object->stock = true;
    return object;
}

HPEN StockPen(int style, COLORREF color)
{
    auto* pen = new GdiPen();
    pen->log.lopnStyle = UINT(style);
    pen->log.lopnWidth.x = 1;
    pen->log.lopnColor = color;
    return MakeStock(pen);
}

HBRUSH StockBrush(UINT style, COLORREF color)
{
    auto* brush = new GdiBrush();
    brush->log.lbStyle = style;
    brush->log.lbColor = color;
    return MakeStock(brush);
}

HFONT StockFont(const char* face, LONG height, LONG weight)
{
    auto* font = new GdiFont();
    std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
    font->log.lfHeight = height;
    font->log.lfWeight = weight;
    return MakeStock(font);
}

HPALETTE StockPalette()
{
    static constexpr std::array<COLORREF, 20> kSystem = {
        RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
        RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
        RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
        RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
    };
    auto* pal = new GdiPalette();
    for (COLORREF c : kSystem) pal->entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
    return MakeStock(pal);
}

struct StockObjects {
    std::array<GdiObject*, DEFAULT_GUI_FONT + 1> objects{};
    GdiBitmap* defaultBitmap = nullptr;

    StockObjects()
    {
        objects[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
        objects[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
        objects[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
        objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
        objects[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
        objects[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
        objects[NULL_PEN] = StockPen(PS_NULL, 0);
        objects[OEM_FIXED_FONT] = StockFont("Courier New", -13, FW_NORMAL);
        objects[ANSI_FIXED_FONT] = StockFont("Courier New", -13, FW_NORMAL);
        objects[ANSI_VAR_FONT] = StockFont("MS Sans Serif", -11, FW_NORMAL);
        objects[SYSTEM_FONT] = StockFont("System", 16, FW_BOLD);
        objects[DEVICE_DEFAULT_FONT] = StockFont("System", 16, FW_BOLD);
        objects[DEFAULT_PALETTE] = StockPalette();
        objects[SYSTEM_FIXED_FONT] = StockFont("Courier New", -13, FW_NORMAL);
        objects[DEFAULT_GUI_FONT] = StockFont("MS Shell Dlg", -11, FW_NORMAL);
        // Memory DCs start with a 1 x 1 monochrome bitmap.
        defaultBitmap = MakeStock(new GdiBitmap());
        defaultBitmap->surface.Resize(1, 1, 0);
        defaultBitmap->bitsPixel = 1;
        defaultBitmap->monochrome = true;
    }
};

StockObjects& Stock()
{
    static StockObjects* stock = new StockObjects();  // lives as long as the process
    return *stock;
}

int DdbWidthBytes(int width, int bitsPixel) { return ((width * bitsPixel + 15) / 16) * 2; }

template <class T>
int CopyOut(const T& value, int size, void* buffer)
{
    if (!buffer) return int(sizeof(T));
    if (size < int(sizeof(T))) return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return int(sizeof(T));
}

}  // namespace

namespace gdi {

void Retain(GdiObject* object)
{
    if (object && !object->stock) ++object->holders;
}

void Release(GdiObject* object)
{
    if (!object || object->stock) return;
    if (--object->holders > 0) return;
    object->holders = 0;
    if (object->type == OBJ_BITMAP) {
        auto* bm = static_cast<GdiBitmap*>(object);
        bm->selectedInto = nullptr;
        if (bm->isDibSection) PushDib(*bm);
    }
    if (object->deletePending) delete object;
}

void RetainState(const DcState& s)
{
    Retain(s.pen);
    Retain(s.brush);
    Retain(s.font);
    Retain(s.bitmap);
    Retain(s.palette);
}

void ReleaseState(const DcState& s)
{
    Release(s.pen);
    Release(s.brush);
    Release(s.font);
    Release(s.bitmap);
    Release(s.palette);
}

GdiBitmap* DefaultBitmap() { return Stock().defaultBitmap; }

const Font& FontOf(GdiFont& font)
{
    if (!font.resolved) {
        FontRequest request;
        request.face.assign(font.log.lfFaceName,
                            std::find(font.log.lfFaceName, font.log.lfFaceName + LF_FACESIZE, '\0'));
        request.height = font.log.lfHeight;
        request.weight = font.log.lfWeight;
        request.italic = font.log.lfItalic != 0;
        request.antialiased = font.log.lfQuality == ANTIALIASED_QUALITY || font.log.lfQuality == CLEARTYPE_QUALITY;
        font.resolved = Font::Open(request);
    }
    return *font.resolved;
}

const Font& FontOf(DeviceContext& dc)
{
    return FontOf(dc.state.font ? *dc.state.font : *static_cast<GdiFont*>(GetStockObject(SYSTEM_FONT)));
}

}  // namespace gdi

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
    return Stock().objects[std::size_t(index)];
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object) return 0;
    if (object->stock) return 1;
    if (object->holders > 0) {
        object->deletePending = true;
        return 1;
    }
    delete object;
    return 1;
}

int GetObject(HGDIOBJ object, int size, void* buffer)
{
    if (!object || size < 0) return 0;
    switch (object->type) {
        case OBJ_PEN: return CopyOut(static_cast<GdiPen*>(object)->log, size, buffer);
        case OBJ_BRUSH: return CopyOut(static_cast<GdiBrush*>(object)->log, size, buffer);
        case OBJ_FONT: return CopyOut(static_cast<GdiFont*>(object)->log, size, buffer);
        case OBJ_PAL: {
            const WORD count = WORD(std::min<std::size_t>(static_cast<GdiPalette*>(object)->entries.size(), 0xFFFF));
            return CopyOut(count, size, buffer);
        }
        case OBJ_BITMAP: {
            auto* bm = static_cast<GdiBitmap*>(object);
            BITMAP info;
            info.bmWidth = bm->surface.width;
            info.bmHeight = bm->surface.height;
            info.bmBitsPixel = WORD(bm->bitsPixel);
            info.bmWidthBytes = DdbWidthBytes(bm->surface.width, bm->bitsPixel);
            if (bm->isDibSection) {
                info.bmWidthBytes = LONG(((bm->surface.width * bm->bitsPixel + 31) / 32) * 4);
                info.bmBits = bm->dibBits.data();
                if (!buffer || size >= int(sizeof(DIBSECTION))) {
                    DIBSECTION ds;
                    ds.dsBm = info;
                    ds.dsBmih = bm->dibHeader;
                    std::copy(std::begin(bm->dibMasks), std::end(bm->dibMasks), ds.dsBitfields);
                    return CopyOut(ds, size, buffer);
                }
            }
            return CopyOut(info, size, buffer);
        }
        default: return 0;
    }
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    LOGPEN log;
    log.lopnStyle = UINT(style);
    log.lopnWidth.x = width;
    log.lopnColor = color;
    return CreatePenIndirect(&log);
}

HPEN CreatePenIndirect(const LOGPEN* log)
{
    if (!log || (log->lopnStyle & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
    auto* pen = new GdiPen();
    pen->log = *log;
    if (pen->log.lopnWidth.x < 0) pen->log.lopnWidth.x = 0;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* brush = new GdiBrush();
    brush->log.lbColor = color;
    return brush;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto* brush = new GdiBrush();
    brush->log.lbStyle = BS_HATCHED;
    brush->log.lbColor = color;
    brush->log.lbHatch = std::uintptr_t(hatch);
    return brush;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    if (!bitmap || bitmap->surface.width <= 0 || bitmap->surface.height <= 0) return nullptr;
    if (bitmap->isDibSection) gdi::PullDib(*bitmap);
    auto* brush = new GdiBrush();
    brush->log.lbStyle = BS_PATTERN;
    brush->log.lbHatch = reinterpret_cast<std::uintptr_t>(bitmap);
    brush->pattern = bitmap->surface;
    brush->patternMonochrome = bitmap->monochrome;
    return brush;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* log)
{
    if (!log) return nullptr;
    switch (log->lbStyle) {
        case BS_SOLID: return CreateSolidBrush(log->lbColor);
        case BS_HATCHED: return CreateHatchBrush(int(log->lbHatch), log->lbColor);
        case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(log->lbHatch));
        case BS_NULL: {
            auto* brush = new GdiBrush();
            brush->log.lbStyle = BS_NULL;
            return brush;
        }
        case BS_DIBPATTERNPT: {
            Surface pattern;
            if (!gdi::DecodePackedDib(reinterpret_cast<const void*>(log->lbHatch), pattern)) return nullptr;
            auto* brush = new GdiBrush();
            brush->log = *log;
            brush->pattern = std::move(pattern);
            return brush;
        }
        default: return nullptr;
    }
}

HFONT CreateFontIndirect(const LOGFONT& log)
{
    auto* font = new GdiFont();
    font->log = log;
    font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}

HFONT CreateFontIndirect(const LOGFONT* log) { return log ? CreateFontIndirect(*log) : nullptr; }

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, const char* face)
{
    LOGFONT log;
    log.lfHeight = height;
    log.lfWidth = width;
    log.lfEscapement = escapement;
    log.lfOrientation = orientation;
    log.lfWeight = weight;
    log.lfItalic = BYTE(italic);
    log.lfUnderline = BYTE(underline);
    log.lfStrikeOut = BYTE(strikeOut);
    log.lfCharSet = BYTE(charSet);
    log.lfOutPrecision = BYTE(outPrecision);
    log.lfClipPrecision = BYTE(clipPrecision);
    log.lfQuality = BYTE(quality);
    log.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face) std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(log);
}

HPALETTE CreatePalette(const LOGPALETTE* log)
{
    if (!log || log->palNumEntries == 0) return nullptr;
    auto* pal = new GdiPalette();
    pal->entries.assign(log->palPalEntry, log->palPalEntry + log->palNumEntries);
    return pal;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    if (!palette) return 0;
    const UINT size = UINT(palette->entries.size());
    if (!entries) return size;
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    std::copy_n(palette->entries.begin() + start, n, entries);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color)
{
    if (!palette || palette->entries.empty()) return CLR_INVALID;
    UINT best = 0;
    long bestDistance = -1;
    for (UINT i = 0; i < palette->entries.size(); ++i) {
        const PALETTEENTRY& e = palette->entries[i];
        const long dr = long(e.peRed) - GetRValue(color), dg = long(e.peGreen) - GetGValue(color),
                   db = long(e.peBlue) - GetBValue(color);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

}  // namespace desktop
