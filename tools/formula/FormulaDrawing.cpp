// Placement is measured on the ink, not on the font's cells, so that the spacings of the
// description are the blank pixels one sees: each text is drawn once on a scratch bitmap to
// find its inked box. The lines of the fraction are centred over the bar, the middle of the
// lead's last character (the '=') sits on the bar's middle row, and the whole formula is
// centred inside the frame.

#include "tools/formula/FormulaDrawing.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "desktop/Font.h"
#include "desktop/Gdi.h"

namespace formula {

namespace {

using namespace desktop;

COLORREF ColorOf(Rgb c) { return RGB(c.r, c.g, c.b); }

// Inclusive box of inked pixels relative to the text's top-left origin.
struct InkBox {
    int left = 0, top = 0, right = -1, bottom = -1;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

// A memory DC with a 24-bit DIB section selected, freed together.
class BitmapDC {
public:
    BitmapDC(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        header_ = info.bmiHeader;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_);
        if (!dc_ || !bitmap_ || !bits_) throw FormulaError{0, "cannot create a drawing surface"};
        old_ = SelectObject(dc_, bitmap_);
    }
    ~BitmapDC()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;

    HDC Dc() const { return dc_; }
    const BITMAPINFOHEADER& Header() const { return header_; }
    const std::uint8_t* Bits() const
    {
        GdiFlush();
        return static_cast<const std::uint8_t*>(bits_);
    }
    std::size_t Stride() const { return (std::size_t(width_) * 3 + 3) / 4 * 4; }
    // Bytes blue, green, red of the pixel in column x, row y counted from the top.
    const std::uint8_t* Pixel(int x, int y) const
    {
        return Bits() + std::size_t(height_ - 1 - y) * Stride() + std::size_t(x) * 3;
    }

