#include "numedit/KelSpinButton.h"

#include <algorithm>
#include <cmath>

#include "desktop/Gdi.h"
#include "desktop/Region.h"
#include "framework/ClassesBuilder.h"
#include "numedit/KelApplication.h"
#include "numedit/KelTimer.h"

namespace numedit {

namespace {

constexpr int kArrowSize = 3;  // at 96 pixels per inch
constexpr std::uint32_t kFirstRepeatDelay = 200;

std::size_t Index(TKelSpinHalf half) { return static_cast<std::size_t>(half); }

// The arrow grows with the screen's resolution, as the system's metrics do, so that it keeps
// its size beside text the layout scaled.
int ArrowSize()
{
    const double scale = desktop::GetDisplayPixelsPerInch() / double(desktop::kDefaultPixelsPerInch);
    return static_cast<int>(std::lround(kArrowSize * scale));
}

// Half-way values go to the even neighbour.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

void Line(fw::TCanvas& canvas, int x0, int y0, int x1, int y1, fw::TColor color)
{
    canvas.Pen()->SetColor(color);
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

}  // namespace

void DrawKelArrow(fw::TCanvas& canvas, int x, int y, int size, bool up, fw::TColor color)
{
    size = std::clamp(size, 2, 15);
    const int mid = x + size - 1;
    canvas.Pen()->SetColor(color);
    if (up) {
        for (int row = 0; row < size; ++row) {
            canvas.MoveTo(mid - row, y + row);
            canvas.LineTo(mid + row + 1, y + row);
        }
        return;
    }
    for (int row = 0; row < size - 1; ++row) {
        const int half = size - 1 - row;
        canvas.MoveTo(mid - half, y + row);
        canvas.LineTo(mid + half + 1, y + row);
    }
    canvas.MoveTo(mid, y + size - 1);
    canvas.LineTo(mid + 1, y + size - 1);
}

TKelSpinButton::TKelSpinButton(fw::TComponent* owner)
    : TKelGraphicControl(owner), strip_(std::make_unique<fw::TBitmap>())
{
    SetBounds(Left(), Top(), 20, 20);
}

TKelSpinButton::~TKelSpinButton()
{
    FreeRegions();
    if (timer_ != nullptr) {
        timer_->SetEnabled(false);
    }
}

const fw::TClassInfo& TKelSpinButton::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TKelSpinButton, TKelGraphicControl>("TKelSpinButton").Build();
    return info;
}

bool TKelSpinButton::Themed() const { return ThemesActive() && ctlXP_; }

bool TKelSpinButton::Rectangular() const { return Themed() || !diagonal_; }

void TKelSpinButton::SetCtlXP(bool value)
{
    if (value != ctlXP_) {
        ctlXP_ = value;
        Invalidate();
    }
}

void TKelSpinButton::SetDiagonal(bool value)
{
    if (value != diagonal_) {
        diagonal_ = value;
        Invalidate();
    }
}

void TKelSpinButton::SetHotColor(fw::TColor value)
{
    if (value != hotColor_) {
        hotColor_ = value;
        Invalidate();
    }
}

void TKelSpinButton::SetHasDownHalf(bool value)
{
    hasDown_ = value;
    Invalidate();
}

// ---- Geometry ----

void TKelSpinButton::FreeRegions()
{
    for (desktop::HRGN& region : regions_) {
        if (region != nullptr) {
            desktop::DeleteObject(region);
            region = nullptr;
        }
    }
}

void TKelSpinButton::BuildRegions()
{
    FreeRegions();
    const int w = Width();
    const int h = Height();
    if (Rectangular()) {
        regions_[0] = desktop::CreateRectRgn(0, 0, w, h / 2);
        regions_[1] = desktop::CreateRectRgn(0, h / 2, w, h);
    } else {
        const desktop::POINT up[3] = {{0, h}, {w, 0}, {0, 0}};
        const desktop::POINT down[3] = {{0, h}, {w, h}, {w, 0}};
        regions_[0] = desktop::CreatePolygonRgn(up, 3, desktop::ALTERNATE);
        regions_[1] = desktop::CreatePolygonRgn(down, 3, desktop::ALTERNATE);
    }
    for (desktop::HRGN region : regions_) {
        desktop::OffsetRgn(region, Left(), Top());
    }
}

bool TKelSpinButton::UpdateState(TKelSpinHalf half, fw::TShiftState shift, int x, int y)
{
    TKelSpinState& state = states_[Index(half)];
    const TKelSpinState old = state;
    const desktop::HRGN region = regions_[Index(half)];
    if (!Enabled()) {
        state = ssDisabled;
    } else if (region != nullptr) {
        if (desktop::PtInRegion(region, x + Left(), y + Top())) {
            state = (shift & fw::ssLeft) != 0 ? ssPressed : ssHot;
        } else {
            state = ssNormal;
        }
    }
    return state != old;
}

// ---- Mouse ----

void TKelSpinButton::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y)
{
    TKelGraphicControl::MouseDown(button, shift, x, y);
    if (button != fw::TMouseButton::mbLeft || !Enabled()) {
        return;
    }
    if (UpdateState(TKelSpinHalf::shUp, shift, x, y) && OnUpClick) {
        OnUpClick(this);
    }
    if (hasDown_ && UpdateState(TKelSpinHalf::shDown, shift, x, y) && OnDownClick) {
        OnDownClick(this);
    }
    if (timer_ == nullptr) {
        timer_ = new TKelTimer(this);
        timer_->SetOnTimer([this](fw::TObject*) { Tick(); });
    }
    timer_->SetInterval(interval_ + kFirstRepeatDelay);
    timer_->SetEnabled(true);
    Invalidate();
}

