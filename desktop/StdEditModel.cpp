#include "desktop/StdEditModel.h"

#include <algorithm>

#include "desktop/ControlSupport.h"

namespace desktop {

namespace {

enum class CharClass { Space, Break, Word };

CharClass ClassOf(char c)
{
    if (c == ' ' || c == '\t') return CharClass::Space;
    if (c == '\r' || c == '\n') return CharClass::Break;
    return CharClass::Word;
}

}  // namespace

void EditModel::SetMultiLine(bool multiLine)
{
    if (multiLine_ == multiLine) return;
    multiLine_ = multiLine;
    layoutValid_ = false;
}

void EditModel::SetWrapWidth(int pixels)
{
    if (wrapWidth_ == pixels) return;
    wrapWidth_ = pixels;
    layoutValid_ = false;
}

void EditModel::SetMetrics(const EditTextMetrics& metrics)
{
    if (metrics.advances == metrics_.advances && metrics.tabWidth == metrics_.tabWidth) return;
    metrics_ = metrics;
    layoutValid_ = false;
}

void EditModel::SetPasswordChar(char c)
{
    if (passwordChar_ == c) return;
    passwordChar_ = c;
    layoutValid_ = false;
}

std::string EditModel::DisplayText() const { return passwordChar_ ? std::string(text_.size(), passwordChar_) : text_; }

std::string EditModel::Filter(std::string_view text) const
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\0') continue;
        if (!multiLine_ && (c == '\r' || c == '\n')) break;
        if (case_ == EditCase::Upper) c = UpperCp1252(c);
        if (case_ == EditCase::Lower) c = LowerCp1252(c);
        out.push_back(c);
    }
    return out;
}

void EditModel::SetText(std::string_view text)
{
    controls::SetTextReusingBuffer(text_, text.substr(0, text.find('\0')));
    if (case_ == EditCase::Upper) std::transform(text_.begin(), text_.end(), text_.begin(), UpperCp1252);
    if (case_ == EditCase::Lower) std::transform(text_.begin(), text_.end(), text_.begin(), LowerCp1252);
    anchor_ = caret_ = 0;
    caretAtLineEnd_ = false;
    EmptyUndo();
    modified_ = false;
    Changed();
}

void EditModel::SetSel(long start, long end)
{
    const std::size_t n = text_.size();
    lastEdit_ = EditKind::Other;
    caretAtLineEnd_ = false;
    if (start < 0) {
        anchor_ = caret_;
        return;
    }
    anchor_ = std::min(std::size_t(start), n);
    caret_ = end < 0 ? n : std::min(std::size_t(end), n);
}

void EditModel::MoveCaret(std::size_t pos, bool extend, bool atLineEnd)
{
    caret_ = std::min(pos, text_.size());
    if (!extend) anchor_ = caret_;
    caretAtLineEnd_ = atLineEnd;
    lastEdit_ = EditKind::Other;
}

void EditModel::Snapshot(EditKind kind)
{
    const bool continues =
        kind != EditKind::Other && kind == lastEdit_ && caret_ == lastEditEnd_ && !HasSelection() && canUndo_;
    if (continues) return;
    undoText_ = text_;
    undoAnchor_ = anchor_;
    undoCaret_ = caret_;
    canUndo_ = true;
}

void EditModel::Changed() { layoutValid_ = false; }

bool EditModel::ReplaceSelection(std::string_view text, bool canUndo, EditKind kind, bool* truncated)
{
    std::string insert = Filter(text);
    const std::size_t start = SelStart();
    const std::size_t removed = SelEnd() - start;
    const std::size_t kept = text_.size() - removed;
    const std::size_t room = limit_ > kept ? limit_ - kept : 0;
    if (insert.size() > room) {
        insert.resize(room);
        if (truncated) *truncated = true;
    }
    if (insert.empty() && removed == 0) return false;
    if (canUndo)
        Snapshot(kind);
    else
        EmptyUndo();
    text_.replace(start, removed, insert);
    anchor_ = caret_ = start + insert.size();
    caretAtLineEnd_ = false;
    modified_ = true;
    lastEdit_ = kind;
    lastEditEnd_ = caret_;
    Changed();
    return true;
}

