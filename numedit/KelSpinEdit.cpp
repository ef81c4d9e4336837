#include "numedit/KelSpinEdit.h"

#include "framework/ClassesBuilder.h"
#include "framework/ClassesReader.h"

namespace numedit {

TKelCustomSpinEdit::TKelCustomSpinEdit(fw::TComponent* owner) : TKelCustomExtSpinEdit(owner)
{
    SetAutoSize(true);
    SetAutoSelect(true);
}

const fw::TClassInfo& TKelCustomSpinEdit::Info()
{
    static const fw::TClassInfo info =
        fw::ClassBuilder<TKelCustomSpinEdit, TKelCustomExtSpinEdit>("TKelCustomSpinEdit").Build();
    return info;
}

void TKelCustomSpinEdit::DefineProperties(fw::TFiler& filer)
{
    TKelCustomExtSpinEdit::DefineProperties(filer);
    filer.DefineProperty(
        "BorderStyle",
        [this](fw::TReader& reader) {
            if (reader.ReadIdent() == "bsSingle") {
                Bevel()->SetMode(TKelBevelMode::bmWindows);
            } else {
                Bevel()->SetStandardStyle(TKelBorderStyle::lsNone);
                Bevel()->SetMode(TKelBevelMode::bmStandard);
            }
        },
        false);
}

const fw::TClassInfo& TKelSpinEdit::Info()
{
    using C = TKelSpinEdit;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelCustomSpinEdit>("TKelSpinEdit")
            .Integer(
                "Value", [](C* c) { return c->Value(); }, [](C* c, int v) { c->SetValue(v); })
            .Build();
    return info;
}

void RegisterKelSpinEdits() { fw::RegisterClass(TKelSpinEdit::Info()); }

}  // namespace numedit