void TKelSpinButton::MouseMove(fw::TShiftState shift, int x, int y)
{
    TKelGraphicControl::MouseMove(shift, x, y);
    const bool upChanged = UpdateState(TKelSpinHalf::shUp, shift, x, y);
    const bool downChanged = hasDown_ && UpdateState(TKelSpinHalf::shDown, shift, x, y);
    if (upChanged || downChanged) {
        Invalidate();
    }
}

void TKelSpinButton::Tick()
{
    timer_->SetInterval(interval_);
    if (!MouseCapture()) {
        return;
    }
    try {
        if (states_[0] == ssPressed && OnUpClick) {
            OnUpClick(this);
        }
        if (hasDown_ && states_[1] == ssPressed && OnDownClick) {
            OnDownClick(this);
        }
    } catch (...) {
        // The timer is freed after this tick's handler returns.
        TKelTimer* timer = timer_;
        timer_ = nullptr;
        timer->SetEnabled(false);
        delete timer;
        throw;
    }
}

void TKelSpinButton::CMEnabledChanged(fw::TWMNoParams message)
{
    TKelGraphicControl::CMEnabledChanged(message);
    const TKelSpinState state = Enabled() ? ssNormal : ssDisabled;
    states_ = {state, state};
    Invalidate();
}

// ---- Painting ----

