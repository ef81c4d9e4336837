#pragma once

// Bitmaps: a device-independent image kept in its stored pixel format, drawn through a canvas
// on a memory DC, read from BMP files, bitmap resources and the stored form of a layout.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/GraphicsCanvas.h"
#include "framework/GraphicsGraphic.h"

namespace fw {

class TBitmap;

// The canvas of a bitmap: a memory DC holding the bitmap's image, made when first drawn on.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Lets go of the memory DC, so that the bitmap can replace its image.
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap& bitmap_;
    desktop::HDC memoryDC_ = nullptr;
    desktop::HGDIOBJ oldBitmap_ = nullptr;
};

class TBitmap : public TGraphic {
public:
    // Larger images are refused as invalid rather than allocated.
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 24;
    static constexpr int kMaxSide = 32767;

    TBitmap();
    ~TBitmap() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Copies another bitmap's image; a picture assigns its bitmap through AssignTo.
    void Assign(TPersistent* source) override;
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TBitmap>(); }

    TCanvas* Canvas();
    // The DIB section; null while the bitmap is empty.
    desktop::HBITMAP Handle() const
    {
        Realize();
        return handle_;
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    // Keeps the top-left part of the old image; a new image is 32 bits per pixel, white.
    void SetSize(int width, int height);
    bool Empty() const override { return handle_ == nullptr && pending_.empty(); }
    desktop::HPALETTE Palette() const override
    {
        Realize();
        return palette_;
    }
    // Bits per pixel of the stored format (0 while empty).
    int BitCount() const
    {
        Realize();
        return bitCount_;
    }

    // The colour of the bottom-left pixel, which drawing treats as transparent; clDefault when empty.
    TColor TransparentColor();

    // A bitmap resource: a packed DIB, or a whole BMP file beginning "BM".
    void LoadFromResourceName(const std::string& name);
    // A BMP file taking the rest of the stream.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // A 4-byte size, then a BMP file of that size (0: an empty image).
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;

protected:
    void Draw(TCanvas& canvas, const desktop::RECT& rect) override;

    // A BMP file of `size` bytes; the stream is left after it.
    void ReadStream(TStream& stream, std::int64_t size);

private:
    friend class TBitmapCanvas;
    struct Image;

    void ReadFile(TStream& stream, std::int64_t size, bool notify);
    void InstallImage(Image image, bool notify = true);
    // Decodes a resource whose loading was deferred; everything that needs the pixels calls it.
    void Realize() const;
    void DecodeResource(std::span<const std::uint8_t> bytes);
    void FreeImage();
    void CopyImageFrom(const TBitmap& source);

    desktop::HBITMAP handle_ = nullptr;
    desktop::HPALETTE palette_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    desktop::DWORD compression_ = desktop::BI_RGB;
    bool topDown_ = false;
    desktop::DWORD masks_[3] = {};
    std::vector<desktop::RGBQUAD> colors_;
    std::unique_ptr<TBitmapCanvas> canvas_;
    // A resource already known to decode cleanly, loaded but not decoded yet.
    std::span<const std::uint8_t> pending_;
};

// Copies sourceRect of source into destRect of dest, stretched, painting the pixels of
// transparentColor in dest's brush colour instead (the brush copy of the original canvas).
void BrushCopy(TCanvas& dest, const desktop::RECT& destRect, TBitmap& source, const desktop::RECT& sourceRect,
               TColor transparentColor);

}  // namespace fw
