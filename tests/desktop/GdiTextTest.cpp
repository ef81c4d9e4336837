#include <gtest/gtest.h>

#include <cstring>

#include "desktop/Gdi.h"

namespace desktop {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x000000;

// White surface, black text, the program's 8-point sans-serif font.
class TextTest : public testing::Test {
protected:
    Surface surface{200, 80, kWhite};
    HDC dc = CreateSurfaceDC(&surface, POINT{}, Region::FromRect(RECT{0, 0, 200, 80}));
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    TEXTMETRIC tm{};

    void SetUp() override
    {
        LOGFONT lf;
        lf.lfHeight = -11;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        font = CreateFontIndirect(lf);
        oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        GetTextMetrics(dc, &tm);
    }
    void TearDown() override
    {
        SelectObject(dc, oldFont);
        DeleteObject(font);
        DeleteDC(dc);
    }
    int Width(const std::string& s)
    {
        SIZE size;
        GetTextExtentPoint32(dc, s, &size);
        return size.cx;
    }
    bool InkInRow(int y, int x0, int x1) const
    {
        for (int x = x0; x < x1; ++x)
            if (surface.At(x, y) == kInk) return true;
        return false;
    }
    bool AllInk(int y, int x0, int x1) const
    {
        for (int x = x0; x < x1; ++x)
            if (surface.At(x, y) != kInk) return false;
        return true;
    }
    bool AnyInk(RECT r) const
    {
        for (int y = r.top; y < r.bottom; ++y)
            if (InkInRow(y, r.left, r.right)) return true;
        return false;
    }
};

TEST_F(TextTest, PrefixUnderlinesTheNextLetterOnly)
{
    RECT r{0, 0, 200, 20};
    EXPECT_EQ(DrawText(dc, "&File", -1, &r, DT_SINGLELINE), tm.tmHeight);
    const int f = Width("F"), all = Width("File");
    int underlineRow = -1;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y)
        if (AllInk(y, 0, f)) underlineRow = y;
    ASSERT_GE(underlineRow, tm.tmAscent) << "no underline below the F";
    EXPECT_FALSE(InkInRow(underlineRow, f, all + 2));

