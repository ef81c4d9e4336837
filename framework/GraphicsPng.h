#pragma once

// The PNG picture class. A layout stores it as plain bitmap data, which it reads as any
// bitmap does; only its own file streams would speak PNG, and those are not supported.

#include <memory>

#include "framework/GraphicsBitmap.h"

namespace fw {

class TPNGImage : public TBitmap {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TPNGImage>(); }

    // Both fail with EInvalidGraphic: there is no PNG codec here.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
};

// Appends "PNG" "Portable Network Graphics" to the picture-class registry, once.
void RegisterPngFormat();

}  // namespace fw
