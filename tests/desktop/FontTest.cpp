#include "desktop/Font.h"

#include <gtest/gtest.h>

#include <cstring>

#include "desktop/Codepage.h"
#include "desktop/Gdi.h"

namespace desktop {
namespace {

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

TEST(Font, MsSansSerifAtEightPointMeasuresAsOnTheOriginalScreen)
{
    Surface s(1, 1);
    HDC dc = CreateSurfaceDC(&s, POINT{}, Region::FromRect(RECT{0, 0, 1, 1}));
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    SIZE size;
    GetTextExtentPoint32(dc, kAlphabet, &size);
    EXPECT_EQ(size.cx, 334);
    EXPECT_EQ(size.cx / 52, 6);
    EXPECT_EQ(size.cy, 13);
    GetTextExtentPoint32(dc, "Qp", &size);
    EXPECT_EQ(size.cy, 13);
    // Widths add up character by character.
    int sum = 0;
    for (char c : kAlphabet) {
        GetTextExtentPoint32(dc, std::string(1, c), &size);
        sum += size.cx;
    }
    EXPECT_EQ(sum, 334);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(Font, PositiveHeightIsTheCellHeight)
{
    for (const int cell : {13, 16, 20}) {
        const auto f = Font::Open({"MS Sans Serif", cell});
        EXPECT_EQ(f->Metrics().height, cell) << cell;
    }
    EXPECT_EQ(Font::Open({"MS Sans Serif", 13})->Metrics().em, 11);
    // Whole-pixel sizes cannot make every cell; the cell is then the largest that fits.
    const auto f33 = Font::Open({"MS Sans Serif", 33});
    EXPECT_LE(f33->Metrics().height, 33);
    EXPECT_GT(Font::Open({"MS Sans Serif", -(f33->Metrics().em + 1)})->Metrics().height, 33);
}

TEST(Font, FaceNamesMapToLiberationFamilies)
{
    EXPECT_EQ(Font::Open({"MS Sans Serif", -11})->Family(), "Liberation Sans");
    EXPECT_EQ(Font::Open({"Tahoma", -11})->Family(), "Liberation Sans");
    EXPECT_EQ(Font::Open({"Times New Roman", -24, 400, true})->Family(), "Liberation Serif");
    EXPECT_EQ(Font::Open({"Courier New", -13})->Family(), "Liberation Mono");
    // The same family and size share one cached font.
    EXPECT_EQ(Font::Open({"Arial", -11}).get(), Font::Open({"MS Sans Serif", -11}).get());

    const auto bold = Font::Open({"MS Sans Serif", -11, 700});
    EXPECT_NE(bold->File().find("Bold"), std::string::npos);
    EXPECT_GT(bold->TextWidth(kAlphabet), Font::Open({"MS Sans Serif", -11})->TextWidth(kAlphabet));
    const auto italic = Font::Open({"Times New Roman", -24, 400, true});
    EXPECT_NE(italic->File().find("Italic"), std::string::npos);

    const auto mono = Font::Open({"Courier New", -13});
    EXPECT_TRUE(mono->Metrics().fixedPitch);
    EXPECT_EQ(mono->Advance('i'), mono->Advance('W'));
}

TEST(Font, GlyphsAndControlCharacters)
{
    const auto f = Font::Open({"MS Sans Serif", -11});
    const Glyph& i = f->GlyphOf('I');
    EXPECT_GT(i.height, 5);
    EXPECT_LE(i.top, f->Metrics().ascent);
    // Unsmoothed by default: every pixel is covered or not.
    for (std::uint8_t v : i.coverage) EXPECT_TRUE(v == 0 || v == 255);
    FontRequest smooth{"MS Sans Serif", -11};
    smooth.antialiased = true;
    const Glyph& o = Font::Open(smooth)->GlyphOf('o');
    bool grey = false;
    for (std::uint8_t v : o.coverage) grey = grey || (v > 0 && v < 255);
    EXPECT_TRUE(grey);
    EXPECT_EQ(f->Advance('\0'), 0);
    EXPECT_EQ(f->Advance('\n'), 0);
    EXPECT_EQ(f->GlyphOf('\0').width, 0);
    EXPECT_GT(f->Advance(0x80), 0);  // the euro sign has a glyph
    EXPECT_EQ(f->Advance(' '), f->TextWidth(" "));
}

TEST(Codepage, Windows1252AgainstUnicode)
{
    EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(Cp1252ToUnicode(0x81), U'\u0081');  // unassigned: passes through
    EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');
    EXPECT_EQ(UnicodeToCp1252(U'\u2026'), 0x85);
    EXPECT_EQ(UnicodeToCp1252(U'\u00F1'), 0xF1);
    EXPECT_EQ(UnicodeToCp1252(U'\u4E2D'), -1);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(std::uint8_t(b))), b);

    const std::string spanish = "Experimento aleatorio con dados: a\xF1o, \x80 5";
    const std::string utf8 = Cp1252ToUtf8(spanish);
    EXPECT_EQ(utf8, "Experimento aleatorio con dados: a\xC3\xB1o, \xE2\x82\xAC 5");
    EXPECT_EQ(Utf8ToCp1252(utf8), spanish);
}

TEST(Codepage, MalformedUtf8BecomesReplacement)
{
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");          // cut off at the end
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");          // overlong
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");     // surrogate
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD", '#'), "#");  // outside the code page
    EXPECT_EQ(Utf8ToCp1252(""), "");
}

}  // namespace
}  // namespace desktop
