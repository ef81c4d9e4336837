#include "dice/VoDice.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "desktop/Cursors.h"
#include "desktop/System.h"
#include "dice/RandomSource.h"
#include "dice/VoTimer.h"
#include "framework/ClassesBuilder.h"
#include "framework/ControlsAccessible.h"
#include "framework/Forms.h"
#include "resources/DiceResources.h"

namespace dice {

namespace {

constexpr int kFaces = 6;
// Entry 0 stands for no face.
constexpr std::array<const char*, kFaces + 1> kFaceNames = {nullptr, "DICE1", "DICE2", "DICE3",
                                                            "DICE4", "DICE5", "DICE6"};

bool HasFace(TVoDiceValue value) { return value >= 1 && value <= kFaces; }

// Out of line: a roll reaches it only the first time a face shows, so showing a face already
// loaded costs a look-up and no more.
[[gnu::noinline]] void LoadFacePicture(std::unique_ptr<fw::TBitmap>& slot, TVoDiceValue value)
{
    auto face = std::make_unique<fw::TBitmap>();
    face->LoadFromResourceName(kFaceNames[value]);
    slot = std::move(face);
}

}  // namespace

TVoDice::TVoDice(fw::TComponent* owner) : fw::TCustomControl(owner)
{
    SeedFromClock();
    SetControlStyle(fw::DefaultControlStyle | fw::csOpaque);
    resources::RegisterDiceResources();
    LoadFace();
    fw::TControl::SetAutoSize(true);
    SetBounds(Left(), Top(), face_->Width() + 2, face_->Height() + 2);
}

TVoDice::~TVoDice()
{
    OnChange = nullptr;
    face_ = nullptr;
    // The animation timer goes with the other owned components, without OnStop.
}

const fw::TClassInfo& TVoDice::Info()
{
    static const fw::TClassInfo info =
        fw::ClassBuilder<TVoDice, fw::TCustomControl>("TVoDice")
            .Boolean(
                "AutoSize", [](TVoDice* d) { return d->AutoSize(); }, &TVoDice::SetAutoSize)
            .Integer("AutoStopInterval", &TVoDice::AutoStopInterval, &TVoDice::SetAutoStopInterval)
            .Integer("Interval", &TVoDice::Interval, &TVoDice::SetInterval)
            .Boolean("Rotate", &TVoDice::Rotate, &TVoDice::SetRotate)
            .Boolean("ShowFocus", &TVoDice::ShowFocus, &TVoDice::SetShowFocus)
            .Integer("Value", &TVoDice::Value, &TVoDice::SetValue)
            .Event("OnChange", [](TVoDice* d, fw::TNotifyEvent e) { d->OnChange = std::move(e); })
            .Event("OnStart", [](TVoDice* d, fw::TNotifyEvent e) { d->OnStart = std::move(e); })
            .Event("OnStop", [](TVoDice* d, fw::TNotifyEvent e) { d->OnStop = std::move(e); })
            .Build();
    return info;
}

void TVoDice::Roll()
{
    auto value = static_cast<TVoDiceValue>(RandomBelow(kFaces) + 1);
    // Never the same face twice: a drawn repeat becomes its neighbour below (2 for a 1).
    if (value == value_) {
        value = value == 1 ? 2 : value - 1;
    }
    SetValue(value);
}

void TVoDice::SetValue(TVoDiceValue value)
{
    if (value == value_ || !HasFace(value)) {
        return;
    }
    value_ = value;
    LoadFace();
    Invalidate();
    RaiseAccessibleEvent(desktop::AccEvent::DescriptionChanged);
    RaiseAccessibleEvent(desktop::AccEvent::ValueChanged);
    Change();
}

namespace {

class TVoDiceAccessible : public fw::TControlAccessible {
public:
    explicit TVoDiceAccessible(TVoDice* die) : fw::TControlAccessible(die), die_(die) {}

