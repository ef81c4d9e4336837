#include "desktop/Cursors.h"

#include <map>
#include <memory>
#include <mutex>

#include "desktop/Codepage.h"
#include "desktop/Resources.h"

namespace desktop {

namespace {

constexpr std::size_t kHotSpotBytes = 4;
constexpr std::size_t kHeaderBytes = 40;
constexpr std::int32_t kMaxSide = 256;
// Above every IDC_* identifier, so the two kinds of cursor never meet.
constexpr int kFirstHandle = 0x10000;

std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[at + std::size_t(i)];
    return value;
}

struct LoadedCursors {
    std::mutex mutex;
    std::map<std::string, int> byName;
    std::map<int, std::unique_ptr<CursorImage>> byHandle;
};

LoadedCursors& Loaded()
{
    static auto* loaded = new LoadedCursors();
    return *loaded;
}

}  // namespace

std::optional<CursorImage> ParseCursorResource(std::span<const std::uint8_t> data)
{
    if (data.size() < kHotSpotBytes + kHeaderBytes) return std::nullopt;
    const std::size_t header = kHotSpotBytes;
    const std::uint32_t headerSize = ReadLittleEndian(data, header, 4);
    const auto width = std::int32_t(ReadLittleEndian(data, header + 4, 4));
    const auto doubleHeight = std::int32_t(ReadLittleEndian(data, header + 8, 4));
    const std::uint32_t planes = ReadLittleEndian(data, header + 12, 2);
    const std::uint32_t bitCount = ReadLittleEndian(data, header + 14, 2);
    const std::uint32_t compression = ReadLittleEndian(data, header + 16, 4);
    std::uint32_t colours = ReadLittleEndian(data, header + 32, 4);
    if (headerSize < kHeaderBytes || headerSize > data.size() - header) return std::nullopt;
    if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight > 2 * kMaxSide || doubleHeight % 2 != 0) {
        return std::nullopt;
    }
    if (planes != 1 || bitCount != 1 || compression != 0) return std::nullopt;
    if (colours == 0) colours = 2;
    if (colours > 2) return std::nullopt;

    CursorImage image;
    image.hotSpot = POINT{LONG(ReadLittleEndian(data, 0, 2)), LONG(ReadLittleEndian(data, 2, 2))};
    image.width = width;
    image.height = doubleHeight / 2;
    if (image.hotSpot.x >= image.width || image.hotSpot.y >= image.height) return std::nullopt;

    const std::size_t stride = ((std::size_t(width) + 31) / 32) * 4;
    const std::size_t maskBytes = stride * std::size_t(image.height);
    const std::size_t xorAt = header + headerSize + 4 * std::size_t(colours);
    if (xorAt > data.size() || data.size() - xorAt < 2 * maskBytes) return std::nullopt;
    const std::size_t andAt = xorAt + maskBytes;

    const std::size_t pixels = std::size_t(image.width) * std::size_t(image.height);
    image.andMask.resize(pixels);
    image.xorMask.resize(pixels);
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = stride * std::size_t(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const std::size_t byte = row + std::size_t(x) / 8;
            const int bit = 7 - x % 8;
            const std::size_t at = std::size_t(y) * std::size_t(image.width) + std::size_t(x);
            image.xorMask[at] = std::uint8_t((data[xorAt + byte] >> bit) & 1);
            image.andMask[at] = std::uint8_t((data[andAt + byte] >> bit) & 1);
        }
    }
    return image;
}

int LoadCursorFromResource(const std::string& name)
{
    LoadedCursors& loaded = Loaded();
    std::lock_guard lock(loaded.mutex);
    const std::string key = UpperAscii(name);
    if (auto it = loaded.byName.find(key); it != loaded.byName.end()) return it->second;
    const auto data = FindResource(RT_CURSOR, name);
    if (!data) return 0;
    std::optional<CursorImage> image = ParseCursorResource(*data);
    if (!image) return 0;
    const int handle = kFirstHandle + int(loaded.byHandle.size());
    loaded.byHandle[handle] = std::make_unique<CursorImage>(std::move(*image));
    loaded.byName[key] = handle;
    return handle;
}

const CursorImage* GetCursorImage(int cursor)
{
    LoadedCursors& loaded = Loaded();
    std::lock_guard lock(loaded.mutex);
    auto it = loaded.byHandle.find(cursor);
    return it == loaded.byHandle.end() ? nullptr : it->second.get();
}

bool GetCursorHotSpot(int cursor, POINT* hotSpot)
{
    const CursorImage* image = GetCursorImage(cursor);
    if (!image || !hotSpot) return false;
    *hotSpot = image->hotSpot;
    return true;
}

}  // namespace desktop
