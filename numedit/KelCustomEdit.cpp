#include "numedit/KelCustomEdit.h"

#include <algorithm>

#include "desktop/Gdi.h"
#include "framework/ClassesBuilder.h"

namespace numedit {

namespace {

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// Hides the system caret for a repaint and shows it again afterwards, also when painting fails.
class CaretHidden {
public:
    explicit CaretHidden(TKelCaret& caret) : caret_(caret), wasShown_(caret.Shown())
    {
        if (wasShown_) {
            caret_.HideSystemCaret();
        }
    }
    ~CaretHidden()
    {
        if (wasShown_) {
            caret_.ShowSystemCaret();
        }
    }
    CaretHidden(const CaretHidden&) = delete;
    CaretHidden& operator=(const CaretHidden&) = delete;

private:
    TKelCaret& caret_;
    bool wasShown_;
};

}  // namespace

TKelCustomEdit::TKelCustomEdit(fw::TComponent* owner) : TKelBaseEdit(owner)
{
    SetSelectAllGoesToEnd(true);
    customButtons_ = std::make_unique<TKelSpecialButtons>(this);
    customButtons_->OnChange = [this](fw::TObject*) {
        if (!Settling() && !Updating() && HandleAllocated()) {
            Perform(desktop::WM_SIZE, 0, 0);
        }
    };
}

TKelCustomEdit::~TKelCustomEdit() { customButtons_.reset(); }

const fw::TClassInfo& TKelCustomEdit::Info()
{
    using C = TKelCustomEdit;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelBaseEdit>("TKelCustomEdit")
            .Boolean(
                "AutoSize", [](C* c) { return c->AutoSize(); }, &C::SetAutoSize)
            .Object("CustomButtons", &C::CustomButtons)
            .Integer("CustomButtonWidth", &C::CustomButtonWidth, &C::SetCustomButtonWidth)
            .Enum("CustomButtonsStyle", {"ubsIntegrated", "ubsStandard", "ubsFlat"}, &C::CustomButtonsStyle,
                  &C::SetCustomButtonsStyle)
            .Boolean("CustomButtonParentCtlXP", &C::CustomButtonParentCtlXP, &C::SetCustomButtonParentCtlXP)
            .Build();
    return info;
}

void RegisterKelEdits() { fw::RegisterClass(TKelCustomEdit::Info()); }

void TKelCustomEdit::SetAutoSize(bool value)
{
    if (value == AutoSize()) {
        return;
    }
    TKelBaseEdit::SetAutoSize(value);
    ApplyFontAndAutoSize();
}

void TKelCustomEdit::SetCustomButtonWidth(int value)
{
    if (value == customButtonWidth_) {
        return;
    }
    customButtonWidth_ = value;
    if (!Settling() && !Updating() && HandleAllocated()) {
        Perform(desktop::WM_SIZE, 0, 0);
    }
}

void TKelCustomEdit::SetCustomButtonsStyle(TKelUserButtonStyle style)
{
    customButtonsStyle_ = style;
    if (!Settling() && !Updating() && HandleAllocated()) {
        Perform(desktop::WM_SIZE, 0, 0);
    }
}

void TKelCustomEdit::ButtonClick(TKelSpecialButton* button, int index)
{
    if (OnBtnClick) {
        OnBtnClick(this, button, index);
    }
}

// ---- Display text and measuring ----

void TKelCustomEdit::BuildDisplayText(std::string& s)
{
    const std::string& text = RawText();
    if (passwordChar_ != '\0') {
        s.assign(text.size(), passwordChar_);
    } else {
        s = text;
    }
}

int TKelCustomEdit::PrefixWidth(int count)
{
    const int tracing = Font3D()->Tracing();
    if (!widthsValid_ || tracing != widthsTracing_) {
        // One pass gives every prefix: the advance of each character, tracing included.
        fw::TCanvas& canvas = MeasureCanvas();
        widths_.assign(displayText_.size() + 1, 0);
        if (!displayText_.empty()) {
            desktop::GetTextExtentExPoint(canvas.Handle(), displayText_, 0, nullptr, widths_.data() + 1, nullptr);
        }
        widthsValid_ = true;
        widthsTracing_ = tracing;
    }
    count = std::max(0, std::min(count, Length(displayText_)));
    return widths_[static_cast<std::size_t>(count)];
}

int TKelCustomEdit::TextOrigin(const desktop::RECT& r)
{
    const int width = PrefixWidth(Length(displayText_));
    switch (Alignment()) {
        case fw::TAlignment::taRightJustify: return r.right - width;
        case fw::TAlignment::taCenter: return r.left + (r.right - r.left - width) / 2;
        default: return r.left;
    }
}

int TKelCustomEdit::CharIndexAtX(int x)
{
    const int origin = TextOrigin(TextRect());
    const int length = Length(displayText_);
    for (int i = 1; i <= length; ++i) {
        const int a = PrefixWidth(i);
        const int b = a - PrefixWidth(i - 1);
        // Midpoint of character i at or right of x; halves of odd widths round toward zero.
        if (origin + a - ScrollOffset() - b / 2 >= x) {
            return i;
        }
    }
    return length + 1;
}

// ---- Hooks ----

void TKelCustomEdit::TextChangedAt(int pos)
{
    BuildDisplayText(displayText_);
    InvalidateWidths();
    TKelBaseEdit::TextChangedAt(pos);
}

void TKelCustomEdit::TextAssigned()
{
    SetSelLength(0);
    TextChangedAt(1);
    if (Focused()) {
        UpdateCaretPos();
    }
}

void TKelCustomEdit::AdjustEditRect(desktop::RECT& rect)
{
    const bool topAtZero = Bevel()->Mode() == TKelBevelMode::bmWindows && !Themed();
    customButtons_->LayOut(rect, customButtonWidth_, customButtonsStyle_, topAtZero);
}

void TKelCustomEdit::EditKey(desktop::WORD& key, fw::TShiftState shift)
{
    if (key == desktop::VK_UP) {
        key = desktop::VK_LEFT;
    } else if (key == desktop::VK_DOWN) {
        key = desktop::VK_RIGHT;
    }
    TKelBaseEdit::EditKey(key, shift);
}

bool TKelCustomEdit::EditMessage(fw::TMessage& message)
{
    switch (message.Msg) {
        case desktop::EM_GETPASSWORDCHAR: message.Result = static_cast<unsigned char>(passwordChar_); return true;
        case desktop::EM_SETPASSWORDCHAR:
            passwordChar_ = static_cast<char>(TEMValues(message).First());
            TextChangedAt(1);
            return true;
        default: return TKelBaseEdit::EditMessage(message);
    }
}

void TKelCustomEdit::ApplyFontAndAutoSize()
{
    InvalidateWidths();
    Canvas()->SetFont(Font());
    if (!AutoSize()) {
        return;
    }
    int height = TextHeightOf("Qp") * 5 / 4;
    height += Bevel()->Mode() == TKelBevelMode::bmWindows ? 5 : 2 * Bevel()->Ext();
    const int minWidth = customButtons_->Count() * customButtonWidth_ + 30;
    SetBounds(Left(), Top(), std::max(Width(), minWidth), height);
}

void TKelCustomEdit::CMFontChanged(fw::TWMNoParams message)
{
    InvalidateWidths();
    TKelBaseEdit::CMFontChanged(message);
    ApplyFontAndAutoSize();
}

void TKelCustomEdit::Loaded()
{
    TKelBaseEdit::Loaded();
    BuildDisplayText(displayText_);
    InvalidateWidths();
    ApplyFontAndAutoSize();
}

// ---- Caret ----

void TKelCustomEdit::UpdateCaretPos()
{
    if (!Focused() || !Caret()->Shown()) {
        return;
    }
    const desktop::RECT& tr = TextRect();
    int origin = TextOrigin(tr);
    int fallback = tr.left;
    if (Alignment() == fw::TAlignment::taRightJustify) {
        fallback = tr.right;
    } else if (Alignment() == fw::TAlignment::taCenter) {
        fallback = tr.left + (tr.right - tr.left) / 2;
    }
    origin += Font3D()->OriginDepth();
    origin -= 1;
    auto caretX = [&](int empty) {
        int x = displayText_.empty() ? empty : origin + PrefixWidth(CaretIndex() - 1) - ScrollOffset();
        return x + Font3D()->ExtrudeShift();
    };
    const int x = caretX(fallback);
    if (x > tr.right) {
        SetScrollOffset(ScrollOffset() + (x - tr.right) + tr.left + 2);
        PaintText(-1);
    }
    if (x < tr.left && ScrollOffset() != 0) {
        SetScrollOffset(std::max(0, ScrollOffset() - (std::abs(x) + tr.left + 2)));
        PaintText(-1);
    }
    Caret()->PlaceCaret(caretX(origin) + 1, tr.top, TextHeightOf("Qp"));
}

// ---- Painting ----

void TKelCustomEdit::Paint()
{
    if (Settling() || Updating()) {
        return;
    }
    TKelBaseEdit::Paint();
    PaintText(-1);
}

void TKelCustomEdit::DrawTextIn(fw::TCanvas& canvas, const std::string& s, desktop::RECT r, fw::TColor color)
{
    const desktop::HDC dc = canvas.Handle();
    desktop::SetBkMode(dc, desktop::TRANSPARENT);
    desktop::SetTextColor(dc, fw::ColorToRGB(color));
    desktop::SetTextCharacterExtra(dc, Font3D()->Tracing());
    desktop::DrawText(dc, s, -1, &r, desktop::DT_SINGLELINE | desktop::DT_NOPREFIX);
}

// Only the characters that reach into the text rectangle are drawn: with the widths known, the
// pixels are those of drawing the whole text, at a cost that does not grow with its length.
TKelCustomEdit::VisiblePart TKelCustomEdit::VisibleText(int origin, const desktop::RECT& clip)
{
    const int length = Length(displayText_);
    PrefixWidth(length);
    // One character of margin on each side keeps glyphs that overhang their advance.
    auto first = std::upper_bound(widths_.begin(), widths_.end(), clip.left - origin) - widths_.begin() - 2;
    auto last = std::upper_bound(widths_.begin(), widths_.end(), clip.right - origin) - widths_.begin() + 1;
    const int from = std::max(0, static_cast<int>(first));
    const int to = std::min(length, static_cast<int>(last));
    if (from >= to) {
        return {origin, std::string()};
    }
    return {origin + widths_[static_cast<std::size_t>(from)],
            displayText_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from))};
}

