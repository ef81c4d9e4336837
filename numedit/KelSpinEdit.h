#pragma once

// TKelSpinEdit: the spin edit with its settings published for form descriptions.

#include "numedit/KelCustomExtSpinEdit.h"

namespace numedit {

class TKelCustomSpinEdit : public TKelCustomExtSpinEdit {
public:
    explicit TKelCustomSpinEdit(fw::TComponent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    int Value() { return GetIntegerProperty(ipValue); }
    void SetValue(int value) { SetIntegerProperty(ipValue, value); }

protected:
    // The legacy "BorderStyle" entry of older descriptions is read, never written.
    void DefineProperties(fw::TFiler& filer) override;
};

class TKelSpinEdit : public TKelCustomSpinEdit {
public:
    using TKelCustomSpinEdit::TKelCustomSpinEdit;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }
};

// Makes the spin edit known to the layout reader.
void RegisterKelSpinEdits();

}  // namespace numedit
