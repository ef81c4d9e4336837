#include "framework/GraphicsBitmap.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "desktop/Resources.h"
#include "framework/ClassesBuilder.h"
#include "framework/ResStrings.h"

namespace fw {

namespace {

constexpr desktop::WORD kBitmapFileMark = 0x4D42;  // "BM"
constexpr desktop::DWORD kCoreHeaderSize = 12;
constexpr desktop::DWORD kInfoHeaderSize = 40;
// Larger headers (V4, V5) carry the three colour masks right after the 40-byte part.
constexpr desktop::DWORD kHeaderWithMasksSize = 52;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(SInvalidBitmap.Text()); }

// Reads at most `limit` bytes of a stream: every field of outside data goes through here, so a
// size that lies about the data ends in "not valid" instead of a read past it.
class BoundedReader {
public:
    BoundedReader(TStream& stream, std::int64_t limit) : stream_(stream), remaining_(std::max<std::int64_t>(limit, 0))
    {
    }

    std::int64_t Remaining() const { return remaining_; }
    std::int64_t Consumed() const { return consumed_; }

    void Read(void* buffer, std::size_t count)
    {
        if (static_cast<std::int64_t>(count) > remaining_) InvalidBitmap();
        if (stream_.Read(buffer, count) != count) InvalidBitmap();
        remaining_ -= static_cast<std::int64_t>(count);
        consumed_ += static_cast<std::int64_t>(count);
    }

    template <class T>
    T Value()
    {
        T value{};
        Read(&value, sizeof value);
        return value;
    }

