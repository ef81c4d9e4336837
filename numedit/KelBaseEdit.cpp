#include "numedit/KelBaseEdit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "desktop/Clipboard.h"
#include "desktop/Codepage.h"
#include "desktop/Controls.h"
#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/Forms.h"
#include "framework/ResStrings.h"
#include "numedit/KelAccessible.h"
#include "numedit/KelApplication.h"
#include "numedit/KelTimer.h"

namespace numedit {

namespace {

constexpr std::uint32_t kMouseRepeatMs = 200;

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// The character at 1-based index i, or 0 outside the text.
char CharAt(const std::string& s, int i)
{
    return i >= 1 && i <= Length(s) ? s[static_cast<std::size_t>(i - 1)] : '\0';
}

// The count characters from 1-based start that exist.
std::string Slice(const std::string& s, int start, int count)
{
    if (count <= 0) {
        return {};
    }
    const int from = std::max(start, 1);
    const int to = std::min(start + count, Length(s) + 1);  // one past
    if (from >= to) {
        return {};
    }
    return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
}

bool ShiftDown() { return (KelApplication().KeyState() & ksShift) != 0; }
bool CtrlDown() { return (KelApplication().KeyState() & ksCtrl) != 0; }
bool AltDown() { return (KelApplication().KeyState() & ksAlt) != 0; }

}  // namespace

TKelBaseEdit::TKelBaseEdit(fw::TComponent* owner) : TKelCustomBevelPanel(owner)
{
    controlStyle_ &= ~(fw::csAcceptsControls | fw::csSetCaption);
    SetBounds(Left(), Top(), 121, 21);
    font3D_ = std::make_unique<TKel3DCaption>(this);
    font3D_->OnChange = [this](fw::TObject*) {
        UpdateCaretPos();
        PaintText(-1);
    };
    Bevel()->SetMode(TKelBevelMode::bmWindows);
    caret_ = std::make_unique<TKelCaret>(this);
    SetCursor(fw::crIBeam);
    SetColor(fw::clWindow);
    SetParentColor(false);
    SetTabStop(true);
    wordDelimiters_.set(static_cast<unsigned char>(' '));
}

TKelBaseEdit::~TKelBaseEdit()
{
    buffer_.reset();
    FreeMouseTimer();
    undoStack_.Clear();
    caret_.reset();
    font3D_.reset();
    measure_.reset();
    if (measureDc_ != nullptr) {
        desktop::DeleteDC(measureDc_);
    }
}

const fw::TClassInfo& TKelBaseEdit::Info()
{
    using C = TKelBaseEdit;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelCustomBevelPanel>("TKelBaseEdit")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &C::Alignment, &C::SetAlignment)
            .Boolean("AutoSelect", &C::AutoSelect, &C::SetAutoSelect)
            .Object("Caret", &C::Caret)
            .Enum("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &C::CharCase, &C::SetCharCase)
            .Boolean("FocusOnMouseAbove", &C::FocusOnMouseAbove, &C::SetFocusOnMouseAbove)
            .Object("Font3D", &C::Font3D)
            .Integer("ImageIndex", &C::ImageIndex, &C::SetImageIndex)
            .Integer("ListIndex", &C::ListIndex, &C::SetListIndex)
            .Integer("MaxLength", &C::MaxLength, &C::SetMaxLength)
            .Boolean("OEMConvert", &C::OEMConvert, &C::SetOEMConvert)
            .Set("Options", {"eoNarrowHeight", "eoSuppressDefaultMenu"}, &C::Options, &C::SetOptions)
            .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
            .Boolean("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter)
            .String(
                "Text", [](C* c) { return c->Text(); }, &C::SetText)
            .Integer("HighlightBack", &C::HighlightBack, &C::SetHighlightBack)
            .Integer("HighlightText", &C::HighlightText, &C::SetHighlightText)
            .Boolean("HideSelection", &C::HideSelection, &C::SetHideSelection)
            .Boolean("UseGlobalTimer", &C::UseGlobalTimer, &C::SetUseGlobalTimer)
            .Event("OnChange", [](C* c, fw::TNotifyEvent e) { c->OnChange = std::move(e); })
            .Event("OnModified", [](C* c, fw::TNotifyEvent e) { c->OnModified = std::move(e); })
            .Event("OnCursorPosChanged", [](C* c, fw::TNotifyEvent e) { c->OnCursorPosChanged = std::move(e); })
            .Build();
    return info;
}

// ---- Text, caret and selection ----

const std::string& TKelBaseEdit::Text()
{
    TextRequested();
    return text_;
}

void TKelBaseEdit::SetText(const std::string& value)
{
    if (value == text_) {
        return;
    }
    text_ =
        maxLength_ > 0 && Length(value) > maxLength_ ? value.substr(0, static_cast<std::size_t>(maxLength_)) : value;
    SetCaretIndex(1);
    SetSelLength(0);
    TextAssigned();
}

void TKelBaseEdit::SetCaretIndex(int index)
{
    prevCaretIndex_ = caretIndex_;
    caretIndex_ = std::max(1, std::min(index, Length(text_) + 1));
    UpdateSelection();
    CaretMoved();
}

// The anchor is not stored: it is derived from where the caret was before this move.
void TKelBaseEdit::UpdateSelection()
{
    if (typingChar_ || draggingSelection_) {
        return;
    }
    const int p = prevCaretIndex_;
    const int n = caretIndex_;
    const int s = selStart_;
    const int l = selLength_;
    if (!ShiftDown() && !extendingByMouse_) {
        selLength_ = 0;
        selStart_ = n;
        return;
    }
    if (l == 0) {
        selLength_ = std::abs(p - n);
        if (n < p) {
            selStart_ = n;
        }
        return;
    }
    const int e = s + l;
    if (s < n && n < e) {
        if (n > p) {
            selStart_ = n;
            selLength_ = e - n;
        } else {
            selLength_ = n - s;
        }
    } else if (s < n) {
        if (s < p) {
            selLength_ = n - s;
        } else {
            selStart_ = e;
            selLength_ = n - e;
        }
    } else if (s == p) {
        selLength_ = l + (s - n);
        selStart_ = n;
    } else {
        selLength_ = s - n;
        selStart_ = n;
    }
}

void TKelBaseEdit::SetSelLength(int value)
{
    if (value == selLength_) {
        return;
    }
    selLength_ = value;
    if (value == 0) {
        selStart_ = caretIndex_;
    }
    PaintText(-1);
}

std::string TKelBaseEdit::SelText() const { return Slice(text_, selStart_, selLength_); }

int TKelBaseEdit::GetSelTextBuf(char* buffer, int size)
{
    const std::string sel = SelText();
    const int count = std::max(0, std::min(size, Length(sel)));
    if (buffer != nullptr && count > 0) {
        std::memcpy(buffer, sel.data(), static_cast<std::size_t>(count));
    }
    return count;
}

// ---- Editing ----

void TKelBaseEdit::ReplaceSelection(std::string s)
{
    if (!CanChange(s)) {
        return;
    }
    // The desktop keeps one code page, so the round trip through OEM leaves text unchanged.
    BeforeChange();
    auto record = std::make_unique<TKelUndoRecord>();
    record->NewText = s;
    record->OldText = SelText();
    record->SelStart = selStart_;
    record->SelLength = selLength_;
    record->NewLength = Length(s);
    record->CaretIndex = caretIndex_;
    if (!undoing_) {
        undoStack_.Push(std::move(record));
        canUndo_ = true;
    }
    const int changePos = selStart_;
    // A CR LF pair is never split.
    if (selLength_ > 0 && selStart_ + selLength_ - 1 <= Length(text_)) {
        if (CharAt(text_, selStart_ + selLength_ - 1) == '\r') {
            ++selLength_;
        }
        if (CharAt(text_, selStart_) == '\n') {
            --selStart_;
            ++selLength_;
        }
    } else {
        if (!text_.empty() && CharAt(text_, selStart_) == '\n') {
            --selStart_;
        }
        if (!KelApplication().InsertMode()) {
            selLength_ = CharAt(text_, selStart_) == '\r' ? 2 : 1;
        }
    }
    const std::string removed = SelText();
    BeforeDelete(selStart_, removed);
    if (!removed.empty()) {
        const int from = std::max(selStart_, 1);
        text_.erase(static_cast<std::size_t>(from - 1), removed.size());
    }
    selLength_ = 0;
    int newCaret = selStart_;
    BeforeInsert(selStart_, s);
    if (maxLength_ == 0 || Length(text_) + Length(s) <= maxLength_) {
        const int at = std::max(1, std::min(selStart_, Length(text_) + 1));
        text_.insert(static_cast<std::size_t>(at - 1), s);
        newCaret = selStart_ + Length(s);
    }
    SetModified(true);
    TextChangedAt(changePos);
    SetCaretIndex(newCaret);
    if (Length(text_) + 1 < caretIndex_ && !text_.empty()) {
        SetCaretIndex(Length(text_) + 1);
    }
    BeginUpdate();
    SetSelLength(0);
    EndUpdate(true);
    SetSelStart(caretIndex_);
    AfterChange();
}

void TKelBaseEdit::SelectAll()
{
    if (selectAllGoesToEnd_) {
        MoveToLineEnd();
    }
    selStart_ = 1;
    selLength_ = Length(text_);
    PaintText(-1);
}

int TKelBaseEdit::WordScanBack() const
{
    int i = std::min(caretIndex_, Length(text_));
    if (i > 1 && IsDelimiter(CharAt(text_, i))) {
        --i;
    }
    while (i > 1) {
        const char c = CharAt(text_, i);
        --i;
        if (IsDelimiter(c)) {
            ++i;
            break;
        }
    }
    return i;
}

void TKelBaseEdit::SelectWordAtCaret()
{
    if (text_.empty()) {
        return;
    }
    const int i = WordScanBack();
    SetSelStart(i != 1 ? i + 1 : 1);
    int j = caretIndex_;
    while (j <= Length(text_) && !IsDelimiter(CharAt(text_, j))) {
        ++j;
    }
    SetSelLength(j - selStart_);
}

void TKelBaseEdit::CopyToClipboard()
{
    if (!ClipboardAllowed()) {
        return;
    }
    if (desktop::OpenClipboard(WindowHandle())) {
        desktop::EmptyClipboard();
        desktop::SetClipboardText(SelText());
        desktop::CloseClipboard();
    }
}

void TKelBaseEdit::CutToClipboard()
{
    if (!ClipboardAllowed()) {
        return;
    }
    CopyToClipboard();
    ClearSelection();
}

void TKelBaseEdit::PasteFromClipboard()
{
    if (!ClipboardAllowed()) {
        return;
    }
    std::string text;
    if (desktop::OpenClipboard(WindowHandle())) {
        text = desktop::GetClipboardText().value_or(std::string());
        desktop::CloseClipboard();
    }
    ReplaceSelection(std::move(text));
}

void TKelBaseEdit::ClearAll()
{
    SelectAll();
    ClearSelection();
}

void TKelBaseEdit::Undo()
{
    if (!canUndo_ || undoStack_.Empty()) {
        return;
    }
    undoing_ = true;
    std::unique_ptr<TKelUndoRecord> r = undoStack_.Pop();
    SetSelStart(r->SelStart);
    SetSelLength(r->NewLength);
    try {
        ReplaceSelection(r->OldText.substr(0, static_cast<std::size_t>(std::max(r->SelLength, 0))));
    } catch (...) {
        undoing_ = false;
        throw;
    }
    undoing_ = false;
    if (undoStack_.Empty()) {
        canUndo_ = false;
    }
    SetCaretIndex(r->CaretIndex);
    selStart_ = r->SelStart;
    SetSelLength(r->SelLength);
}

void TKelBaseEdit::ClearUndo()
{
    undoStack_.Clear();
    canUndo_ = false;
}

void TKelBaseEdit::SetReadOnly(bool value)
{
    readOnly_ = value;
    if (Themed()) {
        Invalidate();
    }
}

void TKelBaseEdit::SetModified(bool value)
{
    if (modified_ == value) {
        return;
    }
    modified_ = value;
    if (OnModified) {
        OnModified(this);
    }
}

void TKelBaseEdit::SetOptions(TKelEditOptions value)
{
    if (options_ == value) {
        return;
    }
    options_ = value;
    LayOut();
    PaintText(-1);
}

void TKelBaseEdit::SetAlignment(fw::TAlignment value)
{
    if (alignment_ == value) {
        return;
    }
    alignment_ = value;
    scrollOffset_ = 0;
    AlignmentChanged();
    PaintText(-1);
    UpdateCaretPos();
}

void TKelBaseEdit::SetHighlightText(fw::TColor value)
{
    highlightText_ = value;
    PaintText(-1);
}

void TKelBaseEdit::SetHighlightBack(fw::TColor value)
{
    highlightBack_ = value;
    PaintText(-1);
}

void TKelBaseEdit::EndUpdate(bool repaint)
{
    // The argument asks for a repaint here, not for the change notification.
    TKelCustomBevelPanel::EndUpdate(false);
    if (repaint && !Updating()) {
        PaintText(-1);
    }
}

// ---- Hooks ----

std::unique_ptr<desktop::Accessible> TKelBaseEdit::CreateAccessible()
{
    return std::make_unique<TKelEditAccessible>(this);
}

void TKelBaseEdit::Change()
{
    if (OnChange) {
        OnChange(this);
    }
}

int TKelBaseEdit::TextHeightOf(const std::string& s)
{
    fw::TCanvas& canvas = MeasureCanvas();
    int height = 0;
    if (Updating()) {
        desktop::TEXTMETRIC tm{};
        desktop::GetTextMetrics(canvas.Handle(), &tm);
        height = tm.tmHeight;
    } else {
        height = canvas.TextHeight(s);
    }
    const TKel3DStyle style = font3D_->Style();
    if (style == TKel3DStyle::tdSunkenShadow || style == TKel3DStyle::tdRaisedShadow ||
        style == TKel3DStyle::tdShadow) {
        height += font3D_->ShadowDepth();
    }
    return height;
}

void TKelBaseEdit::CaretMoved()
{
    UpdateCaretPos();
    if (OnCursorPosChanged) {
        OnCursorPosChanged(this);
    }
}

void TKelBaseEdit::TextChangedAt(int pos)
{
    if (Updating()) {
        return;
    }
    PaintText(caretIndex_);
    if (!IsLoading()) {
        if (OnTextChangedAt) {
            OnTextChangedAt(this, pos);
        }
        RaiseAccessibleEvent(desktop::AccEvent::TextChanged);
        Change();
    }
}

bool TKelBaseEdit::CanChange(const std::string&) { return !readOnly_; }

void TKelBaseEdit::PaintBackground(const desktop::RECT& rect)
{
    fw::TCanvas& canvas = PaintCanvas();
    canvas.Brush()->SetStyle(fw::TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(rect);
}

desktop::RECT TKelBaseEdit::DeflateFrame(const desktop::RECT& frame)
{
    // Every side gives up the bevel's width; bmWindows with the system border takes 0.
    const int ext = Bevel()->Ext();
    return {frame.left + ext, frame.top + ext, frame.right - ext, frame.bottom - ext};
}

// ---- Layout ----

void TKelBaseEdit::LayOut()
{
    frameRect_ = GetClientRect();
    editRect_ = DeflateFrame(frameRect_);
    AdjustEditRect(editRect_);
    const int inset = (options_ & eoNarrowHeight) != 0 ? 0 : 1;
    textRect_ = {editRect_.left + 1, editRect_.top + inset, editRect_.right - 1, editRect_.bottom - inset};
    LayoutChanged();
}

void TKelBaseEdit::UpdateLayout()
{
    if (Updating() || Settling()) {
        return;
    }
    LayOut();
}

void TKelBaseEdit::UpdateLayoutBuffered()
{
    if (!buffer_) {
        buffer_ = std::make_unique<fw::TBitmap>();
    }
    buffer_->SetSize(std::max(Width(), 1), std::max(Height(), 1));
    PaintBackground(GetClientRect());
    LayOut();
}

fw::TCanvas& TKelBaseEdit::MeasureCanvas()
{
    if (!measure_) {
        measureDc_ = desktop::CreateCompatibleDC(nullptr);
        measure_ = std::make_unique<fw::TCanvas>();
        measure_->SetHandle(measureDc_);
    }
    // Assigning a font makes a new handle; only a changed font is worth that.
    fw::TFont* font = Font();
    fw::TFont* measured = measure_->Font();
    if (font->GetName() != measured->GetName() || font->GetHeight() != measured->GetHeight() ||
        font->GetStyle() != measured->GetStyle() || font->GetCharset() != measured->GetCharset() ||
        font->GetPitch() != measured->GetPitch()) {
        measure_->SetFont(font);
    }
    desktop::SetTextCharacterExtra(measure_->Handle(), font3D_ ? font3D_->Tracing() : 0);
    return *measure_;
}

fw::TCanvas& TKelBaseEdit::PaintCanvas()
{
    if (buffer_) {
        return *buffer_->Canvas();
    }
    return *Canvas();
}

bool TKelBaseEdit::CanPaint() const { return HandleAllocated() && !Settling(); }

// ---- Keys ----

void TKelBaseEdit::UpdateKeyState(fw::TShiftState shift) { KelApplication().SetModifiers(shift); }

void TKelBaseEdit::KeyDown(desktop::WORD& key, fw::TShiftState shift)
{
    TKelCustomBevelPanel::KeyDown(key, shift);
    UpdateKeyState(shift);
    EditKey(key, shift);
}

void TKelBaseEdit::KeyUp(desktop::WORD& key, fw::TShiftState shift)
{
    TKelCustomBevelPanel::KeyUp(key, shift);
    UpdateKeyState(shift);
}

void TKelBaseEdit::MoveToLineEnd()
{
    int i = caretIndex_;
    while (i <= Length(text_) && CharAt(text_, i) != '\r') {
        ++i;
    }
    SetCaretIndex(i);
}

void TKelBaseEdit::WordLeft()
{
    const int i = WordScanBack();
    SetCaretIndex(i);
}

void TKelBaseEdit::WordRight()
{
    if (caretIndex_ < Length(text_) && IsDelimiter(CharAt(text_, caretIndex_))) {
        SetCaretIndex(caretIndex_ + 1);
    }
    while (caretIndex_ <= Length(text_) && !IsDelimiter(CharAt(text_, caretIndex_))) {
        SetCaretIndex(caretIndex_ + 1);
    }
}

void TKelBaseEdit::EditKey(desktop::WORD& key, fw::TShiftState)
{
    using namespace desktop;
    if (!Enabled()) {
        return;
    }
    const int oldSelLength = selLength_;
    switch (key) {
        case VK_BACK:
            if (!readOnly_ && selStart_ >= 1) {
                if (caretIndex_ == 1 && selStart_ == 1 && selLength_ == 0) {
                    return;
                }
                if (selLength_ == 0 || BackspaceWidensSelection()) {
                    SetSelStart(caretIndex_ - 1);
                    SetSelLength(selLength_ + 1);
                }
                ClearSelection();
                if (text_.empty()) {
                    scrollOffset_ = 0;
                }
            }
            break;
        case VK_RETURN:
            if (tabOnEnter_ && !CtrlDown() && HandleAllocated()) {
                desktop::SendMessage(desktop::GetAncestorTopLevel(WindowHandle()), WM_NEXTDLGCTL, 0, 0);
            }
            break;
        case VK_ESCAPE: SetSelLength(0); break;
        case VK_END: MoveToLineEnd(); break;
        case VK_HOME:
            if (CtrlDown()) {
                SetCaretIndex(1);
            } else {
                int i = caretIndex_;
                while (i > 1 && CharAt(text_, i - 1) != '\n') {
                    --i;
                }
                SetCaretIndex(i);
            }
            break;
        case VK_LEFT:
            if (caretIndex_ > 1) {
                SetCaretIndex(CharAt(text_, caretIndex_ - 1) == '\n' ? caretIndex_ - 2 : caretIndex_ - 1);
                if (CtrlDown()) {
                    WordLeft();
                }
            } else if (!ShiftDown()) {
                SetSelLength(0);
            }
            break;
        case VK_RIGHT:
            if (!text_.empty() && caretIndex_ <= Length(text_)) {
                SetCaretIndex(caretIndex_ + 1);
                if (CharAt(text_, caretIndex_) == '\n') {
                    SetCaretIndex(caretIndex_ + 1);
                }
                if (CtrlDown()) {
                    WordRight();
                }
            } else if (!ShiftDown()) {
                SetSelLength(0);
            }
            break;
        case VK_INSERT:
            if (ShiftDown()) {
                PasteFromClipboard();
            } else if (CtrlDown()) {
                CopyToClipboard();
            } else if (!AltDown()) {
                KelApplication().ToggleInsertMode();
            }
            break;
        case VK_DELETE:
            if (ShiftDown()) {
                CutToClipboard();
            } else if (!readOnly_ && !text_.empty()) {
                if (selLength_ == 0) {
                    selLength_ = 1;
                }
                ClearSelection();
            }
            break;
        case 'A':
            if (CtrlDown()) {
                SelectAll();
                key = 0;
            }
            break;
        case 'C':
            if (CtrlDown()) {
                CopyToClipboard();
                key = 0;
            }
            break;
        case 'V':
            if (CtrlDown()) {
                PasteFromClipboard();
                key = 0;
            }
            break;
        case 'X':
            if (CtrlDown()) {
                CutToClipboard();
                key = 0;
            }
            break;
        default: break;
    }
    if (selLength_ != oldSelLength) {
        PaintText(caretIndex_);
    }
}

void TKelBaseEdit::WMChar(fw::TWMChar message)
{
    if (DoKeyPress(message)) {
        return;
    }
    auto c = static_cast<char>(message.CharCode());
    if (static_cast<unsigned char>(c) < 32) {
        return;
    }
    if (charCase_ == TKelCharCase::ecUpperCase) {
        c = desktop::UpperCp1252(c);
    } else if (charCase_ == TKelCharCase::ecLowerCase) {
        c = desktop::LowerCp1252(c);
    }
    typingChar_ = true;
    try {
        ReplaceSelection(std::string(1, c));
    } catch (...) {
        typingChar_ = false;
        throw;
    }
    typingChar_ = false;
}

void TKelBaseEdit::WMGetDlgCode(fw::TWMNoParams message)
{
    TKelCustomBevelPanel::WMGetDlgCode(message);
    message.SetResult(message.Result() | desktop::DLGC_WANTCHARS | desktop::DLGC_WANTARROWS);
}

// ---- Focus ----

void TKelBaseEdit::WMSetFocus(fw::TWMSetFocus message)
{
    TKelCustomBevelPanel::WMSetFocus(message);
    UpdateLayoutBuffered();
    if (caret_->Style() == TKelCaretStyles::csDefault) {
        caret_->SetFontHeight(static_cast<std::int16_t>(TextHeightOf("Qp")));
    }
    caret_->CreateSystemCaret();
    caret_->ShowSystemCaret();
    if (RepaintOnFocusGain()) {
        PaintText(-1);
    }
    if (Flat()) {
        Invalidate();
        if (Themed()) {
            PaintText(-1);
        }
    }
    selectionHidden_ = false;
    if (hideSelection_ || autoSelect_) {
        if (autoSelect_ && !leftButtonDown_) {
            SelectAll();
        }
        if (selLength_ != 0) {
            PaintText(-1);
        }
    }
    UpdateCaretPos();
}

void TKelBaseEdit::WMKillFocus(fw::TWMKillFocus message)
{
    if (hideSelection_ && selLength_ > 0) {
        selectionHidden_ = true;
        PaintText(-1);
    }
    TKelCustomBevelPanel::WMKillFocus(message);
    if (RepaintOnFocusLoss()) {
        PaintText(-1);
    }
    caret_->DestroySystemCaret();
    buffer_.reset();
}

// ---- Window ----

void TKelBaseEdit::WMEraseBkgnd(fw::TWMEraseBkgnd message) { message.SetResult(1); }

void TKelBaseEdit::WMSize(fw::TWMSize message)
{
    TKelCustomBevelPanel::WMSize(message);
    if (Focused()) {
        UpdateLayoutBuffered();
    } else {
        UpdateLayout();
    }
}

void TKelBaseEdit::Paint()
{
    // The window is not erased, so the whole client area gets the background first (on the
    // window itself: the off-screen bitmap only ever gives back the edit rectangle).
    fw::TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(fw::TBrushStyle::bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(GetClientRect());
    if (!Focused() && Flat() && !HasState(fw::csDesigning) && !Themed()) {
        canvas->Brush()->SetColor(fw::clBtnShadow);
        canvas->FrameRect(GetClientRect());
    } else {
        Bevel()->Draw(*canvas, GetClientRect(), Transparent());
    }
    UpdateCaretPos();
}

void TKelBaseEdit::DestroyWnd()
{
    if (caret_) {
        caret_->DestroySystemCaret();
    }
    TKelCustomBevelPanel::DestroyWnd();
}

void TKelBaseEdit::Loaded()
{
    TKelCustomBevelPanel::Loaded();
    UpdateLayout();
    Invalidate();
}

void TKelBaseEdit::Notification(fw::TComponent* component, fw::TOperation operation)
{
    TKelCustomBevelPanel::Notification(component, operation);
    if (caret_) {
        caret_->Notification(component, operation);
    }
}

void TKelBaseEdit::CMFontChanged(fw::TWMNoParams message)
{
    TKelCustomBevelPanel::CMFontChanged(message);
    if (HandleAllocated()) {
        caret_->SetFontHeight(static_cast<std::int16_t>(TextHeightOf("Qp")));
        if (Focused()) {
            caret_->CreateSystemCaret();
        }
    }
}

void TKelBaseEdit::CMEnabledChanged(fw::TWMNoParams message)
{
    TKelCustomBevelPanel::CMEnabledChanged(message);
    PaintText(-1);
}

void TKelBaseEdit::CMMouseEnter(fw::TCMMouseEnter message)
{
    TKelCustomBevelPanel::CMMouseEnter(message);
    if (HasState(fw::csDesigning)) {
        return;
    }
    if (focusOnMouseAbove_ && Enabled()) {
        if (CanFocus()) {
            SetFocus();
        }
    } else if (Themed() && Flat()) {
        Invalidate();
    }
}

void TKelBaseEdit::CMMouseLeave(fw::TCMMouseLeave message)
{
    TKelCustomBevelPanel::CMMouseLeave(message);
    if (!HasState(fw::csDesigning) && Themed() && Flat()) {
        PaintText(-1);
    }
}

// The text travels through the window messages as through Text, so that the framework's generic
// text access (and WM_GETTEXTLENGTH, which answers the engine's length) agree with what is shown.
void TKelBaseEdit::WMSetText(fw::TWMSetText message)
{
    DefaultHandler(message);
    const std::string value = message.Text() != nullptr ? std::string(message.Text()) : std::string();
    if (value != text_) {
        SetText(value);
    } else {
        TextAssigned();
    }
    Changed();
}

void TKelBaseEdit::WMGetText(fw::TWMGetText message)
{
    std::size_t copied = 0;
    if (message.Text() != nullptr && message.TextMax() > 0) {
        copied = std::min(text_.size(), message.TextMax() - 1);
        std::copy_n(text_.data(), copied, message.Text());
        message.Text()[copied] = '\0';
    }
    message.SetResult(static_cast<desktop::LRESULT>(copied));
    TextRequested();
}

void TKelBaseEdit::Dispatch(fw::TMessage& message)
{
    using namespace desktop;
    switch (message.Msg) {
        case WM_CUT: CutToClipboard(); return;
        case WM_COPY: CopyToClipboard(); return;
        case WM_PASTE: PasteFromClipboard(); return;
        case WM_CLEAR: ClearSelection(); return;
        case WM_SETTEXT: WMSetText(fw::TWMSetText(message)); return;
        case WM_GETTEXT: WMGetText(fw::TWMGetText(message)); return;
        case WM_GETTEXTLENGTH: message.Result = Length(text_); return;
        default: break;
    }
    if (!EditMessage(message)) {
        TKelCustomBevelPanel::Dispatch(message);
    }
}

bool TKelBaseEdit::EditMessage(fw::TMessage& message)
{
    using namespace desktop;
    switch (message.Msg) {
        case EM_GETSEL: {
            TEMGetSel m(message);
            const auto start = static_cast<DWORD>(selStart_ - 1);
            const auto end = static_cast<DWORD>(selStart_ + selLength_ - 1);
            if (m.StartPtr() != nullptr) {
                *m.StartPtr() = start;
            }
            if (m.EndPtr() != nullptr) {
                *m.EndPtr() = end;
            }
            m.SetResult(static_cast<LRESULT>(MAKELONG(WORD(start), WORD(end))));
            return true;
        }
        case EM_SETSEL: {
            TEMValues m(message);
            const int start = static_cast<int>(m.First());
            const int end = static_cast<int>(m.Second());
            if (start == -1) {
                SetSelLength(0);
            } else if (start == 0 && end == -1) {
                SelectAll();
            } else {
                SetCaretIndex(start + 1);
                SetSelLength(end - selStart_ + 1);
            }
            return true;
        }
        case EM_GETRECT: {
            TEMGetRect m(message);
            if (m.Rect() != nullptr) {
                *m.Rect() = textRect_;
            }
            return true;
        }
        case EM_SETRECT:
        case EM_SETRECTNP:
        case EM_SCROLL:
        case EM_LINESCROLL:
        case EM_SCROLLCARET:
        case EM_SETHANDLE:
        case EM_SETMARGINS:
        case EM_SETTABSTOPS:
        case EM_SETWORDBREAKPROC:
        case EM_FMTLINES: return true;
        case EM_GETMODIFY: message.Result = GetModified() ? 1 : 0; return true;
        case EM_SETMODIFY: SetModified(TEMValues(message).First() != 0); return true;
        case EM_GETLINECOUNT: message.Result = 1; return true;
        case EM_LINEINDEX:
        case EM_LINEFROMCHAR:
        case EM_GETFIRSTVISIBLELINE:
        case EM_GETHANDLE:
        case EM_GETTHUMB:
        case EM_GETWORDBREAKPROC:
        case EM_GETMARGINS: message.Result = 0; return true;
        case EM_LINELENGTH: message.Result = Length(text_); return true;
        case EM_GETLINE: {
            TEMGetLine m(message);
            if (m.Buffer() != nullptr && !text_.empty()) {
                // The first word of the buffer holds its capacity, as the message convention has it.
                WORD capacity = 0;
                std::memcpy(&capacity, m.Buffer(), sizeof capacity);
                const std::size_t count = std::min<std::size_t>(capacity, text_.size());
                std::memcpy(m.Buffer(), text_.data(), count);
            }
            m.SetResult(Length(text_));
            return true;
        }
        case EM_LIMITTEXT: SetMaxLength(static_cast<int>(TEMValues(message).First())); return true;
        case EM_GETLIMITTEXT: message.Result = maxLength_; return true;
        case EM_REPLACESEL: {
            TEMReplaceSel m(message);
            ReplaceSelection(m.Text() != nullptr ? std::string(m.Text()) : std::string());
            if (!m.CanUndo()) {
                undoStack_.Clear();
            }
            return true;
        }
        case EM_CANUNDO: message.Result = canUndo_ ? 1 : 0; return true;
        case EM_UNDO:
            Undo();
            message.Result = canUndo_ ? 1 : 0;
            return true;
        case EM_EMPTYUNDOBUFFER: ClearUndo(); return true;
        case EM_SETREADONLY:
            SetReadOnly(TEMValues(message).First() != 0);
            message.Result = 1;
            return true;
        case EM_GETPASSWORDCHAR: message.Result = 0; return true;
        case EM_SETPASSWORDCHAR: return true;
        case EM_POSFROMCHAR: {
            TEMPosFromChar m(message);
            if (m.Point() != nullptr) {
                const int count = std::max(0, std::min(static_cast<int>(m.Index()), Length(text_)));
                const int width = MeasureCanvas().TextWidth(text_.substr(0, static_cast<std::size_t>(count)));
                *m.Point() = POINT{width + textRect_.left - scrollOffset_, 0};
            }
            return true;
        }
        case EM_CHARFROMPOS: {
            TEMCharFromPos m(message);
            m.SetResult(static_cast<LRESULT>(MAKELONG(WORD(CharAtPoint(m.Pos().x)), WORD(LineAtPoint(m.Pos().y)))));
            return true;
        }
        default: return false;
    }
}

// ---- Mouse ----

void TKelBaseEdit::WMLButtonDown(fw::TWMMouse message)
{
    TKelCustomBevelPanel::WMLButtonDown(message);
    if (!Enabled()) {
        return;
    }
    leftButtonDown_ = true;
    if (!Focused() && CanFocus()) {
        SetFocus();
    }
    TrackMouse();
    if (mouseTimer_ == nullptr) {
        // Every family timer ticks on the shared service, so UseGlobalTimer changes nothing here.
        mouseTimer_ = new TKelTimer(this);
        mouseTimer_->SetInterval(kMouseRepeatMs);
        mouseTimer_->SetOnTimer([this](fw::TObject*) { MouseTimerTick(); });
        mouseTimer_->SetEnabled(true);
    }
}

void TKelBaseEdit::MouseTimerTick()
{
    extendingByMouse_ = selLength_ > 0;
    try {
        TrackMouse();
    } catch (...) {
        extendingByMouse_ = false;
        throw;
    }
    extendingByMouse_ = false;
}

void TKelBaseEdit::TrackMouse()
{
    const int i = CharIndexAtX(lastMouseX_);
    if (selStart_ < i && i < selStart_ + selLength_ && !draggingSelection_) {
        if (fw::TScreen* screen = fw::Screen()) {
            savedCursor_ = screen->Cursor();
            screen->SetCursor(fw::crDrag);
        }
        draggingSelection_ = true;
    }
    const int oldSelLength = selLength_;
    SetCaretIndex(i);
    if (selLength_ != oldSelLength) {
        PaintText(caretIndex_);
    }
}

void TKelBaseEdit::WMMouseMove(fw::TWMMouse message)
{
    TKelCustomBevelPanel::WMMouseMove(message);
    if (!Enabled()) {
        return;
    }
    lastMouseX_ = message.XPos();
    if (message.Keys() == desktop::MK_LBUTTON) {
        const int before = caretIndex_;
        extendingByMouse_ = true;
        try {
            SetCaretIndex(CharIndexAtX(message.XPos()));
        } catch (...) {
            extendingByMouse_ = false;
            throw;
        }
        extendingByMouse_ = false;
        if (caretIndex_ != before) {
            PaintText(caretIndex_);
        }
    }
}

void TKelBaseEdit::FreeMouseTimer()
{
    delete mouseTimer_;
    mouseTimer_ = nullptr;
}

void TKelBaseEdit::WMLButtonUp(fw::TWMMouse message)
{
    TKelCustomBevelPanel::WMLButtonUp(message);
    FreeMouseTimer();
    leftButtonDown_ = false;
    if (draggingSelection_) {
        FinishDrag();
    }
}

void TKelBaseEdit::FinishDrag()
{
    if (fw::TScreen* screen = fw::Screen()) {
        screen->SetCursor(savedCursor_);
    }
    draggingSelection_ = false;
    int d = caretIndex_;
    if (d < selStart_ || d > selStart_ + selLength_) {
        std::string block = SelText();
        if (!block.empty() && block.back() == '\r') {
            --selLength_;
            block = SelText();
        }
        const int blockStart = selStart_;
        ClearSelection();
        if (blockStart < d) {
            d -= Length(block);
        }
        if (CharAt(text_, d) == '\n') {
            --d;
        }
        SetCaretIndex(d);
        ReplaceSelection(block);
        PaintText(d);
        SetCaretIndex(d);
    } else {
        SetSelLength(0);
        SetSelStart(caretIndex_);
        PaintText(-1);
    }
}

void TKelBaseEdit::WMLButtonDblClk(fw::TWMMouse message)
{
    TKelCustomBevelPanel::WMLButtonDblClk(message);
    if (!Enabled()) {
        return;
    }
    BeginUpdate();
    try {
        SelectWordAtCaret();
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
    PaintText(caretIndex_);
}

void TKelBaseEdit::WMRButtonUp(fw::TWMMouse message)
{
    if (!Enabled()) {
        TKelCustomBevelPanel::WMRButtonUp(message);
        return;
    }
    const desktop::POINT screen = ClientToScreen(message.Pos());
    bool handled = false;
    if (OnContextPopup) {
        OnContextPopup(this, screen, handled);
    }
    if (handled || (options_ & eoSuppressDefaultMenu) != 0) {
        return;
    }
    if (PopupMenu() != nullptr) {
        TKelCustomBevelPanel::WMRButtonUp(message);
        return;
    }
    ShowContextMenu(screen);
}

desktop::HMENU TKelBaseEdit::BuildContextMenu()
{
    using namespace desktop;
    HMENU menu = CreatePopupMenu();
    auto add = [menu](UINT id, const std::string& caption, bool enabled) {
        AppendMenu(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, caption);
    };
    const bool hasSelection = selLength_ > 0;
    bool clipboardText = false;
    if (OpenClipboard(WindowHandle())) {
        clipboardText = IsClipboardFormatAvailable(CF_TEXT);
        CloseClipboard();
    }
    add(kmiUndo, fw::SEditUndo, canUndo_);
    AppendMenu(menu, MF_SEPARATOR, 0, std::string());
    add(kmiCut, fw::SEditCut, hasSelection && !readOnly_);
    add(kmiCopy, fw::SEditCopy, hasSelection);
    add(kmiPaste, fw::SEditPaste, clipboardText && !readOnly_);
    add(kmiDelete, fw::SEditDelete, hasSelection);
    AppendMenu(menu, MF_SEPARATOR, 0, std::string());
    add(kmiSelectAll, fw::SEditSelectAll, !text_.empty());
    return menu;
}

void TKelBaseEdit::RunMenuCommand(desktop::UINT id)
{
    switch (id) {
        case kmiUndo: Undo(); break;
        case kmiCut: CutToClipboard(); break;
        case kmiCopy: CopyToClipboard(); break;
        case kmiPaste: PasteFromClipboard(); break;
        case kmiDelete: ClearSelection(); break;
        case kmiSelectAll: SelectAll(); break;
        default: break;
    }
}

void TKelBaseEdit::ShowContextMenu(desktop::POINT screen)
{
    desktop::HMENU menu = BuildContextMenu();
    const int chosen = desktop::TrackPopupMenu(menu, desktop::TPM_RETURNCMD | desktop::TPM_LEFTALIGN, screen.x,
                                               screen.y, 0, WindowHandle(), nullptr);
    desktop::DestroyMenu(menu);
    if (fw::TApplication* app = fw::Application()) {
        app->ProcessMessages();
    }
    RunMenuCommand(static_cast<desktop::UINT>(chosen));
}

}  // namespace numedit