    void Fill(const RECT& rect, COLORREF color) const
    {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &rect, brush);
        DeleteObject(brush);
    }

private:
    int width_;
    int height_;
    BITMAPINFOHEADER header_{};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

HFONT MakeFont(const FormulaDescription& d)
{
    LOGFONT log;
    log.lfHeight = d.cellHeight;
    log.lfWeight = d.bold ? FW_BOLD : FW_NORMAL;
    log.lfItalic = d.italic ? 1 : 0;
    log.lfQuality = d.smooth ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    std::strncpy(log.lfFaceName, d.face.c_str(), LF_FACESIZE - 1);
    // Opening the font here turns a missing face into a clear message rather than a fallback.
    try {
        Font::Open(FontRequest{d.face, d.cellHeight, int(log.lfWeight), d.italic, d.smooth});
    } catch (const FontError& error) {
        throw FormulaError{d.faceLine, error.what()};
    }
    return CreateFontIndirect(log);
}

struct ScopedFont {
    HFONT handle;
    ~ScopedFont() { DeleteObject(handle); }
};

void PutText(HDC dc, HFONT font, COLORREF ink, int x, int y, const std::string& text)
{
    HGDIOBJ old = SelectObject(dc, font);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    TextOut(dc, x, y, text);
    SelectObject(dc, old);
}

InkBox MeasureInk(HFONT font, int cellHeight, const std::string& text)
{
    BitmapDC probe(1, 1);
    HGDIOBJ old = SelectObject(probe.Dc(), font);
    SIZE extent{};
    GetTextExtentPoint32(probe.Dc(), text, &extent);
    SelectObject(probe.Dc(), old);

    // Room around the cell for italic and accent overhangs.
    const int margin = cellHeight;
    const int width = extent.cx + 2 * margin;
    const int height = extent.cy + 2 * margin;
    BitmapDC scratch(width, height);
    scratch.Fill(RECT{0, 0, width, height}, RGB(255, 255, 255));
    PutText(scratch.Dc(), font, RGB(0, 0, 0), margin, margin, text);
    InkBox box{width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = scratch.Pixel(x, y);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
            box.left = std::min(box.left, x - margin);
            box.right = std::max(box.right, x - margin);
            box.top = std::min(box.top, y - margin);
            box.bottom = std::max(box.bottom, y - margin);
        }
    }
    if (box.right < box.left) throw FormulaError{0, "the text '" + text + "' leaves no ink"};
    return box;
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> DrawFormula(const FormulaDescription& d)
{
    const ScopedFont font{MakeFont(d)};
    const HFONT hfont = font.handle;
    const InkBox lead = MeasureInk(hfont, d.cellHeight, d.lead);
    const InkBox last = MeasureInk(hfont, d.cellHeight, d.lead.substr(d.lead.size() - 1));
    const InkBox num = MeasureInk(hfont, d.cellHeight, d.numerator);
    const InkBox den = MeasureInk(hfont, d.cellHeight, d.denominator);

    // Origins first with the bar's top row at 0 and its left end at 0, then shifted to centre.
    const int barWidth = std::max(num.Width(), den.Width()) + 2 * d.overhang;
    const int numX = (barWidth - num.Width()) / 2 - num.left;
    const int numY = -d.rise - 1 - num.bottom;
    const int denX = (barWidth - den.Width()) / 2 - den.left;
    const int denY = d.bar + d.drop - den.top;
    const int leadX = -d.gap - 1 - lead.right;
    const int leadY = FloorDiv(d.bar - 1 - (last.top + last.bottom), 2);

    const int inkLeft = leadX + lead.left;
    const int inkRight = barWidth - 1;
    const int inkTop = std::min(numY + num.top, leadY + lead.top);
    const int inkBottom = std::max(denY + den.bottom, leadY + lead.bottom);
    const int innerWidth = d.width - 2 * d.frame;
    const int innerHeight = d.height - 2 * d.frame;
    const int formulaWidth = inkRight - inkLeft + 1;
    const int formulaHeight = inkBottom - inkTop + 1;
    if (formulaWidth > innerWidth || formulaHeight > innerHeight) {
        throw FormulaError{0, "the formula (" + std::to_string(formulaWidth) + " x " + std::to_string(formulaHeight) +
                                  " pixels) does not fit inside the frame (" + std::to_string(innerWidth) + " x " +
                                  std::to_string(innerHeight) + ")"};
    }
    const int dx = d.frame + (innerWidth - formulaWidth) / 2 - inkLeft;
    const int dy = d.frame + (innerHeight - formulaHeight) / 2 - inkTop;

    BitmapDC picture(d.width, d.height);
    const COLORREF ink = ColorOf(d.ink);
    picture.Fill(RECT{0, 0, d.width, d.height}, ink);
    picture.Fill(RECT{d.frame, d.frame, d.width - d.frame, d.height - d.frame}, ColorOf(d.paper));
    PutText(picture.Dc(), hfont, ink, dx + leadX, dy + leadY, d.lead);
    PutText(picture.Dc(), hfont, ink, dx + numX, dy + numY, d.numerator);
    PutText(picture.Dc(), hfont, ink, dx + denX, dy + denY, d.denominator);
    picture.Fill(RECT{dx, dy, dx + barWidth, dy + d.bar}, ink);

    const std::size_t imageSize = picture.Stride() * std::size_t(d.height);
    constexpr std::uint32_t kHeaders = 14 + 40;
    std::vector<std::uint8_t> file;
    file.reserve(kHeaders + imageSize);
    file.push_back('B');
    file.push_back('M');
    Put(file, std::uint32_t(kHeaders + imageSize), 4);
    Put(file, 0, 4);  // reserved
    Put(file, kHeaders, 4);
    Put(file, 40, 4);
    Put(file, std::uint32_t(d.width), 4);
    Put(file, std::uint32_t(d.height), 4);
    Put(file, 1, 2);   // planes
    Put(file, 24, 2);  // bits per pixel
    Put(file, BI_RGB, 4);
    Put(file, std::uint32_t(imageSize), 4);
    Put(file, 0, 4);  // resolution: none stated
    Put(file, 0, 4);
    Put(file, 0, 4);  // no colour table
    Put(file, 0, 4);
    const std::uint8_t* bits = picture.Bits();
    file.insert(file.end(), bits, bits + imageSize);
    return file;
}

}  // namespace formula
