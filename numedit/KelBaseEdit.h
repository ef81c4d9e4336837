#pragma once

// TKelBaseEdit: the single-line editing core of the family's numeric edits. It keeps the
// text (the only copy), the caret index and the selection itself, interprets keys, characters
// and the mouse, and paints everything itself; there is no platform edit window behind it.
// Every change of the text by editing goes through ReplaceSelection, which records undo.
// Positions are 1-based: the caret stands in 1..Length+1, in front of that character.
//
// The virtual operations are the hooks derived edits override; those declared pure here are
// given by TKelCustomEdit (layout, painting and measuring of the displayed text).

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/StdCtrlsTypes.h"
#include "numedit/KelCaret.h"
#include "numedit/KelControls.h"
#include "numedit/KelEditMessages.h"
#include "numedit/KelFont3D.h"
#include "numedit/KelUndo.h"

namespace numedit {

class TKelTimer;

enum TKelEditOption : std::uint8_t { eoNarrowHeight = 1u << 0, eoSuppressDefaultMenu = 1u << 1 };
using TKelEditOptions = std::uint8_t;

enum class TKelCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };

using TKelTextChangeEvent = std::function<void(fw::TObject* sender, int at)>;
using TKelContextPopupEvent = std::function<void(fw::TObject* sender, desktop::POINT mousePos, bool& handled)>;

// Ids of the built-in context menu's items.
enum TKelEditMenuItem : desktop::UINT {
    kmiUndo = 1,
    kmiCut,
    kmiCopy,
    kmiPaste,
    kmiDelete,
    kmiSelectAll,
};

class TKelBaseEdit : public TKelCustomBevelPanel {
public:
    explicit TKelBaseEdit(fw::TComponent* owner);
    ~TKelBaseEdit() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    // ---- Text, caret and selection ----
    // Reading calls TextRequested, which a derived edit may use to bring the text up to date.
    const std::string& Text();
    // Not an edit: no undo, Modified unchanged; cut to MaxLength; caret to 1.
    void SetText(const std::string& value);
    // The text as stored, without TextRequested.
    const std::string& RawText() const { return text_; }
    int CaretIndex() const { return caretIndex_; }
    virtual void SetCaretIndex(int index);
    int PrevCaretIndex() const { return prevCaretIndex_; }
    int SelStart() const { return selStart_; }
    // Stores only.
    void SetSelStart(int value) { selStart_ = value; }
    int SelLength() const { return selLength_; }
    // Stores and repaints; 0 puts SelStart on the caret.
    void SetSelLength(int value);
    // The selected characters that exist.
    std::string SelText() const;

    // ---- Editing ----
    // The one primitive that edits the text.
    virtual void ReplaceSelection(std::string s);
    void ClearSelection() { ReplaceSelection(std::string()); }
    void SelectAll();
    virtual void SelectWordAtCaret();
    void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();
    virtual void ClearAll();
    void Undo();
    void ClearUndo();
    bool CanUndo() const { return canUndo_; }
    const TKelDynLIFOBuffer& UndoStack() const { return undoStack_; }
    // Copies at most size characters of the selection; returns the count.
    virtual int GetSelTextBuf(char* buffer, int size);
    // The key handler; may clear key.
    virtual void EditKey(desktop::WORD& key, fw::TShiftState shift);

