// Text, selection, one-level undo and line layout of the standard edit control,
// free of windows so that it can be exercised on its own.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace desktop {

// A laid-out line: characters [start, end) are shown; the next line begins at
// `next` (after a hard break of one or two characters, or equal to `end` for a soft wrap).
struct EditLine {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t next = 0;
    bool SoftWrapped() const { return next == end; }
};

struct EditTextMetrics {
    std::array<int, 256> advances{};
    int tabWidth = 0;  // distance between tab stops in pixels; 0: a tab advances like any character
};

enum class EditCase { Mixed, Upper, Lower };

class EditModel {
public:
    static constexpr std::size_t kDefaultLimit = 30000;

    // ---- Configuration ----
    void SetMultiLine(bool multiLine);
    bool MultiLine() const { return multiLine_; }
    // Lines wrap at this many pixels when positive (multi-line only).
    void SetWrapWidth(int pixels);
    void SetMetrics(const EditTextMetrics& metrics);
    void SetCase(EditCase c) { case_ = c; }
    void SetLimit(std::size_t limit) { limit_ = limit; }
    std::size_t Limit() const { return limit_; }
    void SetPasswordChar(char c);
    char PasswordChar() const { return passwordChar_; }

    // ---- Text ----
    const std::string& Text() const { return text_; }
    // The characters as shown (password characters substituted).
    std::string DisplayText() const;
    // Replaces everything: caret at the start, undo emptied, modified flag cleared.
    void SetText(std::string_view text);
    bool Modified() const { return modified_; }
    void SetModified(bool m) { modified_ = m; }

    // ---- Selection ----
    std::size_t Caret() const { return caret_; }
    std::size_t SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    bool HasSelection() const { return anchor_ != caret_; }
    std::string SelectedText() const { return text_.substr(SelStart(), SelEnd() - SelStart()); }
    // Message conventions: a negative start deselects, a negative end means the end of the text.
    void SetSel(long start, long end);
    // Moves the caret; with extend the anchor stays. atLineEnd shows a caret that sits
    // on a soft wrap at the end of the upper line instead of the start of the lower one.
    void MoveCaret(std::size_t pos, bool extend, bool atLineEnd = false);

    // ---- Editing; each returns whether the text changed ----
    enum class EditKind { Other, Typing, Deleting };
    // Inserted text follows the case setting, single-line text stops at the first line
    // break, and the limit cuts what does not fit (truncated is then set).
    bool ReplaceSelection(std::string_view text, bool canUndo = true, EditKind kind = EditKind::Other,
                          bool* truncated = nullptr);
    bool Backspace();
    bool DeleteForward();
    bool CanUndo() const { return canUndo_; }
    // Swaps the text with the one before the last edit; a second undo redoes it.
    bool Undo();
    void EmptyUndo();

    // ---- Navigation ----
    std::size_t PrevPosition(std::size_t pos) const;  // steps over a CR LF pair as one
    std::size_t NextPosition(std::size_t pos) const;
    std::size_t WordLeft(std::size_t pos) const;
    std::size_t WordRight(std::size_t pos) const;
    std::pair<std::size_t, std::size_t> WordAt(std::size_t pos) const;

    // ---- Layout ----
    const std::vector<EditLine>& Lines() const;
    std::size_t LineCount() const { return Lines().size(); }
    std::size_t LineOf(std::size_t pos) const;
    std::size_t CaretLine() const;
    int LineWidth(std::size_t line) const;
    int WidestLine() const;
    // Pixel offset of pos from the start of its line (pos clamped into the line).
    int XInLine(std::size_t line, std::size_t pos) const;
    // The position in the line nearest to the pixel offset.
    std::size_t PosAtX(std::size_t line, int x) const;

private:
    void Snapshot(EditKind kind);
    // Removes [from, to) as one deleting edit and leaves the caret at from.
    bool EraseRange(std::size_t from, std::size_t to);
    void Changed();
    int Advance(unsigned char c, int x) const;
    void Layout() const;
    std::string Filter(std::string_view text) const;

    std::string text_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    bool caretAtLineEnd_ = false;
    bool multiLine_ = false;
    int wrapWidth_ = 0;
    EditTextMetrics metrics_{};
    EditCase case_ = EditCase::Mixed;
    std::size_t limit_ = kDefaultLimit;
    char passwordChar_ = 0;
    bool modified_ = false;

    bool canUndo_ = false;
    std::string undoText_;
    std::size_t undoAnchor_ = 0;
    std::size_t undoCaret_ = 0;
    EditKind lastEdit_ = EditKind::Other;
    std::size_t lastEditEnd_ = 0;

    mutable std::vector<EditLine> lines_;
    mutable bool layoutValid_ = false;
};

}  // namespace desktop
