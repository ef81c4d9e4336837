#include "numedit/KelApplication.h"

#include "framework/ClassesBuilder.h"

namespace numedit {

const fw::TClassInfo& TKelApplication::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TKelApplication, fw::TComponent>("TKelApplication").Build();
    return info;
}

void TKelApplication::SetKeyState(std::uint8_t value)
{
    if (value == keyState_) {
        return;
    }
    keyState_ = value;
    if (OnKeyStateChange) {
        OnKeyStateChange(this);
    }
}

void TKelApplication::SetModifiers(fw::TShiftState shift)
{
    unsigned state = keyState_ & ~unsigned{kKelModifierBits};
    if (shift & fw::ssShift) {
        state |= ksShift;
    }
    if (shift & fw::ssCtrl) {
        state |= ksCtrl;
    }
    if (shift & fw::ssAlt) {
        state |= ksAlt;
    }
    SetKeyState(static_cast<std::uint8_t>(state));
}

TKelApplication& KelApplication()
{
    // Never destroyed: edits torn down at exit may still ask for it.
    static TKelApplication* const instance = new TKelApplication();
    return *instance;
}

}  // namespace numedit
