#pragma once

// TImage: shows a picture. With AutoSize a picture of at least 1 x 1 pixels gives the
// control its size (the position stays); Stretch fills the control, Center centres the
// picture, otherwise it sits at the top left.

#include "framework/ControlsCustom.h"
#include "framework/GraphicsPicture.h"

namespace fw {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TPicture* Picture() { return &picture_; }
    void SetPicture(TPicture* value) { picture_.Assign(value); }
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    // Copied to the graphic (not to icons and metafiles, which decide for themselves).
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    // Where the picture is drawn, in client coordinates.
    desktop::RECT DestRect();

protected:
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void Paint() override;
    virtual void PictureChanged(TObject* sender);

private:
    TPicture picture_;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    bool drawing_ = false;
};

}  // namespace fw
