#include "framework/GraphicsPicture.h"

#include <cstdint>
#include <mutex>

#include "framework/ClassesBuilder.h"
#include "framework/ClassesReader.h"
#include "framework/GraphicsPng.h"
#include "framework/ResStrings.h"

namespace fw {

namespace {

std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Created on first use with the classes this unit knows; other units append theirs.
std::vector<TFileFormat>& Registry()
{
    static std::vector<TFileFormat> formats{
        TFileFormat{"wmf", SVMetafiles.Text(), GraphicClassOf<TMetafile>()},
        TFileFormat{"emf", SVEnhMetafiles.Text(), GraphicClassOf<TMetafile>()},
        TFileFormat{"ico", SVIcons.Text(), GraphicClassOf<TIcon>()},
        TFileFormat{"bmp", SVBitmaps.Text(), GraphicClassOf<TBitmap>()},
    };
    return formats;
}

// The PNG unit registers itself the first time the registry is consulted, not from a static
// initialiser, which a static library could drop or run in the wrong order.
void EnsureFormatsRegistered() { RegisterPngFormat(); }

std::unique_ptr<TGraphic> CreateGraphicNamed(const std::string& className)
{
    EnsureFormatsRegistered();
    std::lock_guard lock(RegistryMutex());
    const auto& formats = Registry();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
        if (it->graphicClass.name == className) return it->graphicClass.create();
    }
    return nullptr;
}

}  // namespace

// ---- TIcon ----

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

const TClassInfo& TIcon::Info()
{
    static const TClassInfo info = ClassBuilder<TIcon, TGraphic>("TIcon").Build();
    return info;
}

void TIcon::Assign(TPersistent* source)
{
    if (source == nullptr) {
        image_.reset();
        Changed();
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(source)) {
        if (icon != this) SetHandle(icon->Handle());
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::SetHandle(TBitmap* image)
{
    if (image == nullptr || image->Empty()) {
        image_.reset();
    } else {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(image);
        copy->SetTransparent(true);
        image_ = std::move(copy);
    }
    Changed();
}

void TIcon::LoadFromStream(TStream&) { throw EInvalidGraphic(SInvalidIcon); }

void TIcon::SaveToStream(TStream& stream)
{
    if (image_) image_->SaveToStream(stream);
}

void TIcon::ReadData(TStream& stream) { LoadFromStream(stream); }

void TIcon::WriteData(TStream& stream) { SaveToStream(stream); }

void TIcon::Draw(TCanvas& canvas, const desktop::RECT& rect)
{
    if (!image_) return;
    // Icons keep their own size; the rectangle only places them.
    const desktop::RECT at{rect.left, rect.top, rect.left + kIconSize, rect.top + kIconSize};
    canvas.StretchDraw(at, image_.get());
}

// ---- TMetafile ----

const TClassInfo& TMetafile::Info()
{
    static const TClassInfo info = ClassBuilder<TMetafile, TGraphic>("TMetafile").Build();
    return info;
}

void TMetafile::LoadFromStream(TStream&) { throw EInvalidGraphic(SMetafilesUnsupported.Text()); }

void TMetafile::ReadData(TStream& stream) { LoadFromStream(stream); }

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

const TClassInfo& TPicture::Info()
{
    static const TClassInfo info = ClassBuilder<TPicture, TPersistent>("TPicture").Build();
    return info;
}

void TPicture::Assign(TPersistent* source)
{
    if (source == nullptr) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
        if (picture != this) SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(source);
    }
}

void TPicture::AssignTo(TPersistent* dest)
{
    if (auto* graphic = dynamic_cast<TGraphic*>(dest)) {
        graphic->Assign(graphic_.get());
        return;
    }
    TPersistent::AssignTo(dest);
}

void TPicture::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream& stream) { ReadData(stream); }, graphic_ != nullptr && !graphic_->Empty());
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (value == graphic_.get() && value != nullptr) return;
    std::unique_ptr<TGraphic> copy;
    if (value != nullptr) {
        copy = value->CreateNew();
        copy->Assign(value);
    }
    Install(std::move(copy));
}

TBitmap* TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return bitmap;
    Install(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::ReadData(TStream& stream)
{
    std::uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string className(length, '\0');
    if (length > 0) stream.ReadBuffer(className.data(), length);
    std::unique_ptr<TGraphic> graphic = CreateGraphicNamed(className);
    // A failing reader frees the new graphic on the way out; the previous one stays.
    if (graphic) graphic->ReadData(stream);
    Install(std::move(graphic));
}

void TPicture::WriteData(TStream& stream)
{
    const std::string className = graphic_ ? graphic_->ClassName() : std::string();
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(className.size(), 255));
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(className.data(), length);
    if (graphic_) graphic_->WriteData(stream);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass)
{
    std::lock_guard lock(RegistryMutex());
    Registry().push_back(TFileFormat{extension, description, std::move(graphicClass)});
}

std::vector<TFileFormat> TPicture::FileFormats()
{
    EnsureFormatsRegistered();
    std::lock_guard lock(RegistryMutex());
    return Registry();
}

void TPicture::Changed(TObject*)
{
    if (OnChange) OnChange(this);
}

void TPicture::Install(std::unique_ptr<TGraphic> graphic)
{
    graphic_ = std::move(graphic);
    if (graphic_) {
        graphic_->OnChange = [this](TObject* sender) { Changed(sender); };
        graphic_->OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percent, bool redraw,
                                      const desktop::RECT& rect, const std::string& message) {
            if (OnProgress) OnProgress(sender, stage, percent, redraw, rect, message);
        };
    }
    Changed(this);
}

}  // namespace fw
