#pragma once

// TCustomMemo / TMemo: the multi-line "EDIT" window. Lines is a string list bound to the
// window text (lines separated by CR LF); layouts store it as "Lines.Strings".

#include <memory>
#include <string>

#include "framework/ClassesLists.h"
#include "framework/StdCtrlsEdit.h"

namespace fw {

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TStrings* Lines() { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(value); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // Enter breaks the line (when not read-only); without it Enter goes to the form.
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value);
    // Tab types a tab; without it Tab moves the focus out of the memo.
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    // Long lines wrap at the memo's width (no horizontal scrolling).
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void WMGetDlgCode(TWMNoParams message) override;
    void KeyPress(char& key) override;

private:
    std::unique_ptr<TStrings> lines_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool wordWrap_ = true;
};

// Publishes Alignment, Lines, ScrollBars, WantReturns, WantTabs, WordWrap besides the edit's
// properties (AutoSize is off for a memo).
class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
};

}  // namespace fw