bool EditModel::Backspace()
{
    if (HasSelection()) return ReplaceSelection({}, true, EditKind::Deleting);
    if (caret_ == 0) return false;
    return EraseRange(PrevPosition(caret_), caret_);
}

bool EditModel::DeleteForward()
{
    if (HasSelection()) return ReplaceSelection({}, true, EditKind::Deleting);
    if (caret_ >= text_.size()) return false;
    return EraseRange(caret_, NextPosition(caret_));
}

bool EditModel::EraseRange(std::size_t from, std::size_t to)
{
    Snapshot(EditKind::Deleting);
    text_.erase(from, to - from);
    anchor_ = caret_ = from;
    caretAtLineEnd_ = false;
    modified_ = true;
    lastEdit_ = EditKind::Deleting;
    lastEditEnd_ = caret_;
    Changed();
    return true;
}

bool EditModel::Undo()
{
    if (!canUndo_) return false;
    std::swap(text_, undoText_);
    std::swap(anchor_, undoAnchor_);
    std::swap(caret_, undoCaret_);
    anchor_ = std::min(anchor_, text_.size());
    caret_ = std::min(caret_, text_.size());
    caretAtLineEnd_ = false;
    lastEdit_ = EditKind::Other;
    modified_ = true;
    Changed();
    return true;
}

void EditModel::EmptyUndo()
{
    canUndo_ = false;
    undoText_.clear();
    undoAnchor_ = undoCaret_ = 0;
    lastEdit_ = EditKind::Other;
}

std::size_t EditModel::PrevPosition(std::size_t pos) const
{
    pos = std::min(pos, text_.size());
    if (pos == 0) return 0;
    if (multiLine_ && pos >= 2 && text_[pos - 1] == '\n' && text_[pos - 2] == '\r') return pos - 2;
    return pos - 1;
}

std::size_t EditModel::NextPosition(std::size_t pos) const
{
    const std::size_t n = text_.size();
    if (pos >= n) return n;
    if (multiLine_ && text_[pos] == '\r' && pos + 1 < n && text_[pos + 1] == '\n') return pos + 2;
    return pos + 1;
}

std::size_t EditModel::WordRight(std::size_t pos) const
{
    const std::size_t n = text_.size();
    if (pos >= n) return n;
    if (ClassOf(text_[pos]) == CharClass::Break) return NextPosition(pos);
    while (pos < n && ClassOf(text_[pos]) == CharClass::Word) ++pos;
    while (pos < n && ClassOf(text_[pos]) == CharClass::Space) ++pos;
    return pos;
}

std::size_t EditModel::WordLeft(std::size_t pos) const
{
    pos = std::min(pos, text_.size());
    if (pos == 0) return 0;
    if (ClassOf(text_[pos - 1]) == CharClass::Break) return PrevPosition(pos);
    while (pos > 0 && ClassOf(text_[pos - 1]) == CharClass::Space) --pos;
    if (pos > 0 && ClassOf(text_[pos - 1]) == CharClass::Break) return pos;
    while (pos > 0 && ClassOf(text_[pos - 1]) == CharClass::Word) --pos;
    return pos;
}

std::pair<std::size_t, std::size_t> EditModel::WordAt(std::size_t pos) const
{
    const std::size_t n = text_.size();
    if (n == 0) return {0, 0};
    const std::size_t p = std::min(pos, n - 1);
    const CharClass c = ClassOf(text_[p]);
    if (c == CharClass::Break) return {p, p};
    std::size_t a = p, b = p;
    while (a > 0 && ClassOf(text_[a - 1]) == c) --a;
    while (b < n && ClassOf(text_[b]) == c) ++b;
    return {a, b};
}

int EditModel::Advance(unsigned char c, int x) const
{
    if (c == '\t' && metrics_.tabWidth > 0) return metrics_.tabWidth - x % metrics_.tabWidth;
    return metrics_.advances[c];
}