    // ---- Properties ----
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value) { maxLength_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Modified() const { return modified_; }
    void SetModified(bool value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value) { hideSelection_ = value; }
    bool OEMConvert() const { return oemConvert_; }
    void SetOEMConvert(bool value) { oemConvert_ = value; }
    bool FocusOnMouseAbove() const { return focusOnMouseAbove_; }
    void SetFocusOnMouseAbove(bool value) { focusOnMouseAbove_ = value; }
    bool TabOnEnter() const { return tabOnEnter_; }
    void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
    bool UseGlobalTimer() const { return useGlobalTimer_; }
    void SetUseGlobalTimer(bool value) { useGlobalTimer_ = value; }
    TKelCharCase CharCase() const { return charCase_; }
    void SetCharCase(TKelCharCase value) { charCase_ = value; }
    TKelEditOptions Options() const { return options_; }
    void SetOptions(TKelEditOptions value);
    fw::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(fw::TAlignment value);
    fw::TColor HighlightText() const { return highlightText_; }
    void SetHighlightText(fw::TColor value);
    fw::TColor HighlightBack() const { return highlightBack_; }
    void SetHighlightBack(fw::TColor value);
    std::bitset<256>& WordDelimiters() { return wordDelimiters_; }
    bool IsDelimiter(char c) const { return wordDelimiters_[static_cast<unsigned char>(c)]; }
    bool SelectAllGoesToEnd() const { return selectAllGoesToEnd_; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int value) { listIndex_ = value; }

    TKelCaret* Caret() { return caret_.get(); }
    TKel3DCaption* Font3D() { return font3D_.get(); }

    // ---- Layout (client coordinates) ----
    const desktop::RECT& FrameRect() const { return frameRect_; }
    const desktop::RECT& EditRect() const { return editRect_; }
    const desktop::RECT& TextRect() const { return textRect_; }
    int ScrollOffset() const { return scrollOffset_; }
    bool SelectionHidden() const { return selectionHidden_; }
    bool DraggingSelection() const { return draggingSelection_; }
    // The off-screen bitmap, present while the edit has the focus.
    fw::TBitmap* Buffer() const { return buffer_.get(); }

    void EndUpdate(bool repaint) override;

    // The built-in context menu with its items enabled as the state allows; the caller
    // destroys it. Item ids are TKelEditMenuItem.
    desktop::HMENU BuildContextMenu();
    // Runs the action of a context-menu item.
    void RunMenuCommand(desktop::UINT id);

    // Takes the modifier bits of a key event into the shared key state.
    static void UpdateKeyState(fw::TShiftState shift);

    // ---- Events ----
    fw::TNotifyEvent OnChange;
    fw::TNotifyEvent OnModified;
    fw::TNotifyEvent OnCursorPosChanged;
    TKelTextChangeEvent OnTextChangedAt;
    TKelContextPopupEvent OnContextPopup;

    // ---- Hooks, in slot order ----
    virtual void UpdateLayout();
    virtual void UpdateLayoutBuffered();
    virtual int LineAtPoint(int y) = 0;
    virtual int CharAtPoint(int x) = 0;
    virtual void AlignmentChanged() {}
    virtual void UpdateCaretPos() = 0;
    virtual bool BackspaceWidensSelection() { return false; }
    virtual void Change();
    virtual void TextAssigned() = 0;
    virtual void TextRequested() = 0;
    virtual void PaintText(int pos) = 0;
    virtual int CharIndexAtX(int x) = 0;
    virtual int TextHeightOf(const std::string& s);
    virtual void CaretMoved();
    virtual void TextChangedAt(int pos);
    virtual void BeforeChange() {}
    virtual void AfterChange() {}
    virtual void BeforeInsert(int /*pos*/, std::string& /*s*/) {}
    virtual void BeforeDelete(int /*pos*/, const std::string& /*s*/) {}
    virtual void PaintBackground(const desktop::RECT& rect);
    virtual bool CanChange(const std::string& s);
    virtual bool ClipboardAllowed() { return true; }
    virtual bool RepaintOnFocusLoss() { return Themed() && Flat(); }
    virtual bool RepaintOnFocusGain() { return false; }
    virtual bool GetModified() { return modified_; }
    virtual bool GetReadOnly() { return readOnly_; }
    virtual void LayoutChanged() {}
    virtual void AdjustEditRect(desktop::RECT& /*rect*/) {}
    virtual desktop::RECT DeflateFrame(const desktop::RECT& frame);

protected:
    std::unique_ptr<desktop::Accessible> CreateAccessible() override;
    void Dispatch(fw::TMessage& message) override;
    void Paint() override;
    void DestroyWnd() override;
    void Loaded() override;
    // Passed on to the caret, which lets go of a freed image list.
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

    void KeyDown(desktop::WORD& key, fw::TShiftState shift) override;
    void KeyUp(desktop::WORD& key, fw::TShiftState shift) override;
    void WMChar(fw::TWMChar message) override;
    void WMSetFocus(fw::TWMSetFocus message) override;
    void WMKillFocus(fw::TWMKillFocus message) override;
    void WMGetDlgCode(fw::TWMNoParams message) override;
    void WMEraseBkgnd(fw::TWMEraseBkgnd message) override;
    void WMSize(fw::TWMSize message) override;
    void WMLButtonDown(fw::TWMMouse message) override;
    void WMLButtonUp(fw::TWMMouse message) override;
    void WMLButtonDblClk(fw::TWMMouse message) override;
    void WMMouseMove(fw::TWMMouse message) override;
    void WMRButtonUp(fw::TWMMouse message) override;
    void CMFontChanged(fw::TWMNoParams message) override;
    void CMEnabledChanged(fw::TWMNoParams message) override;
    void CMMouseEnter(fw::TCMMouseEnter message) override;
    void CMMouseLeave(fw::TCMMouseLeave message) override;
    virtual void WMSetText(fw::TWMSetText message);
    virtual void WMGetText(fw::TWMGetText message);
    // The EM_ messages; true when message was one of them.
    virtual bool EditMessage(fw::TMessage& message);

    // Runs the built-in context menu at a screen point and carries out the choice.
    virtual void ShowContextMenu(desktop::POINT screen);
    void TrackMouse();

    // The canvas text is measured on: a memory DC with the edit's font, usable without window.
    fw::TCanvas& MeasureCanvas();
    // Where the text is painted now: the off-screen bitmap while focused, else the window.
    fw::TCanvas& PaintCanvas();
    bool CanPaint() const;

    void SetScrollOffset(int value) { scrollOffset_ = value; }
    void SetSelectAllGoesToEnd(bool value) { selectAllGoesToEnd_ = value; }
    void SetTypingChar(bool value) { typingChar_ = value; }
    int LastMouseX() const { return lastMouseX_; }
    bool LeftButtonDown() const { return leftButtonDown_; }

private:
    void UpdateSelection();
    void LayOut();
    void MoveToLineEnd();
    void WordLeft();
    // Walks back from the caret over at most one delimiter and then to the delimiter before
    // the word; word-left and word selection both start from where it stops.
    int WordScanBack() const;
    void WordRight();
    void FreeMouseTimer();
    void FinishDrag();
    void MouseTimerTick();

    int lastMouseX_ = 0;
    std::unique_ptr<TKelCaret> caret_;
    bool tabOnEnter_ = false;
    bool undoing_ = false;
    bool canUndo_ = true;
    TKelEditOptions options_ = 0;
    fw::TAlignment alignment_ = fw::TAlignment::taLeftJustify;
    std::unique_ptr<TKel3DCaption> font3D_;
    fw::TCursor savedCursor_ = fw::crDefault;
    TKelTimer* mouseTimer_ = nullptr;  // owned as a component of the edit
    int prevCaretIndex_ = 1;
    int maxLength_ = 0;
    int selLength_ = 0;
    TKelDynLIFOBuffer undoStack_;
    fw::TColor highlightText_ = fw::clHighlightText;
    fw::TColor highlightBack_ = fw::clHighlight;
    bool draggingSelection_ = false;
    bool leftButtonDown_ = false;
    bool focusOnMouseAbove_ = false;
    bool oemConvert_ = false;
    bool autoSelect_ = false;
    bool modified_ = false;
    bool readOnly_ = false;
    bool typingChar_ = false;
    bool hideSelection_ = true;
    std::bitset<256> wordDelimiters_;
    TKelCharCase charCase_ = TKelCharCase::ecNormal;
    bool useGlobalTimer_ = false;
    std::unique_ptr<fw::TBitmap> buffer_;
    std::string text_;
    bool selectAllGoesToEnd_ = false;
    bool extendingByMouse_ = false;
    bool selectionHidden_ = true;
    desktop::RECT frameRect_{};
    desktop::RECT editRect_{};
    desktop::RECT textRect_{};
    int caretIndex_ = 1;
    int selStart_ = 1;
    int scrollOffset_ = 0;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    std::unique_ptr<fw::TCanvas> measure_;
    desktop::HDC measureDc_ = nullptr;
};

}  // namespace numedit