void TKelCustomEdit::PaintText(int)
{
    if (Updating() || !CanPaint()) {
        return;
    }
    CaretHidden hidden(*Caret());
    fw::TCanvas& canvas = PaintCanvas();
    canvas.SetFont(Font());
    const desktop::RECT edit = EditRect();
    PaintBackground(edit);
    PaintExtra(canvas, edit);

    const desktop::RECT& tr = TextRect();
    desktop::RECT r = tr;
    const desktop::HDC dc = canvas.Handle();
    const int saved = desktop::SaveDC(dc);
    if (ScrollOffset() != 0) {
        desktop::IntersectClipRect(dc, tr.left, tr.top, tr.right, tr.bottom);
        r.left -= ScrollOffset();
    }
    r.left = TextOrigin(r);

    const VisiblePart visible = VisibleText(r.left, tr);
    const int depth = Font3D()->IsPlain() ? 0 : Font3D()->OriginDepth();
    const bool showSelection = SelLength() > 0 && !SelectionHidden();
    int selLeft = 0;
    int selRight = 0;
    if (showSelection) {
        const int length = Length(displayText_);
        const int first = SelStart();
        const int last = SelStart() + SelLength() - 1;
        selLeft = r.left + PrefixWidth(std::max(first, 1) - 1);
        selRight = r.left + PrefixWidth(std::min(last, length));
        if (first > length) {
            selLeft = selRight;
        }
        selRight = std::min(selRight, tr.right);
        const int bottom = std::min(tr.top + TextHeightOf(visible.text), tr.bottom);
        canvas.Brush()->SetStyle(fw::TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(HighlightBack());
        canvas.Pen()->SetColor(HighlightBack());
        canvas.FillRect({selLeft + depth, tr.top, selRight + depth, bottom});
    }
    const fw::TColor textColor = Enabled() ? Font()->GetColor() : fw::clGrayText;
    DrawTextIn(canvas, visible.text, {visible.left, r.top, r.right, r.bottom}, textColor);
    if (showSelection && selRight > selLeft) {
        const int from = std::max(SelStart(), 1);
        const std::string selected =
            displayText_.substr(std::min(displayText_.size(), static_cast<std::size_t>(from - 1)),
                                static_cast<std::size_t>(std::max(0, SelLength())));
        DrawTextIn(canvas, selected, {selLeft, tr.top, selRight, tr.bottom}, HighlightText());
    }
    desktop::RestoreDC(dc, saved);
    if (Buffer() != nullptr) {
        Canvas()->CopyRect(edit, &canvas, edit);
    }
}

}  // namespace numedit
