#pragma once

// TKelCustomEdit: the engine edit with its layout and painting. It measures and draws a
// display text (the text itself, or the password character repeated), scrolls it so that the
// caret stays inside the text rectangle, and paints into an off-screen bitmap while focused.
//
// Prefix widths of the display text are measured once per text, font and tracing and kept,
// so that painting and caret placement cost time linear in the text's length.

#include <vector>

#include "numedit/KelBaseEdit.h"
#include "numedit/KelCustomButtons.h"

namespace numedit {

using TKelOnBtnClick = std::function<void(fw::TObject* sender, TKelSpecialButton* button, int index)>;

class TKelCustomEdit : public TKelBaseEdit {
public:
    explicit TKelCustomEdit(fw::TComponent* owner);
    ~TKelCustomEdit() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    // Code 0: none. Set through EM_SETPASSWORDCHAR.
    char PasswordChar() const { return passwordChar_; }
    const std::string& DisplayText() const { return displayText_; }
    void SetAutoSize(bool value) override;
    TKelSpecialButtons* CustomButtons() { return customButtons_.get(); }
    int CustomButtonWidth() const { return customButtonWidth_; }
    void SetCustomButtonWidth(int value);
    TKelUserButtonStyle CustomButtonsStyle() const { return customButtonsStyle_; }
    virtual void SetCustomButtonsStyle(TKelUserButtonStyle style);
    bool CustomButtonParentCtlXP() const { return customButtonParentCtlXP_; }
    void SetCustomButtonParentCtlXP(bool value) { customButtonParentCtlXP_ = value; }

    // Width in pixels of the first count characters of the display text (count clamped).
    int PrefixWidth(int count);
    // The x at which the display text starts inside r, by alignment.
    int TextOrigin(const desktop::RECT& r);

    TKelOnBtnClick OnBtnClick;

    // ---- Hooks ----
    int LineAtPoint(int) override { return 0; }
    int CharAtPoint(int) override { return 0; }
    void UpdateCaretPos() override;
    void TextAssigned() override;
    void TextRequested() override {}
    void PaintText(int pos) override;
    int CharIndexAtX(int x) override;
    void TextChangedAt(int pos) override;
    bool ClipboardAllowed() override { return passwordChar_ == '\0'; }
    void AdjustEditRect(desktop::RECT& rect) override;
    void EditKey(desktop::WORD& key, fw::TShiftState shift) override;

    virtual void BuildDisplayText(std::string& s);
    virtual void ApplyFontAndAutoSize();
    virtual void ButtonClick(TKelSpecialButton* button, int index);
    virtual void PaintExtra(fw::TCanvas& /*canvas*/, const desktop::RECT& /*rect*/) {}

protected:
    void Paint() override;
    void Loaded() override;
    void CMFontChanged(fw::TWMNoParams message) override;
    bool EditMessage(fw::TMessage& message) override;

private:
    struct VisiblePart {
        int left;  // where text starts
        std::string text;
    };
    VisiblePart VisibleText(int origin, const desktop::RECT& clip);
    void InvalidateWidths() { widthsValid_ = false; }
    void DrawTextIn(fw::TCanvas& canvas, const std::string& s, desktop::RECT r, fw::TColor color);

    char passwordChar_ = '\0';
    std::string displayText_;
    std::unique_ptr<TKelSpecialButtons> customButtons_;
    int customButtonWidth_ = 16;
    TKelUserButtonStyle customButtonsStyle_ = TKelUserButtonStyle::ubsIntegrated;
    bool customButtonParentCtlXP_ = false;
    // widths_[i]: width of the first i characters of displayText_.
    std::vector<int> widths_;
    bool widthsValid_ = false;
    int widthsTracing_ = 0;
};

void RegisterKelEdits();

}  // namespace numedit
