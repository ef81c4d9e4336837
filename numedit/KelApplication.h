#pragma once

// TKelApplication: what the family's edits share across the process — the key-state byte
// with the insert/overwrite mode, and the platform facts they draw by.

#include <cstdint>

#include "framework/ClassesComponent.h"
#include "framework/ControlsTypes.h"

namespace numedit {

// Bits of the key-state byte.
enum TKelKeyStateBit : std::uint8_t {
    ksInsert = 1u << 0,  // set: typing inserts; clear: typing overwrites
    ksShift = 1u << 1,
    ksCtrl = 1u << 2,
    ksAlt = 1u << 3,
};
inline constexpr std::uint8_t kKelModifierBits = ksShift | ksCtrl | ksAlt;

class TKelApplication : public fw::TComponent {
public:
    TKelApplication() : fw::TComponent(nullptr) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    std::uint8_t KeyState() const { return keyState_; }
    // Fires OnKeyStateChange when the byte changes.
    void SetKeyState(std::uint8_t value);
    bool InsertMode() const { return (keyState_ & ksInsert) != 0; }
    void ToggleInsertMode() { SetKeyState(keyState_ ^ ksInsert); }
    // Takes the Shift, Ctrl and Alt bits from a key event; the insert mode stays.
    void SetModifiers(fw::TShiftState shift);

    fw::TNotifyEvent OnKeyStateChange;

private:
    std::uint8_t keyState_ = ksInsert;
};

// The process's one instance, made on first use; GUI thread only.
TKelApplication& KelApplication();

// Platform facts: windows have the 3D client edge; visual styles are never active here, so
// every control takes its non-themed look.
inline constexpr bool NewStyleControls() { return true; }
inline constexpr bool ThemesActive() { return false; }

}  // namespace numedit
