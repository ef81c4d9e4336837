#pragma once

// TKelSpinButton: the windowless up/down button of a spin edit. A press on a half steps once
// at once; holding it repeats on a timer, first after Interval + 200 ms, then every Interval.
// By default the square is split along its diagonal: the upper-left triangle is the up half.

#include <array>
#include <cstdint>
#include <memory>

#include "desktop/GdiTypes.h"
#include "framework/Graphics.h"
#include "numedit/KelBevel.h"
#include "numedit/KelControls.h"

namespace numedit {

class TKelTimer;

enum class TKelSpinHalf : std::uint8_t { shUp, shDown };
enum TKelSpinState : std::uint8_t { ssNormal, ssHot, ssPressed, ssDisabled };

// Draws the family's arrow of size 2..15 with its box's top-left corner at (x, y): pointing up,
// size rows of widths 1, 3, 5 ...; pointing down, size - 1 rows of widths 2 size - 1,
// 2 size - 3 ... and a final apex pixel.
void DrawKelArrow(fw::TCanvas& canvas, int x, int y, int size, bool up, fw::TColor color);

class TKelSpinButton : public TKelGraphicControl {
public:
    explicit TKelSpinButton(fw::TComponent* owner);
    ~TKelSpinButton() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    bool Diagonal() const { return diagonal_; }
    void SetDiagonal(bool value);
    std::uint16_t Interval() const { return interval_; }
    void SetInterval(std::uint16_t value) { interval_ = value; }
    fw::TColor HotColor() const { return hotColor_; }
    void SetHotColor(fw::TColor value);
    bool HasDownHalf() const { return hasDown_; }
    void SetHasDownHalf(bool value);
    TKelSpinState State(TKelSpinHalf half) const { return states_[static_cast<std::size_t>(half)]; }
    TKelTimer* RepeatTimer() const { return timer_; }
    // Copied from the spin edit: themed drawing when the platform has visual styles.
    bool CtlXP() const { return ctlXP_; }
    void SetCtlXP(bool value);
    bool Themed() const;
    // Whether the halves are rectangles (themed drawing or no diagonal split).
    bool Rectangular() const;
    // The spin edit's word that the pointer is over none of the halves.
    void PointerElsewhere() { MouseMove(0, -1, -1); }

    fw::TNotifyEvent OnUpClick;
    fw::TNotifyEvent OnDownClick;

protected:
    void Paint() override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void CMEnabledChanged(fw::TWMNoParams message) override;

private:
    // Rebuilds the hit-test regions (parent coordinates) from the current size.
    void BuildRegions();
    void FreeRegions();
    // Recomputes one half's state for a mouse event; true when it changed.
    bool UpdateState(TKelSpinHalf half, fw::TShiftState shift, int x, int y);
    void DrawPicture(fw::TCanvas& canvas, TKelSpinHalf half, TKelSpinState state, int w, int h);
    void Tick();

    TKelTimer* timer_ = nullptr;  // owned as a component of the button
    std::unique_ptr<fw::TBitmap> strip_;
    bool diagonal_ = true;
    bool ctlXP_ = false;
    bool hasDown_ = false;
    std::array<TKelSpinState, 2> states_{ssNormal, ssNormal};
    TKelBorderStyle raisedStyle_ = TKelBorderStyle::lsSingleRaised;
    std::uint16_t interval_ = 100;
    std::array<desktop::HRGN, 2> regions_{nullptr, nullptr};
    fw::TColor hotColor_ = 0x808000;
};

}  // namespace numedit
