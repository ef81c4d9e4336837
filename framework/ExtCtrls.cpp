#include "framework/ExtCtrls.h"

#include "framework/ClassesBuilder.h"

namespace fw {

namespace {

constexpr int kDefaultSize = 105;

// Half of value, rounded toward negative infinity.
int FloorHalf(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

// Icons and metafiles decide their transparency themselves.
bool TakesTransparency(const TGraphic* graphic)
{
    return dynamic_cast<const TIcon*>(graphic) == nullptr && dynamic_cast<const TMetafile*>(graphic) == nullptr;
}

}  // namespace

TImage::TImage(TComponent* owner) : TGraphicControl(owner)
{
    SetControlStyle(ControlStyle() | csReplicatable);
    picture_.OnChange = [this](TObject* sender) { PictureChanged(sender); };
    SetBounds(Left(), Top(), kDefaultSize, kDefaultSize);
}

TImage::~TImage() { picture_.OnChange = nullptr; }

const TClassInfo& TImage::Info()
{
    static const TClassInfo info = ClassBuilder<TImage, TGraphicControl>("TImage")
                                       .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                       .Boolean("Center", &TImage::Center, &TImage::SetCenter)
                                       .Object("Picture", &TImage::Picture)
                                       .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                       .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                       .Build();
    return info;
}

void TImage::SetCenter(bool value)
{
    if (center_ != value) {
        center_ = value;
        PictureChanged(this);
    }
}

void TImage::SetStretch(bool value)
{
    if (stretch_ != value) {
        stretch_ = value;
        PictureChanged(this);
    }
}

void TImage::SetTransparent(bool value)
{
    if (transparent_ != value) {
        transparent_ = value;
        PictureChanged(this);
    }
}

desktop::RECT TImage::DestRect()
{
    if (stretch_) {
        return ClientRect();
    }
    const int width = picture_.Width();
    const int height = picture_.Height();
    if (center_) {
        const int left = FloorHalf(ClientWidth() - width);
        const int top = FloorHalf(ClientHeight() - height);
        return {left, top, left + width, top + height};
    }
    return {0, 0, width, height};
}

bool TImage::CanAutoSize(int& newWidth, int& newHeight)
{
    // An empty picture leaves the size alone.
    if (picture_.Width() <= 0 || picture_.Height() <= 0) {
        return false;
    }
    newWidth = picture_.Width();
    newHeight = picture_.Height();
    return true;
}

void TImage::Paint()
{
    TCanvas* canvas = Canvas();
    if (HasState(csDesigning)) {
        canvas->Pen()->SetStyle(TPenStyle::psDash);
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        canvas->Rectangle(0, 0, Width(), Height());
    }
    TGraphic* graphic = picture_.Graphic();
    if (graphic == nullptr || graphic->Empty()) {
        return;
    }
    drawing_ = true;
    try {
        canvas->StretchDraw(DestRect(), graphic);
    } catch (...) {
        drawing_ = false;
        throw;
    }
    drawing_ = false;
}

void TImage::PictureChanged(TObject*)
{
    if (AutoSize() && picture_.Width() > 0 && picture_.Height() > 0) {
        SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    }
    TGraphic* graphic = picture_.Graphic();
    bool opaque = false;
    if (graphic != nullptr) {
        if (TakesTransparency(graphic)) {
            graphic->SetTransparent(transparent_);
        }
        opaque = !graphic->Transparent() && !stretch_ && graphic->Width() >= Width() && graphic->Height() >= Height();
    }
    SetControlStyle(opaque ? ControlStyle() | csOpaque : ControlStyle() & ~csOpaque);
    if (!drawing_) {
        Invalidate();
    }
}

}  // namespace fw
