#pragma once

// TKelMaskEdit: the mask edit with its settings published for form descriptions.

#include "numedit/KelCustomMaskEdit.h"

namespace numedit {

class TKelMaskEdit : public TKelCustomMaskEdit {
public:
    using TKelCustomMaskEdit::TKelCustomMaskEdit;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }
};

// Makes the mask edit known to the layout reader.
void RegisterKelMaskEdits();

}  // namespace numedit
