#pragma once

// The abstract drawable image that a picture holds (bitmaps, icons, metafiles), and the error
// its readers raise on data they cannot decode.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "desktop/Gdi.h"
#include "framework/ClassesComponent.h"
#include "framework/ClassesStreams.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

class TCanvas;

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, std::uint8_t percentDone,
                                          bool redrawNow, const desktop::RECT& rect, const std::string& message)>;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const = 0;
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    virtual desktop::HPALETTE Palette() const { return nullptr; }
    bool Modified() const { return modified_; }
    void SetModified(bool value);

    // The graphic's own file format (a BMP file for bitmaps).
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // The form a layout stores the graphic in, after the picture's class-name byte string.
    virtual void ReadData(TStream& stream) = 0;
    virtual void WriteData(TStream& stream) = 0;

    // A new, empty graphic of the same class (a picture copies graphics through it).
    virtual std::unique_ptr<TGraphic> CreateNew() const = 0;

    // The stored "Data" of a graphic that is itself a published property.
    void DefineProperties(TFiler& filer) override;

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    friend class TCanvas;

    // Draws the whole graphic into rect, stretched to it.
    virtual void Draw(TCanvas& canvas, const desktop::RECT& rect) = 0;
    virtual void Changed();
    void Progress(TProgressStage stage, std::uint8_t percentDone, const std::string& message);

private:
    bool transparent_ = false;
    bool modified_ = false;
};

// What a picture needs to make graphics of a class it knows by name only.
struct TGraphicClass {
    std::string name;
    std::function<std::unique_ptr<TGraphic>()> create;
};

template <class T>
TGraphicClass GraphicClassOf()
{
    return TGraphicClass{T::Info().name, [] { return std::unique_ptr<TGraphic>(new T()); }};
}

}  // namespace fw
