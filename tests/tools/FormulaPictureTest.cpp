// The formula picture as the build draws it, read back through the framework the way the main
// window's layout will carry it: as "TPNGImage" picture data holding the BMP file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "desktop/Gdi.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/GraphicsPng.h"
#include "tools/formula/FormulaDrawing.h"
#include "tools/formula/FormulaSource.h"

namespace {

constexpr int kWidth = 441;
constexpr int kHeight = 126;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

std::vector<std::uint8_t> FormulaFile(const std::string& path = DICE_FORMULA_BMP)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t ReadLE(const std::vector<std::uint8_t>& bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + std::size_t(i));
    return value;
}

// Inclusive box of the pixels that are not white within a rectangle.
struct Ink {
    int left = kWidth, top = kHeight, right = -1, bottom = -1, count = 0;
};

class FormulaPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        file_ = FormulaFile();
        fw::RegisterPngFormat();
        std::vector<std::uint8_t> data{9, 'T', 'P', 'N', 'G', 'I', 'm', 'a', 'g', 'e'};
        for (int i = 0; i < 4; ++i) data.push_back(std::uint8_t(file_.size() >> (8 * i)));
        data.insert(data.end(), file_.begin(), file_.end());
        picture_ = new fw::TPicture;
        fw::TBytesStream stream(data);
        picture_->ReadData(stream);
    }
    static void TearDownTestSuite()
    {
        delete picture_;
        picture_ = nullptr;
    }

    static fw::TBitmap* Bitmap() { return dynamic_cast<fw::TBitmap*>(picture_->Graphic()); }
    static std::uint32_t At(int x, int y) { return desktop::BitmapSurface(Bitmap()->Handle())->At(x, y); }

    static Ink InkIn(int left, int top, int right, int bottom)
    {
        Ink ink;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                if (At(x, y) == kWhite) continue;
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
        return ink;
    }

    // The longest run of black pixels inside the frame: the fraction bar.
    struct Run {
        int y = -1, left = 0, length = 0;
    };
    static Run Bar()
    {
        Run best;
        for (int y = 1; y < kHeight - 1; ++y) {
            for (int x = 1, start = 1; x <= kWidth - 1; ++x) {
                if (x < kWidth - 1 && At(x, y) == kBlack) continue;
                if (x - start > best.length) best = {y, start, x - start};
                start = x + 1;
            }
        }
        return best;
    }

    static std::vector<std::uint8_t> file_;
    static fw::TPicture* picture_;
};

std::vector<std::uint8_t> FormulaPicture::file_;
fw::TPicture* FormulaPicture::picture_ = nullptr;

TEST_F(FormulaPicture, IsAComplete24BitUncompressedBmpFile)
{
    const std::size_t stride = 1324;  // 441 * 3 bytes padded to four
    ASSERT_EQ(file_.size(), 54 + stride * kHeight);
    EXPECT_EQ(file_[0], 'B');
    EXPECT_EQ(file_[1], 'M');
    EXPECT_EQ(ReadLE(file_, 2, 4), file_.size());
    EXPECT_EQ(ReadLE(file_, 10, 4), 54u);  // pixels right after the headers, no colour table
    EXPECT_EQ(ReadLE(file_, 14, 4), 40u);
    EXPECT_EQ(ReadLE(file_, 18, 4), std::uint32_t(kWidth));
    EXPECT_EQ(ReadLE(file_, 22, 4), std::uint32_t(kHeight));  // positive: bottom-up
    EXPECT_EQ(ReadLE(file_, 26, 2), 1u);
    EXPECT_EQ(ReadLE(file_, 28, 2), 24u);
    EXPECT_EQ(ReadLE(file_, 30, 4), 0u);
    EXPECT_EQ(ReadLE(file_, 46, 4), 0u);

    ASSERT_NE(Bitmap(), nullptr);
    EXPECT_EQ(picture_->Graphic()->ClassInfo().name, "TPNGImage");
    EXPECT_EQ(picture_->Width(), kWidth);
    EXPECT_EQ(picture_->Height(), kHeight);
    EXPECT_EQ(Bitmap()->BitCount(), 24);
}

TEST_F(FormulaPicture, ThinBlackFrameOnWhitePaperInBlackAndGreysOnly)
{
    ASSERT_NE(Bitmap(), nullptr);
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(At(x, 0), kBlack) << "top edge at " << x;
        EXPECT_EQ(At(x, kHeight - 1), kBlack) << "bottom edge at " << x;
        if (x >= 1 && x < kWidth - 1) {
            EXPECT_EQ(At(x, 1), kWhite) << "inside the top edge at " << x;
            EXPECT_EQ(At(x, kHeight - 2), kWhite) << "inside the bottom edge at " << x;
        }
    }
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(At(0, y), kBlack) << "left edge at " << y;
        EXPECT_EQ(At(kWidth - 1, y), kBlack) << "right edge at " << y;
        if (y >= 1 && y < kHeight - 1) {
            EXPECT_EQ(At(1, y), kWhite) << "inside the left edge at " << y;
            EXPECT_EQ(At(kWidth - 2, y), kWhite) << "inside the right edge at " << y;
        }
    }
    int greys = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t p = At(x, y);
            const std::uint32_t r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ASSERT_TRUE(r == g && g == b) << std::hex << p << " at " << std::dec << x << "," << y;
            if (p != kBlack && p != kWhite) ++greys;
        }
    }
    EXPECT_LT(greys, kWidth * kHeight / 10);  // smoothed edges, not a grey picture
}

