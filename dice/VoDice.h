#pragma once

// TVoDice: a self-painting die showing one face of a cube; Roll draws a new face that always
// differs from the current one, and Rotate animates it by rolling on a threaded timer.

#include <array>
#include <cstdint>
#include <memory>

#include "framework/Controls.h"
#include "framework/Graphics.h"

namespace dice {

class TVoTimer;

// 1..6; the setter does not check, out-of-range values are ignored (there is no face for them).
using TVoDiceValue = std::uint8_t;

// The cursor numbers the family registers with the screen.
inline constexpr int crVoHand = 14000;
inline constexpr int crVoDrag = 14001;

class TVoDice : public fw::TCustomControl {
public:
    explicit TVoDice(fw::TComponent* owner);
    ~TVoDice() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    // Draws a face other than the current one and shows it.
    void Roll();

    TVoDiceValue Value() const { return value_; }
    void SetValue(TVoDiceValue value);
    // Applies the size rule at once and repaints.
    void SetAutoSize(bool value) override;
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value);

    // ---- Rotation ----
    bool Rotate() const { return rotate_; }
    // On: starts rolling every Interval milliseconds. Off: the next tick rolls once more,
    // then the rotation ends with OnStop.
    void SetRotate(bool value);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    // 0: rotate until told to stop; otherwise stop requesting after this many milliseconds.
    std::uint32_t AutoStopInterval() const { return autoStopInterval_; }
    void SetAutoStopInterval(std::uint32_t value) { autoStopInterval_ = value; }
    // Present only while rotating or stopping.
    TVoTimer* AnimationTimer() const { return timer_; }

    // The face picture, for the palette query; null only before the first face loaded.
    fw::TBitmap* Face() const { return face_; }

    fw::TNotifyEvent OnChange;
    fw::TNotifyEvent OnStart;
    fw::TNotifyEvent OnStop;

    // The size rule: nothing while the layout is read; the face plus a 1-pixel margin with
    // AutoSize, else the largest square that fits the current bounds.
    void AdjustSize() override;

protected:
    // An image whose description names the face it shows and whose value is that face.
    std::unique_ptr<desktop::Accessible> CreateAccessible() override;
    void Paint() override;
    void CMFocusChanged(fw::TCMFocusChanged message) override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;

    virtual void Change();
    virtual void Start();
    virtual void Stop();

private:
    void LoadFace();
    void AnimationTick();
    void FreeTimer();

    bool hasFocus_ = false;
    // Each face is loaded on its first showing and kept: a run of rolls only switches pictures.
    std::array<std::unique_ptr<fw::TBitmap>, 7> faces_;  // by value; entry 0 stands for no face
    fw::TBitmap* face_ = nullptr;
    std::uint32_t interval_ = 60;
    std::uint32_t autoStopInterval_ = 0;
    bool rotate_ = false;
    bool showFocus_ = false;
    TVoTimer* timer_ = nullptr;  // owned as a component of the die
    std::uint32_t rotationStart_ = 0;
    TVoDiceValue value_ = 1;
};

// Makes TVoDice known to the layout reader.
void RegisterVoDice();
// Puts the family's two cursors into the screen's cursor table as crVoHand and crVoDrag;
// needs the screen object (does nothing without one).
void RegisterVoDiceCursors();
// The family's start-up: resources, class registration and cursors. Call once the
// application object exists.
void VoDiceInit();

}  // namespace dice
