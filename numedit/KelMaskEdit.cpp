#include "numedit/KelMaskEdit.h"

#include "framework/ClassesBuilder.h"

namespace numedit {

const fw::TClassInfo& TKelMaskEdit::Info()
{
    using C = TKelMaskEdit;
    static const fw::TClassInfo info = fw::ClassBuilder<C, TKelCustomMaskEdit>("TKelMaskEdit")
                                           .Object("CurrencySettings", &C::CurrencySettings)
                                           .Object("DateSettings", &C::DateSettings)
                                           .Integer("Decimals", &C::Decimals, &C::SetDecimals)
                                           .Enum("MaskType",
                                                 {"meInteger", "meWord", "meFloat", "meFloatFixed", "meFloatNumber",
                                                  "meCurrency", "meDate", "meTime", "meMask", "meNone"},
                                                 &C::MaskType, &C::SetMaskType)
                                           .Integer("NumberBase", &C::NumberBase, &C::SetNumberBase)
                                           .Char("BlankChar", &C::BlankChar, &C::SetBlankChar)
                                           .String("Mask", &C::Mask, &C::SetMask)
                                           .String("Suffix", &C::Suffix, &C::SetSuffix)
                                           .Build();
    return info;
}

void RegisterKelMaskEdits() { fw::RegisterClass(TKelMaskEdit::Info()); }

}  // namespace numedit
