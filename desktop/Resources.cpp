#include "desktop/Resources.h"

#include <map>
#include <mutex>

#include "desktop/Codepage.h"

namespace desktop {

namespace {

struct Store {
    std::mutex mutex;
    std::map<std::pair<int, std::string>, std::span<const std::uint8_t>> items;
    std::map<UINT, std::string> strings;
    std::shared_ptr<const IconImage> applicationIcon;
};

// Registration runs from static initialisers in any order, so the store is built on first use.
Store& TheStore()
{
    static auto* s = new Store();
    return *s;
}

std::string Key(const std::string& name) { return UpperAscii(name); }

std::uint32_t ReadLE(std::span<const std::uint8_t> data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint32_t(data[at + std::size_t(i)]) << (8 * i);
    return value;
}

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
constexpr int kMaxIconSide = 256;

}  // namespace

void RegisterResource(int type, const std::string& name, std::span<const std::uint8_t> data)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.items[{type, Key(name)}] = data;
}

std::optional<std::span<const std::uint8_t>> FindResource(int type, const std::string& name)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    auto it = s.items.find({type, Key(name)});
    if (it == s.items.end()) return std::nullopt;
    return it->second;
}

std::string ResourceIdName(UINT id) { return "#" + std::to_string(id); }

void RegisterString(UINT id, const std::string& text)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.strings[id] = text;
}

std::optional<std::string> LoadString(UINT id)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    auto it = s.strings.find(id);
    if (it == s.strings.end()) return std::nullopt;
    return it->second;
}

std::optional<IconImage> ParseIconImageResource(std::span<const std::uint8_t> data)
{
    if (data.size() < kInfoHeaderSize) return std::nullopt;
    const std::uint32_t headerSize = ReadLE(data, 0, 4);
    const auto width = std::int32_t(ReadLE(data, 4, 4));
    const auto doubleHeight = std::int32_t(ReadLE(data, 8, 4));
    const bool plainRgb32 = ReadLE(data, 12, 2) == 1 && ReadLE(data, 14, 2) == 32 && ReadLE(data, 16, 4) == 0;
    if (headerSize < kInfoHeaderSize || headerSize > data.size() || !plainRgb32) return std::nullopt;
    if (width <= 0 || width > kMaxIconSide || doubleHeight <= 0 || doubleHeight % 2 != 0 ||
        doubleHeight / 2 > kMaxIconSide) {
        return std::nullopt;
    }
    const std::size_t w = std::size_t(width);
    const std::size_t h = std::size_t(doubleHeight / 2);
    const std::size_t maskStride = (w + 31) / 32 * 4;
    const std::size_t colourAt = headerSize;
    const std::size_t maskAt = colourAt + w * 4 * h;
    if (data.size() - headerSize < w * 4 * h + maskStride * h) return std::nullopt;

    IconImage image{width, doubleHeight / 2, std::vector<std::uint32_t>(w * h)};
    bool anyAlpha = false;
    for (std::size_t row = 0; row < h; ++row) {
        const std::size_t stored = h - 1 - row;  // bottom-up
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint32_t pixel = ReadLE(data, colourAt + (stored * w + x) * 4, 4);
            anyAlpha = anyAlpha || (pixel >> 24) != 0;
            image.pixels[row * w + x] = pixel;
        }
    }
    if (!anyAlpha) {
        for (std::size_t row = 0; row < h; ++row) {
            const std::size_t stored = h - 1 - row;
            for (std::size_t x = 0; x < w; ++x) {
                const bool transparent = (data[maskAt + stored * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
                std::uint32_t& pixel = image.pixels[row * w + x];
                pixel = transparent ? 0 : pixel | 0xFF000000u;
            }
        }
    }
    return image;
}

std::optional<IconImage> LoadIconImage(const std::string& name, int size)
{
    const auto group = FindResource(RT_GROUP_ICON, name);
    if (!group || group->size() < kGroupHeaderSize) return std::nullopt;
    const std::span<const std::uint8_t> dir = *group;
    const std::size_t count = ReadLE(dir, 4, 2);
    if (ReadLE(dir, 0, 2) != 0 || ReadLE(dir, 2, 2) != 1 || count == 0 ||
        dir.size() < kGroupHeaderSize + count * kGroupEntrySize) {
        return std::nullopt;
    }
    // Ranked by: not narrower than asked, then nearest to it (the widest when all are narrower).
    auto rank = [size](int width) { return width >= size ? width - size : kMaxIconSide + size - width; };
    int bestWidth = 0;
    UINT bestId = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kGroupHeaderSize + i * kGroupEntrySize;
        const int width = dir[at] == 0 ? kMaxIconSide : dir[at];
        if (i == 0 || rank(width) < rank(bestWidth)) {
            bestWidth = width;
            bestId = ReadLE(dir, at + 12, 2);
        }
    }
    const auto data = FindResource(RT_ICON, ResourceIdName(bestId));
    if (!data) return std::nullopt;
    return ParseIconImageResource(*data);
}

void SetApplicationIcon(std::optional<IconImage> icon)
{
    std::shared_ptr<const IconImage> shared = icon ? std::make_shared<const IconImage>(std::move(*icon)) : nullptr;
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.applicationIcon = std::move(shared);
}

std::shared_ptr<const IconImage> ApplicationIcon()
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    return s.applicationIcon;
}

}  // namespace desktop
