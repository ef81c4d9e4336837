#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "desktop/Resources.h"
#include "framework/Classes.h"
#include "framework/ClassesBuilder.h"
#include "framework/Graphics.h"

namespace {

using namespace fw;
using Bytes = std::vector<std::uint8_t>;

template <class T>
void Put(Bytes& out, T value)
{
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    out.insert(out.end(), raw, raw + sizeof(T));
}

template <class T>
void PutAt(Bytes& out, std::size_t offset, T value)
{
    std::memcpy(out.data() + offset, &value, sizeof(T));
}

// A BMP file written field by field. Rows are given top row first, as indices into the
// palette (up to 8 bits) or as 0x00RRGGBB (24 bits); the file stores them bottom-up.
struct BmpSample {
    int bitCount = 24;
    std::vector<std::vector<std::uint32_t>> rows;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    bool core = false;
};

Bytes Dib(const BmpSample& sample)
{
    const int width = static_cast<int>(sample.rows.front().size());
    const int height = static_cast<int>(sample.rows.size());
    Bytes out;
    if (sample.core) {
        Put<std::uint32_t>(out, 12);
        Put<std::uint16_t>(out, static_cast<std::uint16_t>(width));
        Put<std::uint16_t>(out, static_cast<std::uint16_t>(height));
        Put<std::uint16_t>(out, 1);
        Put<std::uint16_t>(out, static_cast<std::uint16_t>(sample.bitCount));
    } else {
        Put<std::uint32_t>(out, 40);
        Put<std::int32_t>(out, width);
        Put<std::int32_t>(out, height);
        Put<std::uint16_t>(out, 1);
        Put<std::uint16_t>(out, static_cast<std::uint16_t>(sample.bitCount));
        for (int i = 0; i < 4; ++i) Put<std::uint32_t>(out, 0);  // compression … vertical resolution
        Put<std::uint32_t>(out, static_cast<std::uint32_t>(sample.palette.size()));
        Put<std::uint32_t>(out, 0);
    }
    for (std::uint32_t c : sample.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!sample.core) out.push_back(0);
    }
    const std::size_t stride = ((std::size_t(width) * sample.bitCount + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(stride, 0xEE);  // padding that must not show
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = sample.rows[std::size_t(y)][std::size_t(x)];
            switch (sample.bitCount) {
                case 1:
                    if (x % 8 == 0) row[std::size_t(x / 8)] = 0;
                    row[std::size_t(x / 8)] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
                    break;
                case 4:
                    if (x % 2 == 0) row[std::size_t(x / 2)] = 0;
                    row[std::size_t(x / 2)] |= static_cast<std::uint8_t>((v & 0xF) << (x % 2 == 0 ? 4 : 0));
                    break;
                case 8: row[std::size_t(x)] = static_cast<std::uint8_t>(v); break;
                default:
                    row[std::size_t(3 * x)] = static_cast<std::uint8_t>(v);
                    row[std::size_t(3 * x + 1)] = static_cast<std::uint8_t>(v >> 8);
                    row[std::size_t(3 * x + 2)] = static_cast<std::uint8_t>(v >> 16);
                    break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::size_t TableEnd(const BmpSample& sample)
{
    return 14 + (sample.core ? 12 : 40) + sample.palette.size() * (sample.core ? 3 : 4);
}

Bytes BmpFile(const BmpSample& sample)
{
    const Bytes dib = Dib(sample);
    Bytes out{'B', 'M'};
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(14 + dib.size()));
    Put<std::uint32_t>(out, 0);
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(TableEnd(sample)));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

// Picture data: class name, then the bitmap's 4-byte size and file.
Bytes PictureData(const std::string& className, const Bytes& payload, std::uint32_t size)
{
    Bytes out;
    out.push_back(static_cast<std::uint8_t>(className.size()));
    for (char c : className) out.push_back(static_cast<std::uint8_t>(c));
    Put<std::uint32_t>(out, size);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}
Bytes PictureData(const std::string& className, const Bytes& payload)
{
    return PictureData(className, payload, static_cast<std::uint32_t>(payload.size()));
}

void Read(TPicture& picture, const Bytes& data)
{
    TBytesStream stream(data);
    picture.ReadData(stream);
}

std::string ReadError(TPicture& picture, const Bytes& data)
{
    try {
        Read(picture, data);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

// Pixels of a graphic as 0x00RRGGBB, top row first, read back through a bitmap canvas.
std::vector<std::vector<std::uint32_t>> Pixels(TGraphic& graphic)
{
    TBitmap copy;
    copy.Assign(&graphic);
    std::vector<std::vector<std::uint32_t>> rows(std::size_t(copy.Height()));
    for (int y = 0; y < copy.Height(); ++y) {
        for (int x = 0; x < copy.Width(); ++x) {
            const desktop::COLORREF c = copy.Canvas()->GetPixel(x, y);
            rows[std::size_t(y)].push_back(desktop::PixelFromColor(c));
        }
    }
    return rows;
}

const BmpSample kTrueColour{24, {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x000000}}, {}, false};
const std::vector<std::uint32_t> kSixteen{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                          0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                          0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::vector<std::vector<std::uint32_t>> Resolve(const BmpSample& sample)
{
    if (sample.bitCount > 8) return sample.rows;
    auto rows = sample.rows;
    for (auto& row : rows)
        for (auto& v : row) v = sample.palette[v];
    return rows;
}

TEST(PictureData, BitmapPayloadLoadsPixelsAsStored)
{
    const BmpSample fourBit{4, {{13, 0, 7, 15, 9}, {15, 13, 13, 0, 1}, {7, 7, 12, 14, 2}}, kSixteen, false};
    const BmpSample oneBit{
        1, {{0, 1, 1, 0, 1, 0, 0, 1, 1, 1}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 1}}, {0x102030, 0xA0B0C0}, false};
    const BmpSample core{4, {{2, 0}, {1, 13}}, kSixteen, true};
    for (const BmpSample& sample : {kTrueColour, fourBit, oneBit, core}) {
        SCOPED_TRACE(testing::Message() << sample.bitCount << " bits" << (sample.core ? ", core header" : ""));
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&](TObject*) { ++changes; };
        Read(picture, PictureData("TPNGImage", BmpFile(sample)));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Graphic()->ClassName(), "TPNGImage");
        EXPECT_EQ(picture.Width(), static_cast<int>(sample.rows.front().size()));
        EXPECT_EQ(picture.Height(), static_cast<int>(sample.rows.size()));
        EXPECT_EQ(Pixels(*picture.Graphic()), Resolve(sample));
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(picture.Graphic()->Palette() != nullptr, sample.bitCount <= 8);
    }
}

TEST(PictureData, ClassNamesResolveCaseSensitivelyLastRegisteredFirst)
{
    TPicture picture;
    Read(picture, PictureData("TBitmap", BmpFile(kTrueColour)));
    EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");

    for (const char* name : {"TPngImage", "TNoSuchImage", ""}) {
        SCOPED_TRACE(name);
        Read(picture, PictureData(name, BmpFile(kTrueColour)));
        EXPECT_EQ(picture.Graphic(), nullptr);
    }

    const auto formats = TPicture::FileFormats();
    ASSERT_GE(formats.size(), 5u);
    const std::vector<std::string> expected{"wmf Metafiles TMetafile", "emf Enhanced Metafiles TMetafile",
                                            "ico Icons TIcon", "bmp Bitmaps TBitmap",
                                            "PNG Portable Network Graphics TPNGImage"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(formats[i].extension + " " + formats[i].description + " " + formats[i].graphicClass.name,
                  expected[i]);
    }
}

TEST(PictureData, EmptyAndUndecodablePayloads)
{
    TPicture picture;
    Read(picture, PictureData("TPNGImage", {}, 0));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_TRUE(picture.Graphic()->Empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    const Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1};
    EXPECT_EQ(ReadError(picture, PictureData("TPNGImage", png)), "Bitmap image is not valid");
    EXPECT_EQ(ReadError(picture, PictureData("TMetafile", Bytes(20, 1))), "Metafile playback is not supported");

    TPNGImage image;
    TBytesStream stream(png);
    EXPECT_THROW(image.LoadFromStream(stream), EInvalidGraphic);
}

TEST(PictureData, FailingReaderKeepsThePreviousGraphic)
{
    TPicture picture;
    Read(picture, PictureData("TPNGImage", BmpFile(kTrueColour)));
    TGraphic* before = picture.Graphic();
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };

    Bytes twoPlanes = BmpFile(kTrueColour);
    PutAt<std::uint16_t>(twoPlanes, 26, 2);
    EXPECT_EQ(ReadError(picture, PictureData("TPNGImage", twoPlanes)), "Bitmap image is not valid");
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(Pixels(*picture.Graphic()), kTrueColour.rows);
    EXPECT_EQ(changes, 0);
}

// Lying sizes either fail as invalid bitmaps or are clamped to the data that is there.
TEST(PictureData, LyingSizesFailOrClampWithinTheData)
{
    const BmpSample sample{
        8, {{1, 2, 3, 0}, {3, 2, 1, 0}, {0, 0, 0, 1}}, {0x000000, 0x112233, 0x445566, 0x778899}, false};
    const Bytes file = BmpFile(sample);
    const std::size_t pixels = TableEnd(sample);
    const std::size_t stride = 4;
    struct Case {
        const char* what;
        std::function<void(Bytes&)> edit;
        std::uint32_t size;  // 0: the edited file's own size
        bool loads;
    };
    const std::vector<Case> cases{
        {"size field beyond the data", [](Bytes&) {}, 1u << 30, true},
        {"header size beyond the data", [](Bytes& b) { PutAt<std::uint32_t>(b, 14, 0x7FFFFFF0); }, 0, false},
        {"header size between core and info", [](Bytes& b) { PutAt<std::uint32_t>(b, 14, 20); }, 0, false},
        {"colour count beyond the data", [](Bytes& b) { PutAt<std::uint32_t>(b, 46, 0x40000000); }, 0, false},
        {"image size beyond the data", [](Bytes& b) { PutAt<std::uint32_t>(b, 34, 0xFFFFFFF0); }, 0, true},
        {"rows cut off", [&](Bytes& b) { b.resize(pixels + stride); }, 0, true},
        {"file header cut off", [](Bytes& b) { b.resize(10); }, 0, false},
        {"no file mark", [](Bytes& b) { b[0] = 'X'; }, 0, false},
        {"huge dimensions",
         [](Bytes& b) {
             PutAt<std::int32_t>(b, 18, 30000);
             PutAt<std::int32_t>(b, 22, -30000);
         },
         0, false},
        {"zero width", [](Bytes& b) { PutAt<std::int32_t>(b, 18, 0); }, 0, false},
        {"bit count 7", [](Bytes& b) { PutAt<std::uint16_t>(b, 28, 7); }, 0, false},
        {"embedded JPEG", [](Bytes& b) { PutAt<std::uint32_t>(b, 30, 4); }, 0, false},
        {"embedded PNG", [](Bytes& b) { PutAt<std::uint32_t>(b, 30, 5); }, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes edited = file;
        c.edit(edited);
        TPicture picture;
        const std::uint32_t size = c.size != 0 ? c.size : static_cast<std::uint32_t>(edited.size());
        const std::string error = ReadError(picture, PictureData("TPNGImage", edited, size));
        if (!c.loads) {
            EXPECT_EQ(error, "Bitmap image is not valid");
            continue;
        }
        ASSERT_EQ(error, "no error");
        const auto got = Pixels(*picture.Graphic());
        const auto want = Resolve(sample);
        ASSERT_EQ(got.size(), want.size());
        // The bottom row is stored first, so it is there in every clamped case.
        EXPECT_EQ(got.back(), want.back());
    }
}

TEST(PictureData, EveryTruncationFailsCleanly)
{
    const Bytes data = PictureData("TPNGImage", BmpFile(BmpSample{4, {{1, 2, 3}, {4, 5, 6}}, kSixteen, false}));
    for (std::size_t length = 0; length < data.size(); ++length) {
        TPicture picture;
        const Bytes cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
        TBytesStream stream(cut);
        try {
            picture.ReadData(stream);
        } catch (const EInvalidGraphic&) {
            continue;
        } catch (const EReadError&) {
            continue;  // inside the class name, which the picture reads as a plain stream
        }
        // Only cuts into the pixel rows load, with the image's full size.
        ASSERT_NE(picture.Graphic(), nullptr) << length;
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Height(), 2);
    }
}

// A run-length BMP file (8 bits: BI_RLE8, 4 bits: BI_RLE4) of the given runs, whose length is
// the stored image size.
Bytes RunLengthFile(int bitCount, int width, int height, const std::vector<std::uint32_t>& palette, const Bytes& runs)
{
    const BmpSample shape{bitCount, std::vector(std::size_t(height), std::vector<std::uint32_t>(std::size_t(width))),
                          palette, false};
    Bytes file = BmpFile(shape);
    file.resize(TableEnd(shape));
    PutAt<std::uint32_t>(file, 30, bitCount == 8 ? 1 : 2);
    PutAt<std::uint32_t>(file, 34, static_cast<std::uint32_t>(runs.size()));
    file.insert(file.end(), runs.begin(), runs.end());
    PutAt<std::uint32_t>(file, 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

const std::vector<std::uint32_t> kFour{0x000000, 0x112233, 0x445566, 0x778899};
// 4 x 2, bottom row first: an absolute run of three with its pad byte, end of line; an encoded
// run, a move right by one, an encoded run, end of bitmap, then bytes that are not read.
const Bytes kRuns8{0x00, 0x03, 1,    2,    3,    0xEE, 0x00, 0x00, 0x02, 0x02,
                   0x00, 0x02, 0x01, 0x00, 0x01, 0x01, 0x00, 0x01, 0xFF, 0xFF};
const std::vector<std::vector<std::uint32_t>> kPixels8{{2, 2, 0, 1}, {1, 2, 3, 0}};
// 8 x 3: alternating nibbles C 7 C, a move two right and one up, an absolute run of three
// nibbles in two bytes, end of line; an absolute run of five nibbles in three bytes and a pad
// byte, an encoded run, end of bitmap.
const Bytes kRuns4{0x03, 0xC7, 0x00, 0x02, 0x02, 0x01, 0x00, 0x03, 0x9A, 0xB0, 0x00,
                   0x00, 0x00, 0x05, 0x12, 0x34, 0x5E, 0xEE, 0x03, 0x11, 0x00, 0x01};
const std::vector<std::vector<std::uint32_t>> kPixels4{
    {1, 2, 3, 4, 5, 1, 1, 1}, {0, 0, 0, 0, 0, 9, 10, 11}, {12, 7, 12, 0, 0, 0, 0, 0}};

TEST(PictureData, RunLengthBitmapsDecodeToTheirStoredPixels)
{
    struct Case {
        int bitCount;
        int width;
        BmpSample expected;
        Bytes runs;
    };
    for (const Case& c : {Case{8, 4, BmpSample{8, kPixels8, kFour, false}, kRuns8},
                          Case{4, 8, BmpSample{4, kPixels4, kSixteen, false}, kRuns4}}) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits");
        const int height = static_cast<int>(c.expected.rows.size());
        const Bytes file = RunLengthFile(c.bitCount, c.width, height, c.expected.palette, c.runs);
        for (const char* className : {"TBitmap", "TPNGImage"}) {
            TPicture picture;
            Read(picture, PictureData(className, file));
            ASSERT_NE(picture.Graphic(), nullptr);
            EXPECT_EQ(picture.Width(), c.width);
            EXPECT_EQ(picture.Height(), height);
            EXPECT_NE(picture.Graphic()->Palette(), nullptr);
            EXPECT_EQ(static_cast<TBitmap*>(picture.Graphic())->BitCount(), c.bitCount);
            EXPECT_EQ(Pixels(*picture.Graphic()), Resolve(c.expected));
        }

        // Saved again, the image is an uncompressed one of the same index size and colours.
        TPicture picture;
        Read(picture, PictureData("TBitmap", file));
        TMemoryStream saved;
        picture.Graphic()->SaveToStream(saved);
        const Bytes& bytes = saved.Bytes();
        ASSERT_GT(bytes.size(), 34u);
        std::uint32_t compression = 99;
        std::memcpy(&compression, bytes.data() + 30, sizeof compression);
        EXPECT_EQ(compression, 0u);
        TPicture again;
        Read(again, PictureData("TBitmap", bytes));
        EXPECT_EQ(static_cast<TBitmap*>(again.Graphic())->BitCount(), c.bitCount);
        EXPECT_EQ(Pixels(*again.Graphic()), Resolve(c.expected));

        // Without a stored size the runs take the rest of the data.
        Bytes unsized = file;
        PutAt<std::uint32_t>(unsized, 34, 0);
        Read(again, PictureData("TBitmap", unsized));
        EXPECT_EQ(Pixels(*again.Graphic()), Resolve(c.expected));
    }

    // An end of line after the top row may still be followed by the end of the bitmap.
    TPicture picture;
    Read(picture, PictureData("TBitmap", RunLengthFile(8, 2, 1, kFour, {0x02, 0x03, 0x00, 0x00, 0x00, 0x01})));
    EXPECT_EQ(Pixels(*picture.Graphic()), (std::vector<std::vector<std::uint32_t>>{{0x778899, 0x778899}}));
}

TEST(PictureData, MalformedRunsFailCleanly)
{
    struct Case {
        const char* what;
        int bitCount;
        Bytes runs;
        std::function<void(Bytes&)> edit;
    };
    const auto none = [](Bytes&) {};
    const std::vector<Case> cases{
        {"encoded run past the row", 8, {0x03, 0x01, 0x02, 0x01, 0x00, 0x01}, none},
        {"absolute run past the row", 8, {0x02, 0x01, 0x00, 0x03, 1, 2, 3, 0xEE, 0x00, 0x01}, none},
        {"4-bit run past the row", 4, {0x08, 0x11, 0x00, 0x01}, none},
        {"4-bit absolute run past the row", 4, {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x01}, none},
        {"run past the top row", 8, {0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01}, none},
        {"end of line past the top row", 8, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}, none},
        {"move past the top row", 8, {0x00, 0x02, 0x00, 0x02, 0x00, 0x01}, none},
        {"move past the row", 8, {0x00, 0x02, 0x05, 0x00, 0x00, 0x01}, none},
        {"stored size cutting the runs", 8, kRuns8, [](Bytes& b) { PutAt<std::uint32_t>(b, 34, 6); }},
        {"top-down rows", 8, kRuns8, [](Bytes& b) { PutAt<std::int32_t>(b, 22, -2); }},
        {"8-bit runs of 4-bit indices", 8, kRuns8, [](Bytes& b) { PutAt<std::uint16_t>(b, 28, 4); }},
        {"4-bit runs of 8-bit indices", 4, {0x00, 0x01}, [](Bytes& b) { PutAt<std::uint16_t>(b, 28, 8); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // 4 x 2 pixels; a 4-bit case gets the 16-colour table.
        Bytes file = RunLengthFile(c.bitCount, 4, 2, c.bitCount == 8 ? kFour : kSixteen, c.runs);
        c.edit(file);
        TPicture picture;
        EXPECT_EQ(ReadError(picture, PictureData("TBitmap", file)), "Bitmap image is not valid");
        EXPECT_EQ(picture.Graphic(), nullptr);
    }

    // Cut anywhere before the end of the bitmap, the runs fail; the bytes after it do not matter.
    struct Cut {
        Bytes data;
        std::size_t runs;
        std::size_t afterEnd;  // bytes after the end of the bitmap
    };
    for (const Cut& c : {Cut{PictureData("TPNGImage", RunLengthFile(8, 4, 2, kFour, kRuns8)), kRuns8.size(), 2},
                         Cut{PictureData("TPNGImage", RunLengthFile(4, 8, 3, kSixteen, kRuns4)), kRuns4.size(), 0}}) {
        for (std::size_t length = c.data.size() - c.runs; length <= c.data.size(); ++length) {
            const Bytes cut(c.data.begin(), c.data.begin() + static_cast<std::ptrdiff_t>(length));
            TPicture picture;
            const bool ended = length >= c.data.size() - c.afterEnd;
            EXPECT_EQ(ReadError(picture, cut), ended ? "no error" : "Bitmap image is not valid") << length;
        }
    }
}

TEST(PictureData, WrittenDataReadsBackAndBitmapsAssignThroughPictures)
{
    const BmpSample sample{4, {{13, 0, 7}, {15, 13, 1}}, kSixteen, false};
    TPicture picture;
    Read(picture, PictureData("TPNGImage", BmpFile(sample)));

    TMemoryStream written;
    picture.WriteData(written);
    TPicture again;
    Read(again, written.Bytes());
    ASSERT_NE(again.Graphic(), nullptr);
    EXPECT_EQ(again.Graphic()->ClassName(), "TPNGImage");
    EXPECT_EQ(static_cast<TBitmap*>(again.Graphic())->BitCount(), 4);
    EXPECT_EQ(Pixels(*again.Graphic()), Resolve(sample));

    TBitmap bitmap;
    bitmap.Assign(&picture);
    EXPECT_EQ(Pixels(bitmap), Resolve(sample));
    TPicture copy;
    copy.Assign(&bitmap);
    EXPECT_EQ(copy.Graphic()->ClassName(), "TBitmap");
    EXPECT_NE(copy.Graphic(), static_cast<TGraphic*>(&bitmap));
}

// A component publishing a picture, read from a layout.
class TPictureHolder : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& Info()
    {
        static const TClassInfo info = ClassBuilder<TPictureHolder, TComponent>("TPictureHolder")
                                           .Object("Picture", [](TPictureHolder* h) { return &h->picture; })
                                           .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }
    TPicture picture;
};

TEST(PictureData, LayoutReaderHandsTheBinaryPropertyToThePicture)
{
    auto layout = [](const Bytes& data) {
        Bytes b{'T', 'P', 'F', '0', 14};
        b.insert(b.end(), {'T', 'P', 'i', 'c', 't', 'u', 'r', 'e', 'H', 'o', 'l', 'd', 'e', 'r', 6});
        b.insert(b.end(), {'I', 'm', 'a', 'g', 'e', '1', 12});
        b.insert(b.end(), {'P', 'i', 'c', 't', 'u', 'r', 'e', '.', 'D', 'a', 't', 'a', 10});
        Put<std::uint32_t>(b, static_cast<std::uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
        b.insert(b.end(), {0, 0});
        return b;
    };
    TPictureHolder holder(nullptr);
    const Bytes good = layout(PictureData("TPNGImage", BmpFile(kTrueColour)));
    TBytesStream stream(good);
    TReader(stream).ReadRootComponent(&holder);
    ASSERT_NE(holder.picture.Graphic(), nullptr);
    EXPECT_EQ(holder.picture.Width(), 3);

    TPictureHolder other(nullptr);
    Bytes bad = BmpFile(kTrueColour);
    bad[1] = 'N';
    const Bytes badLayout = layout(PictureData("TPNGImage", bad));
    TBytesStream badStream(badLayout);
    try {
        TReader(badStream).ReadRootComponent(&other);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error reading Image1.Picture.Data: Bitmap image is not valid");
    }
}

// Faces with a fuchsia background, registered the way the program embeds its bitmaps.
const Bytes kPackedFace = Dib(BmpSample{4, {{13, 13, 0, 13}, {13, 0, 15, 0}, {13, 7, 0, 13}}, kSixteen, false});
const Bytes kFileFace = BmpFile(BmpSample{4, {{0, 13}, {13, 0}}, kSixteen, false});

TEST(BitmapResource, PackedOrFileDibsLoadAndBrushCopyReplacesTheTransparentColour)
{
    desktop::RegisterResource(desktop::RT_BITMAP, "GRAPHICSTEST_PACKED", kPackedFace);
    desktop::RegisterResource(desktop::RT_BITMAP, "GRAPHICSTEST_FILE", kFileFace);

    TBitmap face;
    face.LoadFromResourceName("GRAPHICSTEST_FILE");
    EXPECT_EQ(face.Width(), 2);
    face.LoadFromResourceName("GraphicsTest_Packed");
    ASSERT_EQ(face.Width(), 4);
    ASSERT_EQ(face.Height(), 3);
    EXPECT_EQ(face.BitCount(), 4);
    EXPECT_EQ(face.TransparentColor(), clFuchsia);
    EXPECT_THROW(face.LoadFromResourceName("GRAPHICSTEST_MISSING"), EResNotFound);
    EXPECT_EQ(face.Width(), 4);

    TBitmap die;
    die.SetSize(face.Width(), face.Height());
    die.Canvas()->Brush()->SetColor(clBtnFace);
    const desktop::RECT all{0, 0, face.Width(), face.Height()};
    BrushCopy(*die.Canvas(), all, face, all, face.TransparentColor());
    const std::uint32_t f = desktop::PixelFromColor(desktop::GetSysColor(15));
    const std::vector<std::vector<std::uint32_t>> want{
        {f, f, 0x000000, f}, {f, 0x000000, 0xFFFFFF, 0x000000}, {f, 0xC0C0C0, 0x000000, f}};
    EXPECT_EQ(Pixels(die), want);

    // An icon draws its image at 32 x 32 with the transparent colour left out.
    TIcon icon;
    icon.SetHandle(&face);
    TBitmap onIcon;
    onIcon.SetSize(32, 32);
    onIcon.Canvas()->Draw(0, 0, &icon);
    EXPECT_EQ(onIcon.Canvas()->GetPixel(0, 31), desktop::RGB(255, 255, 255));
    EXPECT_EQ(onIcon.Canvas()->GetPixel(31, 31), desktop::RGB(255, 255, 255));
    EXPECT_EQ(onIcon.Canvas()->GetPixel(31, 0), desktop::RGB(255, 255, 255));
    EXPECT_EQ(onIcon.Canvas()->GetPixel(20, 0), desktop::RGB(0, 0, 0));  // the face's pixel (2, 0)

    // Stretched by two without smoothing: every source pixel becomes a 2 x 2 block.
    TBitmap large;
    large.SetSize(8, 6);
    large.Canvas()->StretchDraw(desktop::RECT{0, 0, 8, 6}, &die);
    const auto big = Pixels(large);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(big[std::size_t(y)][std::size_t(x)], want[std::size_t(y / 2)][std::size_t(x / 2)]);
}

TEST(Bitmap, SetSizeKeepsTheImageAndChangesAreReported)
{
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&](TObject*) { ++changes; };
    bitmap.SetSize(4, 4);
    EXPECT_EQ(bitmap.BitCount(), 32);
    bitmap.Canvas()->Brush()->SetColor(clRed);
    bitmap.Canvas()->FillRect(desktop::RECT{0, 0, 4, 4});
    const int afterFill = changes;
    EXPECT_GE(afterFill, 2);
    bitmap.SetSize(6, 2);
    EXPECT_GT(changes, afterFill);
    const auto pixels = Pixels(bitmap);
    EXPECT_EQ(pixels[0], (std::vector<std::uint32_t>{0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF}));
    bitmap.SetSize(0, 2);
    EXPECT_TRUE(bitmap.Empty());
}

// A die reloads its face on every roll; loads of a resource seen before are only recorded and
// decoded when the pixels are needed, so they must behave exactly like the first load.
TEST(BitmapResource, RepeatedLoadsOfAKnownResourceGiveTheSameImage)
{
    desktop::RegisterResource(desktop::RT_BITMAP, "GRAPHICSTEST_AGAIN_A", kPackedFace);
    desktop::RegisterResource(desktop::RT_BITMAP, "GRAPHICSTEST_AGAIN_B", kFileFace);
    TBitmap first;
    first.LoadFromResourceName("GRAPHICSTEST_AGAIN_A");
    const auto expected = Pixels(first);

    TBitmap face;
    int changes = 0;
    face.OnChange = [&changes](TObject*) { ++changes; };
    for (int i = 0; i < 3; ++i) {
        face.LoadFromResourceName("GRAPHICSTEST_AGAIN_B");
        face.LoadFromResourceName("GRAPHICSTEST_AGAIN_A");
    }
    EXPECT_EQ(changes, 6);
    EXPECT_FALSE(face.Empty());
    EXPECT_EQ(face.Width(), 4);
    EXPECT_EQ(face.Height(), 3);
    EXPECT_EQ(face.BitCount(), 4);
    EXPECT_EQ(face.TransparentColor(), clFuchsia);
    EXPECT_EQ(Pixels(face), expected);
    EXPECT_EQ(changes, 6);  // decoding late is not a change

    TBitmap copy;
    face.LoadFromResourceName("GRAPHICSTEST_AGAIN_B");
    copy.Assign(&face);
    EXPECT_EQ(copy.Width(), 2);
    face.LoadFromResourceName("GRAPHICSTEST_AGAIN_A");
    face.SetSize(2, 2);
    EXPECT_EQ(Pixels(face)[0][0], expected[0][0]);
}

}  // namespace
