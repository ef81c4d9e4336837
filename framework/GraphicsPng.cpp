#include "framework/GraphicsPng.h"

#include <mutex>

#include "framework/ClassesBuilder.h"
#include "framework/GraphicsPicture.h"
#include "framework/ResStrings.h"

namespace fw {

const TClassInfo& TPNGImage::Info()
{
    static const TClassInfo info = ClassBuilder<TPNGImage, TBitmap>("TPNGImage").Build();
    return info;
}

void TPNGImage::LoadFromStream(TStream&) { throw EInvalidGraphic(SPngStreamsUnsupported.Text()); }

void TPNGImage::SaveToStream(TStream&) { throw EInvalidGraphic(SPngStreamsUnsupported.Text()); }

void RegisterPngFormat()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TPicture::RegisterFileFormat("PNG", SPortableNetworkGraphics.Text(), GraphicClassOf<TPNGImage>());
    });
}

}  // namespace fw
