#include <gtest/gtest.h>

#include <set>

#include "framework/Graphics.h"

namespace {

using namespace fw;

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { bitmap.SetSize(60, 20); }

    std::set<desktop::COLORREF> ColorsIn(const desktop::RECT& r)
    {
        std::set<desktop::COLORREF> colors;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) colors.insert(canvas().GetPixel(x, y));
        return colors;
    }
    TCanvas& canvas() { return *bitmap.Canvas(); }

    TBitmap bitmap;
};

TEST_F(CanvasTest, FillRectUsesTheBrushAndResolvesSystemColours)
{
    canvas().Brush()->SetColor(clRed);
    canvas().FillRect(desktop::RECT{0, 0, 10, 10});
    canvas().Brush()->SetColor(clBtnFace);
    canvas().FillRect(desktop::RECT{10, 0, 20, 10});

    EXPECT_EQ(ColorsIn(desktop::RECT{0, 0, 10, 10}), std::set<desktop::COLORREF>{desktop::RGB(255, 0, 0)});
    EXPECT_EQ(canvas().GetPixel(15, 5), desktop::GetSysColor(15));
    EXPECT_EQ(canvas().GetPixel(25, 5), desktop::RGB(255, 255, 255));  // a new bitmap is white
}

TEST_F(CanvasTest, TextIsDrawnInTheFontColourOnTheBrushUnlessClear)
{
    canvas().Font()->SetColor(clBlue);
    canvas().Brush()->SetStyle(TBrushStyle::bsClear);
    canvas().TextOut(2, 2, "Hg");
    const auto clear = ColorsIn(desktop::RECT{0, 0, 30, 20});
    EXPECT_EQ(clear, (std::set<desktop::COLORREF>{desktop::RGB(0, 0, 255), desktop::RGB(255, 255, 255)}));

    canvas().Brush()->SetColor(clYellow);  // a colour makes the brush solid again
    canvas().TextOut(32, 2, "Hg");
    const auto solid = ColorsIn(desktop::RECT{32, 2, 32 + canvas().TextWidth("Hg"), 15});
    EXPECT_EQ(solid, (std::set<desktop::COLORREF>{desktop::RGB(0, 0, 255), desktop::RGB(255, 255, 0)}));
}

TEST_F(CanvasTest, FontChangesRecreateTheHandleSelectedForDrawing)
{
    // The default font is MS Sans Serif -11: 13 pixels high, 6 wide on average.
    const desktop::SIZE normal = canvas().TextExtent(kAlphabet);
    EXPECT_EQ(normal.cy, 13);
    EXPECT_EQ(normal.cx / 52, 6);
    EXPECT_EQ(normal.cx, 334);

    desktop::HFONT small = canvas().Font()->Handle();
    canvas().Font()->SetColor(clRed);
    EXPECT_EQ(canvas().Font()->Handle(), small) << "the colour is not part of the font";

    int changes = 0;
    canvas().Font()->OnChange = [&](TObject*) { ++changes; };
    canvas().Font()->SetHeight(-20);
    canvas().Font()->SetHeight(-20);
    EXPECT_EQ(changes, 1);
    const desktop::SIZE large = canvas().TextExtent(kAlphabet);
    EXPECT_GT(large.cy, 13);
    EXPECT_EQ(desktop::GetCurrentObject(canvas().Handle(), desktop::OBJ_FONT), canvas().Font()->Handle());

    canvas().Font()->SetStyle(fsBold);
    EXPECT_GT(canvas().TextWidth(kAlphabet), large.cx);
}

TEST(Font, AssignCopiesTheDescriptionAndSizeFollowsPixelsPerInch)
{
    TFont source;
    source.SetName("Courier New");
    source.SetSize(12);
    source.SetStyle(fsItalic | fsUnderline);
    source.SetColor(clMaroon);
    EXPECT_EQ(source.GetHeight(), -16);

    TFont copy;
    copy.SetPixelsPerInch(120);
    copy.Assign(&source);
    EXPECT_EQ(copy.GetName(), "Courier New");
    EXPECT_EQ(copy.GetSize(), 12);
    EXPECT_EQ(copy.GetHeight(), -20);
    EXPECT_EQ(copy.GetStyle(), fsItalic | fsUnderline);
    EXPECT_EQ(copy.GetColor(), clMaroon);

    TFont adopted;
    adopted.SetHandle(source.Handle());
    EXPECT_EQ(adopted.GetName(), "Courier New");
    EXPECT_EQ(adopted.GetHeight(), -16);
    EXPECT_EQ(adopted.GetStyle(), fsItalic | fsUnderline);
}

TEST(Colors, IdentifiersAndSystemColours)
{
    std::int32_t value = 0;
    ASSERT_TRUE(IdentToColor("clBtnFace", value));
    EXPECT_EQ(value, clBtnFace);
    ASSERT_TRUE(IdentToColor("CLWINDOWTEXT", value));
    EXPECT_EQ(value, clWindowText);
    EXPECT_FALSE(IdentToColor("clNoSuchColour", value));
    EXPECT_EQ(ColorToRGB(clWindowText), desktop::GetSysColor(8));
    EXPECT_EQ(ColorToRGB(clFuchsia), desktop::RGB(255, 0, 255));

    const PropertyInfo* charset = TFont::Info().FindProperty("Charset");
    ASSERT_NE(charset, nullptr);
    ASSERT_TRUE(charset->identToInt("DEFAULT_CHARSET", value));
    EXPECT_EQ(value, 1);
}

}  // namespace
