// Device contexts over 32-bit surfaces, with the drawing calls of the
// original platform under their usual names and semantics. Text arguments
// are single-byte strings in code page 1252.
#pragma once

#include <cstddef>
#include <string>

#include "desktop/GdiObjects.h"
#include "desktop/GdiTypes.h"
#include "desktop/Region.h"
#include "desktop/Surface.h"
#include "desktop/SysColors.h"

namespace desktop {

// Rounded a * b / c with a 64-bit intermediate; -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c);

// ---- Device contexts ----
// A DC drawing into `surface`: logical (0,0) maps to `origin`; `clip` (surface
// coordinates) bounds everything the DC draws, whatever clip region it selects.
HDC CreateSurfaceDC(Surface* surface, POINT origin, const Region& clip);
HDC CreateCompatibleDC(HDC dc);  // memory DC, drawing into its selected bitmap
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC);
int GetDeviceCaps(HDC dc, int index);
// The screen size that HORZRES/VERTRES report for window DCs.
void SetDisplaySize(int width, int height);
// The resolution that LOGPIXELSX/LOGPIXELSY report (the backend's, kDefaultPixelsPerInch
// without one).
void SetDisplayPixelsPerInch(int pixelsPerInch);
int GetDisplayPixelsPerInch();
inline constexpr int kDefaultPixelsPerInch = 96;

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);

// ---- Attributes ----
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);  // accepted; stretching is always nearest-neighbour
int GetStretchBltMode(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);

// ---- Objects ----
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT objectType);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
// Fills LOGPEN, LOGBRUSH, LOGFONT, BITMAP or DIBSECTION (by size), or a WORD entry count for palettes.
int GetObject(HGDIOBJ object, int size, void* buffer);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* log);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* log);
HFONT CreateFontIndirect(const LOGFONT& log);
HFONT CreateFontIndirect(const LOGFONT* log);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, const char* face);

HPALETTE CreatePalette(const LOGPALETTE* log);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);

// ---- Regions ----
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
int GetRgnBox(HRGN rgn, RECT* box);
// Direct access for the window layer.
Region* RegionOf(HRGN rgn);

// Clip regions are in device coordinates, clip rectangles in logical ones.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, RECT* box);
int GetClipRgn(HDC dc, HRGN rgn);  // 1 with a clip region, 0 without, -1 on error

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN rgn);

// ---- Drawing ----
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL GetCurrentPositionEx(HDC dc, POINT* position);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);

// ---- Blits and bitmaps ----
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth, int srcHeight,
                DWORD rop);
// Copies all source pixels except those of the transparent colour.
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                    int srcHeight, UINT transparent);

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section = nullptr,
                         DWORD offset = 0);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);
// Like the original calls, the DIB functions trust their BITMAPINFO: a reader of outside
// bytes checks with these first that the header, its table and the bits are all there.
// Bytes of header, masks and colour table (0 for a header the DIB calls reject).
std::size_t DibInfoSize(const BITMAPINFOHEADER& header, UINT usage);
// Bytes of the pixel rows (0 for a header the DIB calls reject).
std::size_t DibImageSize(const BITMAPINFOHEADER& header);
// Brings the bits of every DIB section up to date with what was drawn into it.
BOOL GdiFlush();
// The bitmap's pixels for the framework. A DIB section's bits catch up with
// writes through this surface at the next GdiFlush.
Surface* BitmapSurface(HBITMAP bitmap);

// ---- Text ----
BOOL TextOut(HDC dc, int x, int y, const std::string& text);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const std::string& text, const int* dx = nullptr);
BOOL GetTextExtentPoint32(HDC dc, const std::string& text, SIZE* size);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
// How many characters fit into maxExtent; optional partial widths of every prefix.
BOOL GetTextExtentExPoint(HDC dc, const std::string& text, int maxExtent, int* fit, int* partialWidths, SIZE* size);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* widths);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
int GetTextFace(HDC dc, int count, char* name);
std::string GetTextFace(HDC dc);
// count -1: the whole text; count one past the length measures the terminating zero as a zero-width character.
int DrawText(HDC dc, const std::string& text, int count, RECT* rect, UINT format);

}  // namespace desktop
