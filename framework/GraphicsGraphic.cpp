#include "framework/GraphicsGraphic.h"

#include "framework/ClassesBuilder.h"
#include "framework/ClassesReader.h"

namespace fw {

const TClassInfo& TGraphic::Info()
{
    static const TClassInfo info = ClassBuilder<TGraphic, TPersistent>("TGraphic").Build();
    return info;
}

void TGraphic::SetTransparent(bool value)
{
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::SetModified(bool value)
{
    if (value) {
        Changed();
    } else {
        modified_ = false;
    }
}

void TGraphic::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream& stream) { ReadData(stream); }, !Empty());
}

void TGraphic::Changed()
{
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TProgressStage stage, std::uint8_t percentDone, const std::string& message)
{
    if (OnProgress) OnProgress(this, stage, percentDone, false, desktop::RECT{}, message);
}

}  // namespace fw
