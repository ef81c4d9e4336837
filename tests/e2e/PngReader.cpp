#include "tests/e2e/PngReader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

std::uint32_t BigEndian(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// The bytes of a zlib stream made of stored blocks, its checksum verified.
std::optional<std::vector<std::uint8_t>> InflateStored(const std::vector<std::uint8_t>& z)
{
    if (z.size() < 6 || (z[0] & 0x0F) != 8 || ((z[0] << 8) | z[1]) % 31 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    std::size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > z.size()) return std::nullopt;
        const std::uint8_t header = z[at];
        if ((header >> 1) != 0) return std::nullopt;  // only stored blocks
        last = (header & 1) != 0;
        const std::size_t length = z[at + 1] | (z[at + 2] << 8);
        const std::size_t check = z[at + 3] | (z[at + 4] << 8);
        if ((length ^ 0xFFFF) != check || at + 5 + length > z.size()) return std::nullopt;
        out.insert(out.end(), z.begin() + static_cast<std::ptrdiff_t>(at + 5),
                   z.begin() + static_cast<std::ptrdiff_t>(at + 5 + length));
        at += 5 + length;
    }
    if (at + 4 != z.size()) return std::nullopt;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : out) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    if (BigEndian(&z[at]) != ((b << 16) | a)) return std::nullopt;
    return out;
}

}  // namespace

std::optional<Image> DecodePng(const std::vector<std::uint8_t>& file)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0) return std::nullopt;
    Image image;
    std::vector<std::uint8_t> data;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (at + 12 > file.size()) return std::nullopt;
        const std::size_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12) return std::nullopt;
        const std::uint8_t* type = &file[at + 4];
        const std::uint8_t* body = &file[at + 8];
        if (BigEndian(body + length) != Crc32(type, length + 4)) return std::nullopt;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length != 13) return std::nullopt;
            const std::uint32_t w = BigEndian(body);
            const std::uint32_t h = BigEndian(body + 4);
            if (w == 0 || h == 0 || w > 16384 || h > 16384 || body[8] != 8 || body[9] != 2 || body[12] != 0) {
                return std::nullopt;
            }
            image.width = static_cast<int>(w);
            image.height = static_cast<int>(h);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            data.insert(data.end(), body, body + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        }
        at += length + 12;
    }
    if (image.width == 0) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> raw = InflateStored(data);
    const std::size_t row = static_cast<std::size_t>(image.width) * 3 + 1;
    if (!raw || raw->size() != row * static_cast<std::size_t>(image.height)) return std::nullopt;
    image.pixels.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* line = raw->data() + row * static_cast<std::size_t>(y);
        if (line[0] != 0) return std::nullopt;
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = line + 1 + 3 * x;
            image.pixels.push_back((std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]);
        }
    }
    return image;
}

std::optional<Image> ReadPng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodePng(file);
}

}  // namespace e2e
