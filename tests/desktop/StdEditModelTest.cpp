#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "desktop/StdEditModel.h"

namespace desktop {
namespace {

// Every character 6 pixels wide, so widths are easy to reckon.
EditTextMetrics SixPixels()
{
    EditTextMetrics m;
    m.advances.fill(6);
    m.tabWidth = 24;
    return m;
}

EditModel MultiLine(int wrapWidth)
{
    EditModel m;
    m.SetMultiLine(true);
    m.SetMetrics(SixPixels());
    m.SetWrapWidth(wrapWidth);
    return m;
}

TEST(EditModel, SelectionFollowsTheMessageConventions)
{
    EditModel m;
    m.SetText("hello world");
    m.SetSel(0, -1);
    EXPECT_EQ(m.SelStart(), 0u);
    EXPECT_EQ(m.SelEnd(), 11u);
    m.SetSel(8, 2);  // the caret goes to the second position
    EXPECT_EQ(m.SelStart(), 2u);
    EXPECT_EQ(m.SelEnd(), 8u);
    EXPECT_EQ(m.Caret(), 2u);
    EXPECT_EQ(m.SelectedText(), "llo wo");
    m.SetSel(-1, 5);  // deselects where the caret is
    EXPECT_FALSE(m.HasSelection());
    EXPECT_EQ(m.Caret(), 2u);
    m.SetSel(3, 999);
    EXPECT_EQ(m.SelEnd(), 11u);
    m.SetText("x");
    EXPECT_EQ(m.Caret(), 0u);
    EXPECT_FALSE(m.CanUndo());
    EXPECT_FALSE(m.Modified());
}

// A new text may be a part of the current one; shorter and longer texts reuse the buffer.
TEST(EditModel, SetTextTakesAnyTextIncludingAPartOfItsOwn)
{
    EditModel m;
    m.SetText("hello world");
    m.SetText(std::string_view(m.Text()).substr(6));
    EXPECT_EQ(m.Text(), "world");
    m.SetText(std::string_view(m.Text()).substr(0, 3));
    EXPECT_EQ(m.Text(), "wor");
    m.SetText(std::string_view(m.Text()));
    EXPECT_EQ(m.Text(), "wor");
    const std::string longer(100, 'x');
    m.SetText(longer);
    EXPECT_EQ(m.Text(), longer);
    m.SetText("1");
    EXPECT_EQ(m.Text(), "1");
    m.SetText(std::string_view("a\0b", 3));
    EXPECT_EQ(m.Text(), "a");
}

TEST(EditModel, TypingIsUndoneAsOneStepAndUndoAgainRedoes)
{
    EditModel m;
    m.SetText("ab");
    m.SetSel(2, 2);
    for (char c : std::string("cde")) m.ReplaceSelection(std::string(1, c), true, EditModel::EditKind::Typing);
    EXPECT_EQ(m.Text(), "abcde");
    EXPECT_TRUE(m.Modified());
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m.Text(), "ab");
    EXPECT_EQ(m.Caret(), 2u);
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m.Text(), "abcde");

    // A caret move ends the typing run: the next run is its own step.
    m.MoveCaret(0, false);
    m.ReplaceSelection("X", true, EditModel::EditKind::Typing);
    m.Backspace();
    m.Backspace();  // nothing left of the caret: no change, no new step
    EXPECT_EQ(m.Text(), "abcde");
    m.MoveCaret(5, false);
    m.Backspace();
    m.Backspace();
    EXPECT_EQ(m.Text(), "abc");
    m.Undo();
    EXPECT_EQ(m.Text(), "abcde");
}

TEST(EditModel, InsertedTextIsFilteredAndLimited)
{
    EditModel single;
    single.SetCase(EditCase::Upper);
    single.SetLimit(6);
    bool truncated = false;
    EXPECT_TRUE(single.ReplaceSelection("\xE9t\xE9\r\nnext", true, EditModel::EditKind::Other, &truncated));
    EXPECT_EQ(single.Text(), "\xC9T\xC9");  // up to the line break, upper case in code page 1252
    EXPECT_FALSE(truncated);
    single.ReplaceSelection("abcdef", true, EditModel::EditKind::Other, &truncated);
    EXPECT_EQ(single.Text(),
              "\xC9T\xC9"
              "ABC");
    EXPECT_TRUE(truncated);
    EXPECT_FALSE(single.ReplaceSelection("z"));  // full: nothing fits

    EditModel multi = MultiLine(0);
    multi.ReplaceSelection("one\r\ntwo");
    EXPECT_EQ(multi.Text(), "one\r\ntwo");
    EXPECT_EQ(multi.PrevPosition(5), 3u);  // CR LF is stepped over as one
    EXPECT_EQ(multi.NextPosition(3), 5u);
}

TEST(EditModel, WrapsAtSpacesCutsLongWordsAndKeepsHardBreaks)
{
    EditModel m = MultiLine(30);  // five characters a line
    m.SetText("aaa bbb cccccccc\r\n\r\nd\r\n");
    const auto& lines = m.Lines();
    ASSERT_EQ(lines.size(), 7u);
    const auto text = [&](std::size_t i) { return m.Text().substr(lines[i].start, lines[i].end - lines[i].start); };
    EXPECT_EQ(text(0), "aaa ");
    EXPECT_EQ(text(1), "bbb ");
    EXPECT_EQ(text(2), "ccccc");
    EXPECT_EQ(text(3), "ccc");
    EXPECT_EQ(text(4), "");
    EXPECT_EQ(text(5), "d");
    EXPECT_EQ(text(6), "");  // after the final line break
    EXPECT_TRUE(lines[0].SoftWrapped());
    EXPECT_FALSE(lines[3].SoftWrapped());

    // A position on a soft wrap belongs to the lower line unless placed at the end of the upper one.
    EXPECT_EQ(m.LineOf(4), 1u);
    m.MoveCaret(4, false, true);
    EXPECT_EQ(m.CaretLine(), 0u);
    EXPECT_EQ(m.XInLine(0, 4), 24);
    EXPECT_EQ(m.PosAtX(1, 8), 5u);  // nearest boundary
    EXPECT_EQ(m.PosAtX(1, 200), lines[1].end);

    m.SetWrapWidth(0);
    EXPECT_EQ(m.LineCount(), 4u);
}

TEST(EditModel, WordsAreRunsBetweenSpacesAndLineBreaks)
{
    EditModel m = MultiLine(0);
    m.SetText("one  two\r\nthree");
    EXPECT_EQ(m.WordRight(0), 5u);
    EXPECT_EQ(m.WordRight(5), 8u);
    EXPECT_EQ(m.WordRight(8), 10u);  // over the line break
    EXPECT_EQ(m.WordLeft(10), 8u);
    EXPECT_EQ(m.WordLeft(8), 5u);
    EXPECT_EQ(m.WordLeft(5), 0u);
    EXPECT_EQ(m.WordAt(6), std::make_pair(std::size_t(5), std::size_t(8)));
    EXPECT_EQ(m.WordAt(3), std::make_pair(std::size_t(3), std::size_t(5)));
}

TEST(EditModel, PasswordCharactersAreWhatIsMeasured)
{
    EditModel m;
    EditTextMetrics metrics = SixPixels();
    metrics.advances['*'] = 9;
    m.SetMetrics(metrics);
    m.SetText("abc");
    EXPECT_EQ(m.LineWidth(0), 18);
    m.SetPasswordChar('*');
    EXPECT_EQ(m.DisplayText(), "***");
    EXPECT_EQ(m.LineWidth(0), 27);
    EXPECT_EQ(m.Text(), "abc");
}

}  // namespace
}  // namespace desktop
