#pragma once

// Measures text with a font straight through the desktop layer, independently of the controls
// whose sizes the tests check.

#include <string>

#include "desktop/Gdi.h"
#include "framework/GraphicsCanvas.h"

inline desktop::SIZE MeasureText(fw::TFont& font, const std::string& text)
{
    desktop::HDC dc = desktop::CreateCompatibleDC(nullptr);
    desktop::HGDIOBJ old = desktop::SelectObject(dc, font.Handle());
    desktop::SIZE size{};
    desktop::GetTextExtentPoint32(dc, text, &size);
    desktop::SelectObject(dc, old);
    desktop::DeleteDC(dc);
    return size;
}