    void Skip(std::int64_t count)
    {
        if (count < 0 || count > remaining_) InvalidBitmap();
        stream_.Seek(count, TSeekOrigin::soCurrent);
        remaining_ -= count;
        consumed_ += count;
    }

private:
    TStream& stream_;
    std::int64_t remaining_;
    std::int64_t consumed_ = 0;
};

std::int64_t Stride(std::int64_t width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

bool SupportedBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// The pixel format of an image, as the DIB section is created with.
struct PixelFormat {
    int bitCount = 32;
    desktop::DWORD compression = desktop::BI_RGB;
    bool topDown = false;
    desktop::DWORD masks[3] = {};
    std::vector<desktop::RGBQUAD> colors;  // the DIB's table, 8 bits per pixel or less only
};

desktop::HBITMAP CreateSection(const PixelFormat& format, int width, int height, void** bits)
{
    desktop::BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = format.topDown ? -height : height;
    header.biBitCount = static_cast<desktop::WORD>(format.bitCount);
    header.biCompression = format.compression;
    const bool bitFields = format.compression == desktop::BI_BITFIELDS;
    std::size_t tableCount = 0;
    if (format.bitCount <= 8) {
        tableCount = std::min(format.colors.size(), std::size_t(1) << format.bitCount);
        // An empty table would make the section expect a full one.
        if (tableCount == 0) return nullptr;
        header.biClrUsed = static_cast<desktop::DWORD>(tableCount);
    }
    const std::size_t infoSize = desktop::DibInfoSize(header, desktop::DIB_RGB_COLORS);
    const std::size_t masksSize = bitFields ? sizeof format.masks : 0;
    const std::size_t needed = sizeof header + masksSize + tableCount * sizeof(desktop::RGBQUAD);
    if (infoSize == 0 || infoSize < needed) return nullptr;
    std::vector<std::uint32_t> buffer((infoSize + 3) / 4, 0);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
    std::memcpy(bytes, &header, sizeof header);
    if (bitFields) std::memcpy(bytes + sizeof header, format.masks, masksSize);
    if (tableCount > 0) {
        std::memcpy(bytes + sizeof header + masksSize, format.colors.data(), tableCount * sizeof(desktop::RGBQUAD));
    }
    return desktop::CreateDIBSection(nullptr, reinterpret_cast<const desktop::BITMAPINFO*>(bytes),
                                     desktop::DIB_RGB_COLORS, bits);
}

desktop::HPALETTE CreatePaletteOf(const std::vector<desktop::RGBQUAD>& colors)
{
    const std::size_t count = std::min<std::size_t>(colors.size(), 256);
    if (count == 0) return nullptr;
    std::vector<std::uint32_t> buffer(1 + count, 0);
    auto* log = reinterpret_cast<desktop::LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<desktop::WORD>(count);
    for (std::size_t i = 0; i < count; ++i) {
        log->palPalEntry[i] = desktop::PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
    return desktop::CreatePalette(log);
}

// A memory DC holding one bitmap for the length of a copy.
class SelectedBitmap {
public:
    explicit SelectedBitmap(desktop::HBITMAP bitmap) : dc_(desktop::CreateCompatibleDC(nullptr))
    {
        old_ = desktop::SelectObject(dc_, bitmap);
    }
    ~SelectedBitmap()
    {
        desktop::SelectObject(dc_, old_);
        desktop::DeleteDC(dc_);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    desktop::HDC DC() const { return dc_; }

private:
    desktop::HDC dc_;
    desktop::HGDIOBJ old_ = nullptr;
};

// A decoded image before it replaces the bitmap's own; frees its handles unless installed.
struct DecodedImage {
    DecodedImage() = default;
    DecodedImage(DecodedImage&& other) noexcept
        : handle(std::exchange(other.handle, nullptr)), palette(std::exchange(other.palette, nullptr)),
          width(other.width), height(other.height), format(std::move(other.format))
    {
    }
    DecodedImage& operator=(DecodedImage&&) = delete;
    ~DecodedImage()
    {
        if (handle != nullptr) desktop::DeleteObject(handle);
        if (palette != nullptr) desktop::DeleteObject(palette);
    }

    desktop::HBITMAP handle = nullptr;
    desktop::HPALETTE palette = nullptr;
    int width = 0;
    int height = 0;
    PixelFormat format;
};

// Header, masks, colour table and pixels of a DIB; pixelOffset is where a file header says the
// pixels start (counted like reader.Consumed()), or -1 when they follow the table.
void ReadDib(BoundedReader& reader, std::int64_t pixelOffset, DecodedImage& image);

}  // namespace

struct TBitmap::Image : DecodedImage {};

// ---- TBitmapCanvas ----

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

const TClassInfo& TBitmapCanvas::Info()
{
    static const TClassInfo info = ClassBuilder<TBitmapCanvas, TCanvas>("TBitmapCanvas").Build();
    return info;
}

void TBitmapCanvas::CreateHandle()
{
    memoryDC_ = desktop::CreateCompatibleDC(nullptr);
    if (bitmap_.handle_ != nullptr) oldBitmap_ = desktop::SelectObject(memoryDC_, bitmap_.handle_);
    SetHandle(memoryDC_);
}

void TBitmapCanvas::FreeContext()
{
    if (memoryDC_ == nullptr) return;
    SetHandle(nullptr);
    if (oldBitmap_ != nullptr) desktop::SelectObject(memoryDC_, oldBitmap_);
    desktop::DeleteDC(memoryDC_);
    memoryDC_ = nullptr;
    oldBitmap_ = nullptr;
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    canvas_.reset();
    FreeImage();
}

const TClassInfo& TBitmap::Info()
{
    static const TClassInfo info = ClassBuilder<TBitmap, TGraphic>("TBitmap").Build();
    return info;
}

void TBitmap::Assign(TPersistent* source)
{
    if (source == nullptr) {
        FreeImage();
        Changed();
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        if (bitmap != this) {
            CopyImageFrom(*bitmap);
            Changed();
        }
        return;
    }
    TGraphic::Assign(source);
}

TCanvas* TBitmap::Canvas()
{
    Realize();
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    Realize();
    if (width == 0 || height == 0) {
        FreeImage();
        width_ = width;
        height_ = height;
        Changed();
        return;
    }
    if (width > kMaxSide || height > kMaxSide || std::int64_t(width) * height > kMaxPixels) InvalidBitmap();
    Image image;
    if (handle_ != nullptr) {
        image.format.bitCount = bitCount_;
        image.format.compression = compression_;
        image.format.topDown = topDown_;
        std::copy(std::begin(masks_), std::end(masks_), image.format.masks);
        image.format.colors = colors_;
    }
    image.handle = CreateSection(image.format, width, height, nullptr);
    if (image.handle == nullptr) InvalidBitmap();
    image.palette = CreatePaletteOf(image.format.colors);
    image.width = width;
    image.height = height;
    {
        SelectedBitmap target(image.handle);
        desktop::PatBlt(target.DC(), 0, 0, width, height, desktop::WHITENESS);
        if (handle_ != nullptr) {
            // A bitmap can be selected into one DC at a time.
            if (canvas_) canvas_->FreeContext();
            SelectedBitmap old(handle_);
            desktop::BitBlt(target.DC(), 0, 0, std::min(width, width_), std::min(height, height_), old.DC(), 0, 0,
                            desktop::SRCCOPY);
        }
    }
    InstallImage(std::move(image));
}

TColor TBitmap::TransparentColor()
{
    if (Empty()) return clDefault;
    return static_cast<TColor>(Canvas()->GetPixel(0, height_ - 1) & 0xFFFFFF);
}

namespace {

struct ResourceShape {
    int width = 0;
    int height = 0;
};

// Resources that decoded cleanly once, by the address of their (immutable, embedded) bytes.
// A die loads its face on every roll but paints once after many rolls, so later loads of a
// known resource only record it and the pixels are decoded when something needs them.
std::mutex knownResourcesMutex;
std::unordered_map<const std::uint8_t*, ResourceShape>& KnownResources()
{
    static std::unordered_map<const std::uint8_t*, ResourceShape> known;
    return known;
}

}  // namespace

void TBitmap::LoadFromResourceName(const std::string& name)
{
    const auto found = desktop::FindResource(desktop::RT_BITMAP, name);
    if (!found) {
        TResourceStream failing(desktop::RT_BITMAP, name);  // raises the not-found error
        return;
    }
    const std::span<const std::uint8_t> bytes = *found;
    std::optional<ResourceShape> shape;
    {
        std::lock_guard lock(knownResourcesMutex);
        if (auto it = KnownResources().find(bytes.data()); it != KnownResources().end()) shape = it->second;
    }
    if (shape) {
        FreeImage();
        pending_ = bytes;
        width_ = shape->width;
        height_ = shape->height;
        Changed();
        return;
    }
    DecodeResource(bytes);
    std::lock_guard lock(knownResourcesMutex);
    KnownResources()[bytes.data()] = ResourceShape{width_, height_};
    Changed();
}

void TBitmap::DecodeResource(std::span<const std::uint8_t> bytes)
{
    TBytesStream stream(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        ReadFile(stream, stream.Size(), false);
        return;
    }
    BoundedReader reader(stream, stream.Size());
    Image image;
    ReadDib(reader, -1, image);
    InstallImage(std::move(image), false);
}

void TBitmap::Realize() const
{
    if (pending_.empty()) return;
    // Bitmaps are never created const, so completing the deferred load here is sound.
    auto* self = const_cast<TBitmap*>(this);
    const std::span<const std::uint8_t> bytes = std::exchange(self->pending_, {});
    self->DecodeResource(bytes);
}

void TBitmap::LoadFromStream(TStream& stream) { ReadStream(stream, stream.Remaining()); }

void TBitmap::SaveToStream(TStream& stream)
{
    Realize();
    if (Empty()) return;
    desktop::GdiFlush();
    desktop::DIBSECTION section;
    if (desktop::GetObject(handle_, sizeof section, &section) != static_cast<int>(sizeof section)) InvalidBitmap();
    desktop::BITMAPINFOHEADER header = section.dsBmih;
    header.biSize = kInfoHeaderSize;
    const std::size_t tableCount = bitCount_ <= 8 ? colors_.size() : 0;
    header.biClrUsed = static_cast<desktop::DWORD>(tableCount);
    header.biClrImportant = 0;
    const std::size_t masksSize = compression_ == desktop::BI_BITFIELDS ? sizeof masks_ : 0;
    const std::size_t imageSize = static_cast<std::size_t>(Stride(width_, bitCount_) * height_);
    header.biSizeImage = static_cast<desktop::DWORD>(imageSize);

    desktop::BITMAPFILEHEADER file;
    file.bfType = kBitmapFileMark;
    file.bfOffBits =
        static_cast<desktop::DWORD>(sizeof file + sizeof header + masksSize + tableCount * sizeof(desktop::RGBQUAD));
    file.bfSize = static_cast<desktop::DWORD>(file.bfOffBits + imageSize);
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(&header, sizeof header);
    if (masksSize > 0) stream.WriteBuffer(masks_, masksSize);
    if (tableCount > 0) stream.WriteBuffer(colors_.data(), tableCount * sizeof(desktop::RGBQUAD));
    stream.WriteBuffer(section.dsBm.bmBits, imageSize);
}

void TBitmap::ReadData(TStream& stream)
{
    std::uint32_t size = 0;
    if (stream.Read(&size, sizeof size) != sizeof size) InvalidBitmap();
    if (size == 0) {
        FreeImage();
        Changed();
        return;
    }
    ReadStream(stream, size);
}

void TBitmap::WriteData(TStream& stream)
{
    // The stored form is a BMP file whatever a subclass's own file format is.
    TMemoryStream file;
    TBitmap::SaveToStream(file);
    const auto size = static_cast<std::uint32_t>(file.Size());
    stream.WriteBuffer(&size, sizeof size);
    if (size > 0) stream.WriteBuffer(file.Bytes().data(), size);
}

void TBitmap::Draw(TCanvas& canvas, const desktop::RECT& rect)
{
    if (Empty()) return;
    desktop::HDC source = Canvas()->Handle();
    desktop::HDC dest = canvas.Handle();
    if (Transparent()) {
        desktop::TransparentBlt(dest, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
                                ColorToRGB(TransparentColor()));
    } else {
        desktop::StretchBlt(dest, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
                            desktop::SRCCOPY);
    }
}

void TBitmap::ReadStream(TStream& stream, std::int64_t size) { ReadFile(stream, size, true); }

void TBitmap::ReadFile(TStream& stream, std::int64_t size, bool notify)
{
    const std::int64_t start = stream.Position();
    const std::int64_t available = std::max<std::int64_t>(stream.Size() - start, 0);
    // A size beyond the data is taken as "the rest of the data".
    const std::int64_t limit = std::min(size, available);
    BoundedReader reader(stream, limit);
    desktop::BITMAPFILEHEADER file;
    reader.Read(&file, sizeof file);
    if (file.bfType != kBitmapFileMark) InvalidBitmap();
    Image image;
    ReadDib(reader, file.bfOffBits, image);
    stream.SetPosition(start + limit);
    InstallImage(std::move(image), notify);
}

void TBitmap::InstallImage(Image image, bool notify)
{
    FreeImage();
    handle_ = std::exchange(image.handle, nullptr);
    palette_ = std::exchange(image.palette, nullptr);
    width_ = image.width;
    height_ = image.height;
    bitCount_ = image.format.bitCount;
    compression_ = image.format.compression;
    topDown_ = image.format.topDown;
    std::copy(std::begin(image.format.masks), std::end(image.format.masks), masks_);
    colors_ = std::move(image.format.colors);
    if (notify) Changed();
}

void TBitmap::FreeImage()
{
    pending_ = {};
    if (canvas_) canvas_->FreeContext();
    if (handle_ != nullptr) desktop::DeleteObject(handle_);
    if (palette_ != nullptr) desktop::DeleteObject(palette_);
    handle_ = nullptr;
    palette_ = nullptr;
    width_ = 0;
    height_ = 0;
    bitCount_ = 0;
    compression_ = desktop::BI_RGB;
    topDown_ = false;
    std::fill(std::begin(masks_), std::end(masks_), 0);
    colors_.clear();
}

void TBitmap::CopyImageFrom(const TBitmap& source)
{
    source.Realize();
    if (source.Empty()) {
        FreeImage();
        width_ = source.width_;
        height_ = source.height_;
        return;
    }
    Image image;
    image.format.bitCount = source.bitCount_;
    image.format.compression = source.compression_;
    image.format.topDown = source.topDown_;
    std::copy(std::begin(source.masks_), std::end(source.masks_), image.format.masks);
    image.format.colors = source.colors_;
    void* bits = nullptr;
    image.handle = CreateSection(image.format, source.width_, source.height_, &bits);
    if (image.handle == nullptr || bits == nullptr) InvalidBitmap();
    image.palette = CreatePaletteOf(image.format.colors);
    image.width = source.width_;
    image.height = source.height_;
    // Same format, so the stored bits copy as they are, after what was drawn reaches them.
    desktop::GdiFlush();
    desktop::DIBSECTION section;
    if (desktop::GetObject(source.handle_, sizeof section, &section) != static_cast<int>(sizeof section)) {
        InvalidBitmap();
    }
    std::memcpy(bits, section.dsBm.bmBits,
                static_cast<std::size_t>(Stride(image.width, image.format.bitCount) * image.height));
    SetTransparent(source.Transparent());
    InstallImage(std::move(image));
}

void BrushCopy(TCanvas& dest, const desktop::RECT& destRect, TBitmap& source, const desktop::RECT& sourceRect,
               TColor transparentColor)
{
    dest.FillRect(destRect);
    if (source.Empty()) return;
    desktop::HDC sourceDC = source.Canvas()->Handle();
    desktop::TransparentBlt(dest.Handle(), destRect.left, destRect.top, destRect.Width(), destRect.Height(), sourceDC,
                            sourceRect.left, sourceRect.top, sourceRect.Width(), sourceRect.Height(),
                            ColorToRGB(transparentColor));
}

namespace {

// Decodes run-length data of 8- or 4-bit indices into the zeroed bottom-up rows of an
// uncompressed image; pixels the runs skip keep index 0. A run that leaves its row or the
// image, or data that ends before the end-of-bitmap mark, makes the bitmap invalid.
void DecodeRuns(std::span<const std::uint8_t> runs, int bitCount, std::int64_t width, std::int64_t height,
                std::uint8_t* rows)
{
    const std::int64_t stride = Stride(width, bitCount);
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t {
        if (at >= runs.size()) InvalidBitmap();
        return runs[at++];
    };
    std::int64_t x = 0;
    std::int64_t y = 0;
    auto checkRoom = [&](int count) {
        if (y >= height || count > width - x) InvalidBitmap();
    };
    auto put = [&](std::int64_t column, std::uint8_t index) {
        std::uint8_t* row = rows + y * stride;
        if (bitCount == 8) {
            row[column] = index;
        } else if (column % 2 == 0) {
            row[column / 2] = static_cast<std::uint8_t>((row[column / 2] & 0x0F) | (index << 4));
        } else {
            row[column / 2] = static_cast<std::uint8_t>((row[column / 2] & 0xF0) | (index & 0x0F));
        }
    };
    // Of a 4-bit pair, the high nibble comes first.
    auto nibble = [](std::uint8_t pair, int i) {
        return static_cast<std::uint8_t>(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
    };

    for (;;) {
        const std::uint8_t count = next();
        const std::uint8_t code = next();
        if (count > 0) {  // one index (8 bits) or two alternating ones (4 bits), repeated
            checkRoom(count);
            for (int i = 0; i < count; ++i) put(x + i, bitCount == 8 ? code : nibble(code, i));
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line; after the top row only the end of the bitmap may follow
                if (y >= height) InvalidBitmap();
                x = 0;
                ++y;
                break;
            case 1:  // end of bitmap
                return;
            case 2: {  // move right and up
                const std::uint8_t dx = next();
                const std::uint8_t dy = next();
                x += dx;
                y += dy;
                if (x > width || y >= height) InvalidBitmap();
                break;
            }
            default: {  // `code` indices as they are, padded to a 16-bit boundary
                checkRoom(code);
                std::uint8_t pair = 0;
                for (int i = 0; i < code; ++i) {
                    if (bitCount == 8) {
                        put(x + i, next());
                    } else {
                        if (i % 2 == 0) pair = next();
                        put(x + i, nibble(pair, i));
                    }
                }
                const int stored = bitCount == 8 ? code : (code + 1) / 2;
                if (stored % 2 != 0) next();
                x += code;
                break;
            }
        }
    }
}

void ReadDib(BoundedReader& reader, std::int64_t pixelOffset, DecodedImage& image)
{
    desktop::BITMAPINFOHEADER header;
    header.biSize = reader.Value<desktop::DWORD>();
    const bool core = header.biSize == kCoreHeaderSize;
    std::vector<std::uint8_t> extra;
    if (core) {
        // The old core header, widened: 16-bit unsigned sizes, no other fields.
        header.biWidth = reader.Value<desktop::WORD>();
        header.biHeight = reader.Value<desktop::WORD>();
        header.biPlanes = reader.Value<desktop::WORD>();
        header.biBitCount = reader.Value<desktop::WORD>();
    } else {
        if (header.biSize < kInfoHeaderSize) InvalidBitmap();
        reader.Read(reinterpret_cast<std::uint8_t*>(&header) + sizeof header.biSize,
                    sizeof header - sizeof header.biSize);
        const std::int64_t extraSize = std::int64_t(header.biSize) - kInfoHeaderSize;
        if (extraSize > reader.Remaining()) InvalidBitmap();
        extra.resize(static_cast<std::size_t>(extraSize));
        if (!extra.empty()) reader.Read(extra.data(), extra.size());
    }
    // Run-length images are decoded into uncompressed ones; embedded JPEG/PNG images are not decoded.
    const bool runLength = header.biCompression == desktop::BI_RLE8 || header.biCompression == desktop::BI_RLE4;
    if (!runLength && header.biCompression != desktop::BI_RGB && header.biCompression != desktop::BI_BITFIELDS) {
        InvalidBitmap();
    }
    if (header.biPlanes != 1) InvalidBitmap();
    const int bitCount = header.biBitCount;
    if (!SupportedBitCount(bitCount)) InvalidBitmap();
    const bool bitFields = header.biCompression == desktop::BI_BITFIELDS;
    if (bitFields && bitCount != 16 && bitCount != 32) InvalidBitmap();
    // Each run-length kind encodes one index size, and its rows run bottom-up only.
    if (runLength && (bitCount != (header.biCompression == desktop::BI_RLE8 ? 8 : 4) || header.biHeight < 0)) {
        InvalidBitmap();
    }

    PixelFormat& format = image.format;
    format.bitCount = bitCount;
    format.compression = runLength ? desktop::BI_RGB : header.biCompression;
    if (bitFields) {
        if (header.biSize == kInfoHeaderSize) {
            reader.Read(format.masks, sizeof format.masks);
        } else if (header.biSize >= kHeaderWithMasksSize) {
            std::memcpy(format.masks, extra.data(), sizeof format.masks);
        } else {
            InvalidBitmap();
        }
    }

    const std::int64_t implied = bitCount <= 8 ? (std::int64_t(1) << bitCount) : 0;
    const std::int64_t colorCount = !core && header.biClrUsed != 0 ? std::int64_t(header.biClrUsed) : implied;
    const std::int64_t entrySize = core ? 3 : 4;
    if (colorCount * entrySize > reader.Remaining()) InvalidBitmap();
    std::vector<desktop::RGBQUAD> table(static_cast<std::size_t>(colorCount));
    for (desktop::RGBQUAD& entry : table) {
        std::uint8_t bytes[4] = {};
        reader.Read(bytes, static_cast<std::size_t>(entrySize));
        entry = desktop::RGBQUAD{bytes[0], bytes[1], bytes[2], 0};
    }

    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t(header.biHeight) : std::int64_t(header.biHeight);
    if (width <= 0 || height <= 0 || width > TBitmap::kMaxSide || height > TBitmap::kMaxSide ||
        width * height > TBitmap::kMaxPixels) {
        InvalidBitmap();
    }
    format.topDown = header.biHeight < 0;

    // A file header may place the pixels after a gap; an offset pointing back is not believed.
    if (pixelOffset >= 0) {
        const std::int64_t gap = pixelOffset - reader.Consumed();
        if (gap > 0 && gap <= reader.Remaining()) reader.Skip(gap);
    }

    const std::int64_t fullSize = Stride(width, bitCount) * height;
    // Runs have no size of their own to fall back on: without a stored size they take the rest.
    std::int64_t imageSize = header.biSizeImage != 0 ? std::int64_t(header.biSizeImage)
                             : runLength             ? reader.Remaining()
                                                     : fullSize;
    imageSize = std::min(imageSize, reader.Remaining());

    if (bitCount <= 8) {
        format.colors.assign(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(std::min(colorCount, implied)));
    }
    void* bits = nullptr;
    image.handle = CreateSection(format, static_cast<int>(width), static_cast<int>(height), &bits);
    if (image.handle == nullptr || bits == nullptr) InvalidBitmap();
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    if (runLength) {
        std::vector<std::uint8_t> runs(static_cast<std::size_t>(imageSize));
        reader.Read(runs.data(), runs.size());
        DecodeRuns(runs, bitCount, width, height, static_cast<std::uint8_t*>(bits));
    } else {
        // Missing rows stay zero; bytes beyond the image are not ours to keep.
        reader.Read(bits, static_cast<std::size_t>(std::min(imageSize, fullSize)));
    }
    image.palette = CreatePaletteOf(table);
}

}  // namespace

}  // namespace fw