void TKelSpinButton::DrawPicture(fw::TCanvas& canvas, TKelSpinHalf half, TKelSpinState state, int w, int h)
{
    const bool up = half == TKelSpinHalf::shUp;
    const bool pressed = state == ssPressed;
    const desktop::HDC dc = canvas.Handle();
    desktop::RECT r{0, 0, w, h};
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(r);
    const int arrow = ArrowSize();
    // From a centre point to the arrow box's top-left corner.
    const int toLeft = arrow - 1;
    const int toTop = (arrow + 1) / 2;
    int ax = 0;
    int ay = 0;
    if (Rectangular()) {
        if (pressed) {
            desktop::DrawEdge(dc, &r, desktop::BDR_SUNKENOUTER,
                              desktop::BF_RECT | desktop::BF_SOFT | desktop::BF_ADJUST);
            desktop::DrawEdge(dc, &r, desktop::BDR_SUNKENINNER, desktop::BF_TOPLEFT);
        } else {
            desktop::DrawEdge(dc, &r, desktop::BDR_RAISEDOUTER,
                              desktop::BF_RECT | desktop::BF_SOFT | desktop::BF_ADJUST);
            desktop::DrawEdge(dc, &r, desktop::BDR_RAISEDINNER, desktop::BF_BOTTOMRIGHT);
        }
        ax = w / 2 - toLeft;
        ay = h / 2 - toTop;
    } else {
        desktop::RECT frame{0, 0, w - 1, h - 1};
        DrawStandardFrame(dc, frame, pressed ? TKelBorderStyle::lsLowered : raisedStyle_);
        const double quarterW = (w - 1) / 4.0;
        const double quarterH = (h - 1) / 4.0;
        ax = RoundEven(up ? quarterW : 3 * quarterW) - toLeft;
        ay = RoundEven(up ? quarterH : 3 * quarterH) - toTop;
        // The diagonal from the top-right to the bottom-left corner.
        if (up) {
            Line(canvas, w - 1, 0, -1, h, pressed ? fw::clWhite : fw::clSilver);
            if (pressed) {
                Line(canvas, w - 2, 0, -1, h - 1, fw::clGray);
            }
        } else {
            Line(canvas, w - 1, 0, -1, h, pressed ? fw::clGray : fw::clWhite);
            if (pressed) {
                Line(canvas, w, 1, 0, h + 1, fw::clSilver);
            }
        }
    }
    switch (state) {
        case ssHot: DrawKelArrow(canvas, ax, ay, arrow, up, hotColor_); break;
        case ssDisabled:
            DrawKelArrow(canvas, ax + 1, ay + 1, arrow, up, fw::clHighlightText);
            DrawKelArrow(canvas, ax, ay, arrow, up, fw::clGrayText);
            break;
        default: DrawKelArrow(canvas, ax, ay, arrow, up, fw::clBlack); break;
    }
}

void TKelSpinButton::Paint()
{
    fw::TWinControl* parent = Parent();
    if (parent == nullptr || !parent->Showing() || parent->IsLoading() || parent->HasState(fw::csDestroying)) {
        return;
    }
    BuildRegions();
    const int w = Width();
    const int h = Height();
    const int pictureH = Rectangular() ? h / 2 : h;
    const int halves = hasDown_ ? 2 : 1;
    // Every look of every half side by side: half * 4 + look.
    strip_->SetSize(w * 4 * halves, pictureH);
    fw::TBitmap picture;
    picture.SetSize(w, pictureH);
    for (int half = 0; half < halves; ++half) {
        for (int look = 0; look < 4; ++look) {
            DrawPicture(*picture.Canvas(), static_cast<TKelSpinHalf>(half), static_cast<TKelSpinState>(look), w,
                        pictureH);
            strip_->Canvas()->Draw((half * 4 + look) * w, 0, &picture);
        }
    }
    fw::TBitmap composed;
    composed.SetSize(w, h);
    const desktop::HDC target = composed.Canvas()->Handle();
    const desktop::HDC source = strip_->Canvas()->Handle();
    for (int half = 0; half < halves; ++half) {
        const int look = states_[static_cast<std::size_t>(half)];
        const int srcX = (half * 4 + look) * w;
        if (Rectangular()) {
            desktop::BitBlt(target, 0, half * (h / 2), w, pictureH, source, srcX, 0, desktop::SRCCOPY);
            continue;
        }
        // The triangle of the half clips the whole-button picture.
        const desktop::HRGN clip = desktop::CreateRectRgn(0, 0, 0, 0);
        desktop::CombineRgn(clip, regions_[static_cast<std::size_t>(half)], nullptr, desktop::RGN_COPY);
        desktop::OffsetRgn(clip, -Left(), -Top());
        desktop::SelectClipRgn(target, clip);
        desktop::BitBlt(target, 0, 0, w, h, source, srcX, 0, desktop::SRCCOPY);
        desktop::SelectClipRgn(target, nullptr);
        desktop::DeleteObject(clip);
    }
    Canvas()->Draw(0, 0, &composed);
}

}  // namespace numedit
