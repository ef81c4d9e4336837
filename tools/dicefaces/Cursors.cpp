#include "Cursors.h"

#include "SourceText.h"

namespace dicefaces {

namespace {

constexpr int kCursorSize = 32;

void Expect(bool condition, int line, const std::string& message)
{
    if (!condition) throw SourceError{line, message};
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// One mask, bottom-up rows, the leftmost pixel in the high bit.
void PutMask(std::vector<std::uint8_t>& out, const CursorImage& cursor, bool (*bit)(char))
{
    const int stride = ((cursor.size + 31) / 32) * 4;
    for (int row = cursor.size - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(std::size_t(stride), 0);
        for (int x = 0; x < cursor.size; ++x) {
            if (bit(cursor.pixels[std::size_t(row * cursor.size + x)])) {
                bits[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
}

}  // namespace

CursorImage ReadCursor(std::istream& description)
{
    const std::vector<SourceLine> lines = ReadLines(description);
    CursorImage cursor;
    bool haveHotSpot = false;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        const int line = lines[at].number;
        const std::vector<std::string> w = Words(lines[at].text);
        if (w.empty()) continue;
        if (w[0] == "name") {
            Expect(w.size() == 2, line, "name NAME");
            cursor.name = w[1];
        } else if (w[0] == "hotspot") {
            Expect(w.size() == 3, line, "hotspot X Y");
            cursor.hotX = ParseInt(w[1], line);
            cursor.hotY = ParseInt(w[2], line);
            Expect(cursor.hotX >= 0 && cursor.hotX < kCursorSize && cursor.hotY >= 0 && cursor.hotY < kCursorSize, line,
                   "hot spot outside the cursor");
            haveHotSpot = true;
        } else if (w[0] == "image") {
            Expect(w.size() == 1, line, "image takes no arguments");
            Expect(cursor.pixels.empty(), line, "second image");
            int rows = 0;
            for (++at; at < lines.size() && lines[at].text != "end"; ++at) {
                const SourceLine& row = lines[at];
                if (row.text.empty()) continue;
                Expect(int(row.text.size()) == kCursorSize, row.number, "a cursor row has 32 characters");
                for (char c : row.text) {
                    Expect(c == '.' || c == '#' || c == 'o' || c == '~', row.number, "unknown cursor pixel");
                    cursor.pixels.push_back(c);
                }
                ++rows;
            }
            Expect(at < lines.size(), line, "image without 'end'");
            Expect(rows == kCursorSize, line, "a cursor has 32 rows");
        } else {
            throw SourceError{line, "unknown keyword '" + w[0] + "'"};
        }
    }
    const int last = lines.empty() ? 0 : lines.back().number;
    Expect(!cursor.name.empty(), last, "no name");
    Expect(haveHotSpot, last, "no hot spot");
    Expect(!cursor.pixels.empty(), last, "no image");
    cursor.size = kCursorSize;
    return cursor;
}

std::vector<std::uint8_t> CursorResource(const CursorImage& cursor)
{
    const std::uint32_t maskSize = std::uint32_t(((cursor.size + 31) / 32) * 4 * cursor.size);
    std::vector<std::uint8_t> out;
    PutLittleEndian(out, std::uint32_t(cursor.hotX), 2);
    PutLittleEndian(out, std::uint32_t(cursor.hotY), 2);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, std::uint32_t(cursor.size), 4);
    PutLittleEndian(out, std::uint32_t(cursor.size * 2), 4);  // XOR mask above the AND mask
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, maskSize * 2, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 2, 4);
    PutLittleEndian(out, 0, 4);
    out.insert(out.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    // The XOR mask, then the AND mask, each bottom-up; screen = (screen AND and) XOR xor.
    PutMask(out, cursor, [](char c) { return c == 'o' || c == '~'; });
    PutMask(out, cursor, [](char c) { return c == '.' || c == '~'; });
    return out;
}

}  // namespace dicefaces
