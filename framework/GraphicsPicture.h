#pragma once

// A picture: holds one graphic of any registered class and reads it from a layout's "Data"
// property by class name. Also the minimal icon and metafile classes the registry names.

#include <memory>
#include <string>
#include <vector>

#include "framework/GraphicsBitmap.h"
#include "framework/GraphicsGraphic.h"

namespace fw {

// Holds an icon image of the standard 32 x 32 size. Icon files are not decoded: reading
// icon data fails as invalid.
class TIcon : public TGraphic {
public:
    static constexpr int kIconSize = 32;

    TIcon();
    ~TIcon() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TIcon>(); }
    void Assign(TPersistent* source) override;

    // The icon's image, drawn transparently with its bottom-left colour; null when empty.
    TBitmap* Handle() { return image_.get(); }
    // Takes a copy of the bitmap as the icon's image.
    void SetHandle(TBitmap* image);

    int Width() const override { return image_ ? kIconSize : 0; }
    int Height() const override { return image_ ? kIconSize : 0; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return !image_; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;

protected:
    void Draw(TCanvas& canvas, const desktop::RECT& rect) override;

private:
    std::unique_ptr<TBitmap> image_;
};

// Stands in the registry for Windows and enhanced metafiles. We do not play metafiles, so
// reading metafile data fails as an invalid graphic and the class never holds an image.
class TMetafile : public TGraphic {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TMetafile>(); }

    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return true; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream&) override {}
    void ReadData(TStream& stream) override;
    void WriteData(TStream&) override {}

protected:
    void Draw(TCanvas&, const desktop::RECT&) override {}
};

struct TFileFormat {
    std::string extension;
    std::string description;
    TGraphicClass graphicClass;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // A picture, a graphic (copied) or null (cleared).
    void Assign(TPersistent* source) override;
    void DefineProperties(TFiler& filer) override;

    // The current graphic, owned by the picture; null for an empty picture.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Installs a copy of value (a new graphic of its class), or clears with null.
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap; any other graphic is first replaced by an empty bitmap.
    TBitmap* Bitmap();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // The "Data" property: a byte-counted class name, then that class's own data.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream);

    // Appends to the picture-class registry, which a class name is looked up in last to first.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicClass graphicClass);
    // The registry in registration order.
    static std::vector<TFileFormat> FileFormats();

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    void AssignTo(TPersistent* dest) override;
    virtual void Changed(TObject* sender);

private:
    void Install(std::unique_ptr<TGraphic> graphic);

    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace fw