TEST_F(FormulaPicture, LeadAndBothLinesSitAroundAHorizontalFractionBar)
{
    ASSERT_NE(Bitmap(), nullptr);
    const Run bar = Bar();
    ASSERT_GE(bar.length, 150) << "no fraction bar";
    EXPECT_GT(bar.y, kHeight / 3);
    EXPECT_LT(bar.y, kHeight * 2 / 3);
    const int barRight = bar.left + bar.length - 1;
    const int barCentreTwice = bar.left + barRight;

    // The bar is one row: the rows next to it hold only text, never a run like it.
    const Ink aboveBar = InkIn(bar.left, bar.y - 1, barRight, bar.y - 1);
    EXPECT_LT(aboveBar.count, bar.length / 2);

    const Ink numerator = InkIn(bar.left, 2, barRight, bar.y - 2);
    const Ink denominator = InkIn(bar.left, bar.y + 2, barRight, kHeight - 3);
    const Ink lead = InkIn(2, 2, bar.left - 1, kHeight - 3);
    for (const Ink* part : {&numerator, &denominator, &lead}) EXPECT_GT(part->count, 150);

    // Each line centred over the bar and clear of it, the wider one close to its ends.
    EXPECT_NEAR(numerator.left + numerator.right, barCentreTwice, 2);
    EXPECT_NEAR(denominator.left + denominator.right, barCentreTwice, 2);
    EXPECT_LT(numerator.bottom, bar.y - 2);
    EXPECT_GT(denominator.top, bar.y + 2);
    EXPECT_LE(std::min(numerator.left, denominator.left) - bar.left, 10);
    // Line heights of a 26 to 34 pixel font.
    EXPECT_GE(numerator.bottom - numerator.top + 1, 15);
    EXPECT_LE(numerator.bottom - numerator.top + 1, 34);

    // The lead stands apart on the left and straddles the bar's row.
    EXPECT_LT(lead.right, bar.left - 5);
    EXPECT_LT(lead.top, bar.y - 5);
    EXPECT_GT(lead.bottom, bar.y + 5);
}

TEST_F(FormulaPicture, FormulaIsCentredInsideTheFrame)
{
    ASSERT_NE(Bitmap(), nullptr);
    const Ink all = InkIn(1, 1, kWidth - 2, kHeight - 2);
    ASSERT_GT(all.count, 0);
    EXPECT_NEAR(all.left - 1, kWidth - 2 - all.right, 1);
    EXPECT_NEAR(all.top - 1, kHeight - 2 - all.bottom, 1);
    // It fills the picture rather than sitting small in the middle.
    EXPECT_GT(all.right - all.left, kWidth / 2);
    EXPECT_GT(all.bottom - all.top, kHeight / 3);
}

// The drawings for denser screens: the whole picture, frame included, made at the scale.
TEST(ScaledFormulaPictures, HaveTheScaledSizeAndFrameAndTheUsualOneIsTheLayouts)
{
    struct Scaled {
        const char* file;
        int width, height, frame;
    };
    for (const Scaled& s : {Scaled{"Formula-150.bmp", 662, 189, 2}, Scaled{"Formula-200.bmp", 882, 252, 2},
                            Scaled{"Formula-300.bmp", 1323, 378, 3}}) {
        const std::vector<std::uint8_t> file = FormulaFile(std::string(DICE_FORMULA_DIR) + "/" + s.file);
        ASSERT_GT(file.size(), 54u) << s.file;
        const int width = int(ReadLE(file, 18, 4));
        EXPECT_EQ(width, s.width) << s.file;
        EXPECT_EQ(int(ReadLE(file, 22, 4)), s.height) << s.file;
        ASSERT_EQ(file.size(), 54 + std::size_t(width * 3 + 3) / 4 * 4 * std::size_t(s.height)) << s.file;
        const std::size_t middleRow = 54 + std::size_t(width * 3 + 3) / 4 * 4 * std::size_t(s.height / 2);
        int frame = 0;
        while (file[middleRow + 3 * std::size_t(frame) + 1] == 0) ++frame;
        EXPECT_EQ(frame, s.frame) << s.file << ": the left edge's width";
    }
    // Drawn at scale 1, the description gives the very picture the layout carries.
    std::ifstream source(DICE_FORMULA_SOURCE);
    EXPECT_EQ(formula::DrawFormula(formula::ScaleFormula(formula::ReadFormula(source), 1)), FormulaFile());
}

}  // namespace
