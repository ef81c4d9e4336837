#pragma once

// TCustomLabel / TLabel: a caption drawn by the program itself on its parent's window. It has
// no window, so it never takes the focus; an accelerator in its caption focuses FocusControl.

#include <string>

#include "framework/ControlsCustom.h"
#include "framework/StdCtrlsTypes.h"

namespace fw {

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);
    ~TCustomLabel() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* value);

    // Sizes the label to its caption (single line, or wrapped at the current width); the left
    // edge stays, the right edge for right-justified labels. Nothing happens while loading.
    void AdjustSize() override;

protected:
    // The text to draw: the caption.
    virtual std::string GetLabelText();
    // Draws the caption on dc (font selected) into rect with the label's flags added to flags;
    // with DT_CALCRECT it only measures and returns the extent in rect.
    virtual void DoDrawText(desktop::HDC dc, desktop::RECT& rect, desktop::UINT flags);
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CMTextChanged(TWMNoParams message) override;
    void CMFontChanged(TWMNoParams message) override;
    void CMDialogChar(TCMDialogChar message) override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

// Publishes Alignment, AutoSize, FocusControl, Layout, ShowAccelChar, Transparent, WordWrap
// besides what every control publishes.
class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
};

}  // namespace fw
