#include "dice/RandomSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using dice::GeneratorSeed;
using dice::RandomBelow;

class RandomSource : public ::testing::Test {
protected:
    void TearDown() override
    {
        dice::SetUtcClock({});
        GeneratorSeed = savedSeed_;
    }

private:
    std::uint32_t savedSeed_ = GeneratorSeed;
};

TEST_F(RandomSource, SequencesOfRollsBelowSix)
{
    const std::uint32_t seeds[] = {1u,          134775814u,  3698175007u, 870078620u,  1172187917u,
                                   2884733762u, 1368768587u, 694906232u,  1598751577u, 1828254910u};
    const std::int32_t results[] = {0, 0, 5, 1, 1, 4, 1, 0, 2, 2};
    GeneratorSeed = 0;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(RandomBelow(6), results[i]) << i;
        EXPECT_EQ(GeneratorSeed, seeds[i]) << i;
    }
    GeneratorSeed = 12345;
    std::vector<std::int32_t> drawn;
    for (int i = 0; i < 6; ++i) {
        drawn.push_back(RandomBelow(6));
    }
    EXPECT_EQ(drawn, (std::vector<std::int32_t>{2, 1, 0, 3, 3, 2}));
}

TEST_F(RandomSource, ResultIsTheHighWordOfSeedTimesBound)
{
    GeneratorSeed = 0;
    EXPECT_EQ(RandomBelow(1), 0);
    EXPECT_EQ(RandomBelow(0), 0);
    EXPECT_EQ(GeneratorSeed, 134775814u);  // both still advanced the seed
    // 0xD94FA8CD is the multiplier's inverse modulo 2^32, so the next seed is 0xFFFFFFFF.
    GeneratorSeed = 0xFFFFFFFEu * 0xD94FA8CDu;
    EXPECT_EQ(RandomBelow(6), 5);
    EXPECT_EQ(GeneratorSeed, 0xFFFFFFFFu);
    // A modulo reduction would give 4160191484 mod 2147483647 = 2012707837.
    EXPECT_EQ(RandomBelow(2147483647), 2080095741);
    EXPECT_EQ(GeneratorSeed, 4160191484u);
}

TEST_F(RandomSource, SeedIsTheMillisecondsSinceMidnight)
{
    const struct {
        dice::UtcTimeOfDay time;
        std::uint32_t seed;
    } cases[] = {
        {{0, 0, 0, 0}, 0u},    {{23, 59, 59, 999}, 86399999u}, {{12, 34, 56, 789}, 45296789u},
        {{0, 0, 1, 0}, 1000u}, {{1, 0, 0, 0}, 3600000u},
    };
    for (const auto& c : cases) {
        dice::SetUtcClock([time = c.time] { return time; });
        GeneratorSeed = 77;
        dice::SeedFromClock();
        EXPECT_EQ(GeneratorSeed, c.seed);
        dice::SeedFromClock();  // a second die in the same millisecond changes nothing
        EXPECT_EQ(GeneratorSeed, c.seed);
    }
}

TEST_F(RandomSource, SystemClockGivesTheCurrentTimeOfDay)
{
    using namespace std::chrono;
    const auto millisecondsOfDay = [] {
        const auto now = time_point_cast<milliseconds>(system_clock::now());
        return static_cast<std::uint32_t>((now - floor<days>(now)).count());
    };
    const std::uint32_t before = millisecondsOfDay();
    dice::SeedFromClock();
    const std::uint32_t after = millisecondsOfDay();
    EXPECT_LT(GeneratorSeed, 86400000u);
    if (before <= after) {  // not across midnight
        EXPECT_GE(GeneratorSeed, before);
        EXPECT_LE(GeneratorSeed, after);
    }
}

}  // namespace
