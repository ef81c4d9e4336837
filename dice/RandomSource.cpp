#include "dice/RandomSource.h"

#include <chrono>
#include <utility>

namespace dice {

std::uint32_t GeneratorSeed = 0;

namespace {

constexpr std::uint32_t Multiplier = 134775813;  // 0x08088405
constexpr std::uint32_t Increment = 1;

UtcClock& CurrentClock()
{
    static UtcClock clock;
    return clock;
}

}  // namespace

std::int32_t RandomBelow(std::int32_t n)
{
    GeneratorSeed = GeneratorSeed * Multiplier + Increment;
    const std::uint64_t product = static_cast<std::uint64_t>(GeneratorSeed) * static_cast<std::uint32_t>(n);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(product >> 32));
}

UtcTimeOfDay SystemUtcTimeOfDay()
{
    using namespace std::chrono;
    const auto now = time_point_cast<milliseconds>(system_clock::now());
    const hh_mm_ss<milliseconds> time{now - floor<days>(now)};
    UtcTimeOfDay result;
    result.hour = static_cast<std::uint16_t>(time.hours().count());
    result.minute = static_cast<std::uint16_t>(time.minutes().count());
    result.second = static_cast<std::uint16_t>(time.seconds().count());
    result.milliseconds = static_cast<std::uint16_t>(time.subseconds().count());
    return result;
}

void SetUtcClock(UtcClock clock) { CurrentClock() = std::move(clock); }

void SeedFromClock()
{
    const UtcClock& clock = CurrentClock();
    const UtcTimeOfDay time = clock ? clock() : SystemUtcTimeOfDay();
    // Only the time of day counts: the same moment on another day gives the same seed.
    GeneratorSeed =
        ((static_cast<std::uint32_t>(time.hour) * 60 + time.minute) * 60 + time.second) * 1000 + time.milliseconds;
}

}  // namespace dice
