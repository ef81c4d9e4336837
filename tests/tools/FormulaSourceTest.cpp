// Reading the formula description, and the drawings the tool refuses to make.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "tools/formula/FormulaDrawing.h"
#include "tools/formula/FormulaSource.h"

namespace {

using formula::FormulaError;

const std::string kValid =
    "# a comment\n"
    "size 301 90\n"
    "paper FFFFF0\n"
    "ink 102030\n"
    "frame 2\n"
    "\n"
    "face Times New Roman\n"
    "height 24\n"
    "style italic smooth\n"
    "lead   P(A) =  \n"
    "numerator casos favorables\n"
    "denominator casos posibles\n"
    "gap 10\n"
    "overhang 3\n";

formula::FormulaDescription Read(const std::string& text)
{
    std::istringstream in(text);
    return formula::ReadFormula(in);
}

// The error for a description, as "line: message"; "none" when it reads.
std::string ErrorOf(const std::string& text)
{
    try {
        Read(text);
    } catch (const FormulaError& error) {
        return std::to_string(error.line) + ": " + error.message;
    }
    return "none";
}

TEST(FormulaSource, TextsKeepInnerBlanksAndUnsetSpacingsTheirDefaults)
{
    const formula::FormulaDescription d = Read(kValid);
    EXPECT_EQ(d.face, "Times New Roman");
    EXPECT_EQ(d.faceLine, 7);
    EXPECT_EQ(d.lead, "P(A) =");
    EXPECT_EQ(d.numerator, "casos favorables");
    EXPECT_EQ(d.paper.b, 0xF0);
    EXPECT_TRUE(d.italic && d.smooth && !d.bold);
    EXPECT_EQ(d.bar, 1);
    EXPECT_EQ(d.rise, 0);
}

TEST(FormulaSource, BadLinesAreReportedWithTheirLineAndWhatIsWrong)
{
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"size 441\n", "1: size W H"},
        {"size 0 126\n", "1: 0 is out of range (1 to 4096)"},
        {"size 441 12x\n", "1: expected a whole number, not '12x'"},
        {"size 99999999999999 1\n", "1: expected a whole number, not '99999999999999'"},
        {"\n# note\npaper FFFFF\n", "3: expected a colour RRGGBB, not 'FFFFF'"},
        {"style italic wavy\n", "1: unknown style 'wavy' (italic, bold, smooth)"},
        {"colour black 000000\n", "1: unknown keyword 'colour'"},
        {"size 10 10\nsize 20 20\n", "2: second 'size'"},
        {"lead\n", "1: empty text"},
        {"lead P(A)\x01=\n", "1: control character in text"},
        {"numerator " + std::string(201, 'x') + "\n", "1: text longer than 200 characters"},
        {"bar 0\n", "1: 0 is out of range (1 to 4096)"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text), c.error) << c.text;
}

TEST(FormulaSource, IncompleteDescriptionsNameWhatIsMissing)
{
    EXPECT_EQ(ErrorOf(""), "0: no 'size'");
    std::string noNumerator = kValid;
    noNumerator.erase(noNumerator.find("numerator"), std::string("numerator casos favorables\n").size());
    EXPECT_EQ(ErrorOf(noNumerator), "13: no 'numerator'");
    EXPECT_EQ(ErrorOf(kValid + "frame 45\n").substr(0, 10), "15: second");
    std::string wideFrame = kValid;
    wideFrame.replace(wideFrame.find("frame 2"), 7, "frame 45");
    EXPECT_EQ(ErrorOf(wideFrame), "14: the frame leaves no room inside");
}

// A failure blames a line of the text it read (0 when no line is to blame).
void ExpectReadsOrBlamesALine(const std::string& text)
{
    const int lines = int(std::count(text.begin(), text.end(), '\n')) + 1;
    try {
        Read(text);
    } catch (const FormulaError& error) {
        EXPECT_GE(error.line, 0);
        EXPECT_LE(error.line, lines) << error.message;
        EXPECT_FALSE(error.message.empty());
    }
}

TEST(FormulaSource, EveryTruncationOrGarbledByteReadsOrFailsCleanly)
{
    for (std::size_t n = 0; n <= kValid.size(); ++n) ExpectReadsOrBlamesALine(kValid.substr(0, n));
    for (std::size_t at = 0; at < kValid.size(); ++at) {
        for (char c : {'\0', '\xFF', '\n', ' ', '-', '9'}) {
            std::string garbled = kValid;
            garbled[at] = c;
            ExpectReadsOrBlamesALine(garbled);
        }
    }
}

TEST(FormulaDrawing, RowsArePaddedAndAFormulaTooLargeForItsFrameIsRefused)
{
    const std::vector<std::uint8_t> bmp = formula::DrawFormula(Read(kValid));
    const std::size_t stride = 904;  // 301 * 3 = 903 bytes, padded to four
    ASSERT_EQ(bmp.size(), 54 + stride * 90);
    // Paper inside the frame where nothing is drawn: the second row from the bottom, just
    // inside the 2-pixel frame (bytes blue, green, red).
    const std::size_t inside = 54 + 2 * stride + 2 * 3;
    EXPECT_EQ(bmp[inside], 0xF0);
    EXPECT_EQ(bmp[inside + 2], 0xFF);
    EXPECT_EQ(bmp[54], 0x30);  // the frame in the ink colour
    EXPECT_EQ(bmp[54 + 2], 0x10);

    std::string small = kValid;
    small.replace(small.find("size 301 90"), 11, "size 120 90");
    try {
        formula::DrawFormula(Read(small));
        ADD_FAILURE() << "a formula wider than its picture was drawn";
    } catch (const FormulaError& error) {
        EXPECT_NE(error.message.find("does not fit inside the frame (116 x"), std::string::npos) << error.message;
    }
}

}  // namespace