void EditModel::Layout() const
{
    layoutValid_ = true;
    lines_.clear();
    const std::string shown = DisplayText();
    const std::size_t n = shown.size();
    if (!multiLine_) {
        lines_.push_back(EditLine{0, n, n});
        return;
    }
    const auto isBreakSpace = [](unsigned char c) { return c == ' ' || c == '\t'; };
    std::size_t pos = 0;
    for (;;) {
        std::size_t hard = pos;
        while (hard < n && shown[hard] != '\r' && shown[hard] != '\n') ++hard;
        std::size_t breakLength = 0;
        if (hard < n) breakLength = (shown[hard] == '\r' && hard + 1 < n && shown[hard + 1] == '\n') ? 2 : 1;
        const std::size_t after = hard + breakLength;

        std::size_t s = pos;
        for (;;) {
            if (wrapWidth_ <= 0) {
                lines_.push_back(EditLine{s, hard, after});
                break;
            }
            int x = 0;
            std::size_t i = s;
            std::size_t lastBreak = std::string::npos;
            while (i < hard) {
                const auto c = static_cast<unsigned char>(shown[i]);
                const int a = Advance(c, x);
                if (x + a > wrapWidth_ && i > s) break;
                x += a;
                ++i;
                if (isBreakSpace(c)) lastBreak = i;
            }
            std::size_t cut = hard;
            if (i < hard) {
                if (shown[i] == ' ') {
                    // Spaces at the wrap point hang past the edge on the upper line.
                    cut = i;
                    while (cut < hard && shown[cut] == ' ') ++cut;
                } else if (lastBreak != std::string::npos) {
                    cut = lastBreak;
                } else {
                    cut = i;  // a word longer than the width is cut
                }
            }
            if (cut >= hard) {
                lines_.push_back(EditLine{s, hard, after});
                break;
            }
            lines_.push_back(EditLine{s, cut, cut});
            s = cut;
        }
        if (breakLength == 0) break;
        pos = after;
        if (pos == n) {
            lines_.push_back(EditLine{n, n, n});
            break;
        }
    }
}

const std::vector<EditLine>& EditModel::Lines() const
{
    if (!layoutValid_) Layout();
    return lines_;
}

std::size_t EditModel::LineOf(std::size_t pos) const
{
    const auto& lines = Lines();
    auto it =
        std::upper_bound(lines.begin(), lines.end(), pos, [](std::size_t p, const EditLine& l) { return p < l.start; });
    if (it == lines.begin()) return 0;
    return std::size_t(it - lines.begin()) - 1;
}

std::size_t EditModel::CaretLine() const
{
    const std::size_t k = LineOf(caret_);
    const auto& lines = Lines();
    if (caretAtLineEnd_ && k > 0 && lines[k].start == caret_ && lines[k - 1].SoftWrapped() &&
        lines[k - 1].end == caret_)
        return k - 1;
    return k;
}

int EditModel::XInLine(std::size_t line, std::size_t pos) const
{
    const auto& lines = Lines();
    if (line >= lines.size()) return 0;
    const EditLine& l = lines[line];
    pos = std::clamp(pos, l.start, l.end);
    int x = 0;
    for (std::size_t i = l.start; i < pos; ++i)
        x += Advance(static_cast<unsigned char>(passwordChar_ ? passwordChar_ : text_[i]), x);
    return x;
}

std::size_t EditModel::PosAtX(std::size_t line, int x) const
{
    const auto& lines = Lines();
    if (line >= lines.size()) return text_.size();
    const EditLine& l = lines[line];
    int cx = 0;
    for (std::size_t i = l.start; i < l.end; ++i) {
        const int a = Advance(static_cast<unsigned char>(passwordChar_ ? passwordChar_ : text_[i]), cx);
        if (x < cx + (a + 1) / 2) return i;
        cx += a;
    }
    return l.end;
}

int EditModel::LineWidth(std::size_t line) const
{
    const auto& lines = Lines();
    return line < lines.size() ? XInLine(line, lines[line].end) : 0;
}

int EditModel::WidestLine() const
{
    int widest = 0;
    for (std::size_t i = 0; i < Lines().size(); ++i) widest = std::max(widest, LineWidth(i));
    return widest;
}

}  // namespace desktop