    // The letters themselves are where plain text puts them.
    Surface plain(200, 20, kWhite);
    HDC pdc = CreateSurfaceDC(&plain, POINT{}, Region::FromRect(RECT{0, 0, 200, 20}));
    SelectObject(pdc, font);
    SetBkMode(pdc, TRANSPARENT);
    TextOut(pdc, 0, 0, "File");
    for (int y = 0; y < tm.tmAscent; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(surface.At(x, y), plain.At(x, y)) << x << "," << y;
    SelectObject(pdc, GetStockObject(SYSTEM_FONT));
    DeleteDC(pdc);

    // Without prefix processing the "&" is shown and nothing is underlined.
    RECT calc{0, 0, 200, 20};
    DrawText(dc, "&File", -1, &calc, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(calc.right, Width("&File"));
    DrawText(dc, "&File", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.right, all);
}

TEST_F(TextTest, DoubleAmpersandDrawsOneAmpersandWithoutUnderline)
{
    RECT r{0, 0, 200, 20};
    DrawText(dc, "&&File", -1, &r, DT_SINGLELINE);
    const int w = Width("&File");
    EXPECT_TRUE(AnyInk(RECT{0, 0, Width("&"), tm.tmAscent}));
    EXPECT_FALSE(AnyInk(RECT{0, tm.tmAscent, 200, tm.tmHeight}));  // no descenders, no underline
    EXPECT_FALSE(AnyInk(RECT{w + 1, 0, 200, tm.tmHeight}));
    RECT calc{0, 0, 200, 20};
    DrawText(dc, "&&File", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.right, w);
    // HIDEPREFIX removes the mark without underlining.
    surface = Surface(200, 80, kWhite);
    DrawText(dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_FALSE(AnyInk(RECT{0, tm.tmAscent, 200, tm.tmHeight}));
}

TEST_F(TextTest, CalcRectWithWordBreakWrapsAtTheWidth)
{
    const int word = Width("aaa"), space = Width(" ");
    RECT r{10, 5, 10 + 2 * word + space, 5};
    const int h = DrawText(dc, "aaa aaa aaa aaa aaa", -1, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 3 * tm.tmHeight);
    EXPECT_EQ(r, (RECT{10, 5, 10 + 2 * word + space, 5 + 3 * tm.tmHeight}));

    // One pixel narrower and only one word fits per line; trailing spaces do not count.
    RECT narrow{0, 0, 2 * word + space - 1, 0};
    EXPECT_EQ(DrawText(dc, "aaa aaa aaa  ", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 3 * tm.tmHeight);
    EXPECT_EQ(narrow.right, word);

    // A line break in the text starts a new line; an empty line still takes its height.
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(DrawText(dc, "aaa\r\n\naaa", -1, &lines, DT_WORDBREAK | DT_CALCRECT), 3 * tm.tmHeight);
}

TEST_F(TextTest, WordWiderThanTheRectangleStaysWhole)
{
    const int longWord = Width("abcdefghijklmnop");
    RECT r{0, 0, 20, 0};
    EXPECT_EQ(DrawText(dc, "ab abcdefghijklmnop cd", -1, &r, DT_WORDBREAK | DT_CALCRECT), 3 * tm.tmHeight);
    EXPECT_EQ(r.right, longWord);
    EXPECT_GT(r.right, 20);
    // The edit-control mode cuts it at the width instead.
    RECT cut{0, 0, 20, 0};
    DrawText(dc, "abcdefghijklmnop", -1, &cut, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
    EXPECT_LE(cut.right, 20);
    EXPECT_GT(cut.bottom, tm.tmHeight);
}

TEST_F(TextTest, MessageMeasuredWithItsTerminatingZero)
{
    const std::string text = "se ha lanzado el dado 100";
    RECT r{0, 0, 512, 0};
    EXPECT_EQ(DrawText(dc, text, int(text.size()) + 1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS), tm.tmHeight);
    EXPECT_EQ(r.right, Width(text));
    RECT part{0, 0, 512, 0};
    DrawText(dc, text, 5, &part, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(part.right, Width("se ha"));
}

TEST_F(TextTest, WrappedTextIsDrawnLineByLine)
{
    const int word = Width("aaa"), space = Width(" ");
    RECT r{0, 0, 2 * word + space, 60};
    DrawText(dc, "aaa aaa aaa", -1, &r, DT_WORDBREAK);
    EXPECT_TRUE(AnyInk(RECT{0, 0, word, tm.tmHeight}));
    EXPECT_TRUE(AnyInk(RECT{word + space, 0, 2 * word + space, tm.tmHeight}));
    EXPECT_TRUE(AnyInk(RECT{0, tm.tmHeight, word, 2 * tm.tmHeight}));
    EXPECT_FALSE(AnyInk(RECT{word, tm.tmHeight, 200, 80}));
}

TEST_F(TextTest, AlignmentAndClipping)
{
    const int w = Width("Hola");
    RECT r{20, 10, 120, 40};
    const int bottom = DrawText(dc, "Hola", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    const int top = 10 + (30 - tm.tmHeight) / 2;
    EXPECT_EQ(bottom, top - 10 + tm.tmHeight);
    EXPECT_FALSE(AnyInk(RECT{0, 0, 120 - w, 80}));
    EXPECT_TRUE(AnyInk(RECT{120 - w, top, 120, top + tm.tmHeight}));
    EXPECT_FALSE(AnyInk(RECT{0, 0, 200, top}));

    surface = Surface(200, 80, kWhite);
    RECT centred{0, 0, 100, 20};
    DrawText(dc, "Hola", -1, &centred, DT_SINGLELINE | DT_CENTER);
    EXPECT_FALSE(AnyInk(RECT{0, 0, (100 - w) / 2, 20}));
    EXPECT_FALSE(AnyInk(RECT{(100 - w) / 2 + w + 1, 0, 200, 20}));

    // Text is clipped to the rectangle unless DT_NOCLIP.
    surface = Surface(200, 80, kWhite);
    RECT tiny{0, 0, 5, 20};
    DrawText(dc, "Hola", -1, &tiny, DT_SINGLELINE);
    EXPECT_FALSE(AnyInk(RECT{5, 0, 200, 20}));
    DrawText(dc, "Hola", -1, &tiny, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_TRUE(AnyInk(RECT{5, 0, 200, 20}));
}

TEST_F(TextTest, TabsExpandToEightAverageCharacters)
{
    RECT r{0, 0, 300, 0};
    DrawText(dc, "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + Width("b"));
    RECT stops{0, 0, 300, 20};
    DrawText(dc, "a\tb", -1, &stops, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
    EXPECT_TRUE(AnyInk(RECT{4 * tm.tmAveCharWidth, 0, 4 * tm.tmAveCharWidth + Width("b"), tm.tmHeight}));
}

TEST_F(TextTest, TextOutColoursAndBackground)
{
    SetTextColor(dc, RGB(200, 0, 0));
    SetBkColor(dc, RGB(0, 0, 200));
    SetBkMode(dc, OPAQUE);
    TextOut(dc, 10, 5, "Il");
    const int w = Width("Il");
    int exact = 0;
    for (int y = 5; y < 5 + tm.tmHeight; ++y)
        for (int x = 10; x < 10 + w; ++x) {
            const std::uint32_t p = surface.At(x, y);
            EXPECT_NE(p, kWhite) << "the cell is filled with the background";
            exact += p == 0xC80000;
        }
    EXPECT_GT(exact, 10);  // vertical stems are fully covered: exactly the text colour
    EXPECT_EQ(surface.At(9, 5), kWhite);
    EXPECT_EQ(surface.At(10 + w, 5), kWhite);
    EXPECT_EQ(surface.At(10, 5 + tm.tmHeight), kWhite);

    // Baseline alignment puts the cell ascent pixels higher.
    surface = Surface(200, 80, kWhite);
    SetTextAlign(dc, TA_BASELINE | TA_RIGHT | TA_UPDATECP);
    MoveToEx(dc, 100, 40, nullptr);
    TextOut(dc, 0, 0, "Il");
    POINT pos;
    GetCurrentPositionEx(dc, &pos);
    EXPECT_EQ(pos, (POINT{100 - w, 40}));
    EXPECT_EQ(surface.At(100 - w, 40 - tm.tmAscent), 0x0000C8u);
    EXPECT_EQ(surface.At(100, 40 - tm.tmAscent), kWhite);
    EXPECT_EQ(surface.At(100 - w, 40 - tm.tmAscent - 1), kWhite);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

TEST_F(TextTest, CharacterExtraWidensEveryCharacter)
{
    const int plain = Width("abcd");
    EXPECT_EQ(SetTextCharacterExtra(dc, 3), 0);
    EXPECT_EQ(Width("abcd"), plain + 4 * 3);
    RECT r{0, 0, 200, 0};
    DrawText(dc, "abcd", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.right, plain + 12);
    int fit = 0;
    int partial[4];
    GetTextExtentExPoint(dc, "abcd", plain, &fit, partial, nullptr);
    EXPECT_EQ(partial[3], plain + 12);
    EXPECT_LT(fit, 4);
    EXPECT_EQ(GetTextCharacterExtra(dc), 3);
    SetTextCharacterExtra(dc, 0);
}

TEST_F(TextTest, EndEllipsisFitsTheWidth)
{
    RECT r{0, 0, Width("Experimento"), 0};
    DrawText(dc, "Experimento aleatorio", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(r.right, Width("Experimento"));
    EXPECT_GT(r.right, Width("..."));
}

TEST_F(TextTest, UnderlinedFontUnderlinesTheWholeText)
{
    LOGFONT lf;
    GetObject(font, sizeof lf, &lf);
    lf.lfUnderline = 1;
    HFONT underlined = CreateFontIndirect(lf);
    SelectObject(dc, underlined);
    TextOut(dc, 0, 0, "ab cd");
    const int w = Width("ab cd");
    bool found = false;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y) found = found || AllInk(y, 0, w);
    EXPECT_TRUE(found);
    SelectObject(dc, font);
    DeleteObject(underlined);
    char face[32];
    EXPECT_EQ(GetTextFace(dc, 32, face), 13);
    EXPECT_STREQ(face, "MS Sans Serif");
}

}  // namespace
}  // namespace desktop
