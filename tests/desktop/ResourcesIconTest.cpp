// Icon resources: reading the 32-bit images, choosing an image of a group by size, and the
// program's icon that displays give their windows.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "desktop/Resources.h"

namespace desktop {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// An image resource of `width` x `height` ARGB pixels given top to bottom, with an AND mask
// that marks the pixels listed in `masked` (row-major indices).
std::vector<std::uint8_t> IconResource(int width, int height, const std::vector<std::uint32_t>& pixels,
                                       const std::vector<int>& masked = {})
{
    std::vector<std::uint8_t> out;
    Put(out, 40, 4);
    Put(out, std::uint32_t(width), 4);
    Put(out, std::uint32_t(height * 2), 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    for (int i = 0; i < 6; ++i) Put(out, 0, 4);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) Put(out, pixels[std::size_t(row * width + x)], 4);
    }
    const int stride = (width + 31) / 32 * 4;
    for (int row = height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(std::size_t(stride), 0);
        for (int index : masked) {
            if (index / width == row) bits[std::size_t(index % width / 8)] |= std::uint8_t(0x80 >> (index % width % 8));
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

// Registered resources must outlive the program.
std::span<const std::uint8_t> Keep(std::vector<std::uint8_t> bytes)
{
    static auto* kept = new std::deque<std::vector<std::uint8_t>>();
    kept->push_back(std::move(bytes));
    return kept->back();
}

struct GroupEntry {
    int width;
    int id;
};

std::vector<std::uint8_t> GroupResource(const std::vector<GroupEntry>& entries, int declaredCount = -1)
{
    std::vector<std::uint8_t> out;
    Put(out, 0, 2);
    Put(out, 1, 2);
    Put(out, std::uint32_t(declaredCount < 0 ? int(entries.size()) : declaredCount), 2);
    for (const GroupEntry& e : entries) {
        out.push_back(std::uint8_t(e.width));
        out.push_back(std::uint8_t(e.width));
        out.insert(out.end(), {0, 0});
        Put(out, 1, 2);
        Put(out, 32, 2);
        Put(out, 0, 4);
        Put(out, std::uint32_t(e.id), 2);
    }
    return out;
}

TEST(IconResources, ImageRowsComeTopDownWithTheirAlphaOrWithTheMaskWhenTheyHaveNone)
{
    const std::vector<std::uint32_t> withAlpha = {0xFF112233, 0x80445566, 0x00000000, 0xFF778899};
    const auto image = ParseIconImageResource(IconResource(2, 2, withAlpha, {0, 1, 2, 3}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, withAlpha) << "alpha present: the mask is not consulted";

    // An old-style image: colour without alpha, transparency in the mask.
    const std::vector<std::uint32_t> opaque = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
    const auto masked = ParseIconImageResource(IconResource(2, 2, opaque, {1, 2}));
    ASSERT_TRUE(masked.has_value());
    EXPECT_EQ(masked->pixels, (std::vector<std::uint32_t>{0xFF112233, 0, 0, 0xFFAABBCC}));

    // Wider than one mask byte and not a multiple of 32: the mask rows are padded.
    std::vector<std::uint32_t> wide(40 * 3, 0x00FFFFFF);
    const auto padded = ParseIconImageResource(IconResource(40, 3, wide, {39, 40 + 9}));
    ASSERT_TRUE(padded.has_value());
    EXPECT_EQ(padded->pixels[39], 0u);
    EXPECT_EQ(padded->pixels[40 + 9], 0u);
    EXPECT_EQ(padded->pixels[40 + 8], 0xFFFFFFFFu);
    EXPECT_EQ(padded->pixels[2 * 40 + 39], 0xFFFFFFFFu);
}

TEST(IconResources, MalformedImagesAreRejectedWithoutReadingPastTheirEnd)
{
    const std::vector<std::uint8_t> good = IconResource(3, 3, std::vector<std::uint32_t>(9, 0xFF000000));
    ASSERT_TRUE(ParseIconImageResource(good).has_value());
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(length));
        EXPECT_FALSE(ParseIconImageResource(cut).has_value()) << "cut at " << length;
    }
    auto patched = [&](std::size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> bad = good;
        for (int i = 0; i < bytes; ++i) bad[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
        return bad;
    };
    EXPECT_FALSE(ParseIconImageResource(patched(0, 0xFFFFFFF0, 4)).has_value()) << "header larger than the data";
    EXPECT_FALSE(ParseIconImageResource(patched(0, 12, 4)).has_value()) << "header too small";
    EXPECT_FALSE(ParseIconImageResource(patched(4, 0, 4)).has_value()) << "no width";
    EXPECT_FALSE(ParseIconImageResource(patched(4, 0x80000000, 4)).has_value()) << "negative width";
    EXPECT_FALSE(ParseIconImageResource(patched(4, 100000, 4)).has_value()) << "huge width";
    EXPECT_FALSE(ParseIconImageResource(patched(8, 7, 4)).has_value()) << "odd double height";
    EXPECT_FALSE(ParseIconImageResource(patched(8, 0xFFFFFFFA, 4)).has_value()) << "negative height";
    EXPECT_FALSE(ParseIconImageResource(patched(14, 24, 2)).has_value()) << "not 32 bits per pixel";
    EXPECT_FALSE(ParseIconImageResource(patched(16, 3, 4)).has_value()) << "bit fields";
}

TEST(IconResources, AGroupGivesTheImageOfTheAskedWidthElseTheNextWiderElseTheWidest)
{
    for (const auto& [id, width] : std::vector<std::pair<int, int>>{{901, 16}, {902, 32}, {903, 48}, {904, 256}}) {
        RegisterResource(RT_ICON, ResourceIdName(UINT(id)),
                         Keep(IconResource(width, 1, std::vector<std::uint32_t>(std::size_t(width), 0xFF000000))));
    }
    RegisterResource(RT_GROUP_ICON, "TESTICON", Keep(GroupResource({{48, 903}, {16, 901}, {32, 902}})));
    auto widthFor = [](const std::string& group, int size) {
        const auto image = LoadIconImage(group, size);
        return image ? image->width : -1;
    };
    EXPECT_EQ(widthFor("testicon", 32), 32);
    EXPECT_EQ(widthFor("TESTICON", 16), 16);
    EXPECT_EQ(widthFor("TESTICON", 20), 32);
    EXPECT_EQ(widthFor("TESTICON", 33), 48);
    EXPECT_EQ(widthFor("TESTICON", 64), 48) << "all narrower: the widest";
    EXPECT_EQ(widthFor("TESTICON", 1), 16);

    // A width byte of 0 stands for 256.
    RegisterResource(RT_GROUP_ICON, "BIGICON", Keep(GroupResource({{32, 902}, {0, 904}})));
    EXPECT_EQ(widthFor("BIGICON", 200), 256);

    // Image numbers are names like any other, 0 included.
    RegisterResource(RT_ICON, ResourceIdName(0), Keep(IconResource(24, 1, std::vector<std::uint32_t>(24, 0xFF000000))));
    RegisterResource(RT_GROUP_ICON, "ZEROICON", Keep(GroupResource({{24, 0}, {32, 902}})));
    EXPECT_EQ(widthFor("ZEROICON", 24), 24);

    EXPECT_EQ(widthFor("NOSUCHICON", 32), -1);
    RegisterResource(RT_GROUP_ICON, "LOSTIMAGE", Keep(GroupResource({{32, 999}})));
    EXPECT_EQ(widthFor("LOSTIMAGE", 32), -1) << "the image the group names is missing";
    RegisterResource(RT_GROUP_ICON, "SHORTGROUP", Keep(GroupResource({{32, 902}}, 5)));
    EXPECT_EQ(widthFor("SHORTGROUP", 32), -1) << "more entries declared than present";
    RegisterResource(RT_GROUP_ICON, "EMPTYGROUP", Keep(GroupResource({})));
    EXPECT_EQ(widthFor("EMPTYGROUP", 32), -1);
    std::vector<std::uint8_t> cursorGroup = GroupResource({{32, 902}});
    cursorGroup[2] = 2;  // a group of cursors, not icons
    RegisterResource(RT_GROUP_ICON, "CURSORGROUP", Keep(cursorGroup));
    EXPECT_EQ(widthFor("CURSORGROUP", 32), -1);
}

TEST(IconResources, EveryChangeOfTheApplicationIconGivesANewObject)
{
    SetApplicationIcon(IconImage{1, 1, {0xFF00FF00}});
    const auto first = ApplicationIcon();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pixels, std::vector<std::uint32_t>{0xFF00FF00});
    EXPECT_EQ(ApplicationIcon(), first) << "unchanged: the same object, so displays need not set it again";
    SetApplicationIcon(IconImage{1, 1, {0xFF00FF00}});
    EXPECT_NE(ApplicationIcon(), first);
    SetApplicationIcon(std::nullopt);
    EXPECT_EQ(ApplicationIcon(), nullptr);
}

}  // namespace
}  // namespace desktop
