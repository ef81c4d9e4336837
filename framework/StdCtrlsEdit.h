#pragma once

// TCustomEdit / TEdit: the desktop layer's single-line "EDIT" window. With AutoSize and a
// single border the height follows the font: its character height plus 8 system border
// heights with the 3D look (6 without), 21 pixels for the 8-point window font.

#include <string>

#include "framework/ControlsWinControl.h"
#include "framework/StdCtrlsTypes.h"

namespace fw {

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    // The sunken client edge instead of a plain border line.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    bool Modified();
    void SetModified(bool value);
    void SetAutoSize(bool value) override;

    // Selection, in characters from 0; these create the window when there is none yet.
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    std::string SelText();
    void SetSelText(const std::string& value);
    void SelectAll();
    void Clear() { SetText(""); }
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanUndo();
    void Undo();

    TNotifyEvent OnChange;

protected:
    // Fires OnChange; the edit calls it after every change of its text.
    virtual void Change();
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    void CNCommand(TWMCommand message) override;
    void CMEnter(TWMNoParams message) override;
    void CMFontChanged(TWMNoParams message) override;
    // Applies the fixed height when AutoSize and a single border ask for it.
    void UpdateHeight();
    // True while the window is being made (the desktop edit's own notifications are ignored).
    bool Creating() const { return creating_; }

private:
    void AdjustHeight();

    bool autoSelect_ = true;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool ctl3D_ = true;
    bool hideSelection_ = true;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = '\0';
    bool modified_ = false;  // kept while the window is recreated
    bool creating_ = false;
};

// Publishes AutoSelect, AutoSize, BorderStyle, CharCase, Ctl3D, HideSelection, MaxLength,
// PasswordChar, ReadOnly, OnChange.
class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
};

}  // namespace fw