    desktop::AccRole Role() override { return desktop::AccRole::Image; }
    std::string Description() override { return "cara " + std::to_string(die_->Value()); }
    std::optional<desktop::AccValue> Value() override
    {
        return desktop::AccValue{static_cast<double>(die_->Value()), 1, kFaces, 1};
    }
    std::vector<std::string> Actions() override { return {}; }
    bool DoAction(int) override { return false; }

protected:
    std::string DefaultName() override { return {}; }

private:
    TVoDice* die_;
};

}  // namespace

std::unique_ptr<desktop::Accessible> TVoDice::CreateAccessible() { return std::make_unique<TVoDiceAccessible>(this); }

void TVoDice::LoadFace()
{
    std::unique_ptr<fw::TBitmap>& slot = faces_[value_];
    if (!slot) [[unlikely]] {
        LoadFacePicture(slot, value_);
    }
    face_ = slot.get();
}

void TVoDice::SetAutoSize(bool value)
{
    if (value == AutoSize()) {
        return;
    }
    fw::TControl::SetAutoSize(value);
    if (!value) {
        AdjustSize();  // the base applies the rule only when switching on
    }
    Invalidate();
}

void TVoDice::AdjustSize()
{
    if (IsLoading()) {
        return;
    }
    if (AutoSize() && face_ && face_->Width() > 0 && face_->Height() > 0) {
        SetBounds(Left(), Top(), face_->Width() + 2, face_->Height() + 2);
    } else {
        const int side = std::min(Width(), Height());
        SetBounds(Left(), Top(), side, side);
    }
}

void TVoDice::SetShowFocus(bool value)
{
    if (value != showFocus_) {
        showFocus_ = value;
        Invalidate();
    }
}

void TVoDice::Paint()
{
    desktop::RECT r = ClientRect();
    if (face_) {
        const int w = face_->Width();
        const int h = face_->Height();
        const auto temp = std::make_unique<fw::TBitmap>();
        temp->SetSize(w, h);
        temp->Canvas()->Brush()->SetColor(Brush()->GetColor());
        const desktop::RECT all{0, 0, w, h};
        fw::BrushCopy(*temp->Canvas(), all, *face_, all, face_->TransparentColor());
        r = desktop::InflateRectBy(r, -1, -1);
        Canvas()->StretchDraw(r, temp.get());
    }
    if (hasFocus_ && showFocus_ && TabStop()) {
        Canvas()->DrawFocusRect(r);
    }
}

void TVoDice::CMFocusChanged(fw::TCMFocusChanged message)
{
    const bool focused = message.Sender() == this;
    if (focused != hasFocus_) {
        hasFocus_ = focused;
        if (showFocus_) {
            Invalidate();
        }
    }
    fw::TCustomControl::CMFocusChanged(message);
}

void TVoDice::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y)
{
    if (button == fw::TMouseButton::mbLeft && TabStop() && CanFocus()) {
        SetFocus();
    }
    fw::TCustomControl::MouseDown(button, shift, x, y);
}

void TVoDice::Change()
{
    if (OnChange) {
        OnChange(this);
    }
}

void TVoDice::Start()
{
    if (OnStart) {
        OnStart(this);
    }
}

void TVoDice::Stop()
{
    if (OnStop) {
        OnStop(this);
    }
}

// ---- Rotation ----

void TVoDice::SetRotate(bool value)
{
    if (value == rotate_) {
        return;
    }
    if (!value) {
        rotate_ = false;  // the next tick rolls once more and ends the rotation
        return;
    }
    if (timer_ == nullptr) {
        timer_ = new TVoTimer(this);
    }
    try {
        timer_->SetOnTimer([this](fw::TObject*) { AnimationTick(); });
        timer_->SetInterval(interval_);
        timer_->SetEnabled(true);
        rotate_ = true;
        rotationStart_ = desktop::GetTickCount();
        Start();
    } catch (...) {
        // Without a timer there is no rotation, so the die does not claim one.
        rotate_ = false;
        FreeTimer();
        throw;
    }
}

void TVoDice::SetInterval(std::uint32_t value)
{
    interval_ = value;
    if (timer_ != nullptr) {
        timer_->SetInterval(value);
    }
}

void TVoDice::AnimationTick()
{
    Roll();
    if (!rotate_) {
        // Safe from inside the tick: the worker waits for this call before it looks again.
        FreeTimer();
        Stop();
        return;
    }
    if (autoStopInterval_ != 0) {
        const std::uint32_t now = desktop::GetTickCount();
        const auto elapsed = static_cast<std::int32_t>(now - rotationStart_);
        const bool wrapped = static_cast<std::int32_t>(now) < static_cast<std::int32_t>(rotationStart_);
        if (elapsed >= static_cast<std::int32_t>(autoStopInterval_) || wrapped) {
            rotate_ = false;
        }
    }
}

void TVoDice::FreeTimer() { delete std::exchange(timer_, nullptr); }

// ---- Family start-up ----

void RegisterVoDice() { fw::RegisterClass(TVoDice::Info()); }

void RegisterVoDiceCursors()
{
    fw::TScreen* screen = fw::Screen();
    if (screen == nullptr) {
        return;
    }
    resources::RegisterDiceResources();
    screen->RegisterCursor(crVoHand, desktop::LoadCursorFromResource("VO_HANDCUR"));
    screen->RegisterCursor(crVoDrag, desktop::LoadCursorFromResource("VO_DRAGCUR"));
}

void VoDiceInit()
{
    resources::RegisterDiceResources();
    RegisterVoDice();
    RegisterVoDiceCursors();
}

}  // namespace dice
